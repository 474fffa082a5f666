#include "card/CardFormatter.h"

#include "card/CardCommands.h"
#include "card/CardFiles.h"
#include "card/CardTemplates.h"

#include <QtEndian>

namespace zentro {

namespace {

// The data files run at positions 572 to 715 of the configuration card's
// progress, after the four fixed phases.
constexpr int DataFileProgressBase = 572;
constexpr int DataFileProgressMaximum = 715;
constexpr int PhaseMaximum = 5;
constexpr int SmallerSizeStep = 256;
constexpr int SmallerSizeTries = 200;

} // namespace

const QString CardFormatter::ErrorText = QStringLiteral("Error in personalization");

CardFormatter::CardFormatter(CardChannel &channel, Hooks hooks)
    : m_channel(channel)
    , m_hooks(std::move(hooks))
{
}

CardFormatter::Answer CardFormatter::send(const QByteArray &command)
{
    QByteArray response;
    quint8 sw1 = 0, sw2 = 0;
    if (!m_channel.Transmit(command, response, sw1, sw2))
        return Answer::ExchangeFailed;
    return sw1 == 0x90 ? Answer::Accepted : Answer::Refused;
}

CardFormatter::Outcome CardFormatter::fail()
{
    if (m_hooks.message)
        m_hooks.message(ErrorText);
    return Outcome::Failed;
}

void CardFormatter::status(const QString &text)
{
    if (m_hooks.status)
        m_hooks.status(text);
}

void CardFormatter::progress(int position, int maximum)
{
    if (m_hooks.progress)
        m_hooks.progress(m_progressText, position, maximum);
}

QString CardFormatter::lastFileText(quint16 fileId)
{
    return QStringLiteral("%1").arg(fileId & 0xFF, 2, 16, QLatin1Char('0')).toUpper();
}

CardFormatter::Outcome CardFormatter::formatConfiguration(const QList<QByteArray> &keys)
{
    return formatWithFileSystem(keys, true);
}

CardFormatter::Outcome CardFormatter::formatCollection(const QList<QByteArray> &keys)
{
    return formatWithFileSystem(keys, false);
}

CardFormatter::Outcome CardFormatter::formatWithFileSystem(const QList<QByteArray> &keys, bool configuration)
{
    m_lastFile = 0;
    m_capacity = 0;
    m_progressText = configuration ? QStringLiteral("Formatando cartão de configuração.")
                                   : QStringLiteral("Formatando cartão de coleta de logs.");
    // The collection card's phases stand one step later on the gauge.
    const int phase = configuration ? 0 : 1;

    status(QStringLiteral("Formatando cartão..."));
    progress(phase, PhaseMaximum);
    if (send(CardTemplates::initialisation()) != Answer::Accepted)
        return fail();

    progress(phase + 1, PhaseMaximum);
    status(QStringLiteral("Personalização... Fase 01..."));
    if (send(CardTemplates::keyFile(keys)) != Answer::Accepted)
        return fail();

    progress(phase + 2, PhaseMaximum);
    status(QStringLiteral("Personalização... Fase 02..."));
    const quint16 kind = configuration ? CardFiles::KindConfiguration : CardFiles::KindCollection;
    if (send(CardTemplates::headerFile(kind)) != Answer::Accepted)
        return fail();

    progress(phase + 3, PhaseMaximum);
    status(QStringLiteral("Personalização... Fase 03..."));
    if (send(CardTemplates::directoryFile()) != Answer::Accepted)
        return fail();

    progress(4, PhaseMaximum);
    for (int i = 0; i < CardFiles::DataFileCount; ++i) {
        const quint16 file = CardFiles::dataFileId(i);
        progress(i + DataFileProgressBase, DataFileProgressMaximum);
        status(QStringLiteral("Personalização... CRIANDO 3F%1...").arg(lastFileText(file)));
        const Answer answer = send(CardTemplates::dataFile(file));
        if (answer == Answer::ExchangeFailed)
            return fail();
        if (answer == Answer::Accepted) {
            m_lastFile = file;
            continue;
        }
        // The card is full.
        if (i < MinConfigurationFiles)
            return fail();
        const QString done = QStringLiteral("Formatação concluída. Espaço disponível no cartão: %1 "
                                            "bytes. Último arquivo criado: 3F%2.");
        if (!configuration) {
            // A collection card keeps no capacity: readers and the import probe it.
            m_capacity = GetCardCapacity(m_channel);
            status(done.arg(m_capacity).arg(lastFileText(m_lastFile)));
            return Outcome::Full;
        }
        m_capacity = GetCardCapacity(m_channel);
        for (int k = 1; k <= SmallerSizeTries; ++k) {
            const quint16 size = quint16(CardFiles::DataFileSize - SmallerSizeStep * k);
            const Answer smaller = send(CardTemplates::dataFile(file, size));
            if (smaller == Answer::ExchangeFailed)
                return fail();
            if (smaller == Answer::Accepted) {
                m_capacity += size;
                m_lastFile = file;
                break;
            }
        }
        status(done.arg(m_capacity).arg(lastFileText(m_lastFile)));
        uchar stored[4];
        qToLittleEndian<quint32>(quint32(m_capacity), stored);
        if (WriteCardFile(m_channel, CardFiles::Header, 2, stored, 4) != sc::Ok) {
            if (m_hooks.message)
                m_hooks.message(QStringLiteral("Erro durante a gravação do cartão!"));
            return Outcome::CapacityNotWritten;
        }
        return Outcome::Full;
    }
    return Outcome::AllFilesCreated;
}

CardFormatter::Outcome CardFormatter::formatSoftwareChange()
{
    m_lastFile = 0;
    m_capacity = 0;
    m_progressText = QStringLiteral("Formatando cartão de troca de software.");
    progress(0, 1);
    status(QStringLiteral("Formatando cartão..."));
    if (send(CardTemplates::initialisation()) != Answer::Accepted)
        return fail();

    // File 3F07h (index 0) is left out: the program card writer keeps it last.
    for (int i = 1; i <= SoftwareChangeFiles; ++i) {
        const quint16 file = CardFiles::dataFileId(i);
        progress(i, SoftwareChangeFiles);
        status(QStringLiteral("Personalização... CRIANDO 3F%1...").arg(lastFileText(file)));
        const Answer answer = send(CardTemplates::softwareChangeFile(file));
        if (answer == Answer::ExchangeFailed)
            return fail();
        if (answer == Answer::Accepted) {
            m_lastFile = file;
            continue;
        }
        if (i <= MinSoftwareChangeFiles)
            return fail();
        status(QStringLiteral("Formatação concluída. Último arquivo criado: 3F%1.").arg(lastFileText(m_lastFile)));
        progress(i, i);
        return Outcome::Full;
    }
    return Outcome::AllFilesCreated;
}

} // namespace zentro
