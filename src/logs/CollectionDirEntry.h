#pragma once

#include <QByteArrayView>
#include <QString>

#include <array>

namespace zentro {

// One entry of a collection card's directory: the reader that wrote logs
// and the block where they begin.
struct CollectionDirEntry
{
    static constexpr qsizetype Size = 32;
    enum class State { Free, Invalid, Valid };

    State state = State::Free;
    std::array<quint8, 8> serial{};
    quint16 firstBlock = 0;
    quint16 readerVersion = 0;
    quint16 crc = 0;

    // Exactly 32 bytes: all zero is free, a CRC-16 of bytes 0 to 29 that
    // does not match makes it invalid.
    static CollectionDirEntry decode(QByteArrayView bytes);

    // HW_SERIE: 16 upper-case hexadecimal digits, byte 0 first.
    QString hwSerie() const;
    // READER_VERSION: upper-case hexadecimal, at least 3 digits.
    QString readerVersionText() const;
};

// The 8 bytes at the entry's first block; only the data length matters here.
struct LogBlockHeader
{
    static constexpr qsizetype Size = 8;
    quint32 dataLength = 0; // 24 bits, big-endian on the card

    static LogBlockHeader decode(QByteArrayView bytes);
};

} // namespace zentro
