#pragma once

#include <QByteArrayView>
#include <QtEndian>

namespace zentro {

// Reads little-endian numbers at fixed offsets of a record whose size the
// caller has already checked.
class FieldReader
{
public:
    explicit FieldReader(QByteArrayView record)
        : m_record(record)
    {
    }

    quint8 u8(qsizetype offset) const { return quint8(at(offset, 1)[0]); }
    quint16 u16(qsizetype offset) const { return qFromLittleEndian<quint16>(at(offset, 2)); }
    quint32 u32(qsizetype offset) const { return qFromLittleEndian<quint32>(at(offset, 4)); }
    qint32 i32(qsizetype offset) const { return qFromLittleEndian<qint32>(at(offset, 4)); }
    QByteArrayView bytes(qsizetype offset, qsizetype length) const
    {
        return QByteArrayView(at(offset, length), length);
    }

private:
    const char *at(qsizetype offset, qsizetype width) const
    {
        Q_ASSERT(offset >= 0 && width >= 0 && offset + width <= m_record.size());
        return m_record.data() + offset;
    }

    QByteArrayView m_record;
};

} // namespace zentro
