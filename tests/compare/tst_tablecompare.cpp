#include "compare/tablecompare.h"
#include "model/faretable.h"

#include <QTest>

using namespace TableCompare;

namespace {

/** Fills a table from lines "NAME:TICKET:FARE FARE ..." ("." an empty cell), the route row first.
 */
void build(FareTable& table, const QString& rows)
{
    int row = 1;
    for (const QString& line : rows.split(u'|')) {
        table.SetCell(row, 1, line.section(u':', 0, 0));
        table.SetCell(row, 2, line.section(u':', 1, 1));
        const QStringList fares = line.section(u':', 2).split(u' ', Qt::SkipEmptyParts);
        for (int k = 1; k <= fares.size(); ++k)
            table.SetCell(row, 2 + k, fares[k - 1] == u'.' ? QString() : fares[k - 1]);
        ++row;
    }
}

/** The matching of each new stop: "=i" the same name as old stop i, "~i" old stop i renamed,
 *  "+" added; then "-i" for each old stop removed. */
QString matching(const QString& oldNames, const QString& newNames)
{
    const QStringList olds = oldNames.split(u' ', Qt::SkipEmptyParts);
    const QStringList news = newNames.split(u' ', Qt::SkipEmptyParts);
    const QVector<int> newToOld = matchStops(olds, news);
    QStringList tokens;
    for (int j = 0; j < news.size(); ++j) {
        const int i = newToOld[j];
        tokens << (i < 0 ? QStringLiteral("+")
                         : (olds[i] == news[j] ? u'=' : u'~') + QString::number(i));
    }
    for (int i = 0; i < olds.size(); ++i)
        if (!newToOld.contains(i))
            tokens << QStringLiteral("-%1").arg(i);
    return tokens.join(u' ');
}

} // namespace

class TestTableCompare : public QObject {
    Q_OBJECT

private slots:
    void stopMatching_data();
    void stopMatching();
    void wholeTables_data();
    void wholeTables();
};

void TestTableCompare::stopMatching_data()
{
    QTest::addColumn<QString>("oldNames");
    QTest::addColumn<QString>("newNames");
    QTest::addColumn<QString>("matching");
    const struct {
        const char *name, *oldNames, *newNames, *matching;
    } cases[] = {
        {"same", "A B C", "A B C", "=0 =1 =2"},
        {"insert", "A B C", "A X B C", "=0 + =1 =2"},
        {"insert at the front", "A B", "X A B", "+ =0 =1"},
        {"delete", "A B C", "A C", "=0 =2 -1"},
        {"delete the last", "A B C", "A B", "=0 =1 -2"},
        {"rename", "A B C", "A X C", "=0 ~1 =2"},
        {"two renamed, one removed", "A B C D E", "A X Y E", "=0 ~1 ~2 =4 -3"},
        {"renamed and added", "A B E", "A X Y E", "=0 ~1 + =2"},
        {"move", "A B C D", "A C D B", "=0 =2 =3 + -1"},
        {"swap neighbours", "A B C D", "A C B D", "=0 =2 + =3 -1"},
        {"duplicate removed", "A A B", "A B", "=0 =2 -1"},
        {"duplicates inserted", "A B A", "A B A B A", "=0 =1 =2 + +"},
        {"nothing alike", "A B", "X Y Z", "~0 ~1 +"},
        {"all new", "", "A B", "+ +"},
        {"all gone", "A B", "", "-0 -1"},
    };
    for (const auto& c : cases)
        QTest::newRow(c.name) << QString::fromLatin1(c.oldNames) << QString::fromLatin1(c.newNames)
                              << QString::fromLatin1(c.matching);
}

void TestTableCompare::stopMatching()
{
    QFETCH(QString, oldNames);
    QFETCH(QString, newNames);
    QFETCH(QString, matching);
    QCOMPARE(::matching(oldNames, newNames), matching);
}

