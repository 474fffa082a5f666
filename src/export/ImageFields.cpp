#include "export/ImageFields.h"

#include "app/Clock.h"
#include "app/Helpers.h"
#include "app/Installation.h"
#include "export/ImageError.h"

#include <QTimeZone>

namespace zentro {

namespace {

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    return -1;
}

} // namespace

ImageFields::Serial ImageFields::serial(const QString &hwSerie)
{
    Serial out{};
    if (hwSerie.size() < 16)
        return out;
    for (int i = 0; i < 8; ++i) {
        const int hi = hexDigit(hwSerie.at(2 * i));
        const int lo = hexDigit(hwSerie.at(2 * i + 1));
        if (hi < 0 || lo < 0)
            return Serial{};
        out[size_t(i)] = quint8(hi * 16 + lo);
    }
    return out;
}

quint32 ImageFields::ipv4(const QString &text)
{
    // ParseIPv4 masks each number to a byte: only a valid address is taken,
    // so that 1.2.3.300 never reaches a reader as 1.2.3.44.
    if (!IsValidIPv4(text))
        return 0;
    return SwapIPv4(ParseIPv4(text));
}

std::pair<quint32, quint32> ImageFields::dnsPair(const QString &text)
{
    QString first;
    QString second;
    SplitDnsPair(text, &first, &second);
    return {ipv4(first), ipv4(second)};
}

quint32 ImageFields::fallbackServer(const Installation &installation)
{
    return ipv4(installation.fallbackServerText);
}

quint32 ImageFields::optionBits(quint32 flagVmc2, bool hasProductList)
{
    quint32 bits = flagVmc2 ^ 0xFFFEu;
    if (!hasProductList)
        bits &= ~SelPulso;
    return bits;
}

quint8 ImageFields::pulseValueCode(int pulseValue1)
{
    switch (pulseValue1) {
    case 1:
        return 1;
    case 5:
        return 2;
    case 10:
        return 3;
    case 25:
        return 4;
    case 50:
        return 5;
    case 100:
        return 6;
    default:
        return 2;
    }
}

QByteArray ImageFields::uid(const QString &text)
{
    QString digits = text.right(20);
    digits = QString(20 - digits.size(), QLatin1Char('0')) + digits;
    QByteArray out(10, '\0');
    for (int i = 0; i < 10; ++i) {
        const int hi = hexDigit(digits.at(2 * i));
        const int lo = hexDigit(digits.at(2 * i + 1));
        if (hi < 0 || lo < 0)
            throw ImageError(QStringLiteral("UID"), QStringLiteral("UID \"%1\" não é um número hexadecimal").arg(text));
        out[i] = char(hi * 16 + lo);
    }
    return out;
}

quint16 ImageFields::programVersion(int minor)
{
    bool ok = false;
    const uint bcd = QString::number(minor).toUInt(&ok, 16);
    if (minor < 0 || !ok || bcd > 0xFFFF)
        throw ImageError(QStringLiteral("VERSAO"),
                         QStringLiteral("A versão %1 do programa não cabe em 16 bits").arg(minor));
    return quint16(bcd);
}

quint16 ImageFields::programVersion(const QString &buildInfo)
{
    const QStringList parts = buildInfo.split(QLatin1Char('.'));
    bool ok = false;
    const int minor = parts.value(1).toInt(&ok);
    if (!ok)
        throw ImageError(QStringLiteral("VERSAO"),
                         QStringLiteral("Versão do programa ilegível: \"%1\"").arg(buildInfo));
    return programVersion(minor);
}

quint32 ImageFields::seconds(const QDateTime &localTime)
{
    // The wall-clock reading counted as if it were UTC: readers know no time zones.
    const QDateTime wall(localTime.date(), localTime.time(), QTimeZone::utc());
    const qint64 ms = wall.toMSecsSinceEpoch();
    const qint64 s = ms / 1000 + ((ms % 1000) >= 500 ? 1 : 0);
    if (!localTime.isValid() || ms < 0 || s > qint64(0xFFFFFFFFu))
        throw ImageError(QStringLiteral("DTHR"), QStringLiteral("Data fora do intervalo dos cartões: %1")
                                                     .arg(localTime.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"))));
    return quint32(s);
}

quint32 ImageFields::now()
{
    return seconds(Clock::now());
}

} // namespace zentro
