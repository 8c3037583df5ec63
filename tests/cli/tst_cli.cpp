// farewright-cli as a user runs it: every command, its exit status, what it prints and what it
// writes, and the check's rules as its help and the documents name them. What check and convert
// make of damaged files is in tests/reliability.
#include "check/farecheck.h"
#include "clirunner.h"
#include "document/fileformats.h"
#include "fakeplatform.h"
#include "model/faretable.h"
#include "testtables.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace TestTables;

namespace {

const QString SmallText = QStringLiteral("東線,5, 100, 200\r\n駅前,7, 150\r\n");

/** A .Hy3 file of one record: the name's bytes, ticket number 0 and no fares. */
QByteArray oneRowHy3(const QByteArray& name)
{
    return QByteArray("\x01\x00", 2) + char(name.size()) + '\0' + name + QByteArray(302, '\0');
}

enum OutputSize { NoFile = -1, AnySize = -2, InputBytes = -3, EditorBytes = -4, Pdf = -5 };

} // namespace

Q_DECLARE_METATYPE(FileOperation)

class TestCli : public QObject {
    Q_OBJECT

private slots:
    // Qt warns on standard error when this is missing; the CLI must not pass that on.
    void initTestCase() { qunsetenv("XDG_RUNTIME_DIR"); }
    // Each run starts in a fresh folder holding clean.txt (SmallText) and an empty folder sub.
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        QVERIFY(writeBytes(path(QStringLiteral("clean.txt")), sjis(SmallText)));
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("sub")));
        QVERIFY(QDir::setCurrent(m_dir->path()));
    }
    void runs_data();
    void runs();
    void checkFindings_data();
    void checkFindings();
    void rulesNamedInEveryDocument_data();
    void rulesNamedInEveryDocument();

