#pragma once

#include "app/MessagePresenter.h"

namespace zentro {

// Shows each message in a modal box owned by the application.
class QtMessagePresenter : public MessagePresenter
{
public:
    int show(const QString &text, const QString &caption, int flags) override;
};

} // namespace zentro
