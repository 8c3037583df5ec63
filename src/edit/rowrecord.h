#pragma once

#include "model/farerecord.h"

#include <QString>
#include <QVector>
#include <array>

/**
 * A row as the row copy and the row swaps take it from the table: the name as it stands, the
 * ticket number and the fares as 16-bit numbers. A number cell whose value does not fit into 16
 * bits keeps its text instead, so that it is neither wrapped nor lost.
 *
 * The number cells are indexed 0 for the ticket number (column 2) and k for the fare of ticket k
 * (column 2 + k).
 */
struct RowRecord {
    static constexpr int NumberCount = FareRecord::FareCount + 1;
    static constexpr int CellCount = NumberCount + 1; ///< columns 1 to 152

    FareRecord numbers;
    /** The text of each number cell outside the 16-bit range; empty where the number fits. */
    std::array<QString, NumberCount> outOfRange;

    /** Takes a row from the texts of its columns 1 to 152. */
    static RowRecord fromCells(const QVector<QString>& cells);

    /** Number cell i: 0 when it read as 0 (or as no number at all), never for a kept text. */
    bool isZero(int i) const { return outOfRange[i].isEmpty() && number(i) == 0; }
    /** Number cell i as decimal text, or its kept text; 0 gives "0". */
    QString numberText(int i) const;
    /** Number cell i as a cell shows it after a swap: as numberText, but 0 gives "". */
    QString cellText(int i) const { return isZero(i) ? QString() : numberText(i); }
    /** Columns 1 to 152 as the row swaps write them back. */
    QVector<QString> cells() const;

    bool operator==(const RowRecord& other) const
    {
        return numbers == other.numbers && outOfRange == other.outOfRange;
    }

private:
    qint16 number(int i) const { return i == 0 ? numbers.TicketNo : numbers.Fares[i - 1]; }
};
