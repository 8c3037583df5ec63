#include "faregridmodel.h"

#include "gui/visibletext.h"
#include "model/faretable.h"

#include <QBrush>
#include <QGuiApplication>
#include <QPalette>

namespace {

/**
 * The most characters of a cell the grid draws: more than the widest column shows even of the
 * narrowest characters. A longer text is drawn cut, ending in "…".
 */
constexpr qsizetype ShownLength = 1000;

/** The tints of a cell that the fare check found (a light amber) and of one that differs from a
 *  table compared with (a light blue), under black text whatever the palette (a dark one would
 *  write white on them). By FareGridModel::Mark. */
const QColor MarkColours[] = {QColor(0xFF, 0xE0, 0x99), QColor(0xC8, 0xE0, 0xFF)};
const QColor MarkTextColour(Qt::black);

} // namespace

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
    if (!FareTable::contains(row, col) || FareTable::isHeading(row, col))
        return QModelIndex();
    return index(row - FareTable::FixedRows, col - FareTable::FixedCols);
}

Qt::Alignment FareGridModel::generalAlignment(const QString& text)
{
    bool number = false;
    if (!text.isEmpty() && text.size() <= ShownLength) // a longer one is aligned as text
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
        return visibleStart(text, ShownLength);
    case Qt::EditRole:
        return text;
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(generalAlignment(text));
    case Qt::BackgroundRole:
    case Qt::ForegroundRole:
        for (const Mark mark : {Mark::Finding, Mark::Difference}) {
            const QSet<QPoint>& marked = m_marked[int(mark)];
            if (!marked.isEmpty() && marked.contains(QPoint(index.column() + FareTable::FixedCols,
                                                            index.row() + FareTable::FixedRows)))
                return QBrush(role == Qt::BackgroundRole ? MarkColours[int(mark)] : MarkTextColour);
        }
        return QVariant();
    default:
        return QVariant();
    }
}

void FareGridModel::setMarkedCells(const QList<QPoint>& cells, Mark mark)
{
    QSet<QPoint>& marked = m_marked[int(mark)];
    markedChanged(mark);
    marked.clear();
    for (const QPoint& cell : cells)
        if (indexOfCell(cell.y(), cell.x()).isValid())
            marked.insert(cell);
    markedChanged(mark);
}

void FareGridModel::clearMarks()
{
    for (const Mark mark : {Mark::Finding, Mark::Difference}) {
        markedChanged(mark);
        m_marked[int(mark)].clear();
    }
}

void FareGridModel::markedChanged(Mark mark)
{
    // One notice for the block that holds them all: a check may find thousands of cells.
    const QSet<QPoint>& marked = m_marked[int(mark)];
    if (marked.isEmpty())
        return;
    QRect block;
    for (const QPoint& cell : marked)
        block |= QRect(cell, QSize(1, 1));
    emit dataChanged(indexOfCell(block.top(), block.left()),
                     indexOfCell(block.bottom(), block.right()),
                     {Qt::BackgroundRole, Qt::ForegroundRole});
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
    if (row < FareTable::FixedRows && col >= FareTable::FixedCols)
        emit headerDataChanged(Qt::Horizontal, col - FareTable::FixedCols,
                               col - FareTable::FixedCols);
    else if (col < FareTable::FixedCols && row >= FareTable::FixedRows)
        emit headerDataChanged(Qt::Vertical, row - FareTable::FixedRows,
                               row - FareTable::FixedRows);
}

void FareGridModel::cellChanged(int row, int col)
{
    clearMarks();
    const QModelIndex changed = indexOfCell(row, col);
    if (changed.isValid())
        emit dataChanged(changed, changed, {Qt::DisplayRole, Qt::TextAlignmentRole});
    else
        headingChanged(row, col);
}

void FareGridModel::contentReset()
{
    clearMarks();
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
