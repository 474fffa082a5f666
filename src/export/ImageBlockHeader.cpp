#include "export/ImageBlockHeader.h"

#include "app/Crc.h"
#include "export/FieldWriter.h"

namespace zentro {

QByteArray ImageBlockHeader::encode(BlockType type, std::initializer_list<QByteArrayView> body)
{
    qsizetype length = 0;
    quint16 crc = Crc16Initial;
    for (const QByteArrayView piece : body) {
        length += piece.size();
        crc = crc16Chained(piece, crc);
    }
    Q_ASSERT(length <= MaxBodyLength);

    QByteArray h(Size, '\0');
    FieldWriter w(h);
    w.u16(0, quint16(type));
    w.u24(2, quint32(length));
    w.u16(6, crc);
    return h;
}

} // namespace zentro
