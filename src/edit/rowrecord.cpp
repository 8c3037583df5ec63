#include "rowrecord.h"

#include "model/cellnumber.h"

RowRecord RowRecord::fromCells(const QVector<QString>& cells)
{
    Q_ASSERT(cells.size() == CellCount);
    RowRecord row;
    row.numbers.Name = cells[0];
    for (int i = 0; i < NumberCount; ++i) {
        const QString& text = cells[i + 1];
        const CellNumber number = CellToInt16(text);
        if (!number.ok())
            row.outOfRange[i] = text;
        else if (i == 0)
            row.numbers.TicketNo = number.value;
        else
            row.numbers.Fares[i - 1] = number.value;
    }
    return row;
}

QString RowRecord::numberText(int i) const
{
    return outOfRange[i].isEmpty() ? int16ToCellText(number(i)) : outOfRange[i];
}

QVector<QString> RowRecord::cells() const
{
    QVector<QString> texts;
    texts.reserve(CellCount);
    texts.append(numbers.Name);
    for (int i = 0; i < NumberCount; ++i)
        texts.append(cellText(i));
    return texts;
}
