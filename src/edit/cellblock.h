#pragma once

#include <QString>
#include <QVector>

/** A rectangle of table cells: rows top to bottom, columns left to right. */
struct CellRange {
    int top = 0;
    int left = 0;
    int bottom = -1;
    int right = -1;

    int rows() const { return bottom - top + 1; }
    int cols() const { return right - left + 1; }
    bool isEmpty() const { return bottom < top || right < left; }
    int cellCount() const { return isEmpty() ? 0 : rows() * cols(); }
    bool operator==(const CellRange& other) const
    {
        return top == other.top && left == other.left && bottom == other.bottom &&
               right == other.right;
    }
};

/** A block of texts, row by row: what the clipboard carries between the grid and a spreadsheet. */
struct CellBlock {
    int rows = 0;
    int cols = 0;
    QVector<QString> texts; ///< rows * cols texts, row by row

    const QString& at(int row, int col) const { return texts[row * cols + col]; }
    bool isEmpty() const { return texts.isEmpty(); }
};
