#include "blockedits.h"

#include "model/bulkguards.h"
#include "model/faretable.h"

namespace {

/** Writes texts into range as the block accessors do, then makes the former current cell current
 * again. */
void writeInPlace(FareTable& table, const CellRange& range, QVector<QString>&& texts)
{
    HiddenTable hidden(table);
    const int row = table.CurRow();
    const int col = table.CurCol();
    table.writeBlock(range.top, range.left, range.bottom, range.right, std::move(texts));
    table.setCurrentCell(row, col);
}

} // namespace

CellRange BlockEdits::ordinaryPart(const CellRange& range)
{
    return range.intersected(FareTable::OrdinaryCells);
}

CellBlock BlockEdits::read(const FareTable& table, const CellRange& range)
{
    CellBlock block;
    if (range.isEmpty())
        return block;
    block.rows = range.rows();
    block.cols = range.cols();
    block.texts.reserve(range.cellCount());
    for (int row = range.top; row <= range.bottom; ++row)
        for (int col = range.left; col <= range.right; ++col)
            block.texts.append(table.text(row, col));
    return block;
}

BlockEdits::PasteResult BlockEdits::paste(FareTable& table, CellBlock block, int row, int col,
                                          const CellRange& selection)
{
    PasteResult result;
    if (block.isEmpty())
        return result;
    if (block.texts.size() == 1 && selection.cellCount() > 1) {
        result.written = ordinaryPart(selection);
        writeInPlace(table, result.written,
                     QVector<QString>(result.written.cellCount(), block.texts[0]));
        return result;
    }
    const CellRange target{row, col, row + block.rows - 1, col + block.cols - 1};
    result.written = ordinaryPart(target);
    result.leftOut = target.cellCount() - result.written.cellCount();
    if (result.written.isEmpty())
        return result;
    if (result.leftOut == 0) {
        writeInPlace(table, result.written, std::move(block.texts));
        return result;
    }
    QVector<QString> texts;
    texts.reserve(result.written.cellCount());
    for (int r = result.written.top; r <= result.written.bottom; ++r)
        for (int c = result.written.left; c <= result.written.right; ++c)
            texts.append(block.at(r - row, c - col));
    writeInPlace(table, result.written, std::move(texts));
    return result;
}

void BlockEdits::clear(FareTable& table, const CellRange& range)
{
    const int row = table.CurRow();
    const int col = table.CurCol();
    if (range == CellRange{row, col, row, col}) {
        if (!FareTable::isHeading(row, col))
            table.setCurrentText(QString());
        return;
    }
    const CellRange cells = ordinaryPart(range);
    if (!cells.isEmpty())
        writeInPlace(table, cells, QVector<QString>(cells.cellCount()));
}
