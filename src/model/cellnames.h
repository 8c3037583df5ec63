#pragma once

#include <QString>

/** How messages name a table row: "系統名称" for the route row, "停留所 5" for stop 5. */
inline QString describeRow(int row)
{
    if (row == 1)
        return QStringLiteral("系統名称の行");
    return QStringLiteral("停留所 %1 の行").arg(row - 1);
}

/** How messages name a cell: its row, then the column's meaning, then its grid position. */
inline QString describeCell(int row, int col)
{
    QString column;
    if (col == 1)
        column = row == 1 ? QStringLiteral("系統名称") : QStringLiteral("停名");
    else if (col == 2)
        column = QStringLiteral("整理券番号");
    else
        column = QStringLiteral("整理券 %1 の運賃").arg(col - 2);
    return QStringLiteral("%1の%2（%3 行 %4 列）").arg(describeRow(row), column).arg(row).arg(col);
}
