#include "model/bulkguards.h"
#include "model/tablehistory.h"
#include "testtables.h"

#include <QTest>

namespace {

/** A table and its history, told as a story: typing into column 2, loading, saving. */
struct Story {
    FareTable table;
    TableHistory history;

    explicit Story(qint64 byteLimit = TableHistory::DefaultByteLimit) : history(table, byteLimit) {}
    void type(int row, const QString& text)
    {
        TableStep step(table, QStringLiteral("入力"));
        table.SetCell(row, 2, text);
    }
    /** Replaces the table as a load does: emptied, then rows written from row 1. */
    void load(const char* rows)
    {
        TableStep step(table, QStringLiteral("開く"));
        table.Data_Cls();
        TestTables::fillRows(table, rows);
    }
    /** Cells (2, 2) and (3, 2), what can be undone and redone, and "saved" in the saved state. */
    QString state() const
    {
        return QStringLiteral("%1|%2 undo %3 redo %4%5")
            .arg(table.text(2, 2), table.text(3, 2))
            .arg(history.undoCount())
            .arg(history.redoCount())
            .arg(history.isClean() ? QStringLiteral(" saved") : QString());
    }
};

} // namespace

class TestTableHistory : public QObject {
    Q_OBJECT

private slots:
    void story();
    void trimmingDropsWholeSteps();
    void hundredFullLoadsStayWithinTheBound();
};

void TestTableHistory::story()
{
    Story s;
    QCOMPARE(s.state(), QStringLiteral("| undo 0 redo 0 saved"));

    // Each typed text is a step of its own, named; undo takes the last back and offers it again.
    s.type(2, QStringLiteral("a"));
    s.type(2, QStringLiteral("b"));
    QCOMPARE(s.state(), QStringLiteral("b| undo 2 redo 0"));
    s.history.undo();
    QCOMPARE(s.state(), QStringLiteral("a| undo 1 redo 1"));
    QCOMPARE(s.history.redoName(), QStringLiteral("入力"));

    // A new step clears what could be redone.
    s.type(3, QStringLiteral("c"));
    QCOMPARE(s.state(), QStringLiteral("a|c undo 2 redo 0"));
    s.history.redo();
    QCOMPARE(s.state(), QStringLiteral("a|c undo 2 redo 0"));

    // A step that changes nothing is no step: a cell given its own text, nested empty steps.
    {
        TableStep step(s.table);
        s.table.SetCell(3, 2, QStringLiteral("c"));
        TableStep inner(s.table);
    }
    QCOMPARE(s.state(), QStringLiteral("a|c undo 2 redo 0"));

    // Nested steps are one, and a cell written twice is kept once, with the text from before.
    {
        TableStep step(s.table, QStringLiteral("置換"));
        TableStep inner(s.table, QStringLiteral("入力"));
        s.table.SetCell(2, 2, QStringLiteral("x"));
        s.table.SetCell(2, 2, QStringLiteral("y"));
    }
    QCOMPARE(s.state(), QStringLiteral("y|c undo 3 redo 0"));
    QCOMPARE(s.history.undoName(), QStringLiteral("置換")); // the outermost step names it
    QVERIFY(s.history.byteEstimate() < 1024);
    s.history.undo();
    QCOMPARE(s.state(), QStringLiteral("a|c undo 2 redo 1"));
    s.history.redo();
    QCOMPARE(s.state(), QStringLiteral("y|c undo 3 redo 0"));

    // Saved here. Undo across a load brings back the whole table and the current cell; undo
    // and redo find the saved state again.
    s.history.markClean();
    s.table.setCurrentCell(7, 9);
    const QStringList beforeLoad = TestTables::snapshot(s.table);
    s.load("東線,0 A,1,150 B,2,200,150");
    QCOMPARE(s.state(), QStringLiteral("1|2 undo 4 redo 0"));
    const QStringList loaded = TestTables::snapshot(s.table);
    s.history.undo();
    QCOMPARE(TestTables::snapshot(s.table), beforeLoad);
    QCOMPARE(s.table.CurRow(), 7);
    QCOMPARE(s.table.CurCol(), 9);
    QCOMPARE(s.state(), QStringLiteral("y|c undo 3 redo 1 saved"));
    s.history.redo();
    QCOMPARE(TestTables::snapshot(s.table), loaded);
    QCOMPARE(s.state(), QStringLiteral("1|2 undo 4 redo 0"));

    // Undone past the saved state, a new step puts it out of reach for good.
    s.history.undo();
    s.history.undo();
    s.type(3, QStringLiteral("d"));
    QCOMPARE(s.state(), QStringLiteral("a|d undo 3 redo 0"));
    s.history.undo();
    s.history.redo();
    QCOMPARE(s.state(), QStringLiteral("a|d undo 3 redo 0"));
}

void TestTableHistory::trimmingDropsWholeSteps()
{
    // Each step writes the same number into two cells. Past the bound the oldest steps go
    // whole: undoing all that is kept never leaves the two cells apart, and the saved state
    // goes out of reach with its step.
    Story s(2048);
    s.history.markClean();
    for (int n = 1; n <= 40; ++n) {
        TableStep step(s.table);
        s.table.SetCell(2, 2, n);
        s.table.SetCell(3, 2, n);
        QVERIFY(s.history.byteEstimate() <= s.history.byteLimit());
    }
    const int kept = s.history.undoCount();
    QVERIFY(kept > 2 && kept < 40);
    while (s.history.canUndo())
        s.history.undo();
    const QString first = QString::number(40 - kept);
    QCOMPARE(s.state(), QStringLiteral("%1|%1 undo 0 redo %2").arg(first).arg(kept));
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

QTEST_GUILESS_MAIN(TestTableHistory)
#include "tst_tablehistory.moc"
