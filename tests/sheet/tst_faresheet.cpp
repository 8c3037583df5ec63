#include "compare/tablecompare.h"
#include "model/faretable.h"
#include "sheet/faresheet.h"
#include "testtables.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

/** Runs a poppler tool on a PDF; its output, or a null text when it could not run. */
QString poppler(const QString& tool, QStringList args)
{
    QProcess process;
    process.start(tool, args);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

/** A stop's line on a page: its number, name, ticket number and fares. */
struct PageLine {
    int stop;
    QString name;
    QStringList numbers; ///< ticket number, then the fares
};

/** A page of pdftotext -layout output: the tickets of its heading, and its stop lines. */
struct Page {
    QString text;
    QStringList tickets;
    QList<PageLine> lines;
};

QList<Page> readPages(const QString& pdf)
{
    QList<Page> pages;
    const QString all =
        poppler(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    static const QRegularExpression stopLine(QStringLiteral("^\\s*(\\d+)\\s+(\\S+)\\s+(.*)$"));
    for (const QString& text : all.split(u'\f', Qt::SkipEmptyParts)) {
        Page page{text, {}, {}};
        for (const QString& line : text.split(u'\n')) {
            if (line.contains(QStringLiteral("整理券番号")))
                page.tickets =
                    line.section(QStringLiteral("整理券番号"), 1).split(u' ', Qt::SkipEmptyParts);
            else if (const auto m = stopLine.match(line); m.hasMatch())
                page.lines.append({m.captured(1).toInt(), m.captured(2),
                                   m.captured(3).split(u' ', Qt::SkipEmptyParts)});
        }
        pages.append(page);
    }
    return pages;
}

QString writePdf(const FareSheet& sheet, const QTemporaryDir& dir)
{
    const QString path = dir.filePath(QStringLiteral("sheet.pdf"));
    return TestTables::writeBytes(path, sheet.toPdf()) ? path : QString();
}

} // namespace

class TestFareSheet : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void knownTableOnItsPages();
    void fullTablePages();
    void longNamesCut();
    void marksChanges();

private:
    QTemporaryDir m_dir;
};

void TestFareSheet::initTestCase()
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed");
}

void TestFareSheet::knownTableOnItsPages()
{
    // 50 stops by 40 fares: two pages down, two across. The fare of ticket k at stop s is
    // s * 100 + k, so every number says where it belongs.
    FareTable table;
    table.SetCell(1, 1, QStringLiteral("東西線（駅前発港行き）"));
    for (int s = 1; s <= 50; ++s) {
        table.SetCell(s + 1, 1, QStringLiteral("第%1停留所").arg(s));
        table.SetCell(s + 1, 2, s);
        for (int k = 1; k <= 40; ++k)
            table.SetCell(s + 1, 2 + k, s * 100 + k);
    }
    table.SetCell(6, 5, QStringLiteral("0"));       // a fare of 0 is blank
    table.SetCell(7, 6, QStringLiteral("604円"));   // stored, and shown, as 604
    table.SetCell(53, 1, QStringLiteral("保存外")); // below the first empty name
    FareSheet sheet(table);
    sheet.setDate(QDate(2024, 5, 6));

    // How many pages the fonts installed need down and across is for SheetPages' own test; here
    // the pages show what they should in their order: down first, then across.
    const QList<Page> pages = readPages(writePdf(sheet, m_dir));
    int down = 0; // pages down: those with the first tickets
    while (down < pages.size() && pages[down].tickets.value(0) == QLatin1String("1"))
        ++down;
    QVERIFY(down > 0 && pages.size() % down == 0);
    QStringList tickets; // each column of pages holds every stop in order, with its tickets
    int nextStop = 1;
    for (int p = 0; p < pages.size(); ++p) {
        const Page& page = pages[p];
        QVERIFY(page.text.contains(QStringLiteral("東西線（駅前発港行き）")));
        QVERIFY(page.text.contains(QStringLiteral("%1 / %2").arg(p + 1).arg(pages.size())));
        QVERIFY(page.text.contains(QStringLiteral("停名(地名)・駅名")));
        QVERIFY(page.text.contains(QStringLiteral("印刷日 2024年5月6日")));
        QVERIFY(!page.text.contains(QStringLiteral("保存外")));
        QCOMPARE(page.tickets, pages[p - p % down].tickets);
        if (p % down == 0) {
            tickets += page.tickets;
            nextStop = 1;
        }
        for (const PageLine& line : page.lines) {
            QCOMPARE(line.stop, nextStop++);
            QCOMPARE(line.name, QStringLiteral("第%1停留所").arg(line.stop));
            QStringList expected{QString::number(line.stop)};
            for (const QString& ticket : page.tickets)
                if (line.stop != 5 || ticket != QLatin1String("3"))
                    expected.append(QString::number(line.stop * 100 + ticket.toInt()));
            QCOMPARE(line.numbers, expected);
        }
        if (p % down == down - 1)
            QCOMPARE(nextStop, 51);
    }
    QCOMPARE(tickets.size(), 40);
    QCOMPARE(tickets.last(), QStringLiteral("40"));
}

