#include "users/ui/TfrmLogin.h"

#include "app/AppContext.h"

#include <QApplication>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace zentro {

TfrmLogin::TfrmLogin(AppContext &app, QWidget *parent)
    : QWidget(parent)
    , m_app(app)
{
    setObjectName(QStringLiteral("frmLogin"));
    setWindowTitle(QStringLiteral("Login"));
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    m_edNome = new QLineEdit(this);
    m_edNome->setObjectName(QStringLiteral("edNome"));
    m_edNome->setMaxLength(50);
    connect(m_edNome, &QLineEdit::textEdited, this, [this](const QString &t) {
        const int pos = m_edNome->cursorPosition();
        m_edNome->setText(t.toUpper());
        m_edNome->setCursorPosition(pos);
    });
    m_edSenha = new QLineEdit(this);
    m_edSenha->setObjectName(QStringLiteral("edSenha"));
    m_edSenha->setMaxLength(50);
    m_edSenha->setEchoMode(QLineEdit::Password);
    form->addRow(QStringLiteral("Nome do Usuário"), m_edNome);
    form->addRow(QStringLiteral("Senha"), m_edSenha);
    layout->addLayout(form);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    m_btOK = new QPushButton(QStringLiteral("OK"), this);
    m_btOK->setDefault(true);
    m_btCancelar = new QPushButton(QStringLiteral("Cancelar"), this);
    buttons->addWidget(m_btOK);
    buttons->addWidget(m_btCancelar);
    layout->addLayout(buttons);
    connect(m_btOK, &QPushButton::clicked, this, &TfrmLogin::btOKClick);
    connect(m_btCancelar, &QPushButton::clicked, this, &QWidget::close);
    setFixedSize(sizeHint().expandedTo(QSize(320, 0)));
    m_edNome->setFocus();
}

void TfrmLogin::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        btOKClick();
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TfrmLogin::btOKClick()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const LoginOutcome outcome = Login(m_app, m_edNome->text(), m_edSenha->text());
    QApplication::restoreOverrideCursor();
    switch (outcome.status) {
    case LoginOutcome::LoggedOn:
        emit loggedOn(outcome);
        close();
        break;
    case LoginOutcome::Fatal:
        emit fatalFailure();
        break;
    case LoginOutcome::Refused:
        m_edSenha->clear();
        m_edSenha->setFocus();
        break;
    }
}

} // namespace zentro
