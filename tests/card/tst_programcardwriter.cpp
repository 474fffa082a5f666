#include "CardTestSupport.h"

#include "app/MessagePresenter.h"
#include "card/ProgramCardWriter.h"

#include <QTemporaryDir>
#include <QTest>

using namespace zentro;
using namespace cardtest;

namespace {

const QString Caption = "Gravação do Programa no Cartão";

// The operator: answers every message and swaps cards when asked to.
struct Operator
{
    explicit Operator(ModelChannel &channel, QList<CardModel *> cards)
        : channel(channel)
        , cards(std::move(cards))
    {
        channel.setCard(this->cards.value(0));
    }

    ProgramCardWriter::Hooks hooks()
    {
        ProgramCardWriter::Hooks h;
        h.messageBox = [this](const QString &text, const QString &caption, int flags) {
            messages << QStringLiteral("[%1/%2] %3").arg(caption).arg(flags).arg(text);
            return mb::IdOk;
        };
        h.message = [this](const QString &text) {
            messages << text;
            if (text.startsWith("insira o cartao ")) {
                const int n = text.mid(16).toInt();
                channel.setCard(cards.value(n - 1));
            }
        };
        h.progress = [this](int p) { progress << p; };
        return h;
    }

    ModelChannel &channel;
    QList<CardModel *> cards;
    QStringList messages;
    QList<int> progress;
};

QString writeFile(const QTemporaryDir &dir, const QByteArray &content)
{
    const QString path = dir.filePath("program.bin");
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(content);
    return path;
}

QList<const CardModel *> constCards(const QList<CardModel *> &cards)
{
    return QList<const CardModel *>(cards.cbegin(), cards.cend());
}

// Program bytes a software-change card of n files holds.
constexpr int UsablePerFile = 30000 - 16 - 14;

} // namespace

