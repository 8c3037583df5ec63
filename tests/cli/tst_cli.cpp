#include "check/farecheck.h"
#include "cli/clicommands.h"
#include "fakeplatform.h"
#include "files/binaryfile.h"
#include "model/faretable.h"
#include "testtables.h"

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace TestTables;

namespace {

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

Run runCli(const QStringList& args)
{
    QProcess process;
    process.start(QStringLiteral(FAREWRIGHT_CLI), args);
    Run run;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

} // namespace

class TestCli : public QObject {
    Q_OBJECT

private slots:
    void init();
    void usage_data();
    void usage();
    void convertCopiesHy3ByteForByte();
    void convertRefusesUnknownOutputAndWritesNothing();
    void convertReportsLoadFailure();
    void convertToOlderFormatNeedsYes();
    void dumpPrintsStoredRows();
    void checkReportsWhatASaveWouldLose();
    void checkOfCleanFileSucceeds();
    void checkFindings_data();
    void checkFindings();
    void checkWithFaresAndTsv_data();
    void checkWithFaresAndTsv();
    void convertWritesTheSheetAsPdf();

private:
    QString path(const char* name) const { return m_dir->filePath(QString::fromUtf8(name)); }
    void saveTable(FareTable& table, const QString& to)
    {
        FakePlatform platform;
        QCOMPARE(SaveHy3(table, platform, to), Outcome::Done);
    }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestCli::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestCli::usage_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("output");
    QTest::newRow("help") << QStringList{QStringLiteral("--help")} << 0
                          << QStringLiteral("farewright-cli convert [--yes] INPUT OUTPUT");
    QTest::newRow("version") << QStringList{QStringLiteral("--version")} << 0
                             << QStringLiteral("farewright-cli 3.0.0");
    QTest::newRow("nothing") << QStringList{} << 2 << QString();
    QTest::newRow("unknown command") << QStringList{QStringLiteral("merge")} << 2 << QString();
    QTest::newRow("unknown option") << QStringList{QStringLiteral("--force")} << 2 << QString();
    QTest::newRow("convert without output")
        << QStringList{QStringLiteral("convert"), QStringLiteral("a.Hy3")} << 2 << QString();
    QTest::newRow("dump with two files")
        << QStringList{QStringLiteral("dump"), QStringLiteral("a.Hy3"), QStringLiteral("b.Hy3")}
        << 2 << QString();
    QTest::newRow("yes outside convert")
        << QStringList{QStringLiteral("dump"), QStringLiteral("--yes"), QStringLiteral("a.Hy3")}
        << 2 << QString();
    QTest::newRow("fare rules outside check")
        << QStringList{QStringLiteral("dump"), QStringLiteral("--fares"), QStringLiteral("a.Hy3")}
        << 2 << QString();
    QTest::newRow("unknown check format")
        << QStringList{QStringLiteral("check"), QStringLiteral("--format=csv"),
                       QStringLiteral("a.Hy3")}
        << 2 << QString();
    QTest::newRow("unknown input extension")
        << QStringList{QStringLiteral("dump"), QStringLiteral("fares.dat")} << 2 << QString();
}

void TestCli::usage()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, output);
    const Run run = runCli(args);
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(run.out.contains(output), qPrintable(run.out));
    if (exitCode == 2)
        QVERIFY(!run.err.isEmpty());
}

void TestCli::convertCopiesHy3ByteForByte()
{
    FareTable table;
    fillFull(table, 40);
    saveTable(table, path("in.Hy3"));
    const Run run = runCli({QStringLiteral("convert"), path("in.Hy3"), path("OUT.HY3")});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(readBytes(path("OUT.HY3")), readBytes(path("in.Hy3")));
}

void TestCli::convertRefusesUnknownOutputAndWritesNothing()
{
    FareTable table;
    fillFull(table, 3);
    saveTable(table, path("in.Hy3"));
    const Run run = runCli({QStringLiteral("convert"), path("in.Hy3"), path("out.Hy3.bak")});
    QCOMPARE(run.exitCode, 2);
    QVERIFY(!QFileInfo::exists(path("out.Hy3.bak")));
}

void TestCli::convertReportsLoadFailure()
{
    QVERIFY(writeBytes(path("bad.Hy3"), QByteArray("\x00\x00", 2)));
    const Run run = runCli({QStringLiteral("convert"), path("bad.Hy3"), path("out.Hy3")});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(QStringLiteral("レコード数")), qPrintable(run.err));
    QVERIFY(!QFileInfo::exists(path("out.Hy3")));

    const Run missing = runCli({QStringLiteral("convert"), path("none.Hy3"), path("out.Hy3")});
    QCOMPARE(missing.exitCode, 1);
    QVERIFY(!QFileInfo::exists(path("none.Hy3")));
}

