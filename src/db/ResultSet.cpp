#include "db/ResultSet.h"

#include <stdexcept>

namespace zentro::db {

ResultSet::ResultSet(QStringList columns, QList<QVariantList> rows)
    : m_columns(std::move(columns))
    , m_rows(std::move(rows))
{
}

int ResultSet::column(const QString &name) const
{
    for (int i = 0; i < m_columns.size(); ++i) {
        if (m_columns.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QVariant ResultSet::value(int row, int column) const
{
    return m_rows.at(row).at(column);
}

QVariant ResultSet::value(int row, const QString &columnName) const
{
    const int c = column(columnName);
    if (c < 0)
        throw std::out_of_range("coluna inexistente no resultado: " + columnName.toStdString());
    return m_rows.at(row).at(c);
}

} // namespace zentro::db
