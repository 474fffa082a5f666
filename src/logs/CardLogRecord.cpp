#include "logs/CardLogRecord.h"

#include "app/TextCodec.h"
#include "logs/FieldReader.h"

#include <QDateTime>
#include <QTimeZone>

namespace zentro {

CardLogRecord CardLogRecord::decode(QByteArrayView bytes)
{
    Q_ASSERT(bytes.size() == Size);
    const FieldReader r(bytes);
    CardLogRecord l;
    l.TAG = r.u8(0);
    l.TRANSAC_ID = r.u32(1);
    l.TRANSAC_TP = r.u8(5);
    l.VM_ID = r.u16(6);
    l.PROD_ID_VM = r.u16(8);
    l.PROD_ID = r.u32(10);
    l.TRANSAC_DTHR = r.u32(14);
    l.TRANSAC_VL = r.i32(18);
    l.CARDTYPE = r.u8(22);
    l.PURSE_ID = r.u8(23);
    l.SEQT_CARD = r.u16(24);
    l.SALDO_INI = r.i32(26);
    l.NAME_USER = r.bytes(30, 11).toByteArray();
    l.GR_USER = r.u8(41);
    l.CARD_ID = r.u32(42);
    return l;
}

QString CardLogRecord::name() const
{
    const qsizetype end = NAME_USER.indexOf('\0');
    return TextCodec::fromCp1252(end < 0 ? NAME_USER : NAME_USER.left(end));
}

QChar CardLogRecord::group() const
{
    if (GR_USER == 0)
        return QLatin1Char('0');
    return TextCodec::fromCp1252(QByteArray(1, char(GR_USER))).at(0);
}

QString CardLogRecord::timeText() const
{
    return QDateTime::fromSecsSinceEpoch(TRANSAC_DTHR, QTimeZone::utc())
        .toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

QString CardLogRecord::serialDigits() const
{
    // Bytes 30 to 39 are the ten name bytes that precede the group byte.
    QString digits;
    digits.reserve(19);
    for (int i = 0; i < 19; ++i) {
        const auto b = quint8(NAME_USER.at(i / 2));
        const int half = (i % 2 == 0) ? (b >> 4) : (b & 0x0F);
        digits.append(QChar(char16_t(0x30 + half)));
    }
    return digits;
}

CardLogRecord::NameGroupChange CardLogRecord::nameGroupChange() const
{
    NameGroupChange c;
    c.nameChanged = PURSE_ID & 0x01;
    c.groupChanged = PURSE_ID & 0x02;
    c.readerError = PURSE_ID & 0x10;
    c.uidSize = PROD_ID_VM;
    c.wellFormed = c.uidSize >= 4 && NAME_USER.at(0) == '=';
    QByteArray text = NAME_USER.mid(1, 8);
    const qsizetype end = text.indexOf('\0');
    if (end >= 0)
        text.truncate(end);
    c.uid = TextCodec::fromCp1252(text);
    if (c.uidSize > 4)
        c.uid += QStringLiteral("%1").arg(PROD_ID, 8, 16, QLatin1Char('0')).toUpper();
    return c;
}

} // namespace zentro