void TestCli::convertToOlderFormatNeedsYes()
{
    FareTable table;
    fillFull(table, 3);
    saveTable(table, path("in.Hy3"));
    QVERIFY(writeBytes(path("old.Hyo"), QByteArray("keep me")));

    const Run refused = runCli({QStringLiteral("convert"), path("in.Hy3"), path("old.Hyo")});
    QCOMPARE(refused.exitCode, 3);
    QVERIFY2(refused.err.contains(QStringLiteral("旧バージョンの形式で保存しようとしています")),
             qPrintable(refused.err));
    QCOMPARE(readBytes(path("old.Hyo")), QByteArray("keep me"));

    const Run accepted = runCli(
        {QStringLiteral("convert"), QStringLiteral("--yes"), path("in.Hy3"), path("old.Hyo")});
    QCOMPARE(accepted.exitCode, 0);
    QCOMPARE(readBytes(path("old.Hyo")).size(), 2 + 3 * 146 + 3 * 33); // 33-byte names
}

void TestCli::dumpPrintsStoredRows()
{
    FareTable table;
    table.SetCell(1, 1, QStringLiteral("東線"));
    table.SetCell(1, 3, QStringLiteral("120"));
    table.SetCell(2, 1, QStringLiteral("駅\\前\x1b]0;x\a\x7f\t"));
    table.SetCell(2, 152, QStringLiteral("-3"));
    table.SetCell(4, 1, QStringLiteral("not stored: row 3 has no name"));
    saveTable(table, path("in.Hy3"));
    const Run run = runCli({QStringLiteral("dump"), path("in.Hy3")});
    QCOMPARE(run.exitCode, 0);
    const QStringList lines = run.out.split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2);
    const QStringList route = lines[0].split(u'\t');
    QCOMPARE(route.size(), 152);
    QCOMPARE(route[0], QStringLiteral("東線"));
    QCOMPARE(route[1], QStringLiteral("0"));
    QCOMPARE(route[2], QStringLiteral("120"));
    const QStringList stop = lines[1].split(u'\t');
    QCOMPARE(stop[0], QStringLiteral("駅\\\\前\\x1b]0;x\\x07\\x7f\\t"));
    QCOMPARE(stop[151], QStringLiteral("-3"));
}

void TestCli::checkReportsWhatASaveWouldLose()
{
    // A table that cannot come from a binary file (it would not save) comes from a file whose
    // names decode to a replacement character: that name cannot be written back.
    QByteArray bytes("\x01\x00\x02\x00\x82\x20", 6);
    bytes.append(QByteArray(302, '\0'));
    QVERIFY(writeBytes(path("odd.Hy3"), bytes));
    const Run run = runCli({QStringLiteral("check"), path("odd.Hy3")});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.out.contains(QStringLiteral("U+FFFD")), qPrintable(run.out));
}

void TestCli::checkOfCleanFileSucceeds()
{
    FareTable table;
    fillFull(table, 10);
    saveTable(table, path("clean.Hy3"));
    const Run run = runCli({QStringLiteral("check"), path("clean.Hy3")});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, QString());
}

void TestCli::checkFindings_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("finding");
    QTest::newRow("clean") << 2 << 5 << QStringLiteral("120") << QString();
    QTest::newRow("rounded fraction is clean") << 2 << 5 << QStringLiteral("12.5") << QString();
    QTest::newRow("overflow") << 2 << 5 << QStringLiteral("40000")
                              << QStringLiteral("範囲を超える");
    QTest::newRow("word stored as 0")
        << 2 << 2 << QStringLiteral("なし") << QStringLiteral("0（空欄）として保存");
    QTest::newRow("grouped thousands stored as 1")
        << 3 << 7 << QStringLiteral("1,200") << QStringLiteral("1 として保存");
    QTest::newRow("placeholder in the text stays as typed")
        << 3 << 7 << QStringLiteral("5%1")
        << QStringLiteral("「5%1」は数値の後ろが無視され、5 として保存");
    QTest::newRow("data below the first empty name")
        << 6 << 9 << QStringLiteral("5") << QStringLiteral("5 行目の名称が空欄");
    QTest::newRow("unencodable name")
        << 2 << 1 << QStringLiteral("駅🚌") << QStringLiteral("U+1F68C");
    QTest::newRow("control characters in a name, shown escaped")
        << 3 << 1 << QStringLiteral("駅\x1b[31m\x07\x1b[0m")
        << QStringLiteral("名称「駅\\x1b[31m\\x07\\x1b[0m」に制御文字");
    QTest::newRow("long text quoted briefly")
        << 2 << 5 << (u'1' + QString(99, u'0'))
        << QStringLiteral("「1%1…」は").arg(QString(39, u'0'));
}

