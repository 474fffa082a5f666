#include "app/Startup.h"

#include "app/AppContext.h"
#include "app/Clock.h"
#include "app/DbUpdate.h"
#include "app/Settings.h"

namespace zentro {

namespace {

const QString SettingsFileName = QStringLiteral("Zentro.ini");

} // namespace

QString ConnectionStringFor(const QString &dataSource)
{
    return QStringLiteral("DSN=") + dataSource + QStringLiteral(";");
}

bool LoadSettingsAndProbe(AppContext &app)
{
    const QString path = app.programFolder + QLatin1Char('/') + SettingsFileName;
    QString failures;
    QString error;

    auto fail = [&](const QString &text) {
        app.showMessageBox(QStringLiteral("Erro ao carregar as configurações do sistema:\r") + text +
                               QStringLiteral("."),
                           QStringLiteral("Configurações"), mb::IconError);
        return false;
    };

    const auto profile = ProfileFile::read(path, &error);
    if (!profile)
        return fail(error);

    QList<ConfigFileSection> table;
    const QStringList sections = profile->sections();
    if (sections.isEmpty()) {
        table << ConfigFileSection{QStringLiteral("GERAL"), QStringLiteral("Zentro"), QStringLiteral("Cliente geral")};
        if (!ProfileFile::writeValue(path, QStringLiteral("GERAL"), QStringLiteral("DATASOURCE"),
                                     QStringLiteral("Zentro"), &error))
            return fail(error);
    } else {
        for (const QString &section : sections) {
            if (table.size() == AppContext::MaxDataSources)
                break;
            const QString dataSource = profile->value(section, QStringLiteral("DATASOURCE"), QStringLiteral("Zentro"));
            const QString friendly = profile->value(section, QStringLiteral("FRIENDLYNAME"), dataSource);
            table << ConfigFileSection{section, dataSource, friendly};
        }
    }

    app.conf.logPath = profile->value(QStringLiteral("SYS_GLOBAL"), QStringLiteral("PATH_LOG"),
                                      app.programFolder + QStringLiteral("/events_log.htm"));
    bool sizeOk = false;
    const int size = profile->value(QStringLiteral("SYS_GLOBAL"), QStringLiteral("LOG_FILE_SIZE"), QStringLiteral("4"))
                         .toInt(&sizeOk);
    app.conf.logFileSize = sizeOk && size > 0 ? size : 4;

    for (qsizetype i = 0; i < table.size();) {
        app.cnt().close();
        bool opened = false;
        try {
            app.cnt().open(ConnectionStringFor(table.at(i).dataSource), 30);
            opened = app.cnt().isOpen();
        } catch (const db::DbError &) {
            opened = false;
        }
        if (!opened) {
            failures += table.at(i).friendlyName + QStringLiteral("\r\n");
            table.removeAt(i);
            continue;
        }
        app.cnt().close();
        ++i;
    }

    if (table.isEmpty()) {
        return fail(failures + QStringLiteral("Nenhuma conexão foi feita com sucesso.") + QStringLiteral("\r\n") +
                    QStringLiteral("O programa será encerrado"));
    }

    app.dataSources = table;
    app.currentDataSource = 0;
    app.conf.dataSource = table.first().dataSource;
    app.conf.friendlyName = table.first().friendlyName;
    app.conf.connectionString = ConnectionStringFor(app.conf.dataSource);
    app.events().setPath(app.conf.logPath);
    app.events().setFileSize(app.conf.logFileSize);

    if (!failures.isEmpty()) {
        app.showMessageBox(QStringLiteral("Algumas conexões não foram bem sucedidas:\r\n") + failures +
                               QStringLiteral("Essas conexões serão ignoradas.") + QStringLiteral("\r\n\r\n") +
                               QStringLiteral("Será usada inicialmente a conexão ") + QLatin1Char('"') +
                               app.conf.friendlyName + QLatin1Char('"') + QStringLiteral(" ao banco de dados."),
                           QStringLiteral("Aviso de configuração"), mb::IconWarning);
    }
    return true;
}

bool BD_Connect(AppContext &app, const QString &connectionString, DbUpdateView &updateView)
{
    try {
        app.cnt().close();
        try {
            app.cnt().open(connectionString, 30);
        } catch (const db::DbError &) {
            // Reported below in the program's own words.
        }
        if (!app.cnt().isOpen())
            throw db::DbError(QStringLiteral("Falha estabelecendo conexão"));

        const db::ResultSet info = app.cnt().query(QStringLiteral("select * from DBINFO;"));
        if (info.rowCount() != 1)
            throw db::DbError(QStringLiteral("Banco de dados não possui informação de versão.\r\nRecord Count = %1.")
                                  .arg(info.rowCount()));
        const int column = info.column(QStringLiteral("VERSION"));
        if (column < 0)
            throw db::DbError(QStringLiteral("Banco de dados não possui informação de versão."));
        const QString version = info.value(0, column).toString().trimmed();
        const QString required = QLatin1String(AppContext::RequiredVersion);
        app.lastKeepAlive = Clock::now();

        if (version > required) {
            app.showMessageBox(QStringLiteral("Zentro está numa versão incorreta para funcionar com essa base de "
                                              "dados!\r\n\r\nSaindo do programa!"),
                               QStringLiteral("Zentro"), mb::IconInformation);
            return false;
        }
        if (version == required)
            return true;
        return UpdateDatabase(app, updateView, version);
    } catch (const db::DbError &e) {
        app.showMessage(QStringLiteral("Erro ao estabelecer conexão com o banco de dados (Função: BD_Connect): ") +
                        e.text().left(255).trimmed() + QStringLiteral(".") + QStringLiteral("\r\n") +
                        QStringLiteral("<br>") + QStringLiteral("Objeto Conexão = ") + QStringLiteral("Cnt"));
        return false;
    }
}

bool SwitchDataSource(AppContext &app, int index, DbUpdateView &updateView)
{
    const SystemConf saved = app.conf;
    app.conf.dataSource = app.dataSources.at(index).dataSource;
    app.conf.friendlyName = app.dataSources.at(index).friendlyName;
    app.conf.connectionString = ConnectionStringFor(app.conf.dataSource);
    if (BD_Connect(app, app.conf.connectionString, updateView)) {
        app.currentDataSource = index;
        // The login records of the other database are not this one's.
        app.loginRecord = 0;
        return true;
    }
    app.showMessageBox(QStringLiteral("Impossível estabelecer conexão com o banco de dados.\rSelecione outra conexão."),
                       QStringLiteral("Sem conexão BD"), mb::IconError);
    app.conf = saved;
    app.cnt().close();
    return false;
}

void KeepAliveTick(AppContext &app)
{
    try {
        if (app.cnt().isOpen()) {
            const QDateTime now = Clock::now();
            if (app.cnt().inTransaction()) {
                app.lastKeepAlive = now;
            } else if (!app.lastKeepAlive.isValid() || app.lastKeepAlive.secsTo(now) > 30) {
                app.cnt().execute(QStringLiteral("DO 0"));
                app.lastKeepAlive = now;
            }
        } else {
            app.cnt().open(app.conf.connectionString, 5);
            app.cnt().execute(QStringLiteral("DO 0"));
            app.lastKeepAlive = Clock::now();
        }
    } catch (const db::DbError &e) {
        app.logEvent(QStringLiteral("Erro na conexão com o banco de dados: ") + e.text(), EventLog::CriticalError);
        app.cnt().close();
    }
}

} // namespace zentro
