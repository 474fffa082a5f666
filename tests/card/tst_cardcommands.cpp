#include "CardTestSupport.h"

#include "card/CardCommands.h"

#include <QTest>

using namespace zentro;
using namespace cardtest;

namespace {

// A progress indicator that keeps its values.
class Gauge : public CardProgress
{
public:
    void setRange(int minimum, int maximum) override
    {
        m_min = minimum;
        m_max = maximum;
    }
    void setValue(int value) override
    {
        m_value = value;
        ++steps;
    }
    int value() const override { return m_value; }
    int maximum() const override { return m_max; }

    int steps = 0;

private:
    int m_min = 0;
    int m_max = 0;
    int m_value = -1;
};

// "3F27@300:248": the file, the offset and the length of one READ or UPDATE,
// with the SELECT of that file before it.
QStringList transfers(const QList<QByteArray> &log)
{
    QStringList out;
    quint16 selected = 0;
    for (const QByteArray &c : log) {
        const quint8 ins = quint8(c.at(1));
        if (ins == 0xA4) {
            selected = quint16(quint8(c.at(5)) << 8 | quint8(c.at(6)));
        } else if (ins == 0xB0 || ins == 0xD6) {
            out << QStringLiteral("%1@%2:%3")
                       .arg(selected, 4, 16)
                       .arg(quint8(c.at(2)) << 8 | quint8(c.at(3)))
                       .arg(quint8(c.at(4)))
                       .toUpper();
            selected = 0; // every chunk selects again
        }
    }
    return out;
}

} // namespace

