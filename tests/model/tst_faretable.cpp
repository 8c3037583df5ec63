#include "editorstandin.h"
#include "model/faretable.h"
#include "testtables.h"

#include <QSignalSpy>
#include <QTest>

/** Records the order of the table's notifications, with the current cell seen at each. */
class Recorder : public QObject {
public:
    explicit Recorder(FareTable& table) : m_table(table)
    {
        connect(&table, &FareTable::cellAboutToBeLeft, this, [this](int r, int c) {
            events << QStringLiteral("leave %1,%2 cur %3,%4")
                          .arg(r)
                          .arg(c)
                          .arg(m_table.CurRow())
                          .arg(m_table.CurCol());
        });
        connect(&table, &FareTable::currentCellChanged, this,
                [this](int r, int c) { events << QStringLiteral("moved %1,%2").arg(r).arg(c); });
        connect(&table, &FareTable::contentReset, this,
                [this] { events << QStringLiteral("reset"); });
        connect(&table, &FareTable::cellChanged, this,
                [this](int r, int c) { events << QStringLiteral("cell %1,%2").arg(r).arg(c); });
    }
    QStringList events;

private:
    FareTable& m_table;
};

class TestFareTable : public QObject {
    Q_OBJECT

private slots:
    void headingsAfterSetUp_data();
    void headingsAfterSetUp();
    void startsOnRouteName();
    void moveRunsLeaveMoveChangeInOrder();
    void dataClsEmptiesOrdinaryCellsOnly();
    void hiddenTableGathersNotifications();
    void headingsMoveWithRowsAndColumns();
    void firstAndLastRowsAndColumnsAreInside();
};

void TestFareTable::headingsAfterSetUp_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("text");
    QTest::newRow("corner") << 0 << 0 << QString();
    QTest::newRow("name heading") << 0 << 1 << QStringLiteral("停名(地名)・駅名");
    QTest::newRow("ticket heading") << 0 << 2 << QStringLiteral("整理券番号");
    QTest::newRow("ticket 1") << 0 << 3 << QStringLiteral("1");
    QTest::newRow("ticket 150") << 0 << 152 << QStringLiteral("150");
    QTest::newRow("route label") << 1 << 0 << QStringLiteral("系統名称→");
    QTest::newRow("stop 1") << 2 << 0 << QStringLiteral("1");
    QTest::newRow("stop 300") << 301 << 0 << QStringLiteral("300");
    QTest::newRow("route name empty") << 1 << 1 << QString();
    QTest::newRow("last fare empty") << 301 << 152 << QString();
}

void TestFareTable::headingsAfterSetUp()
{
    QFETCH(int, row);
    QFETCH(int, col);
    QFETCH(QString, text);
    FareTable table;
    QCOMPARE(table.text(row, col), text);
}

void TestFareTable::startsOnRouteName()
{
    FareTable table;
    QCOMPARE(table.CurRow(), 1);
    QCOMPARE(table.CurCol(), 1);
    QCOMPARE(table.rowCount(), 302);
    QCOMPARE(table.colCount(), 153);
    QCOMPARE(table.fixedRows(), 1);
}

void TestFareTable::moveRunsLeaveMoveChangeInOrder()
{
    FareTable table;
    Recorder recorder(table);
    table.SetCell(4, 7, QStringLiteral("x"));
    QCOMPARE(recorder.events,
             QStringList({QStringLiteral("leave 1,1 cur 1,1"), QStringLiteral("moved 4,7"),
                          QStringLiteral("cell 4,7")}));
    // The current cell set to itself: nothing to report.
    table.setCurrentCell(4, 7);
    QCOMPARE(recorder.events.size(), 3);
}

void TestFareTable::dataClsEmptiesOrdinaryCellsOnly()
{
    // The route name being edited is emptied with the rest; the current cell ends on the last.
    FareTable table;
    EditorStandIn editor(table);
    const QStringList headings = TestTables::snapshot(table);
    TestTables::fillTagged(table);
    table.setCurrentCell(1, 1);
    editor.open(QStringLiteral("typed"));
    table.Data_Cls();
    QVERIFY(!editor.isOpen());
    QCOMPARE(TestTables::snapshot(table), headings);
    QCOMPARE(table.CurRow(), 301);
    QCOMPARE(table.CurCol(), 152);
    // An edit open on a heading cell (reachable after a column move) survives: the clearing
    // never touches headings, and the commit lands before the move.
    table.setCurrentCell(0, 5);
    editor.open(QStringLiteral("edited"));
    table.Data_Cls();
    QVERIFY(!editor.isOpen());
    QCOMPARE(table.text(0, 5), QStringLiteral("edited"));
}

