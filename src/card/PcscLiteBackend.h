#pragma once

#include "card/PcscBackend.h"

namespace zentro {

// The PC/SC service of the workstation, through libpcsclite.
class PcscLiteBackend : public PcscBackend
{
public:
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
};

} // namespace zentro
