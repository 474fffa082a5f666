#pragma once

#include "card/CardChannel.h"
#include "card/PcscBackend.h"

#include <QObject>
#include <QStringList>

#include <atomic>
#include <condition_variable>
#include <future>
#include <memory>
#include <mutex>
#include <thread>

namespace zentro {

// The reader component every card window owns: it lists the readers, watches
// the chosen one on a thread of its own, turns the reader's state changes into
// events on the window's thread, in order, and exchanges APDUs with the card.
//
// The monitoring thread only waits for a state change, stores the new state
// word and posts a notification; every event, every comparison of state
// words and every change of Active, Connected and the attributes happens on
// the thread the component lives in.
class TPCSC : public QObject, public CardChannel
{
    Q_OBJECT

public:
    enum TErrSource { esInit, esConnect, esGetStatus, esTransmit };
    Q_ENUM(TErrSource)

    static constexpr int MaxReaders = 11;
    static constexpr int MaxCommandLength = 260;
    static constexpr int MaxAttributeLength = 127;
    // Reconnect's initialisation that resets the card.
    static constexpr quint32 ResetOnReconnect = 1;

    // On the PC/SC service of the workstation.
    explicit TPCSC(QObject *parent = nullptr);
    explicit TPCSC(std::shared_ptr<PcscBackend> backend, QObject *parent = nullptr);
    ~TPCSC() override;

    bool Init();
    int UseReaderNum() const { return m_useReaderNum; }
    void SetUseReaderNum(int n);
    bool Open();
    void Close();
    bool Connect();
    bool Reconnect(quint32 initialization);
    void Disconnect();
    bool Transmit(const QByteArray &command, QByteArray &response, quint8 &sw1, quint8 &sw2) override;

    QStringList ReaderList() const { return m_readerList; }
    int NumReaders() const { return m_numReaders; }
    bool Active() const { return m_active; }
    bool Connected() const { return m_connected; }
    bool Opened() const { return m_open.load(); }
    quint32 ReaderState() const { return m_currentState.load(); }
    quint32 DesiredProtocol() const { return m_desiredProtocol; }
    void SetDesiredProtocol(quint32 protocols) { m_desiredProtocol = protocols; }
    quint32 DesiredMode() const { return m_desiredMode; }
    void SetDesiredMode(quint32 mode) { m_desiredMode = mode; }
    quint32 AttrProtocol() const { return m_attrProtocol; }
    QString AttrICCType() const { return m_iccType; }
    QString AttrCardATR() const;
    QString AttrVendorName() const;
    QString AttrVendorSerial() const;
    QByteArray atrBytes() const { return m_atr; }

    // Exchanges handed to the service since creation.
    quint64 exchangeCount() const { return m_exchanges; }

signals:
    void OnCardInserted();
    void OnCardActive();
    void OnCardRemoved();
    void OnCardReset();
    void OnCardInvalid();
    void OnReaderWaiting();
    void OnReaderListChange();
    void OnError(zentro::TPCSC::TErrSource source, quint32 code);

private:
    void monitor(QByteArray reader, PcscContext context, quint64 generation);
    void notify(quint64 generation, pcsc::Result code);
    void ProcessReaderState(quint32 last, quint32 now);
    void stopMonitor();
    void cardActiveStep();
    void cardResetStep();
    void readCardAttributes();
    void clearAttributes();
    void readAtr();
    QByteArray attribute(quint32 id);
    void dropHandle();

    std::shared_ptr<PcscBackend> m_backend;
    PcscContext m_context = 0;
    PcscCard m_card = 0;
    QStringList m_readerList;
    QList<QByteArray> m_readerNames;
    int m_numReaders = 0;
    int m_useReaderNum = -1;
    QByteArray m_selectedReader;
    bool m_connected = false;
    bool m_active = false;
    quint32 m_desiredProtocol = pcsc::ProtocolT0 | pcsc::ProtocolT1;
    quint32 m_desiredMode = pcsc::ShareShared;
    quint32 m_attrProtocol = 0;
    QString m_iccType;
    QByteArray m_atr;
    QByteArray m_vendorName;
    QByteArray m_vendorSerial;
    quint32 m_lastState = 0;
    quint64 m_exchanges = 0;

    // Shared with the monitoring thread.
    std::atomic<bool> m_open{false};
    std::atomic<quint32> m_currentState{0};
    std::mutex m_pauseMutex;
    std::condition_variable m_pauseWake;

    std::thread m_thread;
    std::future<void> m_threadDone;
    PcscContext m_monitorContext = 0;
    quint64 m_generation = 0;
};

} // namespace zentro
