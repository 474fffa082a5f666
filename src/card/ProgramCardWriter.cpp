#include "card/ProgramCardWriter.h"

#include "app/Crc.h"
#include "app/MessagePresenter.h"
#include "card/CardCommands.h"
#include "card/CardFiles.h"

#include <QFile>
#include <QLocale>
#include <QtEndian>

namespace zentro {

namespace {

QByteArray selectWithInfo(quint16 fileId)
{
    QByteArray c = QByteArray::fromHex("00A4000002");
    c.append(char(fileId >> 8));
    c.append(char(fileId & 0xFF));
    return c;
}

QString thousands(qint64 n)
{
    return QLocale(QLocale::Portuguese, QLocale::Brazil).toString(n);
}

} // namespace

const QString ProgramCardWriter::Caption = QStringLiteral("Gravação do Programa no Cartão");

ProgramCardWriter::ProgramCardWriter(CardChannel &channel, Hooks hooks)
    : m_channel(channel)
    , m_hooks(std::move(hooks))
{
}

QByteArray ProgramCardWriter::segmentHeader(quint16 link, quint32 length)
{
    QByteArray h(HeaderLength, '\0');
    uchar *b = reinterpret_cast<uchar *>(h.data());
    qToLittleEndian<quint16>(link, b);
    qToLittleEndian<quint32>(0, b + 2);
    qToLittleEndian<quint32>(length, b + 6);
    qToLittleEndian<quint16>(0, b + 10);
    qToLittleEndian<quint16>(CRC16CCITT(b, 12, 0xFFFF), b + 12);
    return h;
}

quint16 ProgramCardWriter::link(quint16 fileId, int cardNumber)
{
    return quint16(((fileId & 0x3FFF) | (cardNumber << 14)) & 0xFFFF);
}

bool ProgramCardWriter::exchange(const QByteArray &command, QByteArray &response, quint8 &sw1, quint8 &sw2)
{
    return m_channel.Transmit(command, response, sw1, sw2);
}

void ProgramCardWriter::warn(const QString &text)
{
    if (m_hooks.messageBox)
        m_hooks.messageBox(text, Caption, mb::IconWarning);
}

void ProgramCardWriter::pause(int milliseconds)
{
    if (m_hooks.pause)
        m_hooks.pause(milliseconds);
}

ProgramCardWriter::Outcome ProgramCardWriter::write(const QString &path)
{
    auto plain = [this](const QString &text) {
        if (m_hooks.message)
            m_hooks.message(text);
    };
    m_program.clear();
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        plain(QStringLiteral("Arquivo não pode ser aberto! Gravação cancelada!"));
        return Outcome::NotOpened;
    }
    if (file.size() > MaxProgramSize) {
        warn(QStringLiteral("O arquivo tem %1 bytes e o programa não pode passar de %2 bytes. "
                            "Gravação cancelada!")
                 .arg(thousands(file.size()), thousands(MaxProgramSize)));
        return Outcome::TooLarge;
    }
    m_program = file.readAll();
    if (m_program.size() != file.size()) {
        m_program.clear();
        plain(QStringLiteral("Arquivo não pode ser aberto! Gravação cancelada!"));
        return Outcome::NotOpened;
    }
    file.close();

    const qint64 size = m_program.size();
    qint64 position = 0;
    for (int card = 0; card < MaxCards; ++card) {
        // A card that took nothing still counts: the operator is asked for the next one.
        if (card > 0)
            plain(QStringLiteral("insira o cartao %1").arg(card + 1));

        QByteArray response;
        quint8 sw1 = 0, sw2 = 0;
        if (!exchange(selectWithInfo(Files[0]), response, sw1, sw2)) {
            plain(QStringLiteral("Cartao formatado incorretamente"));
            return Outcome::BadCard;
        }
        // Collection and configuration cards carry data no program may overwrite.
        const quint16 kind = ReadCardKind(m_channel);
        if (kind == CardFiles::KindCollection || kind == CardFiles::KindConfiguration) {
            warn(kind == CardFiles::KindCollection
                     ? QStringLiteral("Este é um cartão de coleta de logs e não pode receber o "
                                      "programa. Use um cartão formatado como \"Troca de SW\". "
                                      "Gravação cancelada!")
                     : QStringLiteral("Este é um cartão de configuração e não pode receber o "
                                      "programa. Use um cartão formatado como \"Troca de SW\". "
                                      "Gravação cancelada!"));
            return Outcome::ProtectedCard;
        }

        const Outcome outcome = writeCard(card, position);
        if (outcome != Outcome::Completed)
            return outcome;
        if (position >= size) {
            plain(QStringLiteral("Gravação concluída!"));
            return Outcome::Completed;
        }
    }
    warn(QStringLiteral("O programa não coube em %1 cartões: faltaram %2 bytes. "
                        "Gravação incompleta!")
             .arg(MaxCards)
             .arg(thousands(size - position)));
    return Outcome::DidNotFit;
}

