#pragma once

#include <QString>

class QMdiArea;
class QObject;

namespace zentro {

// The field-help window the list windows open: a small borderless window
// with the text, closed by OK, Escape, Enter or when another window is
// activated. Any help window already open is released first.
void ShowMiniHelp(QMdiArea *area, const QString &text, const QString &title);
// Closes the help window when one is open (a click in the tree does this).
void CloseMiniHelp(QMdiArea *area);

// Installed on the application: a wheel turn over a data grid moves one row
// per notch, as the arrow keys do, instead of scrolling the page.
QObject *CreateGridWheelFilter(QObject *parent);

} // namespace zentro