class tst_ProgramCardWriter : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private slots:
    void segmentHeader()
    {
        QCOMPARE(referenceCcitt("123456789"), quint16(0x29B1));
        const QByteArray h = ProgramCardWriter::segmentHeader(0x7F17, 29970);
        QCOMPARE(h.left(12), hex("177F 00000000 12750000 0000"));
        QCOMPARE(qFromLittleEndian<quint16>(h.constData() + 12), referenceCcitt(h.left(12)));
        QCOMPARE(ProgramCardWriter::link(0x3F17, 1), quint16(0x7F17));
        QCOMPARE(ProgramCardWriter::link(0, 3), quint16(0xC000));
        QCOMPARE(ProgramCardWriter::link(0x3F17, 4), quint16(0x3F17)); // a fifth card reads as card 0
    }

    void programs_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("cards"); // cards in the operator's hand
        QTest::addColumn<int>("filesPerCard");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<int>("segments"); // -1: the chain runs off the last card

        const QString done = "Gravação concluída!";
        QTest::newRow("empty file") << 0 << 1 << 7 << QStringList{done} << 0;
        QTest::newRow("fits the first file") << 1000 << 1 << 7 << QStringList{done} << 1;
        QTest::newRow("exactly one file") << UsablePerFile << 1 << 7 << QStringList{done} << 1;
        QTest::newRow("one byte into the second file") << UsablePerFile + 1 << 1 << 7 << QStringList{done} << 2;
        QTest::newRow("two cards") << 7 * UsablePerFile + 5000 << 2 << 7 << QStringList{"insira o cartao 2", done} << 8;
        QTest::newRow("four cards exactly")
            << 4 * 7 * UsablePerFile << 4 << 7
            << QStringList{"insira o cartao 2", "insira o cartao 3", "insira o cartao 4", done} << 28;
        QTest::newRow("does not fit four cards")
            << 4 * 7 * UsablePerFile + 10 << 4 << 7
            << QStringList{"insira o cartao 2", "insira o cartao 3", "insira o cartao 4",
                           "[" + Caption +
                               "/48] O programa não coube em 4 cartões: faltaram 10 bytes. "
                               "Gravação incompleta!"}
            << -1;
    }

    void programs()
    {
        QFETCH(int, size);
        QFETCH(int, cards);
        QFETCH(int, filesPerCard);
        QFETCH(QStringList, messages);
        QFETCH(int, segments);

        QList<std::shared_ptr<CardModel>> owned;
        QList<CardModel *> hand;
        for (int i = 0; i < cards; ++i) {
            owned << std::make_shared<CardModel>(filesPerCard * SoftwareChangeFileSpace);
            formatSoftwareChangeCard(*owned.last(), filesPerCard);
            hand << owned.last().get();
        }
        const QByteArray program = pattern(size, 3);
        ModelChannel channel;
        Operator op(channel, hand);
        ProgramCardWriter writer(channel, op.hooks());
        writer.write(writeFile(m_dir, program));
        QCOMPARE(op.messages, messages);

        for (const QByteArray &c : channel.log)
            QVERIFY(c.size() <= 240);
        if (segments == 0) {
            QCOMPARE(channel.count(0xD6), 0);
            return;
        }
        if (segments < 0) {
            // Every card is full and the fourth links on to a fifth, which
            // reads as card 0.
            const QByteArray last = hand.last()->fileData(0x3F77);
            QCOMPARE(qFromLittleEndian<quint16>(last.constData()), quint16(0x3F17));
            QCOMPARE(qFromLittleEndian<quint32>(last.constData() + 6), quint32(UsablePerFile));
            QCOMPARE(op.progress.last(), 99);
            return;
        }
        QString error;
        int found = 0;
        const QByteArray back = readProgram(constCards(hand), &error, &found);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(found, segments);
        QCOMPARE(back, program.left(back.size()));
        if (messages.last() == "Gravação concluída!")
            QCOMPARE(back.size(), program.size());
        QCOMPARE(op.progress.last(), int(qint64(back.size()) * 100 / size));
    }

    void linksBetweenCards()
    {
        CardModel first(7 * SoftwareChangeFileSpace), second(7 * SoftwareChangeFileSpace);
        formatSoftwareChangeCard(first, 7);
        formatSoftwareChangeCard(second, 7);
        ModelChannel channel;
        Operator op(channel, {&first, &second});
        ProgramCardWriter writer(channel, op.hooks());
        writer.write(writeFile(m_dir, pattern(7 * UsablePerFile + 100)));

        // Card 0 links file to file, its last file to 3F17h of card 1.
        const quint16 expected[] = {0x3F27, 0x3F37, 0x3F47, 0x3F57, 0x3F67, 0x3F77, 0x7F17};
        for (int i = 0; i < 7; ++i) {
            const QByteArray data = first.fileData(CardFiles::dataFileId(i + 1));
            QCOMPARE(qFromLittleEndian<quint16>(data.constData()), expected[i]);
            QCOMPARE(qFromLittleEndian<quint32>(data.constData() + 6), quint32(UsablePerFile));
        }
        const QByteArray last = second.fileData(0x3F17);
        QCOMPARE(qFromLittleEndian<quint16>(last.constData()), quint16(0x4000));
        QCOMPARE(qFromLittleEndian<quint32>(last.constData() + 6), 100u);
        // Each file is filled to its end: the segment header and the program.
        QCOMPARE(first.fileData(0x3F77).size(), 14 + UsablePerFile);

        // The first command of a file carries 221 program bytes, the others 235.
        QList<int> lengths;
        for (const QByteArray &c : channel.log) {
            if (quint8(c.at(1)) == 0xD6 && lengths.size() < 3)
                lengths << quint8(c.at(4));
        }
        QCOMPARE(lengths, (QList<int>{14 + 221, 235, 235}));
    }

    void smallFilesAreSkipped()
    {
        // 3F17h gives 256 usable bytes and is skipped; 3F27h gives 257; the
        // card's 3F07h keeps 256 bytes more and comes last.
        CardModel card(1000000);
        card.process(createCommand(0x3F17, 270));
        card.process(createCommand(0x3F27, 271));
        card.process(createCommand(0x3F07, 2000));
        ModelChannel channel;
        Operator op(channel, {&card});
        ProgramCardWriter writer(channel, op.hooks());
        const QByteArray program = pattern(257 + 1700);
        QCOMPARE(writer.write(writeFile(m_dir, program)), ProgramCardWriter::Outcome::Completed);
        QCOMPARE(writer.usable()[0], 256);
        QCOMPARE(writer.usable()[1], 257);
        QCOMPARE(writer.usable()[14], 2000 - 256);
        QCOMPARE(card.fileData(0x3F17), QByteArray(270, '\0'));
        // The loader starts at 3F17h: here it must find the segment in 3F27h's place.
        const QByteArray second = card.fileData(0x3F27);
        QCOMPARE(qFromLittleEndian<quint16>(second.constData()), quint16(0x3F07));
        QCOMPARE(second.mid(14), program.left(257));
        const QByteArray last = card.fileData(0x3F07);
        QCOMPARE(qFromLittleEndian<quint16>(last.constData()), quint16(0));
        QCOMPARE(last.mid(14, 1700), program.mid(257));
    }

    void cardsWithoutRoomAreStillAsked()
    {
        // A card that takes nothing adds nothing; the next one is asked for.
        CardModel empty(1000), good(7 * SoftwareChangeFileSpace);
        formatSoftwareChangeCard(good, 7);
        ModelChannel channel;
        Operator op(channel, {&empty, &good});
        ProgramCardWriter writer(channel, op.hooks());
        const QByteArray program = pattern(5000);
        writer.write(writeFile(m_dir, program));
        QCOMPARE(op.messages, (QStringList{"insira o cartao 2", "Gravação concluída!"}));
        QCOMPARE(good.fileData(0x3F17).mid(14, 5000), program);
    }

    void refusals_data()
    {
        QTest::addColumn<int>("kind"); // card formatted as: 0 software change, else 3F40h kind
        QTest::addColumn<int>("failFrom");
        QTest::addColumn<QByteArray>("refused"); // commands the card refuses, by their first bytes
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QString>("message");

        const QString warn = "[" + Caption + "/48] ";
        QTest::newRow("collection card") << int(CardFiles::KindCollection) << -1 << QByteArray()
                                         << int(ProgramCardWriter::Outcome::ProtectedCard)
                                         << warn + "Este é um cartão de coleta de logs e não pode receber o "
                                                   "programa. Use um cartão formatado como \"Troca de SW\". "
                                                   "Gravação cancelada!";
        QTest::newRow("configuration card")
            << int(CardFiles::KindConfiguration) << -1 << QByteArray() << int(ProgramCardWriter::Outcome::ProtectedCard)
            << warn + "Este é um cartão de configuração e não pode receber o "
                      "programa. Use um cartão formatado como \"Troca de SW\". "
                      "Gravação cancelada!";
        QTest::newRow("update refused") << 0 << -1 << hex("00D60000") << int(ProgramCardWriter::Outcome::WriteFailed)
                                        << warn + "Houve um erro de gravação de arquivos durante o processo!";
        QTest::newRow("card removed while writing")
            << 0 << 50 << QByteArray() << int(ProgramCardWriter::Outcome::WriteFailed)
            << warn + "Houve um erro de gravação de arquivos durante o processo!";
        // The card test and the kind take 2 exchanges, the survey 7 x 2 + 8,
        // the select of 3F17h 1 and its 128 updates: then comes the select of
        // the second file.
        QTest::newRow("card removed at a file change")
            << 0 << 2 + 22 + 1 + 128 << QByteArray() << int(ProgramCardWriter::Outcome::SelectFailed)
            << warn + "Houve um erro de seleção de arquivos durante o processo!";
        QTest::newRow("mute card") << 0 << 0 << QByteArray() << int(ProgramCardWriter::Outcome::BadCard)
                                   << "Cartao formatado incorretamente";
    }

    void refusals()
    {
        QFETCH(int, kind);
        QFETCH(int, failFrom);
        QFETCH(QByteArray, refused);
        QFETCH(int, outcome);
        QFETCH(QString, message);
        CardModel card(2000000);
        if (kind == 0)
            formatSoftwareChangeCard(card, 7);
        else
            formatCard(card, quint16(kind), 16);
        const QByteArray before = card.collectionImage();
        ModelChannel channel;
        Operator op(channel, {&card});
        channel.failFrom = failFrom;
        channel.answer = [&](const QByteArray &c) -> std::optional<QByteArray> {
            if (!refused.isEmpty() && c.startsWith(refused))
                return hex("6A84");
            return std::nullopt;
        };
        ProgramCardWriter writer(channel, op.hooks());
        QCOMPARE(int(writer.write(writeFile(m_dir, pattern(2 * UsablePerFile)))), outcome);
        QCOMPARE(op.messages, QStringList{message});
        if (kind != 0) {
            QCOMPARE(channel.count(0xD6), 0);
            QCOMPARE(card.collectionImage(), before);
        }
    }

    void programFiles_data()
    {
        QTest::addColumn<qint64>("size"); // -1: no such file
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing file") << qint64(-1) << int(ProgramCardWriter::Outcome::NotOpened)
                                      << "Arquivo não pode ser aberto! Gravação cancelada!";
        QTest::newRow("one byte too large") << qint64(2621442) << int(ProgramCardWriter::Outcome::TooLarge)
                                            << "[" + Caption +
                                                   "/48] O arquivo tem 2.621.442 bytes e o programa não pode passar de "
                                                   "2.621.441 bytes. Gravação cancelada!";
        QTest::newRow("largest program") << qint64(2621441) << int(ProgramCardWriter::Outcome::BadCard)
                                         << "Cartao formatado incorretamente";
    }

    void programFiles()
    {
        QFETCH(qint64, size);
        QFETCH(int, outcome);
        QFETCH(QString, message);
        QString path = m_dir.filePath("absent.bin");
        if (size >= 0) {
            path = m_dir.filePath("sized.bin");
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            QVERIFY(f.resize(size));
        }
        ModelChannel channel; // no card: every exchange fails
        Operator op(channel, {});
        ProgramCardWriter writer(channel, op.hooks());
        QCOMPARE(int(writer.write(path)), outcome);
        QCOMPARE(op.messages, QStringList{message});
        QCOMPARE(channel.log.size(), outcome == int(ProgramCardWriter::Outcome::BadCard) ? 1 : 0);
    }
};

QTEST_GUILESS_MAIN(tst_ProgramCardWriter)
#include "tst_programcardwriter.moc"
