// The users' activity window against the real server: filters, looked-up
// names, login situations, the audit of each search and the workbook.

#include "ScriptedMessages.h"
#include "TestDatabase.h"
#include "app/AppContext.h"
#include "app/ui/ResultSetModel.h"
#include "audit/ActivityQuery.h"
#include "audit/ui/TfrmConsultaLOG.h"

#include <QComboBox>
#include <QDateEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QStackedWidget>
#include <QTableView>
#include <QtTest>

using namespace zentro;

namespace {

QString unzipped(const QString &path, const QString &member)
{
    QProcess p;
    p.start(QStringLiteral("unzip"), {QStringLiteral("-p"), path, member});
    p.waitForFinished();
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

class TestActivity : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void situations_data();
    void situations();
    void loginOnlySearch();
    void completeSearchWithFilters();
    void serviceUserStaysHidden();
    void datesOutOfOrder();
    void workbooks();

private:
    QString one(const QString &sql);
    int searches();

    TestDatabase m_db;
    QTemporaryDir m_folder;
    ScriptedMessages m_messages;
    std::unique_ptr<AppContext> m_app;
};

void TestActivity::initTestCase()
{
    qputenv("ZENTRO_NOW", "2026-12-11T10:00:00");
    TestDatabase::Options demo;
    demo.demo = true;
    QVERIFY(m_db.create(QStringLiteral("activity"), demo));
    // Four logins in the period (one by the service user), one before it.
    QVERIFY(m_db.runSql(
        QStringLiteral("DELETE FROM TAB_MOV_USU; DELETE FROM TAB_LOG;"
                       "INSERT INTO TAB_LOG (LOG_NUM, LOG_USU, LOG_DT_INI, LOG_HR_INI, LOG_DT_FIM, LOG_HR_FIM) VALUES "
                       "(1, 0, '2026-12-05', '08:00:00', '2026-12-05', '12:00:00'),"
                       "(2, 0, '2026-12-06', '08:00:00', NULL, NULL),"
                       "(3, 0, '2026-12-07', '08:00:00', '2026-12-08', '09:00:00'),"
                       "(4, 2, '2026-12-08', '08:00:00', '2026-12-08', '09:00:00'),"
                       "(5, 0, '2026-11-01', '08:00:00', '2026-11-01', '09:00:00');"
                       "INSERT INTO TAB_MOV_USU (MOV_ROTINA, MOV_ATIV, MOV_HR, MOV_NUM_LOG, MOV_CLIENTE, MOV_LEITOR, "
                       "MOV_CONSU) VALUES "
                       "(16, 'Renomeado para ''Açoforte''', '08:10:00', 1, 1, 0, 0),"
                       "(18, 'Leitor excluído', '08:20:00', 1, 1, 101, 0),"
                       "(85, 'consulta', '08:30:00', 3, 0, 0, 0),"
                       "(16, 'pelo serviço', '08:30:00', 4, 2, 0, 0);")));
}

void TestActivity::init()
{
    m_messages.clear();
    m_app = std::make_unique<AppContext>(m_messages);
    m_app->programFolder = m_folder.path();
    m_app->user = {0, QStringLiteral("ADMIN"), 1};
    m_app->loginRecord = 5; // outside the period, so the searches themselves are not found
    m_app->cnt().open(m_db.connectionString());
}

void TestActivity::cleanup()
{
    m_messages.allShown();
    m_app.reset();
}

QString TestActivity::one(const QString &sql)
{
    const db::ResultSet rs = m_app->cnt().query(sql);
    return rs.isEmpty() ? QString() : rs.value(0, 0).toString();
}

int TestActivity::searches()
{
    return one(QStringLiteral("SELECT COUNT(*) FROM TAB_MOV_USU WHERE MOV_ROTINA = 85 AND MOV_ATIV LIKE '%=>%'"))
        .toInt();
}

void TestActivity::situations_data()
{
    QTest::addColumn<QDate>("login");
    QTest::addColumn<QVariant>("logout");
    QTest::addColumn<QString>("situation");
    QTest::newRow("still logged in") << QDate(2026, 12, 1) << QVariant() << "??";
    QTest::newRow("same day") << QDate(2026, 12, 1) << QVariant(QDate(2026, 12, 1)) << "ok";
    QTest::newRow("next day") << QDate(2026, 12, 1) << QVariant(QDate(2026, 12, 2)) << "Mais de 1 dia logado";
    QTest::newRow("before login") << QDate(2026, 12, 1) << QVariant(QDate(2026, 11, 30)) << "ERRO= Logout antes Login";
}

void TestActivity::situations()
{
    QFETCH(QDate, login);
    QFETCH(QVariant, logout);
    QFETCH(QString, situation);
    QCOMPARE(LoginSituation(login, logout), situation);
}

void TestActivity::loginOnlySearch()
{
    TfrmConsultaLOG w(*m_app);
    QCOMPARE(w.initialDate()->date(), QDate(2026, 12, 1));
    QCOMPARE(w.finalDate()->date(), QDate(2026, 12, 11));
    QCOMPARE(w.users()->itemText(0), QStringLiteral("-- Todos os Usuários --"));
    QVERIFY(!w.clients()->isEnabled()); // only in the complete mode
    QVERIFY(w.btPesquisarClick());
    QCOMPARE(w.pages()->currentIndex(), 1);
    const ResultSetModel *m = w.loginModel();
    QCOMPARE(m->rowCount(), 3); // the service user's login and the one before the period are left out
    QCOMPARE(m->index(0, 0).data().toString(), QStringLiteral("07/12/2026"));
    QCOMPARE(m->index(0, 5).data().toString(), QStringLiteral("Mais de 1 dia logado"));
    QCOMPARE(m->index(1, 5).data().toString(), QStringLiteral("??"));
    QCOMPARE(m->index(1, 5).data(Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
    QCOMPARE(m->index(2, 2).data().toString(), QStringLiteral("ADMIN"));
    QCOMPARE(one(QStringLiteral("SELECT MOV_ATIV FROM TAB_MOV_USU WHERE MOV_ROTINA = 85 ORDER BY MOV_NUM DESC")),
             QStringLiteral("Somente LOG  => Período :01/12/2026 a 11/12/2026 / Usuário : -- Todos os Usuários -- / "
                            "Grupo Rotinas : -- Todos Grupos de Rotinas -- / Rotina : -- Todas as Rotinas do Grupo -- "
                            "/ Cliente :  / Leitor :  / Consumidor :  [3 registros]"));
}

void TestActivity::completeSearchWithFilters()
{
    TfrmConsultaLOG w(*m_app);
    w.setComplete(true);
    QVERIFY(w.btPesquisarClick());
    QCOMPARE(w.pages()->currentIndex(), 0);
    ResultSetModel *m = w.completeModel();
    QCOMPARE(m->rowCount(), 3);
    // Newest login first, newest action first within it.
    QCOMPARE(m->index(1, 8).data().toString(), QStringLiteral("Metalúrgica Açoforte"));
    QCOMPARE(m->index(1, 9).data().toString(), one(QStringLiteral("SELECT NOME_LOCAL FROM ITENS WHERE ID = 101")));
    w.completeGrid()->setCurrentIndex(m->index(2, 0));
    emit w.completeGrid()->clicked(m->index(2, 0));
    QCOMPARE(w.activityText()->toPlainText(), QStringLiteral("Renomeado para 'Açoforte'"));

    // Sorting by a title, then by the same title again, reverses.
    m->sort(3, Qt::AscendingOrder);
    const QString first = m->index(0, 3).data().toString();
    m->sort(3, Qt::DescendingOrder);
    QVERIFY(m->index(0, 3).data().toString() >= first);

    // The reader filter leaves the one action on reader 101.
    w.readers()->setCurrentIndex(w.readers()->findData(101));
    QVERIFY(w.btPesquisarClick());
    QCOMPARE(m->rowCount(), 1);
    QCOMPARE(m->index(0, 3).data().toString(),
             one(QStringLiteral("SELECT ROT_DESC FROM TAB_ROTINA WHERE ROT_COD = 18")));

    // A group chosen with every routine of it.
    w.readers()->setCurrentIndex(-1);
    const QString group = one(QStringLiteral("SELECT ROT_ORIGEM FROM TAB_ROTINA WHERE ROT_COD = 85"));
    w.groups()->setCurrentIndex(w.groups()->findText(group));
    emit w.groups()->activated(w.groups()->currentIndex());
    QVERIFY(w.btPesquisarClick());
    QCOMPARE(m->rowCount(), 1);
    QCOMPARE(m->index(0, 7).data().toString(), group);
}

void TestActivity::serviceUserStaysHidden()
{
    m_app->user = {2, QStringLiteral("KAVORA"), 1};
    TfrmConsultaLOG w(*m_app);
    QVERIFY(w.users()->findText(QStringLiteral("KAVORA")) > 0);
    QVERIFY(w.btPesquisarClick());
    QCOMPARE(w.loginModel()->rowCount(), 4);
    m_app->user = {0, QStringLiteral("ADMIN"), 1};
    TfrmConsultaLOG hidden(*m_app);
    QCOMPARE(hidden.users()->findText(QStringLiteral("KAVORA")), -1);
}

void TestActivity::datesOutOfOrder()
{
    TfrmConsultaLOG w(*m_app);
    const int before = searches();
    w.initialDate()->setDate(QDate(2026, 12, 12));
    m_messages.expect(QStringLiteral("A data Final é anterior à data inicial!"));
    QVERIFY(!w.btPesquisarClick());
    QCOMPARE(searches(), before);
}

void TestActivity::workbooks()
{
    TfrmConsultaLOG w(*m_app);
    QVERIFY(w.btPesquisarClick());
    const QString loginOnly = m_folder.path() + QStringLiteral("/so_login.xlsx");
    QVERIFY(w.writeWorkbook(loginOnly));
    const QString sheet = unzipped(loginOnly, QStringLiteral("xl/worksheets/sheet1.xml"));
    QVERIFY2(sheet.contains(QStringLiteral("<sheetProtection")), qPrintable(sheet.left(300)));
    const QString strings = unzipped(loginOnly, QStringLiteral("xl/sharedStrings.xml"));
    for (const char *title : {"Data Login", "Hs Login", "Nome Usuário", "Data Logout", "Hs logout", "Situação Log"})
        QVERIFY2(strings.contains(QString::fromUtf8(title)), title);
    QVERIFY(strings.contains(QStringLiteral("Mais de 1 dia logado")));
    QVERIFY(unzipped(loginOnly, QStringLiteral("docProps/core.xml"))
                .contains(QStringLiteral("HISTÓRICO DE SO LOG DE 01/12/2026 A 11/12/2026")));

    w.setComplete(true);
    QVERIFY(w.btPesquisarClick());
    const QString complete = m_folder.path() + QStringLiteral("/geral.xlsx");
    QVERIFY(w.writeWorkbook(complete));
    QVERIFY(
        !unzipped(complete, QStringLiteral("xl/worksheets/sheet1.xml")).contains(QStringLiteral("<sheetProtection")));
    QVERIFY(unzipped(complete, QStringLiteral("xl/sharedStrings.xml")).contains(QStringLiteral("Histórico")));
    QVERIFY(unzipped(complete, QStringLiteral("xl/sharedStrings.xml"))
                .contains(QStringLiteral("Renomeado para 'Açoforte'")));
    QVERIFY(one(QStringLiteral("SELECT MOV_ATIV FROM TAB_MOV_USU WHERE MOV_ROTINA = 86 ORDER BY MOV_NUM DESC"))
                .startsWith(QStringLiteral(" Geração Excel LOG GERAL em [") + complete +
                            QStringLiteral("] Período :01/12/2026")));

    ActivityFilter f;
    f.complete = true;
    f.from = QDate(2026, 12, 1);
    f.to = QDate(2026, 12, 11);
    QCOMPARE(ActivityWorkbookName(f), QStringLiteral("HIST_LOGgeral_01122026_11122026.xlsx"));
    QVERIFY(ActivitySql(f).contains(QStringLiteral("L.LOG_DT_INI >= '2026-12-01' and  L.LOG_DT_INI <= '2026-12-11'")));
}

QTEST_MAIN(TestActivity)
#include "tst_activity.moc"
