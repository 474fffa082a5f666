#include "CardBytes.h"

#include "logs/CardLogRecord.h"
#include "logs/LogTransac.h"

#include <QtTest>

#include <functional>

using namespace zentro;
using cardbytes::Record;

using RecordChange = std::function<void(Record &)>;
Q_DECLARE_METATYPE(RecordChange)

namespace {

const QString Serial = QStringLiteral("000A1B2C3D4E5F60");
const QString Version = QStringLiteral("123");

LogTransac decoded(const Record &r)
{
    return LogTransac::fromRecord(CardLogRecord::decode(r.bytes()), Serial, Version);
}

} // namespace

class TestCardLogRecord : public QObject
{
    Q_OBJECT

private slots:
    void csvHeader()
    {
        QCOMPARE(LogTransac::csvHeader(),
                 QStringLiteral("HW_SERIE;NAME_USER;GR_USER;VM_ID;TRANSAC_ID;TRANSAC_DH;TRANSAC_TP;PROD_ID;PROD_ID_VM;"
                                "CARDTYPE;PURSE_ID;SEQT_CARD;TRANSAC_VL;CARD_ID;CARD_IDENT;SALDO_INI;TAG;VALID_CRC;"
                                "IS_LOG_ERROR;EDITADO;ID_CLIENTE;CRC"));
    }

    // Every field read from its place, in the column order of the CSV file.
    void csvLineOfPlainRecord()
    {
        Record r;
        r.tag = 3;
        r.transacId = 0x01020304;
        r.type = 10;
        r.vmId = 0x0506;
        r.prodIdVm = 0x0708;
        r.prodId = 0x090A0B0C;
        r.value = -250;
        r.cardType = 2;
        r.purseId = 1;
        r.seqtCard = 0x0D0E;
        r.saldoIni = -1000;
        r.cardId = 0xFFFFFFFE;
        QCOMPARE(decoded(r).csvLine(),
                 QStringLiteral("000A1B2C3D4E5F60;JOAO;A;1286;16909060;2024-01-31 14:25:01;10;151653132;1800;2;1;3342;"
                                "-250;4294967294;4294967294;-1000;3;0;0;0;0;0"));
    }

    void decoding_data()
    {
        QTest::addColumn<RecordChange>("change");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("group");
        QTest::addColumn<qint32>("value");
        QTest::addColumn<QString>("cardIdent");
        QTest::addColumn<quint32>("prodId");

        QTest::newRow("plain") << RecordChange([](Record &) {}) << "JOAO"
                               << "A" << 250 << "123456" << 55u;
        QTest::newRow("PROD_ID FFFFFFFFh means no product")
            << RecordChange([](Record &r) { r.prodId = 0xFFFFFFFF; }) << "JOAO"
            << "A" << 250 << "123456" << 0u;
        QTest::newRow("name of 11 characters without a zero")
            << RecordChange([](Record &r) { r.name = "ABCDEFGHIJK"; }) << "ABCDEFGHIJK"
            << "A" << 250 << "123456" << 55u;
        QTest::newRow("name ends at the first zero")
            << RecordChange([](Record &r) { r.name = QByteArray("ANA\0XYZ", 7); }) << "ANA"
            << "A" << 250 << "123456" << 55u;
        QTest::newRow("name in Windows-1252")
            << RecordChange([](Record &r) { r.name = "CONCEI\xC7\xC3O"; }) << "CONCEIÇÃO"
            << "A" << 250 << "123456" << 55u;
        QTest::newRow("zero group byte is group 0") << RecordChange([](Record &r) { r.group = 0; }) << "JOAO"
                                                    << "0" << 250 << "123456" << 55u;
        QTest::newRow("auto-format: the value is the card formatted") << RecordChange([](Record &r) {
            r.type = 98;
            r.value = 1500;
        }) << "JOAO"
                                                                      << "A" << 0 << "1500" << 55u;
        QTest::newRow("auto-format of a negative identifier") << RecordChange([](Record &r) {
            r.type = 98;
            r.value = -7;
        }) << "JOAO"
                                                              << "A" << 0 << "-7" << 55u;
        QTest::newRow("card known by its serial number") << RecordChange([](Record &r) {
            r.cardType = 'F';
            r.name = QByteArray::fromHex("12345678901234567890");
        }) << "CARD SN"
                                                         << "A" << 250 << "1234567890123456789" << 55u;
        QTest::newRow("serial half-bytes above 9") << RecordChange([](Record &r) {
            r.cardType = 'F';
            r.name = QByteArray::fromHex("1AF0000000000000000B");
        }) << "CARD SN"
                                                   << "A" << 250 << "1:?0000000000000000" << 55u;
    }
    void decoding()
    {
        QFETCH(RecordChange, change);
        QFETCH(QString, name);
        QFETCH(QString, group);
        QFETCH(qint32, value);
        QFETCH(QString, cardIdent);
        QFETCH(quint32, prodId);
        Record r;
        change(r);
        const LogTransac t = decoded(r);
        QCOMPARE(t.NAME_USER, name);
        QCOMPARE(t.GR_USER, group);
        QCOMPARE(t.TRANSAC_VL, value);
        QCOMPARE(t.CARD_IDENT, cardIdent);
        QCOMPARE(t.PROD_ID, prodId);
        QCOMPARE(t.HW_SERIE, Serial);
        QCOMPARE(t.READER_VERSION, Version);
    }

