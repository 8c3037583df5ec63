#include "faregridmodel.h"

#include "model/faretable.h"

#include <QBrush>
#include <QGuiApplication>
#include <QPalette>

FareGridModel::FareGridModel(FareTable& table, QObject* parent)
    : QAbstractTableModel(parent), m_table(table), m_currentRow(table.CurRow()),
      m_currentCol(table.CurCol())
{
    connect(&table, &FareTable::cellChanged, this, &FareGridModel::cellChanged);
    connect(&table, &FareTable::contentReset, this, &FareGridModel::contentReset);
    connect(&table, &FareTable::currentCellChanged, this, &FareGridModel::currentCellChanged);
}

int FareGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : FareTable::RowCount - FareTable::FixedRows;
}

int FareGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : FareTable::ColCount - FareTable::FixedCols;
}

QModelIndex FareGridModel::indexOfCell(int row, int col) const
{
    if (row < FareTable::FixedRows || col < FareTable::FixedCols || !FareTable::contains(row, col))
        return QModelIndex();
    return index(row - FareTable::FixedRows, col - FareTable::FixedCols);
}

Qt::Alignment FareGridModel::generalAlignment(const QString& text)
{
    bool number = false;
    if (!text.isEmpty())
        text.toDouble(&number);
    return (number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
}

QVariant FareGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return QVariant();
    const QString& text =
        m_table.text(index.row() + FareTable::FixedRows, index.column() + FareTable::FixedCols);
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return text;
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(generalAlignment(text));
    default:
        return QVariant();
    }
}

QVariant FareGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    const bool horizontal = orientation == Qt::Horizontal;
    const int row = horizontal ? 0 : section + FareTable::FixedRows;
    const int col = horizontal ? section + FareTable::FixedCols : 0;
    if (!FareTable::contains(row, col))
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return m_table.text(row, col);
    case Qt::TextAlignmentRole: {
        // The ticket-number heading and the route row's label keep the general alignment.
        const bool centred = horizontal ? col != FareTable::TicketCol : row != FareTable::RouteRow;
        if (centred)
            return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
        return QVariant::fromValue(generalAlignment(m_table.text(row, col)));
    }
    case Qt::BackgroundRole:
        if (row == m_currentRow && col == m_currentCol)
            return QGuiApplication::palette().brush(QPalette::Highlight);
        return QVariant();
    case Qt::ForegroundRole:
        if (row == m_currentRow && col == m_currentCol)
            return QGuiApplication::palette().brush(QPalette::HighlightedText);
        return QVariant();
    default:
        return QVariant();
    }
}

Qt::ItemFlags FareGridModel::flags(const QModelIndex& index) const
{
    // Cells are edited by the window's own in-cell editor, never by the view's delegates.
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

void FareGridModel::headingChanged(int row, int col)
{
    if (row == 0 && col > 0)
        emit headerDataChanged(Qt::Horizontal, col - FareTable::FixedCols,
                               col - FareTable::FixedCols);
    else if (col == 0 && row > 0)
        emit headerDataChanged(Qt::Vertical, row - FareTable::FixedRows,
                               row - FareTable::FixedRows);
}

void FareGridModel::cellChanged(int row, int col)
{
    const QModelIndex changed = indexOfCell(row, col);
    if (changed.isValid())
        emit dataChanged(changed, changed, {Qt::DisplayRole, Qt::TextAlignmentRole});
    else
        headingChanged(row, col);
}

void FareGridModel::contentReset()
{
    emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1),
                     {Qt::DisplayRole, Qt::TextAlignmentRole});
    emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
    emit headerDataChanged(Qt::Vertical, 0, rowCount() - 1);
}

void FareGridModel::currentCellChanged(int row, int col)
{
    const int oldRow = m_currentRow;
    const int oldCol = m_currentCol;
    m_currentRow = row;
    m_currentCol = col;
    // Only a heading cell is drawn current by the model; the view draws ordinary cells.
    headingChanged(oldRow, oldCol);
    headingChanged(row, col);
}
