#include "export/CardList.h"

#include "app/Crc.h"
#include "export/FieldWriter.h"
#include "export/ReaderConfig.h"

#include <algorithm>

namespace zentro {

namespace {

quint8 marker(CardList::Kind kind)
{
    switch (kind) {
    case CardList::Kind::BlackList:
        return 0xF0;
    case CardList::Kind::WhiteList:
        return 0xF1;
    case CardList::Kind::Groups:
        return 0xF3;
    case CardList::Kind::Credits:
        return 0xF4;
    case CardList::Kind::Bonus:
        return 0xF5;
    }
    return 0;
}

} // namespace

CardList::Kind CardList::blackWhiteKind(int configWhiteBlackList)
{
    return configWhiteBlackList == ReaderConfig::WhiteListMode ? Kind::WhiteList : Kind::BlackList;
}

int CardList::maxEntries(Kind kind)
{
    switch (kind) {
    case Kind::BlackList:
    case Kind::WhiteList:
        return 16500;
    case Kind::Groups:
        return 12500;
    case Kind::Credits:
        return 7250;
    case Kind::Bonus:
        return 5200;
    }
    return 0;
}

qsizetype CardList::entrySize(Kind kind)
{
    switch (kind) {
    case Kind::BlackList:
    case Kind::WhiteList:
        return 4;
    case Kind::Groups:
        return 5;
    case Kind::Credits:
    case Kind::Bonus:
        return 9;
    }
    return 0;
}

BlockType CardList::blockType() const
{
    switch (kind) {
    case Kind::BlackList:
    case Kind::WhiteList:
        return BlockType::BlackWhiteList;
    case Kind::Groups:
        return BlockType::Groups;
    case Kind::Credits:
        return BlockType::Credits;
    case Kind::Bonus:
        return BlockType::Bonus;
    }
    return BlockType::BlackWhiteList;
}

int CardList::droppedEntries() const
{
    return int(qMax<qsizetype>(0, entries.size() - maxEntries(kind)));
}

QByteArray CardList::encode() const
{
    // Readers search the entries by card number, so the order is part of the format.
    QList<Entry> sorted = entries;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const Entry &a, const Entry &b) { return a.ID_CARTAO < b.ID_CARTAO; });
    const qsizetype count = qMin<qsizetype>(sorted.size(), maxEntries(kind));
    const qsizetype size = entrySize(kind);

    QByteArray r(HeaderSize + count * size, '\0');
    FieldWriter w(r);
    w.u8(0, marker(kind));
    w.u32(5, quint32(count));
    w.u32(9, readTime);
    w.u32(17, crc32Chained(QByteArrayView(r).first(17)));

    for (qsizetype i = 0; i < count; ++i) {
        const Entry &e = sorted.at(i);
        const qsizetype at = HeaderSize + i * size;
        w.u32(at, e.ID_CARTAO);
        if (kind == Kind::Groups) {
            w.u8(at + 4, FieldWriter::firstChar(e.GRUPO));
        } else if (kind == Kind::Credits) {
            w.u8(at + 4, e.AUTO_CREDIT_MODE);
            w.u32(at + 5, e.CREDITO);
        }
    }
    return r;
}

} // namespace zentro
