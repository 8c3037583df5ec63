#pragma once

#include "faretable.h"
#include "messagetext.h"

#include <QString>

/** How messages name a table row: "系統名称" for the route row, "停留所 5" for stop 5. */
inline QString describeRow(int row)
{
    if (row == FareTable::RouteRow)
        return QStringLiteral("系統名称の行");
    return QStringLiteral("停留所 %1 の行").arg(FareTable::stopOfRow(row));
}

/** How messages name a stop: its number and its name, "停留所 3「本町」". */
inline QString stopLabel(const FareTable& table, int row)
{
    return QStringLiteral("停留所 %1「%2」")
        .arg(FareTable::stopOfRow(row))
        .arg(briefQuote(table.text(row, FareTable::NameCol)));
}

/** How messages name a cell: its row, then the column's meaning, then its grid position. */
inline QString describeCell(int row, int col)
{
    QString column;
    if (col == FareTable::NameCol)
        column = row == FareTable::RouteRow ? QStringLiteral("系統名称") : QStringLiteral("停名");
    else if (col == FareTable::TicketCol)
        column = QStringLiteral("整理券番号");
    else
        column = QStringLiteral("整理券 %1 の運賃").arg(FareTable::ticketOfColumn(col));
    return QStringLiteral("%1の%2（%3 行 %4 列）").arg(describeRow(row), column).arg(row).arg(col);
}
