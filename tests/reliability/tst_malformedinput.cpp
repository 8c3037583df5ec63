#include "clirunner.h"
#include "commands/fileformats.h"
#include "fakeplatform.h"
#include "model/faretable.h"
#include "testtables.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <functional>
#include <string_view>

using namespace std::string_view_literals;

Q_DECLARE_METATYPE(Outcome)
Q_DECLARE_METATYPE(std::function<bool(QFile&)>)

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

// Every file of tests/data/malformed/ (make-corpus.py says how each is built).
const Case cases[] = {
    // Each binary format, cut or wrong in every field.
    {"empty.Hy3", Failed, "ファイルが空です", "", 1, 1},
    {"empty.Hyo", Failed, "ファイルが空です", "", 1, 1},
    {"empty.Hyp", Failed, "ファイルが空です", "", 1, 1},
    {"one-byte.Hy3", Failed, "短すぎます（1 バイト）", "", 1, 1},
    {"one-byte.Hyo", Failed, "短すぎます（1 バイト）", "", 1, 1},
    {"one-byte.Hyp", Failed, "短すぎます（1 バイト）", "", 1, 1},
    {"count-zero.Hy3", Failed, "レコード数が 0 です", "", 1, 1},
    {"count-zero.Hyo", Failed, "レコード数が 0 です", "", 1, 1},
    {"count-zero.Hyp", Failed, "レコード数が 0 です", "", 1, 1},
    {"count-minus-one.Hy3", Failed, "レコード数が -1 です", "", 1, 1},
    {"count-minus-one.Hyo", Failed, "レコード数が -1 です", "", 1, 1},
    {"count-minus-one.Hyp", Failed, "レコード数が -1 です", "", 1, 1},
    {"count-min.Hy3", Failed, "レコード数が -32768 です", "", 1, 1},
    {"count-max.Hy3", Failed, "レコード数 32767 は表の行数", "", 1, 1},
    {"count-302.Hy3", Failed, "レコード数 302 は表の行数", "", 1, 1},
    {"count-302.Hyo", Failed, "レコード数 302 は表の行数", "", 1, 1},
    {"count-302.Hyp", Failed, "レコード数 302 は表の行数", "", 1, 1},
    {"truncated-in-name-length.Hy3", Failed, "2 件目のレコードの名称の長さ", "", 1, 1},
    {"truncated-in-name-length.Hyo", Failed, "2 件目のレコードの名称の長さ", "", 1, 1},
    {"truncated-in-name-length.Hyp", Failed, "2 件目のレコードの名称の長さ", "", 1, 1},
    {"truncated-in-name.Hy3", Failed, "2 件目のレコードの名称、", "", 1, 1},
    {"truncated-in-name.Hyo", Failed, "2 件目のレコードの名称、", "", 1, 1},
    {"truncated-in-name.Hyp", Failed, "2 件目のレコードの名称、", "", 1, 1},
    {"name-length-past-end.Hy3", Failed, "1 件目のレコードの名称、", "", 1, 1},
    {"name-length-past-end.Hyo", Failed, "1 件目のレコードの名称、", "", 1, 1},
    {"name-length-past-end.Hyp", Failed, "1 件目のレコードの名称、", "", 1, 1},
    {"truncated-in-ticket.Hy3", Failed, "2 件目のレコードの整理券番号・運賃", "", 1, 1},
    {"truncated-in-ticket.Hyp", Failed, "2 件目のレコードの整理券番号・運賃", "", 1, 1},
    {"truncated-in-fares.Hy3", Failed, "2 件目のレコードの整理券番号・運賃", "", 1, 1},
    {"truncated-in-fares.Hyo", Failed, "2 件目のレコードの運賃", "", 1, 1},
    {"truncated-in-fares.Hyp", Failed, "2 件目のレコードの整理券番号・運賃", "", 1, 1},
    {"truncated-last-byte.Hy3", Failed, "1 件目のレコードの整理券番号・運賃、8 バイト目", "", 1, 1},
    {"truncated-last-byte.Hyo", Failed, "1 件目のレコードの運賃、8 バイト目", "", 1, 1},
    {"truncated-last-byte.Hyp", Failed, "1 件目のレコードの整理券番号・運賃、8 バイト目", "", 1, 1},
    // Not a fare table at all.
    {"all-nul.Hy3", Failed, "レコード数が 0 です", "", 1, 1},
    {"all-ff.Hy3", Failed, "レコード数が -1 です", "", 1, 1},
    {"text-named-hy3.Hy3", Failed, "レコード数が -29549 です", "", 1, 1},
    {"hyo-named-hy3.Hy3", Failed, "2 件目のレコードの整理券番号・運賃、312 バイト目", "", 1, 1},
    // Readable files with odd content. Bytes that are not Shift-JIS read as U+FFFD, which no
    // save can write: check names it and convert refuses, so the damage cannot spread. A lone
    // 0xA0 reads as U+F8F0, as on Windows. check reports a NUL in a name, a control character.
    {"invalid-sjis-name.Hy3", Done, "", "東\uFFFD \uF8F0", 1, 1},
    {"invalid-sjis-name.Hyo", Done, "", "東\uFFFD \uF8F0", 1, 1},
    {"invalid-sjis-name.Hyp", Done, "", "東\uFFFD \uF8F0", 1, 1},
    {"nul-in-name.Hy3", Done, "", "A\0B"sv, 1, 0},
    {"nul-in-name.Hyo", Done, "", "A\0B"sv, 1, 0},
    {"nul-in-name.Hyp", Done, "", "A\0B"sv, 1, 0},
    {"reserved-nonzero.Hyp", Done, "", "東線", 0, 0},
    // Text. A first line that is blank empties the table, as documented; check says when lines
    // after a blank line are left out, and an empty table cannot be saved.
    {"empty.txt", Done, "", "", 0, 1},
    {"blank-first-line.txt", Done, "", "", 1, 1},
    {"spaces-first-line.csv", Done, "", "", 1, 1},
    {"invalid-sjis.txt", Done, "", "東\uFFFD \uF8F0", 1, 1},
    {"nul-bytes.csv", Done, "", "A\0B"sv, 1, 0},
    {"overflow-fare.txt", Failed, "整理券 2 の運賃）の値「 40000」", "", 1, 1},
    {"overflow-ticket.csv", Failed, "整理券番号）の値「99999」", "", 1, 1},
    {"lone-lf.txt", Done, "", "東線", 0, 0},
    {"many-fields.csv", Done, "", "東線", 0, 0},
    {"quotes-and-separators.txt", Done, "", "東", 0, 0},
    // A binary file read as text: one line of control characters and U+FFFD, which no save
    // can write.
    {"binary-named-txt.txt", Done, "", AnyName, 1, 1},
};

