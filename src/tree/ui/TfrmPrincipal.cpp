#include "tree/ui/TfrmPrincipal.h"

#include "tree/ui/TvConfigura.h"

#include "app/AppContext.h"
#include "app/Clock.h"
#include "app/DataAccess.h"
#include "app/Startup.h"
#include "app/ui/MiniHelp.h"
#include "app/ui/StartWindow.h"
#include "app/ui/TfrmDBUpdate.h"
#include "audit/ui/TfrmConsultaLOG.h"
#include "card/ui/TfrmCardFormat.h"
#include "card/ui/TfrmWriteProgCard_ARM.h"
#include "tree/ui/TfconfigCLIKV.h"
#include "users/ui/TfrmLogin.h"
#include "users/ui/TfrmUsuarios.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QProgressBar>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>
#include <QVBoxLayout>

namespace zentro {

namespace {

constexpr int TreeWidth = 240;

// The commands that logging on enables and logging off disables.
const QStringList GuardedCommands = {
    QStringLiteral("acNovoLeitorToolbar"),
    QStringLiteral("acNovoLeitor"),
    QStringLiteral("acConfigKLT"),
    QStringLiteral("acMasterConf"),
    QStringLiteral("acImportarLogs"),
    QStringLiteral("acExportarLeitores"),
    QStringLiteral("acLogoff"),
    QStringLiteral("AuxRenomear"),
    QStringLiteral("acUsuarios"),
    QStringLiteral("acConfigsSis"),
    QStringLiteral("acLocalizar"),
    QStringLiteral("acLocalizarCartao"),
    QStringLiteral("acProdDisp"),
    QStringLiteral("ac_consumidor"),
    QStringLiteral("acFormatarCartao"),
    QStringLiteral("acConsultaLOG"),
    QStringLiteral("ac_ATUALIZA_KLT700"),
};

} // namespace

TfrmPrincipal::TfrmPrincipal(AppContext &app, QWidget *parent)
    : QMainWindow(parent)
    , m_app(app)
{
    setObjectName(QStringLiteral("frmPrincipal"));
    setWindowTitle(QStringLiteral("Zentro"));
    // Money and dates read the same on every workstation, whatever its locale.
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));

    m_splitter = new QSplitter(Qt::Horizontal, this);
    m_treeHost = new QWidget(m_splitter);
    auto *treeLayout = new QVBoxLayout(m_treeHost);
    treeLayout->setContentsMargins(0, 0, 0, 0);
    m_tvConfigura = new TvConfigura(m_app, m_treeHost);
    m_tvConfigura->setObjectName(QStringLiteral("tvConfigura"));
    treeLayout->addWidget(m_tvConfigura);
    m_workArea = new QMdiArea(m_splitter);
    m_workArea->setBackground(QColor(0x5a, 0x6b, 0x7b));
    m_splitter->addWidget(m_treeHost);
    m_splitter->addWidget(m_workArea);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setSizes({TreeWidth, 1000});
    m_splitter->setChildrenCollapsible(false);
    // The tree keeps a width the operator can still use: above 117 pixels and
    // at most half the screen.
    connect(m_splitter, &QSplitter::splitterMoved, this, [this] {
        const int screenHalf = (screen() ? screen()->geometry().width() : 1280) / 2;
        const int width = m_splitter->sizes().value(0);
        if (width <= 117 || width > screenHalf) {
            const int kept = qBound(118, width, screenHalf);
            m_splitter->setSizes({kept, m_splitter->width() - kept});
        }
    });
    setCentralWidget(m_splitter);

    addCommand(QStringLiteral("acLogin"), QStringLiteral("Login"), QStringLiteral("Efetuar Login"),
               QKeySequence(QStringLiteral("Ctrl+E")));
    addCommand(QStringLiteral("acLogoff"), QStringLiteral("Logoff"), QStringLiteral("Efetuar Logoff"),
               QKeySequence(QStringLiteral("Ctrl+F")));
    addCommand(QStringLiteral("acUsuarios"), QStringLiteral("Usuarios"), QStringLiteral("Cadastro de Usuários"),
               QKeySequence(QStringLiteral("Ctrl+U")));
    addCommand(QStringLiteral("acLocalizar"), QStringLiteral("Localizar Leitor"), QStringLiteral("Localizar Leitor"),
               QKeySequence(QStringLiteral("Ctrl+L")));
    addCommand(QStringLiteral("acNovoLeitor"), QStringLiteral("Novo Leitor"), QStringLiteral("Novo Leitor"),
               QKeySequence(QStringLiteral("Ctrl+N")));
    addCommand(QStringLiteral("acNovoLeitorToolbar"), QStringLiteral("Novo Leitor"),
               QStringLiteral("Novo Leitor (Ctrl+N)"));
    addCommand(QStringLiteral("acConfigKLT"), QStringLiteral("Configurar Leitor "),
               QStringLiteral("Acessar configurações dos Leitores"), QKeySequence(QStringLiteral("Ctrl+A")));
    addCommand(QStringLiteral("acMasterConf"), QStringLiteral("MasterConf "),
               QStringLiteral("Configurações Master de Clientes"), QKeySequence(QStringLiteral("Ctrl+M")));
    addCommand(QStringLiteral("acImportarLogs"), QStringLiteral("Importar Logs"), QStringLiteral("Importa Logs"),
               QKeySequence(QStringLiteral("Ctrl+Shift+I")));
    addCommand(QStringLiteral("acExportarLeitores"), QStringLiteral("Exportar Leitores"),
               QStringLiteral("Exportação de Configurações e Listas dos Leitores"),
               QKeySequence(QStringLiteral("Ctrl+Shift+E")));
    addCommand(QStringLiteral("acProdDisp"), QStringLiteral("Produtos disponíveis"),
               QStringLiteral("Produtos disponíveis"), QKeySequence(QStringLiteral("Ctrl+Shift+P")));
    addCommand(QStringLiteral("ac_consumidor"), QStringLiteral("Consumidores"), QStringLiteral("Consumidores"),
               QKeySequence(QStringLiteral("Ctrl+Shift+C")));
    addCommand(QStringLiteral("acRelConsumoCartao"), QStringLiteral("Relatório de Consumo por Cartão"),
               QStringLiteral("Relatório de Consumo por Cartão"));
    addCommand(QStringLiteral("acConfigsSis"), QStringLiteral("Configurações do sistema"),
               QStringLiteral("Configurações gerais do sistema"));
    addCommand(QStringLiteral("acSair"), QStringLiteral("Sair"), QStringLiteral("Sair do Sistema"),
               QKeySequence(QStringLiteral("Ctrl+Q")));
    addCommand(QStringLiteral("acSobre"), QStringLiteral("Sobre..."), QStringLiteral("Sobre..."));
    addCommand(QStringLiteral("acLocalizarCartao"), QStringLiteral("Loc. Cartão"), QStringLiteral("Localizar Cartão"));
    addCommand(QStringLiteral("acFormatarCartao"), QStringLiteral("Formatar Cartão"),
               QStringLiteral("Formatar cartão como Troca de Software, Configuração ou Coleta."));
    addCommand(QStringLiteral("AuxRenomear"), QStringLiteral("Renomear"), QStringLiteral("Renomear"),
               QKeySequence(Qt::Key_F2));
    addCommand(QStringLiteral("acLogs"), QStringLiteral("Logs de Transações"), QStringLiteral("Logs de Transações"));
    addCommand(QStringLiteral("acHistManutencao"), QStringLiteral("Histórico Manutenção"),
               QStringLiteral("Histórico Manutenção"));
    addCommand(QStringLiteral("acMoverPara"), QStringLiteral("Mover para cliente..."),
               QStringLiteral("Mover para cliente..."));
    addCommand(QStringLiteral("acConsultaLOG"), QStringLiteral("Consulta Log Usuários"),
               QStringLiteral("Consulta Log Usuários"));
    addCommand(QStringLiteral("ac_ATUALIZA_KLT700"), QStringLiteral("Grava Cartão para atualizar programa KLT700"),
               QStringLiteral("Grava Cartão para atualizar programa KLT700"));
    command(QStringLiteral("AuxRenomear"))->setShortcutContext(Qt::ApplicationShortcut);
    addAction(command(QStringLiteral("AuxRenomear")));

    connect(command(QStringLiteral("acLogin")), &QAction::triggered, this, [this] { acLoginExecute(); });
    connect(command(QStringLiteral("acLogoff")), &QAction::triggered, this, [this] { acLogoffExecute(true); });
    connect(command(QStringLiteral("acSair")), &QAction::triggered, this, [this] {
        acLogoffExecute(true);
        close();
    });
    connect(command(QStringLiteral("acSobre")), &QAction::triggered, this, &TfrmPrincipal::showAbout);
    connect(command(QStringLiteral("acUsuarios")), &QAction::triggered, this, &TfrmPrincipal::showUsers);
    connect(command(QStringLiteral("acConfigsSis")), &QAction::triggered, this, &TfrmPrincipal::showOwnerSettings);
    connect(command(QStringLiteral("acConsultaLOG")), &QAction::triggered, this, &TfrmPrincipal::showActivityLog);
    connect(command(QStringLiteral("acFormatarCartao")), &QAction::triggered, this, &TfrmPrincipal::showFormatCard);
    connect(command(QStringLiteral("ac_ATUALIZA_KLT700")), &QAction::triggered, this, &TfrmPrincipal::showProgramCard);

    connect(command(QStringLiteral("acNovoLeitorToolbar")), &QAction::triggered, this,
            &TfrmPrincipal::novoLeitorToolbar);
    connect(command(QStringLiteral("AuxRenomear")), &QAction::triggered, m_tvConfigura, &TvConfigura::AuxRenomear);

    buildMenus();
    buildToolBar();
    buildStatusBar();

    connect(m_tvConfigura, &TvConfigura::countersChanged, this, &TfrmPrincipal::setCounters);
    connect(m_tvConfigura, &TvConfigura::hintChanged, this, &TfrmPrincipal::setHintPanel);
    // A click in the tree closes the field-help window.
    connect(m_tvConfigura, &TvConfigura::clicked, this, [this] { CloseMiniHelp(m_workArea); });
    for (const char *name : {"acLogs", "acHistManutencao", "acMoverPara", "ac_consumidor"})
        m_tvConfigura->addCommand(command(QLatin1String(name)));
    disableAll();

    m_app.setProgressSink(this);
    m_tick = new QTimer(this);
    m_tick->setInterval(1000);
    connect(m_tick, &QTimer::timeout, this, &TfrmPrincipal::tick);
    m_tick->start();
    updateClock();
}

