#pragma once

#include <QString>

namespace zentro {

struct CardLogRecord;

// One decoded log: the values handed to LOG_INSERT and written as one line
// of the collection CSV file.
struct LogTransac
{
    quint8 TAG = 0;
    quint8 TRANSAC_TP = 0;
    QString NAME_USER;
    QString GR_USER;
    quint8 PURSE_ID = 0;
    quint8 CARDTYPE = 0;
    quint16 VM_ID = 0;
    quint32 TRANSAC_ID = 0;
    quint16 PROD_ID_VM = 0;
    quint32 PROD_ID = 0;
    QString TRANSAC_DTHR; // "YYYY-MM-DD hh:nn:ss"
    qint32 TRANSAC_VL = 0;
    quint16 SEQT_CARD = 0;
    qint32 SALDO_INI = 0;
    quint32 CARD_ID = 0;
    QString CARD_IDENT;
    QString HW_SERIE;
    QString READER_VERSION;
    QString IS_LOG_ERROR = QStringLiteral("0");
    QString EDITADO = QStringLiteral("0");
    QString ID_CLIENTE = QStringLiteral("0");
    QString CRC = QStringLiteral("0");
    QString VALID_CRC = QStringLiteral("0");

    // From a card record and the texts of its directory entry, with the
    // special meanings of auto-format records and of card-serial cards.
    static LogTransac fromRecord(const CardLogRecord &record, const QString &hwSerie, const QString &readerVersion);

    // The first line of a collection CSV file.
    static QString csvHeader();
    // The 22 values separated by ";", without the line end.
    QString csvLine() const;
};

} // namespace zentro
