#include "CardTestSupport.h"

#include <QTemporaryDir>
#include <QTest>

using namespace zentro;
using namespace cardtest;

class tst_CardModel : public QObject
{
    Q_OBJECT

private:
    // A configuration card with the header, the directory and one data file.
    static CardModel fixture()
    {
        CardModel card(300000);
        card.setSerial(hex("04A1B2C3D4E5F6"));
        card.process(CardTemplates::headerFile(CardFiles::KindConfiguration));
        card.process(CardTemplates::directoryFile());
        card.process(CardTemplates::dataFile(0x3F07));
        return card;
    }

private slots:
    void commands_data()
    {
        // Each step: command=answer, in hexadecimal.
        QTest::addColumn<QStringList>("steps");
        QTest::newRow("select without information")
            << QStringList{"00A4000C023F40=9000", "00A4000C023F99=6A82", "00A4000C023F02=6A82"};
        QTest::newRow("select with information, then its answer")
            << QStringList{"00A40000023F07=6110", "00C0000010=3F07 03 00000000000000 10C8 00000000 9000"};
        QTest::newRow("the information selects the file") << QStringList{"00A40000023F40=6110", "00B0000002=02A0 9000"};
        QTest::newRow("answer taken in pieces")
            << QStringList{"00A40000023F07=6110", "00C0000020=6C10", "00C000000C=3F07 03 00000000000000 10C8 6104",
                           "00C0000004=00000000 9000", "00C0000004=6985"};
        QTest::newRow("nothing waiting for GET RESPONSE")
            << QStringList{"00C0000010=6985", "00A40000023F07=6110", "00A4000C023F40=9000", "00C0000010=6985"};
        QTest::newRow("reading past the end of the file")
            << QStringList{"00A4000C023F40=9000", "00B0003C08=00000000 6282", "00B0004101=6B00"};
        QTest::newRow("read without a selected file") << QStringList{"00B0000004=6986"};
        QTest::newRow("update and read back") << QStringList{"00A4000C023F07=9000", "00D6C7FD03AABBCC=9000",
                                                             "00B0C7FD03=AABBCC 9000", "00D6C7FE03AABBCC=6A84"};
        QTest::newRow("update past the end writes nothing")
            << QStringList{"00A4000C023F40=9000", "00D6003E03AABBCC=6A84", "00B0003E02=0000 9000"};
        QTest::newRow("update with Lc other than its data")
            << QStringList{"00A4000C023F40=9000", "00D6000003AABB=6700"};
        QTest::newRow("card serial") << QStringList{"FFCA000000=04A1B2C3D4E5F6 9000", "FFCA000004=6C07",
                                                    "FFCA010000=6A81"};
        QTest::newRow("unknown commands")
            << QStringList{"0020000000=6D00", "80A4000C023F40=6E00", "00A4=6700", "00A4010C023F40=6A86"};
        QTest::newRow("creating an existing file")
            << QStringList{QString::fromLatin1(CardTemplates::directoryFile().toHex()) + "=6A89"};
        QTest::newRow("initialisation erases the card") << QStringList{
            "0014000010 00000000000000000000000000000000=9000", "00A4000C023F40=6A82", "00A4000C023F07=6A82"};
    }

    void commands()
    {
        QFETCH(QStringList, steps);
        CardModel card = fixture();
        for (const QString &step : steps) {
            const QStringList parts = step.split('=');
            const QByteArray answer = card.process(hex(parts[0].toLatin1().constData()));
            QCOMPARE(answer.toHex().toUpper(), hex(parts[1].toLatin1().constData()).toHex().toUpper());
        }
    }

    void fileSizesFromTemplates_data()
    {
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<quint16>("file");
        QTest::addColumn<int>("size");
        QTest::addColumn<QByteArray>("start");
        QTest::newRow("keys") << CardTemplates::keyFile(
                                     {hex("0102030405060708"), hex("1112131415161718"), hex("2122232425262728")})
                              << quint16(0x3F02) << 48
                              << hex("8008000800000000 0102030405060708 8008000800000000 1112131415161718");
        QTest::newRow("configuration header")
            << CardTemplates::headerFile(CardFiles::KindConfiguration) << quint16(0x3F40) << 64 << hex("02A0 00000000");
        QTest::newRow("collection header")
            << CardTemplates::headerFile(CardFiles::KindCollection) << quint16(0x3F40) << 64 << hex("01A0 00000000");
        QTest::newRow("directory") << CardTemplates::directoryFile() << quint16(0x3F41) << 4096 << QByteArray();
        QTest::newRow("data file") << CardTemplates::dataFile(0x3F18) << quint16(0x3F18) << 51200 << QByteArray();
        QTest::newRow("shorter data file")
            << CardTemplates::dataFile(0x3F47, 50432) << quint16(0x3F47) << 50432 << QByteArray();
        QTest::newRow("empty data file") << CardTemplates::dataFile(0x3F47, 0) << quint16(0x3F47) << 0 << QByteArray();
        QTest::newRow("software-change file")
            << CardTemplates::softwareChangeFile(0x3F27) << quint16(0x3F27) << 29984 << QByteArray();
    }

