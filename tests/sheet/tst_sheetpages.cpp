#include "sheet/sheetpages.h"

#include <QTest>

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
    QTest::addColumn<QString>("expected"); // "count: " and the first pages: lines/fare columns

    // 500 wide: label 20, name 100 and ticket 30 leave room for 14 fares of 25.
    const SheetWidths w{20, 100, 40, 30, 25, 10};
    using H = QList<qreal>;
    QTest::newRow("down first, then across")
        << SheetWidths{20, 100, 40, 30, 25, 28} << 500.0 << H{40, 40, 40, 40, 40} << 100.0 << 100.0
        << QStringLiteral("6: 0-2/0-14 2-4/0-14 4-5/0-14 0-2/14-28 2-4/14-28 4-5/14-28");
    QTest::newRow("lines fill the room exactly") << w << 500.0 << H{60, 40, 1, 99} << 100.0 << 100.0
                                                 << QStringLiteral("2: 0-2/0-10 2-4/0-10");
    QTest::newRow("lines taller than the room")
        << w << 500.0 << H{250, 30, 30, 250} << 100.0 << 100.0
        << QStringLiteral("3: 0-1/0-10 1-3/0-10 3-4/0-10");
    QTest::newRow("no lines: the heading row")
        << w << 500.0 << H{} << 100.0 << 100.0 << QStringLiteral("1: 0-0/0-10");
    QTest::newRow("narrow paper: the name gives way to a fare")
        << SheetWidths{20, 100, 10, 30, 25, 3} << 100.0 << H{15} << 100.0 << 25.0
        << QStringLiteral("3: 0-1/0-1 0-1/1-2 0-1/2-3");
    QTest::newRow("narrower still: the name keeps its least, a fare sticks out")
        << SheetWidths{20, 100, 10, 30, 25, 2} << 80.0 << H{15} << 100.0 << 10.0
        << QStringLiteral("2: 0-1/0-1 0-1/1-2");
    // The full table of 301 lines and 150 fares on A4 landscape with 10 mm margins, in points,
    // as the grid's Gothic face (IPA Gothic) measures it; a long name widens its column up to
    // its share of the page.
    QTest::newRow("the full table on A4")
        << SheetWidths{18.5, 153.5, 30, 50, 23, 150} << 785.9 << H(301, 12.72) << 497.9 << 153.5
        << QStringLiteral("56: 0-39/0-24 39-78/0-24");
    QTest::newRow("a long name widens its column")
        << SheetWidths{18.5, 400, 30, 50, 23, 150} << 785.9 << H(301, 12.72) << 497.9 << 251.488
        << QStringLiteral("64: 0-39/0-20 39-78/0-20");
}

void TestSheetPages::pages()
{
    QFETCH(SheetWidths, widths);
    QFETCH(qreal, pageWidth);
    QFETCH(QList<qreal>, heights);
    QFETCH(qreal, room);
    QFETCH(qreal, nameWidth);
    QFETCH(QString, expected);

    const SheetPages pages(sheetColumns(widths, pageWidth), heights, room);
    QCOMPARE(pages.columns().name, nameWidth);
    QStringList text{QString::number(pages.count()) + u':'};
    for (int i = 0; i < pages.count(); ++i) {
        const SheetPage page = pages.page(i);
        text.append(QString::asprintf("%d-%d/%d-%d", page.firstLine, page.endLine, page.firstFare,
                                      page.endFare));
        // No page's lines run past the room; its columns end after its last fare column.
        qreal height = 0;
        for (int line = page.firstLine; line < page.endLine; ++line)
            height += pages.lineHeight(line);
        QVERIFY(height <= room);
        QCOMPARE(pages.edges(page).last(), widths.label + nameWidth + widths.ticket +
                                               (page.endFare - page.firstFare) * widths.fare);
    }
    QCOMPARE(text.join(u' ').left(expected.size()), expected);
}

QTEST_APPLESS_MAIN(TestSheetPages)
#include "tst_sheetpages.moc"
