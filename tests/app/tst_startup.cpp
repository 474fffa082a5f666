// Start-up against the real server: the data-source table, the trial
// connections, the version check and the keep-alive tick.

#include "ScriptedMessages.h"
#include "TestDatabase.h"
#include "app/AppContext.h"
#include "app/DataAccess.h"
#include "app/DbUpdate.h"
#include "app/Startup.h"

#include <QtTest>

using namespace zentro;

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void missingFileWritesTheGeneralSection();
    void sectionNamesAndDefaults();
    void onlyTheFirst512Sections();
    void failingSourcesAreDropped_data();
    void failingSourcesAreDropped();
    void everySourceFailing();
    void unreadableSettings();
    void versionCheck_data();
    void versionCheck();
    void unknownDataSource();
    void keepAliveNeverInsideATransaction();
    void keepAliveReconnects();
    void productListAndExistence();
    void switchingDataSource();

private:
    void writeIni(const QByteArray &text);
    QByteArray readIni() const;

    TestDatabase m_db;
    QTemporaryDir m_folder;
    ScriptedMessages m_messages;
    std::unique_ptr<AppContext> m_app;
};

void TestStartup::initTestCase()
{
    QVERIFY(m_db.create(QStringLiteral("startup")));
    // The default data source name, as a fresh installation has it.
    TestDatabase::addDataSource(QStringLiteral("Zentro"), m_db.name());
}

void TestStartup::init()
{
    QFile::remove(m_folder.path() + QStringLiteral("/Zentro.ini"));
    m_messages.clear();
    m_app = std::make_unique<AppContext>(m_messages);
    m_app->programFolder = m_folder.path();
    m_app->buildInfo = QStringLiteral("5.505.0.1");
}

void TestStartup::cleanup()
{
    m_messages.allShown();
    m_app.reset();
    m_db.runSql(QStringLiteral("DELETE FROM DBINFO; INSERT INTO DBINFO (VERSION) VALUES ('505');"));
}