void ProgramCardWriter::survey()
{
    QByteArray response;
    quint8 sw1 = 0, sw2 = 0;
    for (int i = 0; i < FileCount; ++i) {
        m_usable[size_t(i)] = 0;
        pause(SurveyPauseMs);
        if (!exchange(selectWithInfo(Files[size_t(i)]), response, sw1, sw2) || sw1 != 0x61)
            continue;
        pause(SurveyPauseMs);
        QByteArray getResponse = QByteArray::fromHex("00C0000000");
        getResponse[4] = char(sw2);
        if (!exchange(getResponse, response, sw1, sw2) || sw1 != 0x90 || sw2 != 0x00 || response.size() < 12)
            continue;
        const int fileSize = quint8(response.at(10)) + 256 * quint8(response.at(11));
        m_usable[size_t(i)] = fileSize - 16 - reserved(i);
    }
}

int ProgramCardWriter::nextFile(int position) const
{
    for (int i = position + 1; i < FileCount; ++i) {
        if (m_usable[size_t(i)] > MinUsable)
            return i;
    }
    return -1;
}

ProgramCardWriter::Outcome ProgramCardWriter::writeCard(int cardNumber, qint64 &position)
{
    if (m_hooks.progress)
        m_hooks.progress(0);
    survey();

    qint64 capacity = 0;
    int first = -1;
    for (int i = 0; i < FileCount; ++i) {
        if (m_usable[size_t(i)] > MinUsable) {
            capacity += m_usable[size_t(i)];
            if (first < 0)
                first = i;
        }
    }
    const qint64 size = m_program.size();
    qint64 remaining = std::min(size - position, capacity);
    if (remaining <= 0)
        return Outcome::Completed;

    QByteArray response;
    quint8 sw1 = 0, sw2 = 0;
    int current = first;
    int selected = -1;
    int space = 0;
    int fileOffset = 0;
    bool headerPending = false;
    int next = -1;
    while (remaining > 0) {
        if (m_hooks.processEvents)
            m_hooks.processEvents();
        if (current != selected) {
            if (!exchange(selectWithInfo(Files[size_t(current)]), response, sw1, sw2)) {
                warn(QStringLiteral("Houve um erro de seleção de arquivos durante o processo!"));
                return Outcome::SelectFailed;
            }
            selected = current;
            space = m_usable[size_t(current)];
            fileOffset = 0;
            headerPending = true;
            next = nextFile(current);
        }

        QByteArray command = QByteArray::fromHex("00D6000000");
        command[2] = char((fileOffset >> 8) & 0xFF);
        command[3] = char(fileOffset & 0xFF);
        if (headerPending) {
            QByteArray header;
            if (position + space >= size) {
                header = segmentHeader(link(0, cardNumber), quint32(remaining));
            } else {
                const quint16 nextLink =
                    next >= 0 ? link(Files[size_t(next)], cardNumber) : link(Files[0], cardNumber + 1);
                header = segmentHeader(nextLink, quint32(space));
            }
            command.append(header);
            fileOffset += HeaderLength;
            headerPending = false;
        }
        const int take = int(std::min<qint64>({qint64(MaxCommandLength - command.size()), qint64(space), remaining}));
        command.append(m_program.constData() + position, take);
        space -= take;
        remaining -= take;
        position += take;
        fileOffset += take;

        if (m_hooks.progress)
            m_hooks.progress(int(position * 100 / size));
        if (m_hooks.processEvents)
            m_hooks.processEvents();

        if (command.size() > 5) {
            command[4] = char(command.size() - 5);
            // A refused UPDATE leaves the segment incomplete: the card cannot be used.
            if (!exchange(command, response, sw1, sw2) || sw1 != 0x90) {
                warn(QStringLiteral("Houve um erro de gravação de arquivos durante o processo!"));
                return Outcome::WriteFailed;
            }
        }
        if (space == 0) {
            if (next < 0)
                break;
            current = next;
        }
    }
    return Outcome::Completed;
}

} // namespace zentro
