#pragma once

#include <QByteArray>
#include <QString>
#include <QtEndian>

// Expected bytes of a field, written out independently of the encoder.
inline QByteArray le(quint64 value, int width)
{
    QByteArray b(width, '\0');
    for (int i = 0; i < width; ++i)
        b[i] = char((value >> (8 * i)) & 0xFF);
    return b;
}

inline quint64 readLe(const QByteArray &bytes, int offset, int width)
{
    quint64 v = 0;
    for (int i = width - 1; i >= 0; --i)
        v = (v << 8) | quint8(bytes.at(offset + i));
    return v;
}

// Numbers compared as hexadecimal text, so that a failure reads like the format.
inline QString hexv(quint64 value)
{
    return QString::number(value, 16).toUpper();
}
