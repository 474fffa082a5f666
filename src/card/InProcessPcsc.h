#pragma once

#include "card/CardModel.h"
#include "card/PcscBackend.h"

#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>

namespace zentro {

// A PC/SC service inside the process: readers that exist only here, with card
// models put in and taken out by the caller. The reader component runs on it
// unchanged, so card windows and their events can be tested without pcscd.
//
// Every call may come from any thread.
class InProcessPcsc : public PcscBackend
{
public:
    // What a hook may answer in place of the card: raw bytes, or a failure code.
    struct Answer
    {
        QByteArray bytes;
        pcsc::Result code = pcsc::Success;
    };
    using TransmitHook = std::function<std::optional<Answer>(const QByteArray &command)>;

    static constexpr const char *VendorName = "Zentro";
    static constexpr const char *VendorSerial = "IPC-0001";

    void addReader(const QByteArray &name);
    // The reader is unplugged: waits on it see it go, then fail.
    void removeReader(const QByteArray &name);
    // mute: the card is present but does not answer its reset.
    void insertCard(const QByteArray &reader, std::shared_ptr<CardModel> card, bool mute = false);
    void removeCard(const QByteArray &reader);
    void setMute(const QByteArray &reader, bool mute);
    std::shared_ptr<CardModel> card(const QByteArray &reader) const;

    // false: as when pcscd is not running.
    void setServiceRunning(bool running);
    void setAttributeFails(quint32 attribute, bool fails);
    // The protocol connect negotiates when the caller offers it.
    void setCardProtocol(quint32 protocol);
    // Called before the card for every exchange; an answer replaces the card's.
    void setTransmitHook(TransmitHook hook);
    // A status wait first sleeps this long, as a thread the system leaves
    // waiting between deciding to wait and waiting.
    void setWaitEntryPause(int milliseconds);

    int statusWaits() const;
    int transmits() const;

    pcsc::Result establishContext(PcscContext *context) override;
    pcsc::Result releaseContext(PcscContext context) override;
    pcsc::Result isValidContext(PcscContext context) override;
    pcsc::Result listReaders(PcscContext context, QList<QByteArray> *names) override;
    pcsc::Result getStatusChange(PcscContext context, const QByteArray &reader, quint32 currentState,
                                 quint32 *eventState) override;
    pcsc::Result cancel(PcscContext context) override;
    pcsc::Result connect(PcscContext context, const QByteArray &reader, quint32 shareMode, quint32 protocols,
                         PcscCard *card, quint32 *activeProtocol) override;
    pcsc::Result reconnect(PcscCard card, quint32 shareMode, quint32 protocols, quint32 initialization,
                           quint32 *activeProtocol) override;
    pcsc::Result disconnect(PcscCard card, quint32 disposition) override;
    pcsc::Result transmit(PcscCard card, quint32 protocol, const quint8 *command, size_t length, quint8 *response,
                          size_t *responseLength) override;
    pcsc::Result getAttrib(PcscCard card, quint32 attribute, QByteArray *value) override;

private:
    struct Reader
    {
        QByteArray name;
        std::shared_ptr<CardModel> card;
        bool mute = false;
        quint32 changes = 0;   // upper half of the state word, as pcsc-lite counts
        quint64 insertion = 0; // which insertion the card present now is
    };
    struct Handle
    {
        QByteArray reader;
        quint64 insertion = 0;
        quint32 protocol = 0;
    };
    struct Context
    {
        bool waiting = false;
        bool cancelled = false;
    };

    Reader *findReader(const QByteArray &name);
    quint32 stateWord(const Reader &r) const;
    pcsc::Result negotiate(quint32 protocols, quint32 *activeProtocol) const;
    void changed(Reader &r);

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    QList<Reader> m_readers;
    std::map<PcscContext, Context> m_contexts;
    std::map<PcscCard, Handle> m_handles;
    std::set<quint32> m_failingAttributes;
    TransmitHook m_hook;
    bool m_running = true;
    quint32 m_protocol = pcsc::ProtocolT1;
    quintptr m_nextId = 1;
    quint64 m_nextInsertion = 1;
    int m_statusWaits = 0;
    int m_waitEntryPauseMs = 0;
    int m_transmits = 0;
};

} // namespace zentro
