#pragma once

#include "model/farerecord.h"

#include <QString>
#include <QVector>

class FareTable;

/**
 * The row-collecting rule of every writer: the number of rows from row 1 down before the first
 * row whose name cell (column 1) is exactly empty, at most limit. A name of blanks counts as a
 * name. Reads the name cells as GetCell does, so the current cell ends on the last one read.
 */
int collectRowCount(FareTable& table, int limit);

/**
 * The same count without reading through GetCell: the current cell stays where it is. For
 * whatever only looks at the stored rows (the fare check, the printed sheet, dump).
 */
int storedRowCount(const FareTable& table, int limit);

/**
 * The decimal text of a 16-bit value, made once on first use and shared after: loaders and the
 * fare revision write tens of thousands of numbers, and a shared text costs less than a new one.
 */
const QString& numberText(qint16 value);

struct TableRecords {
    QVector<FareRecord> records;
    /** Empty on success; otherwise the overflow that stops the save (Japanese). */
    QString error;
    bool ok() const { return error.isEmpty(); }
};

/**
 * Reads rows 1..count into records: the name verbatim, the ticket number (when withTicketNo) and
 * fares 1..fareCount through CellToInt16. A cell whose number does not fit into 16 bits is an
 * error naming the cell; the current cell is then that cell, else the last cell read.
 */
TableRecords readRecords(FareTable& table, int count, int fareCount, bool withTicketNo);

/**
 * Writes records into rows 1..n of a cleared table: the name, the ticket number as text
 * (always, so 0 shows "0") when withTicketNo, and fares 1..fareCount (0 as an empty cell).
 * The current cell ends on (n, 2 + fareCount), the last cell written.
 */
void writeRecords(FareTable& table, const QVector<FareRecord>& records, int fareCount,
                  bool withTicketNo);
