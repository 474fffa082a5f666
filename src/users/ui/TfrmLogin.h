#pragma once

#include "users/Login.h"

#include <QWidget>

class QLineEdit;
class QPushButton;

namespace zentro {

class AppContext;

// The login window: name and password, OK and Cancelar.
class TfrmLogin : public QWidget
{
    Q_OBJECT
public:
    explicit TfrmLogin(AppContext &app, QWidget *parent = nullptr);

    QLineEdit *nameField() const { return m_edNome; }
    QLineEdit *passwordField() const { return m_edSenha; }
    void btOKClick();

signals:
    void loggedOn(const zentro::LoginOutcome &outcome);
    void fatalFailure();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    AppContext &m_app;
    QLineEdit *m_edNome;
    QLineEdit *m_edSenha;
    QPushButton *m_btOK;
    QPushButton *m_btCancelar;
};

} // namespace zentro
