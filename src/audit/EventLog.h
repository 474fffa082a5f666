#pragma once

#include <QString>

#include <functional>

namespace zentro {

// The system event log: an HTML file on the workstation that every part of
// the program appends technical events to. It is written even when the
// database cannot be reached, and opened, written and closed for every event
// so that several workstations may share one file.
class EventLog
{
public:
    // Event kinds as the callers pass them; each pair shares a row style.
    enum Kind {
        CriticalError = 0,
        Error = 2,
        ItemCriticalInfo = 4,
        Info = 6,
        SystemInfo = 8,
        ItemError = 10,
        ItemInfo = 12,
        TransactionLog = 100,
    };

    EventLog() = default;
    EventLog(const QString &path, int fileSizeMillions);

    void setPath(const QString &path) { m_path = path; }
    QString path() const { return m_path; }
    // Rotation threshold in millions of bytes.
    void setFileSize(int millions) { m_fileSizeMillions = millions; }
    int fileSize() const { return m_fileSizeMillions; }

    // Tells whether the database connection is open at the moment of an event;
    // events written while it is closed carry the number 99999999.
    void setConnectionProbe(std::function<bool()> probe) { m_connectionOpen = std::move(probe); }
    // Lets pending window messages run during rotation.
    void setEventPump(std::function<void()> pump) { m_pump = std::move(pump); }

    // Appends one event. Destinations 0, 1 and 2 write to the file; any other
    // writes nothing and answers false. Disabled events answer true.
    bool logEvent(const QString &text, int kind, int destination = 0, bool enabled = true);

    static QString classOfKind(int kind);
    static QByteArray header();
    static constexpr const char *Ending = "</table></body></html>";

private:
    bool append(const QString &text, int kind);
    void rotateIfLarge();

    QString m_path;
    int m_fileSizeMillions = 4;
    quint64 m_number = 0;
    std::function<bool()> m_connectionOpen;
    std::function<void()> m_pump;
};

} // namespace zentro
