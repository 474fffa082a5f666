#include "app/Crc.h"

#include <boost/crc.hpp>

namespace zentro {

namespace {

using Crc16Msb = boost::crc_optimal<16, 0x1021, 0, 0, false, false>;
// Boost takes the initial remainder of a reflected CRC unreflected; the
// readers' routine takes the register as it comes out of a previous call.
using Crc32Reflected = boost::crc_optimal<32, 0x04C11DB7, 0, 0, true, true>;

quint32 reverseBits(quint32 v)
{
    quint32 r = 0;
    for (int i = 0; i < 32; ++i) {
        r = (r << 1) | (v & 1u);
        v >>= 1;
    }
    return r;
}

} // namespace

quint16 CRC_16ByteWise(const void *data, qsizetype length, quint16 initial)
{
    Crc16Msb crc(initial);
    if (length > 0)
        crc.process_bytes(data, std::size_t(length));
    return crc.checksum();
}

quint32 CRC_32ByteWise(const void *data, qsizetype length, quint32 initial)
{
    Crc32Reflected crc(reverseBits(initial));
    if (length > 0)
        crc.process_bytes(data, std::size_t(length));
    return crc.checksum();
}

quint16 CRC16CCITT(const void *data, qsizetype length, quint16 initial)
{
    Crc16Msb crc(initial);
    if (length > 0)
        crc.process_bytes(data, std::size_t(length));
    return crc.checksum();
}

quint16 crc16Chained(QByteArrayView data, quint16 initial)
{
    quint16 crc = initial;
    for (qsizetype pos = 0; pos < data.size(); pos += CrcMaxPiece)
        crc = CRC_16ByteWise(data.data() + pos, qMin(CrcMaxPiece, data.size() - pos), crc);
    return crc;
}

quint32 crc32Chained(QByteArrayView data, quint32 initial)
{
    quint32 crc = initial;
    for (qsizetype pos = 0; pos < data.size(); pos += CrcMaxPiece)
        crc = CRC_32ByteWise(data.data() + pos, qMin(CrcMaxPiece, data.size() - pos), crc);
    return crc;
}

} // namespace zentro
