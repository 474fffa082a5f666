#pragma once

#include "app/MessagePresenter.h"

#include <QList>
#include <QString>

// A message presenter for tests: each message must have been expected, in
// order, with its exact text (and caption and flags when given). A message
// nobody expected fails the running test.
class ScriptedMessages : public zentro::MessagePresenter
{
public:
    struct Shown
    {
        QString text;
        QString caption;
        int flags;
    };

    // Queue the next expected message and the button the "operator" presses.
    ScriptedMessages &expect(const QString &text, int answer = zentro::mb::IdOk);
    ScriptedMessages &expect(const QString &text, const QString &caption, int flags, int answer = zentro::mb::IdOk);
    // Accept any text that starts with the given prefix.
    ScriptedMessages &expectPrefix(const QString &prefix, int answer = zentro::mb::IdOk);

    int show(const QString &text, const QString &caption, int flags) override;

    const QList<Shown> &shown() const { return m_shown; }
    // True when every queued message has been shown; otherwise the test fails.
    bool allShown() const;
    void clear();

private:
    struct Expected
    {
        QString text;
        QString caption;
        int flags = -1;
        bool prefix = false;
        bool checkCaption = false;
        int answer = zentro::mb::IdOk;
    };
    QList<Expected> m_expected;
    QList<Shown> m_shown;
};
