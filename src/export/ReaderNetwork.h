#pragma once

#include <QByteArray>
#include <QString>

namespace zentro {

// The network part of a reader's configuration block: the server the reader
// reports to and, where the export fills them, its Ethernet, mobile-data and
// proxy settings. Addresses are the texts of the database; a text that is not
// an address is sent as 0. Fields the export leaves empty are sent as zero.
struct ReaderNetwork
{
    static constexpr qsizetype Size = 768;
    static constexpr quint16 DefaultServerPort = 80;

    bool ethernetInUse = false;
    bool mobileDataInUse = false;
    QString SERVER_ADDR; // at most 64
    QString SERVER_ADDR_IP;
    QString SERVER_URL;  // at most 64
    QString SERVER_PORT; // 80 when not a number
    QString SERVER_ADDR_IP_SECONDARY;
    QString SERVER_ADDR_IP_FALLBACK; // the installation's fallback when not an address

    QString ETH_IP;
    QString ETH_MASK;
    QString ETH_GATEWAY;
    QString ETH_DNS; // "first,second"

    QString GPRS_PIN;      // at most 4
    QString GPRS_APN;      // at most 64
    QString GPRS_USER;     // at most 16
    QString GPRS_PASSWORD; // at most 16

    bool proxyInUse = false; // DAA_PROXY = 1
    QString DAA_SERVER_IP;
    quint16 DAA_SERVER_PORT = 0;
    quint16 DAA_LOCAL_PORT = 0;

    // The 768 bytes with the CRC-32 of bytes 0 to 763 at 764. fallbackServer
    // is the installation's address as an image u32. Throws ImageError for a
    // text longer than its field or a port outside 0 … 65535.
    QByteArray encode(quint32 fallbackServer) const;
};

} // namespace zentro
