#pragma once

#include <QString>
#include <QVector>

/** A block of texts, row by row: what the clipboard carries between the grid and a spreadsheet. */
struct CellBlock {
    int rows = 0;
    int cols = 0;
    QVector<QString> texts; ///< rows * cols texts, row by row

    const QString& at(int row, int col) const { return texts[row * cols + col]; }
    bool isEmpty() const { return texts.isEmpty(); }
};
