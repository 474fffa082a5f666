#include "app/Settings.h"

#include "app/TextCodec.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace zentro {

namespace {

bool sectionHeader(const QString &line, QString *name)
{
    const QString t = line.trimmed();
    if (!t.startsWith(QLatin1Char('[')))
        return false;
    const qsizetype end = t.indexOf(QLatin1Char(']'));
    if (end < 0)
        return false;
    *name = t.mid(1, end - 1).trimmed();
    return true;
}

QStringList linesOf(const QByteArray &bytes)
{
    QString text = TextCodec::fromCp1252OrUtf8(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text.split(QLatin1Char('\n'));
}

} // namespace

std::optional<ProfileFile> ProfileFile::read(const QString &path, QString *error)
{
    ProfileFile profile;
    QFile file(path);
    if (!file.exists())
        return profile;
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("Não foi possível ler o arquivo \"%1\": %2").arg(path, file.errorString());
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *error = QStringLiteral("Não foi possível ler o arquivo \"%1\": %2").arg(path, file.errorString());
        return std::nullopt;
    }
    return parse(bytes);
}

ProfileFile ProfileFile::parse(const QByteArray &bytes)
{
    ProfileFile profile;
    QString current;
    bool inSection = false;
    for (const QString &line : linesOf(bytes)) {
        QString name;
        if (sectionHeader(line, &name)) {
            current = name.toUpper();
            inSection = true;
            if (!profile.m_keys.contains(current)) {
                profile.m_order << name;
                profile.m_keys.insert(current, {});
            }
            continue;
        }
        const QString t = line.trimmed();
        if (!inSection || t.isEmpty() || t.startsWith(QLatin1Char(';')))
            continue;
        const qsizetype eq = t.indexOf(QLatin1Char('='));
        if (eq <= 0)
            continue;
        const QString key = t.left(eq).trimmed().toUpper();
        QString value = t.mid(eq + 1).trimmed();
        if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"')))
            value = value.mid(1, value.size() - 2);
        QMap<QString, QString> &keys = profile.m_keys[current];
        if (!keys.contains(key))
            keys.insert(key, value);
    }
    return profile;
}

QString ProfileFile::value(const QString &section, const QString &key, const QString &fallback) const
{
    const auto sec = m_keys.constFind(section.toUpper());
    if (sec == m_keys.constEnd())
        return fallback;
    return sec->value(key.toUpper(), fallback);
}

bool ProfileFile::hasKey(const QString &section, const QString &key) const
{
    const auto sec = m_keys.constFind(section.toUpper());
    return sec != m_keys.constEnd() && sec->contains(key.toUpper());
}

bool ProfileFile::writeValue(const QString &path, const QString &section, const QString &key, const QString &value,
                             QString *error)
{
    QStringList lines;
    QFile in(path);
    if (in.exists()) {
        if (!in.open(QIODevice::ReadOnly)) {
            *error = QStringLiteral("Não foi possível ler o arquivo \"%1\": %2").arg(path, in.errorString());
            return false;
        }
        lines = linesOf(in.readAll());
        in.close();
        while (!lines.isEmpty() && lines.last().trimmed().isEmpty())
            lines.removeLast();
    }

    // Find the section, then the key inside it.
    qsizetype sectionLine = -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString name;
        if (sectionHeader(lines.at(i), &name) && name.compare(section, Qt::CaseInsensitive) == 0) {
            sectionLine = i;
            break;
        }
    }
    const QString entry = key + QLatin1Char('=') + value;
    if (sectionLine < 0) {
        lines << QLatin1Char('[') + section + QLatin1Char(']') << entry;
    } else {
        qsizetype end = sectionLine + 1;
        bool replaced = false;
        for (; end < lines.size(); ++end) {
            QString name;
            if (sectionHeader(lines.at(end), &name))
                break;
            const QString t = lines.at(end).trimmed();
            const qsizetype eq = t.indexOf(QLatin1Char('='));
            if (eq > 0 && t.left(eq).trimmed().compare(key, Qt::CaseInsensitive) == 0) {
                lines[end] = entry;
                replaced = true;
                break;
            }
        }
        if (!replaced)
            lines.insert(end, entry);
    }

    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly)) {
        *error = QStringLiteral("Não foi possível gravar o arquivo \"%1\": %2").arg(path, out.errorString());
        return false;
    }
    out.write(TextCodec::toCp1252(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")));
    if (!out.commit()) {
        *error = QStringLiteral("Não foi possível gravar o arquivo \"%1\": %2").arg(path, out.errorString());
        return false;
    }
    return true;
}

} // namespace zentro