void TestTableCompare::wholeTables_data()
{
    QTest::addColumn<QString>("oldRows");
    QTest::addColumn<QString>("newRows");
    QTest::addColumn<QStringList>("differences"); // TSV lines, each followed by " @row,col"
    QTest::addColumn<QStringList>("sentences");   // describe() of the first few
    QTest::addColumn<QString>("summaryText");
    const auto row = [](const char* name, const char* oldRows, const char* newRows,
                        std::initializer_list<const char*> differences,
                        std::initializer_list<const char*> sentences, const char* summary) {
        QStringList d, s;
        for (const char* line : differences)
            d << QString::fromUtf8(line);
        for (const char* line : sentences)
            s << QString::fromUtf8(line);
        QTest::newRow(name) << QString::fromUtf8(oldRows) << QString::fromUtf8(newRows) << d << s
                            << QString::fromUtf8(summary);
    };
    row("route row; numbers as a save stores them", "系統A:0:210円 . 9|A:1:170|B:2:200 170",
        "系統B:5:210 0 300|A:1:170|B:2:0200 180",
        {"route-name\t\t\t\t系統A\t系統B @1,1", "route-ticket\t\t\t\t0\t5 @1,2",
         "route-fare\t\t\t3\t9\t300 @1,5", "fare\t2\t2\t2\t170\t180 @3,4"},
        {"系統名称が「系統A」から「系統B」に変わりました。",
         "系統名称の行の整理券番号が 0 から 5 に変わりました。",
         "系統名称の行の整理券 3 の運賃が 9 から 300 に変わりました。",
         "停留所 2「B」の整理券 2 の運賃が 170 から 180 に変わりました。"},
        "違いは 4 件です（系統名称の変更 1、系統名称の行の整理券番号の変更 1、"
        "系統名称の行の運賃の変更 1、運賃の変更 1）。");
    row("an inserted stop renumbers the tickets after it", "R::|A:1:|B:2:170 0|C:3:200 170",
        "R::|A:1:|X:2:150|B:3:170 150|C:4:200 170 150",
        {"stop-added\t\t2\t\t\tX @3,1", "ticket\t2\t3\t\t2\t3 @4,2", "fare\t2\t3\t2\t\t150 @4,4",
         "ticket\t3\t4\t\t3\t4 @5,2", "fare\t3\t4\t3\t\t150 @5,5"},
        {"停留所 2「X」が加わりました。",
         "停留所 3「B」（旧表では停留所 2）の整理券番号が 2 から 3 に変わりました。",
         "停留所 3「B」（旧表では停留所 2）の整理券 2 の運賃が空欄から 150 に変わりました。"},
        "違いは 5 件です（停留所の追加 1、整理券番号の変更 2、運賃の変更 2）。");
    row("renamed in a gap, removed at the end, out of range", "R::|A:1:|B:2:40000|C:3:|D:4:5",
        "R::|A:1:|Y\tZ:2:4E4|C:3:",
        {"stop-renamed\t2\t2\t\tB\tY\\tZ @3,1", "fare\t2\t2\t1\t40000\t4E4 @3,3",
         "stop-removed\t4\t\t\tD\t @5,1"},
        {"停留所 2 の名称が「B」から「Y\\tZ」に変わりました。",
         "停留所 2「Y\\tZ」の整理券 1 の運賃が 40000 から「4E4」に変わりました。",
         "旧表の停留所 4「D」がなくなりました。"},
        "違いは 3 件です（停留所の削除 1、停留所名の変更 1、運賃の変更 1）。");
    row("no stored rows in the new table", "R::|A:1:170", ":1:5|A:1:170",
        {"route-name\t\t\t\tR\t @1,1", "stop-removed\t1\t\t\tA\t @2,1"}, {},
        "違いは 2 件です（系統名称の変更 1、停留所の削除 1）。");
}

void TestTableCompare::wholeTables()
{
    QFETCH(QString, oldRows);
    QFETCH(QString, newRows);
    QFETCH(QStringList, differences);
    QFETCH(QStringList, sentences);
    QFETCH(QString, summaryText);
    FareTable oldTable;
    FareTable newTable;
    build(oldTable, oldRows);
    build(newTable, newRows);
    const Comparison comparison = compareTables(oldTable, newTable);
    QStringList lines;
    QStringList described;
    for (const Difference& d : comparison.differences) {
        lines << QStringLiteral("%1 @%2,%3").arg(tsvLine(d)).arg(d.row).arg(d.col);
        if (described.size() < sentences.size())
            described << describe(d);
    }
    QCOMPARE(lines, differences);
    QCOMPARE(described, sentences);
    QCOMPARE(summary(comparison), summaryText);
    QCOMPARE(compareTables(newTable, newTable).isEmpty(), true);
}

QTEST_GUILESS_MAIN(TestTableCompare)
#include "tst_tablecompare.moc"
