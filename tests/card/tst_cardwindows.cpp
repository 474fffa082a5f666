// The two card windows on the in-process PC/SC service: reader handling,
// button states and the faults a reader on the desk can produce.

#include "CardTestSupport.h"

#include "app/AppContext.h"
#include "card/InProcessPcsc.h"
#include "card/TPCSC.h"
#include "card/ui/TfrmCardFormat.h"
#include "card/ui/TfrmWriteProgCard_ARM.h"

#include "ScriptedMessages.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace zentro;
using namespace cardtest;

namespace {

const QByteArray Reader = "Leitora de mesa 00 00";

} // namespace

class tst_CardWindows : public QObject
{
    Q_OBJECT

private:
    ScriptedMessages m_messages;
    std::unique_ptr<AppContext> m_app;
    std::shared_ptr<InProcessPcsc> m_service;
    QTemporaryDir m_dir;

    std::shared_ptr<CardModel> softwareChangeCard(int files)
    {
        auto card = std::make_shared<CardModel>(files * SoftwareChangeFileSpace);
        formatSoftwareChangeCard(*card, files);
        return card;
    }

private slots:
    void init()
    {
        m_messages.clear();
        m_app = std::make_unique<AppContext>(m_messages);
        m_app->setEventPump([] { QCoreApplication::processEvents(); });
        m_app->installation.fileKeys = Keys;
        m_service = std::make_shared<InProcessPcsc>();
        m_service->addReader(Reader);
    }

    void cleanup()
    {
        m_messages.allShown();
        m_app.reset();
    }

    void formatReaderHandling()
    {
        QPointer<TfrmCardFormat> w = new TfrmCardFormat(*m_app, m_service);
        QCOMPARE(w->windowTitle(), QString("Formatação de Cartões"));
        auto *status = child<QLabel>(w, "lbStatusLeitor");
        auto *open = child<QPushButton>(w, "btOpen");
        auto *close = child<QPushButton>(w, "btClose");
        auto *config = child<QPushButton>(w, "btFormataConfig");
        auto *collection = child<QPushButton>(w, "btFormataColeta");
        auto *software = child<QPushButton>(w, "btTrocaSw");

        // The only reader is opened at once.
        QCOMPARE(child<QComboBox>(w, "cbLeitores")->currentText(), QString::fromLatin1(Reader));
        QVERIFY(!open->isEnabled());
        QVERIFY(close->isEnabled());
        QCOMPARE(status->text(), QString("Insira o cartão."));
        QVERIFY(!config->isEnabled() && !collection->isEnabled() && !software->isEnabled());

        auto card = std::make_shared<CardModel>();
        m_service->insertCard(Reader, card);
        QTRY_VERIFY(config->isEnabled() && collection->isEnabled() && software->isEnabled());
        QCOMPARE(status->text(), QString("Cartão inserido"));

        // "No" formats nothing.
        const int before = m_service->transmits();
        m_messages.expect(Question, "Confirmação", QuestionFlags, mb::IdNo);
        config->click();
        QCOMPARE(m_service->transmits(), before);

        close->click();
        QCOMPARE(status->text(), QString("Leitor fechado."));
        QVERIFY(!config->isEnabled() && !close->isEnabled());
        QVERIFY(open->isEnabled());
        QVERIFY(!w->PCSC()->Connected());

        open->click();
        QTRY_VERIFY(config->isEnabled());
        m_service->removeCard(Reader);
        QTRY_COMPARE(status->text(), QString("Insira o cartão"));
        QVERIFY(!config->isEnabled());

        QTest::keyClick(w, Qt::Key_Escape);
        QTRY_VERIFY(w.isNull());
    }

    void formatWithoutReader()
    {
        auto service = std::make_shared<InProcessPcsc>();
        QPointer<TfrmCardFormat> w = new TfrmCardFormat(*m_app, service);
        QCOMPARE(child<QComboBox>(w, "cbLeitores")->count(), 0);
        child<QPushButton>(w, "btOpen")->click();
        QCOMPARE(child<QLabel>(w, "lbStatusLeitor")->text(), QString("Sem leitor selecionado."));
        QVERIFY(!child<QPushButton>(w, "btClose")->isEnabled());
        delete w;
    }

