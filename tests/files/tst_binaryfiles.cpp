// The three binary formats: the bytes a save writes, what a load makes of them, what each keeps
// of a full table, and the question before saving an older one. Damaged files and failing saves
// are in tests/reliability.
#include "document/fileformats.h"
#include "editorstandin.h"
#include "fakeplatform.h"
#include "files/binarycodec.h"
#include "files/binaryfile.h"
#include "model/faretable.h"
#include "testtables.h"

#include <QMap>
#include <QTemporaryDir>
#include <QTest>

using namespace TestTables;

namespace {

/** A format as its files are laid out: count, then per record the name's length and bytes,
 *  the ticket number (Hy3, Hyp), a reserved 0 (Hyp) and the fares. */
struct Format {
    const char* name;
    int fareCount;
    bool ticketNo;
    bool reserved;
    int maxRecords;
};

const Format formats[] = {
    {"Hy3", 150, true, false, 301},
    {"Hyo", 72, false, false, 201},
    {"Hyp", 71, true, true, 201},
};

QByteArray record(const Format& format, const QByteArray& name, int ticket,
                  const QMap<int, int>& fares)
{
    QByteArray bytes = le16(int(name.size())) + name;
    if (format.ticketNo)
        bytes += le16(ticket);
    if (format.reserved)
        bytes += le16(0);
    for (int k = 1; k <= format.fareCount; ++k)
        bytes += le16(fares.value(k));
    return bytes;
}

/** Two rows: the route 東線 with ticket 5, a stop "A" with ticket 7, fares around the last
 *  ticket of each format; row 4 lies below the empty name of row 3 and is never stored. */
void fillTwoRows(FareTable& table)
{
    const QMap<int, QMap<int, int>> cells{
        {1, {{2, 5}, {3, 100}, {73, 710}, {74, 720}, {75, 730}, {152, 1500}}},
        {2, {{2, 7}, {3, -2}, {74, 300}, {152, -5}}},
        {4, {{3, 500}}}};
    for (auto row = cells.begin(); row != cells.end(); ++row)
        for (auto col = row->begin(); col != row->end(); ++col)
            table.SetCell(row.key(), col.key(), col.value());
    table.SetCell(1, 1, QStringLiteral("東線"));
    table.SetCell(2, 1, QStringLiteral("A"));
    table.SetCell(4, 1, QStringLiteral("孤立"));
}

QByteArray goldenTwoRows(const Format& f)
{
    // 東線 is 4 bytes in code page 932; fares beyond the format's count are not stored.
    return le16(2) +
           record(f, "\x93\x8c\x90\xfc", 5,
                  {{1, 100}, {71, 710}, {72, 720}, {73, 730}, {150, 1500}}) +
           record(f, "A", 7, {{1, -2}, {72, 300}, {150, -5}});
}

using Changes = QMap<QPair<int, int>, QString>;

/** The cell (row, col) of the original after a save and load in the format; changed holds the
 *  cells that come back other than they were. */
QString projected(const FareTable& original, const Format& f, int row, int col,
                  const Changes& changed = {})
{
    int named = 0;
    while (named < f.maxRecords && !original.text(named + 1, 1).isEmpty())
        ++named;
    if (row > named || col > 2 + f.fareCount || (col == 2 && !f.ticketNo))
        return QString();
    if (changed.contains({row, col}))
        return changed.value({row, col});
    if (col == 2 && original.text(row, col).isEmpty())
        return QStringLiteral("0"); // the ticket number is always stored
    return original.text(row, col);
}

} // namespace

Q_DECLARE_METATYPE(const Format*)

class TestBinaryFiles : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }
    void goldenBytes_data();
    void goldenBytes();
    void fullTableRoundTrip_data() { goldenBytes_data(); }
    void fullTableRoundTrip();
    void rowsStopBeforeFirstEmptyName();
    void endOfTheLastRecord();
    void formatForPath_data();
    void formatForPath();

private:
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
};

void TestBinaryFiles::goldenBytes_data()
{
    QTest::addColumn<const Format*>("format");
    QTest::addColumn<QString>("question"); // asked before an older format is saved
    QTest::newRow("Hy3") << &formats[0] << QString();
    QTest::newRow("Hyo") << &formats[1]
                         << QStringLiteral("☆旧バージョンの形式で保存しようとしています！\r\n\r\n"
                                           "※以下の情報は保存されません。よろしいですか？\r\n\r\n"
                                           "\u3000・201行、73列以降のデータ\r\n"
                                           "\u3000・「整理券番号列」に入れてあるデータ\r\n");
    QTest::newRow("Hyp")
        << &formats[2]
        << QStringLiteral("☆この形式は、Corvane自家用の旧形式です！\r\n"
                          "(このデータに対応したアプリ以外では意味がありません)\r\n\r\n"
                          "※また、201行、73列以降のデータは保存されません。よろしいですか？\r\n");
}

