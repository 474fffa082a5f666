#include "card/CardCommands.h"

#include <QtEndian>

#include <algorithm>
#include <cstring>

namespace zentro {

namespace {

// The header file and the directory are counted in the capacity a
// configuration card stores, but an image's data cannot use them.
constexpr qint64 StoredCapacityOverhead = CardFiles::DirectorySize + CardFiles::HeaderSize;
// From this identifier on, a file that cannot be selected is taken as absent
// (the card was full before it); below it the card is faulty.
constexpr quint16 FirstOptionalFile = 0x3F47;

QByteArray apdu(quint8 ins, quint8 p1, quint8 p2, quint8 p3)
{
    QByteArray c(5, '\0');
    c[1] = char(ins);
    c[2] = char(p1);
    c[3] = char(p2);
    c[4] = char(p3);
    return c;
}

// SELECT FILE without answer data.
qint16 selectFile(CardChannel &pcsc, quint16 fileId)
{
    QByteArray c = apdu(0xA4, 0x00, 0x0C, 0x02);
    c.append(char(fileId >> 8));
    c.append(char(fileId & 0xFF));
    QByteArray response;
    quint8 sw1 = 0, sw2 = 0;
    if (!pcsc.Transmit(c, response, sw1, sw2))
        return sc::ExchangeFailed;
    return sw1 == 0x90 && sw2 == 0x00 && response.isEmpty() ? sc::Ok : sc::Refused;
}

// Offsets inside a file are 16 bits: a range that would wrap around lands on
// the start of the file instead, so it is refused before anything is sent.
bool fitsFileOffsets(quint16 offset, quint16 count)
{
    return quint32(offset) + count <= 0x10000;
}

} // namespace

qint16 ReadCardFile(CardChannel &pcsc, quint16 fileId, quint16 offset, quint8 *buffer, quint16 count)
{
    if (count == 0)
        return sc::Ok;
    if (!buffer)
        return sc::NoFile;
    if (!fitsFileOffsets(offset, count))
        return sc::Refused;
    QByteArray response;
    quint8 sw1 = 0, sw2 = 0;
    while (count > 0) {
        const quint16 chunk = std::min<quint16>(count, CardFiles::ChunkSize);
        const qint16 selected = selectFile(pcsc, fileId);
        if (selected == sc::ExchangeFailed)
            return sc::ExchangeFailed;
        if (selected != sc::Ok)
            return fileId >= FirstOptionalFile ? sc::NoFile : sc::Refused;
        if (!pcsc.Transmit(apdu(0xB0, quint8(offset >> 8), quint8(offset & 0xFF), quint8(chunk)), response, sw1, sw2))
            return sc::ExchangeFailed;
        if (sw1 != 0x90 || sw2 != 0x00 || response.size() != chunk)
            return sc::Refused;
        std::memcpy(buffer, response.constData(), chunk);
        buffer += chunk;
        offset = quint16(offset + chunk);
        count = quint16(count - chunk);
    }
    return sc::Ok;
}

qint16 WriteCardFile(CardChannel &pcsc, quint16 fileId, quint16 offset, const quint8 *source, quint16 count)
{
    if (count == 0)
        return sc::Ok;
    if (!source)
        return sc::NoFile;
    if (!fitsFileOffsets(offset, count))
        return sc::Refused;
    QByteArray response;
    quint8 sw1 = 0, sw2 = 0;
    while (count > 0) {
        const quint16 chunk = std::min<quint16>(count, CardFiles::ChunkSize);
        const qint16 selected = selectFile(pcsc, fileId);
        if (selected == sc::ExchangeFailed)
            return sc::ExchangeFailed;
        if (selected != sc::Ok)
            return sc::Refused;
        QByteArray c = apdu(0xD6, quint8(offset >> 8), quint8(offset & 0xFF), quint8(chunk));
        c.append(reinterpret_cast<const char *>(source), chunk);
        if (!pcsc.Transmit(c, response, sw1, sw2))
            return sc::ExchangeFailed;
        if (sw1 != 0x90 || sw2 != 0x00 || !response.isEmpty())
            return sc::Refused;
        source += chunk;
        offset = quint16(offset + chunk);
        count = quint16(count - chunk);
    }
    return sc::Ok;
}

namespace {

// The chunk of an area transfer at offset: never past 248 bytes nor across
// the end of a data file.
quint32 areaChunk(quint32 offset, quint32 count)
{
    const quint32 inFile = CardFiles::DataFileSize - CardFiles::dataAreaFileOffset(offset);
    return std::min({count, quint32(CardFiles::ChunkSize), inFile});
}

bool insideArea(quint32 offset, quint32 count)
{
    return quint64(offset) + count <= CardFiles::DataAreaSize;
}

} // namespace

qint16 ReadCardArea(CardChannel &pcsc, quint32 offset, quint32 count, CardProgress *progress, quint8 *buffer)
{
    if (!buffer || !insideArea(offset, count))
        return sc::OutOfArea;
    if (progress) {
        progress->setRange(0, int(count));
        progress->setValue(0);
    }
    while (count > 0) {
        const quint32 chunk = areaChunk(offset, count);
        const qint16 r = ReadCardFile(pcsc, CardFiles::dataAreaFileId(offset),
                                      quint16(CardFiles::dataAreaFileOffset(offset)), buffer, quint16(chunk));
        if (r == sc::NoFile) {
            // The card was full before this file: the rest of the area is not there.
            if (progress)
                progress->setValue(progress->maximum());
            return sc::Ok;
        }
        if (r != sc::Ok)
            return r;
        offset += chunk;
        buffer += chunk;
        count -= chunk;
        if (progress)
            progress->setValue(progress->value() + int(chunk));
    }
    return sc::Ok;
}

qint16 WriteCardArea(CardChannel &pcsc, quint32 offset, quint32 count, CardProgress *progress, const quint8 *source)
{
    // Past the end the file formula wraps to 3F07h and would overwrite the
    // start of the area, so such a range is refused as a read is.
    if (!source || !insideArea(offset, count))
        return sc::OutOfArea;
    if (progress) {
        progress->setRange(0, int(count));
        progress->setValue(0);
    }
    while (count > 0) {
        const quint32 chunk = areaChunk(offset, count);
        const qint16 r = WriteCardFile(pcsc, CardFiles::dataAreaFileId(offset),
                                       quint16(CardFiles::dataAreaFileOffset(offset)), source, quint16(chunk));
        if (r != sc::Ok)
            return r;
        offset += chunk;
        source += chunk;
        count -= chunk;
        if (progress)
            progress->setValue(progress->value() + int(chunk));
    }
    return sc::Ok;
}

qint64 GetCardCapacity(CardChannel &pcsc)
{
    QByteArray response;
    quint8 sw1 = 0, sw2 = 0;
    QByteArray select = apdu(0xA4, 0x00, 0x0C, 0x02);
    select.append(char(CardFiles::Header >> 8));
    select.append(char(CardFiles::Header & 0xFF));
    if (pcsc.Transmit(select, response, sw1, sw2) && sw1 == 0x90 && sw2 == 0x00 &&
        pcsc.Transmit(apdu(0xB0, 0x00, 0x02, 0x04), response, sw1, sw2) && sw1 == 0x90 && sw2 == 0x00 &&
        response.size() == 4) {
        const quint32 stored = qFromLittleEndian<quint32>(response.constData());
        if (stored != 0)
            return std::max<qint64>(0, qint64(stored) - StoredCapacityOverhead);
    }
    qint64 capacity = 0;
    for (int i = 0; i < CardFiles::DataFileCount; ++i) {
        if (selectFile(pcsc, CardFiles::dataFileId(i)) != sc::Ok)
            break;
        capacity += CardFiles::DataFileSize;
    }
    return capacity;
}

quint16 ReadCardKind(CardChannel &pcsc, QByteArray *header)
{
    QByteArray bytes(CardFiles::HeaderSize, '\0');
    if (ReadCardFile(pcsc, CardFiles::Header, 0, reinterpret_cast<quint8 *>(bytes.data()), CardFiles::HeaderSize) !=
        sc::Ok)
        return 0;
    if (header)
        *header = bytes;
    return qFromLittleEndian<quint16>(bytes.constData());
}

bool IsConfigurationAtr(const QString &atr)
{
    return atr.startsWith(QLatin1String("3BB8")) || atr.startsWith(QLatin1String("3BBA"));
}

bool IsCollectionAtr(const QString &atr)
{
    return atr.startsWith(QLatin1String("3BB895")) || atr.startsWith(QLatin1String("3BBA95"));
}

qint16 ReadCardSerial(CardChannel &pcsc, QByteArray *serial)
{
    QByteArray response;
    quint8 sw1 = 0, sw2 = 0;
    QByteArray c(5, '\0');
    c[0] = char(0xFF);
    c[1] = char(0xCA);
    if (!pcsc.Transmit(c, response, sw1, sw2))
        return sc::ExchangeFailed;
    if (sw1 != 0x90 || sw2 != 0x00 || response.isEmpty())
        return sc::Refused;
    *serial = response;
    return sc::Ok;
}

} // namespace zentro