    void formatRefusesMissingKeys()
    {
        m_app->installation.fileKeys.clear();
        QPointer<TfrmCardFormat> w = new TfrmCardFormat(*m_app, m_service);
        m_service->insertCard(Reader, std::make_shared<CardModel>(CardModel::MaxCapacity));
        auto *collection = child<QPushButton>(w, "btFormataColeta");
        QTRY_VERIFY(collection->isEnabled());
        const int before = m_service->transmits();
        m_messages.expect("As chaves do arquivo 3F02h não estão definidas (instalacao.ini, [SEGURANCA] "
                          "CHAVE_ARQUIVO_1 a CHAVE_ARQUIVO_3). Formatação cancelada.",
                          "Formatação de Cartões", mb::IconError);
        collection->click();
        QCOMPARE(m_service->transmits(), before);
        // A software-change card needs no keys.
        m_messages.expect(Question, "Confirmação", QuestionFlags, mb::IdYes);
        child<QPushButton>(w, "btTrocaSw")->click();
        QCOMPARE(m_service->card(Reader)->fileIds().size(), 143);
        delete w;
    }

    void muteCard()
    {
        QPointer<TfrmCardFormat> w = new TfrmCardFormat(*m_app, m_service);
        m_service->insertCard(Reader, std::make_shared<CardModel>(), true);
        QTest::qWait(100);
        QCOMPARE(child<QLabel>(w, "lbStatusLeitor")->text(), QString("Insira o cartão."));
        QVERIFY(!child<QPushButton>(w, "btFormataConfig")->isEnabled());
        // Taken out and put back working, the card can be formatted.
        m_service->removeCard(Reader);
        QTRY_COMPARE(child<QLabel>(w, "lbStatusLeitor")->text(), QString("Insira o cartão"));
        m_service->insertCard(Reader, std::make_shared<CardModel>());
        QTRY_VERIFY(child<QPushButton>(w, "btFormataConfig")->isEnabled());
        delete w;
    }

    void formatWindowStaysDuringFormat()
    {
        QPointer<TfrmCardFormat> w = new TfrmCardFormat(*m_app, m_service);
        auto card = std::make_shared<CardModel>(FixedFilesSpace + 6 * DataFileSpace);
        m_service->insertCard(Reader, card);
        auto *config = child<QPushButton>(w, "btFormataConfig");
        QTRY_VERIFY(config->isEnabled());

        // The operator presses Escape and puts a card in the other way round
        // while the format runs: the window stays, the buttons stay off.
        int exchanges = 0;
        bool enabledDuring = false;
        m_service->setTransmitHook([&](const QByteArray &) -> std::optional<InProcessPcsc::Answer> {
            if (++exchanges == 5) {
                QMetaObject::invokeMethod(
                    w,
                    [&] {
                        QTest::keyClick(w, Qt::Key_Escape);
                        emit w->PCSC()->OnCardActive();
                        enabledDuring = config->isEnabled();
                    },
                    Qt::QueuedConnection);
            }
            return std::nullopt;
        });
        m_messages.expect(Question, "Confirmação", QuestionFlags, mb::IdYes);
        config->click();
        QVERIFY(!w.isNull());
        QVERIFY(exchanges > 5);
        QVERIFY(!enabledDuring);
        QVERIFY(config->isEnabled());
        QCOMPARE(child<QLabel>(w, "lbStatusLeitor")->text(),
                 QString("Formatação concluída. Espaço disponível no cartão: 307200 bytes. Último arquivo "
                         "criado: 3F57."));
        QTest::keyClick(w, Qt::Key_Escape);
        QTRY_VERIFY(w.isNull());
    }

    void formatInterruptedByRemoval()
    {
        QPointer<TfrmCardFormat> w = new TfrmCardFormat(*m_app, m_service);
        m_service->insertCard(Reader, std::make_shared<CardModel>(CardModel::MaxCapacity));
        auto *software = child<QPushButton>(w, "btTrocaSw");
        QTRY_VERIFY(software->isEnabled());
        int exchanges = 0;
        m_service->setTransmitHook([&](const QByteArray &) -> std::optional<InProcessPcsc::Answer> {
            if (++exchanges == 20)
                m_service->removeCard(Reader);
            return std::nullopt;
        });
        m_messages.expect(Question, "Confirmação", QuestionFlags, mb::IdYes);
        m_messages.expect("Error in personalization");
        software->click();
        // The buttons come back only with a card to format.
        QTRY_COMPARE(child<QLabel>(w, "lbStatusLeitor")->text(), QString("Insira o cartão"));
        QVERIFY(!software->isEnabled());
        m_service->setTransmitHook({});
        m_service->insertCard(Reader, std::make_shared<CardModel>());
        QTRY_VERIFY(software->isEnabled());
        delete w;
    }

