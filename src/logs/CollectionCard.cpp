#include "logs/CollectionCard.h"

#include <algorithm>

namespace zentro {

namespace {

// Decides whether the entry's data lies within the log area; fills the
// reason when it does not.
bool checkBounds(CollectionCard::Entry &entry, QByteArrayView logArea)
{
    const qint64 areaEnd = qMin<qint64>(logArea.size(), CollectionCard::LogAreaSize);
    const qint64 start = qint64(entry.dir.firstBlock) * CollectionCard::BlockSize;
    if (entry.dir.firstBlock >= CollectionCard::BlockCount) {
        entry.reason = QStringLiteral("bloco inicial %1 fora da área de logs (0 a %2)")
                           .arg(entry.dir.firstBlock)
                           .arg(CollectionCard::BlockCount - 1);
        return false;
    }
    if (start + LogBlockHeader::Size > areaEnd) {
        entry.reason = QStringLiteral("cabeçalho do bloco %1 além do fim dos dados lidos").arg(entry.dir.firstBlock);
        return false;
    }
    entry.dataLength = LogBlockHeader::decode(logArea.sliced(start, LogBlockHeader::Size)).dataLength;
    const qint64 records = entry.dataLength / CardLogRecord::Size;
    if (records > CollectionCard::MaxRecords) {
        entry.reason = QStringLiteral("%1 bytes de dados: %2 registros, mais que o limite de %3")
                           .arg(entry.dataLength)
                           .arg(records)
                           .arg(CollectionCard::MaxRecords);
        return false;
    }
    if (start + LogBlockHeader::Size + entry.dataLength > areaEnd) {
        entry.reason = QStringLiteral("%1 bytes de dados a partir do bloco %2 ultrapassam o fim da área de logs")
                           .arg(entry.dataLength)
                           .arg(entry.dir.firstBlock);
        return false;
    }
    return true;
}

} // namespace

CollectionCard CollectionCard::decode(QByteArrayView header, QByteArrayView directory, QByteArrayView logArea)
{
    CollectionCard card;
    card.m_logArea = logArea.first(qMin(logArea.size(), LogAreaSize)).toByteArray();
    card.m_empty = std::all_of(directory.begin(), directory.end(), [](char c) { return c == 0; });
    card.m_marker = ClientMarker::decode(header);
    card.m_entries.reserve(EntryCount);
    for (int i = 0; i < EntryCount; ++i) {
        Entry entry;
        entry.index = i;
        const qsizetype at = i * CollectionDirEntry::Size;
        if (at + CollectionDirEntry::Size > directory.size()) {
            card.m_entries.append(entry);
            continue;
        }
        entry.dir = CollectionDirEntry::decode(directory.sliced(at, CollectionDirEntry::Size));
        switch (entry.dir.state) {
        case CollectionDirEntry::State::Free:
            entry.state = EntryState::Free;
            break;
        case CollectionDirEntry::State::Invalid:
            entry.state = EntryState::Invalid;
            break;
        case CollectionDirEntry::State::Valid:
            if (!checkBounds(entry, logArea)) {
                entry.state = EntryState::Refused;
                break;
            }
            entry.state = EntryState::Valid;
            entry.dataOffset = qsizetype(entry.dir.firstBlock) * BlockSize + LogBlockHeader::Size;
            entry.recordCount = entry.dataLength / CardLogRecord::Size;
            break;
        }
        card.m_entries.append(entry);
    }
    return card;
}

std::optional<CollectionCard> CollectionCard::decodeImage(QByteArrayView image)
{
    if (image.size() != ImageSize)
        return std::nullopt;
    return decode(image.first(HeaderSize), image.sliced(HeaderSize, DirectorySize),
                  image.sliced(HeaderSize + DirectorySize, LogAreaSize));
}

int CollectionCard::count(EntryState state) const
{
    return int(std::count_if(m_entries.begin(), m_entries.end(), [state](const Entry &e) { return e.state == state; }));
}

CardLogRecord CollectionCard::record(const Entry &entry, qsizetype k) const
{
    Q_ASSERT(entry.state == EntryState::Valid && k >= 0 && k < entry.recordCount);
    return CardLogRecord::decode(
        QByteArrayView(m_logArea).sliced(entry.dataOffset + k * CardLogRecord::Size, CardLogRecord::Size));
}

qsizetype CollectionCard::recordCount() const
{
    qsizetype n = 0;
    for (const Entry &e : m_entries)
        n += e.recordCount;
    return n;
}

} // namespace zentro
