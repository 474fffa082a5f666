#pragma once

#include "card/CardChannel.h"
#include "card/CardFiles.h"

#include <QString>

namespace zentro {

// Result codes of the card file functions (16-bit signed, as the callers
// have always compared them).
namespace sc {
constexpr qint16 Ok = 0;
constexpr qint16 ExchangeFailed = -1; // Transmit failed
constexpr qint16 Refused = -2;        // wrong status word or wrong answer length
constexpr qint16 NoFile = -3;         // no buffer, or a file from 3F47h on is missing
constexpr qint16 OutOfArea = -5;      // no buffer, or the range leaves the data area
} // namespace sc

// The card command layer. Every function selects its file before each chunk
// and keeps nothing between calls.
qint16 ReadCardFile(CardChannel &pcsc, quint16 fileId, quint16 offset, quint8 *buffer, quint16 count);
qint16 WriteCardFile(CardChannel &pcsc, quint16 fileId, quint16 offset, const quint8 *source, quint16 count);
qint16 ReadCardArea(CardChannel &pcsc, quint32 offset, quint32 count, CardProgress *progress, quint8 *buffer);
qint16 WriteCardArea(CardChannel &pcsc, quint32 offset, quint32 count, CardProgress *progress, const quint8 *source);
// Bytes available for a configuration image on the card.
qint64 GetCardCapacity(CardChannel &pcsc);

// The card kind at offset 0 of file 3F40h; 0 when the header cannot be read.
// The 64 header bytes are put into *header when given.
quint16 ReadCardKind(CardChannel &pcsc, QByteArray *header = nullptr);
// ATR tests of the two windows that tell card kinds apart.
bool IsConfigurationAtr(const QString &atr);
bool IsCollectionAtr(const QString &atr);

// The card's serial number (FF CA 00 00 00); an error code of sc otherwise.
qint16 ReadCardSerial(CardChannel &pcsc, QByteArray *serial);

} // namespace zentro
