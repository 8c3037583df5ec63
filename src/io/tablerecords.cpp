#include "tablerecords.h"

#include "model/cellnames.h"
#include "model/cellnumber.h"
#include "model/faretable.h"
#include "model/messagetext.h"

#include <array>

const QString& numberText(qint16 value)
{
    static std::array<QString, 65536> cache;
    QString& text = cache[quint16(value)];
    if (text.isNull())
        text = QString::number(value);
    return text;
}

int collectRowCount(FareTable& table, int limit)
{
    // As GetCell over the name cells from row 1 down: the first move commits an open edit into
    // its cell before the cells are looked at, and the last name cell read is left current.
    table.setCurrentCell(1, FareTable::NameCol);
    const int count = storedRowCount(table, limit);
    const int lastRead = qMin(count + 1, qMin(limit, int(FareTable::LastRow)));
    if (lastRead >= 1)
        table.setCurrentCell(lastRead, FareTable::NameCol);
    return count;
}

int storedRowCount(const FareTable& table, int limit)
{
    int count = 0;
    while (count < limit && count < FareTable::LastRow &&
           !table.text(count + 1, FareTable::NameCol).isEmpty())
        ++count;
    return count;
}

TableRecords readRecords(FareTable& table, int count, int fareCount, bool withTicketNo)
{
    TableRecords result;
    if (count <= 0)
        return result;
    const int lastCol = FareTable::TicketCol + fareCount;
    // The moves of reading the block (rows 1..count, columns 1..lastCol) through GetCell; the
    // texts are then read in place rather than copied.
    table.setCurrentCell(1, 1);
    table.setCurrentCell(count, lastCol);
    result.records.resize(count);
    for (int row = 1; row <= count; ++row) {
        FareRecord& record = result.records[row - 1];
        for (int col = 1; col <= lastCol; ++col) {
            const QString& cell = table.text(row, col);
            if (col == FareTable::NameCol) {
                record.Name = cell;
                continue;
            }
            if (col == FareTable::TicketCol && !withTicketNo)
                continue;
            const CellNumber number = CellToInt16(cell);
            if (!number.ok()) {
                table.setCurrentCell(row, col);
                result.error = QStringLiteral("%1の値「%2」は -32768 から 32767 "
                                              "までの範囲を超えています（オーバーフロー）。")
                                   .arg(describeCell(row, col), briefQuote(cell));
                result.records.clear();
                return result;
            }
            if (col == FareTable::TicketCol)
                record.TicketNo = number.value;
            else
                record.Fares[col - FareTable::FirstFareCol] = number.value;
        }
    }
    return result;
}

void writeRecords(FareTable& table, const QVector<FareRecord>& records, int fareCount,
                  bool withTicketNo)
{
    if (records.isEmpty())
        return;
    const int lastCol = FareTable::TicketCol + fareCount;
    QVector<QString> texts(records.size() * lastCol);
    QString* text = texts.data();
    for (const FareRecord& record : records) {
        *text++ = record.Name;
        if (withTicketNo)
            *text = numberText(record.TicketNo);
        ++text;
        for (int k = 0; k < fareCount; ++k, ++text)
            if (record.Fares[k] != 0)
                *text = numberText(record.Fares[k]);
    }
    table.writeBlock(1, 1, int(records.size()), lastCol, std::move(texts));
}
