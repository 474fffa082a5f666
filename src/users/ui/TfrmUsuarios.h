#pragma once

#include <QWidget>

class QComboBox;
class QLineEdit;
class QPushButton;
class QTableView;

namespace zentro {

class AppContext;
class ResultSetModel;

// The user register: browse the users, create one, edit one (never ADMIN).
class TfrmUsuarios : public QWidget
{
    Q_OBJECT
public:
    explicit TfrmUsuarios(AppContext &app, QWidget *parent = nullptr);

    // Reloads clients, links and users.
    bool reload();
    void btNovoClick();
    void btEditarClick();
    bool btSalvarClick();
    void btCancelarClick();
    void selectRow(int row);

    bool isEditing() const;
    QLineEdit *nameField() const { return m_edNome; }
    QLineEdit *passwordField() const { return m_edSenha; }
    QComboBox *profileField() const { return m_cbPerfil; }
    QComboBox *clientField() const { return m_cbCliente; }
    QComboBox *situationField() const { return m_cbSituacao; }
    QTableView *grid() const { return m_grid; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void setBrowseState();
    void setEditState();
    void clearFields();
    void showRow(int row);

    AppContext &m_app;
    ResultSetModel *m_model;
    QTableView *m_grid;
    QLineEdit *m_edNome;
    QLineEdit *m_edSenha;
    QComboBox *m_cbPerfil;
    QComboBox *m_cbSituacao;
    QComboBox *m_cbCliente;
    QPushButton *m_btNovo;
    QPushButton *m_btEditar;
    QPushButton *m_btSalvar;
    QPushButton *m_btCancelar;
    QPushButton *m_btFechar;
    int m_editTarget = -1;
    int m_currentRow = -1;
    QMap<int, int> m_clientOfUser;
};

} // namespace zentro
