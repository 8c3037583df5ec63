#include "editkit.h"

using namespace EditKit;

namespace {

/**
 * The tagged text "r.c" of a number cell as the row buffer writes it back: the decimal r.c taken
 * to the nearest integer, halves (r.5 and r.50) to the even neighbour.
 */
QString normalisedTag(int row, int col)
{
    if (col == FareTable::NameCol)
        return taggedText(row, col);
    const double fraction = (QStringLiteral("0.") + QString::number(col)).toDouble();
    int value = row;
    if (fraction > 0.5 || (fraction == 0.5 && row % 2 == 1))
        ++value;
    return QString::number(value);
}

/** Row row holds the tagged row from as a row swap writes it. */
Expected& rowAsSwapped(Expected& e, int row, int from)
{
    for (int col = 1; col <= FareTable::LastCol; ++col)
        e.set(row, col, normalisedTag(from, col));
    return e;
}

} // namespace

class TestRowCommands : public QObject {
    Q_OBJECT

private slots:
    void commandsOnTaggedTable_data();
    void commandsOnTaggedTable() { runFamilyRow(); }
    void numbersThroughRowBuffer_data();
    void numbersThroughRowBuffer();
    void pasteWritesNonZeroFaresOnly();
    void pasteIsEnabledByFirstCopy();
    void deletePromptAnsweredNoChangesNothing_data();
    void deletePromptAnsweredNoChangesNothing();
    void openEdit_data();
    void openEdit() { runOpenEditRow(); }
};

void TestRowCommands::commandsOnTaggedTable_data()
{
    addFamilyColumns();
    const QByteArray copy("MnuEditLineCopy"), paste("MnuEditLinePaste"), ins("MnuEditLineIns"),
        del("MnuEditLineDelete"), blank("MnuRowDeleteNormal"), up("MnuEditUp"), down("MnuEditDown");
    auto row = [](const char* name, const QByteArrayList& steps, int r, int c, const Expected& e,
                  int endRow, int endCol, int moves = 0) {
        QTest::newRow(name) << steps << r << c << e.cells << endRow << endCol << moves;
    };
    Expected e;

    row("copy", {copy}, 2, 7, Expected(), 2, 152);
    addRefused("copy in the route row", copy, 1, 7);
    row("paste before any copy", {paste}, 5, 9,
        Expected().set(5, 1, {}).set(5, 2, QStringLiteral("0")), 5, 2);
    addRefused("paste in the route row", paste, 1, 9);

    row("insert at row 2", {ins}, 2, 4, Expected().rowsFrom(3, 301, -1).blankRow(2), 301, 0);
    row("insert at row 301", {ins}, 301, 3, Expected().blankRow(301), 301, 0);
    addRefused("insert in the route row", ins, 1, 4);
    addRefused("insert in the header row", ins, 0, 4);

    row("remove row 2", {del}, 2, 4, Expected().rowsFrom(2, 300, 1).blankRow(301), 301, 0);
    row("remove row 301", {del}, 301, 4, Expected().blankRow(301), 301, 0);
    row("remove twice: the second clears row 301", {del, del}, 5, 3,
        Expected().rowsFrom(5, 300, 1).blankRow(301), 301, 0);
    addRefused("remove the route row", del, 1, 4);
    row("insert then remove", {ins, "@5,3", del}, 5, 3, Expected().blankRow(301), 301, 0);

    row("blank row 5", {blank}, 5, 9, Expected().blankRow(5), 5, 152);
    addRefused("blank the route row", blank, 1, 9);

    e = Expected();
    row("move down at row 300", {down}, 300, 9, rowAsSwapped(rowAsSwapped(e, 300, 301), 301, 300),
        301, 152, 1);
    e = Expected();
    row("move down at row 2", {down}, 2, 1, rowAsSwapped(rowAsSwapped(e, 2, 3), 3, 2), 3, 152, 1);
    addRefused("move down at row 301", down, 301, 9);
    addRefused("move down in the route row", down, 1, 9);
    e = Expected();
    row("move up at row 3", {up}, 3, 5, rowAsSwapped(rowAsSwapped(e, 3, 2), 2, 3), 2, 152, 1);
    e = Expected();
    row("move up at row 301", {up}, 301, 5, rowAsSwapped(rowAsSwapped(e, 301, 300), 300, 301), 300,
        152, 1);
    addRefused("move up at row 2", up, 2, 5);
    e = Expected();
    rowAsSwapped(e, 299, 300);
    rowAsSwapped(e, 300, 301);
    row("moves down stop at row 301", repeated(down, 4), 299, 5, rowAsSwapped(e, 301, 299), 301,
        152, 2);
}

