#include "CardTestSupport.h"

#include "card/InProcessPcsc.h"
#include "card/TPCSC.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

using namespace zentro;
using namespace cardtest;

namespace {

const QByteArray ReaderA = "Reader A 00 00";
const QByteArray ReaderB = "Reader B 00 00";

// Records the component's events by name, in the order they arrive.
struct EventLog
{
    explicit EventLog(TPCSC &pcsc)
    {
        QObject::connect(&pcsc, &TPCSC::OnCardInserted, [this] { names << "inserted"; });
        QObject::connect(&pcsc, &TPCSC::OnCardActive, [this] { names << "active"; });
        QObject::connect(&pcsc, &TPCSC::OnCardRemoved, [this] { names << "removed"; });
        QObject::connect(&pcsc, &TPCSC::OnCardReset, [this] { names << "reset"; });
        QObject::connect(&pcsc, &TPCSC::OnCardInvalid, [this] { names << "invalid"; });
        QObject::connect(&pcsc, &TPCSC::OnReaderWaiting, [this] { names << "waiting"; });
        QObject::connect(&pcsc, &TPCSC::OnReaderListChange, [this] { names << "list"; });
        QObject::connect(&pcsc, &TPCSC::OnError,
                         [this](TPCSC::TErrSource source, quint32 code) { errors << qMakePair(int(source), code); });
    }
    QStringList names;
    QList<QPair<int, quint32>> errors;
};

} // namespace

class tst_TPCSC : public QObject
{
    Q_OBJECT

private:
    std::shared_ptr<InProcessPcsc> m_service;

    std::shared_ptr<CardModel> card()
    {
        auto c = std::make_shared<CardModel>();
        formatCard(*c, CardFiles::KindConfiguration, 4);
        return c;
    }

private slots:
    void init()
    {
        m_service = std::make_shared<InProcessPcsc>();
        m_service->addReader(ReaderA);
    }

    void initWithoutReaders()
    {
        auto service = std::make_shared<InProcessPcsc>();
        TPCSC pcsc(service);
        EventLog log(pcsc);
        QVERIFY(!pcsc.Init());
        QVERIFY(pcsc.ReaderList().isEmpty());
        QCOMPARE(pcsc.NumReaders(), 0);
        QVERIFY(!log.names.contains("list"));
    }

    void initWithoutService()
    {
        m_service->setServiceRunning(false);
        TPCSC pcsc(m_service);
        EventLog log(pcsc);
        QVERIFY(!pcsc.Init());
        QCOMPARE(log.errors, (QList<QPair<int, quint32>>{{TPCSC::esInit, pcsc::NoService}}));
        QVERIFY(!pcsc.Open());
    }

    void initKeepsElevenReaders()
    {
        auto service = std::make_shared<InProcessPcsc>();
        QStringList expected;
        for (int i = 0; i < 12; ++i) {
            const QByteArray name = "Reader " + QByteArray::number(i);
            service->addReader(name);
            if (i < 11)
                expected << QString::fromLatin1(name);
        }
        TPCSC pcsc(service);
        EventLog log(pcsc);
        QVERIFY(pcsc.Init());
        QCOMPARE(pcsc.ReaderList(), expected);
        QCOMPARE(pcsc.NumReaders(), 11);
        QCOMPARE(log.names, QStringList{"list"});
    }

    void useReaderNum()
    {
        m_service->addReader(ReaderB);
        TPCSC pcsc(m_service);
        QVERIFY(pcsc.Init());
        QCOMPARE(pcsc.UseReaderNum(), -1);
        QVERIFY(!pcsc.Open());

        pcsc.SetUseReaderNum(1);
        QVERIFY(pcsc.Open());
        pcsc.SetUseReaderNum(1); // the same reader: watching goes on
        QVERIFY(pcsc.Opened());
        pcsc.SetUseReaderNum(0);
        QVERIFY(!pcsc.Opened());
        pcsc.SetUseReaderNum(2);
        QCOMPARE(pcsc.UseReaderNum(), -1);
        QVERIFY(!pcsc.Open());

        // A new list that still has the position watches the reader now there.
        pcsc.SetUseReaderNum(1);
        m_service->removeReader(ReaderA);
        m_service->insertCard(ReaderB, card());
        QVERIFY(pcsc.Init());
        QCOMPARE(pcsc.UseReaderNum(), -1); // position 1 is gone
        pcsc.SetUseReaderNum(0);
        EventLog log(pcsc);
        QVERIFY(pcsc.Open());
        QTRY_COMPARE(log.names, QStringList{"inserted"});
    }

