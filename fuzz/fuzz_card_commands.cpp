// The card model behind the virtual card, fed arbitrary command APDUs: every
// answer ends with a status word, and the card never holds more than its
// capacity, whatever the commands ask for.

#include "card/CardModel.h"

#include <cstdint>
#include <cstdlib>

using namespace zentro;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // A small card, so that "card full" is reached often.
    CardModel card(8192);
    size_t at = 0;
    // Each command: one length byte, then that many bytes (cut at the end of the input).
    while (at < size) {
        const size_t length = data[at++];
        const size_t take = length < size - at ? length : size - at;
        const QByteArray command(reinterpret_cast<const char *>(data + at), qsizetype(take));
        at += take;
        const QByteArray answer = card.process(command);
        if (answer.size() < 2 || answer.size() > 258)
            std::abort();
        if (card.usedSpace() > card.capacity())
            std::abort();
    }
    return 0;
}
