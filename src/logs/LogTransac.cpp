#include "logs/LogTransac.h"

#include "app/Helpers.h"
#include "logs/CardLogRecord.h"

namespace zentro {

namespace {

// The file has no quoting: a separator or a line end inside a text would
// shift every later column of the line when the file is read back.
QString csvText(QString text)
{
    for (QChar &c : text) {
        if (c == QLatin1Char(';') || c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            c = QLatin1Char(' ');
    }
    return text;
}

} // namespace

LogTransac LogTransac::fromRecord(const CardLogRecord &record, const QString &hwSerie, const QString &readerVersion)
{
    LogTransac t;
    t.TAG = record.TAG;
    t.TRANSAC_TP = record.TRANSAC_TP;
    const bool bySerial = record.CARDTYPE == CardLogRecord::CardBySerial;
    t.NAME_USER = bySerial ? QStringLiteral("CARD SN") : record.name();
    t.GR_USER = record.group();
    t.PURSE_ID = record.PURSE_ID;
    t.CARDTYPE = record.CARDTYPE;
    t.VM_ID = record.VM_ID;
    t.TRANSAC_ID = record.TRANSAC_ID;
    t.PROD_ID_VM = record.PROD_ID_VM;
    t.PROD_ID = record.PROD_ID == CardLogRecord::NoProduct ? 0 : record.PROD_ID;
    t.TRANSAC_DTHR = record.timeText();
    t.SEQT_CARD = record.SEQT_CARD;
    t.SALDO_INI = record.SALDO_INI;
    t.CARD_ID = record.CARD_ID;
    if (record.TRANSAC_TP == CardLogRecord::TypeAutoFormat) {
        // The value field carries the identifier of the card that was formatted.
        t.TRANSAC_VL = 0;
        t.CARD_IDENT = QString::number(record.TRANSAC_VL);
    } else {
        t.TRANSAC_VL = record.TRANSAC_VL;
        t.CARD_IDENT = bySerial ? record.serialDigits() : QString::number(record.CARD_ID);
    }
    t.HW_SERIE = hwSerie;
    t.READER_VERSION = readerVersion;
    return t;
}

QString LogTransac::csvHeader()
{
    return QStringLiteral("HW_SERIE;NAME_USER;GR_USER;VM_ID;TRANSAC_ID;TRANSAC_DH;TRANSAC_TP;PROD_ID;PROD_ID_VM;"
                          "CARDTYPE;PURSE_ID;SEQT_CARD;TRANSAC_VL;CARD_ID;CARD_IDENT;SALDO_INI;TAG;VALID_CRC;"
                          "IS_LOG_ERROR;EDITADO;ID_CLIENTE;CRC");
}

QString LogTransac::csvLine() const
{
    const QStringList values = {
        csvText(HW_SERIE),
        csvText(DoubleChars(NAME_USER, QStringLiteral("'"))),
        csvText(GR_USER),
        QString::number(VM_ID),
        QString::number(TRANSAC_ID),
        TRANSAC_DTHR,
        QString::number(TRANSAC_TP),
        QString::number(PROD_ID),
        QString::number(PROD_ID_VM),
        QString::number(CARDTYPE),
        QString::number(PURSE_ID),
        QString::number(SEQT_CARD),
        QString::number(TRANSAC_VL),
        QString::number(CARD_ID),
        csvText(CARD_IDENT),
        QString::number(SALDO_INI),
        QString::number(TAG),
        VALID_CRC,
        IS_LOG_ERROR,
        EDITADO,
        ID_CLIENTE,
        CRC,
    };
    return values.join(QLatin1Char(';'));
}

} // namespace zentro
