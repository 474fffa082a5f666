#pragma once

#include <QtGlobal>

namespace zentro {

// The file system of a formatted card: its fixed files, its data files and
// the data area spread over the first sixteen of them.
struct CardFiles
{
    static constexpr quint16 Keys = 0x3F02;
    static constexpr quint16 Header = 0x3F40;
    static constexpr quint16 Directory = 0x3F41;

    static constexpr int HeaderSize = 64;
    static constexpr int DirectorySize = 4096;
    static constexpr int KeyRecordSize = 16;
    static constexpr int KeyCount = 3;
    static constexpr int KeyLength = 8;

    static constexpr int DataFileCount = 144;
    static constexpr quint32 DataFileSize = 51200;
    static constexpr int DataAreaFiles = 16;
    static constexpr quint32 DataAreaSize = DataAreaFiles * DataFileSize; // 819200

    // The largest piece one READ BINARY or UPDATE BINARY moves.
    static constexpr int ChunkSize = 248;

    // Card kinds at offset 0 of the header file.
    static constexpr quint16 KindCollection = 0xA001;
    static constexpr quint16 KindConfiguration = 0xA002;

    // Data file i (0..143): 3F07h, 3F17h, ... 3FF7h, then 3F08h, 3F18h, ...
    static constexpr quint16 dataFileId(int index) { return quint16(0x3F00 + (7 + index / 16) + 16 * (index % 16)); }

    // The data file that holds data-area offset A, and the offset inside it.
    static constexpr quint16 dataAreaFileId(quint32 offset) { return quint16(0x3F07 | ((offset / DataFileSize) * 16)); }
    static constexpr quint32 dataAreaFileOffset(quint32 offset) { return offset % DataFileSize; }
};

} // namespace zentro
