#pragma once

#include "logs/CardLogRecord.h"
#include "logs/ClientMarker.h"
#include "logs/CollectionDirEntry.h"

#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>

namespace zentro {

// What a collection card holds: the marker, the 128 directory entries and,
// for each valid entry, its log records. The card is data from outside:
// nothing in it is trusted, an entry that claims more than the card can hold
// is refused with a reason and the rest of the card is still read.
class CollectionCard
{
public:
    static constexpr qsizetype HeaderSize = ClientMarker::Size;
    static constexpr qsizetype DirectorySize = 4096;
    static constexpr qsizetype LogAreaSize = 819200;
    // File 3F40h, file 3F41h and the log area, as LOGS_CARD keeps them.
    static constexpr qsizetype ImageSize = HeaderSize + DirectorySize + LogAreaSize;
    static constexpr int EntryCount = 128;
    static constexpr qsizetype BlockSize = 64;
    static constexpr int BlockCount = 12800;
    static constexpr qsizetype MaxRecords = 10000;

    enum class EntryState { Free, Invalid, Valid, Refused };

    struct Entry
    {
        int index = 0;
        EntryState state = EntryState::Free;
        CollectionDirEntry dir;
        quint32 dataLength = 0;    // from the block header, for valid and refused entries
        QString reason;            // why a refused entry was refused
        qsizetype recordCount = 0; // valid entries: data length div 46
        qsizetype dataOffset = 0;  // log-area offset of the first record
    };

    // The three stores as read from the card. Shorter stores than the card's
    // are read as far as they go: entries and data beyond them are missing.
    static CollectionCard decode(QByteArrayView header, QByteArrayView directory, QByteArrayView logArea);
    // A stored card image of exactly ImageSize bytes; nothing for any other size.
    static std::optional<CollectionCard> decodeImage(QByteArrayView image);

    const ClientMarker &marker() const { return m_marker; }
    // Every entry of the directory, in directory order.
    const QList<Entry> &entries() const { return m_entries; }
    // The directory is all zero: an empty collection card.
    bool isEmpty() const { return m_empty; }
    int count(EntryState state) const;
    // Record k (0 … recordCount - 1) of a valid entry, decoded when asked
    // for: a card whose entries all point at the same data holds over a
    // million of them.
    CardLogRecord record(const Entry &entry, qsizetype k) const;
    // Records of all valid entries.
    qsizetype recordCount() const;

private:
    QByteArray m_logArea;
    ClientMarker m_marker;
    QList<Entry> m_entries;
    bool m_empty = true;
};

} // namespace zentro
