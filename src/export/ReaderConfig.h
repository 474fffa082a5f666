#pragma once

#include "app/Installation.h"
#include "export/ImageFields.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <optional>

namespace zentro {

class DesEcb;

// One reader's configuration record of a configuration image: the values as
// they come from CONFIGURACOES and ITENS (the column names are the member
// names), encoded into the 907 bytes the reader reads.
struct ReaderConfig
{
    static constexpr qsizetype Size = 907;
    static constexpr int GroupCount = 35;
    static constexpr int WhiteListMode = 241; // CONFIG_WHITEBLACK_LIST of a white list

    // One user group's limits, groups 0 … 9, A … Y in that order.
    struct Group
    {
        quint32 AUTOCREDITVALUE = 0;
        quint8 AUTOCREDITMODE = 0;
        quint8 USERFLAGS = 0;
        quint32 MAXDAYSALES = 0;
        quint32 MAXCREDITVALUE = 0;
    };

    // Identity, filled by the export.
    quint32 VERSAO = 0; // after preparation
    ImageFields::Serial serial{};
    quint16 ownerId = 0;
    quint16 clientId = 0;
    std::optional<CardKey> cardKey; // the entry of CARDKEY; none when CARDKEY is -1
    quint16 programVersion = 0;     // binary-coded decimal

    // CONFIGURACOES
    std::array<Group, GroupCount> groups{};
    quint32 CREDITDATEENABLED = 0;
    quint32 VARMONEYSTARTDATE = 0;
    quint32 VARMONEYENDDATE = 0;
    quint8 VARMONEYTAX = 0;
    quint8 TRANSLATEGROUP = 0;
    quint8 AUTOCREDITENABLED = 0;
    quint8 PASSWORDENABLED = 0;
    quint8 CHECKGROUP = 0;
    quint8 RESETGROUP = 0;
    int CONFIG_WHITEBLACK_LIST = 0;
    quint8 ONLYONWHITELIST = 0;
    quint8 ONLYONCREDITLIST = 0;
    quint8 ONLYONGROUPLIST = 0;
    quint8 LOGFILEOVERWRITE = 0;
    quint8 LOGFILEENABLED = 0;
    quint8 PASSWORDRETRY = 0;
    quint32 MAXUSERCREDIT = 0;
    quint32 MAXSUPERVCREDIT = 0;
    quint16 VALIDDAYS = 0;
    quint8 MULTIPURSEENABLED = 0;
    std::array<quint8, 4> PURSE_PRIO{}; // PURSE_PRIO0 … PURSE_PRIO3
    quint8 PURSE_RE = 0;
    quint8 BEEPPOSVENDA = 0;
    quint8 CARTAO_PROPRIETARIO_ONLINE = 0;
    QString CARTAO_PROPRIETARIO_ONLINE_GRP; // its first character is sent
    quint8 DISPLAY_FACTOR = 0;
    QString DISPLAY_NAME; // at most 16
    quint8 CHECKNAME = 0;
    QString CHECKNAME_MASK; // at most 32

    // ITENS
    quint8 DISPLAYTRUNCATE = 0;
    quint32 VALUEBEGINSESSION = 0;
    quint16 FLAG_VMC = 0;
    quint32 FLAG_VMC2 = 0;
    bool hasProductList = true; // clears FLAGVMC2_SEL_PULSO when false
    quint16 PULSE_TIMEON = 0;
    quint16 PULSE_TIMEOFF = 0;
    quint16 PULSE_TIMEPAUSE = 0;
    quint16 PULSE_TIMESIGNAL = 0;
    quint8 PULSE_AUTOSEND = 0;
    quint8 PULSE_INHIBITLEVEL = 0;
    std::array<quint8, 6> PULSE_VALUE{}; // PULSE_VALUE1 … PULSE_VALUE6
    quint8 AUTOVEND = 0;
    quint8 CODEPULSE = 0;
    quint8 POSWAITTIME = 0;
    quint8 POSMAXTRANSTIME = 0;
    quint8 POSMAXSELECTTIME = 0;
    quint8 POSMAXRELEASETIME = 0;

    // Fills every field, puts the CRC-16 of bytes 4 to 89 at 90, encrypts
    // bytes 4 to 91 and puts the CRC-32 of bytes 0 to 902 at 903, in that
    // order. Throws ImageError for a text longer than its field.
    QByteArray encode(const DesEcb &des) const;
};

} // namespace zentro