void TestBinaryFiles::goldenBytes()
{
    QFETCH(const Format*, format);
    QFETCH(QString, question);
    // The editor's own choice for the extension: its writer, its reader, whether it asks.
    const QString file = path(QStringLiteral("golden.") + QLatin1String(format->name));
    const FileType* type = fileTypeForPath(file);
    QVERIFY(type);
    QCOMPARE(type->writeLosesData, !question.isEmpty());
    const QByteArray old(5000, 'z'); // longer than the new content
    QVERIFY(writeBytes(file, old));
    FareTable table;
    fillTwoRows(table);
    table.setCurrentCell(4, 3);
    const QStringList before = snapshot(table);
    FakePlatform platform;
    if (!question.isEmpty()) {
        platform.answers = {Platform::Answer::No};
        QCOMPARE(type->writer(table, platform, file), Outcome::Declined);
        QCOMPARE(platform.messages.size(), 1);
        const FakePlatform::Message& asked = platform.messages.takeFirst();
        QCOMPARE(asked.text, question);
        QCOMPARE(asked.title, QStringLiteral("旧バージョンでの保存確認"));
        QCOMPARE(asked.buttons, Platform::Buttons::YesNo);
        QCOMPARE(asked.icon, Platform::Icon::Exclamation);
        QCOMPARE(asked.defaultButton, Platform::Answer::Yes);
        QCOMPARE(readBytes(file), old);
        QCOMPARE(snapshot(table), before);
        QCOMPARE(table.CurRow(), 4);
        QCOMPARE(table.CurCol(), 3);
    }
    QCOMPARE(type->writer(table, platform, file), Outcome::Done); // the default answer: yes
    QCOMPARE(readBytes(file), goldenTwoRows(*format));
    QCOMPARE(platform.messages.size(), question.isEmpty() ? 0 : 1);
    QCOMPARE(platform.busyDepth, 0);
    QVERIFY(!table.isHidden());
    // The last cell read is the last stored one.
    QCOMPARE(table.CurRow(), 2);
    QCOMPARE(table.CurCol(), 2 + format->fareCount);

    FareTable loaded;
    fillTagged(loaded);
    loaded.setCurrentCell(10, 10);
    FakePlatform loading;
    QCOMPARE(type->reader(loaded, loading, file), Outcome::Done);
    QVERIFY(loading.messages.isEmpty());
    QCOMPARE(loading.busyDepth, 0);
    QVERIFY(loading.busyCalls >= 2);
    QVERIFY(!loaded.isHidden());
    for (int row = 1; row <= FareTable::LastRow; ++row)
        for (int col = 1; col <= FareTable::LastCol; ++col)
            QCOMPARE(loaded.text(row, col), projected(table, *format, row, col));
    QCOMPARE(loaded.CurRow(), 2);
    QCOMPARE(loaded.CurCol(), 2 + format->fareCount);
}

void TestBinaryFiles::fullTableRoundTrip()
{
    QFETCH(const Format*, format);
    FareTable original;
    fillFull(original);
    // Texts that are stored as their numbers, and names with blanks, which stay.
    const struct {
        int row;
        int col;
        const char* text;
        const char* stored;
    } changes[] = {{2, 1, "  駅　 ", "  駅　 "}, {4, 5, "0", ""},      {5, 6, "12.5", "12"},
                   {5, 7, "13.5", "14"},         {6, 8, "&H1F", "31"}, {6, 9, "word", ""},
                   {7, 10, "1,200", "1"},        {7, 11, "-5", "-5"},  {8, 12, "1 2", "12"}};
    Changes changed;
    for (const auto& c : changes) {
        original.SetCell(c.row, c.col, QString::fromUtf8(c.text));
        changed.insert({c.row, c.col}, QString::fromUtf8(c.stored));
    }
    original.SetCell(3, 2, QString()); // an empty ticket number is stored as 0
    FakePlatform platform;
    const QString file = path(QStringLiteral("full.") + QLatin1String(format->name));
    const FileType* type = fileTypeForPath(file);
    QVERIFY(type);
    QCOMPARE(type->writer(original, platform, file), Outcome::Done);
    const QByteArray first = readBytes(file);
    QCOMPARE(first.left(2), le16(format->maxRecords));

    FareTable loaded;
    QCOMPARE(type->reader(loaded, platform, file), Outcome::Done);
    for (int row = 1; row <= FareTable::LastRow; ++row)
        for (int col = 1; col <= FareTable::LastCol; ++col)
            QVERIFY2(
                loaded.text(row, col) == projected(original, *format, row, col, changed),
                qPrintable(
                    QStringLiteral("(%1, %2): %3").arg(row).arg(col).arg(loaded.text(row, col))));
    QCOMPARE(type->writer(loaded, platform, file), Outcome::Done);
    QCOMPARE(readBytes(file), first);
}

