#pragma once

#include "card/CardChannel.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <functional>

namespace zentro {

// Writes a reader firmware file over up to four software-change cards. The
// file is cut into segments, one per card file, each preceded by a 14-byte
// header that tells the reader's loader where the next segment lies.
class ProgramCardWriter
{
public:
    struct Hooks
    {
        std::function<int(const QString &text, const QString &caption, int flags)> messageBox;
        std::function<void(const QString &text)> message; // plain message box
        std::function<void(int percent)> progress;
        std::function<void()> processEvents;
        std::function<void(int milliseconds)> pause;
    };

    enum class Outcome {
        Completed,
        NotOpened,
        TooLarge,
        BadCard,       // the card test failed
        ProtectedCard, // a collection or configuration card
        SelectFailed,
        WriteFailed,
        DidNotFit, // four cards were not enough
    };

    // The program buffer of the readers' loader holds 2621441 bytes.
    static constexpr qint64 MaxProgramSize = 2621441;
    static constexpr int MaxCards = 4;
    static constexpr int FileCount = 15;
    static constexpr std::array<quint16, FileCount> Files = {0x3F17, 0x3F27, 0x3F37, 0x3F47, 0x3F57,
                                                             0x3F67, 0x3F77, 0x3F87, 0x3F97, 0x3FA7,
                                                             0x3FB7, 0x3FC7, 0x3FD7, 0x3FE7, 0x3F07};
    static constexpr int HeaderLength = 14;
    static constexpr int MaxCommandLength = 240;
    // A file with this many usable bytes or fewer is not used.
    static constexpr int MinUsable = 256;
    static constexpr int SurveyPauseMs = 5;

    static const QString Caption;

    ProgramCardWriter(CardChannel &channel, Hooks hooks);

    Outcome write(const QString &path);

    // The 14 bytes that precede a segment: link, next offset (0), length,
    // 0, and the CRC of the first 12 bytes.
    static QByteArray segmentHeader(quint16 link, quint32 length);
    // Bits 0-13: the file's identifier; bits 14-15: the card, kept to 16 bits.
    static quint16 link(quint16 fileId, int cardNumber);
    static int reserved(int position) { return position == FileCount - 1 ? 256 : HeaderLength; }

    // Usable bytes of each file of the table on the card last surveyed.
    const std::array<int, FileCount> &usable() const { return m_usable; }

private:
    Outcome writeCard(int cardNumber, qint64 &position);
    void survey();
    int nextFile(int position) const;
    bool exchange(const QByteArray &command, QByteArray &response, quint8 &sw1, quint8 &sw2);
    void warn(const QString &text);
    void pause(int milliseconds);

    CardChannel &m_channel;
    Hooks m_hooks;
    QByteArray m_program;
    std::array<int, FileCount> m_usable{};
};

} // namespace zentro
