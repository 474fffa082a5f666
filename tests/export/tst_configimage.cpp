#include "ImageBytes.h"

#include "app/Crc.h"
#include "export/ConfigImage.h"
#include "export/DesEcb.h"
#include "export/ReaderConfig.h"
#include "export/ReaderNetwork.h"

#include <QtTest>

using namespace zentro;

namespace {

constexpr quint32 Completed = 1706711101;
constexpr quint32 Prepared = 1706711000;

ImageHeader header()
{
    ImageHeader h;
    h.ownerId = 0x1234;
    h.completedAt = Completed;
    h.programVersion = 0x0505;
    return h;
}

// The image of one reader whose only block is its configuration block.
struct SingleReaderImage
{
    ConfigImage image;
    QByteArray config;
    QByteArray network;
    std::optional<quint16> address;

    SingleReaderImage()
    {
        ReaderConfig c;
        c.VERSAO = 3;
        c.serial = ImageFields::serial(QStringLiteral("00112233445566AA"));
        c.ownerId = 0x1234;
        c.programVersion = 0x0505;
        config = c.encode(DesEcb(QByteArray::fromHex("0123456789ABCDEF")));
        network = ReaderNetwork().encode(0);
        address = image.addBlock(BlockType::Configuration, {config, network});
        ImageDirEntry entry;
        entry.serial = c.serial;
        entry.configuration = *address;
        entry.preparedAt = Prepared;
        entry.VERSAO = 3;
        image.addEntry(entry);
        image.finish(header());
    }
};

} // namespace

class TestConfigImage : public QObject
{
    Q_OBJECT

private slots:
    void singleConfigurationBlock()
    {
        SingleReaderImage s;
        QCOMPARE(s.address, std::optional<quint16>(0));
        QCOMPARE(s.image.dataLength(), quint32(1728)); // 8 + 1675 rounded up to 64
        const QByteArray image = s.image.image();
        QCOMPARE(image.size(), 4160 + 1728);

        // Block header: type 10h, length 1675 in 24 bits, zero, CRC-16 chained over both records.
        const QByteArray block = image.mid(4160, 8);
        const quint16 crc = CRC_16ByteWise(s.network.constData(), s.network.size(),
                                           CRC_16ByteWise(s.config.constData(), s.config.size(), Crc16Initial));
        QCOMPARE(block.toHex(), (le(0x10, 2) + le(1675, 3) + le(0, 1) + le(crc, 2)).toHex());
        QCOMPARE(image.mid(4168, 907), s.config);
        QCOMPARE(image.mid(4168 + 907, 768), s.network);
        QCOMPARE(image.mid(4160 + 8 + 1675), QByteArray(1728 - 1683, '\0'));
    }

    void directoryEntry()
    {
        SingleReaderImage s;
        const QByteArray e = s.image.image().mid(64, 32);
        const QByteArray expected = QByteArray::fromHex("00112233445566AA") // serial
                                    + le(0xFFFF, 2) + le(0xFFFF, 2) + le(0xFFFF, 2) + le(0xFFFF, 2) +
                                    le(0xFFFF, 2)   // groups … bonus
                                    + le(0, 2)      // configuration
                                    + le(0xFFFF, 2) // auto-format
                                    + le(Prepared, 4) + le(3, 4);
        QCOMPARE(e.left(30).toHex(), expected.toHex());
        QCOMPARE(hexv(readLe(e, 30, 2)), hexv(quint64(CRC_16ByteWise(e.constData(), 30, Crc16Initial))));
        // Unused entries are zero up to the trailer.
        QCOMPARE(s.image.image().mid(96, 4128 - 96), QByteArray(4128 - 96, '\0'));
    }

    void headerAndTrailer()
    {
        SingleReaderImage s;
        const QByteArray image = s.image.image();
        const QByteArray h = image.left(64);
        const QByteArray expected = le(0xA002, 2) + QByteArray(40, '\0') + le(0x1234, 2) + le(0, 4) + le(Completed, 4) +
                                    le(0, 4) + le(0x0505, 2) + QByteArray::fromHex("33AACC55");
        QCOMPARE(h.left(62).toHex(), expected.toHex());
        QCOMPARE(hexv(readLe(h, 62, 2)), hexv(quint64(CRC_16ByteWise(h.constData(), 62, Crc16Initial))));

        const QByteArray trailer = QByteArray::fromHex("F0F1F2F3F4F5F6F7") + le(0x0505, 2) + QByteArray(16, '\0') +
                                   QByteArray::fromHex("33AACC55") + QByteArray::fromHex("8899");
        QCOMPARE(image.mid(4128, 32).toHex(), trailer.toHex());
    }