TfrmPrincipal::~TfrmPrincipal()
{
    m_app.setProgressSink(nullptr);
}

QAction *TfrmPrincipal::addCommand(const QString &name, const QString &caption, const QString &hint,
                                   const QKeySequence &shortcut)
{
    auto *action = new QAction(caption, this);
    action->setObjectName(name);
    action->setToolTip(hint);
    action->setStatusTip(hint);
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    m_commands.insert(name, action);
    return action;
}

void TfrmPrincipal::buildMenus()
{
    QMenu *system = menuBar()->addMenu(QStringLiteral("Sistema"));
    for (const char *name : {"acLogin", "acUsuarios", "acLocalizar", "acNovoLeitor"})
        system->addAction(command(QLatin1String(name)));
    // The menu text differs from the command's caption.
    auto *configMenu = system->addAction(QStringLiteral("Configurar Leitor"));
    configMenu->setShortcut(command(QStringLiteral("acConfigKLT"))->shortcut());
    command(QStringLiteral("acConfigKLT"))->setShortcut({});
    connect(configMenu, &QAction::triggered, command(QStringLiteral("acConfigKLT")), &QAction::trigger);
    connect(command(QStringLiteral("acConfigKLT")), &QAction::enabledChanged, configMenu, &QAction::setEnabled);
    configMenu->setStatusTip(command(QStringLiteral("acConfigKLT"))->statusTip());
    for (const char *name : {"acMasterConf", "acImportarLogs", "acExportarLeitores", "acProdDisp", "ac_consumidor"})
        system->addAction(command(QLatin1String(name)));
    QMenu *reports = system->addMenu(QStringLiteral("Relatórios"));
    reports->addAction(command(QStringLiteral("acRelConsumoCartao")));
    system->addAction(command(QStringLiteral("acConfigsSis")));
    system->addAction(command(QStringLiteral("acConsultaLOG")));
    system->addAction(command(QStringLiteral("ac_ATUALIZA_KLT700")));
    system->addAction(command(QStringLiteral("acLogoff")));
    system->addAction(command(QStringLiteral("acSair")));
    command(QStringLiteral("acConfigsSis"))->setVisible(false);

    QMenu *help = menuBar()->addMenu(QStringLiteral("Ajuda"));
    help->addAction(command(QStringLiteral("acSobre")));
}

