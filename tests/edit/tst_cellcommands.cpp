#include "editkit.h"

using namespace EditKit;

class TestCellCommands : public QObject {
    Q_OBJECT

private slots:
    void commandsOnTaggedTable_data();
    void commandsOnTaggedTable() { runFamilyRow(); }
    void openEditIsCommittedThenOverwritten_data();
    void openEditIsCommittedThenOverwritten();
    void deleteKeyEmptiesCellWhereItStands();
    void headingCellsAreLeftAlone_data();
    void headingCellsAreLeftAlone();
};

void TestCellCommands::commandsOnTaggedTable_data()
{
    addFamilyColumns();
    const QByteArray insDown("MnuCellInsDown"), insRight("MnuCellInsRight"),
        delNormal("MnuCellDeleteNormal"), delLeft("MnuCellDeleteLeft"), delUp("MnuCellDeleteUp"),
        up("MnuCellUp"), down("MnuCellDown"), left("MnuCellLeft"), right("MnuCellRight");
    auto row = [](const char* name, const QByteArrayList& steps, int r, int c, const Expected& e,
                  int endRow, int endCol, int moves = 0) {
        QTest::newRow(name) << steps << r << c << e.cells << endRow << endCol << moves;
    };

    row("insert down at row 2", {insDown}, 2, 5, Expected().columnFrom(5, 3, 301, -1).set(2, 5, {}),
        2, 5);
    row("insert down at row 300", {insDown}, 300, 7,
        Expected().set(301, 7, taggedText(300, 7)).set(300, 7, {}), 300, 7);
    row("insert down in the name column", {insDown}, 10, 1,
        Expected().columnFrom(1, 11, 301, -1).set(10, 1, {}), 10, 1);
    addRefused("insert down in the route row", insDown, 1, 5);
    addRefused("insert down at row 301", insDown, 301, 5);

    row("insert right at column 3", {insRight}, 4, 3,
        Expected().rowFrom(4, 4, 152, -1).set(4, 3, {}), 4, 3);
    row("insert right at column 151", {insRight}, 4, 151,
        Expected().set(4, 152, taggedText(4, 151)).set(4, 151, {}), 4, 151);
    addRefused("insert right in the name column", insRight, 4, 1);
    addRefused("insert right in the ticket column", insRight, 4, 2);
    addRefused("insert right at column 152", insRight, 4, 152);

    row("delete leaving blank on the route name", {delNormal}, 1, 1, Expected().set(1, 1, {}), 1,
        1);

    row("delete left at column 151", {delLeft}, 8, 151,
        Expected().set(8, 151, taggedText(8, 152)).set(8, 152, {}), 8, 152);
    row("delete left at column 3", {delLeft}, 8, 3,
        Expected().rowFrom(8, 3, 151, 1).set(8, 152, {}), 8, 152);
    row("delete left in the name column", {delLeft}, 8, 1,
        Expected().rowFrom(8, 1, 151, 1).set(8, 152, {}), 8, 152);
    addRefused("delete left in the ticket column", delLeft, 8, 2);
    addRefused("delete left at column 152", delLeft, 8, 152);

    row("delete up at row 300", {delUp}, 300, 6,
        Expected().set(300, 6, taggedText(301, 6)).set(301, 6, {}), 301, 6);
    row("delete up at row 2", {delUp}, 2, 6, Expected().columnFrom(6, 2, 300, 1).set(301, 6, {}),
        301, 6);
    addRefused("delete up in the route row", delUp, 1, 6);
    addRefused("delete up at row 301", delUp, 301, 6);

    row("move up at row 3", {up}, 3, 9, Expected().swapped(3, 9, 2, 9), 2, 9, 1);
    row("move up at row 301 in the ticket column", {up}, 301, 2, Expected().swapped(301, 2, 300, 2),
        300, 2, 1);
    addRefused("move up at row 2", up, 2, 9);
    row("move down at row 300", {down}, 300, 9, Expected().swapped(300, 9, 301, 9), 301, 9, 1);
    row("move down at row 2 in the name column", {down}, 2, 1, Expected().swapped(2, 1, 3, 1), 3, 1,
        1);
    addRefused("move down at row 301", down, 301, 9);
    addRefused("move down in the route row", down, 1, 9);
    row("move left at column 4", {left}, 4, 4, Expected().swapped(4, 4, 4, 3), 4, 3, 1);
    addRefused("move left at column 3", left, 4, 3);
    row("move right in the name column", {right}, 6, 1, Expected().swapped(6, 1, 6, 2), 6, 2, 1);
    row("move right at column 151", {right}, 6, 151, Expected().swapped(6, 151, 6, 152), 6, 152, 1);
    addRefused("move right in the ticket column", right, 6, 2);
    addRefused("move right at column 152", right, 6, 152);

    row("three moves right carry one text", repeated(right, 3), 5, 10,
        Expected().rowFrom(5, 10, 12, 1).set(5, 13, taggedText(5, 10)), 5, 13, 3);
    row("moves down stop at row 301", repeated(down, 4), 299, 4,
        Expected().columnFrom(4, 299, 300, 1).set(301, 4, taggedText(299, 4)), 301, 4, 2);
    row("moves left stop at column 3", repeated(left, 4), 6, 5,
        Expected().rowFrom(6, 4, 5, -1).set(6, 3, taggedText(6, 5)), 6, 3, 2);
    row("moves up stop at row 2", repeated(up, 5), 4, 1,
        Expected().columnFrom(1, 3, 4, -1).set(2, 1, taggedText(4, 1)), 2, 1, 2);

    row("insert down then delete up", {insDown, delUp}, 50, 7, Expected().set(301, 7, {}), 301, 7);
    row("insert right then delete left", {insRight, delLeft}, 50, 7, Expected().set(50, 152, {}),
        50, 152);
}

