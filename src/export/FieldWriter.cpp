#include "export/FieldWriter.h"

#include "app/TextCodec.h"
#include "export/ImageError.h"

#include <QtEndian>

#include <cstring>

namespace zentro {

char *FieldWriter::at(qsizetype offset, qsizetype width)
{
    Q_ASSERT(offset >= 0 && width >= 0 && offset + width <= m_record.size());
    return m_record.data() + offset;
}

void FieldWriter::u8(qsizetype offset, quint8 value)
{
    *at(offset, 1) = char(value);
}

void FieldWriter::u16(qsizetype offset, quint16 value)
{
    qToLittleEndian<quint16>(value, at(offset, 2));
}

void FieldWriter::i16(qsizetype offset, qint16 value)
{
    qToLittleEndian<qint16>(value, at(offset, 2));
}

void FieldWriter::u24(qsizetype offset, quint32 value)
{
    Q_ASSERT(value <= 0xFFFFFFu);
    char *p = at(offset, 3);
    p[0] = char(value & 0xFF);
    p[1] = char((value >> 8) & 0xFF);
    p[2] = char((value >> 16) & 0xFF);
}

void FieldWriter::u32(qsizetype offset, quint32 value)
{
    qToLittleEndian<quint32>(value, at(offset, 4));
}

void FieldWriter::bytes(qsizetype offset, QByteArrayView value)
{
    if (!value.isEmpty())
        std::memcpy(at(offset, value.size()), value.data(), size_t(value.size()));
}

void FieldWriter::fill(qsizetype offset, qsizetype length, char value)
{
    if (length > 0)
        std::memset(at(offset, length), value, size_t(length));
}

void FieldWriter::text(qsizetype offset, qsizetype width, const QString &value, const QString &field)
{
    const QByteArray single = TextCodec::toCp1252(value);
    if (single.size() > width) {
        throw ImageError(field, QStringLiteral("O texto de %1 tem %2 caracteres e o campo comporta %3: \"%4\"")
                                    .arg(field)
                                    .arg(single.size())
                                    .arg(width)
                                    .arg(value));
    }
    fill(offset, width, 0);
    bytes(offset, single);
}

void FieldWriter::cutText(qsizetype offset, qsizetype width, const QString &value, char pad)
{
    const QByteArray single = TextCodec::toCp1252(value).left(width);
    fill(offset, width, pad);
    bytes(offset, single);
}

quint8 FieldWriter::firstChar(const QString &value)
{
    if (value.isEmpty())
        return 0;
    return quint8(TextCodec::toCp1252(value.left(1)).at(0));
}

} // namespace zentro
