#pragma once

#include "app/Installation.h"
#include "app/MessagePresenter.h"
#include "audit/EventLog.h"
#include "db/Connection.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <functional>

namespace zentro {

class ProgressSink;

// The configuration of the data source in use; copied whole when the
// operator switches data source, so it can be put back if the switch fails.
struct SystemConf
{
    QString connectionString;
    QString dataSource;
    QString logPath;
    int logFileSize = 4;
    QString friendlyName;
};

// One section of Zentro.ini: a data source the operator can choose.
struct ConfigFileSection
{
    QString section;
    QString dataSource;
    QString friendlyName;
};

struct CurrentUser
{
    int id = 0;
    QString name;
    int level = 0; // 1 Administrador, 2 Gerencial, 3 Operador, 0 nobody
};

// Everything the program holds for the whole process, created by main() and
// handed to what needs it. Tests build their own.
class AppContext
{
public:
    static constexpr int MaxDataSources = 512;
    static constexpr const char *RequiredVersion = "505";

    explicit AppContext(MessagePresenter &messages);
    ~AppContext();
    AppContext(const AppContext &) = delete;
    AppContext &operator=(const AppContext &) = delete;

    db::Connection &cnt() { return m_cnt; }
    EventLog &events() { return m_events; }

    // Message boxes: text, caption and flags; answers the button pressed.
    int showMessageBox(const QString &text, const QString &caption, int flags);
    // The plain message dialog: OK only, no icon, the application's caption.
    void showMessage(const QString &text);
    MessagePresenter &messages() { return *m_messages; }
    void setMessages(MessagePresenter &messages) { m_messages = &messages; }

    bool logEvent(const QString &text, int kind, int destination = 0, bool enabled = true);

    // Lets pending window messages run (a no-op without windows).
    void processEvents();
    void setEventPump(std::function<void()> pump);
    void showProgress(const QString &text, int position, int maximum, bool showPercent);
    void setProgressSink(ProgressSink *sink) { m_progress = sink; }

    QString programFolder; // where Zentro.ini, the event log and instalacao.ini live
    QString buildInfo;     // "5.505.0.1"
    Installation installation;
    SystemConf conf;
    QList<ConfigFileSection> dataSources;
    int currentDataSource = 0;
    QDateTime lastKeepAlive;
    CurrentUser user;
    int loginRecord = 0; // TAB_LOG.LOG_NUM of the current login, 0 before any

private:
    MessagePresenter *m_messages;
    db::Connection m_cnt;
    EventLog m_events;
    std::function<void()> m_pump;
    ProgressSink *m_progress = nullptr;
};

} // namespace zentro
