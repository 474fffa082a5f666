#pragma once

#include "export/ImageBlockHeader.h"
#include "export/ImageDirEntry.h"
#include "export/ImageHeader.h"

#include <QByteArray>

#include <initializer_list>
#include <optional>

namespace zentro {

// A configuration image being put together: the header, the directory of up
// to 126 readers and the data area of blocks, each block at a multiple of 64.
// The image builder decides what goes in and in which order; this class
// keeps the layout and the limits.
class ConfigImage
{
public:
    static constexpr qsizetype DirectoryOffset = ImageHeader::Size;
    static constexpr qsizetype TrailerOffset = 4128;
    static constexpr qsizetype DataOffset = 4160;
    static constexpr quint32 MaxDataLength = 819200;
    static constexpr quint32 BlockAlign = 64;
    static constexpr int MaxEntries = 126;
    static constexpr qsizetype CfgFileUnit = 1056;

    // Where each part of an image goes on a configuration card.
    struct CardParts
    {
        static constexpr quint16 HeaderOffset = 6; // in file 3F40h, after card kind and capacity
        QByteArray header;                         // image bytes 6 to 63, for file 3F40h at offset 6
        QByteArray directory;                      // image bytes 64 to 4159, for file 3F41h at offset 0
        QByteArray data;                           // the data area, L bytes, for the card's data area at offset 0
    };

    ConfigImage();

    // The data-area offset where the next block starts.
    quint32 writePosition() const { return m_writePos; }
    // Moves the next block forward to the given multiple of 64.
    void skipTo(quint32 offset);

    // Writes one block (header and body pieces in order, the CRC chained over
    // them) at the write position and answers its block address; answers
    // nothing, and leaves the image as it was, when it does not fit.
    std::optional<quint16> addBlock(BlockType type, std::initializer_list<QByteArrayView> body);

    int entryCount() const { return m_entries; }
    // The next reader's entry; false, and nothing written, when the directory
    // already holds MaxEntries readers.
    bool addEntry(const ImageDirEntry &entry);

    // Header and directory trailer: the image is complete.
    void finish(const ImageHeader &header);

    // L: the end of the last block rounded up to a multiple of 64.
    quint32 dataLength() const { return m_writePos; }
    // Header, directory block and data area: 4160 + L bytes.
    QByteArray image() const;
    // The image padded with zero bytes to a multiple of 1056.
    QByteArray cfgFile() const;
    CardParts cardParts() const;

private:
    QByteArray m_bytes; // 4160 + 819200, zero at the start
    quint32 m_writePos = 0;
    int m_entries = 0;
};

} // namespace zentro
