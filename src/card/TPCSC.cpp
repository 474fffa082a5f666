#include "card/TPCSC.h"

#include "card/PcscLiteBackend.h"

#include <QtEndian>

#include <chrono>

namespace zentro {

namespace {

// A status wait that fails at once (reader unplugged, service stopped) would
// fail again at once: the thread pauses before trying again, longer each time.
constexpr std::chrono::milliseconds FirstRetryPause{250};
constexpr std::chrono::milliseconds LongestRetryPause{2000};
// How often a cancel is repeated while the thread has not left its wait (a
// cancel sent just before the wait begins is lost).
constexpr std::chrono::milliseconds CancelRepeat{20};
// Two bytes of status word after up to 256 data bytes.
constexpr size_t ResponseBufferSize = 258;

QString hex(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex().toUpper());
}

quint32 littleEndianWord(const QByteArray &value)
{
    quint32 v = 0;
    for (qsizetype i = qMin<qsizetype>(value.size(), 4) - 1; i >= 0; --i)
        v = (v << 8) | quint8(value.at(i));
    return v;
}

} // namespace

TPCSC::TPCSC(QObject *parent)
    : TPCSC(std::make_shared<PcscLiteBackend>(), parent)
{
}

TPCSC::TPCSC(std::shared_ptr<PcscBackend> backend, QObject *parent)
    : QObject(parent)
    , m_backend(std::move(backend))
{
}

TPCSC::~TPCSC()
{
    Close();
    if (m_context != 0 && m_backend->isValidContext(m_context) == pcsc::Success)
        m_backend->releaseContext(m_context);
}

bool TPCSC::Init()
{
    m_numReaders = 0;
    Close();
    if (m_context != 0 && m_backend->isValidContext(m_context) == pcsc::Success)
        m_backend->releaseContext(m_context);
    m_context = 0;
    m_readerList.clear();
    m_readerNames.clear();

    pcsc::Result rc = m_backend->establishContext(&m_context);
    if (rc != pcsc::Success) {
        m_context = 0;
        emit OnError(esInit, rc);
        return false;
    }
    QList<QByteArray> names;
    rc = m_backend->listReaders(m_context, &names);
    if (rc != pcsc::Success) {
        emit OnError(esInit, rc);
        return false;
    }
    for (const QByteArray &name : names) {
        if (name.isEmpty())
            continue;
        if (m_readerNames.size() == MaxReaders)
            break;
        m_readerNames.append(name);
        m_readerList.append(QString::fromUtf8(name));
    }
    m_numReaders = int(m_readerList.size());

    // The chosen reader keeps its position only while the new list still has it.
    if (m_useReaderNum >= m_numReaders) {
        m_useReaderNum = -1;
        m_selectedReader.clear();
    } else if (m_useReaderNum >= 0) {
        m_selectedReader = m_readerNames.at(m_useReaderNum);
    }

    if (m_numReaders < 1)
        return false;
    emit OnReaderListChange();
    return true;
}

void TPCSC::SetUseReaderNum(int n)
{
    if (n == m_useReaderNum)
        return;
    Close();
    if (n >= 0 && n < m_readerNames.size()) {
        m_selectedReader = m_readerNames.at(n);
        m_useReaderNum = n;
    } else {
        m_selectedReader.clear();
        m_useReaderNum = -1;
    }
}

bool TPCSC::Open()
{
    Close();
    if (m_useReaderNum < 0 || m_context == 0 || m_backend->isValidContext(m_context) != pcsc::Success)
        return false;
    // The wait runs on a context of its own: pcsc-lite holds a context for the
    // whole of a status wait, which would stall every exchange with the card.
    const pcsc::Result rc = m_backend->establishContext(&m_monitorContext);
    if (rc != pcsc::Success) {
        m_monitorContext = 0;
        emit OnError(esGetStatus, rc);
        return false;
    }
    m_open = true;
    m_currentState = 0;
    m_lastState = 0;
    ++m_generation;
    std::promise<void> done;
    m_threadDone = done.get_future();
    m_thread = std::thread([this, reader = m_selectedReader, context = m_monitorContext, generation = m_generation,
                            done = std::move(done)]() mutable {
        monitor(reader, context, generation);
        done.set_value();
    });
    return true;
}