QString corpusPath(const QString& file)
{
    return QStringLiteral(FAREWRIGHT_TEST_DATA "/malformed/") + file;
}

/** The table loaded before the broken file: a failed load must leave it exactly so. */
void fillPrevious(FareTable& table)
{
    TestTables::fillFull(table, 4);
    table.SetCell(FareTable::LastRow, FareTable::LastCol, QStringLiteral("below the named rows"));
    table.setCurrentCell(3, 7);
}

using Writer = std::function<bool(QFile&)>;

bool writeRepeated(QFile& file, char byte, qint64 count)
{
    const QByteArray chunk(1 << 20, byte);
    for (; count > 0; count -= chunk.size())
        if (file.write(chunk.constData(), qMin<qint64>(count, chunk.size())) < 0)
            return false;
    return true;
}

QByteArray int16(qint16 value)
{
    char bytes[2];
    qToLittleEndian<qint16>(value, bytes);
    return QByteArray(bytes, 2);
}

/** A record of count fixed-size fields after a name of nameLength 'N' bytes. */
QByteArray longNameRecord(int nameLength, int fixedWords)
{
    QByteArray record = int16(qint16(quint16(nameLength)));
    record.append(QByteArray(nameLength, 'N'));
    for (int i = 0; i < fixedWords; ++i)
        record.append(int16(qint16(i + 1)));
    return record;
}

} // namespace

class TestMalformedInput : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void corpusFile_data();
    void corpusFile();
    void hugeFile_data();
    void hugeFile();
    void hugeTextFile_data();
    void hugeTextFile();
    void everyCorpusFileHasACase();

private:
    void loadAndCheck(const QString& path, Outcome outcome, const QString& reason,
                      const QString& routeName);
    void cliAndCheck(const QString& path, int checkExit, int convertExit);

    QTemporaryDir m_dir;
};