    void cfgFileAndCardParts()
    {
        SingleReaderImage s;
        const QByteArray image = s.image.image();
        const QByteArray cfg = s.image.cfgFile();
        QCOMPARE(cfg.size(), 6336); // 5888 padded to 6 × 1056
        QCOMPARE(cfg.left(image.size()), image);
        QCOMPARE(cfg.mid(image.size()), QByteArray(6336 - 5888, '\0'));

        const ConfigImage::CardParts parts = s.image.cardParts();
        QCOMPARE(parts.header, image.mid(6, 58));
        QCOMPARE(parts.directory, image.mid(64, 4096));
        QCOMPARE(parts.data, image.mid(4160));
    }

    void cfgFileAlreadyAMultiple()
    {
        // 4160 + 2176 = 6336 = 6 × 1056: nothing to pad.
        ConfigImage image;
        image.skipTo(2112);
        QVERIFY(image.addBlock(BlockType::Groups, {QByteArray(8, 'x')}));
        QCOMPARE(image.dataLength(), quint32(2176));
        QCOMPARE(image.cfgFile(), image.image());
    }

    // The readers' CRC routine takes at most 65535 bytes: the block CRC of a
    // 70000-byte body is that of its first 65535 bytes chained into the rest.
    void longBlockCrcIsChained()
    {
        QByteArray body(70000, '\0');
        for (int i = 0; i < body.size(); ++i)
            body[i] = char(i * 7 + (i >> 9));
        ConfigImage image;
        QCOMPARE(image.addBlock(BlockType::AutoFormat, {body}), std::optional<quint16>(0));
        const QByteArray block = image.image().mid(4160, 8);
        const quint16 first = CRC_16ByteWise(body.constData(), 65535, Crc16Initial);
        const quint16 chained = CRC_16ByteWise(body.constData() + 65535, 4465, first);
        QCOMPARE(block.toHex(), (le(0x06, 2) + le(70000, 3) + le(0, 1) + le(chained, 2)).toHex());
        QCOMPARE(image.dataLength(), quint32(70016));
    }

    void blocksFollowAtMultiplesOf64()
    {
        ConfigImage image;
        QCOMPARE(image.addBlock(BlockType::Groups, {QByteArray(56, 'a')}), std::optional<quint16>(0));
        QCOMPARE(image.writePosition(), quint32(64));
        QCOMPARE(image.addBlock(BlockType::Credits, {QByteArray(57, 'b')}), std::optional<quint16>(1));
        QCOMPARE(image.writePosition(), quint32(192));
        QCOMPARE(image.addBlock(BlockType::Bonus, {QByteArray()}), std::optional<quint16>(3));
        QCOMPARE(image.writePosition(), quint32(256));
        QCOMPARE(image.image().mid(4160 + 64 + 8 + 57, 63), QByteArray(63, '\0'));
    }

    void skipMovesOnlyForward()
    {
        ConfigImage image;
        image.skipTo(64);
        QCOMPARE(image.addBlock(BlockType::AutoFormat, {QByteArray(64, 'z')}), std::optional<quint16>(1));
        image.skipTo(64);
        QCOMPARE(image.writePosition(), quint32(192));
    }

    void blockThatDoesNotFit_data()
    {
        QTest::addColumn<int>("bodyLength");
        QTest::addColumn<bool>("fits");
        QTest::newRow("ends at the last byte") << 56 << true;
        QTest::newRow("one byte over") << 57 << false;
    }
    void blockThatDoesNotFit()
    {
        QFETCH(int, bodyLength);
        QFETCH(bool, fits);
        ConfigImage image;
        image.skipTo(ConfigImage::MaxDataLength - 64);
        const QByteArray before = image.cfgFile();
        const auto address = image.addBlock(BlockType::Products, {QByteArray(bodyLength, 'p')});
        QCOMPARE(address.has_value(), fits);
        if (fits) {
            QCOMPARE(*address, quint16(12799));
            QCOMPARE(image.dataLength(), ConfigImage::MaxDataLength);
        } else {
            QCOMPARE(image.dataLength(), ConfigImage::MaxDataLength - 64);
            QCOMPARE(image.cfgFile(), before);
            QVERIFY(image.addBlock(BlockType::Products, {QByteArray(56, 'q')}));
            QCOMPARE(image.image().right(56), QByteArray(56, 'q'));
        }
    }

    void atMost126Readers()
    {
        ConfigImage image;
        ImageDirEntry entry;
        for (int i = 0; i < ConfigImage::MaxEntries; ++i) {
            entry.VERSAO = quint32(i + 1);
            QVERIFY(image.addEntry(entry));
        }
        QVERIFY(!image.addEntry(entry));
        QCOMPARE(image.entryCount(), 126);
        image.finish(header());
        const QByteArray img = image.image();
        QCOMPARE(readLe(img, 64 + 32 * 125 + 26, 4), quint64(126));
        QCOMPARE(img.mid(64 + 32 * 126, 32), QByteArray(32, '\0'));
    }
};

QTEST_GUILESS_MAIN(TestConfigImage)
#include "tst_configimage.moc"
