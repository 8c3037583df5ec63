#pragma once

#include <QString>
#include <QVector>

/**
 * What one step changed in the fare table: its parts in the order they happened, and where the
 * current cell was when the step began and when it ended.
 *
 * A part is a row inserted or removed, a column moved, or the texts of single cells. A part holds
 * only the texts the table does not: the row pushed off the end by an insertion or taken out by a
 * removal, and for single cells the texts from before the step while it is done, those from after
 * it while it is undone. Undoing and redoing exchange them with the table's and move the rows and
 * columns back and forth, so neither copies a text.
 */
struct TableChange {
    struct Part {
        enum class Kind { Cells, InsertRow, RemoveRow, MoveColumn };
        Kind kind = Kind::Cells;
        int first = 0;      ///< the row inserted or removed, the column moved
        int second = 0;     ///< where the column moved to
        QVector<int> cells; ///< single cells: row * FareTable::ColCount + col, each once
        QVector<QString> texts;
    };
    QVector<Part> parts;
    /** What the step is called in the Edit menu ("行挿入", "入力"); empty when it has no name. */
    QString name;
    int rowBefore = 0;
    int colBefore = 0;
    int rowAfter = 0;
    int colAfter = 0;

    /**
     * The memory the change holds, on the safe side: a text that several changes (or the table)
     * share is counted in each of them.
     */
    qint64 byteEstimate() const;
};
