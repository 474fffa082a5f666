// The structure update chain, with the delivered scripts and with broken ones.

#include "ScriptedMessages.h"
#include "TestDatabase.h"
#include "app/AppContext.h"
#include "app/DbUpdate.h"
#include "app/ProgramFolder.h"

#include <QtTest>

using namespace zentro;

namespace {

const QString Caption = QStringLiteral("Atualização de banco de dados necessária!");
const QString Confirm =
    QStringLiteral("As orientações do aviso anterior foram seguidas?\r\n\r\nSomente clique sim aqui "
                   "se tiverem sido seguidas,\r\ncaso contrário pode haver perda de dados "
                   "irreversível!");

} // namespace

class TestDbUpdate : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void splitting_data();
    void splitting();
    void wholeChainFrom494();
    void partialChainFrom502();
    void failingStatementStopsTheChain();
    void scriptThatForgetsTheVersion();
    void missingScriptFile();
    void tooOld();
    void operatorDeclines_data();
    void operatorDeclines();

private:
    QString events() const;
    void useScripts(const QMap<QString, QByteArray> &scripts);
    QString version();

    ScriptedMessages m_messages;
    std::unique_ptr<AppContext> m_app;
    std::unique_ptr<QTemporaryDir> m_home;
    TestDatabase m_db;
};

void TestDbUpdate::init()
{
    m_messages.clear();
    m_home = std::make_unique<QTemporaryDir>();
    qputenv("ZENTRO_HOME", m_home->path().toLocal8Bit());
    m_app = std::make_unique<AppContext>(m_messages);
    m_app->buildInfo = QStringLiteral("5.505.0.1");
    m_app->events().setPath(m_home->path() + QStringLiteral("/events_log.htm"));
}

void TestDbUpdate::cleanup()
{
    m_messages.allShown();
    m_app.reset();
    m_db.drop();
}

QString TestDbUpdate::events() const
{
    QFile f(m_home->path() + QStringLiteral("/events_log.htm"));
    f.open(QIODevice::ReadOnly);
    return QString::fromLatin1(f.readAll());
}

void TestDbUpdate::useScripts(const QMap<QString, QByteArray> &scripts)
{
    QDir(m_home->path()).mkpath(QStringLiteral("data/conv"));
    for (auto it = scripts.begin(); it != scripts.end(); ++it) {
        QFile f(m_home->path() + QStringLiteral("/data/conv/") + it.key());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(it.value());
    }
}

QString TestDbUpdate::version()
{
    return m_app->cnt().query(QStringLiteral("select VERSION from DBINFO")).value(0, 0).toString();
}

void TestDbUpdate::splitting_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QStringList>("statements");
    QTest::newRow("trailing separator") << "create table A (x int)^\r\n  insert into A values (1) \r\n^\r\n"
                                        << QStringList{"create table A (x int)", "insert into A values (1)"};
    QTest::newRow("no trailing separator") << "create table A (x int)^\r\n  insert into A values (1)"
                                           << QStringList{"create table A (x int)", "insert into A values (1)"};
    QTest::newRow("ends at the first empty statement") << "a^b^ ^c" << QStringList{"a", "b"};
    QTest::newRow("body with semicolons") << "CREATE PROCEDURE P() BEGIN SELECT 1; SELECT 2; END^"
                                          << QStringList{"CREATE PROCEDURE P() BEGIN SELECT 1; SELECT 2; END"};
}

void TestDbUpdate::splitting()
{
    QFETCH(QString, script);
    QFETCH(QStringList, statements);
    QCOMPARE(SplitUpdateScript(script), statements);
}

void TestDbUpdate::wholeChainFrom494()
{
    TestDatabase::Options base;
    base.base494 = true;
    QVERIFY(m_db.create(QStringLiteral("update_full"), base));
    m_app->cnt().open(m_db.connectionString());
    m_app->conf.friendlyName = QStringLiteral("Matriz");
    m_messages.expectPrefix(QStringLiteral("Cliente: Matriz\r\nUma atualização na estrutura do banco de dados é "
                                           "necessária,"),
                            mb::IdYes);
    m_messages.expect(Confirm, Caption, 292, mb::IdYes);
    SilentDbUpdateView view;
    QVERIFY(UpdateDatabase(*m_app, view, QStringLiteral("494")));
    QCOMPARE(version(), QStringLiteral("505"));
    const QString log = events();
    for (int v = 495; v <= 505; ++v)
        QVERIFY2(log.contains(QStringLiteral("Banco de dados foi atualizado para a vers\u00e3o %1.").arg(v)),
                 qPrintable(QString::number(v)));
    const QString warning = m_messages.shown().first().text;
    QVERIFY(warning.endsWith(QStringLiteral("corrente 5.505.0.1), caso contrário, os dados\r\npodem ficar "
                                            "corrompidos, PERDENDO INFORMAÇÕES!\r\n\r\nCaso você não tenha certeza "
                                            "do que responder aqui, chame\r\no administrador de sistemas e clique "
                                            "imediatamente em NÃO!\r\nVersão atual do banco de dados: 494. Versão "
                                            "necessária: 505.\r\n\r\nDeseja continuar?")));
    QCOMPARE(m_messages.shown().first().flags, 308);
}

