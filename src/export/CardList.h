#pragma once

#include "export/ImageBlockHeader.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace zentro {

// One of a client's card lists as a configuration image carries it: the
// black or white list, groups, credits or bonus.
struct CardList
{
    enum class Kind { BlackList, WhiteList, Groups, Credits, Bonus };

    struct Entry
    {
        quint32 ID_CARTAO = 0;
        QString GRUPO;               // groups: its first character is sent
        quint8 AUTO_CREDIT_MODE = 0; // credits
        quint32 CREDITO = 0;         // credits, in cents
    };

    static constexpr qsizetype HeaderSize = 21;

    Kind kind = Kind::BlackList;
    quint32 readTime = 0; // when the list was read, image seconds
    QList<Entry> entries;

    // BlackList or WhiteList after CONFIG_WHITEBLACK_LIST (241 is a white list).
    static Kind blackWhiteKind(int configWhiteBlackList);
    static int maxEntries(Kind kind);
    static qsizetype entrySize(Kind kind);
    BlockType blockType() const;
    // Entries beyond the list's limit, which the image leaves out.
    int droppedEntries() const;

    // Header and entries ascending by ID_CARTAO, at most maxEntries(kind) of
    // them, the count telling exactly how many follow.
    QByteArray encode() const;
};

} // namespace zentro
