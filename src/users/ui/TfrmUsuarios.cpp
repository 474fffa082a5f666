#include "users/ui/TfrmUsuarios.h"

#include "app/AppContext.h"
#include "app/DataAccess.h"
#include "app/ui/ResultSetModel.h"
#include "audit/AuditTrail.h"
#include "users/UserRegister.h"
#include "users/ui/LimitedLineEdit.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace zentro {

TfrmUsuarios::TfrmUsuarios(AppContext &app, QWidget *parent)
    : QWidget(parent)
    , m_app(app)
{
    setObjectName(QStringLiteral("frmUsuarios"));
    setWindowTitle(QStringLiteral("Usuários"));
    auto *layout = new QVBoxLayout(this);

    m_model = new ResultSetModel(this);
    m_model->setColumns({{QStringLiteral("Usuário"), ResultSetModel::field(QStringLiteral("NOME"))},
                         {QStringLiteral("NIVEL"), ResultSetModel::field(QStringLiteral("NIVEL"))},
                         {QStringLiteral("Situação"), ResultSetModel::field(QStringLiteral("USU_SITUACAO"))}});
    m_grid = new QTableView(this);
    m_grid->setModel(m_model);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->horizontalHeader()->setStretchLastSection(true);
    m_grid->verticalHeader()->hide();
    layout->addWidget(m_grid);
    connect(m_grid, &QTableView::clicked, this, [this](const QModelIndex &i) { selectRow(i.row()); });
    connect(m_grid, &QTableView::doubleClicked, this, [this](const QModelIndex &i) {
        selectRow(i.row());
        btEditarClick();
    });

    auto *form = new QFormLayout;
    m_edNome = new LimitedLineEdit(app, MaxUserTextLength, IsNameCharAllowed, true, this);
    m_edSenha = new LimitedLineEdit(app, MaxUserTextLength, IsPasswordCharAllowed, false, this);
    m_edSenha->setEchoMode(QLineEdit::Password);
    m_cbPerfil = new QComboBox(this);
    m_cbPerfil->addItems({ProfileText(0), ProfileText(1), ProfileText(2)});
    m_cbSituacao = new QComboBox(this);
    m_cbSituacao->addItems({QStringLiteral("Ativado"), QStringLiteral("Desativado")});
    m_cbCliente = new QComboBox(this);
    form->addRow(QStringLiteral("Nome do Usuário"), m_edNome);
    form->addRow(QStringLiteral("Senha"), m_edSenha);
    form->addRow(QStringLiteral("Perfil"), m_cbPerfil);
    form->addRow(QStringLiteral("Situação"), m_cbSituacao);
    form->addRow(QStringLiteral("Cliente"), m_cbCliente);
    layout->addLayout(form);

    auto *buttons = new QHBoxLayout;
    m_btNovo = new QPushButton(QStringLiteral("Novo"), this);
    m_btEditar = new QPushButton(QStringLiteral("Editar"), this);
    m_btSalvar = new QPushButton(QStringLiteral("Salvar"), this);
    m_btCancelar = new QPushButton(QStringLiteral("Cancelar"), this);
    m_btFechar = new QPushButton(QStringLiteral("Fechar"), this);
    for (QPushButton *b : {m_btNovo, m_btEditar, m_btSalvar, m_btCancelar, m_btFechar})
        buttons->addWidget(b);
    layout->addLayout(buttons);
    connect(m_btNovo, &QPushButton::clicked, this, &TfrmUsuarios::btNovoClick);
    connect(m_btEditar, &QPushButton::clicked, this, &TfrmUsuarios::btEditarClick);
    connect(m_btSalvar, &QPushButton::clicked, this, &TfrmUsuarios::btSalvarClick);
    connect(m_btCancelar, &QPushButton::clicked, this, &TfrmUsuarios::btCancelarClick);
    connect(m_btFechar, &QPushButton::clicked, this, &QWidget::close);

    resize(520, 460);
    reload();
    clearFields();
    setBrowseState();
}

bool TfrmUsuarios::reload()
{
    db::ResultSet clients;
    db::ResultSet links;
    db::ResultSet users;
    if (!DynamicQuery(m_app,
                      QStringLiteral("Select ID, NOME_LOCAL  from ITENS  WHERE EXCLUIDO = 0 AND ID_PAI = -1 order by "
                                     "NOME_LOCAL"),
                      QueryMode::Open, &clients) ||
        !DynamicQuery(m_app, QStringLiteral("select * from USUARIOS_CLIENTES"), QueryMode::Open, &links) ||
        !DynamicQuery(m_app, QStringLiteral("Select * from USUARIOS WHERE NOME <> 'KAVORA' order by NOME"),
                      QueryMode::Open, &users))
        return false;
    m_cbCliente->clear();
    for (int r = 0; r < clients.rowCount(); ++r)
        m_cbCliente->addItem(clients.value(r, QStringLiteral("NOME_LOCAL")).toString() + QStringLiteral(" - ") +
                                 clients.value(r, QStringLiteral("ID")).toString(),
                             clients.value(r, QStringLiteral("ID")).toInt());
    m_clientOfUser.clear();
    for (int r = 0; r < links.rowCount(); ++r)
        m_clientOfUser.insert(links.value(r, QStringLiteral("ID_USUARIO")).toInt(),
                              links.value(r, QStringLiteral("ID_CLIENTE")).toInt());
    m_model->setRows(users);
    m_currentRow = -1;
    return true;
}

bool TfrmUsuarios::isEditing() const
{
    return m_btSalvar->isEnabled();
}