    void eventOrder_data()
    {
        QTest::addColumn<bool>("reset");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("window that connects")
            << false << QStringList{"waiting", "inserted", "active", "removed", "waiting", "inserted", "active"};
        QTest::newRow("window that also resets")
            << true << QStringList{"waiting", "inserted", "reset", "active", "removed",
                                   "waiting", "inserted", "reset", "active"};
    }

    void eventOrder()
    {
        QFETCH(bool, reset);
        QFETCH(QStringList, expected);
        TPCSC pcsc(m_service);
        EventLog log(pcsc);
        connect(&pcsc, &TPCSC::OnCardInserted, this, [&] {
            QVERIFY(pcsc.Connect());
            if (reset)
                QVERIFY(pcsc.Reconnect(TPCSC::ResetOnReconnect));
        });
        connect(&pcsc, &TPCSC::OnCardRemoved, this, [&] { pcsc.Disconnect(); });
        QVERIFY(pcsc.Init());
        pcsc.SetUseReaderNum(0);
        QVERIFY(pcsc.Open());
        QTRY_COMPARE(log.names.size(), 2); // list, waiting
        m_service->insertCard(ReaderA, card());
        QTRY_VERIFY(pcsc.Active());
        QVERIFY(pcsc.AttrCardATR().startsWith("3BB895"));
        QCOMPARE(pcsc.AttrProtocol(), pcsc::ProtocolT1);
        QCOMPARE(pcsc.AttrICCType(), QString("ISO7816A"));
        QCOMPARE(pcsc.AttrVendorName(), QString::fromLatin1(QByteArray("Zentro").toHex().toUpper()));
        m_service->removeCard(ReaderA);
        QTRY_VERIFY(!pcsc.Active());
        QTRY_COMPARE(log.names, QStringList{"list"} + expected.mid(0, expected.indexOf("removed") + 2));
        QCOMPARE(pcsc.AttrCardATR(), QString());
        QCOMPARE(pcsc.AttrProtocol(), 0u);
        QCOMPARE(pcsc.AttrICCType(), QString());
        QVERIFY(!pcsc.Connected());
        m_service->insertCard(ReaderA, card());
        QTRY_COMPARE(log.names, QStringList{"list"} + expected);
        QVERIFY(log.errors.isEmpty());
    }

    void openWithCardPresent()
    {
        m_service->insertCard(ReaderA, card());
        TPCSC pcsc(m_service);
        EventLog log(pcsc);
        connect(&pcsc, &TPCSC::OnCardInserted, this, [&] { pcsc.Connect(); });
        QVERIFY(pcsc.Init());
        pcsc.SetUseReaderNum(0);
        QVERIFY(pcsc.Open());
        QTRY_COMPARE(log.names, (QStringList{"list", "inserted", "active"}));
        QVERIFY(pcsc.ReaderState() & pcsc::StatePresent);
        // Closed and opened again, the card in the reader is reported again.
        pcsc.Close();
        QVERIFY(!pcsc.Connected());
        QVERIFY(pcsc.Open());
        QTRY_COMPARE(log.names, (QStringList{"list", "inserted", "active", "inserted", "active"}));
    }

    void protocolAttributeUnreadable()
    {
        m_service->setAttributeFails(pcsc::AttrCurrentProtocolType, true);
        m_service->setAttributeFails(pcsc::AttrIccTypePerAtr, true);
        m_service->insertCard(ReaderA, card());
        TPCSC pcsc(m_service);
        EventLog log(pcsc);
        connect(&pcsc, &TPCSC::OnCardInserted, this, [&] {
            pcsc.Connect();
            pcsc.Reconnect(TPCSC::ResetOnReconnect);
        });
        QVERIFY(pcsc.Init());
        pcsc.SetUseReaderNum(0);
        QVERIFY(pcsc.Open());
        QTRY_COMPARE(log.names, (QStringList{"list", "inserted", "reset", "active"}));
        QCOMPARE(pcsc.AttrProtocol(), pcsc::ProtocolT1);
        QCOMPARE(pcsc.AttrICCType(), QString());
        QByteArray response;
        quint8 sw1 = 0, sw2 = 0;
        QVERIFY(pcsc.Transmit(hex("00A4000C023F40"), response, sw1, sw2));
        QCOMPARE(sw1, quint8(0x90));
    }

