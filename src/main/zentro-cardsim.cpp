// zentro-cardsim: a card of this system plugged into pcscd through the vpcd
// reader driver, for trying the card windows and testing them without
// hardware. Starting it puts the card into the reader; SIGTERM or SIGINT takes
// it out and saves it.

#include "card/CardModel.h"
#include "card/VpcdClient.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <csignal>
#include <cstdio>
#include <ctime>

using namespace zentro;

namespace {

void say(const QString &text)
{
    std::fprintf(stderr, "zentro-cardsim: %s\n", qPrintable(text));
}

int fail(const QString &text)
{
    say(text);
    return 1;
}

bool parseCapacity(const QString &text, quint32 *capacity)
{
    QString t = text.trimmed().toUpper();
    quint64 factor = 1;
    if (t.endsWith(QLatin1Char('K'))) {
        factor = 1024;
        t.chop(1);
    } else if (t.endsWith(QLatin1Char('M'))) {
        factor = 1024 * 1024;
        t.chop(1);
    }
    bool ok = false;
    const quint64 v = t.toULongLong(&ok) * factor;
    if (!ok || v == 0 || v > CardModel::MaxCapacity)
        return false;
    *capacity = quint32(v);
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zentro-cardsim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Cartão virtual do Zentro: liga um cartão simulado ao pcscd pelo leitor \"Virtual PCD\" "
                       "(vpcd). Ao iniciar o cartão é inserido; SIGTERM ou Ctrl+C retira o cartão e grava o "
                       "arquivo do cartão."));
    parser.addHelpOption();
    const QCommandLineOption cardOption(
        QStringLiteral("card"),
        QStringLiteral("Arquivo do cartão: lido ao iniciar, se existir, e gravado ao terminar."),
        QStringLiteral("arquivo"), QStringLiteral("cartao-virtual.card"));
    const QCommandLineOption createOption(
        QStringLiteral("create"),
        QStringLiteral("Cria um cartão em branco com esta capacidade em bytes (aceita K e M), "
                       "no lugar do conteúdo do arquivo."),
        QStringLiteral("capacidade"));
    const QCommandLineOption loadOption(
        QStringLiteral("load-image"),
        QStringLiteral("Formata o cartão como cartão de coleta e carrega uma imagem de 823360 "
                       "bytes (3F40h, 3F41h e a área de logs)."),
        QStringLiteral("arquivo"));
    const QCommandLineOption dumpOption(
        QStringLiteral("dump-image"), QStringLiteral("Ao terminar, grava a imagem de coleta do cartão (823360 bytes)."),
        QStringLiteral("arquivo"));
    const QCommandLineOption portOption(
        QStringLiteral("port"),
        QStringLiteral("Porta do vpcd: 35963 = leitor \"Virtual PCD 00 00\", 35964 = \"Virtual "
                       "PCD 00 01\"."),
        QStringLiteral("porta"), QString::number(VpcdClient::DefaultPort));
    const QCommandLineOption hostOption(QStringLiteral("host"), QStringLiteral("Máquina onde roda o pcscd com o vpcd."),
                                        QStringLiteral("host"), QStringLiteral("127.0.0.1"));
    const QCommandLineOption serialOption(
        QStringLiteral("serial"),
        QStringLiteral("Número de série do cartão (hexadecimal), a resposta a FF CA 00 00 00."), QStringLiteral("hex"));
    const QCommandLineOption offlineOption(
        QStringLiteral("no-insert"),
        QStringLiteral("Não insere o cartão: só cria, carrega ou extrai e grava o arquivo."));
    parser.addOptions(
        {cardOption, createOption, loadOption, dumpOption, portOption, hostOption, serialOption, offlineOption});
    parser.process(app);
    if (!parser.positionalArguments().isEmpty())
        return fail(QStringLiteral("argumento inesperado: %1").arg(parser.positionalArguments().first()));

    const QString cardPath = parser.value(cardOption);
    CardModel card;
    QString error;
    if (parser.isSet(createOption)) {
        quint32 capacity = 0;
        if (!parseCapacity(parser.value(createOption), &capacity))
            return fail(QStringLiteral("capacidade inválida: %1 (de 1 a %2 bytes)")
                            .arg(parser.value(createOption))
                            .arg(CardModel::MaxCapacity));
        card = CardModel(capacity);
    } else if (QFileInfo::exists(cardPath)) {
        if (!card.load(cardPath, &error))
            return fail(error);
    } else {
        say(QStringLiteral("%1 não existe: cartão em branco de %2 bytes")
                .arg(cardPath)
                .arg(CardModel::DefaultCapacity));
    }

    if (parser.isSet(serialOption)) {
        const QByteArray text = parser.value(serialOption).toLatin1();
        const QByteArray serial = QByteArray::fromHex(text);
        if (serial.isEmpty() || serial.size() > 32 || serial.toHex().toUpper() != text.toUpper())
            return fail(QStringLiteral("número de série inválido: %1").arg(parser.value(serialOption)));
        card.setSerial(serial);
    }

    if (parser.isSet(loadOption)) {
        QFile image(parser.value(loadOption));
        if (!image.open(QIODevice::ReadOnly))
            return fail(QStringLiteral("não foi possível abrir %1: %2").arg(image.fileName(), image.errorString()));
        if (image.size() != CardModel::CollectionImageSize)
            return fail(QStringLiteral("%1 tem %2 bytes; a imagem de um cartão de coleta tem %3")
                            .arg(image.fileName())
                            .arg(image.size())
                            .arg(CardModel::CollectionImageSize));
        if (!card.loadCollectionImage(image.readAll(), &error))
            return fail(error);
    }

    bool portOk = false;
    const uint port = parser.value(portOption).toUInt(&portOk);
    if (!portOk || port == 0 || port > 65535)
        return fail(QStringLiteral("porta inválida: %1").arg(parser.value(portOption)));

    if (!parser.isSet(offlineOption)) {
        // The signals are taken here, in order, instead of interrupting the card.
        sigset_t stopSignals;
        sigemptyset(&stopSignals);
        sigaddset(&stopSignals, SIGTERM);
        sigaddset(&stopSignals, SIGINT);
        sigaddset(&stopSignals, SIGHUP);
        pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

        VpcdClient client(card, parser.value(hostOption), quint16(port));
        client.start();
        bool wasConnected = false;
        bool toldWaiting = false;
        for (;;) {
            const timespec tick{0, 100 * 1000 * 1000};
            if (sigtimedwait(&stopSignals, nullptr, &tick) > 0)
                break;
            const bool connected = client.isConnected();
            if (connected != wasConnected) {
                say(connected ? QStringLiteral("cartão inserido (vpcd %1:%2)").arg(parser.value(hostOption)).arg(port)
                              : QStringLiteral("o vpcd fechou a conexão; aguardando-o de novo"));
                wasConnected = connected;
                toldWaiting = connected;
            } else if (!connected && !toldWaiting && !client.lastError().isEmpty()) {
                say(QStringLiteral("aguardando o vpcd (%1); o pcscd está rodando com o leitor "
                                   "virtual? Veja scripts/pcscd-private")
                        .arg(client.lastError()));
                toldWaiting = true;
            }
        }
        client.stop();
        say(QStringLiteral("cartão retirado"));
    }

    if (!card.save(cardPath, &error))
        return fail(error);
    if (parser.isSet(dumpOption)) {
        QFile image(parser.value(dumpOption));
        if (!image.open(QIODevice::WriteOnly) || image.write(card.collectionImage()) != CardModel::CollectionImageSize)
            return fail(QStringLiteral("não foi possível gravar %1: %2").arg(image.fileName(), image.errorString()));
    }
    return 0;
}
