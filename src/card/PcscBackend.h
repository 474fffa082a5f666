#pragma once

#include <QByteArray>
#include <QList>

#include <cstddef>

namespace zentro {

// Result codes, reader state bits and attribute numbers of the PC/SC service,
// with the values pcsc-lite and the Windows service share.
namespace pcsc {

using Result = quint32;

constexpr Result Success = 0x00000000;
constexpr Result Cancelled = 0x80100002;
constexpr Result InvalidHandle = 0x80100003;
constexpr Result InvalidParameter = 0x80100004;
constexpr Result InsufficientBuffer = 0x80100008;
constexpr Result UnknownReader = 0x80100009;
constexpr Result Timeout = 0x8010000A;
constexpr Result SharingViolation = 0x8010000B;
constexpr Result NoSmartcard = 0x8010000C;
constexpr Result ProtocolMismatch = 0x8010000F;
constexpr Result CommError = 0x80100013;
constexpr Result NotTransacted = 0x80100016;
constexpr Result ReaderUnavailable = 0x80100017;
constexpr Result NoService = 0x8010001D;
constexpr Result ServiceStopped = 0x8010001E;
constexpr Result UnsupportedFeature = 0x8010001F;
constexpr Result NoReadersAvailable = 0x8010002E;
constexpr Result UnresponsiveCard = 0x80100066;
constexpr Result UnpoweredCard = 0x80100067;
constexpr Result ResetCard = 0x80100068;
constexpr Result RemovedCard = 0x80100069;

constexpr quint32 StateUnaware = 0x0000;
constexpr quint32 StateIgnore = 0x0001;
constexpr quint32 StateChanged = 0x0002;
constexpr quint32 StateUnknown = 0x0004;
constexpr quint32 StateUnavailable = 0x0008;
constexpr quint32 StateEmpty = 0x0010;
constexpr quint32 StatePresent = 0x0020;
constexpr quint32 StateInUse = 0x0100;
constexpr quint32 StateMute = 0x0200;

constexpr quint32 ProtocolUndefined = 0;
constexpr quint32 ProtocolT0 = 1;
constexpr quint32 ProtocolT1 = 2;

constexpr quint32 ShareExclusive = 1;
constexpr quint32 ShareShared = 2;

constexpr quint32 LeaveCard = 0;
constexpr quint32 ResetCardDisposition = 1;
constexpr quint32 UnpowerCard = 2;

constexpr quint32 AttrVendorName = 0x10100;
constexpr quint32 AttrVendorIfdSerialNo = 0x10103;
constexpr quint32 AttrCurrentProtocolType = 0x80201;
constexpr quint32 AttrAtrString = 0x90303;
constexpr quint32 AttrIccTypePerAtr = 0x90304;

} // namespace pcsc

using PcscContext = quintptr;
using PcscCard = quintptr;

// The few calls of the PC/SC service the reader component makes. One
// implementation talks to pcscd through libpcsclite; another drives card models
// in the same process, so the component can be tested without any service.
//
// getStatusChange and cancel are called from the monitoring thread and the
// user-interface thread at the same time, on a context of their own; every
// other call comes from the user-interface thread.
class PcscBackend
{
public:
    virtual ~PcscBackend() = default;

    virtual pcsc::Result establishContext(PcscContext *context) = 0;
    virtual pcsc::Result releaseContext(PcscContext context) = 0;
    virtual pcsc::Result isValidContext(PcscContext context) = 0;
    // The reader names of all groups, in the order the service gives them.
    virtual pcsc::Result listReaders(PcscContext context, QList<QByteArray> *names) = 0;
    // Waits without time-out until the state of the reader differs from
    // currentState (unaware: at once); cancel() ends the wait with Cancelled.
    virtual pcsc::Result getStatusChange(PcscContext context, const QByteArray &reader, quint32 currentState,
                                         quint32 *eventState) = 0;
    virtual pcsc::Result cancel(PcscContext context) = 0;
    virtual pcsc::Result connect(PcscContext context, const QByteArray &reader, quint32 shareMode, quint32 protocols,
                                 PcscCard *card, quint32 *activeProtocol) = 0;
    virtual pcsc::Result reconnect(PcscCard card, quint32 shareMode, quint32 protocols, quint32 initialization,
                                   quint32 *activeProtocol) = 0;
    virtual pcsc::Result disconnect(PcscCard card, quint32 disposition) = 0;
    // protocol selects the send header: T=0, T=1, or none for anything else.
    virtual pcsc::Result transmit(PcscCard card, quint32 protocol, const quint8 *command, size_t length,
                                  quint8 *response, size_t *responseLength) = 0;
    virtual pcsc::Result getAttrib(PcscCard card, quint32 attribute, QByteArray *value) = 0;
};

} // namespace zentro