void TPCSC::Close()
{
    Disconnect();
    stopMonitor();
}

void TPCSC::stopMonitor()
{
    {
        std::lock_guard lock(m_pauseMutex);
        m_open = false;
    }
    m_pauseWake.notify_all();
    if (!m_thread.joinable())
        return;
    do {
        m_backend->cancel(m_monitorContext);
    } while (m_threadDone.wait_for(CancelRepeat) != std::future_status::ready);
    m_thread.join();
    m_backend->releaseContext(m_monitorContext);
    m_monitorContext = 0;
}

void TPCSC::monitor(QByteArray reader, PcscContext context, quint64 generation)
{
    quint32 known = pcsc::StateUnaware;
    auto pause = FirstRetryPause;
    while (m_open) {
        quint32 event = known;
        const pcsc::Result rc = m_backend->getStatusChange(context, reader, known, &event);
        if (!m_open)
            break;
        if (rc == pcsc::Success) {
            known = event;
            m_currentState = event;
            notify(generation, rc);
            pause = FirstRetryPause;
            continue;
        }
        if (rc == pcsc::Timeout)
            continue;
        notify(generation, rc);
        std::unique_lock lock(m_pauseMutex);
        m_pauseWake.wait_for(lock, pause, [this] { return !m_open; });
        pause = std::min(pause * 2, LongestRetryPause);
    }
}

void TPCSC::notify(quint64 generation, pcsc::Result code)
{
    QMetaObject::invokeMethod(
        this,
        [this, generation, code] {
            // A notification of a thread that has since been stopped is stale.
            if (generation != m_generation || !m_open)
                return;
            if (code != pcsc::Success && code != pcsc::Timeout)
                emit OnError(esGetStatus, code);
            const quint32 now = m_currentState;
            if (now != m_lastState)
                ProcessReaderState(m_lastState, now);
        },
        Qt::QueuedConnection);
}

void TPCSC::ProcessReaderState(quint32 last, quint32 now)
{
    // Stored first: a handler that lets events run must not see this change twice.
    m_lastState = now;

    if ((now & pcsc::StateMute) && !(last & pcsc::StateMute)) {
        m_active = false;
        emit OnCardInvalid();
    }
    if ((now & pcsc::StatePresent) && !(last & pcsc::StatePresent) && !(now & (pcsc::StateMute | pcsc::StateIgnore))) {
        emit OnCardInserted();
        if (m_connected)
            cardActiveStep();
    }
    if ((last & pcsc::StatePresent) && !(now & pcsc::StatePresent)) {
        clearAttributes();
        m_active = false;
        emit OnCardRemoved();
    }
    if ((now & pcsc::StateEmpty) && !(last & pcsc::StateEmpty))
        emit OnReaderWaiting();
}

bool TPCSC::Connect()
{
    if (m_connected)
        Disconnect();
    if (m_useReaderNum < 0)
        return m_connected;
    PcscCard card = 0;
    quint32 protocol = 0;
    const pcsc::Result rc =
        m_backend->connect(m_context, m_selectedReader, m_desiredMode, m_desiredProtocol, &card, &protocol);
    if (rc == pcsc::Success) {
        m_card = card;
        m_attrProtocol = protocol;
        readAtr();
        m_connected = true;
    } else if (rc == pcsc::RemovedCard) {
        m_atr.clear();
        m_connected = true;
    } else {
        m_atr.clear();
        emit OnError(esConnect, rc);
        m_connected = false;
    }
    return m_connected;
}

