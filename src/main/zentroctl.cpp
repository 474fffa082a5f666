// zentroctl: the core of Zentro without windows, one sub-command per task.

#include "app/TextCodec.h"
#include "logs/CollectionCard.h"
#include "logs/LogTransac.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringList>

#include <cstdio>
#include <functional>

using namespace zentro;

namespace {

enum ExitCode { Ok = 0, BadInput = 2 };

void writeOut(const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
}

void writeErr(const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
}

QString stateText(CollectionCard::EntryState state)
{
    switch (state) {
    case CollectionCard::EntryState::Free:
        return QStringLiteral("livre");
    case CollectionCard::EntryState::Invalid:
        return QStringLiteral("inválida (CRC)");
    case CollectionCard::EntryState::Valid:
        return QStringLiteral("válida");
    case CollectionCard::EntryState::Refused:
        return QStringLiteral("recusada");
    }
    return QString();
}

// decode-card IMAGE: the collection CSV of a stored collection card image on
// standard output (Windows-1252, CR LF, as the import window writes it), the
// summary of its directory on standard error.
int decodeCard(const QStringList &args)
{
    if (args.size() != 1) {
        writeErr(QStringLiteral("Uso: zentroctl decode-card IMAGEM"));
        return BadInput;
    }
    const QString path = args.at(0);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        writeErr(QStringLiteral("Não foi possível ler o arquivo %1: %2").arg(path, file.errorString()));
        return BadInput;
    }
    if (file.size() != CollectionCard::ImageSize) {
        writeErr(QStringLiteral("O arquivo %1 tem %2 bytes; a imagem de um cartão de coleta tem %3 bytes.")
                     .arg(path)
                     .arg(file.size())
                     .arg(CollectionCard::ImageSize));
        return BadInput;
    }
    const QByteArray image = file.readAll();
    const auto card = CollectionCard::decodeImage(image);
    if (file.error() != QFileDevice::NoError || !card) {
        writeErr(QStringLiteral("Não foi possível ler o arquivo %1: %2").arg(path, file.errorString()));
        return BadInput;
    }

    const QByteArray crlf("\r\n");
    writeOut(TextCodec::toCp1252(LogTransac::csvHeader()) + crlf);
    for (const CollectionCard::Entry &entry : card->entries()) {
        if (entry.state != CollectionCard::EntryState::Valid)
            continue;
        const QString serial = entry.dir.hwSerie();
        const QString version = entry.dir.readerVersionText();
        for (qsizetype k = 0; k < entry.recordCount; ++k) {
            const LogTransac log = LogTransac::fromRecord(card->record(entry, k), serial, version);
            writeOut(TextCodec::toCp1252(log.csvLine()) + crlf);
        }
    }
    std::fflush(stdout);

    const ClientMarker &marker = card->marker();
    writeErr(QStringLiteral("Cabeçalho: tipo %1h, proprietário %2, CRC %3")
                 .arg(marker.cardKind, 4, 16, QLatin1Char('0'))
                 .arg(marker.ownerId)
                 .arg(marker.crcMatches ? QStringLiteral("ok") : QStringLiteral("inválido")));
    if (card->isEmpty())
        writeErr(QStringLiteral("Cartão de coleta vazio!"));
    for (const CollectionCard::Entry &entry : card->entries()) {
        if (entry.state == CollectionCard::EntryState::Free)
            continue;
        QString line = QStringLiteral("Entrada %1: %2").arg(entry.index).arg(stateText(entry.state));
        if (entry.state == CollectionCard::EntryState::Valid)
            line += QStringLiteral(", leitor %1, versão %2, %3 registros")
                        .arg(entry.dir.hwSerie(), entry.dir.readerVersionText())
                        .arg(entry.recordCount);
        else if (entry.state == CollectionCard::EntryState::Refused)
            line += QStringLiteral(", leitor %1: %2").arg(entry.dir.hwSerie(), entry.reason);
        writeErr(line);
    }
    writeErr(QStringLiteral("Entradas: livres %1, inválidas %2, válidas %3, recusadas %4 - Logs: %5")
                 .arg(card->count(CollectionCard::EntryState::Free))
                 .arg(card->count(CollectionCard::EntryState::Invalid))
                 .arg(card->count(CollectionCard::EntryState::Valid))
                 .arg(card->count(CollectionCard::EntryState::Refused))
                 .arg(card->recordCount()));
    return Ok;
}

struct Command
{
    const char *name;
    const char *usage;
    std::function<int(const QStringList &)> run;
};

const Command Commands[] = {
    {"decode-card", "decode-card IMAGEM   imprime o CSV de coleta de uma imagem de cartão de coleta", decodeCard},
};

int usage()
{
    writeErr(QStringLiteral("Uso: zentroctl COMANDO [ARGUMENTOS]\nComandos:"));
    for (const Command &c : Commands)
        writeErr(QStringLiteral("  ") + QString::fromUtf8(c.usage));
    return BadInput;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty())
        return usage();
    const QString name = args.takeFirst();
    for (const Command &c : Commands) {
        if (name == QLatin1String(c.name))
            return c.run(args);
    }
    writeErr(QStringLiteral("Comando desconhecido: %1").arg(name));
    return usage();
}
