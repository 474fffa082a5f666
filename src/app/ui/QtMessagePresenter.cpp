#include "app/ui/QtMessagePresenter.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace zentro {

int QtMessagePresenter::show(const QString &text, const QString &caption, int flags)
{
    QString body = text;
    body.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    body.replace(QLatin1Char('\r'), QLatin1Char('\n'));

    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(caption);
    box.setText(body);
    switch (flags & 0x70) {
    case mb::IconError:
        box.setIcon(QMessageBox::Critical);
        break;
    case mb::IconQuestion:
        box.setIcon(QMessageBox::Question);
        break;
    case mb::IconWarning:
        box.setIcon(QMessageBox::Warning);
        break;
    case mb::IconInformation:
        box.setIcon(QMessageBox::Information);
        break;
    default:
        break;
    }

    struct Button
    {
        QMessageBox::StandardButton button;
        int answer;
    };
    QList<Button> buttons;
    switch (flags & 0x0F) {
    case mb::OkCancel:
        buttons = {{QMessageBox::Ok, mb::IdOk}, {QMessageBox::Cancel, mb::IdCancel}};
        break;
    case mb::YesNoCancel:
        buttons = {{QMessageBox::Yes, mb::IdYes}, {QMessageBox::No, mb::IdNo}, {QMessageBox::Cancel, mb::IdCancel}};
        break;
    case mb::YesNo:
        buttons = {{QMessageBox::Yes, mb::IdYes}, {QMessageBox::No, mb::IdNo}};
        break;
    default:
        buttons = {{QMessageBox::Ok, mb::IdOk}};
        break;
    }
    QMessageBox::StandardButtons set;
    for (const Button &b : buttons)
        set |= b.button;
    box.setStandardButtons(set);
    const int defaultIndex = (flags & 0x300) >> 8;
    box.setDefaultButton(buttons.value(defaultIndex, buttons.first()).button);
    box.setEscapeButton(buttons.last().button);

    QApplication::restoreOverrideCursor();
    const auto pressed = QMessageBox::StandardButton(box.exec());
    for (const Button &b : buttons) {
        if (b.button == pressed)
            return b.answer;
    }
    return buttons.size() == 1 ? mb::IdOk : mb::IdCancel;
}

} // namespace zentro