    void muteCard()
    {
        TPCSC pcsc(m_service);
        EventLog log(pcsc);
        connect(&pcsc, &TPCSC::OnCardInserted, this, [&] { pcsc.Connect(); });
        QVERIFY(pcsc.Init());
        pcsc.SetUseReaderNum(0);
        QVERIFY(pcsc.Open());
        QTRY_COMPARE(log.names, (QStringList{"list", "waiting"}));
        m_service->insertCard(ReaderA, card(), true);
        QTRY_VERIFY(log.names.contains("invalid"));
        QVERIFY(!log.names.contains("inserted"));
        QVERIFY(!pcsc.Active());
        QVERIFY(!pcsc.Connect());
        QCOMPARE(log.errors.last(), qMakePair(int(TPCSC::esConnect), pcsc::UnresponsiveCard));
    }

    void transmitRules()
    {
        m_service->insertCard(ReaderA, card());
        TPCSC pcsc(m_service);
        EventLog log(pcsc);
        QVERIFY(pcsc.Init());
        pcsc.SetUseReaderNum(0);
        QVERIFY(pcsc.Connect());
        QByteArray response;
        quint8 sw1 = 0, sw2 = 0;

        QVERIFY(!pcsc.Transmit(QByteArray(261, '\0'), response, sw1, sw2));
        QCOMPARE(m_service->transmits(), 0);
        QVERIFY(log.errors.isEmpty());

        QByteArray longest = hex("00D60000FF") + QByteArray(255, 'x');
        QVERIFY(pcsc.Transmit(longest, response, sw1, sw2));
        QCOMPARE(m_service->transmits(), 1);
        QCOMPARE(sw1, quint8(0x69)); // no file selected

        QByteArray answer;
        pcsc::Result code = pcsc::Success;
        m_service->setTransmitHook([&](const QByteArray &) {
            return std::optional<InProcessPcsc::Answer>({answer, code});
        });
        answer = hex("90");
        response = "stale";
        QVERIFY(!pcsc.Transmit(hex("00B0000001"), response, sw1, sw2));
        QVERIFY(log.errors.isEmpty());
        answer = hex("ABCD 6282");
        QVERIFY(pcsc.Transmit(hex("00B0000004"), response, sw1, sw2));
        QCOMPARE(response, hex("ABCD"));
        QCOMPARE(sw1, quint8(0x62));
        QCOMPARE(sw2, quint8(0x82));
        code = pcsc::CommError;
        QVERIFY(!pcsc.Transmit(hex("00B0000004"), response, sw1, sw2));
        QVERIFY(response.isEmpty());
        QCOMPARE(log.errors, (QList<QPair<int, quint32>>{{TPCSC::esTransmit, pcsc::CommError}}));

        // Without a card connection nothing reaches the service.
        const int before = m_service->transmits();
        pcsc.Disconnect();
        QVERIFY(!pcsc.Transmit(hex("00B0000004"), response, sw1, sw2));
        QCOMPARE(m_service->transmits(), before);
        QCOMPARE(log.errors.last().first, int(TPCSC::esTransmit));
    }

    void reconnectAfterRemoval()
    {
        m_service->insertCard(ReaderA, card());
        TPCSC pcsc(m_service);
        EventLog log(pcsc);
        QVERIFY(pcsc.Init());
        pcsc.SetUseReaderNum(0);
        QVERIFY(pcsc.Connect());
        QVERIFY(!pcsc.AttrCardATR().isEmpty());
        m_service->removeCard(ReaderA);
        QVERIFY(!pcsc.Reconnect(TPCSC::ResetOnReconnect));
        QVERIFY(!pcsc.Connected());
        QCOMPARE(pcsc.AttrCardATR(), QString());
        QVERIFY(log.errors.isEmpty()); // a removed card is not an error
        QVERIFY(!pcsc.Connect());
        QCOMPARE(log.errors.last(), qMakePair(int(TPCSC::esConnect), pcsc::NoSmartcard));
    }

