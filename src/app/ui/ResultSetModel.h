#pragma once

#include "db/ResultSet.h"

#include <QAbstractTableModel>
#include <QColor>

#include <functional>

namespace zentro {

// Rows of a query shown in a grid: chosen columns with their titles, values
// shown the way operators read them (dates dd/MM/yyyy), sortable by clicking
// a title when the column allows it.
class ResultSetModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    struct Column
    {
        using Reader = std::function<QVariant(const db::ResultSet &, int)>;
        using Colour = std::function<QColor(const QVariant &)>;
        Column(QString t, Reader v, bool s = true, Colour c = {})
            : title(std::move(t))
            , value(std::move(v))
            , sortable(s)
            , colour(std::move(c))
        {
        }

        QString title;
        // Reads the cell from row r of the result set.
        std::function<QVariant(const db::ResultSet &, int)> value;
        bool sortable = true;
        // Text colour of a cell, or invalid for the default.
        std::function<QColor(const QVariant &)> colour;
    };

    explicit ResultSetModel(QObject *parent = nullptr);

    void setColumns(QList<Column> columns);
    void setRows(db::ResultSet rows);
    const db::ResultSet &rows() const { return m_rows; }
    // The row of the result set shown at a grid row (sorting reorders).
    int sourceRow(int gridRow) const { return m_order.value(gridRow, -1); }
    QVariant cell(int gridRow, int column) const;
    const QList<Column> &columns() const { return m_columns; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void sort(int column, Qt::SortOrder order) override;

    // Column readers for plain columns.
    static std::function<QVariant(const db::ResultSet &, int)> field(const QString &name);
    static QString display(const QVariant &value);

private:
    QList<Column> m_columns;
    db::ResultSet m_rows;
    QList<int> m_order;
};

} // namespace zentro
