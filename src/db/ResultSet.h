#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace zentro::db {

// The rows of one result set, read whole. Values arrive typed: integers as
// qlonglong (BIGINT keeps its 64 bits), DOUBLE as double, DECIMAL as text,
// DATE/TIME/DATETIME as QDate/QTime/QDateTime, BLOB as QByteArray, text as
// QString; SQL NULL as a null QVariant.
class ResultSet
{
public:
    ResultSet() = default;
    ResultSet(QStringList columns, QList<QVariantList> rows);

    int rowCount() const { return m_rows.size(); }
    int columnCount() const { return m_columns.size(); }
    bool isEmpty() const { return m_rows.isEmpty(); }
    const QStringList &columns() const { return m_columns; }
    // Column index by name, case-insensitive; -1 when absent.
    int column(const QString &name) const;

    QVariant value(int row, int column) const;
    // Throws std::out_of_range naming the column when it is absent, so a
    // misspelt column name fails loudly instead of reading as NULL.
    QVariant value(int row, const QString &columnName) const;
    const QVariantList &row(int row) const { return m_rows.at(row); }
    const QList<QVariantList> &rows() const { return m_rows; }

private:
    QStringList m_columns;
    QList<QVariantList> m_rows;
};

} // namespace zentro::db
