// Every damaged or odd input the loaders meet: each row a file of tests/data/malformed/ or one
// written here, loaded into a full table and run through farewright-cli check and convert. A
// failed load must give one message naming the file and the reason and leave the table and its
// current cell exactly as they were; a load that works replaces the whole table.
#include "clirunner.h"
#include "document/fileformats.h"
#include "fakeplatform.h"
#include "model/faretable.h"
#include "testtables.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <string_view>

using namespace std::string_view_literals;

Q_DECLARE_METATYPE(Outcome)

namespace {

/** What loading one broken file must do. */
struct Case {
    const char* file;
    Outcome outcome;
    /** For a failure: a piece of the reason the message must give. */
    const char* reason;
    /** For a load that succeeds: the route name it leaves (UTF-8, NUL bytes included). */
    std::string_view routeName;
    int checkExit;
    int convertExit;
};

constexpr Outcome Failed = Outcome::Failed;
constexpr Outcome Done = Outcome::Done;
/** A route name that is not compared. */
constexpr std::string_view AnyName = "\x7f*"sv;

// The files of tests/data/malformed/ (make-corpus.py says how each is built); "name.*" stands
// for name.Hy3, name.Hyo and name.Hyp.
const Case cases[] = {
    // Each binary format, cut or wrong in every field.
    {"empty.*", Failed, "ファイルが空です", "", 1, 1},
    {"one-byte.*", Failed, "短すぎます（1 バイト）", "", 1, 1},
    {"count-zero.*", Failed, "レコード数が 0 です", "", 1, 1},
    {"count-minus-one.*", Failed, "レコード数が -1 です", "", 1, 1},
    {"count-min.Hy3", Failed, "レコード数が -32768 です", "", 1, 1},
    {"count-max.Hy3", Failed, "レコード数 32767 は表の行数（301 行）を超えて", "", 1, 1},
    {"count-302.*", Failed, "レコード数 302 は表の行数", "", 1, 1},
    {"truncated-in-name-length.*", Failed, "2 件目のレコードの名称の長さ", "", 1, 1},
    {"truncated-in-name.*", Failed, "2 件目のレコードの名称、", "", 1, 1},
    {"name-length-past-end.*", Failed, "1 件目のレコードの名称、", "", 1, 1},
    {"truncated-in-ticket.Hy3", Failed, "2 件目のレコードの整理券番号・運賃", "", 1, 1},
    {"truncated-in-ticket.Hyp", Failed, "2 件目のレコードの整理券番号・運賃", "", 1, 1},
    {"truncated-in-fares.Hy3", Failed, "2 件目のレコードの整理券番号・運賃", "", 1, 1},
    {"truncated-in-fares.Hyo", Failed, "2 件目のレコードの運賃", "", 1, 1},
    {"truncated-in-fares.Hyp", Failed, "2 件目のレコードの整理券番号・運賃", "", 1, 1},
    {"truncated-last-byte.Hy3", Failed,
     "途中で切れています（1 件目のレコードの整理券番号・運賃、8 バイト目）", "", 1, 1},
    {"truncated-last-byte.Hyo", Failed, "1 件目のレコードの運賃、8 バイト目", "", 1, 1},
    {"truncated-last-byte.Hyp", Failed, "1 件目のレコードの整理券番号・運賃、8 バイト目", "", 1, 1},
    // Not a fare table at all.
    {"all-nul.Hy3", Failed, "レコード数が 0 です。1 以上でなければなりません", "", 1, 1},
    {"all-ff.Hy3", Failed, "レコード数が -1 です", "", 1, 1},
    {"text-named-hy3.Hy3", Failed, "レコード数が -29549 です", "", 1, 1},
    {"hyo-named-hy3.Hy3", Failed, "2 件目のレコードの整理券番号・運賃、312 バイト目", "", 1, 1},
    // Readable files with odd content. Bytes that are not Shift-JIS read as U+FFFD, which no
    // save can write: check names it and convert refuses, so the damage cannot spread. A lone
    // 0xA0 reads as U+F8F0, as on Windows. check reports a NUL in a name, a control character.
    {"invalid-sjis-name.*", Done, "", "東\uFFFD \uF8F0", 1, 1},
    {"nul-in-name.*", Done, "", "A\0B"sv, 1, 0},
    {"reserved-nonzero.Hyp", Done, "", "東線", 0, 0},
    // Text. A first line that is blank empties the table, as documented; check says when lines
    // after a blank line are left out, and an empty table cannot be saved.
    {"empty.txt", Done, "", "", 0, 1},
    {"blank-first-line.txt", Done, "", "", 1, 1},
    {"spaces-first-line.csv", Done, "", "", 1, 1},
    {"invalid-sjis.txt", Done, "", "東\uFFFD \uF8F0", 1, 1},
    {"nul-bytes.csv", Done, "", "A\0B"sv, 1, 0},
    {"overflow-fare.txt", Failed,
     "1 行目の4 番目の項目（整理券 2 の運賃）の値「 40000」は -32768 から 32767 "
     "までの範囲を超えています（オーバーフロー）",
     "", 1, 1},
    {"overflow-ticket.csv", Failed, "1 行目の2 番目の項目（整理券番号）の値「99999」", "", 1, 1},
    // check reports lone LFs and fields after the 152nd, which the import runs on or leaves out.
    {"lone-lf.txt", Done, "", "東線", 1, 0},
    {"many-fields.csv", Done, "", "東線", 1, 0},
    {"quotes-and-separators.txt", Done, "", "東", 0, 0},
    // A binary file read as text: one line of control characters and U+FFFD, which no save
    // can write.
    {"binary-named-txt.txt", Done, "", AnyName, 1, 1},
};

QStringList filesOf(const Case& c)
{
    const QString file = QString::fromUtf8(c.file);
    if (!file.endsWith(QLatin1String(".*")))
        return {file};
    const QString stem = file.chopped(1);
    return {stem + QStringLiteral("Hy3"), stem + QStringLiteral("Hyo"),
            stem + QStringLiteral("Hyp")};
}

/** Writes the damaged input at the path (nothing for a missing one). */
using Writer = std::function<bool(const QString&)>;

bool writeRepeated(QFile& file, char byte, qint64 count)
{
    const QByteArray chunk(1 << 20, byte);
    for (; count > 0; count -= chunk.size())
        if (file.write(chunk.constData(), qMin<qint64>(count, chunk.size())) < 0)
            return false;
    return true;
}

/** A writer of the pieces in turn: a byte array, or a {byte, count} run of one byte. */
struct Piece {
    QByteArray bytes;
    char byte = 0;
    qint64 count = 0;
};

Writer pieces(QList<Piece> list)
{
    return [list](const QString& path) {
        QFile out(path);
        bool ok = out.open(QIODevice::WriteOnly | QIODevice::Truncate);
        for (const Piece& p : list)
            ok = ok && out.write(p.bytes) == p.bytes.size() && writeRepeated(out, p.byte, p.count);
        return ok;
    };
}

/** A record of fixed-size words after a name of nameLength 'N' bytes. */
QByteArray longNameRecord(int nameLength, int fixedWords)
{
    QByteArray record = TestTables::le16(nameLength) + QByteArray(nameLength, 'N');
    for (int i = 0; i < fixedWords; ++i)
        record.append(TestTables::le16(i + 1));
    return record;
}

} // namespace

