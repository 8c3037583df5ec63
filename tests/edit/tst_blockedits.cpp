#include "edit/clipboardtext.h"
#include "edit/findreplace.h"
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

} // namespace

class TestBlockEdits : public QObject {
    Q_OBJECT

private slots:
    void tabText_data();
    void tabText();
    void html_data();
    void html();
    void find_data();
    void find();
    void replaceAll();
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

QTEST_GUILESS_MAIN(TestBlockEdits)
#include "tst_blockedits.moc"
