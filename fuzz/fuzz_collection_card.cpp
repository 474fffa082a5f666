// The collection card decoder on arbitrary bytes: the input is file 3F40h,
// file 3F41h and the log area one after the other, each as far as it goes.

#include "logs/CollectionCard.h"
#include "logs/LogTransac.h"

#include <cstdint>
#include <cstdlib>

using namespace zentro;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView in(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype headerEnd = qMin(in.size(), CollectionCard::HeaderSize);
    const qsizetype directoryEnd = qMin(in.size(), CollectionCard::HeaderSize + CollectionCard::DirectorySize);
    const CollectionCard card = CollectionCard::decode(
        in.first(headerEnd), in.sliced(headerEnd, directoryEnd - headerEnd), in.sliced(directoryEnd));

    if (card.entries().size() != CollectionCard::EntryCount)
        std::abort();
    for (const CollectionCard::Entry &entry : card.entries()) {
        if (entry.state != CollectionCard::EntryState::Valid) {
            if (entry.recordCount != 0)
                std::abort();
            continue;
        }
        if (entry.recordCount > CollectionCard::MaxRecords ||
            entry.dataOffset + entry.recordCount * CardLogRecord::Size > in.size() - directoryEnd)
            std::abort();
        const QString serial = entry.dir.hwSerie();
        const QString version = entry.dir.readerVersionText();
        for (qsizetype k = 0; k < entry.recordCount; ++k) {
            const CardLogRecord record = card.record(entry, k);
            const QString line = LogTransac::fromRecord(record, serial, version).csvLine();
            if (line.count(QLatin1Char(';')) != 21 || line.contains(QLatin1Char('\n')))
                std::abort();
            if (record.TRANSAC_TP == CardLogRecord::TypeNameGroupChange)
                (void)record.nameGroupChange();
        }
    }
    (void)CollectionCard::decodeImage(in);
    return 0;
}