bool TPCSC::Reconnect(quint32 initialization)
{
    if (!m_connected)
        return false;
    quint32 protocol = 0;
    const pcsc::Result rc =
        m_card == 0 ? pcsc::InvalidHandle
                    : m_backend->reconnect(m_card, m_desiredMode, m_desiredProtocol, initialization, &protocol);
    if (rc == pcsc::Success) {
        m_attrProtocol = protocol;
        readAtr();
        cardResetStep();
        m_connected = true;
        return true;
    }
    dropHandle();
    m_connected = false;
    m_atr.clear();
    if (rc != pcsc::RemovedCard)
        emit OnError(esConnect, rc);
    return false;
}

void TPCSC::Disconnect()
{
    if (!m_connected)
        return;
    if (m_card != 0)
        m_backend->disconnect(m_card, pcsc::UnpowerCard);
    m_card = 0;
    m_connected = false;
}

void TPCSC::dropHandle()
{
    // A handle whose reconnection failed is of no further use; the service
    // keeps it until it is given back.
    if (m_card != 0)
        m_backend->disconnect(m_card, pcsc::LeaveCard);
    m_card = 0;
}

bool TPCSC::Transmit(const QByteArray &command, QByteArray &response, quint8 &sw1, quint8 &sw2)
{
    if (command.size() > MaxCommandLength)
        return false;
    quint8 buffer[ResponseBufferSize];
    size_t length = sizeof buffer;
    pcsc::Result rc = pcsc::InvalidHandle;
    if (m_card != 0) {
        ++m_exchanges;
        rc = m_backend->transmit(m_card, m_attrProtocol, reinterpret_cast<const quint8 *>(command.constData()),
                                 size_t(command.size()), buffer, &length);
    }
    if (rc != pcsc::Success) {
        response.clear();
        emit OnError(esTransmit, rc);
        return false;
    }
    if (length < 2) {
        response.clear();
        return false;
    }
    sw1 = buffer[length - 2];
    sw2 = buffer[length - 1];
    response = QByteArray(reinterpret_cast<const char *>(buffer), qsizetype(length - 2));
    return true;
}

QByteArray TPCSC::attribute(quint32 id)
{
    QByteArray value;
    if (m_card == 0 || m_backend->getAttrib(m_card, id, &value) != pcsc::Success)
        return {};
    return value.left(MaxAttributeLength);
}

void TPCSC::readAtr()
{
    m_atr = attribute(pcsc::AttrAtrString);
}

void TPCSC::readCardAttributes()
{
    m_vendorName = attribute(pcsc::AttrVendorName);
    m_vendorSerial = attribute(pcsc::AttrVendorIfdSerialNo);
    // A reader that cannot tell the protocol leaves the one negotiated at
    // connect, which is the one in use.
    const QByteArray protocol = attribute(pcsc::AttrCurrentProtocolType);
    if (!protocol.isEmpty() && littleEndianWord(protocol) != 0)
        m_attrProtocol = littleEndianWord(protocol);
    const QByteArray iccType = attribute(pcsc::AttrIccTypePerAtr);
    if (iccType.isEmpty())
        m_iccType.clear();
    else if (littleEndianWord(iccType) == 1)
        m_iccType = QStringLiteral("ISO7816A");
    else if (littleEndianWord(iccType) == 2)
        m_iccType = QStringLiteral("ISO7816S");
    else
        m_iccType = QStringLiteral("UNKNOWN");
}

void TPCSC::clearAttributes()
{
    m_atr.clear();
    m_vendorName.clear();
    m_vendorSerial.clear();
    m_attrProtocol = 0;
    m_iccType.clear();
}

void TPCSC::cardActiveStep()
{
    readCardAttributes();
    m_active = m_attrProtocol != 0;
    if (m_active)
        emit OnCardActive();
}

void TPCSC::cardResetStep()
{
    readCardAttributes();
    m_active = m_attrProtocol != 0;
    if (m_active)
        emit OnCardReset();
}

QString TPCSC::AttrCardATR() const
{
    return hex(m_atr);
}

QString TPCSC::AttrVendorName() const
{
    return hex(m_vendorName);
}

QString TPCSC::AttrVendorSerial() const
{
    return hex(m_vendorSerial);
}

} // namespace zentro