Q_DECLARE_METATYPE(Writer)

class TestMalformedInput : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY2(QFile::exists(CliRunner::cliPath()), qPrintable(CliRunner::cliPath()));
    }
    void damagedInput_data();
    void damagedInput();

private:
    QTemporaryDir m_dir;
};

void TestMalformedInput::damagedInput_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<Writer>("writer"); // none: the corpus file
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QString>("routeName");
    QTest::addColumn<int>("checkExit"); // -1: not asked
    QTest::addColumn<int>("convertExit");
    for (const Case& c : cases)
        for (const QString& file : filesOf(c))
            QTest::newRow(qPrintable(file))
                << file << Writer() << c.outcome << QString::fromUtf8(c.reason)
                << QString::fromUtf8(c.routeName.data(), qsizetype(c.routeName.size()))
                << c.checkExit << c.convertExit;

    const qint64 mebi = qint64(1) << 20;
    const auto row = [](const char* name, const char* file, const Writer& writer, Outcome outcome,
                        const QByteArray& reason, const QByteArray& routeName, int checkExit,
                        int convertExit) {
        QTest::newRow(name) << QString::fromUtf8(file) << writer << outcome
                            << QString::fromUtf8(reason) << QString::fromUtf8(routeName)
                            << checkExit << convertExit;
    };
    // Nothing is created where no file was.
    row(
        "missing file", "missing.Hy3", [](const QString&) { return true; }, Failed,
        "ファイルが見つかりません", {}, 1, 1);
    row(
        "a folder", "folder.txt", [](const QString& path) { return QDir().mkdir(path); }, Failed,
        "ファイルではなくフォルダーです", {}, 1, 1);
    row("64 MiB of one byte", "garbage.Hy3", pieces({{{}, '\x7f', 64 * mebi}}), Failed,
        "レコード数 32639 は表の行数", {}, 1, 1);
    const QByteArray hy3Record = longNameRecord(0xFFFF, 151);
    QList<Piece> cut{{TestTables::le16(301)}};
    for (int i = 0; i < 300; ++i)
        cut.append({hy3Record});
    cut.append({hy3Record.chopped(1)});
    row("301 names of 65535 bytes, the last record cut", "longnames-cut.Hy3", pieces(cut), Failed,
        "301 件目のレコードの整理券番号・運賃", {}, 1, 1);
    QList<Piece> longNames{{TestTables::le16(201)}};
    for (int i = 0; i < 201; ++i)
        longNames.append({longNameRecord(0xFFFF, 72)});
    row("201 names of 65535 bytes", "longnames.Hyo", pieces(longNames), Done, {},
        QByteArray(0xFFFF, 'N'), 0, 0);
    row("a table followed by 64 MiB", "trailing.Hyp",
        pieces({{TestTables::le16(1) + longNameRecord(4, 73), '\xff', 64 * mebi}}), Done, {},
        "NNNN", 0, 0);
    // The message quotes 40 characters of the field, however long, and comes at once.
    row("one fare of 64 MiB", "longfare.txt", pieces({{"A,1, ", '1', 64 * mebi - 7}, {"\r\n"}}),
        Failed,
        QByteArray("1 行目の3 番目の項目（整理券 1 の運賃）の値「 ") + QByteArray(39, '1') + "…」",
        {}, 1, 1);
    row("a line feed in a field is shown, not broken", "lf.csv", pieces({{"a,1\n99999"}}), Failed,
        "「1\\n99999」", {}, 1, 1);
    row("overflow in a field after the 152nd", "fields.csv",
        pieces({{"a,1", 0, 0}, {QByteArray(",5").repeated(160) + ",40000"}}), Failed,
        "152 番目以降の項目（整理券 150 の運賃）の値「40000」", {}, 1, 1);
    // A name too long for the binary formats: check reports it, convert refuses it.
    row("a name of 16 Mi characters", "longname.csv", pieces({{{}, 'N', 16 * mebi}, {",1\r\n"}}),
        Done, {}, QByteArray(16 * mebi, 'N'), 1, 1);
    row("40000 lines", "manylines.txt", pieces({{QByteArray("a,1\r\n").repeated(40000)}}), Failed,
        "空行より前の行数が 32767 を超えています（オーバーフロー）", {}, 1, 1);
    row("a table, a blank line, then 70 MiB", "tail.txt",
        pieces({{"A,1\r\n\r\n"}, {QByteArray("x,1\r\n").repeated(14 << 20)}}), Done, {}, "A", 1, 0);
    row("one line of 70 MiB", "big.txt", pieces({{{}, 'N', 70 * mebi}, {",1\r\n"}}), Failed,
        "ファイルが大きすぎます（64 MB を超えています）", {}, 1, 1);
}

