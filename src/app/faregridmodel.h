#pragma once

#include <QAbstractTableModel>
#include <QPoint>
#include <QSet>

class FareTable;

/**
 * A thin item model over the fare table: the ordinary cells (rows 1 to 301, columns 1 to 152)
 * are the model's items, and the heading row and column are its header data. It holds no text
 * of its own; every call reads FareTable::text().
 *
 * Alignment follows the grid's rules: the headings of the name column and of the fare columns
 * and the stop labels are centred, other headings and every ordinary cell are aligned by content
 * (numbers to the right, text to the left), vertically centred. A heading cell that is the
 * table's current cell is drawn in the highlight colours. Cells the fare check found, and cells
 * that differ from a table compared with, are tinted until the table next changes. A cell's text is
 * displayed up to its first 1000 characters, and "…" when it is longer: laying out more than a cell
 * can show would only cost time.
 */
class FareGridModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit FareGridModel(FareTable& table, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    /** The model index of table cell (row, col); invalid for a heading cell. */
    QModelIndex indexOfCell(int row, int col) const;

    /** Why a cell is tinted: the fare check found it, or it differs from an older table. */
    enum class Mark { Finding, Difference };

    /**
     * Tints cells, given as (column, row) of the table, as the fare check's findings or as a
     * comparison's differences, until the table next changes; an empty list removes that tint.
     * A cell marked both ways shows the finding.
     */
    void setMarkedCells(const QList<QPoint>& cells, Mark mark = Mark::Finding);
    bool isMarked(int row, int col, Mark mark = Mark::Finding) const
    {
        return m_marked[int(mark)].contains(QPoint(col, row));
    }

    /** The alignment of an ordinary cell's text: numbers right, anything else left. */
    static Qt::Alignment generalAlignment(const QString& text);

private:
    void cellChanged(int row, int col);
    void contentReset();
    void currentCellChanged(int row, int col);
    void headingChanged(int row, int col);
    void clearMarks();
    void markedChanged(Mark mark);

    FareTable& m_table;
    int m_currentRow;
    int m_currentCol;
    QSet<QPoint> m_marked[2]; ///< the tinted cells as (column, row), by Mark
};
