#include "card/VpcdClient.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace zentro {

namespace {

constexpr int ReconnectPauseMs = 100;

enum Control : quint8 { PowerOff = 0x00, PowerOn = 0x01, Reset = 0x02, GetAtr = 0x04 };

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

VpcdClient::VpcdClient(CardModel &card, const QString &host, quint16 port)
    : m_card(card)
    , m_host(host.toUtf8())
    , m_port(port)
{
}

VpcdClient::~VpcdClient()
{
    stop();
}

void VpcdClient::start()
{
    if (m_thread.joinable())
        return;
    if (::pipe2(m_stopPipe, O_CLOEXEC) != 0) {
        setError(QStringLiteral("pipe: %1").arg(systemError()));
        return;
    }
    m_thread = std::thread([this] { run(); });
}

void VpcdClient::stop()
{
    if (!m_thread.joinable())
        return;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(m_stopPipe[1], &byte, 1);
    m_thread.join();
    ::close(m_stopPipe[0]);
    ::close(m_stopPipe[1]);
    m_stopPipe[0] = m_stopPipe[1] = -1;
}

bool VpcdClient::waitConnected(int timeoutMs)
{
    std::unique_lock lock(m_stateMutex);
    return m_stateChanged.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return m_connected.load(); });
}

QString VpcdClient::lastError() const
{
    std::lock_guard lock(m_stateMutex);
    return m_lastError;
}

void VpcdClient::setError(const QString &text)
{
    std::lock_guard lock(m_stateMutex);
    m_lastError = text;
}

bool VpcdClient::pauseOrStop(int milliseconds)
{
    pollfd p{m_stopPipe[0], POLLIN, 0};
    return ::poll(&p, 1, milliseconds) == 0;
}

void VpcdClient::run()
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    const QByteArray port = QByteArray::number(m_port);
    for (;;) {
        addrinfo *found = nullptr;
        int socket = -1;
        const int gai = ::getaddrinfo(m_host.constData(), port.constData(), &hints, &found);
        if (gai != 0) {
            setError(QString::fromLocal8Bit(::gai_strerror(gai)));
        } else {
            for (addrinfo *a = found; a && socket < 0; a = a->ai_next) {
                socket = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
                if (socket >= 0 && ::connect(socket, a->ai_addr, a->ai_addrlen) != 0) {
                    setError(
                        QStringLiteral("vpcd %1:%2: %3").arg(QString::fromUtf8(m_host)).arg(m_port).arg(systemError()));
                    ::close(socket);
                    socket = -1;
                }
            }
            ::freeaddrinfo(found);
        }
        if (socket >= 0) {
            const int on = 1;
            ::setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
            {
                std::lock_guard lock(m_stateMutex);
                m_connected = true;
                m_lastError.clear();
            }
            m_stateChanged.notify_all();
            const bool stopped = !serve(socket);
            ::close(socket);
            {
                std::lock_guard lock(m_stateMutex);
                m_connected = false;
            }
            m_stateChanged.notify_all();
            {
                std::lock_guard lock(m_cardMutex);
                m_card.reset();
            }
            if (stopped)
                return;
        }
        if (!pauseOrStop(ReconnectPauseMs))
            return;
    }
}

// Answers vpcd until it closes the connection (true) or stop() is asked (false).
bool VpcdClient::serve(int socket)
{
    QByteArray payload;
    for (;;) {
        unsigned char header[2];
        if (!readExactly(socket, reinterpret_cast<char *>(header), 2))
            return pauseOrStop(0);
        const size_t length = size_t(header[0]) << 8 | header[1];
        payload.resize(qsizetype(length));
        if (length > 0 && !readExactly(socket, payload.data(), length))
            return pauseOrStop(0);
        QByteArray answer;
        bool answered = true;
        {
            std::lock_guard lock(m_cardMutex);
            if (length == 1) {
                switch (quint8(payload.at(0))) {
                case GetAtr:
                    answer = m_card.atr();
                    break;
                case PowerOff:
                case PowerOn:
                case Reset:
                    m_card.reset();
                    answered = false;
                    break;
                default:
                    answered = false;
                    break;
                }
            } else if (length > 1) {
                answer = m_card.process(payload);
                ++m_exchanges;
            } else {
                answered = false;
            }
        }
        if (answered && !writeMessage(socket, answer))
            return pauseOrStop(0);
    }
}

bool VpcdClient::readExactly(int socket, char *data, size_t length)
{
    while (length > 0) {
        // vpcd writes the length and the payload separately; without an
        // immediate ACK every exchange waits for the delayed-ACK timer.
        const int on = 1;
        ::setsockopt(socket, IPPROTO_TCP, TCP_QUICKACK, &on, sizeof on);
        pollfd p[2] = {{socket, POLLIN, 0}, {m_stopPipe[0], POLLIN, 0}};
        if (::poll(p, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (p[1].revents)
            return false;
        const ssize_t n = ::recv(socket, data, length, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        length -= size_t(n);
    }
    return true;
}

bool VpcdClient::writeMessage(int socket, const QByteArray &payload)
{
    QByteArray message;
    message.reserve(payload.size() + 2);
    message.append(char((payload.size() >> 8) & 0xFF));
    message.append(char(payload.size() & 0xFF));
    message.append(payload);
    const char *data = message.constData();
    size_t left = size_t(message.size());
    while (left > 0) {
        const ssize_t n = ::send(socket, data, left, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        left -= size_t(n);
    }
    return true;
}

} // namespace zentro
