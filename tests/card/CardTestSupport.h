#pragma once

#include "app/MessagePresenter.h"
#include "card/CardChannel.h"
#include "card/CardFiles.h"
#include "card/CardModel.h"
#include "card/CardTemplates.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QtEndian>

#include <functional>
#include <optional>

namespace cardtest {

using zentro::CardFiles;
using zentro::CardModel;
using zentro::CardTemplates;

// A channel straight onto a card model that records every command. An answer
// hook may replace the card's answer; an exchange fails from failFrom on.
class ModelChannel : public zentro::CardChannel
{
public:
    explicit ModelChannel(CardModel *card = nullptr)
        : m_card(card)
    {
    }

    void setCard(CardModel *card) { m_card = card; }
    CardModel *card() const { return m_card; }

    bool Transmit(const QByteArray &command, QByteArray &response, quint8 &sw1, quint8 &sw2) override
    {
        log.append(command);
        if ((failFrom >= 0 && log.size() > failFrom) || !m_card)
            return false;
        std::optional<QByteArray> replaced = answer ? answer(command) : std::nullopt;
        const QByteArray a = replaced ? *replaced : m_card->process(command);
        if (a.size() < 2)
            return false;
        sw1 = quint8(a.at(a.size() - 2));
        sw2 = quint8(a.at(a.size() - 1));
        response = a.left(a.size() - 2);
        return true;
    }

    int count(quint8 ins) const
    {
        int n = 0;
        for (const QByteArray &c : log)
            n += quint8(c.at(1)) == ins ? 1 : 0;
        return n;
    }

    QList<QByteArray> log;
    std::function<std::optional<QByteArray>(const QByteArray &)> answer;
    int failFrom = -1;

private:
    CardModel *m_card;
};

inline QByteArray hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

// CREATE FILE of any size: the size plus 16 goes little-endian into data bytes 6-7.
inline QByteArray createCommand(quint16 fileId, int size)
{
    QByteArray c = CardTemplates::softwareChangeFile(fileId);
    c[7] = char(fileId >> 8);
    c[11] = char((size + 16) & 0xFF);
    c[12] = char((size + 16) >> 8);
    return c;
}

// The files a format creates, without going through the formatter.
inline void formatCard(CardModel &card, quint16 kind, int dataFiles)
{
    card.process(CardTemplates::initialisation());
    card.process(CardTemplates::keyFile({}));
    card.process(CardTemplates::headerFile(kind));
    card.process(CardTemplates::directoryFile());
    for (int i = 0; i < dataFiles; ++i)
        card.process(CardTemplates::dataFile(CardFiles::dataFileId(i)));
}

inline void formatSoftwareChangeCard(CardModel &card, int files)
{
    card.process(CardTemplates::initialisation());
    for (int i = 1; i <= files; ++i)
        card.process(CardTemplates::softwareChangeFile(CardFiles::dataFileId(i)));
}

// Card memory taken by the fixed files of a configuration or collection card.
constexpr quint32 FixedFilesSpace = (48 + 16) + (64 + 16) + (4096 + 16);
constexpr quint32 DataFileSpace = 51200 + 16;
constexpr quint32 SoftwareChangeFileSpace = 30000;

// CRC-16/CCITT-FALSE, bit by bit: the loader's check, written independently.
inline quint16 referenceCcitt(const QByteArray &data, quint16 crc = 0xFFFF)
{
    for (char ch : data) {
        crc ^= quint16(quint8(ch)) << 8;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x8000) ? quint16((crc << 1) ^ 0x1021) : quint16(crc << 1);
    }
    return crc;
}

// Reads a program back the way a reader's loader does: from file 3F17h of
// card 0, segment after segment, checking every header.
inline QByteArray readProgram(const QList<const CardModel *> &cards, QString *error, int *segments = nullptr)
{
    QByteArray program;
    int cardNumber = 0;
    quint16 file = 0x3F17;
    for (int n = 1; n <= 4 * 15; ++n) {
        if (segments)
            *segments = n;
        if (cardNumber >= cards.size()) {
            *error = QStringLiteral("segment %1 points to card %2").arg(n).arg(cardNumber);
            return {};
        }
        const QByteArray data = cards.at(cardNumber)->fileData(file);
        if (data.size() < 14) {
            *error = QStringLiteral("card %1 has no file %2").arg(cardNumber).arg(file, 4, 16);
            return {};
        }
        const uchar *h = reinterpret_cast<const uchar *>(data.constData());
        const quint16 link = qFromLittleEndian<quint16>(h);
        const quint32 nextOffset = qFromLittleEndian<quint32>(h + 2);
        const quint32 length = qFromLittleEndian<quint32>(h + 6);
        const quint16 zero = qFromLittleEndian<quint16>(h + 10);
        const quint16 crc = qFromLittleEndian<quint16>(h + 12);
        if (crc != referenceCcitt(data.left(12)) || nextOffset != 0 || zero != 0) {
            *error = QStringLiteral("bad header in card %1 file %2").arg(cardNumber).arg(file, 4, 16);
            return {};
        }
        if (14 + qint64(length) > data.size()) {
            *error = QStringLiteral("segment of %1 bytes in a file of %2").arg(length).arg(data.size());
            return {};
        }
        program.append(data.mid(14, length));
        if ((link & 0x3FFF) == 0) {
            if (link >> 14 != cardNumber)
                *error = QStringLiteral("end link names card %1 on card %2").arg(link >> 14).arg(cardNumber);
            return program;
        }
        cardNumber = link >> 14;
        file = link & 0x3FFF;
    }
    *error = QStringLiteral("segments never end");
    return {};
}

inline QByteArray pattern(qsizetype size, quint32 seed = 1)
{
    QByteArray b(size, '\0');
    quint32 x = seed;
    for (qsizetype i = 0; i < size; ++i) {
        x = x * 1103515245u + 12345u;
        b[i] = char(x >> 16);
    }
    return b;
}

// What the card windows' tests share: the installation's 3F02h keys, the
// question every format asks, and a window's child by name.
inline const QList<QByteArray> Keys{hex("0123456789ABCDEF"), hex("FEDCBA9876543210"), hex("0011223344556677")};
inline const QString Question = QStringLiteral("Essa operação apaga o cartão!\r\nDeseja continuar?");
inline constexpr int QuestionFlags = zentro::mb::YesNo | zentro::mb::IconWarning | zentro::mb::DefaultButton2;

template <class T> T *child(QObject *w, const char *name)
{
    T *c = w->findChild<T *>(QString::fromLatin1(name));
    if (!c)
        qFatal("no child %s", name);
    return c;
}

} // namespace cardtest
