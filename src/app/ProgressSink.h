#pragma once

#include <QString>

namespace zentro {

// Where long loops report their progress: the main window's status bar, or
// nothing at all in tests and on the command line.
class ProgressSink
{
public:
    virtual ~ProgressSink() = default;
    virtual void showProgress(const QString &text, int position, int maximum, bool showPercent) = 0;
};

} // namespace zentro
