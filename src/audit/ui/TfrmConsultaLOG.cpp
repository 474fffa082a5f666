#include "audit/ui/TfrmConsultaLOG.h"

#include "app/AppContext.h"
#include "app/Clock.h"
#include "app/DataAccess.h"
#include "app/ui/ResultSetModel.h"
#include "audit/AuditTrail.h"
#include "db/Sql.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace zentro {

namespace {

const QString AllUsers = QStringLiteral("-- Todos os Usuários --");
const QString AllGroups = QStringLiteral("-- Todos Grupos de Rotinas --");
const QString AllRoutines = QStringLiteral("-- Todas as Rotinas do Grupo --");

QColor situationColour(const QVariant &v)
{
    const QString s = v.toString();
    return s == QStringLiteral("??") || s == QStringLiteral("ERRO= Logout antes Login") ? QColor(Qt::red) : QColor();
}

QTableView *makeGrid(QWidget *parent, ResultSetModel *model)
{
    auto *grid = new QTableView(parent);
    grid->setModel(model);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSortingEnabled(false);
    grid->verticalHeader()->hide();
    grid->horizontalHeader()->setSectionsClickable(true);
    // Each click on a title sorts by it, alternating the direction.
    QObject::connect(grid->horizontalHeader(), &QHeaderView::sectionClicked, grid, [grid, model](int section) {
        if (!model->columns().value(section, ResultSetModel::Column({}, {})).sortable)
            return;
        const bool ascending = grid->property("sortSection").toInt() != section ||
                               grid->property("sortOrder").toInt() == Qt::DescendingOrder;
        model->sort(section, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
        grid->setProperty("sortSection", section);
        grid->setProperty("sortOrder", ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
    });
    grid->setProperty("sortSection", -1);
    return grid;
}

} // namespace

TfrmConsultaLOG::TfrmConsultaLOG(AppContext &app, QWidget *parent)
    : QWidget(parent)
    , m_app(app)
{
    setObjectName(QStringLiteral("frmConsultaLOG"));
    setWindowTitle(QStringLiteral("Consulta de Logs Usuários"));
    m_hideServiceUser = app.user.name != QStringLiteral("KAVORA");

    auto *layout = new QVBoxLayout(this);
    auto *filters = new QGridLayout;
    m_edInicial = new QDateEdit(Clock::today().addDays(-10), this);
    m_edFinal = new QDateEdit(Clock::today(), this);
    for (QDateEdit *d : {m_edInicial, m_edFinal}) {
        d->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
        d->setCalendarPopup(true);
    }
    m_cbUsuario = new QComboBox(this);
    m_cbGrupo = new QComboBox(this);
    m_cbRotina = new QComboBox(this);
    m_cbCliente = new QComboBox(this);
    m_cbLeitor = new QComboBox(this);
    m_cbConsumidor = new QComboBox(this);
    for (QComboBox *c : {m_cbCliente, m_cbLeitor, m_cbConsumidor})
        c->installEventFilter(this);
    m_rbCompleto = new QRadioButton(QStringLiteral("Log Completo"), this);
    m_rbSemAtividade = new QRadioButton(QStringLiteral("Log sem atividade"), this);
    filters->addWidget(new QLabel(QStringLiteral("Data Inicial")), 0, 0);
    filters->addWidget(m_edInicial, 0, 1);
    filters->addWidget(new QLabel(QStringLiteral("Data final")), 0, 2);
    filters->addWidget(m_edFinal, 0, 3);
    filters->addWidget(m_rbCompleto, 0, 4);
    filters->addWidget(m_rbSemAtividade, 0, 5);
    filters->addWidget(new QLabel(QStringLiteral("Usuário")), 1, 0);
    filters->addWidget(m_cbUsuario, 1, 1);
    filters->addWidget(new QLabel(QStringLiteral("Grupo de Rotinas")), 1, 2);
    filters->addWidget(m_cbGrupo, 1, 3);
    filters->addWidget(new QLabel(QStringLiteral("Rotina")), 1, 4);
    filters->addWidget(m_cbRotina, 1, 5);
    filters->addWidget(new QLabel(QStringLiteral("Cliente")), 2, 0);
    filters->addWidget(m_cbCliente, 2, 1);
    filters->addWidget(new QLabel(QStringLiteral("Leitor")), 2, 2);
    filters->addWidget(m_cbLeitor, 2, 3);
    filters->addWidget(new QLabel(QStringLiteral("Consumidor")), 2, 4);
    filters->addWidget(m_cbConsumidor, 2, 5);
    layout->addLayout(filters);

    auto *buttons = new QHBoxLayout;
    auto *btPesquisar = new QPushButton(QStringLiteral("Pesquisar"), this);
    auto *btExcel = new QPushButton(QStringLiteral("Gera Excel"), this);
    buttons->addWidget(btPesquisar);
    buttons->addWidget(btExcel);
    buttons->addStretch();
    layout->addLayout(buttons);

    m_completeModel = new ResultSetModel(this);
    m_completeModel->setColumns({
        {QStringLiteral("Data Login"), ResultSetModel::field(QStringLiteral("LOG_DT_INI"))},
        {QStringLiteral("Hs Login"), ResultSetModel::field(QStringLiteral("LOG_HR_INI"))},
        {QStringLiteral("Nome Usuário"), ResultSetModel::field(QStringLiteral("NOME_USUARIO")), false},
        {QStringLiteral("Rotina"), ResultSetModel::field(QStringLiteral("ROT_DESC"))},
        {QStringLiteral("Situação Log"), ResultSetModel::field(QStringLiteral("SITUACAO")), false, situationColour},
        {QStringLiteral("Data Logout"), ResultSetModel::field(QStringLiteral("LOG_DT_FIM"))},
        {QStringLiteral("Hs logout"), ResultSetModel::field(QStringLiteral("LOG_HR_FIM"))},
        {QStringLiteral("Grupo Rotinas"), ResultSetModel::field(QStringLiteral("ROT_ORIGEM"))},
        {QStringLiteral("Nome Cliente"), ResultSetModel::field(QStringLiteral("NOME_CLIENTE")), false},
        {QStringLiteral("Nome Leitor"), ResultSetModel::field(QStringLiteral("NOME_LEITOR")), false},
        {QStringLiteral("Nome Consumidor"), ResultSetModel::field(QStringLiteral("NOME_CONSUMIDOR")), false},
    });
    m_loginModel = new ResultSetModel(this);
    m_loginModel->setColumns({
        {QStringLiteral("Data Login"), ResultSetModel::field(QStringLiteral("LOG_DT_INI"))},
        {QStringLiteral("Hs Login"), ResultSetModel::field(QStringLiteral("LOG_HR_INI"))},
        {QStringLiteral("Nome Usuário"), ResultSetModel::field(QStringLiteral("NOME_USUARIO")), false},
        {QStringLiteral("Data Logout"), ResultSetModel::field(QStringLiteral("LOG_DT_FIM"))},
        {QStringLiteral("Hs logout"), ResultSetModel::field(QStringLiteral("LOG_HR_FIM"))},
        {QStringLiteral("Situação Log"), ResultSetModel::field(QStringLiteral("SITUACAO")), false, situationColour},
    });

    m_pages = new QStackedWidget(this);
    auto *completePage = new QWidget;
    auto *completeLayout = new QVBoxLayout(completePage);
    auto *completeTabs = new QTabWidget(completePage);
    m_gridComplete = makeGrid(completeTabs, m_completeModel);
    completeTabs->addTab(m_gridComplete, QStringLiteral("Consulta dos Logs"));
    completeLayout->addWidget(completeTabs, 1);
    m_memo = new QPlainTextEdit(completePage);
    m_memo->setReadOnly(true);
    m_memo->setMaximumHeight(80);
    completeLayout->addWidget(m_memo);
    auto *loginTabs = new QTabWidget;
    m_gridLogin = makeGrid(loginTabs, m_loginModel);
    loginTabs->addTab(m_gridLogin, QStringLiteral("Somente Login"));
    auto *empty = new QLabel(QStringLiteral("Não existe registro com os parâmetros selecionados"));
    empty->setAlignment(Qt::AlignCenter);
    m_pages->addWidget(completePage);
    m_pages->addWidget(loginTabs);
    m_pages->addWidget(empty);
    m_pages->addWidget(new QWidget);
    m_pages->setCurrentIndex(3);
    layout->addWidget(m_pages, 1);

    connect(m_gridComplete, &QTableView::clicked, this, &TfrmConsultaLOG::showActivity);
    m_gridComplete->installEventFilter(this);

    loadLists();
    m_rbSemAtividade->setChecked(true);
    setComplete(false);

    connect(btPesquisar, &QPushButton::clicked, this, &TfrmConsultaLOG::btPesquisarClick);
    connect(btExcel, &QPushButton::clicked, this, [this] {
        if (m_pages->currentIndex() > 1)
            return;
        const QString path =
            QFileDialog::getSaveFileName(this, QStringLiteral("Gera Excel"), ActivityWorkbookName(m_shownFilter),
                                         QStringLiteral("Pasta de trabalho do Excel (*.xlsx)"));
        if (!path.isEmpty())
            writeWorkbook(path);
    });
    connect(m_rbCompleto, &QRadioButton::toggled, this, [this](bool on) {
        setComplete(on);
        btPesquisarClick();
    });
    connect(m_cbUsuario, &QComboBox::activated, this, [this] { btPesquisarClick(); });
    connect(m_cbGrupo, &QComboBox::activated, this, [this] { loadRoutines(); });
    connect(m_edFinal, &QDateEdit::editingFinished, this, [this] { checkDates(); });
    resize(980, 560);
}

void TfrmConsultaLOG::loadLists()
{
    db::ResultSet rs;
    m_cbUsuario->clear();
    m_cbUsuario->addItem(AllUsers, -1);
    if (DynamicQuery(m_app,
                     m_hideServiceUser ? QStringLiteral("select * from USUARIOS WHERE  ID <> 2 order by NOME")
                                       : QStringLiteral("select * from USUARIOS order by NOME"),
                     QueryMode::Open, &rs))
        for (int r = 0; r < rs.rowCount(); ++r)
            m_cbUsuario->addItem(rs.value(r, QStringLiteral("NOME")).toString(), rs.value(r, QStringLiteral("ID")));

    m_cbGrupo->clear();
    m_cbGrupo->addItem(AllGroups);
    if (DynamicQuery(m_app, QStringLiteral("select distinct(rot_origem) from tab_rotina order by rot_origem"),
                     QueryMode::Open, &rs))
        for (int r = 0; r < rs.rowCount(); ++r)
            m_cbGrupo->addItem(rs.value(r, 0).toString());
    loadRoutines();

    auto fill = [this](QComboBox *box, const QString &sql, const QString &id, const QString &name) {
        box->clear();
        db::ResultSet rows;
        if (!DynamicQuery(m_app, sql, QueryMode::Open, &rows))
            return;
        for (int r = 0; r < rows.rowCount(); ++r)
            box->addItem(rows.value(r, name).toString(), rows.value(r, id));
        box->setCurrentIndex(-1);
    };
    fill(m_cbCliente,
         QStringLiteral("select id, NOME_LOCAL from ITENS where EXCLUIDO = 0 AND ID_PAI = -1  and ID <> -10  ORDER BY "
                        "NOME_LOCAL"),
         QStringLiteral("ID"), QStringLiteral("NOME_LOCAL"));
    fill(m_cbLeitor,
         QStringLiteral("select id, NOME_LOCAL, ID_PAI from ITENS where EXCLUIDO = 0 AND ( ID_PAI in ( -3, -5) or "
                        "ID_PAI > 0)  ORDER BY NOME_LOCAL"),
         QStringLiteral("ID"), QStringLiteral("NOME_LOCAL"));
    fill(m_cbConsumidor, QStringLiteral("select * from CONSUMIDOR order by CONSU_NOME  "), QStringLiteral("CONSU_ID"),
         QStringLiteral("CONSU_NOME"));
}

void TfrmConsultaLOG::loadRoutines()
{
    m_cbRotina->clear();
    m_cbRotina->addItem(AllRoutines, -1);
    db::ResultSet rs;
    const QString sql = m_cbGrupo->currentIndex() <= 0
                            ? QStringLiteral("select * from tab_rotina order by rot_desc")
                            : QStringLiteral("select * from TAB_ROTINA where ROT_ORIGEM = ") +
                                  sql::quote(m_cbGrupo->currentText()) + QStringLiteral(" order by ROT_DESC");
    if (DynamicQuery(m_app, sql, QueryMode::Open, &rs))
        for (int r = 0; r < rs.rowCount(); ++r)
            m_cbRotina->addItem(rs.value(r, QStringLiteral("ROT_DESC")).toString(),
                                rs.value(r, QStringLiteral("ROT_COD")));
}

void TfrmConsultaLOG::setComplete(bool complete)
{
    if (m_rbCompleto->isChecked() != complete) {
        const QSignalBlocker block(m_rbCompleto);
        m_rbCompleto->setChecked(complete);
        m_rbSemAtividade->setChecked(!complete);
    }
    for (QComboBox *c : {m_cbGrupo, m_cbRotina, m_cbCliente, m_cbLeitor, m_cbConsumidor})
        c->setEnabled(complete);
    if (!complete) {
        for (QComboBox *c : {m_cbCliente, m_cbLeitor, m_cbConsumidor})
            c->setCurrentIndex(-1);
    }
}

bool TfrmConsultaLOG::checkDates()
{
    if (m_edInicial->date() > m_edFinal->date()) {
        m_app.showMessageBox(QStringLiteral("A data Final é anterior à data inicial!"), QStringLiteral("Atenção"),
                             mb::IconWarning);
        m_edFinal->setFocus();
        return false;
    }
    return true;
}

ActivityFilter TfrmConsultaLOG::currentFilter() const
{
    ActivityFilter f;
    f.complete = m_rbCompleto->isChecked();
    f.from = m_edInicial->date();
    f.to = m_edFinal->date();
    f.hideServiceUser = m_hideServiceUser;
    f.userId = m_cbUsuario->currentIndex() > 0 ? m_cbUsuario->currentData().toInt() : -1;
    f.userText = m_cbUsuario->currentText();
    f.groupText = m_cbGrupo->currentText();
    f.routineText = m_cbRotina->currentText();
    if (f.complete) {
        if (m_cbRotina->currentIndex() > 0) {
            f.routine = m_cbRotina->currentData().toInt();
        } else if (m_cbGrupo->currentIndex() > 0) {
            for (int i = 1; i < m_cbRotina->count(); ++i)
                f.groupRoutines << m_cbRotina->itemData(i).toInt();
        }
        f.clientId = m_cbCliente->currentIndex() >= 0 ? m_cbCliente->currentData().toInt() : -1;
        f.readerId = m_cbLeitor->currentIndex() >= 0 ? m_cbLeitor->currentData().toInt() : -1;
        f.consumerId = m_cbConsumidor->currentIndex() >= 0 ? m_cbConsumidor->currentData().toInt() : -1;
    }
    f.clientText = m_cbCliente->currentText();
    f.readerText = m_cbLeitor->currentText();
    f.consumerText = m_cbConsumidor->currentText();
    return f;
}

bool TfrmConsultaLOG::btPesquisarClick()
{
    if (!checkDates())
        return false;
    const ActivityFilter f = currentFilter();
    db::ResultSet rows;
    try {
        rows = RunActivityQuery(m_app, f);
    } catch (const db::DbError &e) {
        m_app.showMessageBox(QStringLiteral("erro gerado: ") + e.text(), QStringLiteral("Erro"), mb::IconError);
        return false;
    }
    m_shownFilter = f;
    m_memo->clear();
    const int count = rows.rowCount();
    if (count == 0) {
        m_pages->setCurrentIndex(2);
    } else if (f.complete) {
        m_completeModel->setRows(rows);
        m_pages->setCurrentIndex(0);
    } else {
        m_loginModel->setRows(rows);
        m_pages->setCurrentIndex(1);
    }
    GravaLog(m_app, 85,
             (f.complete ? QStringLiteral("Log geral  => Período :") : QStringLiteral("Somente LOG  => Período :")) +
                 ActivitySummary(f) + QStringLiteral(" [") + QString::number(count) + QStringLiteral(" registros]"));
    return true;
}

bool TfrmConsultaLOG::writeWorkbook(const QString &path)
{
    const ResultSetModel *model = m_shownFilter.complete ? m_completeModel : m_loginModel;
    // The rows in the order the grid shows them.
    QList<QVariantList> ordered;
    for (int r = 0; r < model->rowCount(); ++r)
        ordered << model->rows().row(model->sourceRow(r));
    const db::ResultSet rows(model->rows().columns(), ordered);
    QString error;
    if (!WriteActivityWorkbook(path, m_shownFilter, rows, &error)) {
        m_app.showMessageBox(QStringLiteral("Não foi possível gravar a planilha: ") + error, QStringLiteral("Erro"),
                             mb::IconError);
        return false;
    }
    GravaLog(m_app, 86,
             (m_shownFilter.complete ? QStringLiteral(" Geração Excel LOG GERAL em [")
                                     : QStringLiteral(" Geração Excel Somente LOG em [")) +
                 path + QStringLiteral("] Período :") + ActivitySummary(m_shownFilter) + QStringLiteral(" [Total de ") +
                 QString::number(rows.rowCount()) + QStringLiteral(" registros]"));
    return true;
}

void TfrmConsultaLOG::showActivity(const QModelIndex &index)
{
    const int r = m_completeModel->sourceRow(index.row());
    if (r >= 0)
        m_memo->setPlainText(m_completeModel->rows().value(r, QStringLiteral("MOV_ATIV")).toString());
}

bool TfrmConsultaLOG::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Delete) {
            if (auto *box = qobject_cast<QComboBox *>(watched)) {
                box->setCurrentIndex(-1);
                return true;
            }
        }
    }
    if (event->type() == QEvent::KeyRelease && watched == m_gridComplete)
        showActivity(m_gridComplete->currentIndex());
    return QWidget::eventFilter(watched, event);
}

void TfrmConsultaLOG::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace zentro
