#include "tree/ui/TfrmPrincipal.h"

#include "app/AppContext.h"
#include "app/Clock.h"
#include "app/DataAccess.h"
#include "app/Startup.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QLocale>
#include <QMdiArea>
#include <QProgressBar>
#include <QStatusBar>
#include <QTimer>

namespace zentro {

TfrmPrincipal::TfrmPrincipal(AppContext &app, QWidget *parent)
    : QMainWindow(parent)
    , m_app(app)
{
    setObjectName(QStringLiteral("frmPrincipal"));
    setWindowTitle(QStringLiteral("Zentro"));
    // Money and dates read the same on every workstation, whatever its locale.
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));

    m_workArea = new QMdiArea(this);
    m_workArea->setBackground(QColor(0x5a, 0x6b, 0x7b));
    setCentralWidget(m_workArea);

    auto panel = [this](int width) {
        auto *label = new QLabel(this);
        label->setMinimumWidth(width);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        return label;
    };
    m_userPanel = panel(180);
    m_messagePanel = panel(260);
    m_counter1 = panel(140);
    m_counter2 = panel(140);
    m_versionPanel = panel(130);
    m_clockPanel = panel(140);
    m_progress = new QProgressBar(this);
    m_progress->setMaximumWidth(160);
    m_progress->setTextVisible(false);
    m_progress->setValue(0);
    statusBar()->addWidget(m_userPanel);
    statusBar()->addWidget(m_messagePanel, 1);
    statusBar()->addWidget(m_counter1);
    statusBar()->addWidget(m_counter2);
    statusBar()->addWidget(m_versionPanel);
    statusBar()->addWidget(m_clockPanel);
    statusBar()->addWidget(m_progress);

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

bool TfrmPrincipal::runShowSequence()
{
    db::ResultSet owner;
    QString error;
    if (!DynamicQuery(m_app, QStringLiteral("select * from CLIENTESKV"), QueryMode::Open, &owner, &error)) {
        m_app.showMessage(QStringLiteral("Erro na inicialização do sistema: ") + error);
        return false;
    }
    if (owner.isEmpty())
        setWindowTitle(QStringLiteral("Zentro -  ***** CLIENTE KAVORA NÃO IDENTIFICADO ******"));
    else
        setWindowTitle(QStringLiteral("Zentro - ") + owner.value(0, QStringLiteral("CLIKV_NOMEFANTASIA")).toString());

    setUserPanel(QStringLiteral("Usuário: ") + m_app.user.name);
    setMessagePanel({});
    setCounters({}, {});
    m_versionPanel->setText(QStringLiteral("Versão: ") + m_app.buildInfo);
    updateClock();
    m_progress->setValue(0);
    m_progress->setTextVisible(false);
    QApplication::restoreOverrideCursor();
    return true;
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

void TfrmPrincipal::setMessagePanel(const QString &text)
{
    m_messagePanel->setText(text);
}

void TfrmPrincipal::setCounters(const QString &first, const QString &second)
{
    m_counter1->setText(first);
    m_counter2->setText(second);
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

void TfrmPrincipal::closeEvent(QCloseEvent *event)
{
    if (!m_app.user.name.isEmpty()) {
        m_app.logEvent(QStringLiteral("O usuário ") + QLatin1Char('"') + m_app.user.name + QLatin1Char('"')
                           + QStringLiteral(" saiu do sistema."),
                       EventLog::Info);
    }
    m_app.logEvent(QStringLiteral("APLICAÇÃO ENCERRADA"), EventLog::ItemInfo);
    m_tick->stop();
    event->accept();
}

} // namespace zentro