void TestRowCommands::numbersThroughRowBuffer_data()
{
    // A text in a ticket number and a fare cell: what a row swap makes of it, what the row paste
    // writes as the ticket number, and whether the paste leaves the target's fare alone (0).
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("swapped");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<bool>("fareKept");
    auto row = [](const char* name, const char* text, const char* swapped, const char* pasted,
                  bool kept = false) {
        QTest::newRow(name) << QString::fromUtf8(text) << QString::fromUtf8(swapped)
                            << QString::fromUtf8(pasted) << kept;
    };
    row("empty", "", "", "0", true);
    row("zero", "0", "", "0", true);
    row("no number", "abc", "", "0", true);
    row("plain", "120", "120", "120");
    row("negative", "-5", "-5", "-5");
    row("leading zeros", "007", "7", "7");
    row("blanks anywhere", " 1 2 ", "12", "12");
    row("half down to even", "12.5", "12", "12");
    row("half up to even", "13.5", "14", "14");
    row("trailing unit", "210円", "210", "210");
    row("hexadecimal", "&H10", "16", "16");
    row("largest", "32767", "32767", "32767");
    row("smallest", "-32768", "-32768", "-32768");
    row("rounds within range", "32767.4", "32767", "32767");
    // Numbers beyond 16 bits are carried as they were typed, never wrapped or dropped.
    row("above range", "40000", "40000", "40000");
    row("rounds out of range", "32767.5", "32767.5", "32767.5");
    row("below range with unit", "-40000円", "-40000円", "-40000円");
    row("exponent", "1E9", "1E9", "1E9");
}

void TestRowCommands::numbersThroughRowBuffer()
{
    QFETCH(QString, text);
    QFETCH(QString, swapped);
    QFETCH(QString, pasted);
    QFETCH(bool, fareKept);

    Bench bench;
    bench.table.SetCell(3, 2, text);
    bench.table.SetCell(3, 40, text);
    QVERIFY(bench.run({"@3,5", "MnuEditLineCopy", "@8,5", "MnuEditLinePaste"}));
    QCOMPARE(bench.table.text(8, 2), pasted);
    QCOMPARE(bench.table.text(8, 40), fareKept ? taggedText(8, 40) : pasted);
    QCOMPARE(bench.commands.copiedRow().numberText(0), pasted);

    QVERIFY(bench.run({"@3,5", "MnuEditDown"}));
    QCOMPARE(bench.table.text(4, 2), swapped);
    QCOMPARE(bench.table.text(4, 40), swapped);
}

void TestRowCommands::pasteWritesNonZeroFaresOnly()
{
    Bench bench;
    bench.table.writeBlock(3, 1, 3, FareTable::LastCol,
                           QVector<QString>(FareTable::LastCol)); // an empty row
    bench.table.SetCell(3, 1, QStringLiteral("東線"));
    for (int k = 1; k <= 10; ++k)
        bench.table.SetCell(3, 2 + k, 100 + k);
    QVERIFY(bench.run({"@3,1", "MnuEditLineCopy", "@8,40", "MnuEditLinePaste"}));
    Expected e;
    e.set(3, 1, QStringLiteral("東線")).blankRow(3, 2).set(8, 1, QStringLiteral("東線"));
    e.set(8, 2, QStringLiteral("0"));
    for (int k = 1; k <= 10; ++k)
        e.set(3, 2 + k, QString::number(100 + k)).set(8, 2 + k, QString::number(100 + k));
    QVERIFY2(differences(bench.table, e.cells).isEmpty(),
             qPrintable(differences(bench.table, e.cells)));
    QCOMPARE(bench.table.CurRow(), 8); // the last cell written: fare 10
    QCOMPARE(bench.table.CurCol(), 12);

    // Pasted back over the row it came from, the tagged numbers come back normalised.
    QVERIFY(bench.run({"@5,7", "MnuEditLineCopy", "MnuEditLinePaste"}));
    for (int col = 1; col <= FareTable::LastCol; ++col)
        QCOMPARE(bench.table.text(5, col), normalisedTag(5, col));
}

