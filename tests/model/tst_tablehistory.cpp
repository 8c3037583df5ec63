#include "model/bulkguards.h"
#include "model/tablehistory.h"
#include "testtables.h"

#include <QTest>

class TestTableHistory : public QObject {
    Q_OBJECT

private slots:
    void aStepKeepsOnlyTheCellsThatChanged();
    void hundredFullLoadsStayWithinTheBound();
    void savedStateOutOfReach();
};

void TestTableHistory::aStepKeepsOnlyTheCellsThatChanged()
{
    FareTable table;
    TestTables::fillTagged(table);
    TableHistory history(table);
    const QString tag = TestTables::cellTag(4, 5);
    {
        TableStep step(table); // cells written with their own texts: no step
        table.writeBlock(4, 4, 4, 5, {TestTables::cellTag(4, 4), tag});
    }
    QCOMPARE(history.undoCount(), 0);
    {
        TableStep step(table); // nested steps are one; a cell written twice is kept once
        TableStep inner(table);
        table.SetCell(4, 5, QStringLiteral("x"));
        table.SetCell(4, 5, QStringLiteral("y"));
    }
    QCOMPARE(history.undoCount(), 1);
    QVERIFY(history.byteEstimate() < 1024);
    history.undo();
    QCOMPARE(table.text(4, 5), tag);

    // Rows and columns are moved, not copied, and the parts of a step go back in reverse order.
    const QStringList before = TestTables::snapshot(table);
    {
        TableStep step(table);
        table.SetCell(5, 5, QStringLiteral("a"));
        table.insertRow(5);
        table.SetCell(5, 5, QStringLiteral("b"));
        table.moveColumn(9, 4);
        table.removeRow(3);
        table.SetCell(301, 2, QStringLiteral("c"));
    }
    const QStringList after = TestTables::snapshot(table);
    QVERIFY(history.byteEstimate() < 64 * 1024);
    history.undo();
    QCOMPARE(TestTables::snapshot(table), before);
    history.redo();
    QCOMPARE(TestTables::snapshot(table), after);
}

void TestTableHistory::hundredFullLoadsStayWithinTheBound()
{
    FareTable table;
    TableHistory history(table);
    QVector<QString> texts(FareTable::LastRow * FareTable::LastCol);
    qint64 largest = 0;
    for (int load = 0; load < 100; ++load) {
        for (int i = 0; i < texts.size(); ++i)
            texts[i] = QStringLiteral("停留所%1の%2").arg(load).arg(i);
        TableStep step(table);
        table.Data_Cls();
        table.writeBlock(1, 1, FareTable::LastRow, FareTable::LastCol, texts);
        largest = std::max(largest, history.byteEstimate());
        QVERIFY(history.byteEstimate() <= history.byteLimit());
    }
    // The bound is used, not merely respected: the oldest loads went first.
    QVERIFY(largest > history.byteLimit() - history.byteLimit() / 8);
    QVERIFY(history.undoCount() > 1 && history.undoCount() < 100);
    history.undo();
    QCOMPARE(table.text(301, 152), QStringLiteral("停留所98の45751"));
}

void TestTableHistory::savedStateOutOfReach()
{
    // The saved state does not come back once a new step follows an undo past it, nor once its
    // steps are dropped from a full history (undo and redo back to it: the window's tests).
    FareTable table;
    TableHistory history(table, 2048); // room for a few small steps
    int number = 0;
    const auto change = [&table, &number] {
        TableStep step(table);
        table.SetCell(2, 2, ++number);
    };
    change();
    history.markClean();
    history.undo();
    change();
    QVERIFY(history.undoCount() == 1 && !history.isClean());
    history.undo();
    history.markClean();
    for (int i = 0; i < 40; ++i)
        change();
    while (history.undoCount() > 0)
        history.undo();
    QVERIFY(history.redoCount() < 40 && !history.isClean());
}

QTEST_GUILESS_MAIN(TestTableHistory)
#include "tst_tablehistory.moc"