void TfrmUsuarios::clearFields()
{
    m_edNome->clear();
    m_edSenha->clear();
    m_cbPerfil->setCurrentIndex(-1);
    m_cbSituacao->setCurrentIndex(0);
    m_cbCliente->setCurrentIndex(-1);
}

void TfrmUsuarios::setBrowseState()
{
    for (QWidget *w : std::initializer_list<QWidget *>{m_edNome, m_edSenha, m_cbPerfil, m_cbSituacao, m_cbCliente})
        w->setEnabled(false);
    m_btNovo->setEnabled(true);
    m_btEditar->setEnabled(m_currentRow >= 0);
    m_btSalvar->setEnabled(false);
    m_btCancelar->setEnabled(false);
    m_btFechar->setEnabled(true);
    m_grid->setEnabled(true);
}

void TfrmUsuarios::setEditState()
{
    m_btSalvar->setEnabled(true);
    m_btCancelar->setEnabled(true);
    m_cbSituacao->setEnabled(true);
    m_btNovo->setEnabled(false);
    m_btEditar->setEnabled(false);
    m_btFechar->setEnabled(false);
    m_grid->setEnabled(false);
}

void TfrmUsuarios::showRow(int row)
{
    const int r = m_model->sourceRow(row);
    if (r < 0)
        return;
    const db::ResultSet &rs = m_model->rows();
    m_edNome->setText(rs.value(r, QStringLiteral("NOME")).toString());
    m_edSenha->setText(QLatin1String(UnchangedPassword));
    m_cbPerfil->setCurrentIndex(rs.value(r, QStringLiteral("NIVEL")).toString().toInt() - 1);
    m_cbSituacao->setCurrentIndex(rs.value(r, QStringLiteral("USU_SITUACAO")).toString() == QStringLiteral("D") ? 1
                                                                                                                : 0);
    const int id = rs.value(r, QStringLiteral("ID")).toInt();
    m_cbCliente->setCurrentIndex(m_clientOfUser.contains(id) ? m_cbCliente->findData(m_clientOfUser.value(id)) : -1);
}

void TfrmUsuarios::selectRow(int row)
{
    if (isEditing())
        return;
    m_currentRow = row;
    m_grid->selectRow(row);
    showRow(row);
    m_btEditar->setEnabled(true);
}

void TfrmUsuarios::btNovoClick()
{
    clearFields();
    for (QWidget *w : std::initializer_list<QWidget *>{m_edNome, m_edSenha, m_cbPerfil, m_cbCliente})
        w->setEnabled(true);
    m_editTarget = -1;
    setEditState();
    m_edSenha->setFocus();
}

void TfrmUsuarios::btEditarClick()
{
    const int r = m_model->sourceRow(m_currentRow);
    if (r < 0)
        return;
    const int id = m_model->rows().value(r, QStringLiteral("ID")).toInt();
    if (id == 0) {
        m_app.showMessageBox(QStringLiteral("O Usuário \"ADMIN\" não pode ser editado."),
                             QStringLiteral("Edição negada"), mb::IconWarning);
        return;
    }
    showRow(m_currentRow);
    m_edNome->setEnabled(false);
    m_edSenha->setEnabled(true);
    m_cbPerfil->setEnabled(true);
    m_cbCliente->setEnabled(true);
    m_editTarget = id;
    setEditState();
}

bool TfrmUsuarios::btSalvarClick()
{
    UserForm form;
    form.name = m_edNome->text();
    form.password = m_edSenha->text();
    form.profile = m_cbPerfil->currentIndex();
    form.clientId = m_cbCliente->currentIndex() >= 0 ? m_cbCliente->currentData().toInt() : -1;
    form.deactivated = m_cbSituacao->currentIndex() == 1;
    form.editTarget = m_editTarget;
    const UserSaveResult result = SaveUser(m_app, form);
    if (!result.saved) {
        m_app.showMessageBox(QStringLiteral("Impossível salvar as informações do usuário."), QStringLiteral("Usuários"),
                             mb::IconError);
        GravaLog(m_app, 8,
                 QStringLiteral("Usuário alterado : ") + form.name.trimmed().toUpper() +
                     QStringLiteral(" / Perfil = ") + ProfileText(form.profile));
        // The entered values stay for the operator to correct.
        switch (result.focus) {
        case UserField::Name:
            m_edNome->setFocus();
            break;
        case UserField::Password:
            m_edSenha->setFocus();
            break;
        case UserField::Profile:
            m_cbPerfil->setFocus();
            break;
        case UserField::Client:
            m_cbCliente->setFocus();
            break;
        case UserField::None:
            break;
        }
        return false;
    }
    reload();
    clearFields();
    m_editTarget = -1;
    setBrowseState();
    return true;
}

void TfrmUsuarios::btCancelarClick()
{
    clearFields();
    m_editTarget = -1;
    setBrowseState();
}

void TfrmUsuarios::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        focusNextChild();
        return;
    }
    if (event->key() == Qt::Key_Delete && event->modifiers() & Qt::ControlModifier)
        return;
    QWidget::keyPressEvent(event);
}

void TfrmUsuarios::closeEvent(QCloseEvent *event)
{
    if (isEditing()) {
        const int answer =
            m_app.showMessageBox(QStringLiteral("Existe um Usuário sendo incluso ou editado.Deseja salvar "
                                                "as informações deste usuário?"),
                                 QStringLiteral("Cadastro"), mb::IconQuestion | mb::YesNoCancel);
        if (answer == mb::IdCancel || (answer == mb::IdYes && !btSalvarClick())) {
            event->ignore();
            return;
        }
    }
    event->accept();
}

} // namespace zentro
