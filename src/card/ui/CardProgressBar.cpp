#include "card/ui/CardProgressBar.h"

#include <QProgressBar>

namespace zentro {

CardProgressBar::CardProgressBar(QProgressBar *bar, std::function<void()> pump)
    : m_bar(bar)
    , m_pump(std::move(pump))
{
}

void CardProgressBar::setRange(int minimum, int maximum)
{
    m_bar->setRange(minimum, maximum);
}

void CardProgressBar::setValue(int value)
{
    m_bar->setValue(value);
    if (m_pump)
        m_pump();
}

int CardProgressBar::value() const
{
    return m_bar->value();
}

int CardProgressBar::maximum() const
{
    return m_bar->maximum();
}

} // namespace zentro
