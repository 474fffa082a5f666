#pragma once

#include <QList>
#include <QMap>
#include <QString>

#include <optional>

namespace zentro {

// Zentro.ini, in the plain profile format the installations have always
// used: every section in file order (a section without keys counts too),
// section and key names without regard to case, the first value of a key wins,
// and no comments after a value.
class ProfileFile
{
public:
    // Reads the file; answers nothing and sets *error when it cannot be read.
    // A missing file reads as an empty one.
    static std::optional<ProfileFile> read(const QString &path, QString *error);
    // The same from the file's bytes.
    static ProfileFile parse(const QByteArray &bytes);

    QStringList sections() const { return m_order; }
    QString value(const QString &section, const QString &key, const QString &fallback = {}) const;
    bool hasKey(const QString &section, const QString &key) const;

    // Writes one key into a section of the file on disk, creating the file
    // or the section when needed and leaving every other line as it was.
    static bool writeValue(const QString &path, const QString &section, const QString &key, const QString &value,
                           QString *error);

private:
    QStringList m_order;                          // section names as written, first occurrence
    QMap<QString, QMap<QString, QString>> m_keys; // upper-cased section -> upper-cased key -> value
};

} // namespace zentro
