#include "CardBytes.h"

#include "logs/ClientMarker.h"
#include "logs/CollectionCard.h"

#include <QtTest>

using namespace zentro;
using cardbytes::Record;

Q_DECLARE_METATYPE(CollectionCard::EntryState)

namespace {

const QByteArray SerialA = QByteArray::fromHex("000A1B2C3D4E5F60");
const QByteArray SerialB = QByteArray::fromHex("1122334455667788");

QByteArray records(int count, quint32 firstId = 1)
{
    QByteArray b;
    for (int i = 0; i < count; ++i) {
        Record r;
        r.transacId = firstId + quint32(i);
        b += r.bytes();
    }
    return b;
}

CollectionCard decodeImage(const cardbytes::Image &image)
{
    const auto card = CollectionCard::decodeImage(image.bytes);
    if (!card)
        qFatal("a card image of the right size was refused");
    return *card;
}

} // namespace

class TestCollectionCard : public QObject
{
    Q_OBJECT

private slots:
    void entryTexts_data()
    {
        QTest::addColumn<QByteArray>("serial");
        QTest::addColumn<quint16>("version");
        QTest::addColumn<QString>("hwSerie");
        QTest::addColumn<QString>("versionText");
        QTest::newRow("upper-case digits") << SerialA << quint16(0x0123) << "000A1B2C3D4E5F60"
                                           << "123";
        QTest::newRow("four digits") << SerialB << quint16(0x1234) << "1122334455667788"
                                     << "1234";
        QTest::newRow("at least three digits") << SerialB << quint16(0x0005) << "1122334455667788"
                                               << "005";
        QTest::newRow("letters") << SerialB << quint16(0xABCD) << "1122334455667788"
                                 << "ABCD";
    }
    void entryTexts()
    {
        QFETCH(QByteArray, serial);
        QFETCH(quint16, version);
        QFETCH(QString, hwSerie);
        QFETCH(QString, versionText);
        const auto e = CollectionDirEntry::decode(cardbytes::dirEntry(serial, 0, version));
        QCOMPARE(e.state, CollectionDirEntry::State::Valid);
        QCOMPARE(e.hwSerie(), hwSerie);
        QCOMPARE(e.readerVersionText(), versionText);
    }

    void entryStates()
    {
        QCOMPARE(CollectionDirEntry::decode(QByteArray(32, '\0')).state, CollectionDirEntry::State::Free);
        QCOMPARE(CollectionDirEntry::decode(cardbytes::dirEntry(SerialA, 3, 0x100, false)).state,
                 CollectionDirEntry::State::Invalid);
        const auto valid = CollectionDirEntry::decode(cardbytes::dirEntry(SerialA, 0x1234, 0x100));
        QCOMPARE(valid.state, CollectionDirEntry::State::Valid);
        QCOMPARE(valid.firstBlock, quint16(0x1234));
        // A non-zero entry whose CRC happens to be zero is still not free.
        QByteArray zeroCrc(32, '\0');
        zeroCrc[5] = 1;
        QCOMPARE(CollectionDirEntry::decode(zeroCrc).state, CollectionDirEntry::State::Invalid);
    }

