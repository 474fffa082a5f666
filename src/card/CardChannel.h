#pragma once

#include <QByteArray>

namespace zentro {

// Something that exchanges one command APDU with a card: the reader
// component of a window, or a card model in a test.
class CardChannel
{
public:
    virtual ~CardChannel() = default;
    // False when the exchange itself failed or fewer than two bytes came
    // back; otherwise the answer data and the status word.
    virtual bool Transmit(const QByteArray &command, QByteArray &response, quint8 &sw1, quint8 &sw2) = 0;
};

// The progress indicator the data-area functions drive (a window's progress
// bar, or nothing).
class CardProgress
{
public:
    virtual ~CardProgress() = default;
    virtual void setRange(int minimum, int maximum) = 0;
    virtual void setValue(int value) = 0;
    virtual int value() const = 0;
    virtual int maximum() const = 0;
};

} // namespace zentro