void TestFareTable::hiddenTableGathersNotifications()
{
    FareTable table;
    Recorder recorder(table);
    QSignalSpy visibility(&table, &FareTable::visibilityChanged);
    table.hide();
    table.hide(); // the bracket nests
    table.show();
    QVERIFY(table.isHidden());
    table.SetCell(2, 2, QStringLiteral("a"));
    table.SetCell(3, 3, QStringLiteral("b"));
    // Leaving a cell is reported at once even while hidden; everything else waits for show().
    QCOMPARE(recorder.events, QStringList({QStringLiteral("leave 1,1 cur 1,1"),
                                           QStringLiteral("leave 2,2 cur 2,2")}));
    table.show();
    QVERIFY(!table.isHidden());
    QCOMPARE(recorder.events.mid(2),
             QStringList({QStringLiteral("reset"), QStringLiteral("moved 3,3")}));
    QCOMPARE(visibility.count(), 2);
    QCOMPARE(visibility.at(0).at(0).toBool(), false);
    QCOMPARE(visibility.at(1).at(0).toBool(), true);
}

void TestFareTable::headingsMoveWithRowsAndColumns()
{
    // The commands renumber the headings after every move, and tests/edit compares whole tables
    // after them: only here are the headings seen moving with their rows and columns.
    FareTable table;
    table.insertRow(2);
    QCOMPARE(table.text(2, 0), QString());
    QCOMPARE(table.text(3, 0), QStringLiteral("1"));
    table.removeRow(2);
    table.removeRow(2);
    QCOMPARE(table.text(2, 0), QStringLiteral("2"));
    QCOMPARE(table.text(301, 0), QString());
    table.moveColumn(10, 12);
    QCOMPARE(table.text(0, 12), QStringLiteral("8"));
    QCOMPARE(table.text(0, 11), QStringLiteral("10"));
}

void TestFareTable::firstAndLastRowsAndColumnsAreInside()
{
    // Every operation reaches row 0 and 301 and column 0 and 152; nothing beyond is touched.
    FareTable table;
    TestTables::fillTagged(table);
    const QStringList tagged = TestTables::snapshot(table);
    table.SetCell(301, 152, QStringLiteral("last"));
    QCOMPARE(table.GetCell(301, 152), QStringLiteral("last"));
    table.GetCell(0, 0); // reaches the corner: it becomes current
    QCOMPARE(table.CurRow(), 0);
    QCOMPARE(table.CurCol(), 0);
    table.SetCell(301, 152, TestTables::cellTag(301, 152));

    table.moveColumn(0, 152);
    QCOMPARE(table.text(7, 152), tagged.at(7 * FareTable::ColCount)); // the row heading
    QCOMPARE(table.text(7, 0), TestTables::cellTag(7, 1));
    table.moveColumn(152, 0);
    QCOMPARE(TestTables::snapshot(table), tagged);
    table.insertRow(0);
    QCOMPARE(table.text(1, 3), tagged.at(3)); // the heading row moved down
    QCOMPARE(table.text(0, 3), QString());
    table.removeRow(0);
    QCOMPARE(table.text(0, 3), tagged.at(3));
    QCOMPARE(table.text(301, 3), QString()); // the row pushed out by the insertion is gone

    table.insertRow(301);
    QCOMPARE(table.text(301, 152), QString());
    QCOMPARE(table.text(300, 152), TestTables::cellTag(300, 152));
    table.SetCell(301, 5, QStringLiteral("x"));
    table.removeRow(301);
    QCOMPARE(table.text(301, 5), QString());
    QCOMPARE(table.text(300, 5), TestTables::cellTag(300, 5));
}

QTEST_GUILESS_MAIN(TestFareTable)
#include "tst_faretable.moc"
