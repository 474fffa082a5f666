#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace zentro {

// One 46-byte transaction log as a reader writes it onto a collection card.
struct CardLogRecord
{
    static constexpr qsizetype Size = 46;
    static constexpr quint8 TypeAutoFormat = 98;      // "b"
    static constexpr quint8 TypeNameGroupChange = 53; // "5", LOG_TYPE_CHG_NAME_GROUP
    static constexpr quint8 CardBySerial = 'F';       // CARDTYPE of a card known by its serial number
    static constexpr quint32 NoProduct = 0xFFFFFFFFu;

    quint8 TAG = 0;
    quint32 TRANSAC_ID = 0;
    quint8 TRANSAC_TP = 0;
    quint16 VM_ID = 0;
    quint16 PROD_ID_VM = 0;
    quint32 PROD_ID = 0;
    quint32 TRANSAC_DTHR = 0; // seconds from 1970, the reader's local time
    qint32 TRANSAC_VL = 0;
    quint8 CARDTYPE = 0;
    quint8 PURSE_ID = 0;
    quint16 SEQT_CARD = 0;
    qint32 SALDO_INI = 0;
    QByteArray NAME_USER; // the 11 raw bytes at 30
    quint8 GR_USER = 0;
    quint32 CARD_ID = 0;

    // Exactly 46 bytes.
    static CardLogRecord decode(QByteArrayView bytes);

    // The holder's name: the bytes up to the first zero, at most 11.
    QString name() const;
    // The group character; a zero byte stands for "0".
    QChar group() const;
    // TRANSAC_DTHR as "YYYY-MM-DD hh:nn:ss".
    QString timeText() const;
    // CARDTYPE "F": 19 digits from bytes 30 to 39, high half-byte first,
    // each half-byte plus 30h.
    QString serialDigits() const;

    // A name or group change (type 53): PURSE_ID is a flag byte, byte 30 is
    // "=", bytes 31 to 38 the first 8 characters of the card's UID and
    // PROD_ID_VM the UID size in bytes.
    struct NameGroupChange
    {
        bool nameChanged = false;
        bool groupChanged = false;
        bool readerError = false;
        int uidSize = 0;
        bool wellFormed = false; // size at least 4 and "=" at byte 30
        QString uid;
    };
    NameGroupChange nameGroupChange() const;
};

} // namespace zentro