void TestDbUpdate::partialChainFrom502()
{
    TestDatabase::Options base;
    base.base494 = true;
    QVERIFY(m_db.create(QStringLiteral("update_502"), base));
    m_app->cnt().open(m_db.connectionString());
    // Bring it to 502 with the delivered scripts, as an older program would have.
    SilentDbUpdateView view;
    for (int v = 495; v <= 502; ++v) {
        QFile f(ProgramFolder::dataFile(QStringLiteral("conv/%1.SQL").arg(v)));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(RunUpdateScript(*m_app, view, QString::fromLatin1(f.readAll()), version()));
    }
    QCOMPARE(version(), QStringLiteral("502"));
    m_messages.expectPrefix(QStringLiteral("Uma atualização"), mb::IdYes);
    m_messages.expect(Confirm, mb::IdYes);
    QVERIFY(UpdateDatabase(*m_app, view, QStringLiteral("502")));
    QCOMPARE(version(), QStringLiteral("505"));
    QCOMPARE(events().count(QStringLiteral("Banco de dados foi atualizado para a vers")), 3);
}

void TestDbUpdate::failingStatementStopsTheChain()
{
    TestDatabase::Options empty;
    empty.empty = true;
    QVERIFY(m_db.create(QStringLiteral("update_fail"), empty));
    QVERIFY(
        m_db.runSql(QStringLiteral("CREATE TABLE DBINFO (VERSION VARCHAR(3)); INSERT INTO DBINFO VALUES ('494');")));
    useScripts({{"495.SQL", "create table S1 (x int)^\r\ncreate table S2 (x int)^\r\ninsert into NO_TABLE values "
                            "(1)^\r\ncreate table S4 (x int)^\r\nupdate DBINFO set VERSION = '495'^\r\n"},
                {"496.SQL", "create table NEVER (x int)^update DBINFO set VERSION = '496'^"}});
    m_app->cnt().open(m_db.connectionString());
    m_messages.expectPrefix(QStringLiteral("Uma atualização"), mb::IdYes);
    m_messages.expect(Confirm, mb::IdYes);
    m_messages.expectPrefix(QStringLiteral("Erro executando script de atualização do banco de dados:\r\n"));
    m_messages.expect(QStringLiteral("Falha na conversao do banco de dados, entre em contato com o fornecedor do "
                                     "software."));
    m_messages.expect(QStringLiteral("Base de dados com versão incompatível a esse programa!"), Caption, 64);
    SilentDbUpdateView view;
    QVERIFY(!UpdateDatabase(*m_app, view, QStringLiteral("494")));
    QVERIFY(m_messages.shown().at(2).text.contains(QStringLiteral("\r\nSentença: 3\r\nVersão atual: 494")));
    QCOMPARE(version(), QStringLiteral("494"));
    QString tables;
    m_db.runSql(QStringLiteral("SHOW TABLES"), &tables);
    QCOMPARE(tables.split('\n'), (QStringList{"dbinfo", "s1", "s2"}));
    const QString log = events();
    QVERIFY(log.contains(QStringLiteral("Error executing Database update script: ")));
    QVERIFY(log.contains(QStringLiteral("Sentence: 3<br>\r\ninsert into NO_TABLE values (1);")));
    QVERIFY(log.contains(QStringLiteral("Banco de dados N\u00c3O atualizado para vers\u00e3o 495.")));
}

void TestDbUpdate::scriptThatForgetsTheVersion()
{
    TestDatabase::Options empty;
    empty.empty = true;
    QVERIFY(m_db.create(QStringLiteral("update_forget"), empty));
    QVERIFY(
        m_db.runSql(QStringLiteral("CREATE TABLE DBINFO (VERSION VARCHAR(3)); INSERT INTO DBINFO VALUES ('503');")));
    useScripts({{"504.SQL", "create table S1 (x int)^"}, {"505.SQL", "create table NEVER (x int)^"}});
    m_app->cnt().open(m_db.connectionString());
    m_messages.expectPrefix(QStringLiteral("Uma atualização"), mb::IdYes);
    m_messages.expect(Confirm, mb::IdYes);
    m_messages.expect(QStringLiteral("Base de dados com versão incompatível a esse programa!"));
    SilentDbUpdateView view;
    QVERIFY(!UpdateDatabase(*m_app, view, QStringLiteral("503")));
    QString tables;
    m_db.runSql(QStringLiteral("SHOW TABLES"), &tables);
    QCOMPARE(tables.split('\n'), (QStringList{"dbinfo", "s1"}));
}

