// The database layer against the real server.

#include "TestDatabase.h"
#include "db/Connection.h"
#include "db/Sql.h"

#include <QtTest>

using namespace zentro;

class TestConnection : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void typedValuesRoundTrip();
    void hostileTextThroughQuoting_data();
    void hostileTextThroughQuoting();
    void boundParameters();
    void procedureResultsAreConsumed();
    void lastInsertId();
    void manyRowsReadWhole_data();
    void manyRowsReadWhole();
    void transactionRollsBackUnlessCommitted();
    void errorsCarryTheDiagnostic();
    void unknownDataSourceIsReported();
    void reopensAfterTheServerDroppedTheConnection();

private:
    TestDatabase m_db;
    db::Connection m_cnt;
};

void TestConnection::initTestCase()
{
    TestDatabase::Options empty;
    empty.empty = true;
    QVERIFY(m_db.create(QStringLiteral("connection"), empty));
    m_cnt.open(m_db.connectionString());
    QVERIFY(m_cnt.isOpen());
    m_cnt.execute(QStringLiteral(
        "CREATE TABLE T (ID INT AUTO_INCREMENT PRIMARY KEY, CARD BIGINT, NAME VARCHAR(60), FLAG CHAR(1), "
        "WHEN_ DATETIME, D DATE, H TIME, PRICE DECIMAL(18,2), RATE DOUBLE, LOGO MEDIUMBLOB)"));
}

void TestConnection::typedValuesRoundTrip()
{
    m_cnt.execute(QStringLiteral("DELETE FROM T"));
    m_cnt.execute(QStringLiteral("INSERT INTO T (CARD, NAME, FLAG, WHEN_, D, H, PRICE, RATE) VALUES "
                                 "(4294967294, %1, '0', '2026-12-11 08:09:10', '2026-02-28', '23:59:58', 1234.56, 0.5)")
                      .arg(sql::quote(QStringLiteral("Refeitório ÁREA Ção"))));
    m_cnt.execute(QStringLiteral("INSERT INTO T (CARD) VALUES (NULL)"));
    const db::ResultSet rs = m_cnt.query(QStringLiteral("SELECT * FROM T ORDER BY ID"));
    QCOMPARE(rs.rowCount(), 2);
    QCOMPARE(rs.value(0, QStringLiteral("card")).toLongLong(), 4294967294LL);
    QCOMPARE(rs.value(0, QStringLiteral("NAME")).toString(), QStringLiteral("Refeitório ÁREA Ção"));
    QCOMPARE(rs.value(0, QStringLiteral("FLAG")).toString(), QStringLiteral("0"));
    QCOMPARE(rs.value(0, QStringLiteral("WHEN_")).toDateTime(), QDateTime(QDate(2026, 12, 11), QTime(8, 9, 10)));
    QCOMPARE(rs.value(0, QStringLiteral("D")).toDate(), QDate(2026, 2, 28));
    QCOMPARE(rs.value(0, QStringLiteral("H")).toTime(), QTime(23, 59, 58));
    QCOMPARE(rs.value(0, QStringLiteral("PRICE")).toString(), QStringLiteral("1234.56"));
    QCOMPARE(rs.value(0, QStringLiteral("RATE")).toDouble(), 0.5);
    QVERIFY(rs.value(1, QStringLiteral("CARD")).isNull());
    QVERIFY(rs.value(1, QStringLiteral("NAME")).isNull());
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, rs.value(0, QStringLiteral("NO_SUCH_COLUMN")));
}

void TestConnection::hostileTextThroughQuoting_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("quote") << QStringLiteral("O'Brien");
    QTest::newRow("backslash before quote") << QStringLiteral("a\\' OR 1=1 -- ");
    QTest::newRow("trailing backslash") << QStringLiteral("C:\\dados\\");
    QTest::newRow("double quotes") << QStringLiteral("\"x\" '' \"\"");
    QTest::newRow("accents and symbols") << QStringLiteral("Ação №1 – 50% ☕");
    QTest::newRow("line breaks") << QStringLiteral("um\r\ndois\tfim");
}

void TestConnection::hostileTextThroughQuoting()
{
    QFETCH(QString, text);
    m_cnt.execute(QStringLiteral("DELETE FROM T"));
    m_cnt.execute(QStringLiteral("INSERT INTO T (NAME) VALUES (%1)").arg(sql::quote(text)));
    const db::ResultSet rs = m_cnt.query(QStringLiteral("SELECT NAME FROM T WHERE NAME = %1").arg(sql::quote(text)));
    QCOMPARE(rs.rowCount(), 1);
    QCOMPARE(rs.value(0, 0).toString(), text);
}

