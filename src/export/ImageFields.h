#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <array>
#include <utility>

namespace zentro {

struct Installation;

// The conversions from database values to image fields that the image
// format fixes, shared by the records and the image builder.
class ImageFields
{
public:
    using Serial = std::array<quint8, 8>;

    // HW_SERIE: each pair of hexadecimal digits of the first 16 characters is
    // one byte, first pair first; all zero when any pair is not hexadecimal
    // or the text is shorter.
    static Serial serial(const QString &hwSerie);

    // a.b.c.d as the u32 a·2^24 + b·2^16 + c·2^8 + d; 0 when the text is not
    // an address.
    static quint32 ipv4(const QString &text);
    // ETH_DNS "first,second": the two addresses, each 0 when absent or invalid.
    static std::pair<quint32, quint32> dnsPair(const QString &text);
    // The installation's fallback server ([REDE] SERVIDOR_RESERVA), 0 when it has none.
    static quint32 fallbackServer(const Installation &installation);

    // FLAG_VMC2 with bits 1 to 15 inverted; bit 40000h (FLAGVMC2_SEL_PULSO)
    // cleared for a reader without a product list.
    static constexpr quint32 SelPulso = 0x40000;
    static quint32 optionBits(quint32 flagVmc2, bool hasProductList);

    // PULSE_VALUE1 as the reader's pulse value code: 1→1, 5→2, 10→3, 25→4,
    // 50→5, 100→6, anything else 2.
    static quint8 pulseValueCode(int pulseValue1);

    // UID of an auto-format item: left-padded with "0" to 20 hexadecimal
    // digits (the last 20 kept), each pair one byte. A character that is not
    // hexadecimal throws ImageError.
    static QByteArray uid(const QString &text);

    // The program version as binary-coded decimal: the minor number's decimal
    // digits read as hexadecimal (505 gives 0505h). Throws ImageError when it
    // does not fit 16 bits.
    static quint16 programVersion(int minor);
    // The same from "major.minor.release.build".
    static quint16 programVersion(const QString &buildInfo);

    // Seconds from 1970-01-01 00:00:00 to the local date and time, without
    // any time-zone conversion, rounded to the nearest second. Throws
    // ImageError when it does not fit 32 bits.
    static quint32 seconds(const QDateTime &localTime);
    // The program's clock (Clock::now(), fixed by ZENTRO_NOW) in those seconds.
    static quint32 now();
};

} // namespace zentro
