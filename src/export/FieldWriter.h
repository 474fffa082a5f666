#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace zentro {

// Puts little-endian numbers and single-byte texts at fixed offsets of a
// record that already has its final size.
class FieldWriter
{
public:
    explicit FieldWriter(QByteArray &record)
        : m_record(record)
    {
    }

    void u8(qsizetype offset, quint8 value);
    void u16(qsizetype offset, quint16 value);
    void i16(qsizetype offset, qint16 value);
    // Three bytes, least significant first.
    void u24(qsizetype offset, quint32 value);
    void u32(qsizetype offset, quint32 value);
    void bytes(qsizetype offset, QByteArrayView value);
    void fill(qsizetype offset, qsizetype length, char value);

    // A text that must fit: copied from its first character on, the rest of
    // the field zero. A longer text throws ImageError naming the field.
    void text(qsizetype offset, qsizetype width, const QString &value, const QString &field);
    // A text cut at the width, the rest of the field filled with pad.
    void cutText(qsizetype offset, qsizetype width, const QString &value, char pad);

    // The single byte of a text's first character, 0 for an empty text.
    static quint8 firstChar(const QString &value);

private:
    char *at(qsizetype offset, qsizetype width);

    QByteArray &m_record;
};

} // namespace zentro
