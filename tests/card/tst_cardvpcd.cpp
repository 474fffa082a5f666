// The card stack against the real pcscd: the virtual card goes into the vpcd
// reader from this process, and the component and both card windows work
// with it as with a card in a reader on the desk.

#include "CardTestSupport.h"
#include "VirtualReader.h"

#include "app/AppContext.h"
#include "card/CardCommands.h"
#include "card/TPCSC.h"
#include "card/ui/TfrmCardFormat.h"
#include "card/ui/TfrmWriteProgCard_ARM.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace zentro;
using namespace cardtest;

namespace {

constexpr int UsablePerFile = 30000 - 16 - 14;

} // namespace

class tst_CardVpcd : public QObject
{
    Q_OBJECT

private:
    OperatorMessages m_messages;
    std::unique_ptr<AppContext> m_app;
    QTemporaryDir m_dir;

    // Opens the virtual reader in the format window, as the operator would.
    QPointer<TfrmCardFormat> openFormatWindow()
    {
        QPointer<TfrmCardFormat> w = new TfrmCardFormat(*m_app);
        auto *readers = child<QComboBox>(w, "cbLeitores");
        readers->setCurrentIndex(readers->findText(VirtualReaderName));
        child<QPushButton>(w, "btOpen")->click();
        return w;
    }

    QPointer<TfrmWriteProgCard_ARM> openProgramWindow()
    {
        QPointer<TfrmWriteProgCard_ARM> w = new TfrmWriteProgCard_ARM(*m_app);
        auto *readers = child<QComboBox>(w, "cb_AvalReaders");
        readers->setCurrentIndex(readers->findText(VirtualReaderName));
        child<QPushButton>(w, "bt_OpenReader")->click();
        return w;
    }

private slots:
    void initTestCase() { requireVirtualReader(); }

    void init()
    {
        m_messages.clear();
        m_messages.onShow = {};
        m_app = std::make_unique<AppContext>(m_messages);
        m_app->setEventPump([] { QCoreApplication::processEvents(); });
        m_app->installation.fileKeys = Keys;
    }

    void cleanup()
    {
        m_messages.allShown();
        m_app.reset();
    }

    void componentEvents()
    {
        CardModel model;
        formatCard(model, CardFiles::KindCollection, 16);
        model.setSerial(hex("0A0B0C0D0E0F10"));
        const QByteArray atr = model.atr();

        TPCSC pcsc;
        QStringList events;
        connect(&pcsc, &TPCSC::OnCardInserted, this, [&] {
            events << "inserted";
            pcsc.Connect();
            pcsc.Reconnect(TPCSC::ResetOnReconnect);
        });
        connect(&pcsc, &TPCSC::OnCardReset, this, [&] { events << "reset"; });
        connect(&pcsc, &TPCSC::OnCardActive, this, [&] { events << "active"; });
        connect(&pcsc, &TPCSC::OnCardRemoved, this, [&] {
            events << "removed";
            pcsc.Disconnect();
        });
        connect(&pcsc, &TPCSC::OnReaderWaiting, this, [&] { events << "waiting"; });
        QVERIFY(pcsc.Init());
        const int index = int(pcsc.ReaderList().indexOf(VirtualReaderName));
        QVERIFY(index >= 0);
        pcsc.SetUseReaderNum(index);
        QVERIFY(pcsc.Open());
        QTRY_COMPARE(events, QStringList{"waiting"});

        VirtualCard card(model);
        QVERIFY(card.insert());
        QTRY_COMPARE(events, (QStringList{"waiting", "inserted", "reset", "active"}));
        QVERIFY(pcsc.Active());
        QCOMPARE(pcsc.atrBytes(), atr);
        QVERIFY(pcsc.AttrCardATR().startsWith("3BB895"));
        QVERIFY(IsCollectionAtr(pcsc.AttrCardATR()) && IsConfigurationAtr(pcsc.AttrCardATR()));
        QVERIFY(pcsc.AttrProtocol() == pcsc::ProtocolT0 || pcsc.AttrProtocol() == pcsc::ProtocolT1);

        QCOMPARE(ReadCardKind(pcsc), CardFiles::KindCollection);
        QByteArray serial;
        QCOMPARE(ReadCardSerial(pcsc, &serial), sc::Ok);
        QCOMPARE(serial, hex("0A0B0C0D0E0F10"));
        QByteArray response;
        quint8 sw1 = 0, sw2 = 0;
        const quint64 before = card.exchanges();
        QVERIFY(!pcsc.Transmit(QByteArray(261, '\0'), response, sw1, sw2));
        QCOMPARE(card.exchanges(), before);

        card.remove();
        QTRY_COMPARE(events, (QStringList{"waiting", "inserted", "reset", "active", "removed", "waiting"}));
        QVERIFY(!pcsc.Active());
        QCOMPARE(pcsc.AttrCardATR(), QString());
        QVERIFY(!pcsc.Transmit(hex("00A4000C023F40"), response, sw1, sw2));
    }

