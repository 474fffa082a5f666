#include "CardTestSupport.h"

#include "card/CardCommands.h"
#include "card/CardFormatter.h"

#include <QTest>

using namespace zentro;
using namespace cardtest;

namespace {

struct Recorder
{
    CardFormatter::Hooks hooks()
    {
        CardFormatter::Hooks h;
        h.status = [this](const QString &t) { statuses << t; };
        h.progress = [this](const QString &t, int p, int m) {
            progress << QStringLiteral("%1 %2/%3").arg(t).arg(p).arg(m);
        };
        h.message = [this](const QString &t) { messages << t; };
        return h;
    }
    QStringList statuses;
    QStringList progress;
    QStringList messages;
};

quint32 storedCapacity(const CardModel &card)
{
    return qFromLittleEndian<quint32>(card.fileData(0x3F40).constData() + 2);
}

} // namespace

class tst_CardFormatter : public QObject
{
    Q_OBJECT

private slots:
    void configuration_data()
    {
        QTest::addColumn<quint32>("capacity");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<quint32>("stored");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QStringList>("messages");

        const QString done = "Formatação concluída. Espaço disponível no cartão: %1 bytes. Último "
                             "arquivo criado: 3F%2.";
        QTest::newRow("fifth file 768 bytes shorter")
            << FixedFilesSpace + 4 * DataFileSpace + (51200 - 768 + 16) << int(CardFormatter::Outcome::Full)
            << quint32(255232) << done.arg(255232).arg("47") << QStringList();
        QTest::newRow("five full files") << FixedFilesSpace + 5 * DataFileSpace << int(CardFormatter::Outcome::Full)
                                         << quint32(256000) << done.arg(256000).arg("47") << QStringList();
        QTest::newRow("room for no fifth file at all")
            << FixedFilesSpace + 4 * DataFileSpace + 15 << int(CardFormatter::Outcome::Full) << quint32(204800)
            << done.arg(204800).arg("37") << QStringList();
        QTest::newRow("an empty fifth file")
            << FixedFilesSpace + 4 * DataFileSpace + 16 << int(CardFormatter::Outcome::Full) << quint32(204800)
            << done.arg(204800).arg("47") << QStringList();
        QTest::newRow("refuses the fourth file")
            << FixedFilesSpace + 3 * DataFileSpace + 51215 << int(CardFormatter::Outcome::Failed) << quint32(0)
            << "Personalização... CRIANDO 3F37..." << QStringList{"Error in personalization"};
        QTest::newRow("every file fits") << CardModel::MaxCapacity << int(CardFormatter::Outcome::AllFilesCreated)
                                         << quint32(0) << "Personalização... CRIANDO 3FFF..." << QStringList();
        QTest::newRow("no room for the directory")
            << FixedFilesSpace - 1 << int(CardFormatter::Outcome::Failed) << quint32(0)
            << "Personalização... Fase 03..." << QStringList{"Error in personalization"};
    }

    void configuration()
    {
        QFETCH(quint32, capacity);
        QFETCH(int, outcome);
        QFETCH(quint32, stored);
        QFETCH(QString, status);
        QFETCH(QStringList, messages);

        CardModel card(capacity);
        formatCard(card, CardFiles::KindCollection, 20); // a used card: the format erases it
        card.setCapacity(capacity);
        ModelChannel channel(&card);
        Recorder r;
        CardFormatter formatter(channel, r.hooks());
        QCOMPARE(int(formatter.formatConfiguration(Keys)), outcome);
        QCOMPARE(r.statuses.last(), status);
        QCOMPARE(r.messages, messages);
        if (outcome == int(CardFormatter::Outcome::Failed))
            return;

        QCOMPARE(card.fileData(0x3F40).left(2), hex("02A0"));
        QCOMPARE(storedCapacity(card), stored);
        QCOMPARE(card.fileData(0x3F02), hex("8008000800000000") + Keys[0] + hex("8008000800000000") + Keys[1] +
                                            hex("8008000800000000") + Keys[2]);
        QCOMPARE(r.progress.mid(0, 6),
                 (QStringList{"Formatando cartão de configuração. 0/5", "Formatando cartão de configuração. 1/5",
                              "Formatando cartão de configuração. 2/5", "Formatando cartão de configuração. 3/5",
                              "Formatando cartão de configuração. 4/5", "Formatando cartão de configuração. 572/715"}));
        QCOMPARE(r.statuses.mid(0, 5),
                 (QStringList{"Formatando cartão...", "Personalização... Fase 01...", "Personalização... Fase 02...",
                              "Personalização... Fase 03...", "Personalização... CRIANDO 3F07..."}));
        // The export later finds the stored capacity less the fixed files.
        if (stored != 0)
            QCOMPARE(GetCardCapacity(channel), qint64(stored) - 4160);
    }

    void collection_data()
    {
        QTest::addColumn<int>("files");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("ten files") << 10
                                   << "Formatação concluída. Espaço disponível no cartão: 512000 bytes. Último "
                                      "arquivo criado: 3F97."
                                   << QStringList();
        QTest::newRow("four files") << 4
                                    << "Formatação concluída. Espaço disponível no cartão: 204800 bytes. Último "
                                       "arquivo criado: 3F37."
                                    << QStringList();
        QTest::newRow("three files") << 3 << "Personalização... CRIANDO 3F37..."
                                     << QStringList{"Error in personalization"};
    }

