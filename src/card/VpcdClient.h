#pragma once

#include "card/CardModel.h"

#include <QString>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace zentro {

// Plugs a card model into pcscd through the vpcd reader driver: the card is a
// TCP client of vpcd; being connected is being in the reader, closing the
// socket takes the card out. Every message both ways is a two-byte big-endian
// length and a payload; a one-byte payload from vpcd is a control byte.
//
// The client serves on a thread of its own; the card answers under
// cardMutex(), so the owner may look at it between exchanges.
class VpcdClient
{
public:
    static constexpr quint16 DefaultPort = 35963; // reader "Virtual PCD 00 00"

    explicit VpcdClient(CardModel &card, const QString &host = QStringLiteral("127.0.0.1"), quint16 port = DefaultPort);
    ~VpcdClient();
    VpcdClient(const VpcdClient &) = delete;
    VpcdClient &operator=(const VpcdClient &) = delete;

    // Inserts the card: connects (again and again while vpcd is not there) and
    // answers until stop(). When vpcd goes away the client waits for it to
    // come back.
    void start();
    // Takes the card out.
    void stop();
    bool isRunning() const { return m_thread.joinable(); }

    bool isConnected() const { return m_connected.load(); }
    // True once connected, false after the time-out.
    bool waitConnected(int timeoutMs);

    std::mutex &cardMutex() { return m_cardMutex; }
    quint64 exchanges() const { return m_exchanges.load(); }
    QString lastError() const;

private:
    void run();
    bool serve(int socket);
    bool readExactly(int socket, char *data, size_t length);
    bool writeMessage(int socket, const QByteArray &payload);
    bool pauseOrStop(int milliseconds);
    void setError(const QString &text);

    CardModel &m_card;
    QByteArray m_host;
    quint16 m_port;
    std::thread m_thread;
    int m_stopPipe[2] = {-1, -1};
    std::atomic<bool> m_connected{false};
    std::atomic<quint64> m_exchanges{0};
    std::mutex m_cardMutex;
    mutable std::mutex m_stateMutex;
    std::condition_variable m_stateChanged;
    QString m_lastError;
};

} // namespace zentro