    void formatWindow_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<quint32>("capacity");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QByteArray>("header");
        QTest::addColumn<int>("files");
        QTest::addColumn<qint64>("capacityRead");

        QTest::newRow("configuration")
            << "btFormataConfig" << FixedFilesSpace + 4 * DataFileSpace + (51200 - 768 + 16)
            << "Formatação concluída. Espaço disponível no cartão: 255232 bytes. Último arquivo criado: 3F47."
            << hex("02A0 00E50300") << 5 << qint64(255232 - 4160);
        QTest::newRow("collection")
            << "btFormataColeta" << FixedFilesSpace + 10 * DataFileSpace + 1000
            << "Formatação concluída. Espaço disponível no cartão: 512000 bytes. Último arquivo criado: 3F97."
            << hex("01A0 00000000") << 10 << qint64(512000);
        QTest::newRow("software change") << "btTrocaSw" << 7 * SoftwareChangeFileSpace + 100
                                         << "Formatação concluída. Último arquivo criado: 3F77." << QByteArray() << 7
                                         << qint64(0);
    }

    void formatWindow()
    {
        QFETCH(QString, button);
        QFETCH(quint32, capacity);
        QFETCH(QString, status);
        QFETCH(QByteArray, header);
        QFETCH(int, files);
        QFETCH(qint64, capacityRead);

        CardModel model(capacity);
        formatCard(model, CardFiles::KindCollection, 3); // an old card: formatting erases it
        QPointer<TfrmCardFormat> w = openFormatWindow();
        auto *statusLine = child<QLabel>(w, "lbStatusLeitor");
        auto *format = child<QPushButton>(w, button.toLatin1().constData());
        QCOMPARE(statusLine->text(), QString("Insira o cartão."));
        QVERIFY(!format->isEnabled());

        VirtualCard card(model);
        QVERIFY(card.insert());
        QTRY_VERIFY(format->isEnabled());
        QCOMPARE(statusLine->text(), QString("Cartão inserido"));

        m_messages.expect(Question, "Confirmação", QuestionFlags, mb::IdYes);
        format->click();
        QCOMPARE(statusLine->text(), status);
        QVERIFY(format->isEnabled());
        QCOMPARE(GetCardCapacity(*w->PCSC()), capacityRead);

        card.remove();
        QTRY_COMPARE(statusLine->text(), QString("Insira o cartão"));
        QVERIFY(!format->isEnabled());
        delete w;

        QCOMPARE(model.fileIds().size(), files + (header.isEmpty() ? 0 : 3));
        QCOMPARE(model.fileData(0x3F40).left(header.size()), header);
        if (!header.isEmpty())
            QCOMPARE(model.fileData(0x3F02).mid(8, 8), Keys[0]);
    }

    void formatInterruptedByRemoval()
    {
        CardModel model(CardModel::MaxCapacity);
        QPointer<TfrmCardFormat> w = openFormatWindow();
        auto *format = child<QPushButton>(w, "btFormataConfig");
        VirtualCard card(model);
        QVERIFY(card.insert());
        QTRY_VERIFY(format->isEnabled());

        m_messages.expect(Question, "Confirmação", QuestionFlags, mb::IdYes);
        m_messages.expect("Error in personalization");
        // The first time the format lets events run, the card leaves.
        QTimer::singleShot(0, this, [&] { card.remove(); });
        format->click();
        QVERIFY(!w->isFormatting());
        QTRY_COMPARE(child<QLabel>(w, "lbStatusLeitor")->text(), QString("Insira o cartão"));
        QVERIFY(!format->isEnabled());

        // The window goes on working with the next card.
        QVERIFY(card.insert());
        QTRY_VERIFY(format->isEnabled());
        card.remove();
        QTRY_VERIFY(!format->isEnabled());
        QVERIFY(w->close());
        QTRY_VERIFY(w.isNull());
    }

    void programAcrossTwoCards()
    {
        CardModel first(7 * SoftwareChangeFileSpace), second(7 * SoftwareChangeFileSpace);
        formatSoftwareChangeCard(first, 7);
        formatSoftwareChangeCard(second, 7);
        const QByteArray program = pattern(7 * UsablePerFile + 5000, 11);
        const QString path = m_dir.filePath("klt700.bin");
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(program);
        }

        QPointer<TfrmWriteProgCard_ARM> w = openProgramWindow();
        QVERIFY(!child<QPushButton>(w, "bt_Close")->isEnabled());
        child<QLineEdit>(w, "edARQUIVO")->setText(path);
        VirtualCard one(first), two(second);
        QVERIFY(one.insert());
        QTRY_VERIFY(w->statusText().startsWith("ATR: 3BB895"));

        m_messages.onShow = [&](const QString &text) {
            if (text != "insira o cartao 2")
                return;
            one.remove();
            QTRY_COMPARE(w->statusText(), QString("Sem cartão inserido"));
            QVERIFY(two.insert());
            QTRY_VERIFY(w->PCSC()->Active());
            QVERIFY(w->statusText().startsWith("ATR: 3BB895"));
        };
        m_messages.expect("insira o cartao 2");
        m_messages.expect("Gravação concluída!");
        child<QPushButton>(w, "bt_writecard")->click();
        QVERIFY(m_messages.allShown());
        QCOMPARE(child<QProgressBar>(w, "pbGravacao")->value(), 0);
        two.remove();
        QTRY_COMPARE(w->statusText(), QString("Sem cartão inserido"));

        // Closed only with the reader closed.
        QVERIFY(!w->close());
        child<QPushButton>(w, "bt_CloseReader")->click();
        QVERIFY(w->close());
        QTRY_VERIFY(w.isNull());

        QString error;
        int segments = 0;
        QCOMPARE(readProgram({&first, &second}, &error, &segments), program);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(segments, 8);
        QCOMPARE(qFromLittleEndian<quint16>(first.fileData(0x3F77).constData()), quint16(0x7F17));
    }

    void programInterruptedByRemoval()
    {
        CardModel model(14 * SoftwareChangeFileSpace);
        formatSoftwareChangeCard(model, 14);
        const QString path = m_dir.filePath("big.bin");
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(pattern(300000));
        }
        QPointer<TfrmWriteProgCard_ARM> w = openProgramWindow();
        child<QLineEdit>(w, "edARQUIVO")->setText(path);
        VirtualCard card(model);
        QVERIFY(card.insert());
        QTRY_VERIFY(w->PCSC()->Active());

        m_messages.expect("Houve um erro de seleção de arquivos durante o processo!", "Gravação do Programa no Cartão",
                          mb::IconWarning);
        QTimer::singleShot(0, this, [&] { card.remove(); });
        child<QPushButton>(w, "bt_writecard")->click();
        QVERIFY(!w->isWriting());
        QTRY_COMPARE(w->statusText(), QString("Sem cartão inserido"));
        QVERIFY(child<QPushButton>(w, "bt_writecard")->isEnabled());

        QVERIFY(card.insert());
        QTRY_VERIFY(w->statusText().startsWith("ATR: "));
        card.remove();
        QTRY_COMPARE(w->statusText(), QString("Sem cartão inserido"));
        delete w;
    }
};

QTEST_MAIN(tst_CardVpcd)
#include "tst_cardvpcd.moc"
