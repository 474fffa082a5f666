#pragma once

// Collection card contents for tests, laid out field by field after the
// card's tables rather than copied from captured cards.

#include "app/Crc.h"

#include <QByteArray>

namespace cardbytes {

inline void put(QByteArray &b, int offset, quint64 value, int width)
{
    for (int i = 0; i < width; ++i)
        b[offset + i] = char((value >> (8 * i)) & 0xFF);
}

struct Record
{
    quint8 tag = 1;
    quint32 transacId = 1000;
    quint8 type = 10;
    quint16 vmId = 7;
    quint16 prodIdVm = 12;
    quint32 prodId = 55;
    quint32 time = 1706711101; // 2024-01-31 14:25:01
    qint32 value = 250;
    quint8 cardType = 1;
    quint8 purseId = 0;
    quint16 seqtCard = 42;
    qint32 saldoIni = 1000;
    QByteArray name = "JOAO"; // up to 11 bytes, zero-padded
    quint8 group = 'A';
    quint32 cardId = 123456;

    QByteArray bytes() const
    {
        QByteArray b(46, '\0');
        put(b, 0, tag, 1);
        put(b, 1, transacId, 4);
        put(b, 5, type, 1);
        put(b, 6, vmId, 2);
        put(b, 8, prodIdVm, 2);
        put(b, 10, prodId, 4);
        put(b, 14, time, 4);
        put(b, 18, quint32(value), 4);
        put(b, 22, cardType, 1);
        put(b, 23, purseId, 1);
        put(b, 24, seqtCard, 2);
        put(b, 26, quint32(saldoIni), 4);
        b.replace(30, qMin<qsizetype>(name.size(), 11), name.left(11));
        put(b, 41, group, 1);
        put(b, 42, cardId, 4);
        return b;
    }
};

inline QByteArray dirEntry(const QByteArray &serial, quint16 firstBlock, quint16 readerVersion, bool crcOk = true)
{
    QByteArray e(32, '\0');
    e.replace(0, 8, serial.left(8));
    put(e, 8, firstBlock, 2);
    put(e, 16, readerVersion, 2);
    quint16 crc = zentro::CRC_16ByteWise(e.constData(), 30, zentro::Crc16Initial);
    put(e, 30, crcOk ? crc : quint16(crc ^ 0x0001), 2);
    return e;
}

// The block header: the data length is big-endian in bytes 2 to 4.
inline QByteArray blockHeader(quint32 dataLength)
{
    QByteArray h(8, '\0');
    h[2] = char((dataLength >> 16) & 0xFF);
    h[3] = char((dataLength >> 8) & 0xFF);
    h[4] = char(dataLength & 0xFF);
    return h;
}

inline QByteArray marker(quint16 kind, quint16 owner, bool crcOk = true)
{
    QByteArray m(64, '\0');
    put(m, 0, kind, 2);
    put(m, 42, owner, 2);
    put(m, 48, 1706711101, 4);
    put(m, 56, 0x0505, 2);
    put(m, 58, 0x55CCAA33, 4);
    quint16 crc = zentro::CRC_16ByteWise(m.constData(), 62, zentro::Crc16Initial);
    put(m, 62, crcOk ? crc : quint16(crc + 1), 2);
    return m;
}

// A whole stored card image: header, directory and log area.
struct Image
{
    QByteArray bytes = QByteArray(64 + 4096 + 819200, '\0');

    void setHeader(const QByteArray &m) { bytes.replace(0, 64, m); }
    void setEntry(int index, const QByteArray &entry) { bytes.replace(64 + 32 * index, 32, entry); }
    // Block header and data at a log-area offset.
    void setData(qsizetype logOffset, const QByteArray &data)
    {
        const qsizetype at = 4160 + logOffset;
        const QByteArray fitting = data.left(bytes.size() - at);
        bytes.replace(at, fitting.size(), fitting);
    }
    void setBlock(int block, quint32 dataLength, const QByteArray &records)
    {
        setData(qsizetype(block) * 64, blockHeader(dataLength) + records);
    }
};

} // namespace cardbytes