    void marker_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("valid");
        QTest::newRow("this installation") << cardbytes::marker(0xA001, 0x1234) << true;
        QTest::newRow("another owner") << cardbytes::marker(0xA001, 0x1235) << false;
        QTest::newRow("wrong CRC") << cardbytes::marker(0xA001, 0x1234, false) << false;
        QTest::newRow("blank header") << QByteArray(64, '\0') << false;
        QTest::newRow("short read") << cardbytes::marker(0xA001, 0x1234).left(63) << false;
    }
    void marker()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, valid);
        QCOMPARE(ClientMarker::decode(bytes).isValidFor(0x1234), valid);
    }

    void markerEncoding()
    {
        const QByteArray m = ClientMarker::encode(0x1234, QDateTime(QDate(2024, 1, 31), QTime(14, 25, 1)), 0x0505);
        QCOMPARE(m.toHex(), cardbytes::marker(0xA001, 0x1234).toHex());
        const ClientMarker decoded = ClientMarker::decode(m);
        QCOMPARE(decoded.cardKind, ClientMarker::CollectionCard);
        QCOMPARE(decoded.markingTime, 1706711101u);
        QVERIFY(decoded.isValidFor(0x1234));
    }

    void emptyCard()
    {
        cardbytes::Image image;
        image.setHeader(cardbytes::marker(0xA001, 0x1234));
        const CollectionCard card = decodeImage(image);
        QVERIFY(card.isEmpty());
        QCOMPARE(card.count(CollectionCard::EntryState::Free), 128);
        QCOMPARE(card.recordCount(), qsizetype(0));
        QVERIFY(card.marker().isValidFor(0x1234));
    }

    // One entry under test at index 5, and a sound entry behind it at index 9
    // that must be read whatever became of entry 5.
    void entries_data()
    {
        QTest::addColumn<int>("firstBlock");
        QTest::addColumn<quint32>("dataLength");
        QTest::addColumn<bool>("crcOk");
        QTest::addColumn<CollectionCard::EntryState>("state");
        QTest::addColumn<int>("recordCount");
        QTest::addColumn<QString>("reason");

        using S = CollectionCard::EntryState;
        QTest::newRow("two records") << 0 << 92u << true << S::Valid << 2 << "";
        QTest::newRow("trailing remainder ignored") << 0 << 100u << true << S::Valid << 2 << "";
        QTest::newRow("length below one record") << 0 << 45u << true << S::Valid << 0 << "";
        QTest::newRow("empty") << 0 << 0u << true << S::Valid << 0 << "";
        QTest::newRow("invalid CRC") << 0 << 92u << false << S::Invalid << 0 << "";
        QTest::newRow("last block, data up to the end") << 12799 << 56u << true << S::Valid << 1 << "";
        QTest::newRow("last block, data past the end") << 12799 << 57u << true << S::Refused << 0 << "ultrapassam";
        QTest::newRow("first block beyond 12799") << 12800 << 46u << true << S::Refused << 0 << "12800";
        QTest::newRow("first block FFFFh") << 0xFFFF << 46u << true << S::Refused << 0 << "65535";
        QTest::newRow("10000 records") << 100 << 460000u << true << S::Valid << 10000 << "";
        QTest::newRow("10000 records and a remainder") << 100 << 460045u << true << S::Valid << 10000 << "";
        QTest::newRow("10001 records") << 100 << 460046u << true << S::Refused << 0 << "10000";
        QTest::newRow("largest length") << 100 << 0xFFFFFFu << true << S::Refused << 0 << "10000";
        QTest::newRow("inside the area but past its end")
            << 10000 << 230000u << true << S::Refused << 0 << "ultrapassam";
    }
    void entries()
    {
        QFETCH(int, firstBlock);
        QFETCH(quint32, dataLength);
        QFETCH(bool, crcOk);
        QFETCH(CollectionCard::EntryState, state);
        QFETCH(int, recordCount);
        QFETCH(QString, reason);

        cardbytes::Image image;
        image.setEntry(5, cardbytes::dirEntry(SerialA, quint16(firstBlock), 0x0123, crcOk));
        if (firstBlock < 12800)
            image.setBlock(firstBlock, dataLength, records(int(qMin<quint32>(dataLength / 46, 10001)), 100));
        image.setEntry(9, cardbytes::dirEntry(SerialB, 50, 0x0200));
        image.setBlock(50, 3 * 46, records(3, 900));

        const CollectionCard card = decodeImage(image);
        QVERIFY(!card.isEmpty());
        const CollectionCard::Entry &e = card.entries().at(5);
        QCOMPARE(e.index, 5);
        QCOMPARE(e.state, state);
        QCOMPARE(e.recordCount, qsizetype(recordCount));
        QVERIFY2(reason.isEmpty() ? e.reason.isEmpty() : e.reason.contains(reason), qPrintable(e.reason));
        if (recordCount > 0) {
            QCOMPARE(card.record(e, 0).TRANSAC_ID, 100u);
            QCOMPARE(card.record(e, recordCount - 1).TRANSAC_ID, quint32(100 + recordCount - 1));
        }

        const CollectionCard::Entry &behind = card.entries().at(9);
        QCOMPARE(behind.state, CollectionCard::EntryState::Valid);
        QCOMPARE(behind.dir.hwSerie(), QStringLiteral("1122334455667788"));
        QCOMPARE(behind.recordCount, qsizetype(3));
        QCOMPARE(card.record(behind, 2).TRANSAC_ID, 902u);
        QCOMPARE(card.count(CollectionCard::EntryState::Free), 126);
    }

    void imageOfAnotherSize_data()
    {
        QTest::addColumn<qsizetype>("size");
        QTest::newRow("empty") << qsizetype(0);
        QTest::newRow("one byte short") << CollectionCard::ImageSize - 1;
        QTest::newRow("one byte over") << CollectionCard::ImageSize + 1;
    }
    void imageOfAnotherSize()
    {
        QFETCH(qsizetype, size);
        QVERIFY(!CollectionCard::decodeImage(QByteArray(size, '\0')));
    }

    // A card read only in part: what was not read is not there, and nothing
    // is read beyond what was.
    void shortStores()
    {
        QByteArray directory = cardbytes::dirEntry(SerialA, 0, 1) + cardbytes::dirEntry(SerialA, 1, 1) +
                               cardbytes::dirEntry(SerialA, 2, 1).left(31);
        QByteArray logArea = cardbytes::blockHeader(2 * 46) + records(2);
        logArea.resize(64 + 8 + 10);
        const QByteArray blockOne = cardbytes::blockHeader(46);
        logArea.replace(64, 8, blockOne);

        const CollectionCard card = CollectionCard::decode(QByteArray(10, '\x01'), directory, logArea);
        QVERIFY(!card.marker().complete);
        QCOMPARE(card.entries().size(), 128);
        QCOMPARE(card.entries().at(0).state, CollectionCard::EntryState::Refused); // 100 bytes, only 82 read
        QCOMPARE(card.entries().at(1).state, CollectionCard::EntryState::Refused);
        QCOMPARE(card.entries().at(2).state, CollectionCard::EntryState::Free);
        QVERIFY(!card.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestCollectionCard)
#include "tst_collectioncard.moc"