    // Texts go into the file unquoted: an apostrophe is doubled, and nothing
    // in a text may split the line into other columns or lines.
    void csvTexts_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<quint8>("group");
        QTest::addColumn<QString>("nameColumn");
        QTest::addColumn<QString>("groupColumn");
        QTest::newRow("apostrophe") << QByteArray("D'AVILA") << quint8('B') << "D''AVILA"
                                    << "B";
        QTest::newRow("separator in the name") << QByteArray("A;B") << quint8('B') << "A B"
                                               << "B";
        QTest::newRow("line end in the name") << QByteArray("A\r\nB") << quint8('B') << "A  B"
                                              << "B";
        QTest::newRow("separator as group") << QByteArray("ANA") << quint8(';') << "ANA"
                                            << " ";
    }
    void csvTexts()
    {
        QFETCH(QByteArray, name);
        QFETCH(quint8, group);
        QFETCH(QString, nameColumn);
        QFETCH(QString, groupColumn);
        Record r;
        r.name = name;
        r.group = group;
        const QStringList columns = decoded(r).csvLine().split(QLatin1Char(';'));
        QCOMPARE(columns.size(), 22);
        QCOMPARE(columns.at(1), nameColumn);
        QCOMPARE(columns.at(2), groupColumn);
    }

    void nameGroupChange_data()
    {
        QTest::addColumn<int>("uidSize");
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<quint8>("flags");
        QTest::addColumn<QString>("uid");
        QTest::addColumn<bool>("wellFormed");
        QTest::addColumn<int>("changes"); // bit 0 name, bit 1 group, bit 4 reader error
        QTest::newRow("UID of 7 bytes continues with PROD_ID")
            << 7 << QByteArray("=04A1B2C3") << quint8(0x01) << "04A1B2C300D4E5F6" << true << 0x01;
        QTest::newRow("UID of 4 bytes") << 4 << QByteArray("=04A1B2C3") << quint8(0x02) << "04A1B2C3" << true << 0x02;
        QTest::newRow("reader error") << 4 << QByteArray("=04A1B2C3") << quint8(0x13) << "04A1B2C3" << true << 0x13;
        QTest::newRow("size below 4") << 3 << QByteArray("=04A1B2") << quint8(0x01) << "04A1B2" << false << 0x01;
        QTest::newRow("no = at byte 30") << 4 << QByteArray("X04A1B2C3") << quint8(0x01) << "04A1B2C3" << false << 0x01;
    }
    void nameGroupChange()
    {
        QFETCH(int, uidSize);
        QFETCH(QByteArray, name);
        QFETCH(quint8, flags);
        QFETCH(QString, uid);
        QFETCH(bool, wellFormed);
        QFETCH(int, changes);
        Record r;
        r.type = 53;
        r.prodIdVm = quint16(uidSize);
        r.prodId = 0x00D4E5F6;
        r.purseId = flags;
        r.name = name;
        const CardLogRecord record = CardLogRecord::decode(r.bytes());
        const auto c = record.nameGroupChange();
        QCOMPARE(c.uid, uid);
        QCOMPARE(c.uidSize, uidSize);
        QCOMPARE(c.wellFormed, wellFormed);
        QCOMPARE(c.nameChanged, bool(changes & 0x01));
        QCOMPARE(c.groupChanged, bool(changes & 0x02));
        QCOMPARE(c.readerError, bool(changes & 0x10));
    }
};

QTEST_GUILESS_MAIN(TestCardLogRecord)
#include "tst_cardlogrecord.moc"
