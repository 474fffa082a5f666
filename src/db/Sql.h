#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

// The one path by which values reach SQL text. The session runs with
// NO_BACKSLASH_ESCAPES, so doubling the single quote is complete escaping.
namespace zentro::sql {

// 'text' with every single quote doubled; a null QString gives NULL.
QString quote(const QString &text);
QString quote(qint64 number);             // '123', as the statements have always quoted numbers
QString dateTime(const QDateTime &value); // 'YYYY-MM-DD hh:mm:ss'
QString date(const QDate &value);         // 'YYYY-MM-DD'

} // namespace zentro::sql
