#pragma once

#include "rowrecord.h"

#include <QObject>
#include <QString>
#include <QVector>

class FareTable;
class Platform;

/**
 * The cell, row and column commands, with the state they keep from start-up to exit: the row
 * buffer, the column buffer and whether the row paste is enabled.
 *
 * Every command reads the current cell (CurRow, CurCol) once at its start, does nothing at all
 * when its guard refuses, keeps the table hidden while it rewrites cells, and leaves the current
 * cell on the last cell it touched. A swap that ran ends with moved().
 *
 * An open in-cell edit is committed by the first move of the current cell (the table's leave
 * rule); the insertions and swaps read the current cell before that move. The row and column
 * moves make a cell current first, so that an edit lands in the row or column it was typed into
 * and travels with it.
 */
class EditCommands : public QObject {
    Q_OBJECT

public:
    EditCommands(FareTable& table, Platform& platform, QObject* parent = nullptr);

    /** The row copied last (an empty name, ticket number 0 and no fares before any copy). */
    const RowRecord& copiedRow() const { return m_copiedRow; }
    /** The column copied last, element i for table row i + 1 (all empty before any copy). */
    const QVector<QString>& copiedColumn() const { return m_copiedColumn; }
    /** Whether the menu bar's row paste is enabled: false until the first row copy. */
    bool rowPasteEnabled() const { return m_rowPasteEnabled; }

    /** The deletion confirmation of the row and column deletions; false when answered No. */
    bool DeletePrompt();

public slots:
    // Cells
    void MnuCellInsDown();
    void MnuCellInsRight();
    void MnuCellDeleteNormal();
    void MnuCellDeleteLeft();
    void MnuCellDeleteUp();
    void MnuCellUp();
    void MnuCellDown();
    void MnuCellLeft();
    void MnuCellRight();
    // Rows
    void MnuEditLineCopy();
    void MnuEditLinePaste();
    void MnuEditLineIns();
    void MnuEditLineDelete();
    void MnuRowDeleteNormal();
    void MnuEditUp();
    void MnuEditDown();
    // Columns
    void MnuEditClumCopy();
    void MnuEditClumPaste();
    void MnuClumIns();
    void MnuClumDeleteLeft();
    void MnuClumDeleteNormal();
    void MnuClumLeft();
    void MnuClumRight();

signals:
    /** The row paste became enabled (after the first row copy). */
    void rowPasteEnabledChanged(bool enabled);
    /** A swap of cells, rows or columns has run: the window gives the grid the focus. */
    void moved();

private:
    void swapCells(int row, int col, int otherRow, int otherCol);
    void swapRows(int row, int otherRow);
    void swapColumns(int col, int otherCol);
    void enableRowPaste();
    void renumberRows();
    void renumberHeader();
    void blankColumn(int col);

    FareTable& m_table;
    Platform& m_platform;
    RowRecord m_copiedRow;
    QVector<QString> m_copiedColumn;
    bool m_rowPasteEnabled = false;
};