void TestDbUpdate::missingScriptFile()
{
    TestDatabase::Options empty;
    empty.empty = true;
    QVERIFY(m_db.create(QStringLiteral("update_missing"), empty));
    QVERIFY(
        m_db.runSql(QStringLiteral("CREATE TABLE DBINFO (VERSION VARCHAR(3)); INSERT INTO DBINFO VALUES ('500');")));
    useScripts({{"505.SQL", "select 1^"}}); // 501.SQL is not there
    m_app->cnt().open(m_db.connectionString());
    m_messages.expectPrefix(QStringLiteral("Uma atualização"), mb::IdYes);
    m_messages.expect(Confirm, mb::IdYes);
    m_messages.expectPrefix(QStringLiteral("Banco de dados NÃO atualizado para versão 501. Excessão:Não foi possível "
                                           "abrir o arquivo"));
    m_messages.expect(QStringLiteral("Base de dados com versão incompatível a esse programa!"));
    SilentDbUpdateView view;
    QVERIFY(!UpdateDatabase(*m_app, view, QStringLiteral("500")));
}

void TestDbUpdate::tooOld()
{
    TestDatabase::Options empty;
    empty.empty = true;
    QVERIFY(m_db.create(QStringLiteral("update_old"), empty));
    QVERIFY(
        m_db.runSql(QStringLiteral("CREATE TABLE DBINFO (VERSION VARCHAR(3)); INSERT INTO DBINFO VALUES ('493');")));
    m_app->cnt().open(m_db.connectionString());
    m_messages.expectPrefix(QStringLiteral("Uma atualização"), mb::IdYes);
    m_messages.expect(Confirm, mb::IdYes);
    m_messages.expect(QStringLiteral("Falha na conversao do banco de dados, entre em contato com o fornecedor do "
                                     "software.\r\nA versão atual da base de dados (493) é incompatível."));
    m_messages.expect(QStringLiteral("Base de dados com versão incompatível a esse programa!"));
    SilentDbUpdateView view;
    QVERIFY(!UpdateDatabase(*m_app, view, QStringLiteral("493")));
    QVERIFY(events().contains(QStringLiteral("Detectada uma vers\u00e3o (493) incompat\u00edvel de banco de dados.")));
    QCOMPARE(version(), QStringLiteral("493"));
}

void TestDbUpdate::operatorDeclines_data()
{
    QTest::addColumn<bool>("atSecondQuestion");
    QTest::addColumn<QString>("event");
    QTest::newRow("first question")
        << false
        << QStringLiteral("Usu\u00e1rio cancelou atualiza\u00e7\u00e3o do banco de dados. Vers\u00e3o atual: "
                          "504. Vers\u00e3o necess\u00e1ria: 505.");
    QTest::newRow("second question")
        << true
        << QStringLiteral("Usu\u00e1rio cancelou atualiza\u00e7\u00e3o do banco de dados. Vers\u00e3o atual: "
                          "504.</div>");
}

void TestDbUpdate::operatorDeclines()
{
    QFETCH(bool, atSecondQuestion);
    QFETCH(QString, event);
    useScripts({{"505.SQL", "create table NEVER (x int)^update DBINFO set VERSION = '505'^"}});
    TestDatabase::Options empty;
    empty.empty = true;
    QVERIFY(m_db.create(QStringLiteral("update_declined"), empty));
    QVERIFY(
        m_db.runSql(QStringLiteral("CREATE TABLE DBINFO (VERSION VARCHAR(3)); INSERT INTO DBINFO VALUES ('504');")));
    m_app->cnt().open(m_db.connectionString());
    m_messages.expectPrefix(QStringLiteral("Uma atualização"), atSecondQuestion ? mb::IdYes : mb::IdNo);
    if (atSecondQuestion)
        m_messages.expect(Confirm, mb::IdNo);
    m_messages.expect(QStringLiteral("Base de dados não foi atualizada!"), QStringLiteral("Zentro"), 64);
    SilentDbUpdateView view;
    QVERIFY(!UpdateDatabase(*m_app, view, QStringLiteral("504")));
    QVERIFY2(events().contains(event), qPrintable(events().right(500)));
    QCOMPARE(version(), QStringLiteral("504"));
}

QTEST_GUILESS_MAIN(TestDbUpdate)
#include "tst_dbupdate.moc"
