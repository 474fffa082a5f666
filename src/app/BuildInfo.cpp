#include "app/BuildInfo.h"

#include "audit/EventLog.h"

#include <QStringList>

namespace zentro {

QString GetBuildInfo(EventLog *events)
{
    const QString info = QStringLiteral(ZENTRO_BUILD_INFO);
    const QStringList parts = info.split(QLatin1Char('.'));
    bool ok = parts.size() == 4;
    for (const QString &p : parts) {
        bool digits = false;
        p.toUInt(&digits);
        ok = ok && digits;
    }
    if (!ok) {
        if (events)
            events->logEvent(QStringLiteral("Erro ao capturar a versão do programa (Função: GetBuildInfo): ") +
                                 QStringLiteral("versão inválida \"%1\"").arg(info),
                             10);
        return QStringLiteral("0.0.0.0");
    }
    return info;
}

} // namespace zentro
