#include "logs/CollectionDirEntry.h"

#include "app/Crc.h"
#include "logs/FieldReader.h"

#include <algorithm>

namespace zentro {

CollectionDirEntry CollectionDirEntry::decode(QByteArrayView bytes)
{
    Q_ASSERT(bytes.size() == Size);
    CollectionDirEntry e;
    const FieldReader r(bytes);
    for (int i = 0; i < 8; ++i)
        e.serial[size_t(i)] = r.u8(i);
    e.firstBlock = r.u16(8);
    e.readerVersion = r.u16(16);
    e.crc = r.u16(30);
    if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return c == 0; }))
        e.state = State::Free;
    else if (crc16Chained(bytes.first(30)) != e.crc)
        e.state = State::Invalid;
    else
        e.state = State::Valid;
    return e;
}

QString CollectionDirEntry::hwSerie() const
{
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char *>(serial.data()), 8).toHex().toUpper());
}

QString CollectionDirEntry::readerVersionText() const
{
    return QStringLiteral("%1").arg(readerVersion, 3, 16, QLatin1Char('0')).toUpper();
}

LogBlockHeader LogBlockHeader::decode(QByteArrayView bytes)
{
    Q_ASSERT(bytes.size() >= Size);
    const FieldReader r(bytes);
    LogBlockHeader h;
    h.dataLength = quint32(r.u8(2)) << 16 | quint32(r.u8(3)) << 8 | r.u8(4);
    return h;
}

} // namespace zentro
