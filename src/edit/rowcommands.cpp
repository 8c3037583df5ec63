#include "editcommands.h"
#include "model/bulkguards.h"
#include "model/faretable.h"

namespace {
constexpr int LastRow = FareTable::LastRow;
constexpr int LastCol = FareTable::LastCol;

/** Columns 1 to 152 of a row, as GetCell from the left: ends on (row, 152). */
RowRecord readRow(FareTable& table, int row)
{
    return RowRecord::fromCells(table.readBlock(row, FareTable::NameCol, row, LastCol));
}

} // namespace

void EditCommands::MnuEditLineCopy()
{
    const int r = m_table.CurRow();
    if (r <= FareTable::RouteRow)
        return;
    HiddenTable hidden(m_table);
    m_copiedRow = readRow(m_table, r);
    enableRowPaste();
}

void EditCommands::MnuEditLinePaste()
{
    const int r = m_table.CurRow();
    if (r <= FareTable::RouteRow)
        return;
    HiddenTable hidden(m_table);
    m_table.SetCell(r, FareTable::NameCol, m_copiedRow.numbers.Name);
    m_table.SetCell(r, FareTable::TicketCol, m_copiedRow.numberText(0)); // 0 too
    for (int k = 1; k <= FareTable::FareCount; ++k) {
        if (!m_copiedRow.isZero(k)) // a fare of 0 leaves the target's fare
            m_table.SetCell(r, FareTable::columnOfTicket(k), m_copiedRow.numberText(k));
    }
}

void EditCommands::MnuEditLineIns()
{
    const int r = m_table.CurRow();
    if (r <= FareTable::RouteRow)
        return;
    HiddenTable hidden(m_table);
    // The renumbering's first cell is made current before the rows move, so that an open edit
    // lands in the row it was typed into and moves down with it.
    m_table.setCurrentCell(FareTable::FirstStopRow, 0);
    m_table.insertRow(r);
    renumberRows();
}

void EditCommands::MnuEditLineDelete()
{
    const int r = m_table.CurRow();
    if (r <= FareTable::RouteRow || !DeletePrompt())
        return;
    HiddenTable hidden(m_table);
    // As for the insert: an open edit is committed into its own row before the rows move up.
    m_table.setCurrentCell(FareTable::FirstStopRow, 0);
    m_table.removeRow(r);
    renumberRows();
}

void EditCommands::MnuRowDeleteNormal()
{
    const int r = m_table.CurRow();
    if (r <= FareTable::RouteRow || !DeletePrompt())
        return;
    HiddenTable hidden(m_table);
    static const QVector<QString> blanks(LastCol);
    m_table.writeBlock(r, FareTable::NameCol, r, LastCol, blanks);
}

void EditCommands::swapRows(int row, int otherRow)
{
    {
        HiddenTable hidden(m_table);
        const RowRecord mine = readRow(m_table, row);
        const RowRecord theirs = readRow(m_table, otherRow);
        m_table.writeBlock(row, FareTable::NameCol, row, LastCol, theirs.cells());
        m_table.writeBlock(otherRow, FareTable::NameCol, otherRow, LastCol, mine.cells());
    }
    emit moved();
}

void EditCommands::MnuEditUp()
{
    const int r = m_table.CurRow();
    if (r > FareTable::FirstStopRow)
        swapRows(r, r - 1);
}

void EditCommands::MnuEditDown()
{
    const int r = m_table.CurRow();
    if (r > FareTable::RouteRow && r != LastRow)
        swapRows(r, r + 1);
}
