#include "logs/ClientMarker.h"

#include "app/Crc.h"
#include "logs/FieldReader.h"

#include <QTimeZone>

namespace zentro {

ClientMarker ClientMarker::decode(QByteArrayView bytes)
{
    ClientMarker m;
    if (bytes.size() < Size)
        return m;
    const FieldReader r(bytes);
    m.complete = true;
    m.cardKind = r.u16(0);
    m.ownerId = r.u16(42);
    m.markingTime = r.u32(48);
    m.programVersion = r.u16(56);
    m.signature = r.u32(58);
    m.crc = r.u16(62);
    m.crcMatches = crc16Chained(bytes.first(62)) == m.crc;
    return m;
}

QByteArray ClientMarker::encode(quint16 ownerId, const QDateTime &markingTime, quint16 programVersion)
{
    const QDateTime wall(markingTime.date(), markingTime.time(), QTimeZone::utc());
    const qint64 ms = wall.toMSecsSinceEpoch();
    // A clock outside what 32 bits hold is pinned to its ends rather than wrapped.
    const qint64 seconds = qBound<qint64>(0, ms / 1000 + ((ms % 1000) >= 500 ? 1 : 0), 0xFFFFFFFFll);

    QByteArray m(Size, '\0');
    qToLittleEndian<quint16>(CollectionCard, m.data());
    qToLittleEndian<quint16>(ownerId, m.data() + 42);
    qToLittleEndian<quint32>(quint32(seconds), m.data() + 48);
    qToLittleEndian<quint16>(programVersion, m.data() + 56);
    qToLittleEndian<quint32>(Signature, m.data() + 58);
    qToLittleEndian<quint16>(crc16Chained(QByteArrayView(m).first(62)), m.data() + 62);
    return m;
}

} // namespace zentro
