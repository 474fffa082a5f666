#include "app/TextCodec.h"

#include <QStringDecoder>

namespace zentro {

namespace {

// 0x80..0x9F: where Windows-1252 differs from Latin-1. 0 marks an unused byte.
constexpr char16_t HighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

int byteOf(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (int i = 0; i < 32; ++i) {
        if (HighControls[i] != 0 && HighControls[i] == c)
            return 0x80 + i;
    }
    return -1;
}

} // namespace

QByteArray TextCodec::toCp1252(const QString &text)
{
    QByteArray out;
    out.reserve(text.size());
    for (const QChar ch : text) {
        const int b = byteOf(ch.unicode());
        out.append(b < 0 ? '?' : char(b));
    }
    return out;
}

bool TextCodec::fitsCp1252(const QString &text)
{
    for (const QChar ch : text) {
        if (byteOf(ch.unicode()) < 0)
            return false;
    }
    return true;
}

QString TextCodec::fromCp1252(const QByteArray &bytes)
{
    QString out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        const auto b = uchar(c);
        if (b >= 0x80 && b < 0xA0 && HighControls[b - 0x80] != 0)
            out.append(QChar(HighControls[b - 0x80]));
        else
            out.append(QChar(b));
    }
    return out;
}

QString TextCodec::fromCp1252OrUtf8(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = utf8.decode(bytes);
    if (!utf8.hasError())
        return decoded;
    return fromCp1252(bytes);
}

} // namespace zentro