void TestConnection::boundParameters()
{
    // A JPEG's bytes, including NULs and every byte value, survive a BLOB round trip.
    QByteArray jpeg("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00", 11);
    for (int i = 0; i < 70000; ++i)
        jpeg.append(char(i * 7));
    jpeg.append("\xFF\xD9", 2);
    m_cnt.execute(QStringLiteral("DELETE FROM T"));
    m_cnt.execute(QStringLiteral("INSERT INTO T (NAME, CARD, LOGO) VALUES (?, ?, ?)"),
                  {QStringLiteral("José"), qlonglong(4294967294LL), jpeg});
    const db::ResultSet rs =
        m_cnt.query(QStringLiteral("SELECT NAME, CARD, LOGO FROM T WHERE NAME = ?"), {QStringLiteral("José")});
    QCOMPARE(rs.rowCount(), 1);
    QCOMPARE(rs.value(0, 1).toLongLong(), 4294967294LL);
    QCOMPARE(rs.value(0, 2).toByteArray(), jpeg);
    QCOMPARE(m_cnt.query(QStringLiteral("SELECT LENGTH(NAME) FROM T")).value(0, 0).toLongLong(), 5);
}

void TestConnection::procedureResultsAreConsumed()
{
    m_cnt.execute(QStringLiteral("DROP PROCEDURE IF EXISTS P2"));
    m_cnt.execute(QStringLiteral("CREATE PROCEDURE P2(IN A INT, OUT SQL_ERR INT) BEGIN "
                                 "SET SQL_ERR = A; SELECT A AS CODE, 'x' AS TXT; SELECT 2; END"));
    for (int i = 0; i < 3; ++i) {
        const db::ResultSet rs = m_cnt.query(QStringLiteral("CALL P2(%1, @err)").arg(i));
        QCOMPARE(rs.rowCount(), 1);
        QCOMPARE(rs.value(0, 0).toInt(), i);
        // The next statement would fail with "Commands out of sync" if any result were left.
        QCOMPARE(m_cnt.query(QStringLiteral("SELECT @err")).value(0, 0).toInt(), i);
    }
}

void TestConnection::manyRowsReadWhole_data()
{
    QTest::addColumn<QString>("extraColumn"); // decides between reading in blocks and value by value
    QTest::newRow("short columns") << "";
    QTest::newRow("with a long text column") << ", CAST(NAME AS CHAR(20000)) AS LONGNAME";
}

void TestConnection::manyRowsReadWhole()
{
    QFETCH(QString, extraColumn);
    m_cnt.execute(QStringLiteral("DELETE FROM T"));
    // More rows than one block, NULLs and multi-byte text among them.
    m_cnt.execute(
        QStringLiteral("INSERT INTO T (CARD, NAME, FLAG, WHEN_, D, H, PRICE, RATE) "
                       "SELECT seq * 1000003, IF(seq % 7 = 0, NULL, CONCAT('Ação ', seq, REPEAT('é', seq % 50))), "
                       "IF(seq % 2 = 0, '1', '0'), IF(seq % 5 = 0, NULL, '2026-12-11 08:00:00' + INTERVAL seq MINUTE), "
                       "'2026-01-01' + INTERVAL seq DAY, SEC_TO_TIME(seq * 7), seq / 100, seq / 4 "
                       "FROM seq_1_to_700"));
    const db::ResultSet rs = m_cnt.query(
        QStringLiteral("SELECT CARD, NAME, FLAG, WHEN_, D, H, PRICE, RATE %1 FROM T ORDER BY CARD").arg(extraColumn));
    QCOMPARE(rs.rowCount(), 700);
    for (int i = 0; i < rs.rowCount(); ++i) {
        const int seq = i + 1;
        QCOMPARE(rs.value(i, 0).toLongLong(), qlonglong(seq) * 1000003);
        if (seq % 7 == 0)
            QVERIFY(rs.value(i, 1).isNull());
        else
            QCOMPARE(rs.value(i, 1).toString(), QStringLiteral("Ação %1").arg(seq) + QString(seq % 50, QChar(0xE9)));
        QCOMPARE(rs.value(i, 2).toString(), seq % 2 == 0 ? QStringLiteral("1") : QStringLiteral("0"));
        if (seq % 5 == 0)
            QVERIFY(rs.value(i, 3).isNull());
        else
            QCOMPARE(rs.value(i, 3).toDateTime(), QDateTime(QDate(2026, 12, 11), QTime(8, 0)).addSecs(seq * 60));
        QCOMPARE(rs.value(i, 4).toDate(), QDate(2026, 1, 1).addDays(seq));
        QCOMPARE(rs.value(i, 5).toTime(), QTime(0, 0).addSecs(seq * 7));
        QCOMPARE(rs.value(i, 6).toString(), QString::number(seq / 100.0, 'f', 2));
        QCOMPARE(rs.value(i, 7).toDouble(), seq / 4.0);
    }
}

