#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace zentro {

// A reader's product list as a configuration image carries it.
struct ProductList
{
    struct Product
    {
        quint32 ID_PROD = 0;
        int VM_ID = 0;     // a negative position is sent as -1
        QString GRUPO;     // "*" for every group; its first character is sent
        QString NOME_PROD; // cut at 10 characters
        quint32 PRECO = 0; // cents
    };

    static constexpr qsizetype HeaderSize = 25;
    static constexpr qsizetype EntrySize = 24;
    static constexpr int MaxEntries = 1024;

    quint32 readTime = 0;
    quint32 MIN_PRICE = 0;
    QList<Product> products; // ordered by GRUPO, then VM_ID

    int droppedEntries() const;

    // The products whose GRUPO is not "*" first, then those of every group,
    // each in the order given; at most MaxEntries. Throws ImageError for a
    // VM_ID above 32767.
    QByteArray encode() const;
};

} // namespace zentro