    void failingWaitDoesNotSpin_data()
    {
        QTest::addColumn<bool>("unplug");
        QTest::addColumn<quint32>("code");
        QTest::newRow("reader unplugged") << true << pcsc::UnknownReader;
        QTest::newRow("service stopped") << false << pcsc::NoService;
    }

    void failingWaitDoesNotSpin()
    {
        QFETCH(bool, unplug);
        QFETCH(quint32, code);
        m_service->insertCard(ReaderA, card());
        TPCSC pcsc(m_service);
        EventLog log(pcsc);
        QVERIFY(pcsc.Init());
        pcsc.SetUseReaderNum(0);
        QVERIFY(pcsc.Open());
        QTRY_VERIFY(log.names.contains("inserted"));
        if (unplug)
            m_service->removeReader(ReaderA);
        else
            m_service->setServiceRunning(false);
        QTRY_VERIFY(!log.errors.isEmpty());
        QCOMPARE(log.errors.first(), qMakePair(int(TPCSC::esGetStatus), code));
        if (unplug)
            QVERIFY(log.names.contains("removed"));

        const int waits = m_service->statusWaits();
        QTest::qWait(700);
        // Pauses of 250, 500, 1000 ms: at most three more waits in 0.7 s.
        QVERIFY2(m_service->statusWaits() - waits <= 3, qPrintable(QString::number(m_service->statusWaits() - waits)));

        // Destroying the component while its thread pauses is immediate.
        QElapsedTimer clock;
        clock.start();
        pcsc.Close();
        QVERIFY(clock.elapsed() < 200);

        // When the reader comes back a new Open sees the card again.
        if (unplug) {
            m_service->addReader(ReaderA);
            m_service->insertCard(ReaderA, card());
            QVERIFY(pcsc.Init());
            pcsc.SetUseReaderNum(0);
            log.names.clear();
            QVERIFY(pcsc.Open());
            QTRY_COMPARE(log.names, (QStringList{"inserted"}));
        }
    }

    void closeBeforeTheWaitBegins()
    {
        // The thread has decided to wait but not begun when Close cancels:
        // that cancel reaches nothing, and Close must try again.
        TPCSC pcsc(m_service);
        EventLog log(pcsc);
        QVERIFY(pcsc.Init());
        pcsc.SetUseReaderNum(0);
        QVERIFY(pcsc.Open());
        QTRY_COMPARE(log.names, (QStringList{"list", "waiting"}));
        m_service->setWaitEntryPause(100);
        m_service->insertCard(ReaderA, card());
        QTRY_COMPARE(log.names, (QStringList{"list", "waiting", "inserted"}));
        QElapsedTimer clock;
        clock.start();
        pcsc.Close();
        QVERIFY(clock.elapsed() < 1000);
        QVERIFY(!pcsc.Opened());
    }

    void openCloseNeverHangs()
    {
        // Close may come before the thread has begun its wait, when a cancel
        // alone would be lost; it must still stop the thread every time.
        TPCSC pcsc(m_service);
        QVERIFY(pcsc.Init());
        pcsc.SetUseReaderNum(0);
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < 300; ++i) {
            QVERIFY(pcsc.Open());
            pcsc.Close();
        }
        QVERIFY2(clock.elapsed() < 10000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(!pcsc.Opened());
    }

    void destroyedWhileWatching()
    {
        for (int i = 0; i < 50; ++i) {
            auto *pcsc = new TPCSC(m_service);
            QVERIFY(pcsc->Init());
            pcsc->SetUseReaderNum(0);
            QVERIFY(pcsc->Open());
            if (i % 2)
                m_service->insertCard(ReaderA, card());
            else
                m_service->removeCard(ReaderA);
            delete pcsc;
        }
        // Notifications posted by the threads of deleted components are gone with them.
        QTest::qWait(20);
    }

    void staleNotificationsAfterClose()
    {
        TPCSC pcsc(m_service);
        EventLog log(pcsc);
        QVERIFY(pcsc.Init());
        pcsc.SetUseReaderNum(0);
        QVERIFY(pcsc.Open());
        QTRY_COMPARE(log.names, (QStringList{"list", "waiting"}));
        m_service->insertCard(ReaderA, card());
        pcsc.Close(); // before the insertion's notification is handled
        QTest::qWait(50);
        QCOMPARE(log.names, (QStringList{"list", "waiting"}));
        QVERIFY(log.errors.isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_TPCSC)
#include "tst_tpcsc.moc"
