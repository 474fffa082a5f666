// The HTML system event log: rows, numbering, rotation.

#include "audit/EventLog.h"

#include <QtTest>

using namespace zentro;

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

} // namespace

class TestEventLog : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void newFileHasHeaderAndEnding();
    void rowLayout();
    void classesByKind_data();
    void classesByKind();
    void destinationsAndDisabled();
    void numberWhileConnectionClosed();
    void recreatedAfterDeletion();
    void rotationAboveThreshold();
    void unwritableFileAnswersFalse();

private:
    QTemporaryDir m_dir;
    QString m_path;
};

void TestEventLog::init()
{
    m_path = m_dir.path() + QStringLiteral("/events_log.htm");
    QFile::remove(m_path);
    qputenv("ZENTRO_NOW", "2026-12-11T09:08:07");
}

void TestEventLog::newFileHasHeaderAndEnding()
{
    EventLog log(m_path, 4);
    QVERIFY(log.logEvent(QStringLiteral("primeiro"), 6));
    const QByteArray file = readAll(m_path);
    QVERIFY(file.startsWith(EventLog::header().left(EventLog::header().size() - 22)));
    QVERIFY(file.endsWith("</table></body></html>"));
    QCOMPARE(file.count("</table></body></html>"), 1);
    for (const char *needed : {"Logs de Eventos de Sistema", "<!-- NAO_APAGAR_O_COMENTARIO_ABAIXO -->",
                               "<!-- CABEC_FIM -->", "DATA / HORA", "htmLegendStyle", "htmLogTrans", "TableTitle"})
        QVERIFY2(file.contains(needed), needed);
}

void TestEventLog::rowLayout()
{
    EventLog log(m_path, 4);
    log.setConnectionProbe([] { return true; });
    QVERIFY(log.logEvent(QStringLiteral("linha um\r\nlinha <dois> & três"), 2));
    const QByteArray file = readAll(m_path);
    const QByteArray row = "<tr class=\"htmRed\">\r\n"
                           "<td width=\"13%\"><div align=\"center\">000000001</div></td>\r\n"
                           "<td width=\"21%\"><div align=\"center\">11/12/2026 09:08:07</div></td>\r\n"
                           "<td width=\"66%\"><div align=\"left\">linha um<br>\r\nlinha &lt;dois&gt; &amp; tr\xEAs"
                           "</div></td>\r\n"
                           "</tr>\r\n"
                           "</table></body></html>";
    QVERIFY2(file.endsWith(row), file.right(400).constData());
    QVERIFY(log.logEvent(QStringLiteral("segundo"), 6));
    QVERIFY(readAll(m_path).contains(">000000002<"));
}

void TestEventLog::classesByKind_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("cls");
    QTest::newRow("0") << 0 << "htmRedBold";
    QTest::newRow("1") << 1 << "htmRedBold";
    QTest::newRow("3") << 3 << "htmRed";
    QTest::newRow("4") << 4 << "htmGreenBold";
    QTest::newRow("7") << 7 << "htmBlack";
    QTest::newRow("9") << 9 << "htmBlueBold";
    QTest::newRow("10") << 10 << "htmYellow";
    QTest::newRow("12") << 12 << "htmGreen";
    QTest::newRow("101") << 101 << "htmLogTrans";
    QTest::newRow("other") << 55 << "";
}

void TestEventLog::classesByKind()
{
    QFETCH(int, kind);
    QFETCH(QString, cls);
    QCOMPARE(EventLog::classOfKind(kind), cls);
}

void TestEventLog::destinationsAndDisabled()
{
    EventLog log(m_path, 4);
    QVERIFY(!log.logEvent(QStringLiteral("nada"), 6, 5));
    QVERIFY(!QFile::exists(m_path));
    QVERIFY(log.logEvent(QStringLiteral("nada"), 6, 5, false));
    QVERIFY(!QFile::exists(m_path));
    for (int destination : {0, 1, 2})
        QVERIFY(log.logEvent(QStringLiteral("destino %1").arg(destination), 6, destination));
    QCOMPARE(readAll(m_path).count("<tr class=\"htmBlack\">"), 3);
}

void TestEventLog::numberWhileConnectionClosed()
{
    EventLog log(m_path, 4);
    bool open = false;
    log.setConnectionProbe([&open] { return open; });
    QVERIFY(log.logEvent(QStringLiteral("sem banco"), 6));
    QVERIFY(readAll(m_path).contains("<div align=\"center\">099999999</div>"));
}

void TestEventLog::recreatedAfterDeletion()
{
    EventLog log(m_path, 4);
    QVERIFY(log.logEvent(QStringLiteral("antes"), 6));
    QVERIFY(QFile::remove(m_path));
    QVERIFY(log.logEvent(QStringLiteral("depois"), 6));
    const QByteArray file = readAll(m_path);
    QVERIFY(file.startsWith("<html>"));
    QVERIFY(!file.contains("antes"));
    QVERIFY(file.contains("depois"));
}

void TestEventLog::rotationAboveThreshold()
{
    // Fill the file to an exact size with a comment before the ending.
    auto fillTo = [this](qint64 size) {
        QFile::remove(m_path);
        QByteArray body = EventLog::header();
        body.chop(22);
        body += "<!--";
        const qint64 rest = size - body.size() - 3 - 22;
        body += QByteArray(rest, 'x');
        body += "-->";
        body += "</table></body></html>";
        QFile f(m_path);
        f.open(QIODevice::WriteOnly);
        f.write(body);
        return body.size();
    };
    EventLog log(m_path, 1);
    // The event row itself makes the file grow, so aim at the size after writing it.
    EventLog probe(m_dir.path() + QStringLiteral("/probe.htm"), 1);
    probe.logEvent(QStringLiteral("e"), 6);
    const qint64 rowSize = QFileInfo(probe.path()).size() - EventLog::header().size();

    fillTo(1000000 - rowSize);
    QVERIFY(log.logEvent(QStringLiteral("e"), 6));
    QCOMPARE(QFileInfo(m_path).size(), 1000000); // exactly the limit: kept
    QCOMPARE(QDir(m_dir.path()).entryList({"*_events_log.htm"}).size(), 0);

    fillTo(1000000 - rowSize + 1);
    QVERIFY(log.logEvent(QStringLiteral("e"), 6));
    const QStringList rotated = QDir(m_dir.path()).entryList({"*_events_log.htm"});
    QCOMPARE(rotated, QStringList{"11-12-2026_09-08-07_events_log.htm"});
    QCOMPARE(QFileInfo(m_dir.path() + "/" + rotated.first()).size(), 1000001);
    const QByteArray fresh = readAll(m_path);
    QVERIFY(fresh.startsWith("<html>"));
    QVERIFY(fresh.contains("Simples cria\xE7\xE3o de novo arquivo de logs."));
    QVERIFY(fresh.contains("<tr class=\"htmGreen\">"));
}

void TestEventLog::unwritableFileAnswersFalse()
{
    EventLog log(m_dir.path() + QStringLiteral("/no/such/folder/events_log.htm"), 4);
    QVERIFY(!log.logEvent(QStringLiteral("x"), 6));
}

QTEST_GUILESS_MAIN(TestEventLog)
#include "tst_eventlog.moc"
