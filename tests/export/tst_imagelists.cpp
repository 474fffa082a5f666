#include "ImageBytes.h"

#include "app/Crc.h"
#include "export/AutoFormatList.h"
#include "export/CardList.h"
#include "export/ImageError.h"
#include "export/ProductList.h"

#include <QtTest>

using namespace zentro;

namespace {

quint64 crc32Of(const QByteArray &bytes, int length)
{
    return CRC_32ByteWise(bytes.constData(), length, Crc32Initial);
}

} // namespace

Q_DECLARE_METATYPE(CardList::Kind)

class TestImageLists : public QObject
{
    Q_OBJECT

private slots:
    // Header, then the entries ascending by card number, whatever order they came in.
    void cardLists_data()
    {
        QTest::addColumn<CardList::Kind>("kind");
        QTest::addColumn<int>("marker");
        QTest::addColumn<int>("blockType");
        QTest::addColumn<QByteArray>("entries");
        QTest::newRow("black list") << CardList::Kind::BlackList << 0xF0 << 0x03
                                    << QByteArray::fromHex("02000000 05000000");
        QTest::newRow("white list") << CardList::Kind::WhiteList << 0xF1 << 0x03
                                    << QByteArray::fromHex("02000000 05000000");
        QTest::newRow("groups") << CardList::Kind::Groups << 0xF3 << 0x01
                                << QByteArray::fromHex("02000000 42 05000000 41");
        QTest::newRow("credits") << CardList::Kind::Credits << 0xF4 << 0x02
                                 << QByteArray::fromHex("02000000 02 F4010000 05000000 01 E8030000");
        QTest::newRow("bonus") << CardList::Kind::Bonus << 0xF5 << 0x05
                               << QByteArray::fromHex("02000000 00 00000000 05000000 00 00000000");
    }
    void cardLists()
    {
        QFETCH(CardList::Kind, kind);
        QFETCH(int, marker);
        QFETCH(int, blockType);
        QFETCH(QByteArray, entries);

        CardList list;
        list.kind = kind;
        list.readTime = 1706711101;
        list.entries = {{5, QStringLiteral("A"), 1, 1000}, {2, QStringLiteral("B"), 2, 500}};
        const QByteArray r = list.encode();

        QCOMPARE(int(list.blockType()), blockType);
        QCOMPARE(r.size(), CardList::HeaderSize + entries.size());
        QCOMPARE(quint8(r.at(0)), quint8(marker));
        QCOMPARE(r.mid(1, 4), QByteArray(4, '\0'));
        QCOMPARE(readLe(r, 5, 4), quint64(2));
        QCOMPARE(readLe(r, 9, 4), quint64(1706711101));
        QCOMPARE(r.mid(13, 4), QByteArray(4, '\0'));
        QCOMPARE(hexv(readLe(r, 17, 4)), hexv(crc32Of(r, 17)));
        QCOMPARE(r.mid(21).toHex(), entries.toHex());
    }

    void blackOrWhite()
    {
        QCOMPARE(CardList::blackWhiteKind(241), CardList::Kind::WhiteList);
        QCOMPARE(CardList::blackWhiteKind(240), CardList::Kind::BlackList);
        QCOMPARE(CardList::blackWhiteKind(0), CardList::Kind::BlackList);
    }

    // A list over its limit keeps its lowest card numbers, and its count and
    // length claim no more than the block holds.
    void cardListLimits_data()
    {
        QTest::addColumn<CardList::Kind>("kind");
        QTest::addColumn<int>("limit");
        QTest::newRow("black list") << CardList::Kind::BlackList << 16500;
        QTest::newRow("groups") << CardList::Kind::Groups << 12500;
        QTest::newRow("credits") << CardList::Kind::Credits << 7250;
        QTest::newRow("bonus") << CardList::Kind::Bonus << 5200;
    }
    void cardListLimits()
    {
        QFETCH(CardList::Kind, kind);
        QFETCH(int, limit);
        CardList list;
        list.kind = kind;
        for (int i = limit + 1; i >= 1; --i)
            list.entries.append({quint32(i), QStringLiteral("1"), 0, 0});
        const QByteArray r = list.encode();
        QCOMPARE(list.droppedEntries(), 1);
        QCOMPARE(readLe(r, 5, 4), quint64(limit));
        QCOMPARE(r.size(), CardList::HeaderSize + limit * CardList::entrySize(kind));
        const qsizetype last = CardList::HeaderSize + (limit - 1) * CardList::entrySize(kind);
        QCOMPARE(readLe(r, int(last), 4), quint64(limit));

        list.entries.removeFirst(); // the highest card number
        QCOMPARE(list.droppedEntries(), 0);
        QCOMPARE(list.encode(), r);
    }