void TestMalformedInput::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY2(QFile::exists(CliRunner::cliPath()), qPrintable(CliRunner::cliPath()));
}

void TestMalformedInput::loadAndCheck(const QString& path, Outcome outcome, const QString& reason,
                                      const QString& routeName)
{
    FareTable table;
    fillPrevious(table);
    const QStringList before = TestTables::snapshot(table);
    FakePlatform platform;

    const FileOperation loader = startupLoaderForPath(path);
    QVERIFY(loader);
    QCOMPARE(loader(table, platform, path), outcome);

    QCOMPARE(platform.busyDepth, 0);
    QVERIFY(!table.isHidden());
    if (outcome == Outcome::Failed) {
        QCOMPARE(platform.messages.size(), 1);
        const FakePlatform::Message& message = platform.messages.first();
        QVERIFY2(message.text.contains(QStringLiteral("を読み込めませんでした")),
                 qPrintable(message.text));
        QVERIFY2(message.text.contains(QFileInfo(path).fileName()), qPrintable(message.text));
        QVERIFY2(message.text.contains(reason), qPrintable(message.text));
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
}

void TestMalformedInput::cliAndCheck(const QString& path, int checkExit, int convertExit)
{
    const CliRunner::Result check = CliRunner::run({QStringLiteral("check"), path});
    QVERIFY2(!check.crashed, qPrintable(check.standardError));
    QCOMPARE(check.exitCode, checkExit);

    const QString output = m_dir.filePath(QStringLiteral("converted.Hy3"));
    QFile::remove(output);
    const CliRunner::Result convert = CliRunner::run({QStringLiteral("convert"), path, output});
    QVERIFY2(!convert.crashed, qPrintable(convert.standardError));
    QCOMPARE(convert.exitCode, convertExit);
    QCOMPARE(QFile::exists(output), convertExit == 0);
    if (convertExit != 0)
        QVERIFY(!convert.standardError.trimmed().isEmpty());
}

void TestMalformedInput::corpusFile_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QString>("routeName");
    QTest::addColumn<int>("checkExit");
    QTest::addColumn<int>("convertExit");
    for (const Case& c : cases)
        QTest::newRow(c.file) << QString::fromUtf8(c.file) << c.outcome
                              << QString::fromUtf8(c.reason)
                              << QString::fromUtf8(c.routeName.data(),
                                                   qsizetype(c.routeName.size()))
                              << c.checkExit << c.convertExit;
}

void TestMalformedInput::corpusFile()
{
    QFETCH(QString, file);
    QFETCH(Outcome, outcome);
    QFETCH(QString, reason);
    QFETCH(QString, routeName);
    QFETCH(int, checkExit);
    QFETCH(int, convertExit);
    const QString path = corpusPath(file);
    QVERIFY2(QFile::exists(path), qPrintable(path));
    loadAndCheck(path, outcome, reason, routeName);
    if (QTest::currentTestFailed())
        return;
    cliAndCheck(path, checkExit, convertExit);
}

void TestMalformedInput::hugeFile_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<Writer>("writer");
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QString>("routeName");
    QTest::addColumn<int>("checkExit");

    QTest::newRow("64 MiB of one byte")
        << QStringLiteral("garbage.Hy3")
        << Writer([](QFile& f) { return writeRepeated(f, '\x7f', qint64(64) << 20); }) << Failed
        << QStringLiteral("レコード数 32639 は表の行数") << QString() << 1;
    QTest::newRow("301 names of 65535 bytes, the last record cut")
        << QStringLiteral("longnames-cut.Hy3") << Writer([](QFile& f) {
               const QByteArray record = longNameRecord(0xFFFF, 151);
               bool ok = f.write(int16(301)) == 2;
               for (int i = 0; ok && i < 300; ++i)
                   ok = f.write(record) == record.size();
               return ok && f.write(record.left(record.size() - 1)) == record.size() - 1;
           })
        << Failed << QStringLiteral("301 件目のレコードの整理券番号・運賃") << QString() << 1;
    QTest::newRow("201 names of 65535 bytes")
        << QStringLiteral("longnames.Hyo") << Writer([](QFile& f) {
               const QByteArray record = longNameRecord(0xFFFF, 72);
               bool ok = f.write(int16(201)) == 2;
               for (int i = 0; ok && i < 201; ++i)
                   ok = f.write(record) == record.size();
               return ok;
           })
        << Done << QString() << QString(0xFFFF, u'N') << 0;
    QTest::newRow("a table followed by 64 MiB")
        << QStringLiteral("trailing.Hyp") << Writer([](QFile& f) {
               const QByteArray record = longNameRecord(4, 73);
               return f.write(int16(1)) == 2 && f.write(record) == record.size() &&
                      writeRepeated(f, '\xff', qint64(64) << 20);
           })
        << Done << QString() << QStringLiteral("NNNN") << 0;
}

