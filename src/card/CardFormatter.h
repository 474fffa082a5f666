#pragma once

#include "card/CardChannel.h"

#include <QList>
#include <QString>

#include <functional>

namespace zentro {

// Formats the card on a channel into a configuration, collection or
// software-change card: the initialisation erases it, then its files are
// created one by one until the card is full.
class CardFormatter
{
public:
    struct Hooks
    {
        std::function<void(const QString &text)> status;
        std::function<void(const QString &text, int position, int maximum)> progress;
        std::function<void(const QString &text)> message; // plain message box
    };

    enum class Outcome {
        Full,            // the card filled up after enough files: formatted
        AllFilesCreated, // every file fitted: formatted
        Failed,          // "Error in personalization" was shown
        CapacityNotWritten,
    };

    static constexpr int MinConfigurationFiles = 4;
    static constexpr int SoftwareChangeFiles = 143;
    // A software-change card needs seven files (3F17h to 3F77h).
    static constexpr int MinSoftwareChangeFiles = 7;

    static const QString ErrorText;

    CardFormatter(CardChannel &channel, Hooks hooks);

    // keys: the three 8-byte keys of file 3F02h.
    Outcome formatConfiguration(const QList<QByteArray> &keys);
    Outcome formatCollection(const QList<QByteArray> &keys);
    Outcome formatSoftwareChange();

    quint16 lastFileCreated() const { return m_lastFile; }
    // Configuration: the capacity written into 3F40h; collection: the one shown.
    qint64 capacity() const { return m_capacity; }

private:
    enum class Answer { Accepted, Refused, ExchangeFailed };

    Outcome formatWithFileSystem(const QList<QByteArray> &keys, bool configuration);
    Answer send(const QByteArray &command);
    Outcome fail();
    void status(const QString &text);
    void progress(int position, int maximum);
    static QString lastFileText(quint16 fileId);

    CardChannel &m_channel;
    Hooks m_hooks;
    QString m_progressText;
    quint16 m_lastFile = 0;
    qint64 m_capacity = 0;
};

} // namespace zentro
