#include "ImageBytes.h"

#include "app/Crc.h"
#include "export/DesEcb.h"
#include "export/ImageError.h"
#include "export/ImageFields.h"
#include "export/ReaderConfig.h"
#include "export/ReaderNetwork.h"

#include <QtTest>

#include <functional>

using namespace zentro;

namespace {

const QByteArray TestKey = QByteArray::fromHex("0123456789ABCDEF");

struct Field
{
    const char *name;
    int offset;
    int width;
    quint64 value;
};

CardKey sampleKey()
{
    CardKey k;
    k.number = 7;
    k.value1 = 0x1112;
    k.value2 = 0x2122;
    k.key = QByteArray::fromHex("A0A1A2A3A4A5A6A7A8A9AAABACADAEAF");
    k.value3 = QByteArray::fromHex("B0B1B2");
    k.value4 = QByteArray::fromHex("C0C1");
    return k;
}

// Every field a value of its own, so that a field at the wrong place shows.
ReaderConfig sampleConfig()
{
    ReaderConfig c;
    c.VERSAO = 0x01020304;
    c.serial = ImageFields::serial(QStringLiteral("00112233445566AA"));
    c.ownerId = 0x0BEE;
    c.clientId = 0x0C1D;
    c.cardKey = sampleKey();
    c.programVersion = 0x0505;
    for (int g = 0; g < ReaderConfig::GroupCount; ++g) {
        auto &group = c.groups[size_t(g)];
        group.AUTOCREDITVALUE = 1000u + g;
        group.AUTOCREDITMODE = quint8(g);
        group.USERFLAGS = quint8(0x80 + g);
        group.MAXDAYSALES = 2000u + g;
        group.MAXCREDITVALUE = 3000u + g;
    }
    c.CREDITDATEENABLED = 0x11111111;
    c.VARMONEYSTARTDATE = 0x22222222;
    c.VARMONEYENDDATE = 0x33333333;
    c.VARMONEYTAX = 0x41;
    c.TRANSLATEGROUP = 0x42;
    c.AUTOCREDITENABLED = 0x43;
    c.PASSWORDENABLED = 0x44;
    c.CHECKGROUP = 0x45;
    c.RESETGROUP = 0x46;
    c.CONFIG_WHITEBLACK_LIST = 241;
    c.ONLYONWHITELIST = 0x47;
    c.ONLYONCREDITLIST = 0x48;
    c.ONLYONGROUPLIST = 0x49;
    c.LOGFILEOVERWRITE = 0x4A;
    c.LOGFILEENABLED = 0x4B;
    c.DISPLAYTRUNCATE = 0x4C;
    c.PASSWORDRETRY = 0x4D;
    c.MAXUSERCREDIT = 0x55555555;
    c.MAXSUPERVCREDIT = 0x66666666;
    c.VALIDDAYS = 0x7777;
    c.MULTIPURSEENABLED = 0x4E;
    c.PURSE_PRIO = {0x51, 0x52, 0x53, 0x54};
    c.PURSE_RE = 0x55;
    c.VALUEBEGINSESSION = 0x88888888;
    c.BEEPPOSVENDA = 0x56;
    c.CARTAO_PROPRIETARIO_ONLINE = 0x57;
    c.CARTAO_PROPRIETARIO_ONLINE_GRP = QStringLiteral("K9");
    c.DISPLAY_FACTOR = 0x58;
    c.FLAG_VMC = 0x9999;
    c.DISPLAY_NAME = QStringLiteral("CAFÉ");
    c.CHECKNAME = 0x59;
    c.CHECKNAME_MASK = QStringLiteral("MASK");
    c.PULSE_TIMEON = 0xA1A2;
    c.PULSE_TIMEOFF = 0xA3A4;
    c.PULSE_TIMEPAUSE = 0xA5A6;
    c.PULSE_TIMESIGNAL = 0xA7A8;
    c.PULSE_AUTOSEND = 0x5A;
    c.PULSE_INHIBITLEVEL = 0x5B;
    c.PULSE_VALUE = {25, 0x62, 0x63, 0x64, 0x65, 0x66};
    c.AUTOVEND = 0x67;
    c.CODEPULSE = 0x68;
    c.POSWAITTIME = 0x69;
    c.POSMAXTRANSTIME = 0x6A;
    c.POSMAXSELECTTIME = 0x6B;
    c.POSMAXRELEASETIME = 0x6C;
    c.FLAG_VMC2 = 0x00040002;
    c.hasProductList = true;
    return c;
}

// The record as the reader sees it after undoing the encryption of 4 to 91.
QByteArray decrypted(const QByteArray &record)
{
    const DesEcb des(TestKey);
    QByteArray plain = record;
    plain.replace(4, 88, des.decrypt(QByteArrayView(record).sliced(4, 88)));
    return plain;
}

} // namespace

