#include "app/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace zentro {

QString ProgramFolder::path()
{
    const QString home = qEnvironmentVariable("ZENTRO_HOME");
    if (!home.isEmpty())
        return QDir(home).absolutePath();
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return base + QStringLiteral("/Zentro");
}

QString ProgramFolder::dataPath()
{
    const QString own = path() + QStringLiteral("/data");
    if (QFileInfo::exists(own + QStringLiteral("/conv")))
        return own;
    if (QCoreApplication::instance()) {
        const QString installed = QCoreApplication::applicationDirPath() + QStringLiteral("/../share/zentro");
        if (QFileInfo::exists(installed))
            return QDir(installed).absolutePath();
    }
    return QStringLiteral(ZENTRO_DATA_DIR);
}

QString ProgramFolder::dataFile(const QString &relative)
{
    return dataPath() + QLatin1Char('/') + relative;
}

} // namespace zentro
