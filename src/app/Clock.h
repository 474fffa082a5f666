#pragma once

#include <QDateTime>

namespace zentro {

// The one clock of the program. ZENTRO_NOW=YYYY-MM-DDThh:mm:ss fixes it, so
// that tests and files made for comparison come out the same every time.
class Clock
{
public:
    static QDateTime now()
    {
        const QByteArray fixed = qgetenv("ZENTRO_NOW");
        if (!fixed.isEmpty()) {
            const QDateTime t = QDateTime::fromString(QString::fromLatin1(fixed), Qt::ISODate);
            if (t.isValid())
                return t;
        }
        return QDateTime::currentDateTime();
    }
    static QDate today() { return now().date(); }
};

} // namespace zentro