void TestRowCommands::pasteIsEnabledByFirstCopy()
{
    Bench bench;
    QSignalSpy enabled(&bench.commands, &EditCommands::rowPasteEnabledChanged);
    QVERIFY(!bench.commands.rowPasteEnabled());
    QVERIFY(bench.run({"@5,3", "MnuEditLinePaste", "@1,3", "MnuEditLineCopy"}));
    QVERIFY(!bench.commands.rowPasteEnabled());
    QCOMPARE(enabled.count(), 0);
    QVERIFY(bench.run({"@5,3", "MnuEditLineCopy", "@6,3", "MnuEditLineCopy"}));
    QVERIFY(bench.commands.rowPasteEnabled());
    QCOMPARE(enabled.count(), 1);
    QCOMPARE(enabled.at(0).at(0).toBool(), true);
}

void TestRowCommands::deletePromptAnsweredNoChangesNothing_data()
{
    QTest::addColumn<QByteArray>("command");
    for (const char* command :
         {"MnuEditLineDelete", "MnuRowDeleteNormal", "MnuClumDeleteLeft", "MnuClumDeleteNormal"})
        QTest::newRow(command) << QByteArray(command);
}

void TestRowCommands::deletePromptAnsweredNoChangesNothing()
{
    QFETCH(QByteArray, command);
    Bench bench;
    bench.table.setCurrentCell(5, 7);
    bench.platform.answers = {Platform::Answer::No, Platform::Answer::Yes};
    QSignalSpy visibility(&bench.table, &FareTable::visibilityChanged);
    QVERIFY(bench.run({command}));
    QCOMPARE(TestTables::snapshot(bench.table), tagged());
    QCOMPARE(bench.table.CurRow(), 5);
    QCOMPARE(bench.table.CurCol(), 7);
    QCOMPARE(visibility.count(), 0);

    QCOMPARE(bench.platform.messages.size(), 1);
    const FakePlatform::Message& prompt = bench.platform.messages.at(0);
    QCOMPARE(prompt.text,
             QStringLiteral("削除したデータを戻すことはできません！\r\n削除しますか？"));
    QCOMPARE(prompt.title, QString());
    QCOMPARE(prompt.buttons, Platform::Buttons::YesNo);
    QCOMPARE(prompt.icon, Platform::Icon::Exclamation);
    QCOMPARE(prompt.defaultButton, Platform::Answer::Yes);

    QVERIFY(bench.run({command}));
    QCOMPARE(bench.platform.messages.size(), 2);
    QVERIFY(TestTables::snapshot(bench.table) != tagged());
}

void TestRowCommands::openEdit_data()
{
    addOpenEditColumns();
    const QString edit = QStringLiteral("2300");
    QTest::newRow("a row swap takes the edit of a number cell")
        << QByteArrayList{"MnuEditDown"} << 5 << 10 << edit
        << QStringList{cellIs(6, 10, edit), cellIs(5, 10, normalisedTag(6, 10))} << true;
    QTest::newRow("a row swap reads the name before the edit")
        << QByteArrayList{"MnuEditDown"} << 5 << 1 << QStringLiteral("新名")
        << QStringList{cellIs(6, 1, taggedText(5, 1)), cellIs(5, 1, taggedText(6, 1))} << false;
    QTest::newRow("a row copy takes the edit")
        << QByteArrayList{"MnuEditLineCopy", "@9,1", "MnuEditLinePaste"} << 5 << 10 << edit
        << QStringList{cellIs(5, 10, edit), cellIs(9, 10, edit)} << true;
    QTest::newRow("an inserted row leaves the edit in its own row")
        << QByteArrayList{"MnuEditLineIns"} << 5 << 10 << edit
        << QStringList{cellIs(5, 10, {}), cellIs(6, 10, edit), cellIs(7, 10, taggedText(6, 10))}
        << true;
    QTest::newRow("a removed row takes its edit along")
        << QByteArrayList{"MnuEditLineDelete"} << 5 << 10 << edit
        << QStringList{cellIs(5, 10, taggedText(6, 10)), cellIs(4, 10, taggedText(4, 10))} << false;
}

QTEST_GUILESS_MAIN(TestRowCommands)
#include "tst_rowcommands.moc"
