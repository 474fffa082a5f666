#include "ImageBytes.h"

#include "app/Crc.h"

#include <QtTest>

using namespace zentro;

namespace {

// Bit-at-a-time definitions of the readers' CRCs, independent of the tables
// behind the product code.
quint16 bitwiseCrc16(QByteArrayView data, quint16 crc)
{
    for (const char c : data) {
        crc ^= quint16(quint8(c)) << 8;
        for (int k = 0; k < 8; ++k)
            crc = (crc & 0x8000) ? quint16((crc << 1) ^ 0x1021) : quint16(crc << 1);
    }
    return crc;
}

quint32 bitwiseCrc32(QByteArrayView data, quint32 crc)
{
    for (const char c : data) {
        crc ^= quint8(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc & 1) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
    return crc;
}

QByteArray pattern(qsizetype length)
{
    QByteArray b(length, '\0');
    quint32 x = 0x2545F491;
    for (qsizetype i = 0; i < length; ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        b[i] = char(x);
    }
    return b;
}

} // namespace

class TestCrc : public QObject
{
    Q_OBJECT

private slots:
    void checkValues_data()
    {
        QTest::addColumn<QString>("routine");
        QTest::addColumn<quint32>("initial");
        QTest::addColumn<quint32>("expected");
        QTest::newRow("CRC_16ByteWise from 4321h") << "crc16" << 0x4321u << 0x7FE5u;
        QTest::newRow("CRC16CCITT from FFFFh") << "ccitt" << 0xFFFFu << 0x29B1u;
        QTest::newRow("CRC_32ByteWise from FFFFFFFFh") << "crc32" << 0xFFFFFFFFu << 0x340BC6D9u;
    }
    void checkValues()
    {
        QFETCH(QString, routine);
        QFETCH(quint32, initial);
        QFETCH(quint32, expected);
        const QByteArray data("123456789");
        quint32 got = 0;
        if (routine == QLatin1String("crc16"))
            got = CRC_16ByteWise(data.constData(), data.size(), quint16(initial));
        else if (routine == QLatin1String("ccitt"))
            got = CRC16CCITT(data.constData(), data.size(), quint16(initial));
        else
            got = CRC_32ByteWise(data.constData(), data.size(), initial);
        QCOMPARE(hexv(got), hexv(expected));
    }

    // Chaining hands a result back in as the next initial value, so any
    // initial value must be taken as the running register.
    void agreesWithBitwiseDefinition_data()
    {
        QTest::addColumn<qsizetype>("length");
        QTest::addColumn<quint32>("initial");
        for (const qsizetype length : {0, 1, 9, 64, 1675}) {
            for (const quint32 initial : {0x00000000u, 0xFFFFFFFFu, 0x12345678u, 0x80000001u}) {
                QTest::addRow("%lld bytes from %08X", qlonglong(length), initial) << length << initial;
            }
        }
    }
    void agreesWithBitwiseDefinition()
    {
        QFETCH(qsizetype, length);
        QFETCH(quint32, initial);
        const QByteArray data = pattern(length);
        QCOMPARE(hexv(CRC_16ByteWise(data.constData(), length, quint16(initial))),
                 hexv(bitwiseCrc16(data, quint16(initial))));
        QCOMPARE(hexv(CRC16CCITT(data.constData(), length, quint16(initial))),
                 hexv(bitwiseCrc16(data, quint16(initial))));
        QCOMPARE(hexv(CRC_32ByteWise(data.constData(), length, initial)), hexv(bitwiseCrc32(data, initial)));
    }

    // A run longer than 65535 bytes is its first 65535 bytes and the rest, chained.
    void longRunIsChainedInPieces_data()
    {
        QTest::addColumn<qsizetype>("length");
        QTest::newRow("70000 bytes: 65535 + 4465") << qsizetype(70000);
        QTest::newRow("exactly one piece") << qsizetype(65535);
        QTest::newRow("three pieces") << qsizetype(2 * 65535 + 1);
    }
    void longRunIsChainedInPieces()
    {
        QFETCH(qsizetype, length);
        const QByteArray data = pattern(length);
        quint16 crc16 = Crc16Initial;
        quint32 crc32 = Crc32Initial;
        for (qsizetype at = 0; at < length; at += 65535) {
            const qsizetype piece = qMin<qsizetype>(65535, length - at);
            crc16 = CRC_16ByteWise(data.constData() + at, piece, crc16);
            crc32 = CRC_32ByteWise(data.constData() + at, piece, crc32);
        }
        QCOMPARE(hexv(crc16Chained(data)), hexv(crc16));
        QCOMPARE(hexv(crc32Chained(data)), hexv(crc32));
        QCOMPARE(hexv(crc16Chained(data)), hexv(bitwiseCrc16(data, Crc16Initial)));
        QCOMPARE(hexv(crc32Chained(data)), hexv(bitwiseCrc32(data, Crc32Initial)));
    }
};

QTEST_GUILESS_MAIN(TestCrc)
#include "tst_crc.moc"
