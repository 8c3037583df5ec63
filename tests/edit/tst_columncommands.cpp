#include "editkit.h"

using namespace EditKit;

namespace {

/** Rows 1..301 of columns first..last hold the tagged columns offset further right. */
Expected columnsFrom(int first, int last, int offset)
{
    Expected e;
    for (int col = first; col <= last; ++col)
        e.columnOf(col, col + offset);
    return e;
}

} // namespace

class TestColumnCommands : public QObject {
    Q_OBJECT

private slots:
    void commandsOnTaggedTable_data();
    void commandsOnTaggedTable() { runFamilyRow(); }
    void headerIsRenumbered_data();
    void headerIsRenumbered();
    void openEdit_data();
    void openEdit() { runOpenEditRow(); }
};

void TestColumnCommands::commandsOnTaggedTable_data()
{
    addFamilyColumns();
    const QByteArray copy("MnuEditClumCopy"), paste("MnuEditClumPaste"), ins("MnuClumIns"),
        delLeft("MnuClumDeleteLeft"), blank("MnuClumDeleteNormal"), left("MnuClumLeft"),
        right("MnuClumRight");
    auto row = [](const char* name, const QByteArrayList& steps, int r, int c, const Expected& e,
                  int endRow, int endCol, int moves = 0) {
        QTest::newRow(name) << steps << r << c << e.cells << endRow << endCol << moves;
    };

    row("copy the ticket column", {copy}, 7, 2, Expected(), 301, 2);
    addRefused("copy the name column", copy, 7, 1);
    addRefused("copy the label column", copy, 301, 0);
    row("paste before any copy", {paste}, 4, 5, Expected().blankColumn(5), 301, 5);
    addRefused("paste into the name column", paste, 4, 1);
    row("copy column 2 into column 5", {copy, "@9,5", paste}, 7, 2, Expected().columnOf(5, 2), 301,
        5);

    row("insert at column 3", {ins}, 5, 3, columnsFrom(4, 152, -1).blankColumn(3), 0, 152);
    row("insert at column 151", {ins}, 5, 151, Expected().columnOf(152, 151).blankColumn(151), 0,
        152);
    addRefused("insert at the ticket column", ins, 5, 2);
    addRefused("insert at column 152", ins, 5, 152);

    row("delete left at column 3", {delLeft}, 5, 3, columnsFrom(3, 151, 1).blankColumn(152), 0,
        152);
    row("delete left at column 151", {delLeft}, 5, 151,
        Expected().columnOf(151, 152).blankColumn(152), 0, 152);
    addRefused("delete left at the ticket column", delLeft, 5, 2);
    addRefused("delete left at column 152", delLeft, 5, 152);
    row("insert then delete left at column 3", {ins, "@5,3", delLeft}, 5, 3,
        Expected().blankColumn(152), 0, 152);

    row("blank column 152", {blank}, 5, 152, Expected().blankColumn(152), 301, 152);
    row("blank column 3", {blank}, 5, 3, Expected().blankColumn(3), 301, 3);
    addRefused("blank the ticket column", blank, 5, 2);

    row("move left at column 4", {left}, 5, 4, Expected().columnOf(3, 4).columnOf(4, 3), 0, 3, 1);
    addRefused("move left at column 3", left, 5, 3);
    row("move right at column 151", {right}, 5, 151,
        Expected().columnOf(151, 152).columnOf(152, 151), 0, 152, 1);
    row("move right at column 3", {right}, 5, 3, Expected().columnOf(3, 4).columnOf(4, 3), 0, 4, 1);
    addRefused("move right at the ticket column", right, 5, 2);
    addRefused("move right at column 152", right, 5, 152);
    row("moves right carry column 10 to the end", repeated(right, 145), 5, 10,
        columnsFrom(10, 151, 1).columnOf(152, 10), 0, 152, 142);
    row("moves left carry column 6 to column 3", repeated(left, 5), 5, 6,
        columnsFrom(4, 6, -1).columnOf(3, 6), 0, 3, 3);
}

void TestColumnCommands::headerIsRenumbered_data()
{
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QString>("ticketHeading");
    const QString rewritten = QStringLiteral("整理券番号");
    const QString untouched = QStringLiteral("x");
    QTest::newRow("insert") << QByteArray("MnuClumIns") << rewritten;
    QTest::newRow("delete left") << QByteArray("MnuClumDeleteLeft") << untouched;
    QTest::newRow("move left") << QByteArray("MnuClumLeft") << untouched;
    QTest::newRow("move right") << QByteArray("MnuClumRight") << untouched;
}

void TestColumnCommands::headerIsRenumbered()
{
    QFETCH(QByteArray, command);
    QFETCH(QString, ticketHeading);
    Bench bench;
    QVector<QString> scrambled(FareTable::ColCount - 2, QStringLiteral("x"));
    bench.table.writeBlock(0, 2, 0, FareTable::LastCol, scrambled);
    QVERIFY(bench.run({"@5,40", command}));
    QCOMPARE(bench.table.text(0, 2), ticketHeading);
    for (int k = 1; k <= FareTable::FareCount; ++k)
        QCOMPARE(bench.table.text(0, 2 + k), QString::number(k));
}

void TestColumnCommands::openEdit_data()
{
    addOpenEditColumns();
    const QString edit = QStringLiteral("2300");
    QTest::newRow("a column move carries the edit")
        << QByteArrayList{"MnuClumRight"} << 5 << 10 << edit
        << QStringList{cellIs(5, 11, edit), cellIs(5, 10, taggedText(5, 11))} << true;
    QTest::newRow("an inserted column leaves the edit in its own column")
        << QByteArrayList{"MnuClumIns"} << 5 << 10 << edit
        << QStringList{cellIs(5, 10, {}), cellIs(5, 11, edit), cellIs(5, 12, taggedText(5, 11))}
        << true;
    QTest::newRow("a removed column takes its edit along")
        << QByteArrayList{"MnuClumDeleteLeft"} << 5 << 10 << edit
        << QStringList{cellIs(5, 10, taggedText(5, 11))} << false;
    QTest::newRow("a column copy takes the edit")
        << QByteArrayList{"MnuEditClumCopy", "@1,20", "MnuEditClumPaste"} << 5 << 10 << edit
        << QStringList{cellIs(5, 10, edit), cellIs(5, 20, edit), cellIs(6, 20, taggedText(6, 10))}
        << true;
}

QTEST_GUILESS_MAIN(TestColumnCommands)
#include "tst_columncommands.moc"
