#include "export/ReaderConfig.h"

#include "app/Crc.h"
#include "export/DesEcb.h"
#include "export/FieldWriter.h"

namespace zentro {

QByteArray ReaderConfig::encode(const DesEcb &des) const
{
    QByteArray r(Size, '\0');
    FieldWriter w(r);

    w.u32(0, VERSAO);
    w.bytes(4, QByteArrayView(serial.data(), qsizetype(serial.size())));
    w.u16(12, ownerId);
    if (cardKey) {
        w.u16(14, cardKey->value1);
        w.u16(16, cardKey->value2);
        w.bytes(20, cardKey->key.left(16));
        w.bytes(36, cardKey->value3.left(3));
        w.bytes(39, cardKey->value4.left(2));
        w.u16(41, cardKey->number);
    } else {
        w.fill(14, 4, char(0xFF));
        w.fill(20, 16 + 3 + 2 + 2, char(0xFF));
    }
    w.u16(18, clientId);
    // 43..85: zero, including the ten reserved bytes at 76.
    w.u16(86, programVersion);

    for (int g = 0; g < GroupCount; ++g) {
        const Group &group = groups[size_t(g)];
        const qsizetype at = 92 + 14 * g;
        w.u32(at, group.AUTOCREDITVALUE);
        w.u8(at + 4, group.AUTOCREDITMODE);
        w.u8(at + 5, group.USERFLAGS);
        w.u32(at + 6, group.MAXDAYSALES);
        w.u32(at + 10, group.MAXCREDITVALUE);
    }
    w.u32(582, CREDITDATEENABLED);
    w.u32(586, VARMONEYSTARTDATE);
    w.u32(590, VARMONEYENDDATE);
    w.u8(594, VARMONEYTAX);
    w.u8(595, TRANSLATEGROUP);
    w.u8(596, AUTOCREDITENABLED);
    w.u8(597, 1);
    w.u8(598, PASSWORDENABLED);
    w.u8(599, CHECKGROUP);
    w.u8(600, RESETGROUP);
    w.u8(602, CONFIG_WHITEBLACK_LIST == WhiteListMode ? ONLYONWHITELIST : 0);
    w.u8(603, ONLYONCREDITLIST);
    w.u8(604, ONLYONGROUPLIST);
    w.u8(605, LOGFILEOVERWRITE);
    w.u8(606, LOGFILEENABLED);
    w.u8(607, DISPLAYTRUNCATE);
    w.u8(608, ImageFields::pulseValueCode(PULSE_VALUE[0]));
    w.u8(609, PASSWORDRETRY);
    w.u32(610, MAXUSERCREDIT);
    w.u32(614, MAXSUPERVCREDIT);
    w.u16(618, 0x066B);
    w.u16(620, VALIDDAYS);
    w.u8(622, MULTIPURSEENABLED);
    for (int i = 0; i < 4; ++i)
        w.u8(623 + i, PURSE_PRIO[size_t(i)]);
    w.u8(627, PURSE_RE);
    w.u32(813, VALUEBEGINSESSION);
    w.u8(817, BEEPPOSVENDA);
    w.u8(818, CARTAO_PROPRIETARIO_ONLINE);
    w.u8(819, FieldWriter::firstChar(CARTAO_PROPRIETARIO_ONLINE_GRP));
    w.u8(820, DISPLAY_FACTOR);
    w.u16(821, FLAG_VMC);
    w.text(823, 16, DISPLAY_NAME, QStringLiteral("DISPLAY_NAME"));
    w.u8(843, CHECKNAME);
    w.text(844, 32, CHECKNAME_MASK, QStringLiteral("CHECKNAME_MASK"));
    w.u16(876, PULSE_TIMEON);
    w.u16(878, PULSE_TIMEOFF);
    w.u16(880, PULSE_TIMEPAUSE);
    w.u16(882, PULSE_TIMESIGNAL);
    w.u8(884, PULSE_AUTOSEND);
    w.u8(885, PULSE_INHIBITLEVEL);
    for (int i = 0; i < 6; ++i)
        w.u8(886 + i, PULSE_VALUE[size_t(i)]);
    w.u8(892, AUTOVEND);
    w.u8(893, CODEPULSE);
    w.u8(894, POSWAITTIME);
    w.u8(895, POSMAXTRANSTIME);
    w.u8(896, POSMAXSELECTTIME);
    w.u8(897, POSMAXRELEASETIME);
    w.u32(898, ImageFields::optionBits(FLAG_VMC2, hasProductList));
    w.u8(902, 0x01); // a ReaderNetwork follows

    w.u16(90, crc16Chained(QByteArrayView(r).sliced(4, 86)));
    w.bytes(4, des.encrypt(QByteArrayView(r).sliced(4, 88)));
    w.u32(903, crc32Chained(QByteArrayView(r).first(903)));
    return r;
}

} // namespace zentro
