#include "edit/blockedits.h"
#include "edit/clipboardtext.h"
#include "edit/farerevision.h"
#include "edit/findreplace.h"
#include "model/bulkguards.h"
#include "model/tablehistory.h"
#include "testtables.h"

#include <QTest>

namespace {

/** A block written "a|b/c|d": rows separated by "/", fields by "|"; "" is no row at all. */
CellBlock blockOf(const QString& shape)
{
    CellBlock block;
    for (const QString& row : shape.split(u'/', Qt::SkipEmptyParts)) {
        block.texts.append(row.split(u'|'));
        block.cols = int(block.texts.size()) / ++block.rows;
    }
    return block;
}

/** A range written "top,left,bottom,right". */
CellRange rangeOf(const QString& text)
{
    const QStringList n = text.split(u',');
    return {n[0].toInt(), n[1].toInt(), n[2].toInt(), n[3].toInt()};
}

QString shapeOf(const CellBlock& block)
{
    QStringList rows;
    for (int row = 0; row < block.rows; ++row)
        rows << QStringList(block.texts.mid(row * block.cols, block.cols)).join(u'|');
    return rows.join(u'/');
}

FindReplace::Options optionsOf(const QString& text, const QString& flags)
{
    FindReplace::Options options;
    options.text = text;
    options.matchCase = flags.contains(u'c');
    options.wholeCell = flags.contains(u'w');
    options.scope = flags.contains(u'n')   ? FindReplace::Scope::Names
                    : flags.contains(u'#') ? FindReplace::Scope::Numbers
                                           : FindReplace::Scope::All;
    return options;
}

void fillStops(FareTable& table)
{
    table.SetCell(3, 1, QStringLiteral("市民病院"));
    table.SetCell(5, 1, QStringLiteral("市民病院前"));
    table.SetCell(5, 4, QStringLiteral("市民"));
    table.SetCell(7, 2, QStringLiteral("120"));
    table.SetCell(9, 152, QStringLiteral("ABC"));
}

/** A rule as "RATIO ADD ROUND UNIT LOWEST" ("55/54 0 nearest 10 0"). */
QString ruleText(const FareRevision::Rule& rule)
{
    const char* rounding[] = {"up", "nearest", "down"};
    return QStringLiteral("%1 %2 %3 %4 %5")
        .arg(FareRevision::ratioText(rule))
        .arg(rule.add)
        .arg(QLatin1String(rounding[int(rule.rounding)]))
        .arg(rule.unit)
        .arg(rule.lowest);
}

/** Sets rule from options as the CLI takes them ("--multiply=110/108 --unit=1"); the message of
 *  the first option refused, if any, which ends it (the rule is then as before that option). */
QString setOptions(FareRevision::Rule& rule, const QString& options)
{
    const QStringList names = QStringLiteral("multiply add round unit min").split(u' ');
    QString error;
    for (const QString& option : options.split(u' ', Qt::SkipEmptyParts)) {
        const FareRevision::Rule before = rule;
        const int parameter = int(names.indexOf(option.section(u'=', 0, 0).mid(2)));
        error = FareRevision::setParameter(rule, FareRevision::Parameter(parameter),
                                           option.section(u'=', 1));
        if (!error.isEmpty())
            return ruleText(rule) != ruleText(before)
                       ? QStringLiteral("a refused option changed the rule")
                       : error;
    }
    return error;
}

} // namespace

class TestBlockEdits : public QObject {
    Q_OBJECT

private slots:
    void tabText_data();
    void tabText();
    void paste_data();
    void paste();
    void html_data();
    void html();
    void find_data();
    void find();
    void replaceAll();
    void reviseFare_data();
    void reviseFare();
    void revisionParameters_data();
    void revisionParameters();
    void revisionOfATable();
};

