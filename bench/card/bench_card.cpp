// Reads and writes the whole 819,200-byte data area of a virtual card through
// pcscd, with the card command layer and the reader component, and sends the
// same APDUs in a bare libpcsclite loop in the same run; prints both and the
// ratio. Needs pcscd with the vpcd reader: scripts/pcscd-private start DIR.

#include "card/CardCommands.h"
#include "card/CardModel.h"
#include "card/CardTemplates.h"
#include "card/TPCSC.h"
#include "card/VpcdClient.h"

#include <PCSC/winscard.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <cstdio>
#include <cstring>
#include <vector>

using namespace zentro;

namespace {

const char *const Reader = "Virtual PCD 00 00";
constexpr quint32 Area = CardFiles::DataAreaSize;

struct Figure
{
    double seconds = 1e30;
    quint64 exchanges = 0;
};

// The APDUs the data-area functions send, built in advance for the bare loop.
std::vector<QByteArray> areaCommands(bool write, const QByteArray &data, quint32 from, quint32 count)
{
    std::vector<QByteArray> commands;
    for (quint32 offset = from; offset < from + count;) {
        const quint32 inFile = CardFiles::dataAreaFileOffset(offset);
        const quint32 chunk =
            std::min<quint32>({quint32(CardFiles::ChunkSize), from + count - offset, CardFiles::DataFileSize - inFile});
        const quint16 file = CardFiles::dataAreaFileId(offset);
        QByteArray select = QByteArray::fromHex("00A4000C02");
        select.append(char(file >> 8)).append(char(file & 0xFF));
        commands.push_back(select);
        QByteArray c = QByteArray::fromHex(write ? "00D6000000" : "00B0000000");
        c[2] = char(inFile >> 8);
        c[3] = char(inFile & 0xFF);
        c[4] = char(chunk);
        if (write)
            c.append(data.mid(offset, chunk));
        commands.push_back(c);
        offset += chunk;
    }
    return commands;
}

Figure bare(SCARDHANDLE card, DWORD protocol, const std::vector<QByteArray> &commands, bool *ok)
{
    const SCARD_IO_REQUEST *pci = protocol == SCARD_PROTOCOL_T0 ? SCARD_PCI_T0 : SCARD_PCI_T1;
    unsigned char answer[258];
    QElapsedTimer clock;
    clock.start();
    for (const QByteArray &c : commands) {
        DWORD length = sizeof answer;
        if (SCardTransmit(card, pci, reinterpret_cast<const unsigned char *>(c.constData()), DWORD(c.size()), nullptr,
                          answer, &length) != SCARD_S_SUCCESS ||
            length < 2 || answer[length - 2] != 0x90) {
            *ok = false;
            break;
        }
    }
    Figure f;
    f.seconds = clock.nsecsElapsed() / 1e9;
    f.exchanges = commands.size();
    return f;
}

void keepBest(Figure &best, const Figure &f)
{
    if (f.seconds < best.seconds)
        best = f;
}

Figure total(const std::vector<Figure> &slices)
{
    Figure t;
    t.seconds = 0;
    for (const Figure &f : slices) {
        t.seconds += f.seconds;
        t.exchanges += f.exchanges;
    }
    return t;
}

void line(const char *label, const Figure &f)
{
    std::printf("  %-22s %12.0f %10llu %10.3f\n", label, Area / f.seconds, static_cast<unsigned long long>(f.exchanges),
                f.seconds);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;

    SCARDCONTEXT context = 0;
    if (SCardEstablishContext(SCARD_SCOPE_USER, nullptr, nullptr, &context) != SCARD_S_SUCCESS) {
        std::fprintf(stderr, "bench_card: o pcscd não está rodando (scripts/pcscd-private start DIR)\n");
        return 1;
    }

    CardModel card(2 * 1024 * 1024);
    card.process(CardTemplates::initialisation());
    card.process(CardTemplates::headerFile(CardFiles::KindCollection));
    card.process(CardTemplates::directoryFile());
    for (int i = 0; i < CardFiles::DataAreaFiles; ++i)
        card.process(CardTemplates::dataFile(CardFiles::dataFileId(i)));
    VpcdClient client(card);
    client.start();
    if (!client.waitConnected(5000)) {
        std::fprintf(stderr, "bench_card: o vpcd não aceitou o cartão: %s\n", qPrintable(client.lastError()));
        return 1;
    }

    TPCSC pcsc;
    if (!pcsc.Init() || pcsc.ReaderList().indexOf(QString::fromLatin1(Reader)) < 0) {
        std::fprintf(stderr, "bench_card: o leitor \"%s\" não existe\n", Reader);
        return 1;
    }
    pcsc.SetUseReaderNum(int(pcsc.ReaderList().indexOf(QString::fromLatin1(Reader))));
    QElapsedTimer wait;
    wait.start();
    while (!pcsc.Connect()) {
        if (wait.elapsed() > 10000) {
            std::fprintf(stderr, "bench_card: o pcscd não viu o cartão virtual\n");
            return 1;
        }
        QThread::msleep(50);
    }
    SCARDHANDLE handle = 0;
    DWORD protocol = 0;
    if (SCardConnect(context, Reader, SCARD_SHARE_SHARED, SCARD_PROTOCOL_T0 | SCARD_PROTOCOL_T1, &handle, &protocol) !=
        SCARD_S_SUCCESS) {
        std::fprintf(stderr, "bench_card: SCardConnect falhou\n");
        return 1;
    }

    QByteArray data(Area, '\0');
    for (quint32 i = 0; i < Area; ++i)
        data[i] = char((i * 2654435761u) >> 24);

    // The machine is shared and its speed drifts: both ways are timed file by
    // file, one after the other, and each file keeps its best time over the
    // rounds.
    constexpr int Files = CardFiles::DataAreaFiles;
    constexpr quint32 Slice = CardFiles::DataFileSize;
    std::vector<std::vector<QByteArray>> writes, reads;
    for (int s = 0; s < Files; ++s) {
        writes.push_back(areaCommands(true, data, s * Slice, Slice));
        reads.push_back(areaCommands(false, data, s * Slice, Slice));
    }
    std::vector<Figure> ourWrite(Files), ourRead(Files), bareWrite(Files), bareRead(Files);
    bool ok = true;
    QByteArray back(Area, '\0');
    auto ours = [&](int s, bool write) {
        Figure f;
        const quint64 before = pcsc.exchangeCount();
        QElapsedTimer clock;
        clock.start();
        const qint16 r =
            write ? WriteCardArea(pcsc, s * Slice, Slice, nullptr,
                                  reinterpret_cast<const quint8 *>(data.constData()) + s * Slice)
                  : ReadCardArea(pcsc, s * Slice, Slice, nullptr, reinterpret_cast<quint8 *>(back.data()) + s * Slice);
        f.seconds = clock.nsecsElapsed() / 1e9;
        f.exchanges = pcsc.exchangeCount() - before;
        ok = ok && r == sc::Ok;
        return f;
    };
    // Round 0 warms pcscd, vpcd and the caches up and is not counted.
    for (int round = 0; round <= rounds && ok; ++round) {
        if (round == 1) {
            ourWrite = ourRead = bareWrite = bareRead = std::vector<Figure>(Files);
        }
        back.fill('\0');
        for (int s = 0; s < Files && ok; ++s) {
            if (round % 2 == 0) {
                keepBest(ourWrite[s], ours(s, true));
                keepBest(bareWrite[s], bare(handle, protocol, writes[s], &ok));
                keepBest(ourRead[s], ours(s, false));
                keepBest(bareRead[s], bare(handle, protocol, reads[s], &ok));
            } else {
                keepBest(bareWrite[s], bare(handle, protocol, writes[s], &ok));
                keepBest(ourWrite[s], ours(s, true));
                keepBest(bareRead[s], bare(handle, protocol, reads[s], &ok));
                keepBest(ourRead[s], ours(s, false));
            }
        }
        ok = ok && back == data;
    }
    SCardDisconnect(handle, SCARD_LEAVE_CARD);
    SCardReleaseContext(context);
    pcsc.Close();
    client.stop();
    if (!ok) {
        std::fprintf(stderr, "bench_card: uma troca falhou ou os dados lidos diferem dos gravados\n");
        return 1;
    }

    const Figure w = total(ourWrite), bw = total(bareWrite), r = total(ourRead), br = total(bareRead);
    std::printf("Área de dados de %u bytes de um cartão virtual pelo pcscd (melhor de %d rodadas por "
                "arquivo)\n",
                Area, rounds);
    std::printf("  %-22s %12s %10s %10s\n", "", "bytes/s", "trocas", "segundos");
    line("gravação (Zentro)", w);
    line("gravação (libpcsclite)", bw);
    line("leitura (Zentro)", r);
    line("leitura (libpcsclite)", br);
    std::printf("  razão de tempo Zentro / libpcsclite: gravação %.3f, leitura %.3f\n", w.seconds / bw.seconds,
                r.seconds / br.seconds);
    return 0;
}
