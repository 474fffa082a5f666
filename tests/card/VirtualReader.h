#pragma once

#include "card/CardModel.h"
#include "card/PcscLiteBackend.h"
#include "card/VpcdClient.h"

#include "ScriptedMessages.h"

#include <QTest>

#include <functional>

namespace cardtest {

// The reader of the running pcscd that zentro's virtual cards go into.
inline const QString VirtualReaderName = QStringLiteral("Virtual PCD 00 00");

// Fails the test unless pcscd runs with the vpcd reader (scripts/pcscd-private).
inline void requireVirtualReader()
{
    zentro::PcscLiteBackend service;
    zentro::PcscContext context = 0;
    QList<QByteArray> names;
    const bool up = service.establishContext(&context) == zentro::pcsc::Success &&
                    service.listReaders(context, &names) == zentro::pcsc::Success;
    if (context)
        service.releaseContext(context);
    if (!up || !names.contains(VirtualReaderName.toUtf8()))
        QFAIL("pcscd com o leitor virtual não está rodando: scripts/pcscd-private start <pasta>");
}

// A card model put into the virtual reader from this process and taken out again.
class VirtualCard
{
public:
    explicit VirtualCard(zentro::CardModel &card)
        : m_client(card)
    {
    }

    // Connected to vpcd; pcscd reports the card a little later.
    bool insert()
    {
        m_client.start();
        return m_client.waitConnected(5000);
    }
    void remove() { m_client.stop(); }
    quint64 exchanges() const { return m_client.exchanges(); }

private:
    zentro::VpcdClient m_client;
};

// The operator at the message boxes: every message is still scripted, and
// an action may run when one is shown (swapping cards, say).
class OperatorMessages : public ScriptedMessages
{
public:
    int show(const QString &text, const QString &caption, int flags) override
    {
        if (onShow)
            onShow(text);
        return ScriptedMessages::show(text, caption, flags);
    }
    std::function<void(const QString &)> onShow;
};

} // namespace cardtest