void TestBlockEdits::tabText_data()
{
    QTest::addColumn<QString>("rows");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("bothWays"); // false: only read
    const struct {
        const char *name, *rows, *text;
        bool bothWays;
    } cases[] = {
        {"2 x 2", "a|b/c|d", "a\tb\r\nc\td\r\n", true},
        {"Japanese, empty cells", "東西線|/|230", "東西線\t\r\n\t230\r\n", true},
        {"quotes doubled", "say \"hi\"|\"x", "\"say \"\"hi\"\"\"\t\"\"\"x\"\r\n", true},
        {"tab, LF, CR inside", "a\tb|c\nd|e\rf\r\ng", "\"a\tb\"\t\"c\nd\"\t\"e\rf\r\ng\"\r\n",
         true},
        {"empty cells", "|", "\t\r\n", true},
        {"nothing", "", "", true},
        {"LF rows, no last line end, short row", "a|b/c|", "a\tb\nc", false},
        {"CR rows", "a/b", "a\rb\r", false},
        {"blank row inside", "a/b/c", "a\r\nb\r\nc", false},
        {"empty row inside", "a//b", "a\r\n\r\nb\r\n", false},
        {"text after a closing quote", "ab|c", "\"a\"b\tc", false},
        {"quote inside an unquoted field", "a\"b", "a\"b", false},
        {"quote never closed", "a\tb\n", "\"a\tb\n", false},
    };
    for (const auto& c : cases)
        QTest::newRow(c.name) << QString::fromUtf8(c.rows) << QString::fromUtf8(c.text)
                              << c.bothWays;
}

void TestBlockEdits::tabText()
{
    QFETCH(QString, rows);
    QFETCH(QString, text);
    QFETCH(bool, bothWays);
    QCOMPARE(shapeOf(tabTextToBlock(text)), rows);
    if (bothWays)
        QCOMPARE(blockToTabText(blockOf(rows)), text);
}

void TestBlockEdits::paste_data()
{
    QTest::addColumn<QString>("block");
    QTest::addColumn<QString>("at");      // "row,col", then the selection when there is one
    QTest::addColumn<QString>("written"); // the range written, as the paste reports it
    QTest::addColumn<QString>("texts");   // that range's texts afterwards
    QTest::addColumn<int>("leftOut");
    const struct {
        const char *name, *block, *at, *written, *texts;
        int leftOut;
    } cases[] = {
        {"inside the table", "a|b/c|d", "3,3", "3,3,4,4", "a|b/c|d", 0},
        {"cut at the last row and column", "a|b|c/d|e|f/g|h|i", "300,151", "300,151,301,152",
         "a|b/d|e", 5},
        {"cut at the headings", "a|b/c|d", "0,0", "1,1,1,1", "d", 3},
        {"one text fills the selection", "x", "3,3 3,3,4,5", "3,3,4,5", "x|x|x/x|x|x", 0},
        {"a selection over headings: its ordinary cells", "x", "0,0 0,0,2,1", "1,1,2,1", "x/x", 0},
        {"a block of several texts: the selection does not matter", "a|b", "7,7 2,2,9,9", "7,7,7,8",
         "a|b", 0},
    };
    for (const auto& c : cases)
        QTest::newRow(c.name) << QString::fromUtf8(c.block) << QString::fromLatin1(c.at)
                              << QString::fromLatin1(c.written) << QString::fromUtf8(c.texts)
                              << c.leftOut;
}

void TestBlockEdits::paste()
{
    QFETCH(QString, block);
    QFETCH(QString, at);
    QFETCH(QString, written);
    QFETCH(QString, texts);
    QFETCH(int, leftOut);
    FareTable table;
    table.setCurrentCell(5, 5);
    QStringList expected = TestTables::snapshot(table);
    const CellRange range = rangeOf(written);
    const QStringList wanted = QString(texts).replace(u'/', u'|').split(u'|');
    for (int row = range.top, i = 0; row <= range.bottom; ++row)
        for (int col = range.left; col <= range.right; ++col)
            expected[row * FareTable::ColCount + col] = wanted.at(i++);

    const QStringList place = at.split(u' ');
    const BlockEdits::PasteResult result = BlockEdits::paste(
        table, blockOf(block), place[0].section(u',', 0, 0).toInt(),
        place[0].section(u',', 1).toInt(), place.size() > 1 ? rangeOf(place[1]) : CellRange());
    QVERIFY(result.written == range);
    QCOMPARE(result.leftOut, leftOut);
    QCOMPARE(TestTables::snapshot(table), expected); // headings and every other cell as they were
    QCOMPARE(QList<int>({table.CurRow(), table.CurCol()}), QList<int>({5, 5}));
}