void TestCellCommands::openEditIsCommittedThenOverwritten_data()
{
    QTest::addColumn<QByteArray>("command");
    for (const char* command :
         {"MnuCellInsDown", "MnuCellInsRight", "MnuCellDeleteLeft", "MnuCellDeleteUp", "MnuCellUp",
          "MnuCellDown", "MnuCellLeft", "MnuCellRight"})
        QTest::newRow(command) << QByteArray(command);
}

void TestCellCommands::openEditIsCommittedThenOverwritten()
{
    // The command reads the current cell as stored before its first move commits the edit into
    // it; the committed edit is then overwritten, so the result is that of the stored text.
    QFETCH(QByteArray, command);
    Bench plain;
    plain.table.setCurrentCell(5, 10);
    QVERIFY(plain.run({command}));

    Bench edited;
    EditorStandIn editor(edited.table);
    edited.table.setCurrentCell(5, 10);
    editor.open(QStringLiteral("edited"));
    QVERIFY(edited.run({command}));

    QVERIFY(!editor.isOpen());
    const QStringList expected = TestTables::snapshot(plain.table);
    const QString diff = differences(edited.table, expected);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
    QCOMPARE(edited.table.CurRow(), plain.table.CurRow());
    QCOMPARE(edited.table.CurCol(), plain.table.CurCol());
}

void TestCellCommands::deleteKeyEmptiesCellWhereItStands()
{
    // The Delete key's action never hides the table and never moves the current cell.
    Bench bench;
    bench.table.setCurrentCell(5, 7);
    QSignalSpy visibility(&bench.table, &FareTable::visibilityChanged);
    QSignalSpy cellRedrawn(&bench.table, &FareTable::cellChanged);
    bench.commands.MnuCellDeleteNormal();
    QCOMPARE(bench.table.text(5, 7), QString());
    QCOMPARE(bench.table.CurRow(), 5);
    QCOMPARE(bench.table.CurCol(), 7);
    QCOMPARE(visibility.count(), 0);
    QCOMPARE(cellRedrawn.count(), 1);
}

void TestCellCommands::headingCellsAreLeftAlone_data()
{
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("col");
    const QByteArrayList commands{"MnuCellInsDown",    "MnuCellInsRight", "MnuCellDeleteNormal",
                                  "MnuCellDeleteLeft", "MnuCellDeleteUp", "MnuCellUp",
                                  "MnuCellDown",       "MnuCellLeft",     "MnuCellRight"};
    // A column move leaves (0, n) current, a row insert or removal (301, 0).
    const QList<QPair<int, int>> headings{{0, 7}, {301, 0}, {5, 0}, {0, 0}};
    for (const QByteArray& command : commands)
        for (const auto& [row, col] : headings)
            QTest::addRow("%s at (%d, %d)", command.constData(), row, col) << command << row << col;
}

void TestCellCommands::headingCellsAreLeftAlone()
{
    QFETCH(QByteArray, command);
    QFETCH(int, row);
    QFETCH(int, col);
    Bench bench;
    bench.table.setCurrentCell(row, col);
    const QStringList before = TestTables::snapshot(bench.table);
    QVERIFY(bench.run({command}));
    QCOMPARE(TestTables::snapshot(bench.table), before);
    QCOMPARE(bench.table.CurRow(), row);
    QCOMPARE(bench.table.CurCol(), col);
    QCOMPARE(bench.moves.count(), 0);
}

QTEST_GUILESS_MAIN(TestCellCommands)
#include "tst_cellcommands.moc"
