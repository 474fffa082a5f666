// zentro-cardsim as operators and the test script run it.

#include "CardTestSupport.h"
#include "VirtualReader.h"

#include "card/CardCommands.h"
#include "card/CardFormatter.h"
#include "card/TPCSC.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

using namespace zentro;
using namespace cardtest;

class tst_CardSim : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    static int run(const QStringList &arguments, QString *errors = nullptr)
    {
        QProcess p;
        p.start(QStringLiteral(ZENTRO_CARDSIM_PATH), arguments);
        if (!p.waitForFinished(20000))
            return -1;
        if (errors)
            *errors = QString::fromUtf8(p.readAllStandardError());
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }

    // A TPCSC watching the virtual reader that connects to every card.
    static void watch(TPCSC &pcsc)
    {
        QObject::connect(&pcsc, &TPCSC::OnCardInserted, &pcsc, [&pcsc] { pcsc.Connect(); });
        QObject::connect(&pcsc, &TPCSC::OnCardRemoved, &pcsc, [&pcsc] { pcsc.Disconnect(); });
        QVERIFY(pcsc.Init());
        pcsc.SetUseReaderNum(int(pcsc.ReaderList().indexOf(VirtualReaderName)));
        QVERIFY(pcsc.Open());
    }

private slots:
    void offlineImages()
    {
        const QString card = m_dir.filePath("offline.card");
        const QString in = m_dir.filePath("in.img");
        const QString out = m_dir.filePath("out.img");
        const QByteArray image = pattern(CardModel::CollectionImageSize, 5);
        QFile f(in);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(image);
        f.close();

        QCOMPARE(run({"--card", card, "--create", "2M", "--load-image", in, "--dump-image", out, "--no-insert"}), 0);
        QFile o(out);
        QVERIFY(o.open(QIODevice::ReadOnly));
        QCOMPARE(o.readAll(), image);

        CardModel saved;
        QString error;
        QVERIFY2(saved.load(card, &error), qPrintable(error));
        QCOMPARE(saved.capacity(), 2u * 1024 * 1024);
        QCOMPARE(saved.collectionImage(), image);
    }

    void badArguments_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::newRow("capacity") << QStringList{"--create", "lots"} << "capacidade inválida";
        QTest::newRow("capacity too large") << QStringList{"--create", "64M"} << "capacidade inválida";
        QTest::newRow("image of the wrong size")
            << QStringList{"--load-image", ZENTRO_CARDSIM_PATH} << "a imagem de um cartão de coleta tem 823360";
        QTest::newRow("serial") << QStringList{"--serial", "12XY"} << "número de série inválido";
        QTest::newRow("port") << QStringList{"--port", "70000"} << "porta inválida";
    }

    void badArguments()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        const QString card = m_dir.filePath("never.card");
        QString errors;
        QCOMPARE(run(QStringList{"--card", card, "--no-insert"} + arguments, &errors), 1);
        QVERIFY2(errors.contains(message), qPrintable(errors));
        QVERIFY(!QFile::exists(card));
    }

    void insertedUntilStopped()
    {
        requireVirtualReader();
        const QString card = m_dir.filePath("online.card");
        TPCSC pcsc;
        watch(pcsc);
        QSignalSpy active(&pcsc, &TPCSC::OnCardActive);
        QSignalSpy removed(&pcsc, &TPCSC::OnCardRemoved);

        QProcess sim;
        sim.start(QStringLiteral(ZENTRO_CARDSIM_PATH),
                  {"--card", card, "--create", "600000", "--serial", "0102030405060708"});
        QTRY_COMPARE_WITH_TIMEOUT(active.size(), 1, 10000);
        QByteArray serial;
        QCOMPARE(ReadCardSerial(pcsc, &serial), sc::Ok);
        QCOMPARE(serial, hex("0102030405060708"));

        CardFormatter formatter(pcsc, {});
        QCOMPARE(
            formatter.formatCollection({hex("0000000000000001"), hex("0000000000000002"), hex("0000000000000003")}),
            CardFormatter::Outcome::Full);
        // A client marker, behind the capacity (0 on a collection card).
        const QByteArray marker = hex("01A0 00000000") + pattern(58, 9);
        QCOMPARE(WriteCardFile(pcsc, 0x3F40, 6, reinterpret_cast<const quint8 *>(marker.constData()) + 6, 58), sc::Ok);

        // Stopping takes the card out and saves it.
        sim.terminate();
        QVERIFY(sim.waitForFinished(10000));
        QCOMPARE(sim.exitCode(), 0);
        QTRY_COMPARE(removed.size(), 1);
        CardModel saved;
        QString error;
        QVERIFY2(saved.load(card, &error), qPrintable(error));
        QCOMPARE(saved.fileData(0x3F40), marker);
        QCOMPARE(saved.fileIds().size(), 3 + 11);

        // Started again on the same file, the card comes back as it was.
        sim.start(QStringLiteral(ZENTRO_CARDSIM_PATH), {"--card", card});
        QTRY_COMPARE_WITH_TIMEOUT(active.size(), 2, 10000);
        QByteArray header;
        QCOMPARE(ReadCardKind(pcsc, &header), CardFiles::KindCollection);
        QCOMPARE(header, marker);
        QCOMPARE(GetCardCapacity(pcsc), qint64(11 * 51200));
        ::kill(pid_t(sim.processId()), SIGINT);
        QVERIFY(sim.waitForFinished(10000));
        QCOMPARE(sim.exitCode(), 0);
        QTRY_COMPARE(removed.size(), 2);

        const QString image = m_dir.filePath("dump.img");
        QCOMPARE(run({"--card", card, "--dump-image", image, "--no-insert"}), 0);
        QFile f(image);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray dumped = f.readAll();
        QCOMPARE(dumped.size(), CardModel::CollectionImageSize);
        QCOMPARE(dumped.left(64), marker);
    }
};

QTEST_GUILESS_MAIN(tst_CardSim)
#include "tst_cardsim.moc"
