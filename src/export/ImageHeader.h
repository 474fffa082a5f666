#pragma once

#include <QByteArray>

namespace zentro {

// The 64-byte header of a configuration image and the 32-byte trailer that
// closes its directory block.
struct ImageHeader
{
    static constexpr qsizetype Size = 64;
    static constexpr qsizetype TrailerSize = 32;
    static constexpr quint16 ConfigurationCard = 0xA002;
    static constexpr quint32 Signature = 0x55CCAA33;
    static constexpr quint16 TrailerEnd = 0x9988;

    quint16 ownerId = 0;        // CLIKV_ID
    quint32 completedAt = 0;    // image seconds
    quint16 programVersion = 0; // binary-coded decimal

    QByteArray encode() const;
    QByteArray encodeTrailer() const;
};

} // namespace zentro
