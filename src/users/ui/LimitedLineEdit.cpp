#include "users/ui/LimitedLineEdit.h"

#include "app/AppContext.h"

#include <QKeyEvent>

namespace zentro {

LimitedLineEdit::LimitedLineEdit(AppContext &app, int maxLength, std::function<bool(QChar)> allowed, bool upperCase,
                                 QWidget *parent)
    : QLineEdit(parent)
    , m_app(app)
    , m_maxLength(maxLength)
    , m_allowed(std::move(allowed))
    , m_upperCase(upperCase)
{
}

void LimitedLineEdit::keyPressEvent(QKeyEvent *event)
{
    const QString typed = event->text();
    const bool printable = !typed.isEmpty() && typed.at(0).isPrint();
    if (event->key() == Qt::Key_Backspace || !printable) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    if (m_allowed && !m_allowed(typed.at(0))) {
        event->accept();
        return;
    }
    if (text().size() >= m_maxLength && !hasSelectedText()) {
        event->accept();
        m_app.showMessageBox(QStringLiteral("Não pode ser superior a 10 digitos"), QStringLiteral("Atenção"),
                             mb::IconWarning);
        return;
    }
    if (m_upperCase) {
        insert(typed.toUpper());
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

} // namespace zentro