void TestStartup::writeIni(const QByteArray &text)
{
    QFile f(m_folder.path() + QStringLiteral("/Zentro.ini"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(text);
}

QByteArray TestStartup::readIni() const
{
    QFile f(m_folder.path() + QStringLiteral("/Zentro.ini"));
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

void TestStartup::missingFileWritesTheGeneralSection()
{
    QVERIFY(LoadSettingsAndProbe(*m_app));
    QCOMPARE(m_app->dataSources.size(), 1);
    QCOMPARE(m_app->dataSources.first().section, QStringLiteral("GERAL"));
    QCOMPARE(m_app->dataSources.first().friendlyName, QStringLiteral("Cliente geral"));
    QCOMPARE(m_app->conf.connectionString, QStringLiteral("DSN=Zentro;"));
    QCOMPARE(m_app->conf.logPath, m_folder.path() + QStringLiteral("/events_log.htm"));
    QCOMPARE(m_app->conf.logFileSize, 4);
    QCOMPARE(readIni(), QByteArray("[GERAL]\r\nDATASOURCE=Zentro\r\n"));
    QVERIFY(!m_app->cnt().isOpen()); // the probe leaves the connection closed

    // An empty file has no section either.
    writeIni("");
    init();
    QVERIFY(LoadSettingsAndProbe(*m_app));
    QCOMPARE(readIni(), QByteArray("[GERAL]\r\nDATASOURCE=Zentro\r\n"));
}

void TestStartup::sectionNamesAndDefaults()
{
    const QByteArray dsn = m_db.dataSource().toUtf8();
    writeIni("[Matriz]\r\nDATASOURCE=" + dsn + "\r\nFRIENDLYNAME=Matriz SP\r\n[Filial]\r\nDATASOURCE=" + dsn +
             "\r\n[Vazia]\r\n[SYS_GLOBAL]\r\nPATH_LOG=" + m_folder.path().toUtf8() +
             "/outro.htm\r\nLOG_FILE_SIZE=7\r\n");
    QVERIFY(LoadSettingsAndProbe(*m_app));
    QCOMPARE(m_app->dataSources.size(), 4);
    QCOMPARE(m_app->dataSources.at(0).friendlyName, QStringLiteral("Matriz SP"));
    QCOMPARE(m_app->dataSources.at(1).friendlyName, m_db.dataSource());        // named by its data source
    QCOMPARE(m_app->dataSources.at(2).friendlyName, QStringLiteral("Zentro")); // neither key
    QCOMPARE(m_app->dataSources.at(3).section, QStringLiteral("SYS_GLOBAL"));  // a data source like any other
    QCOMPARE(m_app->conf.logPath, m_folder.path() + QStringLiteral("/outro.htm"));
    QCOMPARE(m_app->conf.logFileSize, 7);
    QCOMPARE(m_app->conf.friendlyName, QStringLiteral("Matriz SP"));
}

void TestStartup::onlyTheFirst512Sections()
{
    QByteArray text;
    for (int i = 0; i < 600; ++i)
        text += "[S" + QByteArray::number(i) + "]\r\nDATASOURCE=" + m_db.dataSource().toUtf8() + "\r\n";
    writeIni(text);
    QVERIFY(LoadSettingsAndProbe(*m_app));
    QCOMPARE(m_app->dataSources.size(), 512);
    QCOMPARE(m_app->dataSources.last().section, QStringLiteral("S511"));
}

void TestStartup::failingSourcesAreDropped_data()
{
    QTest::addColumn<QStringList>("sources"); // "ok" or "bad" per section, in order
    QTest::addColumn<QStringList>("kept");
    QTest::addColumn<QString>("warning");
    QTest::newRow("second of three fails")
        << QStringList{"ok", "bad", "ok"} << QStringList{"Um", "Tres"}
        << QStringLiteral("Algumas conexões não foram bem sucedidas:\r\nDois\r\nEssas conexões serão ignoradas.\r\n\r\n"
                          "Será usada inicialmente a conexão \"Um\" ao banco de dados.");
    QTest::newRow("first fails, second is used")
        << QStringList{"bad", "ok"} << QStringList{"Dois"}
        << QStringLiteral("Algumas conexões não foram bem sucedidas:\r\nUm\r\nEssas conexões serão ignoradas.\r\n\r\n"
                          "Será usada inicialmente a conexão \"Dois\" ao banco de dados.");
}

void TestStartup::failingSourcesAreDropped()
{
    QFETCH(QStringList, sources);
    QFETCH(QStringList, kept);
    QFETCH(QString, warning);
    const QStringList names = {"Um", "Dois", "Tres"};
    QByteArray text;
    for (int i = 0; i < sources.size(); ++i) {
        const QString dsn = sources.at(i) == "ok" ? m_db.dataSource() : QStringLiteral("zt_missing_source");
        text += QStringLiteral("[%1]\r\nDATASOURCE=%2\r\nFRIENDLYNAME=%1\r\n").arg(names.at(i), dsn).toUtf8();
    }
    writeIni(text);
    m_messages.expect(warning, QStringLiteral("Aviso de configuração"), 48);
    QVERIFY(LoadSettingsAndProbe(*m_app));
    QStringList got;
    for (const ConfigFileSection &s : m_app->dataSources)
        got << s.friendlyName;
    QCOMPARE(got, kept);
    QCOMPARE(m_app->conf.friendlyName, kept.first());
    QCOMPARE(m_app->currentDataSource, 0);
}

void TestStartup::everySourceFailing()
{
    writeIni("[A]\r\nDATASOURCE=zt_missing_a\r\n[B]\r\nDATASOURCE=zt_missing_b\r\nFRIENDLYNAME=Filial B\r\n");
    m_messages.expect(QStringLiteral("Erro ao carregar as configurações do sistema:\rzt_missing_a\r\nFilial B\r\n"
                                     "Nenhuma conexão foi feita com sucesso.\r\nO programa será encerrado."),
                      QStringLiteral("Configurações"), 16);
    QVERIFY(!LoadSettingsAndProbe(*m_app));
}

void TestStartup::unreadableSettings()
{
    // A folder where the file should be cannot be read, even by root.
    const QString path = m_folder.path() + QStringLiteral("/Zentro.ini");
    QVERIFY(QDir().mkdir(path));
    m_messages.expectPrefix(QStringLiteral("Erro ao carregar as configurações do sistema:\rNão foi possível ler o "
                                           "arquivo \"") +
                            path);
    QVERIFY(!LoadSettingsAndProbe(*m_app));
    QVERIFY(m_app->dataSources.isEmpty());
    QVERIFY(QDir().rmdir(path));
}

void TestStartup::versionCheck_data()
{
    QTest::addColumn<QString>("rows"); // the DBINFO rows to leave
    QTest::addColumn<bool>("connected");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("505 starts") << "('505')" << true << QStringList{};
    QTest::newRow("506 is refused")
        << "('506')" << false
        << QStringList{"Zentro está numa versão incorreta para funcionar com essa base de dados!\r\n\r\nSaindo do "
                       "programa!"};
    QTest::newRow("no version row")
        << "" << false
        << QStringList{"Erro ao estabelecer conexão com o banco de dados (Função: BD_Connect): Banco de dados não "
                       "possui informação de versão.\r\nRecord Count = 0..\r\n<br>Objeto Conexão = Cnt"};
    QTest::newRow("two version rows")
        << "('505'),('505')" << false
        << QStringList{"Erro ao estabelecer conexão com o banco de dados (Função: BD_Connect): Banco de dados não "
                       "possui informação de versão.\r\nRecord Count = 2..\r\n<br>Objeto Conexão = Cnt"};
    QTest::newRow("older goes to the update, which the operator declines")
        << "('504')" << false
        << QStringList{"*Versão atual do banco de dados: 504. Versão necessária: 505.",
                       "Base de dados não foi atualizada!"};
}

void TestStartup::versionCheck()
{
    QFETCH(QString, rows);
    QFETCH(bool, connected);
    QFETCH(QStringList, messages);
    QVERIFY(m_db.runSql(
        QStringLiteral("DELETE FROM DBINFO;") +
        (rows.isEmpty() ? QString() : QStringLiteral("INSERT INTO DBINFO (VERSION) VALUES %1;").arg(rows))));
    for (const QString &m : messages) {
        if (m.startsWith('*'))
            m_messages.expectPrefix(QStringLiteral("Uma atualização"), mb::IdNo);
        else
            m_messages.expect(m);
    }
    m_app->events().setPath(m_folder.path() + QStringLiteral("/events_log.htm"));
    SilentDbUpdateView view;
    QCOMPARE(BD_Connect(*m_app, m_db.connectionString(), view), connected);
    if (connected)
        QVERIFY(m_app->cnt().isOpen());
}

void TestStartup::unknownDataSource()
{
    m_messages.expect(QStringLiteral("Erro ao estabelecer conexão com o banco de dados (Função: BD_Connect): Falha "
                                     "estabelecendo conexão.\r\n<br>Objeto Conexão = Cnt"),
                      QStringLiteral("Zentro"), 0);
    SilentDbUpdateView view;
    QVERIFY(!BD_Connect(*m_app, QStringLiteral("DSN=zt_missing_source;"), view));
    QVERIFY(!m_app->cnt().isOpen());
}

void TestStartup::keepAliveNeverInsideATransaction()
{
    SilentDbUpdateView view;
    QVERIFY(BD_Connect(*m_app, m_db.connectionString(), view));
    auto doCount = [this] {
        return m_app->cnt().query(QStringLiteral("SHOW SESSION STATUS LIKE 'Com_do'")).value(0, 1).toInt();
    };
    const int before = doCount();
    {
        db::Transaction t(m_app->cnt());
        m_app->lastKeepAlive = QDateTime::currentDateTime().addSecs(-3600);
        KeepAliveTick(*m_app);
        QVERIFY(m_app->lastKeepAlive.secsTo(QDateTime::currentDateTime()) < 5);
    }
    QCOMPARE(doCount(), before);
    m_app->lastKeepAlive = QDateTime::currentDateTime().addSecs(-31);
    KeepAliveTick(*m_app);
    QCOMPARE(doCount(), before + 1);
    KeepAliveTick(*m_app); // within 30 seconds of the last one: nothing sent
    QCOMPARE(doCount(), before + 1);
}

void TestStartup::keepAliveReconnects()
{
    const QString logPath = m_folder.path() + QStringLiteral("/tick.htm");
    m_app->events().setPath(logPath);
    m_app->conf.connectionString = m_db.connectionString();
    SilentDbUpdateView view;
    QVERIFY(BD_Connect(*m_app, m_app->conf.connectionString, view));

    // The server drops the session: the tick logs it and closes...
    const qint64 id = m_app->cnt().query(QStringLiteral("SELECT CONNECTION_ID()")).value(0, 0).toLongLong();
    QVERIFY(m_db.runSql(QStringLiteral("KILL %1").arg(id)));
    m_app->lastKeepAlive = QDateTime::currentDateTime().addSecs(-60);
    KeepAliveTick(*m_app);
    QVERIFY(!m_app->cnt().isOpen());
    QFile log(logPath);
    QVERIFY(log.open(QIODevice::ReadOnly));
    QVERIFY(log.readAll().contains("Erro na conex\xE3o com o banco de dados: "));

    // ...and the next tick opens it again.
    KeepAliveTick(*m_app);
    QVERIFY(m_app->cnt().isOpen());
    QCOMPARE(m_app->cnt().query(QStringLiteral("SELECT VERSION FROM DBINFO")).value(0, 0).toString(),
             QStringLiteral("505"));
}

void TestStartup::productListAndExistence()
{
    const QString logPath = m_folder.path() + QStringLiteral("/queries.htm");
    m_app->events().setPath(logPath);
    m_app->cnt().open(m_db.connectionString());
    QVERIFY(m_db.runSql(QStringLiteral("INSERT INTO LISTAS_PROD (ID_PAI, VM_ID, PRECO, ID_PROD, GRUPO) VALUES (77, 1, "
                                       "250, 1, '*');")));
    QVERIFY(haveProductList(*m_app, 77));
    QVERIFY(!haveProductList(*m_app, 78));
    QVERIFY(RegExists(*m_app, QStringLiteral("select * from LISTAS_PROD where ID_PAI = 77")));
    QVERIFY(!RegExists(*m_app, QStringLiteral("select * from LISTAS_PROD where ID_PAI = 78")));

    // A failing check is told to the operator and counts as "exists", the safe answer.
    m_messages.expect(QStringLiteral("Erro ao executar pesquisa."), QStringLiteral("Erro"), 16);
    QVERIFY(RegExists(*m_app, QStringLiteral("select * from NO_SUCH_TABLE")));
    QString error;
    QVERIFY(
        !DynamicQuery(*m_app, QStringLiteral("update NO_SUCH_TABLE set X = 1"), QueryMode::Execute, nullptr, &error));
    QVERIFY(error.contains(QStringLiteral("42S02")));
    QFile log(logPath);
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QByteArray events = log.readAll();
    QVERIFY(events.contains("Erro ao efetuar pesquisa (Fun\xE7\xE3o: RegExists): "));
    QVERIFY(events.contains("SQL: update NO_SUCH_TABLE set X = 1"));
    m_db.runSql(QStringLiteral("DELETE FROM LISTAS_PROD;"));
}

void TestStartup::switchingDataSource()
{
    m_app->dataSources = {{"A", "zt_missing_source", "Quebrada"}, {"B", m_db.dataSource(), "Matriz"}};
    m_app->conf.dataSource = QStringLiteral("Zentro");
    m_app->conf.friendlyName = QStringLiteral("Cliente geral");
    m_app->conf.connectionString = ConnectionStringFor(QStringLiteral("Zentro"));
    m_app->conf.logPath = m_folder.path() + QStringLiteral("/switch.htm");
    m_app->loginRecord = 42;
    SilentDbUpdateView view;

    QVERIFY(SwitchDataSource(*m_app, 1, view));
    QCOMPARE(m_app->currentDataSource, 1);
    QCOMPARE(m_app->conf.friendlyName, QStringLiteral("Matriz"));
    QCOMPARE(m_app->conf.connectionString, m_db.connectionString());
    QCOMPARE(m_app->loginRecord, 0);
    QVERIFY(m_app->cnt().isOpen());

    m_messages.expectPrefix(QStringLiteral("Erro ao estabelecer conexão com o banco de dados (Função: BD_Connect): "));
    m_messages.expect(QStringLiteral("Impossível estabelecer conexão com o banco de dados.\rSelecione outra conexão."),
                      QStringLiteral("Sem conexão BD"), 16);
    QVERIFY(!SwitchDataSource(*m_app, 0, view));
    // Everything as it was, and the connection left for the tick to reopen.
    QCOMPARE(m_app->currentDataSource, 1);
    QCOMPARE(m_app->conf.friendlyName, QStringLiteral("Matriz"));
    QCOMPARE(m_app->conf.connectionString, m_db.connectionString());
    QCOMPARE(m_app->conf.logPath, m_folder.path() + QStringLiteral("/switch.htm"));
    QVERIFY(!m_app->cnt().isOpen());
    KeepAliveTick(*m_app);
    QVERIFY(m_app->cnt().isOpen());
}

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
