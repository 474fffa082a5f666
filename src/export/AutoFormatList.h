#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace zentro {

// An auto-format list (AUTOFORMAT_HEADER and its AUTOFORMAT_ITEM rows) as a
// configuration image carries it.
struct AutoFormatList
{
    struct Item
    {
        quint32 IDENT = 0;
        quint32 CPF = 0;
        QString MATRIC; // at most 12: a longer one makes the list unreadable
        QString UID;    // hexadecimal
        QString GROUP;  // its first character is sent
        quint8 FLAGS = 0;
        QString NAMEUSER; // cut at 16, space-padded
    };

    static constexpr qsizetype HeaderSize = 64;
    static constexpr qsizetype ItemSize = 48;
    static constexpr int MaxItems = 7500;
    // Set in the header's FLAGS when any item's FLAGS has bit 01h.
    static constexpr quint8 AnyItemFlag = 0x02;

    quint32 VERSION = 0;
    quint32 readTime = 0;
    quint32 BEGINTIME = 0;
    quint32 ENDTIME = 0;
    quint8 FLAGS = 0;
    quint8 FIELDIDIX = 0;
    quint8 FIELDCONFIRMIX = 0;
    QString IDTEXT;  // cut at 16, space-padded
    QString CONFIRM; // cut at 16, space-padded
    QList<Item> items;

    int droppedEntries() const;

    // Header and at most MaxItems items in the order given. Throws ImageError
    // for a MATRIC longer than 12 characters or a UID that is not hexadecimal.
    QByteArray encode() const;
};

} // namespace zentro
