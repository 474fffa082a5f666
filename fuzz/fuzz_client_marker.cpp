// The client marker decoder on arbitrary bytes, and the marker this program
// writes read back as valid whatever it was made from.

#include "logs/ClientMarker.h"

#include <QTimeZone>

#include <cstdint>
#include <cstdlib>

using namespace zentro;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView in(reinterpret_cast<const char *>(data), qsizetype(size));
    const ClientMarker m = ClientMarker::decode(in);
    if (m.isValidFor(m.ownerId) != (m.complete && m.crcMatches))
        std::abort();
    if (!m.complete)
        return 0;

    const QDateTime marked = QDateTime::fromSecsSinceEpoch(m.markingTime, QTimeZone::utc());
    const QByteArray written = ClientMarker::encode(m.ownerId, marked, m.programVersion);
    const ClientMarker back = ClientMarker::decode(written);
    if (written.size() != ClientMarker::Size || !back.isValidFor(m.ownerId) || back.markingTime != m.markingTime ||
        back.programVersion != m.programVersion || back.cardKind != ClientMarker::CollectionCard)
        std::abort();
    return 0;
}
