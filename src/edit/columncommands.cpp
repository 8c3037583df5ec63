#include "editcommands.h"
#include "model/bulkguards.h"
#include "model/faretable.h"

namespace {
constexpr int LastRow = FareTable::LastRow;
constexpr int LastCol = FareTable::LastCol;
constexpr int FirstFareCol = FareTable::FirstFareCol;
} // namespace

void EditCommands::MnuEditClumCopy()
{
    const int c = m_table.CurCol();
    if (c < FareTable::TicketCol)
        return;
    HiddenTable hidden(m_table);
    m_copiedColumn = m_table.readBlock(FareTable::RouteRow, c, LastRow, c);
}

void EditCommands::MnuEditClumPaste()
{
    const int c = m_table.CurCol();
    if (c < FareTable::TicketCol)
        return;
    HiddenTable hidden(m_table);
    m_table.writeBlock(FareTable::RouteRow, c, LastRow, c, m_copiedColumn);
}

void EditCommands::MnuClumIns()
{
    const int c = m_table.CurCol();
    if (c < FirstFareCol || c == LastCol)
        return;
    HiddenTable hidden(m_table);
    // Shifting the columns one by one would start by reading the header of column 151, which
    // commits an open edit before its column moves.
    m_table.setCurrentCell(0, LastCol - 1);
    m_table.moveColumn(LastCol, c); // columns c to 151 one to the right; 152 is discarded
    blankColumn(c);
    m_table.SetCell(0, FareTable::TicketCol, QStringLiteral("整理券番号"));
    renumberHeader();
}

void EditCommands::MnuClumDeleteLeft()
{
    const int c = m_table.CurCol();
    if (c < FirstFareCol || c == LastCol || !DeletePrompt())
        return;
    HiddenTable hidden(m_table);
    blankColumn(c);
    // Exchanging columns k - 1 and k for k = c + 1 to 152 carries the emptied column to the end.
    m_table.moveColumn(c, LastCol);
    renumberHeader();
}

void EditCommands::MnuClumDeleteNormal()
{
    const int c = m_table.CurCol();
    if (c <= FareTable::TicketCol || !DeletePrompt())
        return;
    HiddenTable hidden(m_table);
    blankColumn(c);
}

void EditCommands::swapColumns(int col, int otherCol)
{
    {
        HiddenTable hidden(m_table);
        // Cell by cell over rows 0 to 301, so an open edit is committed before its column moves.
        const QVector<QString> mine = m_table.readBlock(0, col, LastRow, col);
        const QVector<QString> theirs = m_table.readBlock(0, otherCol, LastRow, otherCol);
        m_table.writeBlock(0, col, LastRow, col, theirs);
        m_table.writeBlock(0, otherCol, LastRow, otherCol, mine);
        renumberHeader();
        // The header cell of the column that now holds the moved fares.
        m_table.setCurrentCell(0, otherCol);
    }
    emit moved();
}

void EditCommands::MnuClumLeft()
{
    const int c = m_table.CurCol();
    if (c > FirstFareCol)
        swapColumns(c, c - 1);
}

void EditCommands::MnuClumRight()
{
    const int c = m_table.CurCol();
    if (c > FareTable::TicketCol && c != LastCol)
        swapColumns(c, c + 1);
}