void TestBlockEdits::html_data()
{
    QTest::addColumn<QString>("rows");
    QTest::addColumn<int>("left");      // the table column of the block's first column
    QTest::addColumn<QString>("cells"); // the cells' HTML in the shape of rows; "@" marks text
    const auto row = [](const char* name, const QByteArray& rows, int left, const char* cells) {
        QTest::newRow(name) << QString::fromUtf8(rows) << left << QString::fromUtf8(cells);
    };
    row("escapes, line ends", "<a&b>|x'y\"z/1\r\n2\r3\n4|", 3,
        "@&lt;a&amp;b&gt;|@x&#39;y&quot;z/@1<br>2<br>3<br>4|");
    row("control characters left out, tab kept", QByteArray("a\0b\x1b\x7f\xc2\x85\tc|\x01", 11), 5,
        "@ab\tc|@");
    row("names are text whatever they hold", "=1+1/0012/1E5/-5/210", 1,
        "@=1+1/@0012/@1E5/@-5/@210");
    row("plain numbers stay numbers, empty cells unmarked", "0|210|-5||123456789012345", 2,
        "0|210|-5||123456789012345");
    row("anything else is text", "0012|12.5|210円|-0|-| 5|1E5|1234567890123456|=1+1|０", 4,
        "@0012|@12.5|@210円|@-0|@-|@ 5|@1E5|@1234567890123456|@=1+1|@０");
    row("a name beside numbers", "駅|5|7", 1, "@駅|5|7");
}

void TestBlockEdits::html()
{
    QFETCH(QString, rows);
    QFETCH(int, left);
    QFETCH(QString, cells);
    QString table;
    for (const QString& line : cells.split(u'/')) {
        table += QStringLiteral("<tr>");
        for (const QString& cell : line.split(u'|'))
            table += (cell.startsWith(u'@')
                          ? QStringLiteral("<td class=\"t\" sdnum=\"1041;0;@\">") + cell.mid(1)
                          : QStringLiteral("<td>") + cell) +
                     QStringLiteral("</td>");
        table += QStringLiteral("</tr>\n");
    }
    QCOMPARE(blockToHtml(blockOf(rows), left),
             QStringLiteral("<html><head><meta charset=\"utf-8\"><style>td{white-space:pre}"
                            ".t{mso-number-format:\"\\@\"}</style></head><body><table>\n") +
                 table + QStringLiteral("</table></body></html>\n"));
}

void TestBlockEdits::find_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("options"); // c match case, w whole cell, n names, # numbers, b back
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("found"); // "row,col", "+" when the search wrapped; "" none
    const struct {
        const char *name, *text, *options, *start, *found;
    } cases[] = {
        {"first match", "市民病院", "", "1,1", "3,1"},
        {"next match", "市民病院", "", "3,1", "5,1"},
        {"past the end wraps", "市民病院", "", "5,1", "3,1+"},
        {"backwards wraps", "市民病院", "b", "3,1", "5,1+"},
        {"backwards within the table", "市民病院", "b", "5,1", "3,1"},
        {"from the last cell on", "市民病院", "", "301,152", "3,1+"},
        {"whole cell: itself, last", "市民病院", "w", "3,1", "3,1+"},
        {"names only skip fares", "市民", "n", "5,1", "3,1+"},
        {"numbers only skip names", "市民", "#", "1,1", "5,4"},
        {"case ignored", "abc", "", "1,1", "9,152"},
        {"case matched", "abc", "c", "1,1", ""},
        {"headings are not searched", "整理券番号", "", "1,1", ""},
        {"from a heading cell", "120", "b", "0,5", "7,2+"},
    };
    for (const auto& c : cases)
        QTest::newRow(c.name) << QString::fromUtf8(c.text) << QString::fromUtf8(c.options)
                              << c.start << c.found;
}

