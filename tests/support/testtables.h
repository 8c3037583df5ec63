#pragma once

#include "model/cp932.h"
#include "model/faretable.h"

#include <QByteArray>
#include <QFile>
#include <QString>

/** Helpers shared by the tests: tables with known content and byte files on disk. */
namespace TestTables {

/** A distinct text for every ordinary cell: "r.c". */
inline QString cellTag(int row, int col)
{
    return QStringLiteral("%1.%2").arg(row).arg(col);
}

/** Fills every ordinary cell with cellTag(row, col). */
inline void fillTagged(FareTable& table)
{
    for (int row = 1; row <= FareTable::LastRow; ++row)
        for (int col = 1; col <= FareTable::LastCol; ++col)
            table.SetCell(row, col, cellTag(row, col));
}

/**
 * A full table of storable values: rows 1..rows named with a 20-character Japanese name, ticket
 * number and fares as distinct numbers that fit into 16 bits.
 */
inline void fillFull(FareTable& table, int rows = FareTable::LastRow)
{
    for (int row = 1; row <= rows; ++row) {
        table.SetCell(
            row, 1,
            QStringLiteral("停留所名称テスト用の長い名前%1番").arg(row, 3, 10, QLatin1Char('0')));
        table.SetCell(row, 2, row);
        for (int col = 3; col <= FareTable::LastCol; ++col)
            table.SetCell(row, col, (row * 7 + col * 13) % 9000 + 100);
    }
}

/** Writes rows from row 1 down: rows separated by blanks, their cells by commas, name first. */
inline void fillRows(FareTable& table, const char* rows)
{
    int row = 1;
    for (const QString& line : QString::fromUtf8(rows).split(u' ')) {
        const QStringList cells = line.split(u',');
        for (int col = 0; col < cells.size(); ++col)
            table.SetCell(row, col + 1, cells[col]);
        ++row;
    }
}

/**
 * An approved old table and the new one made from it, route "東西線" in both. Old: A, B, C, D;
 * new: A, B (ticket 1's fare 200 → 210), N added as stop 3, C (ticket number 3 → 4), D removed.
 * Four differences, in the new table's order: B's fare (3, 3), N (4, 1), C's ticket (5, 2), D
 * (6, 1).
 */
inline void fillComparedPair(FareTable& oldTable, FareTable& newTable)
{
    fillRows(oldTable, "東西線 A,1,150 B,2,200,150 C,3,250,200,150 D,4,300,250,200,150");
    fillRows(newTable, "東西線 A,1,150 B,2,210,150 N,3,230,180,150 C,4,250,200,150");
}

/** The text in code page 932, as the files hold it. */
inline QByteArray sjis(const QString& text)
{
    return Cp932::encode(text).bytes;
}

/** A 16-bit word of the binary formats: little-endian, two's complement. */
inline QByteArray le16(int value)
{
    const auto v = quint16(qint16(value));
    return QByteArray(1, char(v & 0xFF)) + QByteArray(1, char(v >> 8));
}

inline bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

inline QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

/** A snapshot of every cell, for comparing whole tables. */
inline QStringList snapshot(const FareTable& table)
{
    QStringList cells;
    for (int row = 0; row < FareTable::RowCount; ++row)
        for (int col = 0; col < FareTable::ColCount; ++col)
            cells.append(table.text(row, col));
    return cells;
}

/** The first differences between the table and the expected cells, or "" when they agree. */
inline QString differences(const FareTable& table, const QStringList& expected)
{
    QStringList found;
    for (int row = 0; row < FareTable::RowCount && found.size() < 5; ++row)
        for (int col = 0; col < FareTable::ColCount && found.size() < 5; ++col)
            if (table.text(row, col) != expected.at(row * FareTable::ColCount + col))
                found << QStringLiteral("(%1, %2) is \"%3\", expected \"%4\"")
                             .arg(row)
                             .arg(col)
                             .arg(table.text(row, col),
                                  expected.at(row * FareTable::ColCount + col));
    return found.join(QStringLiteral("; "));
}

} // namespace TestTables