void TestConnection::lastInsertId()
{
    m_cnt.execute(QStringLiteral("INSERT INTO T (NAME) VALUES ('a')"));
    const qint64 first = m_cnt.lastInsertId();
    m_cnt.execute(QStringLiteral("INSERT INTO T (NAME) VALUES ('b')"));
    QCOMPARE(m_cnt.lastInsertId(), first + 1);
    QCOMPARE(m_cnt.query(QStringLiteral("SELECT NAME FROM T WHERE ID = %1").arg(first + 1)).value(0, 0).toString(),
             QStringLiteral("b"));
}

void TestConnection::transactionRollsBackUnlessCommitted()
{
    m_cnt.execute(QStringLiteral("DELETE FROM T"));
    {
        db::Transaction t(m_cnt);
        QVERIFY(m_cnt.inTransaction());
        m_cnt.execute(QStringLiteral("INSERT INTO T (NAME) VALUES ('lost')"));
    }
    QVERIFY(!m_cnt.inTransaction());
    QCOMPARE(m_cnt.query(QStringLiteral("SELECT COUNT(*) FROM T")).value(0, 0).toInt(), 0);
    {
        db::Transaction t(m_cnt);
        m_cnt.execute(QStringLiteral("INSERT INTO T (NAME) VALUES ('kept')"));
        t.commit();
    }
    QCOMPARE(m_cnt.query(QStringLiteral("SELECT COUNT(*) FROM T")).value(0, 0).toInt(), 1);
    // Outside a transaction every statement commits at once.
    m_cnt.execute(QStringLiteral("INSERT INTO T (NAME) VALUES ('auto')"));
    db::Connection other;
    other.open(m_db.connectionString());
    QCOMPARE(other.query(QStringLiteral("SELECT COUNT(*) FROM T")).value(0, 0).toInt(), 2);
}

void TestConnection::errorsCarryTheDiagnostic()
{
    try {
        m_cnt.query(QStringLiteral("SELECT * FROM NO_SUCH_TABLE"));
        QFAIL("a missing table must raise");
    } catch (const db::DbError &e) {
        QVERIFY2(e.text().contains(QStringLiteral("42S02")), qPrintable(e.text()));
        QVERIFY2(e.text().contains(QStringLiteral("NO_SUCH_TABLE"), Qt::CaseInsensitive), qPrintable(e.text()));
    }
    // The connection stays usable after an error.
    QCOMPARE(m_cnt.query(QStringLiteral("SELECT 1")).value(0, 0).toInt(), 1);
    // The shortest statements the program sends go through as well.
    m_cnt.execute(QStringLiteral("DO 0"));
}

void TestConnection::unknownDataSourceIsReported()
{
    db::Connection c;
    try {
        c.open(QStringLiteral("DSN=zt_no_such_source;"), 5);
        QFAIL("an unknown data source must raise");
    } catch (const db::DbError &e) {
        QVERIFY2(e.text().contains(QStringLiteral("IM002")), qPrintable(e.text()));
    }
    QVERIFY(!c.isOpen());
}

void TestConnection::reopensAfterTheServerDroppedTheConnection()
{
    const qint64 id = m_cnt.query(QStringLiteral("SELECT CONNECTION_ID()")).value(0, 0).toLongLong();
    QVERIFY(m_db.runSql(QStringLiteral("KILL %1").arg(id)));
    QVERIFY_THROWS_EXCEPTION(db::DbError, m_cnt.query(QStringLiteral("SELECT 1")));
    m_cnt.close();
    m_cnt.open(m_db.connectionString());
    QCOMPARE(m_cnt.query(QStringLiteral("SELECT 2")).value(0, 0).toInt(), 2);
    // The reopened session escapes quotes the same way.
    QCOMPARE(m_cnt.query(QStringLiteral("SELECT %1").arg(sql::quote(QStringLiteral("a\\'b")))).value(0, 0).toString(),
             QStringLiteral("a\\'b"));
}

QTEST_GUILESS_MAIN(TestConnection)
#include "tst_connection.moc"