void TestBlockEdits::find()
{
    QFETCH(QString, text);
    QFETCH(QString, options);
    QFETCH(QString, start);
    QFETCH(QString, found);
    FareTable table;
    fillStops(table);
    const FindReplace::Match match =
        FindReplace::find(table, start.section(u',', 0, 0).toInt(), start.section(u',', 1).toInt(),
                          optionsOf(text, options), options.contains(u'b'));
    QCOMPARE(match.found() ? QStringLiteral("%1,%2").arg(match.row).arg(match.col) +
                                 (match.wrapped ? QStringLiteral("+") : QString())
                           : QString(),
             found);
}

void TestBlockEdits::replaceAll()
{
    const struct {
        const char *text, *options, *replacement;
        int changed;
        const char* after; // (3, 1), (5, 1), (5, 4)
    } cases[] = {
        {"市民病院", "w", "市民病院前", 1, "市民病院前|市民病院前|市民"},
        {"市民病院", "", "市民病院前", 2, "市民病院前|市民病院前前|市民"},
        {"市民", "#", "", 1, "市民病院|市民病院前|"},
        {"駅", "", "x", 0, "市民病院|市民病院前|市民"},
    };
    for (const auto& c : cases) {
        FareTable table;
        fillStops(table);
        table.setCurrentCell(8, 8);
        QCOMPARE(FindReplace::replaceAll(
                     table, optionsOf(QString::fromUtf8(c.text), QString::fromLatin1(c.options)),
                     QString::fromUtf8(c.replacement)),
                 c.changed);
        QCOMPARE(QStringList({table.text(3, 1), table.text(5, 1), table.text(5, 4)}),
                 QString::fromUtf8(c.after).split(u'|'));
        QCOMPARE(table.CurRow(), 8);
        QCOMPARE(table.CurCol(), 8);
    }
}

void TestBlockEdits::reviseFare_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("rule");
    QTest::addColumn<QString>("result"); // the new text, "" unchanged, "!N" refused with result N
    const struct {
        const char *name, *text, *rule, *result;
    } cases[] = {
        {"tax 5 to 8 %, nearest 10", "210", "--multiply=108/105", "220"},
        {"tax 8 to 10 %, stays", "230", "--multiply=110/108", ""},
        {"tax 8 to 10 %, rises", "1000", "--multiply=110/108", "1020"},
        {"IC fare, 1 yen", "210", "--multiply=110/108 --unit=1", "214"},
        {"child fare, up", "250", "--multiply=1/2 --round=up", "130"},
        {"up, exactly on the unit", "160", "--multiply=0.5 --round=up", "80"},
        {"half, nearest goes up", "150", "--multiply=1/2", "80"},
        {"half, down", "150", "--multiply=1/2 --round=down", "70"},
        {"decimal ratio", "200", "--multiply=1.1 --unit=1", "220"},
        {"negative add", "200", "--add=-25", "180"},
        {"negative half, nearest toward +inf", "100", "--add=-125", "!-20"},
        {"negative half, down", "100", "--add=-125 --round=down", "!-30"},
        {"negative raised to the lowest", "100", "--add=-125 --min=150", "150"},
        {"lowest fare", "120", "--multiply=1/2 --round=up --min=100", "100"},
        {"lowest above the value", "90", "--min=100", "100"},
        {"largest fare", "32760", "--add=7 --unit=1", "32767"},
        {"above 16 bits", "30000", "--multiply=110/100", "!33000"},
        {"largest ratio", "32767", "--multiply=1000000", "!32767000000"},
        {"cell a save refuses", "40000", "--multiply=1/2", "!0"},
        {"read as stored", "210円", "--multiply=108/105", "220"},
        {"value kept, text kept", "0210", "--unit=10", ""},
        {"empty", "", "--add=100", ""},
        {"zero", "0", "--add=100", ""},
        {"negative", "-5", "--add=100", ""},
        {"no number", "abc", "--add=100", ""},
    };
    for (const auto& c : cases)
        QTest::newRow(c.name) << QString::fromUtf8(c.text) << QString::fromLatin1(c.rule)
                              << QString::fromUtf8(c.result);
}

