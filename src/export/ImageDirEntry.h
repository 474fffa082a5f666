#pragma once

#include "export/ImageFields.h"

#include <QByteArray>

namespace zentro {

// One reader's entry in the directory of a configuration image: where its
// blocks are (block addresses, NoBlock for none).
struct ImageDirEntry
{
    static constexpr qsizetype Size = 32;
    static constexpr quint16 NoBlock = 0xFFFF;

    ImageFields::Serial serial{};
    quint16 groups = NoBlock;
    quint16 credits = NoBlock;
    quint16 blackWhiteList = NoBlock;
    quint16 products = NoBlock;
    quint16 bonus = NoBlock;
    quint16 configuration = NoBlock;
    quint16 autoFormat = NoBlock;
    quint32 preparedAt = 0; // image seconds
    quint32 VERSAO = 0;

    // The 32 bytes with the CRC-16 of bytes 0 to 29 at 30.
    QByteArray encode() const;
};

} // namespace zentro