void TfrmPrincipal::buildToolBar()
{
    QToolBar *bar = addToolBar(QStringLiteral("Comandos"));
    bar->setObjectName(QStringLiteral("tbPrincipal"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto add = [&](const char *name, const QString &text = {}) {
        QAction *a = command(QLatin1String(name));
        if (text.isEmpty()) {
            bar->addAction(a);
            return;
        }
        // A toolbar text of its own, following the command's state.
        auto *b = bar->addAction(text);
        b->setToolTip(a->toolTip());
        b->setStatusTip(a->statusTip());
        b->setEnabled(a->isEnabled());
        connect(b, &QAction::triggered, a, &QAction::trigger);
        connect(a, &QAction::enabledChanged, b, &QAction::setEnabled);
    };
    add("acLocalizar", QStringLiteral("Loc. Leitor"));
    add("acNovoLeitorToolbar");
    add("acConfigKLT", QStringLiteral("Conf. Leitor "));
    add("acMasterConf");
    add("acImportarLogs");
    add("acExportarLeitores");
    add("acSair");
    add("acLogin");
    add("acLogoff");
    add("acUsuarios");
    add("acLocalizarCartao");
    add("acFormatarCartao");
    bar->addSeparator();
    bar->addWidget(new QLabel(QStringLiteral(" Cliente: "), bar));
    m_cbDataSource = new QComboBox(bar);
    m_cbDataSource->setObjectName(QStringLiteral("cbDataSource"));
    m_cbDataSource->setMinimumWidth(200);
    for (const ConfigFileSection &s : std::as_const(m_app.dataSources))
        m_cbDataSource->addItem(s.friendlyName);
    m_cbDataSource->setCurrentIndex(m_app.currentDataSource);
    connect(m_cbDataSource, &QComboBox::activated, this, &TfrmPrincipal::switchDataSource);
    bar->addWidget(m_cbDataSource);
}

void TfrmPrincipal::buildStatusBar()
{
    auto panel = [this](const QString &name) {
        auto *label = new QLabel(this);
        label->setObjectName(name);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        return label;
    };
    m_userPanel = panel(QStringLiteral("pnUsuario"));
    m_hintPanel = panel(QStringLiteral("pnHint"));
    m_counter1 = panel(QStringLiteral("pnInstalados"));
    m_counter2 = panel(QStringLiteral("pnEstoque"));
    m_versionPanel = panel(QStringLiteral("pnVersao"));
    m_clockPanel = panel(QStringLiteral("pnRelogio"));
    m_progress = new QProgressBar(this);
    m_progress->setTextVisible(false);
    m_progress->setValue(0);
    statusBar()->addWidget(m_userPanel);
    statusBar()->addWidget(m_hintPanel, 1);
    statusBar()->addWidget(m_counter1);
    statusBar()->addWidget(m_counter2);
    statusBar()->addWidget(m_versionPanel);
    statusBar()->addWidget(m_clockPanel);
    statusBar()->addWidget(m_progress);
    applyPanelWidths();
}

void TfrmPrincipal::applyPanelWidths()
{
    m_userPanel->setFixedWidth(250);
    m_counter1->setFixedWidth(145);
    m_counter2->setFixedWidth(100);
    m_versionPanel->setFixedWidth(125);
    // 125 pixels, or what the date and time need in this workstation's font.
    m_clockPanel->setFixedWidth(
        qMax(125, m_clockPanel->fontMetrics().horizontalAdvance(QStringLiteral("00/00/0000  00:00:00")) + 12));
    m_progress->setFixedWidth(50);
}

void TfrmPrincipal::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    applyPanelWidths();
}

bool TfrmPrincipal::eventFilter(QObject *watched, QEvent *event)
{
    // A child window that closes itself takes its frame along at once.
    if (event->type() == QEvent::Hide) {
        for (QMdiSubWindow *sub : m_workArea->subWindowList()) {
            if (sub->widget() == watched && !sub->isHidden())
                QMetaObject::invokeMethod(
                    sub, [sub] { sub->close(); }, Qt::QueuedConnection);
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

bool TfrmPrincipal::event(QEvent *event)
{
    if (event->type() == QEvent::StatusTip) {
        m_hintPanel->setText(static_cast<QStatusTipEvent *>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

QWidget *TfrmPrincipal::childWindow(const QString &kind) const
{
    // A window that closed itself is on its way out, even before the frame goes.
    const QPointer<QMdiSubWindow> sub = m_children.value(kind);
    QWidget *w = sub ? sub->widget() : nullptr;
    return w && !w->isHidden() ? w : nullptr;
}

void TfrmPrincipal::PositionChildWindow(QWidget *window)
{
    QWidget *frame = window->parentWidget() && qobject_cast<QMdiSubWindow *>(window->parentWidget())
                         ? window->parentWidget()
                         : window;
    const int screenWidth = screen() ? screen()->geometry().width() : width();
    const int left = (screenWidth - TreeWidth - frame->width()) / 2;
    frame->move(qMax(0, left), 28);
    window->setFocus();
}

QWidget *TfrmPrincipal::openChild(const QString &kind, const std::function<QWidget *()> &create, bool bringForward)
{
    if (childWindow(kind)) {
        QMdiSubWindow *open = m_children.value(kind);
        if (bringForward) {
            m_workArea->setActiveSubWindow(open);
            open->raise();
        }
        return open->widget();
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QWidget *window = create();
    window->setAttribute(Qt::WA_DeleteOnClose);
    QMdiSubWindow *sub = m_workArea->addSubWindow(window);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowTitle(window->windowTitle());
    // The frame goes with the window it holds.
    connect(window, &QObject::destroyed, sub, &QMdiSubWindow::close, Qt::QueuedConnection);
    window->installEventFilter(this);
    sub->adjustSize();
    m_children.insert(kind, sub);
    sub->show();
    PositionChildWindow(window);
    QApplication::restoreOverrideCursor();
    return window;
}

void TfrmPrincipal::closeAllChildren()
{
    for (QMdiSubWindow *sub : m_workArea->subWindowList()) {
        // Released without asking: logoff and data-source switches do not wait.
        sub->widget()->setAttribute(Qt::WA_DeleteOnClose);
        delete sub;
    }
    m_children.clear();
}

void TfrmPrincipal::enableAll()
{
    for (const QString &name : GuardedCommands)
        command(name)->setEnabled(true);
    command(QStringLiteral("acLogin"))->setEnabled(false);
    m_tvConfigura->setOperational(true);
}

void TfrmPrincipal::disableAll()
{
    for (const QString &name : GuardedCommands)
        command(name)->setEnabled(false);
    command(QStringLiteral("acLogin"))->setEnabled(true);
    command(QStringLiteral("acConfigsSis"))->setVisible(false);
    m_tvConfigura->setOperational(false);
}

bool TfrmPrincipal::runShowSequence()
{
    try {
        db::ResultSet owner;
        QString error;
        if (!DynamicQuery(m_app, QStringLiteral("select * from CLIENTESKV"), QueryMode::Open, &owner, &error))
            throw db::DbError(error);
        if (owner.isEmpty())
            setWindowTitle(QStringLiteral("Zentro -  ***** CLIENTE KAVORA NÃO IDENTIFICADO ******"));
        else
            setWindowTitle(QStringLiteral("Zentro - ") +
                           owner.value(0, QStringLiteral("CLIKV_NOMEFANTASIA")).toString());

        setUserPanel(QStringLiteral("Usuário: ") + m_app.user.name);
        m_hintPanel->clear();
        setCounters({}, {});
        m_versionPanel->setText(QStringLiteral("Versão: ") + m_app.buildInfo);
        updateClock();
        m_progress->setValue(0);
        m_progress->setTextVisible(false);

        if (!m_tvConfigura->LoadTreeview()) {
            m_app.showMessageBox(QStringLiteral("Impossível gerar a árvore de leitores.\rO programa será finalizado."),
                                 QStringLiteral("Estrutura não localizada"), mb::IconInformation);
            close();
            return false;
        }
        m_tvConfigura->UpdateCounters();
        acLoginExecute();
        QApplication::restoreOverrideCursor();
        return true;
    } catch (const db::DbError &e) {
        m_app.showMessage(QStringLiteral("Erro na inicialização do sistema: ") + e.text());
        close();
        return false;
    }
}

void TfrmPrincipal::showProgress(const QString &text, int position, int maximum, bool showPercent)
{
    m_userPanel->setText(text);
    m_progress->setRange(0, qMax(maximum, 1));
    m_progress->setValue(position);
    m_progress->setTextVisible(showPercent);
}

void TfrmPrincipal::setUserPanel(const QString &text)
{
    m_userPanel->setText(text);
}

void TfrmPrincipal::setCounters(const QString &installed, const QString &stock)
{
    m_counter1->setText(installed);
    m_counter2->setText(stock);
}

void TfrmPrincipal::setHintPanel(const QString &text)
{
    m_hintPanel->setText(text);
}

void TfrmPrincipal::novoLeitorToolbar()
{
    if (!m_tvConfigura->selectedNode()) {
        m_tvConfigura->setFocus();
        m_app.showMessageBox(QStringLiteral("Selecione a pasta ou sub-pasta do Cliente do qual \rdeseja efetuar a "
                                            "operação"),
                             QStringLiteral("Seleção inválida"), mb::IconInformation);
        return;
    }
    // The reader registration window opens here once it exists.
}

void TfrmPrincipal::updateClock()
{
    m_clockPanel->setText(Clock::now().toString(QStringLiteral("dd/MM/yyyy  HH:mm:ss")));
}

void TfrmPrincipal::tick()
{
    // A reconnect can take seconds: never let two ticks overlap.
    m_tick->stop();
    updateClock();
    KeepAliveTick(m_app);
    m_tick->start();
}

void TfrmPrincipal::acLoginExecute(bool fromUserWindow)
{
    if (!fromUserWindow) {
        for (QMdiSubWindow *sub : m_workArea->subWindowList()) {
            QWidget *w = sub->widget();
            if (w && !w->isHidden() && !qobject_cast<TfrmLogin *>(w)) {
                m_app.showMessageBox(QStringLiteral("Todas as telas devem estar fechadas para a possível alteração do "
                                                    "usuário."),
                                     QStringLiteral("Atenção"), mb::IconError);
                return;
            }
        }
    }
    auto *login = static_cast<TfrmLogin *>(openChild(QStringLiteral("TfrmLogin"), [this] {
        auto *w = new TfrmLogin(m_app);
        connect(w, &TfrmLogin::loggedOn, this, &TfrmPrincipal::finishLogin);
        connect(w, &TfrmLogin::fatalFailure, this, [this] {
            m_closing = true;
            close();
            QApplication::exit(1);
        });
        return w;
    }));
    login->nameField()->setFocus();
    setUserPanel(QStringLiteral("Usuário: ") + m_app.user.name);
}

void TfrmPrincipal::finishLogin(const LoginOutcome &outcome)
{
    setWindowTitle(QStringLiteral("Zentro - ") + outcome.ownerTradeName);
    setUserPanel(QStringLiteral("Usuário: ") + m_app.user.name);
    m_versionPanel->setText(QStringLiteral("Versão: ") + m_app.buildInfo);
    setLogo(outcome.logo);
    if (m_app.user.level == Administrador)
        enableAll();
    command(QStringLiteral("acConfigsSis"))->setVisible(m_app.user.name == QStringLiteral("KAVORA"));
    QApplication::restoreOverrideCursor();
    emit loggedOn();
}

void TfrmPrincipal::setLogo(const QByteArray &jpeg)
{
    m_logo = QImage();
    if (!jpeg.isEmpty())
        m_logo.loadFromData(jpeg, "JPEG");
}

void TfrmPrincipal::acLogoffExecute(bool byCommand)
{
    closeAllChildren();
    disableAll();
    m_tvConfigura->view()->collapseAll();
    Logoff(m_app, byCommand);
    emit loggedOff();
}

void TfrmPrincipal::switchDataSource(int index)
{
    if (m_switching || index < 0 || index >= m_app.dataSources.size() || index == m_app.currentDataSource)
        return;
    m_switching = true;
    acLogoffExecute(false);
    TfrmDBUpdate updateView;
    if (SwitchDataSource(m_app, index, updateView))
        runShowSequence();
    else
        m_cbDataSource->setCurrentIndex(m_app.currentDataSource);
    m_switching = false;
}

void TfrmPrincipal::showAbout()
{
    openChild(QStringLiteral("StartWindow"), [this] { return new StartWindow(m_app.buildInfo, false); });
}

void TfrmPrincipal::showUsers()
{
    openChild(QStringLiteral("TfrmUsuarios"), [this] { return new TfrmUsuarios(m_app); });
}

void TfrmPrincipal::showOwnerSettings()
{
    auto *w = new TfconfigCLIKV(m_app);
    if (!w->isValid()) {
        delete w;
        return;
    }
    connect(w, &TfconfigCLIKV::saved, this, [this](const QString &tradeName) {
        setWindowTitle(QStringLiteral("Zentro - ") + tradeName);
        setLogo(LoadOwnerLogo(m_app));
    });
    openChild(QStringLiteral("TfconfigCLIKV"), [w] { return w; });
}

void TfrmPrincipal::showActivityLog()
{
    openChild(QStringLiteral("TfrmConsultaLOG"), [this] { return new TfrmConsultaLOG(m_app); });
}

void TfrmPrincipal::showFormatCard()
{
    openChild(
        QStringLiteral("TfrmCardFormat"), [this] { return new TfrmCardFormat(m_app); }, false);
}

void TfrmPrincipal::showProgramCard()
{
    openChild(QStringLiteral("TfrmWriteProgCard_ARM"), [this] { return new TfrmWriteProgCard_ARM(m_app); });
}

void TfrmPrincipal::closeEvent(QCloseEvent *event)
{
    closeAllChildren();
    if (!m_app.user.name.isEmpty()) {
        m_app.logEvent(QStringLiteral("O usuário ") + QLatin1Char('"') + m_app.user.name + QLatin1Char('"') +
                           QStringLiteral(" saiu do sistema."),
                       EventLog::Info);
    }
    m_app.logEvent(QStringLiteral("APLICAÇÃO ENCERRADA"), EventLog::ItemInfo);
    m_tick->stop();
    event->accept();
}

} // namespace zentro
