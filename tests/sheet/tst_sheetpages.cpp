#include "sheet/sheetpages.h"

#include <QTest>

class TestSheetPages : public QObject {
    Q_OBJECT

private slots:
    void pages_data();
    void pages();
    void notes_data();
    void notes();
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

void TestSheetPages::notes_data()
{
    // Lines under a room of 100 below a heading row of 10, then notes 10 high, a gap of 10 after
    // the lines: the pages added, and the notes of the table's last page with where they start,
    // then those of each page of notes alone.
    QTest::addColumn<int>("fares"); // fare columns: 10 fit on a page across
    QTest::addColumn<QList<qreal>>("heights");
    QTest::addColumn<int>("notes");
    QTest::addColumn<QString>("expected");
    using H = QList<qreal>;
    QTest::newRow("all under the lines") << 10 << H{40} << 3 << "+0: 0-3@60";
    QTest::newRow("filling the page exactly") << 10 << H{50} << 4 << "+0: 0-4@70";
    QTest::newRow("the rest on a page of their own") << 10 << H{40, 40} << 3 << "+1: 0-1@100 1-3";
    QTest::newRow("after the last band down and across, over pages")
        << 28 << H{40, 40, 40} << 30 << "+3: 0-5@60 5-16 16-27 27-30";
    QTest::newRow("none") << 10 << H{40} << 0 << "+0: 0-0@60";
}

void TestSheetPages::notes()
{
    QFETCH(int, fares);
    QFETCH(QList<qreal>, heights);
    QFETCH(int, notes);
    QFETCH(QString, expected);
    SheetPages pages(sheetColumns({20, 100, 40, 30, 25, fares}, 500), heights, 100);
    const int tablePages = pages.count();
    pages.addNotes(notes, 10, 10, 10);
    QStringList text{QStringLiteral("+%1:").arg(pages.count() - tablePages)};
    for (int i = 0; i < pages.count(); ++i) {
        const SheetPage page = pages.page(i);
        QCOMPARE(page.table, i < tablePages);
        if (i < tablePages - 1)
            QCOMPARE(page.endNote, 0);
        else
            text << QString::asprintf("%d-%d", page.firstNote, page.endNote) +
                        (page.table ? QStringLiteral("@%1").arg(page.notesTop) : QString());
    }
    QCOMPARE(text.join(u' '), expected);
}

QTEST_APPLESS_MAIN(TestSheetPages)
#include "tst_sheetpages.moc"
