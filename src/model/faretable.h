#pragma once

#include "cellrange.h"
#include "tablechange.h"

#include <QObject>
#include <QString>
#include <QVector>
#include <functional>
#include <vector>

/**
 * The fare table: the one document of the editor, 302 rows by 153 columns of text.
 *
 * Row 0 and column 0 are headings. Row 1 is the route row (route name in column 1), rows 2 to 301
 * are stops 1 to 300. Column 1 holds names, column 2 ticket numbers, columns 3 to 152 the fares of
 * tickets 1 to 150. An empty text is an empty cell.
 *
 * The table has exactly one current cell. GetCell and SetCell make the accessed cell current, and
 * every move of the current cell to a different cell runs in three steps:
 *   1. cellAboutToBeLeft() for the cell being left, while it is still current (the in-cell editor
 *      commits into it here);
 *   2. the move;
 *   3. CurCol and CurRow take the new position and currentCellChanged() tells listeners.
 * Setting the current cell to itself does nothing.
 *
 * Bulk operations put hide()/show() around their work. The bracket nests. While hidden, the leave
 * step still runs synchronously for every move (it is part of the editing contract), but content
 * and current-cell notifications are gathered and sent once when the outermost show() ends it.
 *
 * Steps: with a step recorder set, every change made between the outermost beginStep() and
 * endStep() is handed to it as one TableChange: the rows inserted or removed and the columns moved,
 * and the cells whose text really changed otherwise. A step that changed nothing is not handed on.
 * A text stored through setCurrentText() -- the in-cell editor's commit -- is always a step of its
 * own: one that a running step commits with its first move is handed on before the rest of that
 * step.
 */
class FareTable : public QObject {
    Q_OBJECT

public:
    static constexpr int RowCount = 302;
    static constexpr int ColCount = 153;
    static constexpr int FixedRows = 1;
    static constexpr int FixedCols = 1;
    static constexpr int LastRow = RowCount - 1; ///< 301, the last stop row
    static constexpr int LastCol = ColCount - 1; ///< 152, the fare of ticket 150
    static constexpr int RouteRow = 1;
    static constexpr int FirstStopRow = RouteRow + 1; ///< 2, stop 1
    static constexpr int NameCol = 1;
    static constexpr int TicketCol = 2;
    static constexpr int FirstFareCol = TicketCol + 1; ///< 3, the fare of ticket 1
    static constexpr int FareCount = 150;
    static constexpr int StopCount = 300;
    /** Every cell but the headings: rows 1 to 301, columns 1 to 152. */
    static constexpr CellRange OrdinaryCells{FixedRows, FixedCols, LastRow, LastCol};

    /** Whether (row, col) is a heading cell: one of row 0 or column 0. */
    static constexpr bool isHeading(int row, int col) { return row < FixedRows || col < FixedCols; }
    /** The stop number of a row (row - 1): stops 1 to 300 are rows 2 to 301. */
    static constexpr int stopOfRow(int row) { return row - RouteRow; }
    /** The row of a stop number (stop + 1). */
    static constexpr int rowOfStop(int stop) { return stop + RouteRow; }
    /** The ticket number of a fare column (col - 2): tickets 1 to 150 are columns 3 to 152. */
    static constexpr int ticketOfColumn(int col) { return col - TicketCol; }
    /** The fare column of a ticket number (ticket + 2). */
    static constexpr int columnOfTicket(int ticket) { return ticket + TicketCol; }

    explicit FareTable(QObject* parent = nullptr);

    /** Writes the headings and leaves the route name, (1, 1), current. */
    void setUpHeadings();

    /** Makes (row, col) current, then returns its text. */
    QString GetCell(int row, int col);
    /** Makes (row, col) current, then stores value in it. */
    void SetCell(int row, int col, const QString& value);
    /** Makes (row, col) current, then stores the decimal text of value in it. */
    void SetCell(int row, int col, int value);

    /** Empties every ordinary cell; the current cell ends on (301, 152). Headings stay. */
    void Data_Cls();

    /** The text of a cell without touching the current cell (for drawing and for tests). */
    const QString& text(int row, int col) const { return m_cells[index(row, col)]; }
    /**
     * Stores a text into the current cell without moving it. The in-cell editor commits through
     * this, since the cell it edits is always the current one. The step it records is named
     * stepName, or like the running step when stepName is empty.
     */
    void setCurrentText(const QString& value, const QString& stepName = QString());

