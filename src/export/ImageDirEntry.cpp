#include "export/ImageDirEntry.h"

#include "app/Crc.h"
#include "export/FieldWriter.h"

namespace zentro {

QByteArray ImageDirEntry::encode() const
{
    QByteArray r(Size, '\0');
    FieldWriter w(r);
    w.bytes(0, QByteArrayView(serial.data(), qsizetype(serial.size())));
    w.u16(8, groups);
    w.u16(10, credits);
    w.u16(12, blackWhiteList);
    w.u16(14, products);
    w.u16(16, bonus);
    w.u16(18, configuration);
    w.u16(20, autoFormat);
    w.u32(22, preparedAt);
    w.u32(26, VERSAO);
    w.u16(30, crc16Chained(QByteArrayView(r).first(30)));
    return r;
}

} // namespace zentro