using ConfigChange = std::function<void(ReaderConfig &)>;
Q_DECLARE_METATYPE(ConfigChange)

class TestReaderConfig : public QObject
{
    Q_OBJECT

private slots:
    void desKnownVector()
    {
        const DesEcb des(TestKey);
        QCOMPARE(des.encrypt("Now is t").toHex().toUpper(), QByteArray("3FA40E8A984D4815"));
        // ECB: equal blocks give equal cipher blocks, each on its own.
        QCOMPARE(des.encrypt("Now is tNow is t").toHex().toUpper(), QByteArray("3FA40E8A984D48153FA40E8A984D4815"));
        QCOMPARE(des.decrypt(QByteArray::fromHex("3FA40E8A984D4815")), QByteArray("Now is t"));
    }

    void desRefusesKeyOfWrongSize() { QVERIFY_THROWS_EXCEPTION(ImageError, DesEcb(QByteArray::fromHex("01234567"))); }

    void serialConversion_data()
    {
        QTest::addColumn<QString>("hwSerie");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("pairs in order") << "00112233445566AA" << QByteArray::fromHex("00112233445566AA");
        QTest::newRow("lower case") << "00112233445566aa" << QByteArray::fromHex("00112233445566AA");
        QTest::newRow("a pair not hexadecimal") << "0011223344556G00" << QByteArray(8, '\0');
        QTest::newRow("shorter than 16") << "00112233445566A" << QByteArray(8, '\0');
        QTest::newRow("empty") << "" << QByteArray(8, '\0');
    }
    void serialConversion()
    {
        QFETCH(QString, hwSerie);
        QFETCH(QByteArray, bytes);
        const auto s = ImageFields::serial(hwSerie);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(s.data()), 8).toHex(), bytes.toHex());
    }

    void optionBits_data()
    {
        QTest::addColumn<quint32>("flagVmc2");
        QTest::addColumn<bool>("hasProductList");
        QTest::addColumn<quint32>("expected");
        QTest::newRow("with product list") << 0x00040002u << true << 0x0004FFFCu;
        QTest::newRow("without product list") << 0x00040002u << false << 0x0000FFFCu;
        QTest::newRow("bit 0 and high bits kept") << 0x80010001u << true << 0x8001FFFFu;
        QTest::newRow("zero") << 0u << true << 0x0000FFFEu;
    }
    void optionBits()
    {
        QFETCH(quint32, flagVmc2);
        QFETCH(bool, hasProductList);
        QFETCH(quint32, expected);
        QCOMPARE(hexv(ImageFields::optionBits(flagVmc2, hasProductList)), hexv(expected));
    }

    void uidConversion_data()
    {
        QTest::addColumn<QString>("uid");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("short, left-padded") << "1A2B" << QByteArray::fromHex("00000000000000001A2B");
        QTest::newRow("odd digit count") << "ABC" << QByteArray::fromHex("00000000000000000ABC");
        QTest::newRow("longer keeps the last 20")
            << "FF0102030405060708090A" << QByteArray::fromHex("0102030405060708090A");
        QTest::newRow("empty") << "" << QByteArray(10, '\0');
    }
    void uidConversion()
    {
        QFETCH(QString, uid);
        QFETCH(QByteArray, bytes);
        QCOMPARE(ImageFields::uid(uid).toHex(), bytes.toHex());
    }

    void uidNotHexadecimal() { QVERIFY_THROWS_EXCEPTION(ImageError, ImageFields::uid(QStringLiteral("04A1G2"))); }

    void addressConversion_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<quint32>("value");
        QTest::newRow("address") << "192.168.0.1" << 0xC0A80001u;
        QTest::newRow("number above 255") << "192.168.0.256" << 0u;
        QTest::newRow("three numbers") << "10.0.0" << 0u;
        QTest::newRow("name") << "server.local" << 0u;
        QTest::newRow("empty") << "" << 0u;
    }
    void addressConversion()
    {
        QFETCH(QString, text);
        QFETCH(quint32, value);
        QCOMPARE(hexv(ImageFields::ipv4(text)), hexv(value));
    }

    void dnsPair_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<quint32>("first");
        QTest::addColumn<quint32>("second");
        QTest::newRow("two addresses") << "8.8.8.8,1.1.1.1" << 0x08080808u << 0x01010101u;
        QTest::newRow("one address") << "8.8.4.4" << 0x08080404u << 0u;
        QTest::newRow("second only") << ",1.0.0.1" << 0u << 0x01000001u;
        QTest::newRow("invalid first") << "8.8.8,1.1.1.1" << 0u << 0x01010101u;
        QTest::newRow("empty") << "" << 0u << 0u;
    }
    void dnsPair()
    {
        QFETCH(QString, text);
        QFETCH(quint32, first);
        QFETCH(quint32, second);
        const auto [a, b] = ImageFields::dnsPair(text);
        QCOMPARE(hexv(a), hexv(first));
        QCOMPARE(hexv(b), hexv(second));
    }

    void pulseValueCode_data()
    {
        QTest::addColumn<int>("pulseValue");
        QTest::addColumn<int>("code");
        const int table[][2] = {{1, 1}, {5, 2}, {10, 3}, {25, 4}, {50, 5}, {100, 6}, {0, 2}, {2, 2}, {255, 2}};
        for (const auto &row : table)
            QTest::addRow("%d", row[0]) << row[0] << row[1];
    }
    void pulseValueCode()
    {
        QFETCH(int, pulseValue);
        QFETCH(int, code);
        QCOMPARE(int(ImageFields::pulseValueCode(pulseValue)), code);
    }

    void programVersion()
    {
        QCOMPARE(hexv(ImageFields::programVersion(505)), hexv(quint16(0x0505)));
        QCOMPARE(hexv(ImageFields::programVersion(QStringLiteral("5.505.0.1"))), hexv(quint16(0x0505)));
        QCOMPARE(hexv(ImageFields::programVersion(9999)), hexv(quint16(0x9999)));
        QVERIFY_THROWS_EXCEPTION(ImageError, ImageFields::programVersion(10000));
    }

    void seconds_data()
    {
        QTest::addColumn<QDateTime>("local");
        QTest::addColumn<quint32>("seconds");
        const QDate d(2024, 1, 31);
        QTest::newRow("wall clock as it reads") << QDateTime(d, QTime(14, 25, 1)) << 1706711101u;
        QTest::newRow("half a second rounds up") << QDateTime(d, QTime(14, 25, 1, 500)) << 1706711102u;
        QTest::newRow("below half rounds down") << QDateTime(d, QTime(14, 25, 1, 499)) << 1706711101u;
        QTest::newRow("epoch") << QDateTime(QDate(1970, 1, 1), QTime(0, 0)) << 0u;
    }
    void seconds()
    {
        QFETCH(QDateTime, local);
        QFETCH(quint32, seconds);
        QCOMPARE(ImageFields::seconds(local), seconds);
    }

    void clockAndInstallation()
    {
        qputenv("ZENTRO_NOW", "2024-01-31T14:25:01");
        QCOMPARE(ImageFields::now(), 1706711101u);
        qunsetenv("ZENTRO_NOW");

        Installation installation;
        QCOMPARE(ImageFields::fallbackServer(installation), 0u);
        installation.fallbackServerText = QStringLiteral("10.0.0.250");
        QCOMPARE(hexv(ImageFields::fallbackServer(installation)), hexv(0x0A0000FA));
    }

    void readerConfigFields_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("width");
        QTest::addColumn<quint64>("value");
        const Field fields[] = {
            {"VERSAO", 0, 4, 0x01020304},
            {"serial", 4, 8, 0xAA66554433221100ull},
            {"owner", 12, 2, 0x0BEE},
            {"key value 1", 14, 2, 0x1112},
            {"key value 2", 16, 2, 0x2122},
            {"client", 18, 2, 0x0C1D},
            {"key bytes 0-7", 20, 8, 0xA7A6A5A4A3A2A1A0ull},
            {"key bytes 8-15", 28, 8, 0xAFAEADACABAAA9A8ull},
            {"key 3-byte value", 36, 3, 0xB2B1B0},
            {"key 2-byte value", 39, 2, 0xC1C0},
            {"key number", 41, 2, 7},
            {"zero 43", 43, 8, 0},
            {"reserved 76", 76, 8, 0},
            {"reserved 84", 84, 2, 0},
            {"program version", 86, 2, 0x0505},
            {"zero 88", 88, 2, 0},
            {"group 0 AUTOCREDITVALUE", 92, 4, 1000},
            {"group 0 AUTOCREDITMODE", 96, 1, 0},
            {"group 0 USERFLAGS", 97, 1, 0x80},
            {"group 0 MAXDAYSALES", 98, 4, 2000},
            {"group 0 MAXCREDITVALUE", 102, 4, 3000},
            {"group Y AUTOCREDITVALUE", 92 + 14 * 34, 4, 1034},
            {"group Y MAXCREDITVALUE", 92 + 14 * 34 + 10, 4, 3034},
            {"CREDITDATEENABLED", 582, 4, 0x11111111},
            {"VARMONEYSTARTDATE", 586, 4, 0x22222222},
            {"VARMONEYENDDATE", 590, 4, 0x33333333},
            {"VARMONEYTAX", 594, 1, 0x41},
            {"TRANSLATEGROUP", 595, 1, 0x42},
            {"AUTOCREDITENABLED", 596, 1, 0x43},
            {"constant 1", 597, 1, 1},
            {"PASSWORDENABLED", 598, 1, 0x44},
            {"CHECKGROUP", 599, 1, 0x45},
            {"RESETGROUP", 600, 1, 0x46},
            {"zero 601", 601, 1, 0},
            {"ONLYONWHITELIST on a white list", 602, 1, 0x47},
            {"ONLYONCREDITLIST", 603, 1, 0x48},
            {"ONLYONGROUPLIST", 604, 1, 0x49},
            {"LOGFILEOVERWRITE", 605, 1, 0x4A},
            {"LOGFILEENABLED", 606, 1, 0x4B},
            {"DISPLAYTRUNCATE", 607, 1, 0x4C},
            {"pulse value code of 25", 608, 1, 4},
            {"PASSWORDRETRY", 609, 1, 0x4D},
            {"MAXUSERCREDIT", 610, 4, 0x55555555},
            {"MAXSUPERVCREDIT", 614, 4, 0x66666666},
            {"constant 066Bh", 618, 2, 0x066B},
            {"VALIDDAYS", 620, 2, 0x7777},
            {"MULTIPURSEENABLED", 622, 1, 0x4E},
            {"PURSE_PRIO", 623, 4, 0x54535251},
            {"PURSE_RE", 627, 1, 0x55},
            {"zero 628", 628, 8, 0},
            {"zero up to 812", 805, 8, 0},
            {"VALUEBEGINSESSION", 813, 4, 0x88888888},
            {"BEEPPOSVENDA", 817, 1, 0x56},
            {"CARTAO_PROPRIETARIO_ONLINE", 818, 1, 0x57},
            {"CARTAO_PROPRIETARIO_ONLINE_GRP first character", 819, 1, 'K'},
            {"DISPLAY_FACTOR", 820, 1, 0x58},
            {"FLAG_VMC", 821, 2, 0x9999},
            {"DISPLAY_NAME in Windows-1252", 823, 5, 0x00C9464143ull},
            {"DISPLAY_NAME zero-padded", 828, 8, 0},
            {"zero 839", 839, 4, 0},
            {"CHECKNAME", 843, 1, 0x59},
            {"CHECKNAME_MASK", 844, 5, 0x004B53414Dull},
            {"PULSE_TIMEON", 876, 2, 0xA1A2},
            {"PULSE_TIMEOFF", 878, 2, 0xA3A4},
            {"PULSE_TIMEPAUSE", 880, 2, 0xA5A6},
            {"PULSE_TIMESIGNAL", 882, 2, 0xA7A8},
            {"PULSE_AUTOSEND", 884, 1, 0x5A},
            {"PULSE_INHIBITLEVEL", 885, 1, 0x5B},
            {"PULSE_VALUE1 to 6", 886, 6, 0x666564636219ull},
            {"AUTOVEND", 892, 1, 0x67},
            {"CODEPULSE", 893, 1, 0x68},
            {"POSWAITTIME", 894, 1, 0x69},
            {"POSMAXTRANSTIME", 895, 1, 0x6A},
            {"POSMAXSELECTTIME", 896, 1, 0x6B},
            {"POSMAXRELEASETIME", 897, 1, 0x6C},
            {"option bits", 898, 4, 0x0004FFFC},
            {"record flags", 902, 1, 1},
        };
        for (const Field &f : fields)
            QTest::newRow(f.name) << f.offset << f.width << f.value;
    }
    void readerConfigFields()
    {
        QFETCH(int, offset);
        QFETCH(int, width);
        QFETCH(quint64, value);
        const QByteArray record = ReaderConfig(sampleConfig()).encode(DesEcb(TestKey));
        QCOMPARE(record.size(), ReaderConfig::Size);
        QCOMPARE(decrypted(record).mid(offset, width).toHex(), le(value, width).toHex());
    }

    // CRC-16 of the plain bytes 4 to 89, then encryption of 4 to 91 (the
    // CRC included), then CRC-32 of what the reader receives.
    void readerConfigCrcsAndEncryption()
    {
        const QByteArray record = sampleConfig().encode(DesEcb(TestKey));
        const QByteArray plain = decrypted(record);
        QVERIFY(record.mid(4, 88) != plain.mid(4, 88));
        QCOMPARE(record.left(4), plain.left(4));
        QCOMPARE(record.mid(92), plain.mid(92));
        QCOMPARE(hexv(readLe(plain, 90, 2)), hexv(quint64(CRC_16ByteWise(plain.constData() + 4, 86, Crc16Initial))));
        QCOMPARE(hexv(readLe(record, 903, 4)), hexv(quint64(CRC_32ByteWise(record.constData(), 903, Crc32Initial))));
    }

    void readerConfigRules_data()
    {
        QTest::addColumn<ConfigChange>("change");
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("width");
        QTest::addColumn<quint64>("value");
        using Change = ConfigChange;
        QTest::newRow("ONLYONWHITELIST is 0 on a black list")
            << Change([](ReaderConfig &c) { c.CONFIG_WHITEBLACK_LIST = 240; }) << 602 << 1 << quint64(0);
        QTest::newRow("no product list clears FLAGVMC2_SEL_PULSO")
            << Change([](ReaderConfig &c) { c.hasProductList = false; }) << 898 << 4 << quint64(0x0000FFFC);
        QTest::newRow("empty group text gives 0")
            << Change([](ReaderConfig &c) { c.CARTAO_PROPRIETARIO_ONLINE_GRP.clear(); }) << 819 << 1 << quint64(0);
        QTest::newRow("unknown pulse value gives code 2")
            << Change([](ReaderConfig &c) { c.PULSE_VALUE[0] = 3; }) << 608 << 1 << quint64(2);
    }
    void readerConfigRules()
    {
        QFETCH(ConfigChange, change);
        QFETCH(int, offset);
        QFETCH(int, width);
        QFETCH(quint64, value);
        ReaderConfig c = sampleConfig();
        change(c);
        QCOMPARE(decrypted(c.encode(DesEcb(TestKey))).mid(offset, width).toHex(), le(value, width).toHex());
    }

    void noCardKeyIsAllFF()
    {
        ReaderConfig c = sampleConfig();
        c.cardKey.reset(); // CARDKEY -1
        const QByteArray plain = decrypted(c.encode(DesEcb(TestKey)));
        QCOMPARE(plain.mid(14, 4), QByteArray(4, char(0xFF)));
        QCOMPARE(plain.mid(18, 2).toHex(), le(0x0C1D, 2).toHex()); // the client stays
        QCOMPARE(plain.mid(20, 23), QByteArray(23, char(0xFF)));   // key, 3- and 2-byte values, number
        QCOMPARE(plain.mid(43, 33), QByteArray(33, '\0'));
    }

    void networkFields_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("width");
        QTest::addColumn<quint64>("value");
        const Field fields[] = {
            {"Ethernet in use", 0, 1, 1},
            {"zero 1", 1, 1, 0},
            {"mobile data in use", 2, 1, 1},
            {"SERVER_ADDR", 32, 4, 0x31767273},
            {"SERVER_ADDR zero-padded", 36, 8, 0},
            {"SERVER_ADDR_IP", 96, 4, 0xC0A80A01},
            {"SERVER_URL", 100, 2, 0x2F61},
            {"SERVER_PORT", 164, 2, 8080},
            {"SERVER_ADDR_IP_SECONDARY", 166, 4, 0x0A000002},
            {"SERVER_ADDR_IP_FALLBACK", 170, 4, 0x0A000003},
            {"zero 174", 174, 8, 0},
            {"ETH_IP", 224, 4, 0xAC100005},
            {"ETH_MASK", 228, 4, 0xFFFFFF00},
            {"ETH_GATEWAY", 232, 4, 0xAC100001},
            {"ETH_DNS first", 236, 4, 0x08080808},
            {"ETH_DNS second", 240, 4, 0x01010101},
            {"GPRS_PIN", 352, 4, 0x34333231},
            {"GPRS_APN", 356, 4, 0x006E7061},
            {"GPRS_USER", 420, 2, 0x0075},
            {"GPRS_PASSWORD", 436, 2, 0x0070},
            {"proxy in use", 700, 1, 1},
            {"DAA_SERVER_IP", 701, 4, 0xC0A80064},
            {"DAA_SERVER_PORT", 705, 2, 0x1F90},
            {"DAA_LOCAL_PORT", 707, 2, 0x1F91},
            {"zero 709", 709, 8, 0},
        };
        for (const Field &f : fields)
            QTest::newRow(f.name) << f.offset << f.width << f.value;
    }
    void networkFields()
    {
        QFETCH(int, offset);
        QFETCH(int, width);
        QFETCH(quint64, value);
        ReaderNetwork n;
        n.ethernetInUse = true;
        n.mobileDataInUse = true;
        n.SERVER_ADDR = QStringLiteral("srv1");
        n.SERVER_ADDR_IP = QStringLiteral("192.168.10.1");
        n.SERVER_URL = QStringLiteral("a/");
        n.SERVER_PORT = QStringLiteral("8080");
        n.SERVER_ADDR_IP_SECONDARY = QStringLiteral("10.0.0.2");
        n.SERVER_ADDR_IP_FALLBACK = QStringLiteral("10.0.0.3");
        n.ETH_IP = QStringLiteral("172.16.0.5");
        n.ETH_MASK = QStringLiteral("255.255.255.0");
        n.ETH_GATEWAY = QStringLiteral("172.16.0.1");
        n.ETH_DNS = QStringLiteral("8.8.8.8,1.1.1.1");
        n.GPRS_PIN = QStringLiteral("1234");
        n.GPRS_APN = QStringLiteral("apn");
        n.GPRS_USER = QStringLiteral("u");
        n.GPRS_PASSWORD = QStringLiteral("p");
        n.proxyInUse = true;
        n.DAA_SERVER_IP = QStringLiteral("192.168.0.100");
        n.DAA_SERVER_PORT = 0x1F90;
        n.DAA_LOCAL_PORT = 0x1F91;
        const QByteArray r = n.encode(0x0A0000FA);
        QCOMPARE(r.size(), ReaderNetwork::Size);
        QCOMPARE(r.mid(offset, width).toHex(), le(value, width).toHex());
        QCOMPARE(hexv(readLe(r, 764, 4)), hexv(quint64(CRC_32ByteWise(r.constData(), 764, Crc32Initial))));
    }

    void networkDefaults_data()
    {
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("fallback");
        QTest::addColumn<quint64>("expectedPort");
        QTest::addColumn<quint64>("expectedFallback");
        QTest::newRow("port not a number, fallback not an address") << "http"
                                                                    << "backup" << quint64(80) << quint64(0x0A0000FA);
        QTest::newRow("empty port and fallback") << ""
                                                 << "" << quint64(80) << quint64(0x0A0000FA);
        QTest::newRow("port 0, fallback of its own") << "0"
                                                     << "10.1.1.1" << quint64(0) << quint64(0x0A010101);
        QTest::newRow("port 65535") << "65535"
                                    << "" << quint64(65535) << quint64(0x0A0000FA);
    }
    void networkDefaults()
    {
        QFETCH(QString, port);
        QFETCH(QString, fallback);
        QFETCH(quint64, expectedPort);
        QFETCH(quint64, expectedFallback);
        ReaderNetwork n;
        n.SERVER_PORT = port;
        n.SERVER_ADDR_IP_FALLBACK = fallback;
        const QByteArray r = n.encode(0x0A0000FA);
        QCOMPARE(readLe(r, 164, 2), expectedPort);
        QCOMPARE(hexv(readLe(r, 170, 4)), hexv(expectedFallback));
    }

    void portOutOfRange_data()
    {
        QTest::addColumn<QString>("port");
        QTest::newRow("65536") << "65536";
        QTest::newRow("negative") << "-1";
    }
    void portOutOfRange()
    {
        QFETCH(QString, port);
        ReaderNetwork n;
        n.SERVER_PORT = port;
        try {
            n.encode(0);
            QFAIL("a port outside 0 … 65535 was accepted");
        } catch (const ImageError &e) {
            QCOMPARE(e.field(), QStringLiteral("SERVER_PORT"));
        }
    }

    // A text that fits is copied and zero-padded; one character more stops
    // the preparation with an error naming the field.
    void textFields_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("width");
        QTest::newRow("CHECKNAME_MASK") << "CHECKNAME_MASK" << 844 << 32;
        QTest::newRow("DISPLAY_NAME") << "DISPLAY_NAME" << 823 << 16;
        QTest::newRow("SERVER_ADDR") << "SERVER_ADDR" << 32 << 64;
        QTest::newRow("SERVER_URL") << "SERVER_URL" << 100 << 64;
        QTest::newRow("GPRS_APN") << "GPRS_APN" << 356 << 64;
        QTest::newRow("GPRS_USER") << "GPRS_USER" << 420 << 16;
        QTest::newRow("GPRS_PASSWORD") << "GPRS_PASSWORD" << 436 << 16;
        QTest::newRow("GPRS_PIN") << "GPRS_PIN" << 352 << 4;
    }
    void textFields()
    {
        QFETCH(QString, field);
        QFETCH(int, offset);
        QFETCH(int, width);

        const auto encodeWith = [&](const QString &text) {
            ReaderConfig c = sampleConfig();
            ReaderNetwork n;
            QHash<QString, QString *> texts = {
                {QStringLiteral("CHECKNAME_MASK"), &c.CHECKNAME_MASK},
                {QStringLiteral("DISPLAY_NAME"), &c.DISPLAY_NAME},
                {QStringLiteral("SERVER_ADDR"), &n.SERVER_ADDR},
                {QStringLiteral("SERVER_URL"), &n.SERVER_URL},
                {QStringLiteral("GPRS_APN"), &n.GPRS_APN},
                {QStringLiteral("GPRS_USER"), &n.GPRS_USER},
                {QStringLiteral("GPRS_PASSWORD"), &n.GPRS_PASSWORD},
                {QStringLiteral("GPRS_PIN"), &n.GPRS_PIN},
            };
            *texts.value(field) = text;
            if (field == QLatin1String("CHECKNAME_MASK") || field == QLatin1String("DISPLAY_NAME"))
                return decrypted(c.encode(DesEcb(TestKey)));
            return n.encode(0);
        };

        // Accented letters take one byte each, as the reader shows them.
        const QString fits = QString(width - 1, QLatin1Char('x')) + QStringLiteral("ã");
        QByteArray expected = QByteArray(width - 1, 'x') + char(0xE3);
        QCOMPARE(encodeWith(fits).mid(offset, width).toHex(), expected.toHex());
        QCOMPARE(encodeWith(QStringLiteral("ab")).mid(offset, width).toHex(),
                 (QByteArray("ab") + QByteArray(width - 2, '\0')).toHex());

        try {
            encodeWith(fits + QLatin1Char('y'));
            QFAIL("a text one character over its field was accepted");
        } catch (const ImageError &e) {
            QCOMPARE(e.field(), field);
            QVERIFY2(e.message().contains(field), qPrintable(e.message()));
        }
    }
};

QTEST_GUILESS_MAIN(TestReaderConfig)
#include "tst_readerconfig.moc"
