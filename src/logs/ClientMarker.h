#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>

namespace zentro {

// File 3F40h of a card: its kind and, on a collection card, the marker of
// the installation that owns it.
struct ClientMarker
{
    static constexpr qsizetype Size = 64;
    static constexpr quint16 CollectionCard = 0xA001;
    static constexpr quint16 ConfigurationCard = 0xA002;
    static constexpr quint32 Signature = 0x55CCAA33;

    quint16 cardKind = 0;
    quint16 ownerId = 0;
    quint32 markingTime = 0;
    quint16 programVersion = 0;
    quint32 signature = 0;
    quint16 crc = 0;
    bool complete = false;   // 64 bytes were there to decode
    bool crcMatches = false; // the CRC-16 of bytes 0 to 61 equals the stored one

    // Any bytes at all; fewer than 64 give an incomplete marker that is
    // valid for nobody.
    static ClientMarker decode(QByteArrayView bytes);

    // The marker belongs to this installation: its owner and a matching CRC.
    bool isValidFor(quint16 installationOwnerId) const
    {
        return complete && crcMatches && ownerId == installationOwnerId;
    }

    // The 64 bytes of a new collection-card marker. The marking time is the
    // local wall-clock time as seconds from 1970 without time-zone conversion;
    // programVersion is binary-coded decimal. The card takes bytes 2 to 63:
    // the card kind on it is not rewritten.
    static QByteArray encode(quint16 ownerId, const QDateTime &markingTime, quint16 programVersion);
};

} // namespace zentro