    void collection()
    {
        QFETCH(int, files);
        QFETCH(QString, status);
        QFETCH(QStringList, messages);
        CardModel card(FixedFilesSpace + files * DataFileSpace + 51000);
        ModelChannel channel(&card);
        Recorder r;
        CardFormatter formatter(channel, r.hooks());
        formatter.formatCollection(Keys);
        QCOMPARE(r.statuses.last(), status);
        QCOMPARE(r.messages, messages);
        QCOMPARE(r.progress.mid(0, 4),
                 (QStringList{"Formatando cartão de coleta de logs. 1/5", "Formatando cartão de coleta de logs. 2/5",
                              "Formatando cartão de coleta de logs. 3/5", "Formatando cartão de coleta de logs. 4/5"}));
        if (!messages.isEmpty())
            return;
        // No shorter last file and no stored capacity: the readers probe it.
        QCOMPARE(card.fileData(0x3F40).left(6), hex("01A0 00000000"));
        QCOMPARE(card.fileIds().size(), 3 + files);
        QCOMPARE(channel.count(0xD6), 0);
    }

    void softwareChange_data()
    {
        QTest::addColumn<int>("files");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("lastProgress");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("seven files are enough") << 7 << "Formatação concluída. Último arquivo criado: 3F77."
                                                << "Formatando cartão de troca de software. 8/8" << QStringList();
        QTest::newRow("twelve files") << 12 << "Formatação concluída. Último arquivo criado: 3FC7."
                                      << "Formatando cartão de troca de software. 13/13" << QStringList();
        QTest::newRow("six files") << 6 << "Personalização... CRIANDO 3F77..."
                                   << "Formatando cartão de troca de software. 7/143"
                                   << QStringList{"Error in personalization"};
        QTest::newRow("every file fits") << 200 << "Personalização... CRIANDO 3FFF..."
                                         << "Formatando cartão de troca de software. 143/143" << QStringList();
    }

    void softwareChange()
    {
        QFETCH(int, files);
        QFETCH(QString, status);
        QFETCH(QString, lastProgress);
        QFETCH(QStringList, messages);
        CardModel card(files * SoftwareChangeFileSpace + 100);
        formatCard(card, CardFiles::KindConfiguration, 0);
        ModelChannel channel(&card);
        Recorder r;
        CardFormatter formatter(channel, r.hooks());
        formatter.formatSoftwareChange();
        QCOMPARE(r.statuses.last(), status);
        QCOMPARE(r.progress.first(), QString("Formatando cartão de troca de software. 0/1"));
        QCOMPARE(r.progress.last(), lastProgress);
        QCOMPARE(r.messages, messages);
        QVERIFY(!card.hasFile(0x3F07));
        QVERIFY(!card.hasFile(0x3F40));
        QVERIFY(!card.hasFile(0x3F02));
        if (messages.isEmpty())
            QCOMPARE(card.fileIds().size(), qMin(files, 143));
    }

    void failures_data()
    {
        QTest::addColumn<int>("kind"); // 0 configuration, 1 collection, 2 software change
        QTest::addColumn<int>("failFrom");
        QTest::addColumn<QByteArray>("refused"); // the command the card refuses, by its first bytes
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<int>("exchanges");
        const QStringList error{"Error in personalization"};
        QTest::newRow("initialisation fails") << 0 << 0 << QByteArray() << error << 1;
        QTest::newRow("key file fails") << 1 << 1 << QByteArray() << error << 2;
        QTest::newRow("third data file fails") << 0 << 6 << QByteArray() << error << 7;
        QTest::newRow("key file refused") << 0 << -1 << hex("00E0000040") << error << 2;
        QTest::newRow("software change data file fails") << 2 << 3 << QByteArray() << error << 4;
        QTest::newRow("shorter size fails") << 0 << 16 << QByteArray() << error << 17;
        QTest::newRow("capacity not written")
            << 0 << -1 << hex("00D6") << QStringList{"Erro durante a gravação do cartão!"} << -1;
    }

    void failures()
    {
        QFETCH(int, kind);
        QFETCH(int, failFrom);
        QFETCH(QByteArray, refused);
        QFETCH(QStringList, messages);
        QFETCH(int, exchanges);
        // Room for four data files and half of a fifth: the fifth is refused at
        // exchange 9, GetCardCapacity reads 3F40h and probes five files, and
        // the shorter sizes start at exchange 17.
        CardModel card(FixedFilesSpace + 4 * DataFileSpace + 25000);
        ModelChannel channel(&card);
        channel.failFrom = failFrom;
        channel.answer = [&](const QByteArray &c) -> std::optional<QByteArray> {
            if (!refused.isEmpty() && c.startsWith(refused))
                return hex("6A80");
            return std::nullopt;
        };
        Recorder r;
        CardFormatter formatter(channel, r.hooks());
        CardFormatter::Outcome outcome = kind == 0   ? formatter.formatConfiguration(Keys)
                                         : kind == 1 ? formatter.formatCollection(Keys)
                                                     : formatter.formatSoftwareChange();
        QVERIFY(outcome == CardFormatter::Outcome::Failed || outcome == CardFormatter::Outcome::CapacityNotWritten);
        QCOMPARE(r.messages, messages);
        if (exchanges >= 0)
            QCOMPARE(channel.log.size(), exchanges);
    }
};

QTEST_GUILESS_MAIN(tst_CardFormatter)
#include "tst_cardformatter.moc"
