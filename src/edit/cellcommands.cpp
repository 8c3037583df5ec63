#include "blockedits.h"
#include "editcommands.h"
#include "model/bulkguards.h"
#include "model/faretable.h"

// The block reads and writes below have the effects of the cell-by-cell GetCell and SetCell runs
// they replace: the first access leaves the cell the user is on (committing an open edit into
// it), the last one stays current. A run that starts on the current cell reads it as stored, so
// the insertions and the swaps move the text that stood there before the edit.
//
// A row or column command can leave a heading cell current; the cell commands refuse to run there,
// since shifting or swapping would carry heading texts into the table's data and data into the
// headings, where the next renumbering wipes it out.

namespace {
constexpr int LastRow = FareTable::LastRow;
constexpr int LastCol = FareTable::LastCol;
} // namespace

void EditCommands::MnuCellInsDown()
{
    const int r = m_table.CurRow();
    const int c = m_table.CurCol();
    if (FareTable::isHeading(r, c) || r == FareTable::RouteRow || r == LastRow)
        return;
    HiddenTable hidden(m_table);
    QVector<QString> below = m_table.readBlock(r, c, LastRow, c);
    below.removeLast(); // pushed past row 301
    m_table.writeBlock(r + 1, c, LastRow, c, below);
    m_table.SetCell(r, c, QString());
}

void EditCommands::MnuCellInsRight()
{
    const int r = m_table.CurRow();
    const int c = m_table.CurCol();
    if (FareTable::isHeading(r, c) || c <= FareTable::TicketCol || c == LastCol)
        return;
    HiddenTable hidden(m_table);
    QVector<QString> right = m_table.readBlock(r, c, r, LastCol);
    right.removeLast(); // pushed past column 152
    m_table.writeBlock(r, c + 1, r, LastCol, right);
    m_table.SetCell(r, c, QString());
}

void EditCommands::MnuCellDeleteNormal()
{
    const int r = m_table.CurRow();
    const int c = m_table.CurCol();
    BlockEdits::clear(m_table, {r, c, r, c}); // the grid's Delete key
}

void EditCommands::MnuCellDeleteLeft()
{
    const int r = m_table.CurRow();
    const int c = m_table.CurCol();
    if (FareTable::isHeading(r, c) || c == FareTable::TicketCol || c == LastCol)
        return;
    HiddenTable hidden(m_table);
    const QVector<QString> right = m_table.readBlock(r, c + 1, r, LastCol);
    m_table.writeBlock(r, c, r, LastCol - 1, right);
    m_table.SetCell(r, LastCol, QString());
}

void EditCommands::MnuCellDeleteUp()
{
    const int r = m_table.CurRow();
    const int c = m_table.CurCol();
    if (FareTable::isHeading(r, c) || r == FareTable::RouteRow || r == LastRow)
        return;
    HiddenTable hidden(m_table);
    const QVector<QString> below = m_table.readBlock(r + 1, c, LastRow, c);
    m_table.writeBlock(r, c, LastRow - 1, c, below);
    m_table.SetCell(LastRow, c, QString());
}

void EditCommands::swapCells(int row, int col, int otherRow, int otherCol)
{
    {
        HiddenTable hidden(m_table);
        const QString mine = m_table.GetCell(row, col);
        const QString theirs = m_table.GetCell(otherRow, otherCol);
        m_table.SetCell(row, col, theirs);
        m_table.SetCell(otherRow, otherCol, mine);
    }
    emit moved();
}

void EditCommands::MnuCellUp()
{
    const int r = m_table.CurRow();
    const int c = m_table.CurCol();
    if (!FareTable::isHeading(r, c) && r > FareTable::FirstStopRow)
        swapCells(r, c, r - 1, c);
}

void EditCommands::MnuCellDown()
{
    const int r = m_table.CurRow();
    const int c = m_table.CurCol();
    if (!FareTable::isHeading(r, c) && r != FareTable::RouteRow && r != LastRow)
        swapCells(r, c, r + 1, c);
}

void EditCommands::MnuCellLeft()
{
    const int r = m_table.CurRow();
    const int c = m_table.CurCol();
    if (!FareTable::isHeading(r, c) && c > FareTable::FirstFareCol)
        swapCells(r, c, r, c - 1);
}

void EditCommands::MnuCellRight()
{
    const int r = m_table.CurRow();
    const int c = m_table.CurCol();
    if (!FareTable::isHeading(r, c) && c != FareTable::TicketCol && c != LastCol)
        swapCells(r, c, r, c + 1);
}