class tst_CardCommands : public QObject
{
    Q_OBJECT

private slots:
    void fileIdentifiers_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<quint16>("id");
        QTest::newRow("first") << 0 << quint16(0x3F07);
        QTest::newRow("second") << 1 << quint16(0x3F17);
        QTest::newRow("last of the area") << 15 << quint16(0x3FF7);
        QTest::newRow("first beyond the area") << 16 << quint16(0x3F08);
        QTest::newRow("index 17") << 17 << quint16(0x3F18);
        QTest::newRow("index 143") << 143 << quint16(0x3FFF);
    }

    void fileIdentifiers()
    {
        QFETCH(int, index);
        QFETCH(quint16, id);
        QCOMPARE(CardFiles::dataFileId(index), id);
        if (index < CardFiles::DataAreaFiles)
            QCOMPARE(CardFiles::dataAreaFileId(quint32(index) * CardFiles::DataFileSize + 51199), id);
    }

    void areaChunks_data()
    {
        QTest::addColumn<quint32>("offset");
        QTest::addColumn<quint32>("count");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("inside one file") << quint32(102400 + 300) << quint32(600)
                                         << QStringList{"3F27@300:248", "3F27@548:248", "3F27@796:104"};
        QTest::newRow("across two files")
            << quint32(51150) << quint32(100) << QStringList{"3F07@51150:50", "3F17@0:50"};
        QTest::newRow("up to the end of the area") << quint32(819100) << quint32(100) << QStringList{"3FF7@51100:100"};
        QTest::newRow("nothing") << quint32(4000) << quint32(0) << QStringList{};
    }

    void areaChunks()
    {
        QFETCH(quint32, offset);
        QFETCH(quint32, count);
        QFETCH(QStringList, expected);
        CardModel card(2000000);
        formatCard(card, CardFiles::KindConfiguration, 16);
        ModelChannel channel(&card);

        // Writing puts every byte where the file formula says.
        const QByteArray data = pattern(count, offset);
        Gauge gauge;
        QCOMPARE(WriteCardArea(channel, offset, count, &gauge, reinterpret_cast<const quint8 *>(data.constData())),
                 sc::Ok);
        QCOMPARE(transfers(channel.log), expected);
        QCOMPARE(channel.log.size(), 2 * expected.size());
        QCOMPARE(gauge.value(), int(count));
        QCOMPARE(gauge.maximum(), int(count));
        QCOMPARE(card.collectionImage().mid(4160 + offset, count), data);

        channel.log.clear();
        QByteArray back(count, '\0');
        QCOMPARE(ReadCardArea(channel, offset, count, &gauge, reinterpret_cast<quint8 *>(back.data())), sc::Ok);
        QCOMPARE(transfers(channel.log), expected);
        QCOMPARE(back, data);
    }

    void areaBounds_data()
    {
        QTest::addColumn<quint32>("offset");
        QTest::addColumn<quint32>("count");
        QTest::addColumn<bool>("buffer");
        QTest::newRow("one byte past the end") << quint32(819100) << quint32(101) << true;
        QTest::newRow("longer than the area") << quint32(0) << quint32(819201) << true;
        QTest::newRow("offset wrapping 32 bits") << quint32(0xFFFFFFF0) << quint32(0x20) << true;
        QTest::newRow("no buffer") << quint32(0) << quint32(10) << false;
    }

    void areaBounds()
    {
        QFETCH(quint32, offset);
        QFETCH(quint32, count);
        QFETCH(bool, buffer);
        CardModel card(2000000);
        formatCard(card, CardFiles::KindConfiguration, 16);
        ModelChannel channel(&card);
        QByteArray data(1000, 'x');
        quint8 *p = buffer ? reinterpret_cast<quint8 *>(data.data()) : nullptr;
        QCOMPARE(ReadCardArea(channel, offset, count, nullptr, p), sc::OutOfArea);
        QCOMPARE(WriteCardArea(channel, offset, count, nullptr, p), sc::OutOfArea);
        QVERIFY(channel.log.isEmpty());
    }

    void fileFunctions()
    {
        CardModel card;
        formatCard(card, CardFiles::KindConfiguration, 4);
        ModelChannel channel(&card);
        quint8 buffer[600] = {};

        QCOMPARE(ReadCardFile(channel, 0x3F40, 0, buffer, 0), sc::Ok);
        QCOMPARE(WriteCardFile(channel, 0x3F40, 0, buffer, 0), sc::Ok);
        QVERIFY(channel.log.isEmpty());

        const QByteArray data = pattern(600);
        QCOMPARE(WriteCardFile(channel, 0x3F41, 3000, reinterpret_cast<const quint8 *>(data.constData()), 600), sc::Ok);
        QCOMPARE(transfers(channel.log), (QStringList{"3F41@3000:248", "3F41@3248:248", "3F41@3496:104"}));
        QCOMPARE(card.fileData(0x3F41).mid(3000, 600), data);
        QCOMPARE(ReadCardFile(channel, 0x3F41, 3000, buffer, 600), sc::Ok);
        QCOMPARE(QByteArray(reinterpret_cast<char *>(buffer), 600), data);

        // Past the end of a file the card refuses.
        QCOMPARE(ReadCardFile(channel, 0x3F40, 60, buffer, 8), sc::Refused);
        QCOMPARE(WriteCardFile(channel, 0x3F40, 60, buffer, 8), sc::Refused);
        // Offsets are 16 bits: a range that would wrap is not sent at all.
        channel.log.clear();
        QCOMPARE(WriteCardFile(channel, 0x3F07, 65500, buffer, 100), sc::Refused);
        QCOMPARE(ReadCardFile(channel, 0x3F07, 65500, buffer, 100), sc::Refused);
        QVERIFY(channel.log.isEmpty());
        QCOMPARE(ReadCardFile(channel, 0x3F40, 0, nullptr, 4), sc::NoFile);
        QCOMPARE(WriteCardFile(channel, 0x3F40, 0, nullptr, 4), sc::NoFile);
    }

    void refusedAnswers_data()
    {
        QTest::addColumn<QByteArray>("readAnswer");
        QTest::newRow("90 00 with fewer bytes") << hex("0102 9000");
        QTest::newRow("end of file warning") << hex("010203 6282");
        QTest::newRow("more bytes than asked") << hex("0102030405 9000");
        QTest::newRow("error status") << hex("6B00");
    }

    void refusedAnswers()
    {
        QFETCH(QByteArray, readAnswer);
        CardModel card;
        formatCard(card, CardFiles::KindConfiguration, 4);
        ModelChannel channel(&card);
        channel.answer = [&](const QByteArray &c) -> std::optional<QByteArray> {
            if (quint8(c.at(1)) == 0xB0)
                return readAnswer;
            return std::nullopt;
        };
        quint8 buffer[4];
        QCOMPARE(ReadCardFile(channel, 0x3F40, 0, buffer, 4), sc::Refused);
    }

    void missingFiles_data()
    {
        QTest::addColumn<quint16>("file");
        QTest::addColumn<int>("read");
        QTest::addColumn<int>("write");
        QTest::newRow("fourth data file") << quint16(0x3F37) << int(sc::Refused) << int(sc::Refused);
        QTest::newRow("fifth data file") << quint16(0x3F47) << int(sc::NoFile) << int(sc::Refused);
        QTest::newRow("header") << quint16(0x3F40) << int(sc::Refused) << int(sc::Refused);
    }

    void missingFiles()
    {
        QFETCH(quint16, file);
        QFETCH(int, read);
        QFETCH(int, write);
        CardModel card;
        card.process(CardTemplates::dataFile(0x3F07));
        ModelChannel channel(&card);
        quint8 buffer[4] = {};
        QCOMPARE(int(ReadCardFile(channel, file, 0, buffer, 4)), read);
        QCOMPARE(int(WriteCardFile(channel, file, 0, buffer, 4)), write);
    }

    void areaOfASmallCard()
    {
        // Five data files: the read stops at 3F57h with success and the
        // rest of the buffer as it was.
        CardModel card(2000000);
        formatCard(card, CardFiles::KindCollection, 5);
        card.writeFile(0x3F47, 51199, "L");
        ModelChannel channel(&card);
        QByteArray buffer(CardFiles::DataAreaSize, '\xEE');
        Gauge gauge;
        QCOMPARE(ReadCardArea(channel, 0, CardFiles::DataAreaSize, &gauge, reinterpret_cast<quint8 *>(buffer.data())),
                 sc::Ok);
        QCOMPARE(gauge.value(), int(CardFiles::DataAreaSize));
        QCOMPARE(buffer.at(5 * 51200 - 1), 'L');
        QCOMPARE(buffer.mid(5 * 51200), QByteArray(11 * 51200, '\xEE'));

        // Three data files: the fourth is missing, which is a fault.
        CardModel small(2000000);
        formatCard(small, CardFiles::KindCollection, 3);
        channel.setCard(&small);
        QCOMPARE(ReadCardArea(channel, 0, CardFiles::DataAreaSize, nullptr, reinterpret_cast<quint8 *>(buffer.data())),
                 sc::Refused);
        QCOMPARE(WriteCardArea(channel, 153500, 200, nullptr, reinterpret_cast<const quint8 *>(buffer.constData())),
                 sc::Refused);
    }

    void failedExchange()
    {
        CardModel card;
        formatCard(card, CardFiles::KindConfiguration, 16);
        ModelChannel channel(&card);
        channel.failFrom = 3; // the second chunk's READ
        QByteArray buffer(600, '\0');
        QCOMPARE(ReadCardArea(channel, 0, 600, nullptr, reinterpret_cast<quint8 *>(buffer.data())), sc::ExchangeFailed);
        channel.log.clear();
        channel.failFrom = 0;
        QCOMPARE(WriteCardArea(channel, 0, 600, nullptr, reinterpret_cast<quint8 *>(buffer.data())),
                 sc::ExchangeFailed);
        QCOMPARE(GetCardCapacity(channel), 0);
    }

    void capacity_data()
    {
        QTest::addColumn<quint32>("stored");
        QTest::addColumn<int>("dataFiles");
        QTest::addColumn<bool>("header");
        QTest::addColumn<qint64>("capacity");
        QTest::newRow("stored capacity") << quint32(307200) << 16 << true << qint64(303040);
        QTest::newRow("nothing stored: probe") << quint32(0) << 6 << true << qint64(307200);
        QTest::newRow("no header file: probe") << quint32(0) << 2 << false << qint64(102400);
        QTest::newRow("stored below the fixed files") << quint32(100) << 6 << true << qint64(0);
        QTest::newRow("all data files") << quint32(0) << 144 << true << qint64(144 * 51200);
    }

    void capacity()
    {
        QFETCH(quint32, stored);
        QFETCH(int, dataFiles);
        QFETCH(bool, header);
        QFETCH(qint64, capacity);
        CardModel card(CardModel::MaxCapacity);
        if (header) {
            formatCard(card, CardFiles::KindConfiguration, dataFiles);
            uchar bytes[4];
            qToLittleEndian(stored, bytes);
            card.writeFile(0x3F40, 2, QByteArray(reinterpret_cast<char *>(bytes), 4));
        } else {
            for (int i = 0; i < dataFiles; ++i)
                card.process(CardTemplates::dataFile(CardFiles::dataFileId(i)));
        }
        ModelChannel channel(&card);
        QCOMPARE(GetCardCapacity(channel), capacity);
    }

    void cardKind_data()
    {
        QTest::addColumn<QByteArray>("header");
        QTest::addColumn<quint16>("kind");
        QTest::newRow("collection") << CardTemplates::headerFile(CardFiles::KindCollection)
                                    << CardFiles::KindCollection;
        QTest::newRow("configuration") << CardTemplates::headerFile(CardFiles::KindConfiguration)
                                       << CardFiles::KindConfiguration;
        QTest::newRow("software change: no header") << QByteArray() << quint16(0);
    }

    void cardKind()
    {
        QFETCH(QByteArray, header);
        QFETCH(quint16, kind);
        CardModel card;
        if (!header.isEmpty())
            card.process(header);
        ModelChannel channel(&card);
        QByteArray read;
        QCOMPARE(ReadCardKind(channel, &read), kind);
        QCOMPARE(read.size(), header.isEmpty() ? 0 : 64);
    }

    void atrTests_data()
    {
        QTest::addColumn<QString>("atr");
        QTest::addColumn<bool>("configuration");
        QTest::addColumn<bool>("collection");
        QTest::newRow("virtual card") << QString::fromLatin1(CardModel::defaultAtr().toHex().toUpper()) << true << true;
        QTest::newRow("3BBA95") << "3BBA950011" << true << true;
        QTest::newRow("3BB8 other") << "3BB8130011" << true << false;
        QTest::newRow("other card") << "3B8F8001804F0CA0000003060300030000000068" << false << false;
        QTest::newRow("none") << "" << false << false;
    }

    void atrTests()
    {
        QFETCH(QString, atr);
        QFETCH(bool, configuration);
        QFETCH(bool, collection);
        QCOMPARE(IsConfigurationAtr(atr), configuration);
        QCOMPARE(IsCollectionAtr(atr), collection);
    }

    void serial()
    {
        CardModel card;
        card.setSerial(hex("0102030405060708"));
        ModelChannel channel(&card);
        QByteArray serial;
        QCOMPARE(ReadCardSerial(channel, &serial), sc::Ok);
        QCOMPARE(serial, hex("0102030405060708"));
        channel.answer = [](const QByteArray &) { return std::optional<QByteArray>(hex("6A81")); };
        QCOMPARE(ReadCardSerial(channel, &serial), sc::Refused);
    }
};

QTEST_GUILESS_MAIN(tst_CardCommands)
#include "tst_cardcommands.moc"
