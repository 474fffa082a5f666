#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <initializer_list>

namespace zentro {

enum class BlockType : quint16 {
    Configuration = 0x10,
    Groups = 0x01,
    Credits = 0x02,
    BlackWhiteList = 0x03,
    Products = 0x04,
    Bonus = 0x05,
    AutoFormat = 0x06,
};

// The 8 bytes in front of every block of an image's data area.
struct ImageBlockHeader
{
    static constexpr qsizetype Size = 8;
    static constexpr quint32 MaxBodyLength = 0xFFFFFF;

    // Type, body length (24 bits) and the CRC-16 of the body, chained over
    // its pieces in order.
    static QByteArray encode(BlockType type, std::initializer_list<QByteArrayView> body);
};

} // namespace zentro