void TestBlockEdits::reviseFare()
{
    QFETCH(QString, text);
    QFETCH(QString, rule);
    QFETCH(QString, result);
    FareTable table;
    table.SetCell(1, 1, QStringLiteral("系統"));
    table.SetCell(2, 1, QStringLiteral("駅前"));
    table.SetCell(2, 4, text);
    FareRevision::Rule parsed;
    QCOMPARE(setOptions(parsed, rule), QString());
    const FareRevision::Revision revision = FareRevision::plan(table, parsed);
    if (result.startsWith(u'!')) {
        QCOMPARE(revision.errorResult, result.mid(1).toLongLong());
        QCOMPARE(QList<int>({revision.errorRow, revision.errorCol}), QList<int>({2, 4}));
        QVERIFY2(revision.error.contains(QStringLiteral("停留所 1「駅前」の整理券 2")),
                 qPrintable(revision.error));
        QVERIFY(revision.changes.empty());
        return;
    }
    QVERIFY2(revision.ok(), qPrintable(revision.error));
    QCOMPARE(revision.changes.size(), result.isEmpty() ? 0 : 1);
    QCOMPARE(FareRevision::apply(table, revision), result.isEmpty() ? 0 : 1);
    QCOMPARE(table.text(2, 4), result.isEmpty() ? text : result);
}

void TestBlockEdits::revisionParameters_data()
{
    QTest::addColumn<QString>("options");
    QTest::addColumn<QString>("rule"); // ruleText, or "!" and a part of the message
    const struct {
        const char *options, *rule;
    } cases[] = {
        {"", "1 0 nearest 10 0"},
        {"--multiply=110/108", "55/54 0 nearest 10 0"},
        {"--multiply=1.08", "27/25 0 nearest 10 0"},
        {"--multiply=.5", "1/2 0 nearest 10 0"},
        {"--multiply=１．１", "11/10 0 nearest 10 0"},
        {"--multiply=1.100000000", "11/10 0 nearest 10 0"},
        {"--multiply=2000000/1000000", "2 0 nearest 10 0"},
        {"--multiply=1.0000001", "!小数は 6 桁まで"},
        {"--multiply=3000000/2", "!1000000 以下"},
        {"--multiply=0", "!0 より大きく"},
        {"--multiply=5/0", "!0 より大きく"},
        {"--multiply=-1.1", "!分数か"},
        {"--multiply=1/2/3", "!分数か"},
        {"--multiply=.", "!分数か"},
        {"--add=－20 --round=切り上げ --unit=50 --min=100", "1 -20 up 50 100"},
        {"--add=+10 --round=DOWN --min=", "1 10 down 10 0"},
        {"--add=40000", "!加算額「40000」は -32767 から 32767 まで"},
        {"--add=1.5", "!加算額"},
        {"--unit=0", "!単位「0」は 1 から 32767 まで"},
        {"--min=-1", "!最低運賃"},
        {"--round=half", "!端数の処理「half」"},
    };
    for (const auto& c : cases)
        QTest::newRow(c.options) << QString::fromUtf8(c.options) << QString::fromUtf8(c.rule);
}