    int CurRow() const { return m_curRow; }
    int CurCol() const { return m_curCol; }
    int rowCount() const { return RowCount; }
    int colCount() const { return ColCount; }
    int fixedRows() const { return FixedRows; }

    /** Moves the current cell, with the three-step move rule. */
    void setCurrentCell(int row, int col);
    void setCurrentRow(int row) { setCurrentCell(row, m_curCol); }
    void setCurrentCol(int col) { setCurrentCell(m_curRow, col); }

    /**
     * Bulk access with the effects of a run of GetCell calls over rows top..bottom, each row read
     * from column left to right: the current cell visits the first cell, then ends on the last.
     * Returns the texts row by row.
     */
    QVector<QString> readBlock(int top, int left, int bottom, int right);
    /**
     * Bulk write with the effects of a run of SetCell calls over the block, row by row and left to
     * right; texts holds (bottom - top + 1) * (right - left + 1) texts in that order.
     */
    void writeBlock(int top, int left, int bottom, int right, const QVector<QString>& texts);
    /** As above, moving the texts into the cells (a loader's whole table costs no copies). */
    void writeBlock(int top, int left, int bottom, int right, QVector<QString>&& texts);

    /** Inserts an empty row at index row; rows below move down and row 301 falls off the end. */
    void insertRow(int row);
    /** Removes the row at index row; rows below move up and an empty row is appended at 301. */
    void removeRow(int row);
    /** Moves every cell of column from (rows 0 to 301) to column position to; the others close up.
     */
    void moveColumn(int from, int to);

    /** Hands every recorded step to recorder from now on; an empty function stops recording. */
    void setStepRecorder(std::function<void(TableChange&&)> recorder);
    /**
     * Opens a step; steps nest, and the outermost one decides what is recorded together and
     * what it is called.
     */
    void beginStep(const QString& name = QString());
    /** Closes a step; closing the outermost one hands its change to the recorder. */
    void endStep();
    /** Whether a step is open. */
    bool inStep() const { return m_stepDepth > 0; }
    /**
     * Puts back the texts a done change replaced, then makes the cell current that was current
     * when its step began (with the move rule). Nothing of this is recorded.
     */
    void undoChange(TableChange& change);
    /** Stores the texts of an undone change again; the current cell is where its step ended. */
    void redoChange(TableChange& change);

    /** Starts a hide/show bracket. */
    void hide();
    /** Ends a hide/show bracket; the outermost one sends the gathered notifications. */
    void show();
    bool isHidden() const { return m_hideDepth > 0; }

    /** Whether (row, col) lies inside the table. */
    static bool contains(int row, int col)
    {
        return row >= 0 && row < RowCount && col >= 0 && col < ColCount;
    }

signals:
    /** Step 1 of a move: (row, col) is still current and is about to be left. */
    void cellAboutToBeLeft(int row, int col);
    /** Step 3 of a move (sent once at show() for moves made while hidden). */
    void currentCellChanged(int row, int col);
    /** One cell's text changed while the table was shown. */
    void cellChanged(int row, int col);
    /** Many cells changed (a bulk operation, a row or column move): redraw everything. */
    void contentReset();
    /** The hide/show bracket opened (true) or closed (false). */
    void visibilityChanged(bool visible);
    /** The outermost step was closed (after its change, if any, was handed on). */
    void stepEnded();

private:
    static int index(int row, int col) { return row * ColCount + col; }
    void checkCell(int row, int col) const;
    void store(int row, int col, const QString& value);
    void noteBulkChange();
    void shiftRowsDown(int row);
    void shiftRowsUp(int row);
    void rotateColumns(int from, int to);

    // Recording steps (faretablesteps.cpp).
    /**
     * Takes the old text of a cell that is about to be overwritten into the step being recorded
     * (only while recording).
     */
    void keepOld(int at);
    /** Notes a row insertion or removal or a column move about to happen. */
    void recordMove(TableChange::Part::Kind kind, int first, int second);
    void closeCellsPart();
    void openRecording();
    void closeRecording();
    void exchange(TableChange& change, bool undo);
    void swapRow(int row, QVector<QString>& texts);

    QVector<QString> m_cells;
    int m_curRow = 0;
    int m_curCol = 0;
    int m_hideDepth = 0;
    bool m_pendingReset = false;
    bool m_pendingMove = false;

    std::function<void(TableChange&&)> m_stepRecorder;
    int m_stepDepth = 0;
    QString m_stepName; ///< the name of the running step
    bool m_recording = false;
    TableChange m_step;          ///< the step being recorded
    std::vector<bool> m_touched; ///< the cells its last part (of single cells) holds already
};
