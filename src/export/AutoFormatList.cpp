#include "export/AutoFormatList.h"

#include "app/Crc.h"
#include "app/TextCodec.h"
#include "export/FieldWriter.h"
#include "export/ImageError.h"
#include "export/ImageFields.h"

namespace zentro {

int AutoFormatList::droppedEntries() const
{
    return int(qMax<qsizetype>(0, items.size() - MaxItems));
}

QByteArray AutoFormatList::encode() const
{
    const qsizetype count = qMin<qsizetype>(items.size(), MaxItems);
    QByteArray r(HeaderSize + count * ItemSize, '\0');
    FieldWriter w(r);

    bool anyItemFlag = false;
    for (qsizetype i = 0; i < count; ++i) {
        const Item &item = items.at(i);
        const qsizetype at = HeaderSize + i * ItemSize;
        w.u32(at, item.IDENT);
        w.u32(at + 4, item.CPF);
        if (TextCodec::toCp1252(item.MATRIC).size() > 12)
            throw ImageError(QStringLiteral("MATRIC"),
                             QStringLiteral("A matrícula \"%1\" do cartão %2 tem mais de 12 caracteres")
                                 .arg(item.MATRIC)
                                 .arg(item.IDENT));
        w.cutText(at + 8, 12, item.MATRIC, '\0');
        w.bytes(at + 20, ImageFields::uid(item.UID));
        w.u8(at + 30, FieldWriter::firstChar(item.GROUP));
        w.u8(at + 31, item.FLAGS);
        w.cutText(at + 32, 16, item.NAMEUSER, ' ');
        anyItemFlag = anyItemFlag || (item.FLAGS & 0x01);
    }

    w.u8(0, 0xF7);
    w.u32(1, VERSION);
    w.u32(5, quint32(count));
    w.u32(9, readTime);
    w.u32(13, BEGINTIME);
    w.u32(17, ENDTIME);
    w.u8(21, FLAGS | (anyItemFlag ? AnyItemFlag : 0));
    w.u8(22, FIELDIDIX);
    w.u8(23, FIELDCONFIRMIX);
    w.cutText(24, 16, IDTEXT, ' ');
    w.cutText(40, 16, CONFIRM, ' ');
    // The first CRC is taken while its own place and the second are zero,
    // the second over the header with the first in place.
    w.u32(56, crc32Chained(QByteArrayView(r).first(60)));
    w.u32(60, crc32Chained(QByteArrayView(r).first(60)));
    return r;
}

} // namespace zentro