    void productList()
    {
        ProductList list;
        list.readTime = 1706711101;
        list.MIN_PRICE = 150;
        list.products = {
            {10, 3, QStringLiteral("*"), QStringLiteral("Água"), 200},
            {11, 1, QStringLiteral("A"), QStringLiteral("Chocolate ao leite"), 350},
            {12, -5, QStringLiteral("B"), QStringLiteral("Café"), 100},
            {13, 1, QStringLiteral("*"), QStringLiteral("Suco"), 400},
        };
        const QByteArray r = list.encode();
        QCOMPARE(r.size(), ProductList::HeaderSize + 4 * ProductList::EntrySize);
        QCOMPARE(quint8(r.at(0)), quint8(0xF2));
        QCOMPARE(readLe(r, 1, 4), quint64(0));
        QCOMPARE(readLe(r, 5, 4), quint64(4));
        QCOMPARE(readLe(r, 9, 4), quint64(1706711101));
        QCOMPARE(readLe(r, 13, 4), quint64(150));
        QCOMPARE(readLe(r, 17, 4), quint64(0));
        QCOMPARE(hexv(readLe(r, 21, 4)), hexv(crc32Of(r, 21)));

        // Group products first, then those of every group, each in the order given.
        const QByteArray expected = QByteArray::fromHex("0B000000 0100 41 43686F636F6C61746520 000000 5E010000" // cut
                                                        "0C000000 FFFF 42 436166E9000000000000 000000 64000000" // -1
                                                        "0A000000 0300 2A C1677561000000000000 000000 C8000000"
                                                        "0D000000 0100 2A 5375636F000000000000 000000 90010000");
        QCOMPARE(r.mid(25).toHex(), expected.toHex());
    }

    void productPositionOutOfRange()
    {
        ProductList list;
        list.products = {{1, 32768, QStringLiteral("A"), QStringLiteral("X"), 1}};
        QVERIFY_THROWS_EXCEPTION(ImageError, list.encode());
        list.products[0].VM_ID = 32767;
        QCOMPARE(readLe(list.encode(), 25 + 4, 2), quint64(32767));
    }

    void productListLimit()
    {
        ProductList list;
        for (int i = 0; i < ProductList::MaxEntries + 3; ++i)
            list.products.append({quint32(i), i % 100, QStringLiteral("A"), QStringLiteral("P"), 1});
        const QByteArray r = list.encode();
        QCOMPARE(list.droppedEntries(), 3);
        QCOMPARE(readLe(r, 5, 4), quint64(ProductList::MaxEntries));
        QCOMPARE(r.size(), ProductList::HeaderSize + ProductList::MaxEntries * ProductList::EntrySize);
    }

    void autoFormatList()
    {
        AutoFormatList list;
        list.VERSION = 0x01020304;
        list.readTime = 1706711101;
        list.BEGINTIME = 1000;
        list.ENDTIME = 2000;
        list.FLAGS = 0x10;
        list.FIELDIDIX = 3;
        list.FIELDCONFIRMIX = 4;
        list.IDTEXT = QStringLiteral("Matrícula");
        list.CONFIRM = QStringLiteral("Confirme sua matrícula");
        list.items = {
            {77, 12345678, QStringLiteral("M-001"), QStringLiteral("1A2B"), QStringLiteral("C"), 0x00,
             QStringLiteral("José")},
            {78, 0, QStringLiteral("123456789012"), QStringLiteral("04A1B2C3D4E5F6"), QString(), 0x01,
             QStringLiteral("Maria Aparecida da Silva")},
        };
        const QByteArray r = list.encode();
        QCOMPARE(r.size(), AutoFormatList::HeaderSize + 2 * AutoFormatList::ItemSize);

        const QByteArray header = QByteArray::fromHex("F7 04030201 02000000 3D58BA65 E8030000 D0070000 12 03 04") +
                                  QByteArray("Matr\xED"
                                             "cula       ") +
                                  QByteArray("Confirme sua mat");
        QCOMPARE(r.left(56).toHex(), header.toHex());

        // The first CRC over the header with both CRC places zero, the
        // second with the first in place.
        QByteArray zeroed = r.left(60);
        zeroed.replace(56, 4, QByteArray(4, '\0'));
        QCOMPARE(hexv(readLe(r, 56, 4)), hexv(crc32Of(zeroed, 60)));
        QCOMPARE(hexv(readLe(r, 60, 4)), hexv(crc32Of(r, 60)));

        const QByteArray items = QByteArray::fromHex("4D000000 4E61BC00") + QByteArray("M-001\0\0\0\0\0\0\0", 12) +
                                 QByteArray::fromHex("00000000000000001A2B 43 00") + QByteArray("Jos\xE9            ") +
                                 QByteArray::fromHex("4E000000 00000000") + QByteArray("123456789012") +
                                 QByteArray::fromHex("00000004A1B2C3D4E5F6 00 01") + QByteArray("Maria Aparecida ");
        QCOMPARE(r.mid(64).toHex(), items.toHex());
    }

    void autoFormatFlagsBit()
    {
        AutoFormatList list;
        list.FLAGS = 0x01;
        list.items = {{1, 0, QString(), QString(), QString(), 0x02, QString()}};
        QCOMPARE(quint8(list.encode().at(21)), quint8(0x01));
        list.items[0].FLAGS = 0x03;
        QCOMPARE(quint8(list.encode().at(21)), quint8(0x03));
    }

    void autoFormatEmpty()
    {
        AutoFormatList list;
        const QByteArray r = list.encode();
        QCOMPARE(r.size(), AutoFormatList::HeaderSize);
        QCOMPARE(r.mid(24, 32), QByteArray(32, ' '));
    }

    void matricTooLongMakesTheListUnreadable()
    {
        AutoFormatList list;
        list.items = {{1, 0, QStringLiteral("1234567890123"), QString(), QString(), 0, QString()}};
        try {
            list.encode();
            QFAIL("a MATRIC of 13 characters was accepted");
        } catch (const ImageError &e) {
            QCOMPARE(e.field(), QStringLiteral("MATRIC"));
        }
    }
};

QTEST_GUILESS_MAIN(TestImageLists)
#include "tst_imagelists.moc"