void TestMalformedInput::damagedInput()
{
    QFETCH(QString, file);
    QFETCH(Writer, writer);
    QFETCH(Outcome, outcome);
    QFETCH(QString, reason);
    QFETCH(QString, routeName);
    QFETCH(int, checkExit);
    QFETCH(int, convertExit);
    QString path = QStringLiteral(FAREWRIGHT_TEST_DATA "/malformed/") + file;
    if (writer) {
        path = m_dir.filePath(file);
        QVERIFY(writer(path));
    }
    const bool existed = QFileInfo::exists(path);
    const auto cleanUp = qScopeGuard([&] {
        if (writer)
            QFile::remove(path) || QDir().rmdir(path);
    });

    // The table loaded before: a failed load must leave it exactly so.
    FareTable table;
    TestTables::fillFull(table, 4);
    table.SetCell(FareTable::LastRow, FareTable::LastCol, QStringLiteral("below the named rows"));
    table.setCurrentCell(3, 7);
    const QStringList before = TestTables::snapshot(table);
    FakePlatform platform;
    const FileType* type = fileTypeForPath(path);
    QVERIFY(type);
    QCOMPARE(type->reader(table, platform, path), outcome);
    QCOMPARE(platform.busyDepth, 0);
    QVERIFY(!table.isHidden());
    QCOMPARE(QFileInfo::exists(path), existed);
    if (outcome == Outcome::Failed) {
        QCOMPARE(platform.messages.size(), 1);
        const FakePlatform::Message& message = platform.messages.first();
        QVERIFY2(message.text.startsWith(QStringLiteral("「%1」を読み込めませんでした。\n")
                                             .arg(QDir::toNativeSeparators(path))) &&
                     message.text.contains(reason) &&
                     message.text.endsWith(QStringLiteral("\n表は変更していません。")),
                 qPrintable(message.text));
        QCOMPARE(message.title, QString());
        QCOMPARE(message.buttons, Platform::Buttons::Ok);
        QVERIFY2(TestTables::snapshot(table) == before, "a failed load changed the table");
        QCOMPARE(table.CurRow(), 3);
        QCOMPARE(table.CurCol(), 7);
    } else {
        QVERIFY2(platform.messages.isEmpty(), qPrintable(platform.messageTexts().join(u'\n')));
        if (routeName != QString::fromUtf8(AnyName.data(), qsizetype(AnyName.size())))
            QCOMPARE(table.text(1, 1), routeName);
        // The previous table was cleared first.
        QCOMPARE(table.text(FareTable::LastRow, FareTable::LastCol), QString());
    }

    if (checkExit >= 0) {
        const CliRunner::Result check = CliRunner::run({QStringLiteral("check"), path});
        QVERIFY2(!check.crashed, qPrintable(check.standardError));
        QCOMPARE(check.exitCode, checkExit);
    }
    const QString output = m_dir.filePath(QStringLiteral("converted.Hy3"));
    QFile::remove(output);
    const CliRunner::Result convert = CliRunner::run({QStringLiteral("convert"), path, output});
    QVERIFY2(!convert.crashed, qPrintable(convert.standardError));
    QCOMPARE(convert.exitCode, convertExit);
    QCOMPARE(QFileInfo::exists(output), convertExit == 0);
    if (convertExit != 0)
        QVERIFY(!convert.standardError.trimmed().isEmpty());
    if (outcome == Outcome::Failed)
        QVERIFY2(convert.standardError.contains(reason), qPrintable(convert.standardError));
    QFile::remove(output);
}

QTEST_GUILESS_MAIN(TestMalformedInput)
#include "tst_malformedinput.moc"