void TestMalformedInput::hugeTextFile_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<Writer>("writer");
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QString>("routeName");
    QTest::addColumn<int>("checkExit");

    const qint64 mebi = qint64(1) << 20;
    QTest::newRow("one fare of 16 Mi digits")
        << QStringLiteral("longfare.txt") << Writer([mebi](QFile& f) {
               return f.write("A,1, ") == 5 && writeRepeated(f, '1', 16 * mebi) &&
                      f.write("\r\n") == 2;
           })
        << Failed << QStringLiteral("オーバーフロー") << QString() << 1;
    // (check is not asked here: a name too long for the binary formats is not one of its
    // findings.)
    QTest::newRow("a name of 16 Mi characters")
        << QStringLiteral("longname.csv") << Writer([mebi](QFile& f) {
               return writeRepeated(f, 'N', 16 * mebi) && f.write(",1\r\n") == 4;
           })
        << Done << QString() << QString(16 * mebi, u'N') << -1;
    QTest::newRow("40000 lines") << QStringLiteral("manylines.txt") << Writer([](QFile& f) {
        const QByteArray lines = QByteArray("a,1\r\n").repeated(40000);
        return f.write(lines) == lines.size();
    }) << Failed << QStringLiteral("32767 を超えています")
                                 << QString() << 1;
    QTest::newRow("a table, a blank line, then 70 MiB")
        << QStringLiteral("tail.txt") << Writer([](QFile& f) {
               const QByteArray lines = QByteArray("x,1\r\n").repeated(1 << 20);
               bool ok = f.write("A,1\r\n\r\n") == 7;
               for (int i = 0; ok && i < 14; ++i)
                   ok = f.write(lines) == lines.size();
               return ok;
           })
        << Done << QString() << QStringLiteral("A") << 1;
    QTest::newRow("one line of 70 MiB") << QStringLiteral("big.txt") << Writer([mebi](QFile& f) {
        return writeRepeated(f, 'N', 70 * mebi) && f.write(",1\r\n") == 4;
    }) << Failed << QStringLiteral("大きすぎます")
                                        << QString() << 1;
}

void TestMalformedInput::hugeTextFile()
{
    hugeFile();
}

void TestMalformedInput::hugeFile()
{
    QFETCH(QString, file);
    QFETCH(Writer, writer);
    QFETCH(Outcome, outcome);
    QFETCH(QString, reason);
    QFETCH(QString, routeName);
    QFETCH(int, checkExit);
    const QString path = m_dir.filePath(file);
    {
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QVERIFY(writer(out));
    }
    loadAndCheck(path, outcome, reason, routeName);
    if (QTest::currentTestFailed())
        return;
    if (checkExit >= 0) {
        const CliRunner::Result check = CliRunner::run({QStringLiteral("check"), path});
        QVERIFY2(!check.crashed, qPrintable(check.standardError));
        QCOMPARE(check.exitCode, checkExit);
    }
    QFile::remove(path);
}

void TestMalformedInput::everyCorpusFileHasACase()
{
    QStringList listed;
    for (const Case& c : cases)
        listed.append(QString::fromUtf8(c.file));
    const QDir dir(QStringLiteral(FAREWRIGHT_TEST_DATA "/malformed"));
    QStringList files = dir.entryList(QDir::Files);
    files.removeAll(QStringLiteral("make-corpus.py"));
    QStringList missing;
    for (const QString& file : std::as_const(files))
        if (!listed.contains(file))
            missing.append(file);
    QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QStringLiteral(", "))));
    QVERIFY(files.size() >= 30);
}

QTEST_GUILESS_MAIN(TestMalformedInput)
#include "tst_malformedinput.moc"
