#pragma once

#include <QByteArrayView>
#include <QtGlobal>

namespace zentro {

// The CRC routines the readers in the field compute. They stand in one place
// so that an installation whose readers use other variants changes this file
// (and its .cpp) alone. Each takes the data, its length and the initial value,
// and a result can be passed as the initial value of the next piece.

// CRC-16, polynomial 1021h, most significant bit first, no final exclusive-or.
quint16 CRC_16ByteWise(const void *data, qsizetype length, quint16 initial);
// CRC-32, reflected, polynomial EDB88320h, no final exclusive-or.
quint32 CRC_32ByteWise(const void *data, qsizetype length, quint32 initial);
// CRC-16/CCITT of the program card segment headers: polynomial 1021h, not
// reflected, no final exclusive-or.
quint16 CRC16CCITT(const void *data, qsizetype length, quint16 initial);

// The initial values every CRC of images and collection cards starts from.
inline constexpr quint16 Crc16Initial = 0x4321;
inline constexpr quint32 Crc32Initial = 0xFFFFFFFFu;

// The readers' library never takes more than 65535 bytes at once: a longer run
// is computed in pieces of 65535 bytes, each result the initial value of the
// next piece.
inline constexpr qsizetype CrcMaxPiece = 65535;
quint16 crc16Chained(QByteArrayView data, quint16 initial = Crc16Initial);
quint32 crc32Chained(QByteArrayView data, quint32 initial = Crc32Initial);

} // namespace zentro