void TestCli::checkFindings()
{
    QFETCH(int, row);
    QFETCH(int, col);
    QFETCH(QString, text);
    QFETCH(QString, finding);
    FareTable table;
    fillFull(table, 4);
    table.SetCell(row, col, text);
    QStringList findings;
    for (const FareCheck::Finding& f :
         FareCheck::checkTable(table, FareCheck::RuleSet::saveRules()))
        findings.append(f.message);
    if (finding.isEmpty()) {
        QCOMPARE(findings, QStringList());
        return;
    }
    QCOMPARE(findings.size(), 1);
    QVERIFY2(findings.first().contains(finding), qPrintable(findings.first()));
}

void TestCli::checkWithFaresAndTsv_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("lines"); // the first five fields of each TSV line
    const QString tsv = QStringLiteral("--format=tsv");
    const QString fares = QStringLiteral("--fares");
    const QStringList saveLines{QStringLiteral("import-lines\t\t\t\t"),
                                QStringLiteral("unsaved-row\t4\t2\t3\t"),
                                QStringLiteral("unsaved-row\t5\t1\t4\t")};
    const QString in = QStringLiteral("in.txt");
    QTest::newRow("save rules") << QStringList{tsv, in} << 1 << saveLines;
    QTest::newRow("fare rules too")
        << QStringList{fares, tsv, in} << 1
        << saveLines + QStringList{QStringLiteral("row-rises\t3\t4\t2\t2")};
    QTest::newRow("fare rules, as text")
        << QStringList{fares, in} << 1 << QStringList{{}, {}, {}, {}};
    QTest::newRow("clean") << QStringList{fares, tsv, QStringLiteral("clean.txt")} << 0
                           << QStringList{};
}

void TestCli::checkWithFaresAndTsv()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QStringList, lines);
    // Ticket 2 at stop 2 is dearer than ticket 1; row 4 has no name, so rows 4 and 5 are not
    // stored; the line after the blank line is not read.
    QVERIFY(writeBytes(path("in.txt"), "Route,0\r\nA,1,170\r\nB,2,200,250\r\n,3,230\r\n"
                                       "C,3,260,230,200\r\n\r\nD,1\r\n"));
    QVERIFY(writeBytes(path("clean.txt"), "Route,0\r\nA,1,170\r\nB,2,200,170\r\n"));
    args.last() = m_dir->filePath(args.last());
    const Run run = runCli(QStringList{QStringLiteral("check")} + args);
    QCOMPARE(run.exitCode, exitCode);
    const QStringList out = run.out.split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(out.size(), lines.size());
    for (int i = 0; i < out.size(); ++i) {
        const QStringList fields = out[i].split(u'\t');
        const bool tsv = args.contains(QStringLiteral("--format=tsv"));
        QCOMPARE(fields.size(), tsv ? 6 : 1);
        QVERIFY2(fields.last().endsWith(QStringLiteral("。")), qPrintable(out[i]));
        if (tsv)
            QCOMPARE(QStringList(fields.mid(0, 5)).join(u'\t'), lines[i]);
    }
}

void TestCli::convertWritesTheSheetAsPdf()
{
    FareTable table;
    fillFull(table, 12);
    saveTable(table, path("in.Hy3"));
    const Run run = runCli({QStringLiteral("convert"), path("in.Hy3"), path("OUT.PDF")});
#ifdef FAREWRIGHT_CLI_PDF
    QCOMPARE(run.exitCode, 0);
    QVERIFY(readBytes(path("OUT.PDF")).startsWith("%PDF-"));
    const Run missing = runCli({QStringLiteral("convert"), path("in.Hy3"), path("none/out.pdf")});
    QCOMPARE(missing.exitCode, 1);
    QVERIFY2(missing.err.contains(QStringLiteral("保存できませんでした")), qPrintable(missing.err));
#else
    QCOMPARE(run.exitCode, 2); // a build without the GUI has no renderer
    QVERIFY(!QFileInfo::exists(path("OUT.PDF")));
#endif
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
