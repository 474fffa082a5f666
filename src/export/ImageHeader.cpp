#include "export/ImageHeader.h"

#include "app/Crc.h"
#include "export/FieldWriter.h"

namespace zentro {

QByteArray ImageHeader::encode() const
{
    QByteArray r(Size, '\0');
    FieldWriter w(r);
    w.u16(0, ConfigurationCard);
    w.u16(42, ownerId);
    w.u32(44, 0); // image number
    w.u32(48, completedAt);
    w.u16(56, programVersion);
    w.u32(58, Signature);
    w.u16(62, crc16Chained(QByteArrayView(r).first(62)));
    return r;
}

QByteArray ImageHeader::encodeTrailer() const
{
    QByteArray r(TrailerSize, '\0');
    FieldWriter w(r);
    for (int i = 0; i < 8; ++i)
        w.u8(i, quint8(0xF0 + i));
    w.u16(8, programVersion);
    w.u32(26, Signature);
    w.u16(30, TrailerEnd);
    return r;
}

} // namespace zentro
