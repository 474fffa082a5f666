#include "db/Sql.h"

namespace zentro::sql {

QString quote(const QString &text)
{
    if (text.isNull())
        return QStringLiteral("NULL");
    QString out;
    out.reserve(text.size() + 2);
    out += QLatin1Char('\'');
    for (const QChar c : text) {
        if (c == QLatin1Char('\''))
            out += QLatin1Char('\'');
        out += c;
    }
    out += QLatin1Char('\'');
    return out;
}

QString quote(qint64 number)
{
    return QLatin1Char('\'') + QString::number(number) + QLatin1Char('\'');
}

QString dateTime(const QDateTime &value)
{
    return quote(value.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
}

QString date(const QDate &value)
{
    return quote(value.toString(QStringLiteral("yyyy-MM-dd")));
}

} // namespace zentro::sql