void TestBlockEdits::revisionParameters()
{
    QFETCH(QString, options);
    QFETCH(QString, rule);
    FareRevision::Rule parsed;
    const QString error = setOptions(parsed, options);
    if (rule.startsWith(u'!'))
        QVERIFY2(error.contains(rule.mid(1)), qPrintable(error));
    else
        QCOMPARE(ruleText(parsed), rule);
    QCOMPARE(FareRevision::checkRule(parsed), QString());
}

void TestBlockEdits::revisionOfATable()
{
    // Stops 1 to 3 with ticket numbers and fares; the route row and a row below the first empty
    // name hold numbers too.
    FareTable table;
    TableHistory history(table);
    for (int row = 1; row <= 6; ++row) {
        if (row != 5)
            table.SetCell(row, 1, QStringLiteral("停%1").arg(row));
        for (int col = 2; col <= 4; ++col)
            table.SetCell(row, col, 100 * row + col);
    }
    table.setCurrentCell(3, 3);
    const QStringList before = TestTables::snapshot(table);
    FareRevision::Rule rule;
    QCOMPARE(FareRevision::setParameter(rule, FareRevision::Parameter::Multiply, u"2"), QString());
    const auto revise = [&](const std::optional<CellRange>& block) {
        const FareRevision::Revision revision = FareRevision::plan(table, rule, block);
        TableStep step(table);
        FareRevision::apply(table, revision);
        return revision;
    };
    const auto rows = [&table] {
        QStringList texts;
        for (int row = 1; row <= 6; ++row)
            texts << QStringList({table.text(row, 2), table.text(row, 3), table.text(row, 4)})
                         .join(u' ');
        return texts.join(u'|');
    };
    const FareRevision::Revision stored = revise(std::nullopt);
    QCOMPARE(rows(), QStringLiteral("102 103 104|202 410 410|302 610 610|402 810 810|502 503 "
                                    "504|602 603 604"));
    QCOMPARE(stored.changes.size(), 6);
    QCOMPARE(FareRevision::describeChange(table, stored.changes.front()),
             QStringLiteral("停留所 1「停2」の整理券 1: 203 → 410"));
    QCOMPARE(QList<int>({table.CurRow(), table.CurCol()}), QList<int>({3, 3}));
    QCOMPARE(history.undoCount(), 1);
    history.undo();
    QCOMPARE(TestTables::snapshot(table), before);
    QCOMPARE(QList<int>({table.CurRow(), table.CurCol()}), QList<int>({3, 3}));
    // A block reaches rows a save does not store, but never the route row, names or tickets.
    revise(std::nullopt);
    QCOMPARE(revise(CellRange{0, 0, 301, 3}).changes.size(), 5);
    QCOMPARE(rows(), QStringLiteral("102 103 104|202 820 410|302 1220 610|402 1620 810|502 1010 "
                                    "504|602 1210 604"));
    // One cell out of range refuses the whole revision, naming the first such cell.
    table.SetCell(4, 4, QStringLiteral("4E4"));
    table.SetCell(6, 3, QStringLiteral("32767"));
    const FareRevision::Revision refused = FareRevision::plan(table, rule, CellRange{1, 1, 9, 9});
    QCOMPARE(QList<int>({refused.errorRow, refused.errorCol, int(refused.changes.size())}),
             QList<int>({4, 4, 0}));
    QVERIFY(refused.error.contains(QStringLiteral("停留所 3「停4」の整理券 2 の「4E4」")));
    QCOMPARE(FareRevision::apply(table, refused), 0);
    // A rule made in code past the parameters' checks is refused too: nothing divides by 0.
    FareRevision::Rule byZero;
    byZero.denominator = 0;
    QVERIFY(FareRevision::plan(table, byZero).error.contains(QStringLiteral("倍率の分母 0")));
    byZero = FareRevision::Rule();
    byZero.numerator = 0;
    QVERIFY(FareRevision::plan(table, byZero).error.contains(QStringLiteral("倍率の分子 0")));
}

QTEST_GUILESS_MAIN(TestBlockEdits)
#include "tst_blockedits.moc"
