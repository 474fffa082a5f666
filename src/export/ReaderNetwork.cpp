#include "export/ReaderNetwork.h"

#include "app/Crc.h"
#include "app/Helpers.h"
#include "export/FieldWriter.h"
#include "export/ImageError.h"
#include "export/ImageFields.h"

namespace zentro {

namespace {

quint16 serverPort(const QString &text)
{
    bool ok = false;
    const qlonglong port = text.trimmed().toLongLong(&ok);
    if (!ok)
        return ReaderNetwork::DefaultServerPort;
    if (port < 0 || port > 0xFFFF)
        throw ImageError(QStringLiteral("SERVER_PORT"),
                         QStringLiteral("A porta %1 de SERVER_PORT está fora do intervalo 0 a 65535").arg(text));
    return quint16(port);
}

} // namespace

QByteArray ReaderNetwork::encode(quint32 fallbackServer) const
{
    QByteArray r(Size, '\0');
    FieldWriter w(r);

    w.u8(0, ethernetInUse ? 1 : 0);
    w.u8(2, mobileDataInUse ? 1 : 0);
    w.text(32, 64, SERVER_ADDR, QStringLiteral("SERVER_ADDR"));
    w.u32(96, ImageFields::ipv4(SERVER_ADDR_IP));
    w.text(100, 64, SERVER_URL, QStringLiteral("SERVER_URL"));
    w.u16(164, serverPort(SERVER_PORT));
    w.u32(166, ImageFields::ipv4(SERVER_ADDR_IP_SECONDARY));
    w.u32(170, IsValidIPv4(SERVER_ADDR_IP_FALLBACK) ? ImageFields::ipv4(SERVER_ADDR_IP_FALLBACK) : fallbackServer);

    w.u32(224, ImageFields::ipv4(ETH_IP));
    w.u32(228, ImageFields::ipv4(ETH_MASK));
    w.u32(232, ImageFields::ipv4(ETH_GATEWAY));
    const auto [dns1, dns2] = ImageFields::dnsPair(ETH_DNS);
    w.u32(236, dns1);
    w.u32(240, dns2);

    w.text(352, 4, GPRS_PIN, QStringLiteral("GPRS_PIN"));
    w.text(356, 64, GPRS_APN, QStringLiteral("GPRS_APN"));
    w.text(420, 16, GPRS_USER, QStringLiteral("GPRS_USER"));
    w.text(436, 16, GPRS_PASSWORD, QStringLiteral("GPRS_PASSWORD"));

    w.u8(700, proxyInUse ? 1 : 0);
    w.u32(701, ImageFields::ipv4(DAA_SERVER_IP));
    w.u16(705, DAA_SERVER_PORT);
    w.u16(707, DAA_LOCAL_PORT);

    w.u32(764, crc32Chained(QByteArrayView(r).first(764)));
    return r;
}

} // namespace zentro
