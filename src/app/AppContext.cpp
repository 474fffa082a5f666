#include "app/AppContext.h"

#include "app/ProgressSink.h"

namespace zentro {

AppContext::AppContext(MessagePresenter &messages)
    : m_messages(&messages)
{
    m_events.setConnectionProbe([this] { return m_cnt.isOpen(); });
}

AppContext::~AppContext() = default;

int AppContext::showMessageBox(const QString &text, const QString &caption, int flags)
{
    return m_messages->show(text, caption, flags);
}

void AppContext::showMessage(const QString &text)
{
    m_messages->show(text, QStringLiteral("Zentro"), mb::Ok);
}

bool AppContext::logEvent(const QString &text, int kind, int destination, bool enabled)
{
    return m_events.logEvent(text, kind, destination, enabled);
}

void AppContext::processEvents()
{
    if (m_pump)
        m_pump();
}

void AppContext::setEventPump(std::function<void()> pump)
{
    m_pump = pump;
    m_events.setEventPump(std::move(pump));
}

void AppContext::showProgress(const QString &text, int position, int maximum, bool showPercent)
{
    if (m_progress)
        m_progress->showProgress(text, position, maximum, showPercent);
    processEvents();
}

} // namespace zentro