    void programReaderHandling()
    {
        QPointer<TfrmWriteProgCard_ARM> w = new TfrmWriteProgCard_ARM(*m_app, m_service);
        QCOMPARE(w->windowTitle(), QString("Gravação do Programa no Cartão"));
        auto *readers = child<QComboBox>(w, "cb_AvalReaders");
        auto *open = child<QPushButton>(w, "bt_OpenReader");
        auto *close = child<QPushButton>(w, "bt_CloseReader");
        auto *write = child<QPushButton>(w, "bt_writecard");
        auto *quit = child<QPushButton>(w, "bt_Close");
        QVERIFY(child<QLineEdit>(w, "ed_ActiveReader")->isReadOnly());

        // Opened at once: only "Fecha Leitor" and the write can be used.
        QVERIFY(!readers->isEnabled() && !open->isEnabled() && !quit->isEnabled());
        QVERIFY(close->isEnabled() && write->isEnabled());
        QTest::keyClick(w, Qt::Key_Escape);
        QVERIFY(!w.isNull());

        m_service->insertCard(Reader, softwareChangeCard(7));
        QTRY_VERIFY(w->statusText().startsWith("ATR: 3BB895"));
        QVERIFY(w->PCSC()->Connected());
        m_service->removeCard(Reader);
        QTRY_COMPARE(w->statusText(), QString("Sem cartão inserido"));
        QVERIFY(!w->PCSC()->Connected());

        close->click();
        QVERIFY(readers->isEnabled() && open->isEnabled() && quit->isEnabled());
        QVERIFY(!close->isEnabled() && !write->isEnabled());
        QCOMPARE(w->statusText(), QString());
        quit->click();
        QTRY_VERIFY(w.isNull());
    }

    void programWithoutFile()
    {
        QPointer<TfrmWriteProgCard_ARM> w = new TfrmWriteProgCard_ARM(*m_app, m_service);
        m_service->insertCard(Reader, softwareChangeCard(7));
        QTRY_VERIFY(w->PCSC()->Active());
        m_messages.expect("Arquivo não pode ser aberto! Gravação cancelada!");
        child<QPushButton>(w, "bt_writecard")->click();
        child<QLineEdit>(w, "edARQUIVO")->setText(m_dir.filePath("nao-existe.bin"));
        m_messages.expect("Arquivo não pode ser aberto! Gravação cancelada!");
        child<QPushButton>(w, "bt_writecard")->click();
        QVERIFY(!w->isWriting());
        delete w;
    }

    void programOnRefusingCard()
    {
        const QString path = m_dir.filePath("p.bin");
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(pattern(50000));
        }
        QPointer<TfrmWriteProgCard_ARM> w = new TfrmWriteProgCard_ARM(*m_app, m_service);
        child<QLineEdit>(w, "edARQUIVO")->setText(path);
        m_service->insertCard(Reader, softwareChangeCard(7));
        QTRY_VERIFY(w->PCSC()->Active());
        int updates = 0;
        m_service->setTransmitHook([&](const QByteArray &c) -> std::optional<InProcessPcsc::Answer> {
            if (quint8(c.at(1)) == 0xD6 && ++updates == 30)
                return InProcessPcsc::Answer{hex("6581")};
            return std::nullopt;
        });
        m_messages.expect("Houve um erro de gravação de arquivos durante o processo!", "Gravação do Programa no Cartão",
                          mb::IconWarning);
        child<QPushButton>(w, "bt_writecard")->click();
        QCOMPARE(updates, 30);
        QVERIFY(!w->isWriting());
        QVERIFY(child<QPushButton>(w, "bt_writecard")->isEnabled());
        delete w;
    }

    void readerUnplugged()
    {
        QPointer<TfrmWriteProgCard_ARM> w = new TfrmWriteProgCard_ARM(*m_app, m_service);
        m_service->insertCard(Reader, softwareChangeCard(7));
        QTRY_VERIFY(w->PCSC()->Active());
        QSignalSpy errors(w->PCSC(), &TPCSC::OnError);
        m_service->removeReader(Reader);
        QTRY_COMPARE(w->statusText(), QString("Sem cartão inserido"));
        QTRY_VERIFY(!errors.isEmpty());
        // The window still closes its reader and itself.
        child<QPushButton>(w, "bt_CloseReader")->click();
        QVERIFY(w->close());
        QTRY_VERIFY(w.isNull());
    }
};

QTEST_MAIN(tst_CardWindows)
#include "tst_cardwindows.moc"
