#include "card/PcscLiteBackend.h"

#include <PCSC/winscard.h>

namespace zentro {

namespace {

pcsc::Result result(LONG rv)
{
    // pcsc-lite returns its codes in a long; the codes themselves are 32-bit.
    return pcsc::Result(quint32(rv));
}

} // namespace

pcsc::Result PcscLiteBackend::establishContext(PcscContext *context)
{
    SCARDCONTEXT ctx = 0;
    const LONG rv = SCardEstablishContext(SCARD_SCOPE_USER, nullptr, nullptr, &ctx);
    *context = rv == SCARD_S_SUCCESS ? PcscContext(ctx) : 0;
    return result(rv);
}

pcsc::Result PcscLiteBackend::releaseContext(PcscContext context)
{
    return result(SCardReleaseContext(SCARDCONTEXT(context)));
}

pcsc::Result PcscLiteBackend::isValidContext(PcscContext context)
{
    return result(SCardIsValidContext(SCARDCONTEXT(context)));
}

pcsc::Result PcscLiteBackend::listReaders(PcscContext context, QList<QByteArray> *names)
{
    names->clear();
    DWORD size = 0;
    LONG rv = SCardListReaders(SCARDCONTEXT(context), nullptr, nullptr, &size);
    if (rv != SCARD_S_SUCCESS)
        return result(rv);
    QByteArray buffer(qsizetype(size), '\0');
    rv = SCardListReaders(SCARDCONTEXT(context), nullptr, buffer.data(), &size);
    if (rv != SCARD_S_SUCCESS)
        return result(rv);
    buffer.truncate(qsizetype(size));
    for (const QByteArray &name : buffer.split('\0')) {
        if (!name.isEmpty())
            names->append(name);
    }
    return pcsc::Success;
}

pcsc::Result PcscLiteBackend::getStatusChange(PcscContext context, const QByteArray &reader, quint32 currentState,
                                              quint32 *eventState)
{
    SCARD_READERSTATE state{};
    state.szReader = reader.constData();
    state.dwCurrentState = currentState;
    const LONG rv = SCardGetStatusChange(SCARDCONTEXT(context), INFINITE, &state, 1);
    *eventState = quint32(state.dwEventState);
    return result(rv);
}

pcsc::Result PcscLiteBackend::cancel(PcscContext context)
{
    return result(SCardCancel(SCARDCONTEXT(context)));
}

pcsc::Result PcscLiteBackend::connect(PcscContext context, const QByteArray &reader, quint32 shareMode,
                                      quint32 protocols, PcscCard *card, quint32 *activeProtocol)
{
    SCARDHANDLE handle = 0;
    DWORD protocol = 0;
    const LONG rv = SCardConnect(SCARDCONTEXT(context), reader.constData(), shareMode, protocols, &handle, &protocol);
    *card = rv == SCARD_S_SUCCESS ? PcscCard(handle) : 0;
    *activeProtocol = rv == SCARD_S_SUCCESS ? quint32(protocol) : 0;
    return result(rv);
}

pcsc::Result PcscLiteBackend::reconnect(PcscCard card, quint32 shareMode, quint32 protocols, quint32 initialization,
                                        quint32 *activeProtocol)
{
    DWORD protocol = 0;
    const LONG rv = SCardReconnect(SCARDHANDLE(card), shareMode, protocols, initialization, &protocol);
    *activeProtocol = rv == SCARD_S_SUCCESS ? quint32(protocol) : 0;
    return result(rv);
}

pcsc::Result PcscLiteBackend::disconnect(PcscCard card, quint32 disposition)
{
    return result(SCardDisconnect(SCARDHANDLE(card), disposition));
}

pcsc::Result PcscLiteBackend::transmit(PcscCard card, quint32 protocol, const quint8 *command, size_t length,
                                       quint8 *response, size_t *responseLength)
{
    const SCARD_IO_REQUEST *header = nullptr;
    if (protocol == pcsc::ProtocolT0)
        header = SCARD_PCI_T0;
    else if (protocol == pcsc::ProtocolT1)
        header = SCARD_PCI_T1;
    DWORD received = DWORD(*responseLength);
    const LONG rv = SCardTransmit(SCARDHANDLE(card), header, command, DWORD(length), nullptr, response, &received);
    *responseLength = rv == SCARD_S_SUCCESS ? size_t(received) : 0;
    return result(rv);
}

pcsc::Result PcscLiteBackend::getAttrib(PcscCard card, quint32 attribute, QByteArray *value)
{
    unsigned char buffer[MAX_BUFFER_SIZE];
    DWORD length = sizeof buffer;
    LONG rv = SCardGetAttrib(SCARDHANDLE(card), attribute, buffer, &length);
    if (rv != SCARD_S_SUCCESS && attribute == pcsc::AttrAtrString) {
        // Some reader drivers (vpcd among them) leave the ATR attribute to the
        // service, which answers it only through SCardStatus.
        DWORD state = 0, protocol = 0, nameLength = 0;
        length = sizeof buffer;
        rv = SCardStatus(SCARDHANDLE(card), nullptr, &nameLength, &state, &protocol, buffer, &length);
    }
    if (rv != SCARD_S_SUCCESS) {
        value->clear();
        return result(rv);
    }
    *value = QByteArray(reinterpret_cast<const char *>(buffer), qsizetype(length));
    return pcsc::Success;
}

} // namespace zentro