private:
    QString path(const QString& name) const { return m_dir->filePath(name); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestCli::runs_data()
{
    // "@name" stands for a file in the test's folder, which is also the current one; "<name"
    // makes the file standard input.
    QTest::addColumn<QString>("args");
    QTest::addColumn<QString>("inputName");
    QTest::addColumn<QByteArray>("inputBytes");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("stdoutHas"); // ending in a line end: the whole output
    QTest::addColumn<QString>("stderrHas");
    // "/dev/full" or ">name": standard output goes there
    QTest::addColumn<QString>("outputName");
    QTest::addColumn<int>("outputSize"); // or an OutputSize
    QTest::addColumn<QByteArray>("outputHas");
    const auto row = [](const char* name, const char* args, const char* input,
                        const QByteArray& bytes, int exitCode, const QByteArray& out,
                        const QByteArray& err, const char* output = "", int size = NoFile,
                        const QByteArray& outputHas = {}) {
        QTest::newRow(name) << QString::fromUtf8(args) << QString::fromUtf8(input) << bytes
                            << exitCode << QString::fromUtf8(out) << QString::fromUtf8(err)
                            << QString::fromUtf8(output) << size << outputHas;
    };
    const QByteArray small = sjis(SmallText);
    const char* const usage = ("詳しくは farewright-cli --help をご覧ください。");

    row("help", "--help", "", {}, 0, "farewright-cli convert [--yes] INPUT OUTPUT", {});
    row("version", "--version", "", {}, 0, "farewright-cli 3.0.0", {});
    row("nothing", "", "", {}, 2, {}, "コマンドを指定してください");
    row("unknown command", "merge", "", {}, 2, {}, "不明なコマンドです: merge");
    row("unknown option", "--forse", "", {}, 2, {}, "不明なオプションです: --forse");
    row("convert without output", "convert a.Hy3", "", {}, 2, {}, usage);
    row("revise without output", "revise a.Hy3", "", {}, 2, {}, usage);
    row("diff with one file", "diff a.Hy3", "", {}, 2, {}, usage);
    row("dump without a file", "dump", "", {}, 2, {}, usage);
    row("standard input outside convert --to", "dump -", "", {}, 2, {}, usage);
    row("standard input without --from", "convert --to=txt -", "", {}, 2, {}, usage);
    row("unknown --to", "convert --to=doc a.Hy3", "", {}, 2, {},
        "--to には Hy3、Hyo、Hyp、txt、csv、pdf のいずれかを指定してください: doc");
    row("missing output folder", "convert --to=txt --output-dir=none a.Hy3", "", {}, 2, {}, usage);
    row("rule out of bounds", "revise --unit=0 a.Hy3 b.Hy3", "", {}, 2, {},
        "単位「0」は 1 から 32767 までの整数で指定してください。");
    row("yes outside convert", "dump --yes a.Hy3", "", {}, 2, {}, usage);
    row("fare rules outside check", "dump --fares a.Hy3", "", {}, 2, {}, usage);
    row("unknown check format", "check --format=csv a.Hy3", "", {}, 2, {}, usage);
    row("option without its value", "check a.Hy3 --format", "", {}, 2, {},
        "--format には値を指定してください（--format=値）。");
    row("switch with a value", "check --fares=yes a.Hy3", "", {}, 2, {},
        "--fares には値を付けられません: --fares=yes");
    row("unknown input extension", "dump fares.dat", "", {}, 2, {},
        "「fares.dat」: 拡張子から形式がわかりません（.Hy3 .Hyo .Hyp .txt .csv のいずれか）。");
    row("unknown output extension", "convert @in.txt @out.doc", "in.txt", small, 2, {},
        "out.doc」: この拡張子では保存できません（.Hy3 .Hyo .Hyp .txt .csv のいずれか）。",
        "out.doc");

    // Code page 932 bytes that Windows maps to U+0080 and private use come back unchanged.
    const QByteArray windowsBytes("\x80\xa0\xfd\xfe\xff");
    row("Windows single bytes in a Hy3 name, upper-case extension", "convert @in.Hy3 @OUT.HY3",
        "in.Hy3", oneRowHy3(windowsBytes), 0, {}, {}, "OUT.HY3", InputBytes);
    row("Windows single bytes in a text file", "convert @in.txt @out.txt", "in.txt",
        windowsBytes + ",0" + QByteArray(", ").repeated(150) + "\r\n", 0, {}, {}, "out.txt",
        InputBytes);
    row("text to Hyo asks", "convert @in.txt @out.Hyo", "in.txt", small, 3, {},
        "旧バージョンでの保存確認\n☆旧バージョンの形式で保存しようとしています", "out.Hyo");
    row("text to Hyp asks", "convert @in.csv @out.hyp", "in.csv", small, 3, {}, "Corvane自家用",
        "out.hyp");
    // Every format as the editor's own writer saves it.
    row("text to Hyo with --yes", "convert --yes @in.txt @out.HYO", "in.txt", small, 0, {}, {},
        "out.HYO", EditorBytes);
    row("text to Hy3", "convert @in.txt @out.Hy3", "in.txt", small, 0, {}, {}, "out.Hy3",
        EditorBytes);
    // A .Hyo file whose one name holds a comma: length 5, "駅,前", 72 empty fares.
    const QByteArray commaName =
        QByteArray("\x01\x00\x05\x00\x89\x77,\x91\x4f", 9) + QByteArray(144, '\0');
    row("Hyo to text", "convert @in.Hyo @out.txt", "in.Hyo", commaName, 0, {}, {}, "out.txt",
        EditorBytes);
    row("blank first line to text", "convert @in.txt @out.csv", "in.txt",
        QByteArray("\r\nstop,1\r\n"), 0, {}, {}, "out.csv", 0);
#ifdef FAREWRIGHT_CLI_PDF
    row("to PDF", "convert @in.txt @OUT.PDF", "in.txt", small, 0, {}, {}, "OUT.PDF", Pdf);
    row("PDF into a missing folder", "convert @in.txt @none/out.pdf", "in.txt", small, 1, {},
        "保存できませんでした");
#else
    // A build without the GUI has no renderer.
    row("no PDF", "convert @in.txt @OUT.PDF", "in.txt", small, 2, {}, {}, "OUT.PDF");
#endif

    // dump escapes \ and every control character, C0, DEL and C1, so that each row stays one
    // line and nothing reaches the terminal as a command.
    row("dump escapes control characters", "dump @in.Hy3", "in.Hy3",
        oneRowHy3(QByteArray("\x89\x77\\\x91\x4f\x1b]0;x\x07\x7f\t\r\n\x80\x00", 17)), 0,
        QByteArray("駅\\\\前\\x1b]0;x\\x07\\x7f\\t\\r\\n\\x80\\x00\t0") + QByteArray(150, '\t') +
            '\n',
        {});
    row("dump text", "dump @in.txt", "in.txt", small, 0,
        QByteArray("東線\t5\t100\t200") + QByteArray(148, '\t') + "\n駅前\t7\t150\t", {});
    for (const char* args : {"dump @in.txt", "check @in.txt", "--help", "--version"})
        row(args, args, "in.txt", small + "\r\nafter the blank line\r\n", 1, {},
            "標準出力に書き込めませんでした", "/dev/full", AnySize);
    row("check clean text", "check @in.txt", "in.txt", small, 0, {}, {});
    // Line 1 runs on over its LF into a 163rd field; the CLI's other commands note it.
    const QByteArray lfLines = "R,1" + QByteArray(",5").repeated(160) + "\nA,2\r\nB,3\r\n";
    row("check LF line ends, more than 152 fields, TSV", "check --format=tsv @in.txt", "in.txt",
        lfLines, 1,
        "import-fields\t\t\t\t\t1 行目の項目は 163 個で、152 個を超える 11 個は読み込まれません"
        "（最後の項目が整理券 150 の運賃になります）。\nimport-lf\t\t\t\t\t1 行目に改行（LF）が "
        "1 個あります。行は CR LF か CR で区切られるため、LF の前後は 1 行として読み込まれます。\n",
        {});
    row("dump notes what the import left out", "dump @in.txt", "in.txt", lfLines, 0, "B\t3",
        "152 番目より後の 11 個の項目は読み込みませんでした。改行（LF）1 個は");
    row("check text after a blank line", "check @in.txt", "in.txt",
        small + "\r\nafter the blank line\r\n", 1,
        "3 行目が空行のため、その後の 1 行は読み込まれません。\n", {});
    QByteArray tooMany;
    for (int i = 1; i <= 305; ++i)
        tooMany += "stop" + QByteArray::number(i) + "\r\n";
    row("check text beyond 301 lines", "check @in.csv", "in.csv", tooMany, 1,
        "302 行目から 305 行目までの 4 行は、表が 301 行までのため読み込まれません。", {});
    // Ticket 2 at stop 2 is dearer than ticket 1; row 4 has no name, so rows 4 and 5 are not
    // stored; the line after the blank line is not read.
    const QByteArray findings("Route,0\r\nA,1,170\r\nB,2,200,250\r\n,3,230\r\n"
                              "C,3,260,230,200\r\n\r\nD,1\r\n");
    const QString blank = QStringLiteral("6 行目が空行のため、その後の 1 行は読み込まれません。");
    const QString unsaved =
        QStringLiteral("データがありますが、4 行目の名称が空欄のため保存されません。");
    const QString ticket = QStringLiteral("停留所 3 の行の整理券番号（4 行 2 列）: ") + unsaved;
    const QString name = QStringLiteral("停留所 4 の行の停名（5 行 1 列）: ") + unsaved;
    const QString rises = QStringLiteral("停留所 2「B」の整理券 2 の運賃 250 が、より手前から乗った"
                                         "整理券 1 の運賃 200 より高くなっています。");
    const QString saveTsv = QStringLiteral("import-lines\t\t\t\t\t%1\nunsaved-row\t4\t2\t3\t\t%2\n"
                                           "unsaved-row\t5\t1\t4\t\t%3\n")
                                .arg(blank, ticket, name);
    row("check, TSV", "check --format=tsv @in.txt", "in.txt", findings, 1, saveTsv.toUtf8(), {});
    row("check --fares, TSV, options after the file and a value apart",
        "check @in.txt --format tsv --fares", "in.txt", findings, 1,
        (saveTsv + QStringLiteral("row-rises\t3\t4\t2\t2\t") + rises + u'\n').toUtf8(), {});
    row("check --fares", "check --fares @in.txt", "in.txt", findings, 1,
        QStringList{blank, ticket, name, rises, {}}.join(u'\n').toUtf8(), {});
    row("check --fares, clean", "check --fares --format=tsv @in.txt", "in.txt",
        "Route,0\r\nA,1,170\r\nB,2,200,170\r\n", 0, {}, {});
    row("check name with a comma", "check @in.Hyo", "in.Hyo", commaName, 1, "名称「駅,前」に「,」",
        {});
    row("check name that cannot be saved", "check @in.Hy3", "in.Hy3",
        oneRowHy3(QByteArray("\x82\x20", 2)), 1, "U+FFFD", {});

    // Several inputs: each line begins with its file's name; a file that cannot be loaded is
    // told and the others go on.
    const auto prefixed = [](const QString& name, const QString& lines, QChar separator) {
        QString out;
        for (const QString& line : lines.split(u'\n', Qt::SkipEmptyParts))
            out += name + separator + line + u'\n';
        return out.toUtf8();
    };
    row("check several files", "check --fares in.txt clean.txt none.Hy3", "in.txt", findings, 1,
        prefixed(QStringLiteral("in.txt"), QStringList{blank, ticket, name, rises}.join(u'\n'),
                 u':'),
        "「none.Hy3」を読み込めませんでした。");
    row("check several files, TSV", "check --format=tsv clean.txt in.txt", "in.txt", findings, 1,
        prefixed(QStringLiteral("in.txt"), saveTsv, u'\t'), {});
    // A name as a field: control characters written out, its backslashes doubled.
    row("check several files, a name escaped", "check --format=tsv clean.txt in\\\x1b.txt",
        "in\\\x1b.txt", findings, 1, prefixed(QStringLiteral("in\\\\\\x1b.txt"), saveTsv, u'\t'),
        {});
    const QString smallDump = QStringLiteral("東線\t5\t100\t200") + QString(148, u'\t') +
                              QStringLiteral("\n駅前\t7\t150") + QString(149, u'\t');
    row("dump several files", "dump in.txt clean.txt", "in.txt", small, 0,
        prefixed(QStringLiteral("in.txt"), smallDump, u'\t') +
            prefixed(QStringLiteral("clean.txt"), smallDump, u'\t'),
        {});
    row("convert --to beside each input, any letter case", "convert --to=HY3 in.txt", "in.txt",
        small, 0, {}, {}, "in.Hy3", EditorBytes);
    row("convert --to into a folder", "convert --to csv --output-dir sub in.txt clean.txt",
        "in.txt", small, 0, {}, {}, "sub/clean.csv", AnySize);
    row("convert --to keeps an output that exists", "convert --to=txt in.txt", "in.txt", small, 1,
        {},
        "「in.txt」はすでにあるため、書き込みませんでした（置き換えるには --force を付けます）。",
        "in.txt", InputBytes);
    row("convert --to --force replaces it", "convert --to=txt --force in.txt", "in.txt",
        "A,1,100\r\n", 0, {}, {}, "in.txt", EditorBytes);
    row("convert --to older format asks once", "convert --to=Hyo in.txt clean.txt", "in.txt", small,
        3, {}, "旧バージョンでの保存確認", "clean.Hyo");
    row("convert standard input to standard output", "convert --to=Hy3 --from=TXT - <in.txt",
        "in.txt", small, 0, {}, {}, ">out.Hy3", EditorBytes);
    row("revise", "revise --multiply=110/100 --unit 5 --round=up in.txt out.csv", "in.txt", small,
        0, "「out.csv」に書き込みました（運賃の変更 1 件）。\n", {}, "out.csv", AnySize,
        "\r\n\x89\x77\x91\x4f,7, 165, ");
    row("revise several files, one refused",
        "revise --multiply 2 --output-dir=sub in.txt clean.txt", "in.txt", "R,0\r\nA,1,20000\r\n",
        1, "clean.txt:「sub/clean.txt」に書き込みました（運賃の変更 1 件）。\n",
        "「in.txt」: 停留所 1「A」の整理券 1 の運賃 20000 は改定すると 40000 になり、1 から 32767 "
        "の範囲を外れます。運賃は改定していません。",
        "sub/in.txt");
    row("revise keeps an output that exists", "revise in.txt clean.txt", "in.txt", small, 1, {},
        "「clean.txt」はすでにあるため", "clean.txt", InputBytes);
    row("revise --force replaces it", "revise --force --add 20 --min=180 in.txt clean.txt",
        "in.txt", small, 0, "「clean.txt」に書き込みました（運賃の変更 1 件）。\n", {}, "clean.txt",
        AnySize, ",7, 180, ");
    row("diff, the same tables", "diff in.txt clean.txt", "in.txt", small, 0, "", {});
    const QByteArray changed =
        sjis(QStringLiteral("東線,5, 100, 200\r\n駅前,7, 160\r\n本町,8\r\n"));
    row("diff", "diff clean.txt in.txt", "in.txt", changed, 1,
        "停留所 1「駅前」の整理券 1 の運賃が 150 から 160 に変わりました。\n"
        "停留所 2「本町」が加わりました。\n",
        {});
    row("diff, TSV", "diff --format tsv clean.txt in.txt", "in.txt", changed, 1,
        "fare\t1\t1\t1\t150\t160\nstop-added\t\t2\t\t\t本町\n", {});
    row("diff, a file that cannot be loaded", "diff clean.txt none.Hy3", "", {}, 2, {},
        "「none.Hy3」を読み込めませんでした。");
    row("diff, a full disk", "diff clean.txt in.txt", "in.txt", changed, 2, {},
        "標準出力に書き込めませんでした", "/dev/full", AnySize);
}

void TestCli::runs()
{
    QFETCH(QString, args);
    QFETCH(QString, inputName);
    QFETCH(QByteArray, inputBytes);
    QFETCH(int, exitCode);
    QFETCH(QString, stdoutHas);
    QFETCH(QString, stderrHas);
    QFETCH(QString, outputName);
    QFETCH(int, outputSize);
    QFETCH(QByteArray, outputHas);
    if (!inputName.isEmpty())
        QVERIFY(writeBytes(path(inputName), inputBytes));
    QStringList arguments = args.split(u' ', Qt::SkipEmptyParts);
    QString standardInput;
    for (QString& arg : arguments)
        if (arg.startsWith(u'@'))
            arg = path(arg.mid(1));
    if (!arguments.isEmpty() && arguments.last().startsWith(u'<'))
        standardInput = path(arguments.takeLast().mid(1));
    const bool toStandardOutput = outputName.startsWith(u'>');
    if (toStandardOutput)
        outputName.remove(0, 1);

    const QString output = outputName.startsWith(u'/') ? outputName : path(outputName);
    const CliRunner::Result run =
        CliRunner::run(arguments, {}, output == outputName || toStandardOutput ? output : QString(),
                       standardInput);
    QVERIFY2(!run.crashed && run.exitCode == exitCode,
             qPrintable(run.standardError + run.standardOutput));
    if (stdoutHas.isEmpty() || stdoutHas.endsWith(u'\n'))
        QCOMPARE(run.standardOutput, stdoutHas);
    QVERIFY2(run.standardOutput.contains(stdoutHas), qPrintable(run.standardOutput));
    QVERIFY2(run.standardError.contains(stderrHas), qPrintable(run.standardError));
    if (exitCode == 0 && stderrHas.isEmpty()) // only its own messages, and none on success
        QCOMPARE(run.standardError, QString());
    if (outputName.isEmpty())
        return;
    QCOMPARE(QFileInfo::exists(output), outputSize != NoFile);
    if (outputSize >= 0)
        QCOMPARE(QFileInfo(output).size(), outputSize);
    if (outputSize == InputBytes)
        QCOMPARE(readBytes(output), inputBytes);
    if (!outputHas.isEmpty())
        QVERIFY2(readBytes(output).contains(outputHas), readBytes(output).left(200).constData());
    if (outputSize == EditorBytes) {
        const QString editor = path(QStringLiteral("editor.") + outputName);
        FareTable table;
        FakePlatform platform; // answers yes
        QCOMPARE(fileTypeForPath(inputName)->reader(table, platform, path(inputName)),
                 Outcome::Done);
        QCOMPARE(fileTypeForPath(editor)->writer(table, platform, editor), Outcome::Done);
        QCOMPARE(readBytes(output), readBytes(editor));
    }
#ifdef FAREWRIGHT_CLI_PDF
    if (outputSize == Pdf)
        QVERIFY(readBytes(output).startsWith("%PDF-"));
#endif
}

void TestCli::checkFindings_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("finding"); // empty: none
    const auto row = [](const char* name, int row, int col, const QString& text,
                        const char* finding) {
        QTest::newRow(name) << row << col << text << QString::fromUtf8(finding);
    };
    row("rounded fraction is clean", 2, 5, QStringLiteral("12.5"), "");
    row("overflow", 2, 5, QStringLiteral("40000"), "範囲を超える");
    row("word stored as 0", 2, 2, QStringLiteral("なし"), "0（空欄）として保存");
    row("grouped thousands stored as 1", 3, 7, QStringLiteral("1,200"), "1 として保存");
    row("placeholder in the text stays as typed", 3, 7, QStringLiteral("5%1"),
        "「5%1」は数値の後ろが無視され、5 として保存");
    row("data below the first empty name", 6, 9, QStringLiteral("5"), "5 行目の名称が空欄");
    row("unencodable name", 2, 1, QStringLiteral("駅🚌"), "U+1F68C");
    // A binary save holds a name of up to 65535 bytes: "あ" takes two.
    row("name of 65535 bytes", 3, 1, QString(32767, u'あ') + u'a', "");
    row("name of 65536 bytes", 3, 1, QString(32768, u'あ'),
        "停留所 2 の行の停名（3 行 1 列）: 名称が長すぎます（Shift-JIS で 65536 バイト。");
    row("control characters in a name, shown escaped", 3, 1,
        QStringLiteral("駅\x1b[31m\x07\x1b[0m"), "名称「駅\\x1b[31m\\x07\\x1b[0m」に制御文字");
    row("long text quoted briefly", 2, 5, u'1' + QString(99, u'0'),
        QStringLiteral("「1%1…」は").arg(QString(39, u'0')).toUtf8().constData());
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

void TestCli::rulesNamedInEveryDocument_data()
{
    // A list of rule ids: the document ("--help" or a file of the source tree), the text the list
    // follows and the text after it, and what an id in it looks like (the first capture).
    QTest::addColumn<QString>("document");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("id");
    QTest::addColumn<bool>("fareRules"); // or the save rules
    const auto row = [](const char* name, const char* document, const char* from, const char* to,
                        const char* id, bool fareRules) {
        QTest::newRow(name) << QString::fromUtf8(document) << QString::fromUtf8(from)
                            << QString::fromUtf8(to) << QString::fromUtf8(id) << fareRules;
    };
    const char* const hyphenated = R"(\b([a-z]+(?:-[a-z]+)+)\b)";
    row("--help --fares", "--help", "--fares  ", "They judge", R"((?m)^ {19}(\S+))", true);
    row("--help --format=tsv", "--help", "ids:", "-h, --help", hyphenated, false);
    row("man FARE RULES", "data/farewright-cli.1", ".SH FARE RULES", ".SH OPTIONS",
        R"((?m)^\.B (\S+)$)", true);
    row("man --format=tsv", "data/farewright-cli.1", "ids of the save", ".TP", hyphenated, false);
    row("README fare rules", "README.md", "## The fare check", "Save rules —",
        R"((?m)^\| `([^`]+)` \|)", true);
    row("README save rules", "README.md", "Save rules —", "## Where things", R"(`([^`]+)` \()",
        false);
}

void TestCli::rulesNamedInEveryDocument()
{
    QFETCH(QString, document);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QString, id);
    QFETCH(bool, fareRules);
    QString text =
        document == QLatin1String("--help")
            ? CliRunner::run({document}).standardOutput
            : QString::fromUtf8(readBytes(QStringLiteral(FAREWRIGHT_SOURCE_DIR "/") + document));
    text.replace(QLatin1String("\\-"), QLatin1String("-")); // roff's hyphen
    const qsizetype start = text.indexOf(from);
    const qsizetype end = text.indexOf(to, start + 1);
    QVERIFY2(start >= 0 && end > start, qPrintable(document + u' ' + from));
    QStringList named;
    for (const auto& match : QRegularExpression(id).globalMatch(text.mid(start, end - start)))
        named << match.captured(1);
    QStringList ids;
    for (const FareCheck::RuleInfo& info : FareCheck::Rules)
        if ((info.kind == FareCheck::RuleKind::Fare) == fareRules)
            ids << QString::fromLatin1(info.id);
    QCOMPARE(named.join(u' '), ids.join(u' '));
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
