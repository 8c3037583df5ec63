#include "sheet/sheetpages.h"

#include <QTest>

namespace {

/** The pages in order, each as its lines and its fare columns: "0-39/0-24". */
QString pagesText(const SheetPages& pages)
{
    QStringList text;
    for (int i = 0; i < pages.count(); ++i) {
        const SheetPage page = pages.page(i);
        text.append(QStringLiteral("%1-%2/%3-%4")
                        .arg(page.firstLine)
                        .arg(page.endLine)
                        .arg(page.firstFare)
                        .arg(page.endFare));
    }
    return text.join(u' ');
}

} // namespace

class TestSheetPages : public QObject {
    Q_OBJECT

private slots:
    void pages_data();
    void pages();
};

void TestSheetPages::pages_data()
{
    QTest::addColumn<SheetWidths>("widths"); // label, name, least name, ticket, fare, fare count
    QTest::addColumn<qreal>("pageWidth");
    QTest::addColumn<QList<qreal>>("heights");
    QTest::addColumn<qreal>("room");
    QTest::addColumn<qreal>("nameWidth");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("first"); // the first pages, in order

    // 500 wide: label 20, name 100 and ticket 30 leave room for 14 fares of 25.
    const auto fares = [](int count) {
        return SheetWidths{20, 100, 40, 30, 25, count};
    };
    const SheetWidths w = fares(10);
    QTest::newRow("one page") << w << 500.0 << QList<qreal>{15, 15, 15} << 100.0 << 100.0 << 1
                              << QStringLiteral("0-3/0-10");
    QTest::newRow("down first, then across")
        << fares(20) << 500.0 << QList<qreal>{40, 40, 40, 40, 40} << 100.0 << 100.0 << 6
        << QStringLiteral("0-2/0-14 2-4/0-14 4-5/0-14 0-2/14-20 2-4/14-20 4-5/14-20");
    QTest::newRow("fare columns fill their pages")
        << fares(28) << 500.0 << QList<qreal>{15} << 100.0 << 100.0 << 2
        << QStringLiteral("0-1/0-14 0-1/14-28");
    QTest::newRow("lines fill the room exactly")
        << w << 500.0 << QList<qreal>{60, 40, 1, 99} << 100.0 << 100.0 << 2
        << QStringLiteral("0-2/0-10 2-4/0-10");
    QTest::newRow("lines taller than the room")
        << w << 500.0 << QList<qreal>{250, 30, 30, 250} << 100.0 << 100.0 << 3
        << QStringLiteral("0-1/0-10 1-3/0-10 3-4/0-10");
    QTest::newRow("no lines: the heading row")
        << w << 500.0 << QList<qreal>{} << 100.0 << 100.0 << 1 << QStringLiteral("0-0/0-10");
    QTest::newRow("a long name takes at most its share")
        << SheetWidths{20, 300, 40, 30, 25, 20} << 500.0 << QList<qreal>{15} << 100.0 << 160.0 << 2
        << QStringLiteral("0-1/0-11 0-1/11-20");
    QTest::newRow("narrow paper: the name gives way to a fare")
        << SheetWidths{20, 100, 10, 30, 25, 3} << 100.0 << QList<qreal>{15} << 100.0 << 25.0 << 3
        << QStringLiteral("0-1/0-1 0-1/1-2 0-1/2-3");
    QTest::newRow("narrower still: the name keeps its least")
        << SheetWidths{20, 100, 10, 30, 25, 2} << 80.0 << QList<qreal>{15} << 100.0 << 10.0 << 2
        << QStringLiteral("0-1/0-1 0-1/1-2");
    QTest::newRow("a fare column wider than the paper")
        << SheetWidths{20, 100, 40, 30, 600, 2} << 500.0 << QList<qreal>{15} << 100.0 << 40.0 << 2
        << QStringLiteral("0-1/0-1 0-1/1-2");
    // The full table of 301 lines and 150 fares on A4 landscape with 10 mm margins, in points,
    // as the grid's Gothic face (IPA Gothic) measures it.
    const QList<qreal> full(301, 12.72);
    QTest::newRow("the full table on A4")
        << SheetWidths{18.5, 153.5, 30, 50, 23, 150} << 785.9 << full << 497.9 << 153.5 << 56
        << QStringLiteral("0-39/0-24 39-78/0-24");
    QTest::newRow("a long name widens its column")
        << SheetWidths{18.5, 400, 30, 50, 23, 150} << 785.9 << full << 497.9 << 251.488 << 64
        << QStringLiteral("0-39/0-20 39-78/0-20");
}

void TestSheetPages::pages()
{
    QFETCH(SheetWidths, widths);
    QFETCH(qreal, pageWidth);
    QFETCH(QList<qreal>, heights);
    QFETCH(qreal, room);
    QFETCH(qreal, nameWidth);
    QFETCH(int, count);
    QFETCH(QString, first);

    const SheetPages pages(sheetColumns(widths, pageWidth), heights, room);
    QCOMPARE(pages.columns().name, nameWidth);
    QCOMPARE(pages.count(), count);
    QCOMPARE(pagesText(pages).left(first.size()), first);
    // No page's lines run past the room; its columns end after its last fare column.
    for (int i = 0; i < pages.count(); ++i) {
        const SheetPage page = pages.page(i);
        qreal height = 0;
        for (int line = page.firstLine; line < page.endLine; ++line)
            height += pages.lineHeight(line);
        QVERIFY(height <= room);
        const int fareCount = page.endFare - page.firstFare;
        QCOMPARE(pages.edges(page).size(), 4 + fareCount);
        QCOMPARE(pages.edges(page).last(),
                 widths.label + nameWidth + widths.ticket + fareCount * widths.fare);
    }
}

QTEST_APPLESS_MAIN(TestSheetPages)
#include "tst_sheetpages.moc"