void TestFareSheet::fullTablePages()
{
    FareTable table;
    TestTables::fillFull(table);
    const QString longName(60, QChar(0x30D0)); // バ × 60: wraps, never cut
    table.SetCell(3, 1, longName);
    const QString pdf = writePdf(FareSheet(table), m_dir);
    const QList<Page> pages = readPages(pdf);
    // The last page, across and down, ends with the last stop and ticket.
    QCOMPARE(pages.last().tickets.last(), QStringLiteral("150"));
    QCOMPARE(pages.last().lines.last().stop, FareTable::StopCount);
    const QString raw =
        poppler(QStringLiteral("pdftotext"),
                {QStringLiteral("-raw"), QStringLiteral("-f"), QStringLiteral("1"),
                 QStringLiteral("-l"), QStringLiteral("1"), pdf, QStringLiteral("-")});
    QVERIFY(raw.simplified().remove(u' ').contains(longName));
}

void TestFareSheet::longNamesCut()
{
    // A name two lines of 7 points cannot hold ends in "…" and leaves room for the next stop; a
    // route name of 1M characters is cut in the header and the document's title.
    FareTable table;
    table.SetCell(1, 1, QString(1 << 20, u'線'));
    table.SetCell(2, 1, QString(30000, QChar(0x30D0)));
    table.SetCell(3, 1, QStringLiteral("本町"));
    for (int row = 2; row <= 3; ++row)
        table.SetCell(row, 2, row - 1);
    const FareSheet sheet(table);
    QCOMPARE(sheet.title(), QString(80, u'線') + QChar(0x2026));
    const QList<Page> pages = readPages(writePdf(sheet, m_dir));
    QCOMPARE(pages.size(), 1);
    QCOMPARE(pages[0].lines.value(1).name, QStringLiteral("本町"));
    const QString& text = pages[0].text;
    QVERIFY(text.contains(QStringLiteral("線…")) && text.contains(QStringLiteral("バ…")));
    QVERIFY(text.count(QChar(0x30D0)) < 200); // two lines of the name column
}

void TestFareSheet::marksChanges()
{
    // What changed since the old table is marked ("*" a name, "#" a ticket number, the fare
    // columns), and listed after the table on its last page.
    FareTable oldTable;
    FareTable newTable;
    TestTables::fillComparedPair(oldTable, newTable);
    FareSheet sheet(newTable);
    QVERIFY(sheet.notes().isEmpty());
    sheet.markChanges(TableCompare::compareTables(oldTable, newTable), QStringLiteral("旧.Hy3"));
    QStringList marks;
    for (const FareSheet::Line& line : sheet.lines()) {
        QString mark =
            line.name + (line.nameChanged ? u'*' : u' ') + (line.ticketChanged ? u'#' : u' ');
        for (qsizetype f = 0; f < line.faresChanged.size(); ++f)
            if (line.faresChanged.testBit(f))
                mark += QString::number(f + 1);
        marks << mark;
    }
    QCOMPARE(marks.join(u'|'), QStringLiteral("A  |B  1|N* |C #"));
    const QStringList notes{
        QStringLiteral("旧表「旧.Hy3」からの変更"),
        QStringLiteral("違いは 4 件です（停留所の追加 1、停留所の削除 1、整理券番号の変更 1、"
                       "運賃の変更 1）。"),
        QStringLiteral("太字に下線を引いた停留所名・整理券番号・運賃は、旧表から変わったところです"
                       "（空欄になった運賃は下線だけです）。"),
        QStringLiteral("加わった停留所（1）:"),
        QStringLiteral("　停留所 3「N」"),
        QStringLiteral("なくなった停留所（1）:"),
        QStringLiteral("　旧表の停留所 4「D」")};
    QCOMPARE(sheet.notes(), notes);
    const QList<Page> pages = readPages(writePdf(sheet, m_dir));
    QCOMPARE(pages.size(), 1);
    const QString& text = pages[0].text;
    QCOMPARE(pages[0].lines.last().name, QStringLiteral("C"));
    qsizetype at = text.indexOf(QStringLiteral("C "));
    for (const QString& note : notes) // in their order, after the table
        QVERIFY2((at = text.indexOf(note.trimmed().left(12), at)) > 0, qPrintable(note));
}

QTEST_MAIN(TestFareSheet)
#include "tst_faresheet.moc"
