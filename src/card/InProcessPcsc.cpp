#include "card/InProcessPcsc.h"

#include <chrono>
#include <cstring>
#include <thread>

namespace zentro {

void InProcessPcsc::addReader(const QByteArray &name)
{
    std::lock_guard lock(m_mutex);
    Reader r;
    r.name = name;
    m_readers.append(r);
    m_wake.notify_all();
}

void InProcessPcsc::removeReader(const QByteArray &name)
{
    std::lock_guard lock(m_mutex);
    m_readers.removeIf([&](const Reader &r) { return r.name == name; });
    m_wake.notify_all();
}

InProcessPcsc::Reader *InProcessPcsc::findReader(const QByteArray &name)
{
    for (Reader &r : m_readers) {
        if (r.name == name)
            return &r;
    }
    return nullptr;
}

void InProcessPcsc::changed(Reader &r)
{
    ++r.changes;
    m_wake.notify_all();
}

void InProcessPcsc::insertCard(const QByteArray &reader, std::shared_ptr<CardModel> card, bool mute)
{
    std::lock_guard lock(m_mutex);
    if (Reader *r = findReader(reader)) {
        r->card = std::move(card);
        r->card->reset();
        r->mute = mute;
        r->insertion = m_nextInsertion++;
        changed(*r);
    }
}

void InProcessPcsc::removeCard(const QByteArray &reader)
{
    std::lock_guard lock(m_mutex);
    if (Reader *r = findReader(reader)) {
        r->card.reset();
        r->mute = false;
        r->insertion = 0;
        changed(*r);
    }
}

void InProcessPcsc::setMute(const QByteArray &reader, bool mute)
{
    std::lock_guard lock(m_mutex);
    if (Reader *r = findReader(reader)) {
        r->mute = mute;
        changed(*r);
    }
}

std::shared_ptr<CardModel> InProcessPcsc::card(const QByteArray &reader) const
{
    std::lock_guard lock(m_mutex);
    for (const Reader &r : m_readers) {
        if (r.name == reader)
            return r.card;
    }
    return {};
}

void InProcessPcsc::setServiceRunning(bool running)
{
    std::lock_guard lock(m_mutex);
    m_running = running;
    m_wake.notify_all();
}

void InProcessPcsc::setAttributeFails(quint32 attribute, bool fails)
{
    std::lock_guard lock(m_mutex);
    if (fails)
        m_failingAttributes.insert(attribute);
    else
        m_failingAttributes.erase(attribute);
}

void InProcessPcsc::setCardProtocol(quint32 protocol)
{
    std::lock_guard lock(m_mutex);
    m_protocol = protocol;
}

void InProcessPcsc::setTransmitHook(TransmitHook hook)
{
    std::lock_guard lock(m_mutex);
    m_hook = std::move(hook);
}

void InProcessPcsc::setWaitEntryPause(int milliseconds)
{
    std::lock_guard lock(m_mutex);
    m_waitEntryPauseMs = milliseconds;
}

int InProcessPcsc::statusWaits() const
{
    std::lock_guard lock(m_mutex);
    return m_statusWaits;
}

int InProcessPcsc::transmits() const
{
    std::lock_guard lock(m_mutex);
    return m_transmits;
}

quint32 InProcessPcsc::stateWord(const Reader &r) const
{
    quint32 s = r.card ? pcsc::StatePresent : pcsc::StateEmpty;
    if (r.card && r.mute)
        s |= pcsc::StateMute;
    return s | (r.changes << 16);
}

pcsc::Result InProcessPcsc::negotiate(quint32 protocols, quint32 *activeProtocol) const
{
    if (protocols & m_protocol) {
        *activeProtocol = m_protocol;
        return pcsc::Success;
    }
    *activeProtocol = 0;
    return pcsc::ProtocolMismatch;
}

pcsc::Result InProcessPcsc::establishContext(PcscContext *context)
{
    std::lock_guard lock(m_mutex);
    if (!m_running) {
        *context = 0;
        return pcsc::NoService;
    }
    *context = m_nextId++;
    m_contexts.emplace(*context, Context{});
    return pcsc::Success;
}

pcsc::Result InProcessPcsc::releaseContext(PcscContext context)
{
    std::lock_guard lock(m_mutex);
    if (m_contexts.erase(context) == 0)
        return pcsc::InvalidHandle;
    m_wake.notify_all();
    return pcsc::Success;
}

pcsc::Result InProcessPcsc::isValidContext(PcscContext context)
{
    std::lock_guard lock(m_mutex);
    return m_running && m_contexts.count(context) ? pcsc::Success : pcsc::InvalidHandle;
}

pcsc::Result InProcessPcsc::listReaders(PcscContext context, QList<QByteArray> *names)
{
    std::lock_guard lock(m_mutex);
    names->clear();
    if (!m_running)
        return pcsc::NoService;
    if (!m_contexts.count(context))
        return pcsc::InvalidHandle;
    for (const Reader &r : m_readers)
        names->append(r.name);
    return names->isEmpty() ? pcsc::NoReadersAvailable : pcsc::Success;
}

pcsc::Result InProcessPcsc::getStatusChange(PcscContext context, const QByteArray &reader, quint32 currentState,
                                            quint32 *eventState)
{
    std::unique_lock lock(m_mutex);
    if (m_waitEntryPauseMs > 0) {
        const auto pause = std::chrono::milliseconds(m_waitEntryPauseMs);
        lock.unlock();
        std::this_thread::sleep_for(pause);
        lock.lock();
    }
    ++m_statusWaits;
    auto it = m_contexts.find(context);
    if (it == m_contexts.end())
        return m_running ? pcsc::InvalidHandle : pcsc::NoService;
    it->second.waiting = true;
    it->second.cancelled = false;
    pcsc::Result rc = pcsc::Success;
    for (;;) {
        it = m_contexts.find(context);
        if (it == m_contexts.end()) {
            rc = pcsc::InvalidHandle;
            break;
        }
        if (!m_running) {
            rc = pcsc::NoService;
            break;
        }
        if (it->second.cancelled) {
            rc = pcsc::Cancelled;
            break;
        }
        if (const Reader *r = findReader(reader)) {
            const quint32 s = stateWord(*r);
            if ((s & ~pcsc::StateChanged) != (currentState & ~pcsc::StateChanged)) {
                *eventState = s | pcsc::StateChanged;
                break;
            }
        } else if (currentState & pcsc::StateUnknown) {
            rc = pcsc::UnknownReader;
            break;
        } else {
            *eventState = pcsc::StateUnknown | pcsc::StateChanged;
            break;
        }
        m_wake.wait(lock);
    }
    it = m_contexts.find(context);
    if (it != m_contexts.end()) {
        it->second.waiting = false;
        it->second.cancelled = false;
    }
    return rc;
}

pcsc::Result InProcessPcsc::cancel(PcscContext context)
{
    std::lock_guard lock(m_mutex);
    const auto it = m_contexts.find(context);
    if (it == m_contexts.end())
        return pcsc::InvalidHandle;
    // As in pcsc-lite, a cancel only reaches a wait in progress.
    if (it->second.waiting) {
        it->second.cancelled = true;
        m_wake.notify_all();
    }
    return pcsc::Success;
}

pcsc::Result InProcessPcsc::connect(PcscContext context, const QByteArray &reader, quint32, quint32 protocols,
                                    PcscCard *card, quint32 *activeProtocol)
{
    std::lock_guard lock(m_mutex);
    *card = 0;
    *activeProtocol = 0;
    if (!m_running)
        return pcsc::NoService;
    if (!m_contexts.count(context))
        return pcsc::InvalidHandle;
    Reader *r = findReader(reader);
    if (!r)
        return pcsc::UnknownReader;
    if (!r->card)
        return pcsc::NoSmartcard;
    if (r->mute)
        return pcsc::UnresponsiveCard;
    const pcsc::Result rc = negotiate(protocols, activeProtocol);
    if (rc != pcsc::Success)
        return rc;
    *card = m_nextId++;
    m_handles.emplace(*card, Handle{reader, r->insertion, *activeProtocol});
    return pcsc::Success;
}

pcsc::Result InProcessPcsc::reconnect(PcscCard card, quint32, quint32 protocols, quint32 initialization,
                                      quint32 *activeProtocol)
{
    std::lock_guard lock(m_mutex);
    *activeProtocol = 0;
    if (!m_running)
        return pcsc::NoService;
    const auto it = m_handles.find(card);
    if (it == m_handles.end())
        return pcsc::InvalidHandle;
    Reader *r = findReader(it->second.reader);
    if (!r || !r->card)
        return pcsc::RemovedCard;
    if (r->mute)
        return pcsc::UnresponsiveCard;
    const pcsc::Result rc = negotiate(protocols, activeProtocol);
    if (rc != pcsc::Success)
        return rc;
    it->second.insertion = r->insertion;
    it->second.protocol = *activeProtocol;
    if (initialization != pcsc::LeaveCard)
        r->card->reset();
    return pcsc::Success;
}

pcsc::Result InProcessPcsc::disconnect(PcscCard card, quint32 disposition)
{
    std::lock_guard lock(m_mutex);
    const auto it = m_handles.find(card);
    if (it == m_handles.end())
        return pcsc::InvalidHandle;
    Reader *r = findReader(it->second.reader);
    if (r && r->card && r->insertion == it->second.insertion && disposition != pcsc::LeaveCard)
        r->card->reset();
    m_handles.erase(it);
    return pcsc::Success;
}

pcsc::Result InProcessPcsc::transmit(PcscCard card, quint32 protocol, const quint8 *command, size_t length,
                                     quint8 *response, size_t *responseLength)
{
    std::shared_ptr<CardModel> model;
    TransmitHook hook;
    {
        std::lock_guard lock(m_mutex);
        if (!m_running)
            return pcsc::NoService;
        const auto it = m_handles.find(card);
        if (it == m_handles.end())
            return pcsc::InvalidHandle;
        const Reader *r = findReader(it->second.reader);
        if (!r || !r->card || r->insertion != it->second.insertion)
            return pcsc::RemovedCard;
        // pcsc-lite needs a send header, and the one of the protocol in use.
        if (protocol != pcsc::ProtocolT0 && protocol != pcsc::ProtocolT1)
            return pcsc::InvalidParameter;
        if (protocol != it->second.protocol)
            return pcsc::ProtocolMismatch;
        if (length == 0 || command == nullptr)
            return pcsc::InvalidParameter;
        ++m_transmits;
        model = r->card;
        hook = m_hook;
    }
    // Outside the lock: a hook may take the card out or unplug the reader.
    const QByteArray apdu(reinterpret_cast<const char *>(command), qsizetype(length));
    QByteArray answer;
    std::optional<Answer> replaced = hook ? hook(apdu) : std::nullopt;
    if (replaced) {
        if (replaced->code != pcsc::Success)
            return replaced->code;
        answer = replaced->bytes;
    } else {
        answer = model->process(apdu);
    }
    if (size_t(answer.size()) > *responseLength)
        return pcsc::InsufficientBuffer;
    std::memcpy(response, answer.constData(), size_t(answer.size()));
    *responseLength = size_t(answer.size());
    return pcsc::Success;
}

pcsc::Result InProcessPcsc::getAttrib(PcscCard card, quint32 attribute, QByteArray *value)
{
    std::lock_guard lock(m_mutex);
    value->clear();
    if (!m_running)
        return pcsc::NoService;
    const auto it = m_handles.find(card);
    if (it == m_handles.end())
        return pcsc::InvalidHandle;
    const Reader *r = findReader(it->second.reader);
    if (!r || !r->card || r->insertion != it->second.insertion)
        return pcsc::RemovedCard;
    if (m_failingAttributes.count(attribute))
        return pcsc::UnsupportedFeature;
    auto word = [](quint32 v) {
        QByteArray b(4, '\0');
        for (int i = 0; i < 4; ++i)
            b[i] = char((v >> (8 * i)) & 0xFF);
        return b;
    };
    switch (attribute) {
    case pcsc::AttrVendorName:
        *value = VendorName;
        return pcsc::Success;
    case pcsc::AttrVendorIfdSerialNo:
        *value = VendorSerial;
        return pcsc::Success;
    case pcsc::AttrCurrentProtocolType:
        *value = word(it->second.protocol);
        return pcsc::Success;
    case pcsc::AttrAtrString:
        *value = r->card->atr();
        return pcsc::Success;
    case pcsc::AttrIccTypePerAtr:
        *value = word(1);
        return pcsc::Success;
    default:
        return pcsc::UnsupportedFeature;
    }
}

} // namespace zentro
