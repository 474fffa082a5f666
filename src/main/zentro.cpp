// The Zentro desktop program.

#include "app/AppContext.h"
#include "app/BuildInfo.h"
#include "app/Installation.h"
#include "app/InstanceGuard.h"
#include "app/ProgramFolder.h"
#include "app/Startup.h"
#include "app/ui/MiniHelp.h"
#include "app/ui/ProgramIcon.h"
#include "app/ui/QtMessagePresenter.h"
#include "app/ui/StartWindow.h"
#include "app/ui/TfrmDBUpdate.h"
#include "tree/ui/TfrmPrincipal.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>
#include <QThread>

using namespace zentro;

namespace {

// The data sources of the embedded default live in the program folder; a
// user who already points ODBCINI elsewhere keeps that.
void useProgramFolderDataSources(const QString &folder)
{
    const QString ini = folder + QStringLiteral("/odbc.ini");
    if (qEnvironmentVariableIsEmpty("ODBCINI") && QFileInfo::exists(ini))
        qputenv("ODBCINI", QFile::encodeName(ini));
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zentro"));
    application.installEventFilter(CreateGridWheelFilter(&application));
    QApplication::setWindowIcon(ProgramIcon());

    const QString folder = ProgramFolder::path();
    QDir().mkpath(folder);

    InstanceGuard instance(folder);
    if (!instance.acquire()) {
        QMessageBox::critical(nullptr, QStringLiteral("Zentro"), QStringLiteral("O programa já está em execução!"));
        return 1;
    }

    QtMessagePresenter messages;
    AppContext app(messages);
    app.programFolder = folder;
    app.events().setPath(folder + QStringLiteral("/events_log.htm"));
    app.buildInfo = GetBuildInfo(&app.events());
    app.setEventPump([] { QApplication::processEvents(); });

    QPointer<StartWindow> start = new StartWindow(app.buildInfo, true);
    start->show();
    start->repaint();
    QApplication::processEvents();

    QApplication::setApplicationDisplayName(QStringLiteral("Zentro"));
    useProgramFolderDataSources(folder);

    if (!LoadSettingsAndProbe(app)) {
        app.showMessageBox(QStringLiteral("Impossível ler a configuração.\rO sistema será finalizado."),
                           QStringLiteral("Sem conexão BD"), mb::IconError);
        return 1;
    }

    QString error;
    const QString installationPath = folder + QLatin1Char('/') + QLatin1String(Installation::FileName);
    const auto installation = Installation::load(installationPath, &error);
    if (!installation) {
        app.logEvent(error, EventLog::CriticalError);
        app.showMessageBox(error + QStringLiteral("\rO sistema será finalizado."), QStringLiteral("Zentro"),
                           mb::IconError);
        return 1;
    }
    app.installation = *installation;

    app.logEvent(QStringLiteral("APLICAÇÃO INICIADA Versão: ") + app.buildInfo, EventLog::ItemInfo);

    {
        TfrmDBUpdate updateView;
        if (!BD_Connect(app, app.conf.connectionString, updateView)) {
            app.showMessageBox(QStringLiteral("Impossível estabelecer conexão com o banco de dados.\rO sistema será "
                                              "finalizado."),
                               QStringLiteral("Sem conexão BD"), mb::IconError);
            app.logEvent(QStringLiteral("Impossível estabelecer conexão com o banco de dados"), EventLog::Error);
            return 1;
        }
    }

    // The main window never shows before the start window has been up its
    // three seconds.
    while (start && start->isUp()) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(10);
    }

    TfrmPrincipal principal(app);
    // Without a window manager "maximised" means nothing: take the screen ourselves.
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        principal.setGeometry(screen->availableGeometry());
    principal.showMaximized();
    if (!principal.runShowSequence())
        return 1;
    return QApplication::exec();
}
