#pragma once

#include "card/CardChannel.h"

#include <functional>

class QProgressBar;

namespace zentro {

// A window's progress bar as the indicator of the card data-area functions;
// after each step it lets pending window messages run, so the bar is drawn.
class CardProgressBar : public CardProgress
{
public:
    explicit CardProgressBar(QProgressBar *bar, std::function<void()> pump = {});

    void setRange(int minimum, int maximum) override;
    void setValue(int value) override;
    int value() const override;
    int maximum() const override;

private:
    QProgressBar *m_bar;
    std::function<void()> m_pump;
};

} // namespace zentro
