#include "export/ProductList.h"

#include "app/Crc.h"
#include "export/FieldWriter.h"
#include "export/ImageError.h"

#include <algorithm>

namespace zentro {

int ProductList::droppedEntries() const
{
    return int(qMax<qsizetype>(0, products.size() - MaxEntries));
}

QByteArray ProductList::encode() const
{
    QList<Product> ordered = products;
    std::stable_partition(ordered.begin(), ordered.end(),
                          [](const Product &p) { return p.GRUPO != QLatin1String("*"); });
    const qsizetype count = qMin<qsizetype>(ordered.size(), MaxEntries);

    QByteArray r(HeaderSize + count * EntrySize, '\0');
    FieldWriter w(r);
    w.u8(0, 0xF2);
    w.u32(5, quint32(count));
    w.u32(9, readTime);
    w.u32(13, MIN_PRICE);
    w.u32(21, crc32Chained(QByteArrayView(r).first(21)));

    for (qsizetype i = 0; i < count; ++i) {
        const Product &p = ordered.at(i);
        if (p.VM_ID > 0x7FFF)
            throw ImageError(QStringLiteral("VM_ID"),
                             QStringLiteral("VM_ID %1 do produto %2 está acima de 32767").arg(p.VM_ID).arg(p.ID_PROD));
        const qsizetype at = HeaderSize + i * EntrySize;
        w.u32(at, p.ID_PROD);
        w.i16(at + 4, qint16(p.VM_ID < 0 ? -1 : p.VM_ID));
        w.u8(at + 6, FieldWriter::firstChar(p.GRUPO));
        w.cutText(at + 7, 10, p.NOME_PROD, '\0');
        w.u32(at + 20, p.PRECO);
    }
    return r;
}

} // namespace zentro