    void fileSizesFromTemplates()
    {
        QFETCH(QByteArray, command);
        QFETCH(quint16, file);
        QFETCH(int, size);
        QFETCH(QByteArray, start);
        CardModel card;
        QCOMPARE(card.process(command), hex("9000"));
        QCOMPARE(card.fileIds(), QList<quint16>{file});
        QCOMPARE(card.fileSize(file), size);
        QCOMPARE(card.fileData(file).left(start.size()), start);
        QCOMPARE(card.usedSpace(), quint32(size + 16));
    }

    void capacityLimitsCreate_data()
    {
        QTest::addColumn<quint32>("free");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("exactly enough") << quint32(51216) << true;
        QTest::newRow("one byte short") << quint32(51215) << false;
    }

    void capacityLimitsCreate()
    {
        QFETCH(quint32, free);
        QFETCH(bool, accepted);
        CardModel card(FixedFilesSpace + free);
        formatCard(card, CardFiles::KindCollection, 0);
        QCOMPARE(card.usedSpace(), FixedFilesSpace);
        const QByteArray answer = card.process(CardTemplates::dataFile(0x3F07));
        QCOMPARE(answer, accepted ? hex("9000") : hex("6A84"));
        QCOMPARE(card.hasFile(0x3F07), accepted);
    }

    void saveAndLoad()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("card");
        CardModel card = fixture();
        card.process(hex("00A4000C023F07"));
        card.process(hex("00D6100004DEADBEEF"));
        QString error;
        QVERIFY2(card.save(path, &error), qPrintable(error));

        CardModel back(1);
        QVERIFY2(back.load(path, &error), qPrintable(error));
        QCOMPARE(back.capacity(), card.capacity());
        QCOMPARE(back.atr(), card.atr());
        QCOMPARE(back.serial(), card.serial());
        QCOMPARE(back.fileIds(), card.fileIds());
        for (quint16 id : card.fileIds())
            QCOMPARE(back.fileData(id), card.fileData(id));
        QCOMPARE(back.process(hex("00A4000C023F07")), hex("9000"));
        QCOMPARE(back.process(hex("00B0100004")), hex("DEADBEEF9000"));
    }

    void loadRefusesDamagedFiles_data()
    {
        QTest::addColumn<int>("cut");
        QTest::addColumn<QByteArray>("garbage");
        QTest::newRow("truncated") << 40 << QByteArray();
        QTest::newRow("trailing bytes") << -1 << QByteArray("xx");
        QTest::newRow("not a card file") << 0 << QByteArray("hello, this is not a card");
    }

    void loadRefusesDamagedFiles()
    {
        QFETCH(int, cut);
        QFETCH(QByteArray, garbage);
        QTemporaryDir dir;
        const QString path = dir.filePath("card");
        QString error;
        QVERIFY(fixture().save(path, &error));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QByteArray bytes = f.readAll();
        f.close();
        if (cut >= 0)
            bytes.truncate(cut);
        bytes.append(garbage);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
        f.close();

        CardModel card(1234);
        card.process(CardTemplates::headerFile(CardFiles::KindCollection));
        QVERIFY(!card.load(path, &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(card.capacity(), quint32(1234));
        QVERIFY(card.hasFile(0x3F40));
    }

    void collectionImage()
    {
        const QByteArray image = pattern(CardModel::CollectionImageSize, 7);
        CardModel card(100000); // smaller than the image needs: it grows
        QString error;
        QVERIFY2(card.loadCollectionImage(image, &error), qPrintable(error));
        QCOMPARE(card.collectionImage(), image);
        QCOMPARE(card.fileData(0x3F40), image.left(64));
        QCOMPARE(card.fileData(0x3F41), image.mid(64, 4096));
        // Log area offset 51200 * 2 + 5 is in file 3F27h at 5.
        QCOMPARE(card.fileData(0x3F27).mid(5, 10), image.mid(4160 + 102405, 10));
        QCOMPARE(card.fileData(0x3FF7).size(), 51200);
        QVERIFY(!card.hasFile(0x3F08));

        QVERIFY(!card.loadCollectionImage(image.left(image.size() - 1), &error));
        QCOMPARE(card.collectionImage(), image);
    }

    void imageOfASmallCardIsZeroFilled()
    {
        CardModel card;
        formatCard(card, CardFiles::KindCollection, 5);
        card.writeFile(0x3F47, 51199, "Z");
        const QByteArray image = card.collectionImage();
        QCOMPARE(image.size(), CardModel::CollectionImageSize);
        QCOMPARE(image.at(0), char(0x01));
        QCOMPARE(image.at(1), char(0xA0));
        QCOMPARE(image.at(4160 + 5 * 51200 - 1), 'Z');
        QCOMPARE(image.mid(4160 + 5 * 51200), QByteArray(11 * 51200, '\0'));
    }
};

QTEST_GUILESS_MAIN(tst_CardModel)
#include "tst_cardmodel.moc"
