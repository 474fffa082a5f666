#pragma once

#include <QString>
#include <QStringList>

namespace zentro {

class AppContext;

// What the operator sees while the database structure is updated: the update
// window with its status line, its panel and its progress bar.
class DbUpdateView
{
public:
    virtual ~DbUpdateView() = default;
    virtual void open() = 0;
    virtual void setPanelVisible(bool visible) = 0;
    virtual void setStatus(const QString &text) = 0;
    virtual void setProgress(int position, int maximum) = 0;
    // The one-second pause between phases, with the bar running from 0 to 100.
    virtual void pause() = 0;
    virtual void close() = 0;
};

// A view that shows nothing and does not pause (command line, tests).
class SilentDbUpdateView : public DbUpdateView
{
public:
    void open() override {}
    void setPanelVisible(bool) override {}
    void setStatus(const QString &) override {}
    void setProgress(int, int) override {}
    void pause() override {}
    void close() override {}
};

// The statements of an update script: split on "^", each trimmed of blanks
// and line breaks; the script ends at the first empty statement.
QStringList SplitUpdateScript(const QString &script);

// Runs one script statement by statement on the shared connection. A failing
// statement is reported and ends the script; those before it stay applied.
bool RunUpdateScript(AppContext &app, DbUpdateView &view, const QString &script, const QString &version);

// Brings a database older than this program to the required structure, after
// the operator's two confirmations. True when DBINFO holds the required
// version at the end.
bool UpdateDatabase(AppContext &app, DbUpdateView &view, const QString &currentVersion);

} // namespace zentro
