#include "app/ui/ResultSetModel.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

#include <algorithm>

namespace zentro {

ResultSetModel::ResultSetModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

void ResultSetModel::setColumns(QList<Column> columns)
{
    beginResetModel();
    m_columns = std::move(columns);
    endResetModel();
}

void ResultSetModel::setRows(db::ResultSet rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    m_order.clear();
    for (int i = 0; i < m_rows.rowCount(); ++i)
        m_order << i;
    endResetModel();
}

int ResultSetModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_order.size());
}

int ResultSetModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant ResultSetModel::cell(int gridRow, int column) const
{
    const int r = sourceRow(gridRow);
    if (r < 0 || column < 0 || column >= m_columns.size())
        return {};
    return m_columns.at(column).value(m_rows, r);
}

QString ResultSetModel::display(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::QDate:
        return value.toDate().toString(QStringLiteral("dd/MM/yyyy"));
    case QMetaType::QTime:
        return value.toTime().toString(QStringLiteral("HH:mm:ss"));
    case QMetaType::QDateTime:
        return value.toDateTime().toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
    default:
        return value.toString();
    }
}

QVariant ResultSetModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole)
        return display(cell(index.row(), index.column()));
    if (role == Qt::ForegroundRole && m_columns.at(index.column()).colour) {
        const QColor c = m_columns.at(index.column()).colour(cell(index.row(), index.column()));
        if (c.isValid())
            return c;
    }
    return {};
}

QVariant ResultSetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section < m_columns.size())
        return m_columns.at(section).title;
    return {};
}

void ResultSetModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= m_columns.size() || !m_columns.at(column).sortable)
        return;
    emit layoutAboutToBeChanged();
    const auto &reader = m_columns.at(column).value;
    std::stable_sort(m_order.begin(), m_order.end(), [&](int a, int b) {
        const QVariant va = reader(m_rows, a);
        const QVariant vb = reader(m_rows, b);
        const auto c = QVariant::compare(va, vb);
        const bool less = c == QPartialOrdering::Unordered ? display(va) < display(vb) : c == QPartialOrdering::Less;
        const bool greater =
            c == QPartialOrdering::Unordered ? display(vb) < display(va) : c == QPartialOrdering::Greater;
        return order == Qt::AscendingOrder ? less : greater;
    });
    emit layoutChanged();
}

std::function<QVariant(const db::ResultSet &, int)> ResultSetModel::field(const QString &name)
{
    return [name](const db::ResultSet &rs, int row) {
        const int c = rs.column(name);
        return c < 0 ? QVariant() : rs.value(row, c);
    };
}

} // namespace zentro