void TestBinaryFiles::rowsStopBeforeFirstEmptyName()
{
    FareTable table;
    EditorStandIn editor(table);
    for (int row = 1; row <= 9; ++row)
        table.SetCell(row, 1, QStringLiteral("S%1").arg(row));
    table.SetCell(3, 1, QStringLiteral(" ")); // blanks count as a name
    table.SetCell(5, 1, QString());
    table.SetCell(7, 1, QString());
    table.SetCell(8, 3, QStringLiteral("999")); // below the gap: not stored
    // The first name read commits the edit, so a name being typed into a gap is stored.
    table.setCurrentCell(5, 1);
    editor.open(QStringLiteral("typed"));
    FakePlatform platform;
    QCOMPARE(SaveHy3(table, platform, path(QStringLiteral("gap.Hy3"))), Outcome::Done);
    const BinaryCodec::Decoded decoded =
        BinaryCodec::decode(Hy3Layout, readBytes(path(QStringLiteral("gap.Hy3"))));
    QCOMPARE(decoded.records.size(), 6);
    QCOMPARE(decoded.records[2].Name, QStringLiteral(" "));
    QCOMPARE(decoded.records[4].Name, QStringLiteral("typed"));
    QCOMPARE(table.CurRow(), 6);
    QCOMPARE(table.CurCol(), 152);
}

void TestBinaryFiles::endOfTheLastRecord()
{
    // The last fare word's two bytes end the file: read whole. One or both of them missing: the
    // last record is named as cut. Bytes after the last record are ignored.
    const BinaryLayout* layouts[] = {&Hy3Layout, &HyoLayout, &HypLayout};
    const int lastFares[] = {-5, 300, 0}; // stop A's tickets 150, 72 and 71
    for (int i = 0; i < 3; ++i) {
        const QByteArray golden = goldenTwoRows(formats[i]);
        const struct {
            QByteArray bytes;
            bool ok;
        } cases[] = {{golden, true},
                     {golden + "\xff", true},
                     {golden.chopped(1), false},
                     {golden.chopped(2), false},
                     {golden.chopped(3), false}};
        for (const auto& c : cases) {
            const BinaryCodec::Decoded decoded = BinaryCodec::decode(*layouts[i], c.bytes);
            QVERIFY2(decoded.ok() == c.ok, qPrintable(decoded.error));
            if (c.ok) {
                QCOMPARE(decoded.records.size(), 2);
                QCOMPARE(decoded.records[1].Fares[formats[i].fareCount - 1], lastFares[i]);
            } else {
                QVERIFY2(decoded.error.contains(QStringLiteral("2 件目のレコードの")),
                         qPrintable(decoded.error));
            }
        }
    }
}

void TestBinaryFiles::formatForPath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<FileFormat>("format");
    // (tst_commands and tst_cli use the other names: upper case, .txt, a backup suffix.)
    QTest::newRow(".Hy3") << QStringLiteral("/a/b.Hy3") << FileFormat::Hy3;
    QTest::newRow(".hyo") << QStringLiteral("x.hyo") << FileFormat::Hyo;
    QTest::newRow(".HyP") << QStringLiteral("x.HyP") << FileFormat::Hyp;
    QTest::newRow(".CSV") << QStringLiteral("x.CSV") << FileFormat::Text;
    QTest::newRow("extension alone") << QStringLiteral(".hy3") << FileFormat::Hy3;
    QTest::newRow("shorter than four") << QStringLiteral("hy3") << FileFormat::None;
}

void TestBinaryFiles::formatForPath()
{
    QFETCH(QString, path);
    QFETCH(FileFormat, format);
    QCOMPARE(FormatForPath(path), format);
}

QTEST_GUILESS_MAIN(TestBinaryFiles)
#include "tst_binaryfiles.moc"
