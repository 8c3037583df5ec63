#pragma once

#include "edit/editcommands.h"
#include "editorstandin.h"
#include "fakeplatform.h"
#include "model/faretable.h"
#include "testtables.h"

#include <QByteArrayList>
#include <QSignalSpy>
#include <QStringList>
#include <QTest>

/** What the editing command tests share: a tagged table, the commands, the expected tables. */
namespace EditKit {

using TestTables::differences;

inline int cellIndex(int row, int col)
{
    return row * FareTable::ColCount + col;
}

/** The whole tagged table: headings, and "r.c" in every ordinary cell. */
inline const QStringList& tagged()
{
    static const QStringList cells = [] {
        FareTable table;
        TestTables::fillTagged(table);
        return TestTables::snapshot(table);
    }();
    return cells;
}

inline QString taggedText(int row, int col)
{
    return tagged().at(cellIndex(row, col));
}

/** An expected table, described by where each changed cell's text comes from. */
class Expected {
public:
    QStringList cells = tagged();

    Expected& set(int row, int col, const QString& text)
    {
        cells[cellIndex(row, col)] = text;
        return *this;
    }
    /** Rows first..last of column col hold the tagged texts of the rows offset further down. */
    Expected& columnFrom(int col, int first, int last, int offset)
    {
        for (int row = first; row <= last; ++row)
            set(row, col, taggedText(row + offset, col));
        return *this;
    }
    /** Columns first..last of row hold the tagged texts of the columns offset further right. */
    Expected& rowFrom(int row, int first, int last, int offset)
    {
        for (int col = first; col <= last; ++col)
            set(row, col, taggedText(row, col + offset));
        return *this;
    }
    /** Rows first..last (columns 1..152) hold the tagged rows offset further down. */
    Expected& rowsFrom(int first, int last, int offset)
    {
        for (int row = first; row <= last; ++row)
            for (int col = 1; col <= FareTable::LastCol; ++col)
                set(row, col, taggedText(row + offset, col));
        return *this;
    }
    Expected& blankRow(int row, int first = 1, int last = FareTable::LastCol)
    {
        for (int col = first; col <= last; ++col)
            set(row, col, QString());
        return *this;
    }
    Expected& blankColumn(int col, int first = 1, int last = FareTable::LastRow)
    {
        for (int row = first; row <= last; ++row)
            set(row, col, QString());
        return *this;
    }
    /** The tagged texts of two cells exchanged. */
    Expected& swapped(int row, int col, int otherRow, int otherCol)
    {
        set(row, col, taggedText(otherRow, otherCol));
        return set(otherRow, otherCol, taggedText(row, col));
    }
    /** Rows 1..301 of column col hold the tagged texts of column from. */
    Expected& columnOf(int col, int from)
    {
        for (int row = 1; row <= FareTable::LastRow; ++row)
            set(row, col, taggedText(row, from));
        return *this;
    }
};

/** A tagged table with its commands on a scripted platform. */
struct Bench {
    FareTable table;
    FakePlatform platform;
    EditCommands commands{table, platform};
    QSignalSpy moves{&commands, &EditCommands::moved};

    Bench() { TestTables::fillTagged(table); }

    /**
     * Runs steps in order: a command's slot name, or "@r,c" for the user choosing cell (r, c).
     * Returns false when a step names no command.
     */
    bool run(const QByteArrayList& steps)
    {
        for (const QByteArray& step : steps) {
            if (step.startsWith('@')) {
                const QList<QByteArray> cell = step.mid(1).split(',');
                table.setCurrentCell(cell.at(0).toInt(), cell.at(1).toInt());
            } else if (!QMetaObject::invokeMethod(&commands, step.constData())) {
                return false;
            }
        }
        return true;
    }
};

/**
 * The columns of a command family's table-driven test: the steps run from the start cell, the
 * whole table expected afterwards, the current cell left, and how many moves were announced (the
 * window gives the grid the focus on each).
 */
inline void addFamilyColumns()
{
    QTest::addColumn<QByteArrayList>("steps");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("col");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<int>("endRow");
    QTest::addColumn<int>("endCol");
    QTest::addColumn<int>("moves");
}

/** A row of the family table for a command whose guard refuses at (row, col). */
inline void addRefused(const char* name, const QByteArray& command, int row, int col)
{
    QTest::newRow(name) << QByteArrayList{command} << row << col << tagged() << row << col << 0;
}

/**
 * Runs the current row of a family table. Besides the table, the current cell and the focus, it
 * checks the hide/show bracket: no cell is redrawn one by one (except by the Delete key's empty
 * cell), the table is shown at the end, and a refused command does not even hide it.
 */
inline void runFamilyRow()
{
    QFETCH(QByteArrayList, steps);
    QFETCH(int, row);
    QFETCH(int, col);
    QFETCH(QStringList, expected);
    QFETCH(int, endRow);
    QFETCH(int, endCol);
    QFETCH(int, moves);

    Bench bench;
    bench.table.setCurrentCell(row, col);
    QSignalSpy visibility(&bench.table, &FareTable::visibilityChanged);
    QSignalSpy cellRedrawn(&bench.table, &FareTable::cellChanged);
    QVERIFY(bench.run(steps));

    const QString diff = differences(bench.table, expected);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
    QCOMPARE(bench.table.CurRow(), endRow);
    QCOMPARE(bench.table.CurCol(), endCol);
    QCOMPARE(bench.moves.count(), moves);
    QVERIFY(!bench.table.isHidden());
    QCOMPARE(visibility.count() % 2, 0);
    if (!steps.contains("MnuCellDeleteNormal"))
        QCOMPARE(cellRedrawn.count(), 0);
    if (expected == tagged() && endRow == row && endCol == col)
        QCOMPARE(visibility.count(), 0);
}

/**
 * The columns of an open-edit test: the steps run with the in-cell editor open on (row, col)
 * holding edit, cells expected afterwards as "r,c=text", and whether the edit survives anywhere.
 */
inline void addOpenEditColumns()
{
    QTest::addColumn<QByteArrayList>("steps");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QStringList>("cells");
    QTest::addColumn<bool>("survives");
}

/** "r,c=text" for an open-edit test. */
inline QString cellIs(int row, int col, const QString& text)
{
    return QStringLiteral("%1,%2=%3").arg(row).arg(col).arg(text);
}

inline void runOpenEditRow()
{
    QFETCH(QByteArrayList, steps);
    QFETCH(int, row);
    QFETCH(int, col);
    QFETCH(QString, edit);
    QFETCH(QStringList, cells);
    QFETCH(bool, survives);

    Bench bench;
    EditorStandIn editor(bench.table);
    bench.table.setCurrentCell(row, col);
    editor.open(edit);
    QVERIFY(bench.run(steps));
    QVERIFY(!editor.isOpen());
    for (const QString& cell : cells) {
        const int comma = cell.indexOf(u',');
        const int equals = cell.indexOf(u'=');
        const int r = cell.left(comma).toInt();
        const int c = cell.mid(comma + 1, equals - comma - 1).toInt();
        QCOMPARE(bench.table.text(r, c), cell.mid(equals + 1));
    }
    QCOMPARE(TestTables::snapshot(bench.table).contains(edit), survives);
}

/** "MnuCellRight" repeated n times. */
inline QByteArrayList repeated(const QByteArray& command, int n)
{
    QByteArrayList steps;
    for (int i = 0; i < n; ++i)
        steps << command;
    return steps;
}

} // namespace EditKit
