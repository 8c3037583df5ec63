#include "commands/fileformats.h"
#include "editorstandin.h"
#include "fakeplatform.h"
#include "files/binarycodec.h"
#include "files/binaryfile.h"
#include "model/faretable.h"
#include "testtables.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <climits>
#include <memory>

using namespace TestTables;

namespace {

void appendInt16(QByteArray& bytes, int value)
{
    char le[2];
    qToLittleEndian<qint16>(qint16(value), le);
    bytes.append(le, 2);
}

/** One .Hy3 record, written out by hand from the layout. */
QByteArray hy3Record(const QByteArray& name, int ticket, const QMap<int, int>& fares = {})
{
    QByteArray bytes;
    appendInt16(bytes, int(name.size()));
    bytes.append(name);
    appendInt16(bytes, ticket);
    for (int k = 1; k <= 150; ++k)
        appendInt16(bytes, fares.value(k, 0));
    return bytes;
}

QByteArray hy3File(const QList<QByteArray>& records, int count = INT_MIN)
{
    QByteArray bytes;
    appendInt16(bytes, count == INT_MIN ? int(records.size()) : count);
    for (const QByteArray& record : records)
        bytes.append(record);
    return bytes;
}

} // namespace

class TestHy3 : public QObject {
    Q_OBJECT

private slots:
    void init();

    void goldenTwoRowFile();
    void routeNameOnlyIsOneRecord();
    void rowsStopBeforeFirstEmptyName();
    void openEditCountsAsTheNameItFills();
    void fullTableRoundTripsByteIdentical();
    void loadWritesNumbersAsText();
    void loadLeavesLastWrittenCellCurrent();
    void namesKeepTheirBlanks();

    void badFilesFailAndKeepTheTable_data();
    void badFilesFailAndKeepTheTable();
    void invalidShiftJisInNameStillLoads();
    void loadingMissingFileCreatesNothing();
    void loadingDirectoryFails();

    void failedSaveKeepsExistingTarget_data();
    void failedSaveKeepsExistingTarget();
    void failedSaveCreatesNothing();
    void saveOverLongerFileLeavesNoOldBytes();
    void saveToDirectoryFails();

    void formatForPath_data();
    void formatForPath();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString path(const char* name) const { return m_dir->filePath(QString::fromUtf8(name)); }
};

void TestHy3::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestHy3::goldenTwoRowFile()
{
    FareTable table;
    table.SetCell(1, 1, QStringLiteral("東線"));   // 4 bytes in code page 932
    table.SetCell(2, 1, QStringLiteral("駅前町")); // 6 bytes
    table.SetCell(2, 2, QStringLiteral("1"));
    table.SetCell(2, 3, QStringLiteral("150"));
    table.SetCell(2, 152, QStringLiteral("-5"));
    FakePlatform platform;
    QCOMPARE(SaveHy3(table, platform, path("two.Hy3")), Outcome::Done);
    QVERIFY(platform.messages.isEmpty());
    QCOMPARE(platform.busyDepth, 0);
    QVERIFY(!table.isHidden());

    const QByteArray expected =
        hy3File({hy3Record("\x93\x8c\x90\xfc", 0),
                 hy3Record("\x89\x77\x91\x4f\x92\xac", 1, {{1, 150}, {150, -5}})});
    QCOMPARE(expected.size(), 620);
    QCOMPARE(readBytes(path("two.Hy3")), expected);
    // The last cell read is the last fare of the last stored row.
    QCOMPARE(table.CurRow(), 2);
    QCOMPARE(table.CurCol(), 152);
}

void TestHy3::routeNameOnlyIsOneRecord()
{
    FareTable table;
    table.SetCell(1, 1, QStringLiteral("ab"));
    FakePlatform platform;
    QCOMPARE(SaveHy3(table, platform, path("route.Hy3")), Outcome::Done);
    QCOMPARE(readBytes(path("route.Hy3")), hy3File({hy3Record("ab", 0)}));
    QCOMPARE(readBytes(path("route.Hy3")).size(), 2 + 304 + 2);
}

void TestHy3::rowsStopBeforeFirstEmptyName()
{
    FareTable table;
    for (int row = 1; row <= 9; ++row)
        table.SetCell(row, 1, QStringLiteral("S%1").arg(row));
    table.SetCell(3, 1, QStringLiteral(" ")); // blanks count as a name
    table.SetCell(5, 1, QString());
    table.SetCell(6, 3, QStringLiteral("999")); // below the gap: not stored
    FakePlatform platform;
    QCOMPARE(SaveHy3(table, platform, path("gap.Hy3")), Outcome::Done);
    const BinaryCodec::Decoded decoded = BinaryCodec::decode(Hy3Layout, readBytes(path("gap.Hy3")));
    QVERIFY(decoded.ok());
    QCOMPARE(decoded.records.size(), 4);
    QCOMPARE(decoded.records[2].Name, QStringLiteral(" "));
    QCOMPARE(decoded.records[3].Name, QStringLiteral("S4"));
}

void TestHy3::openEditCountsAsTheNameItFills()
{
    // The first name read commits the edit, so a name being typed into the gap is stored.
    FareTable table;
    EditorStandIn editor(table);
    for (int row : {1, 2, 4})
        table.SetCell(row, 1, QStringLiteral("S%1").arg(row));
    table.setCurrentCell(3, 1);
    editor.open(QStringLiteral("typed"));
    FakePlatform platform;
    QCOMPARE(SaveHy3(table, platform, path("edit.Hy3")), Outcome::Done);
    const BinaryCodec::Decoded decoded =
        BinaryCodec::decode(Hy3Layout, readBytes(path("edit.Hy3")));
    QCOMPARE(decoded.records.size(), 4);
    QCOMPARE(decoded.records[2].Name, QStringLiteral("typed"));
}

void TestHy3::fullTableRoundTripsByteIdentical()
{
    FareTable table;
    fillFull(table);
    FakePlatform platform;
    QCOMPARE(SaveHy3(table, platform, path("full.Hy3")), Outcome::Done);
    const QByteArray first = readBytes(path("full.Hy3"));
    QCOMPARE(BinaryCodec::decode(Hy3Layout, first).records.size(), 301);

    FareTable loaded;
    QCOMPARE(LoadHy3(loaded, platform, path("full.Hy3")), Outcome::Done);
    QCOMPARE(snapshot(loaded), snapshot(table));
    QCOMPARE(SaveHy3(loaded, platform, path("again.Hy3")), Outcome::Done);
    QCOMPARE(readBytes(path("again.Hy3")), first);
    QVERIFY(platform.messages.isEmpty());
}

void TestHy3::loadWritesNumbersAsText()
{
    FareTable table;
    table.SetCell(1, 1, QStringLiteral("線"));
    table.SetCell(2, 1, QStringLiteral("停"));
    table.SetCell(2, 2, QStringLiteral("12.5"));  // 12
    table.SetCell(2, 3, QStringLiteral("13.5"));  // 14
    table.SetCell(2, 4, QStringLiteral("1,200")); // 1
    table.SetCell(2, 5, QStringLiteral("1 2"));   // 12
    table.SetCell(2, 6, QStringLiteral("word"));  // 0: empty
    table.SetCell(2, 7, QStringLiteral("0"));     // 0: empty
    table.SetCell(2, 8, QStringLiteral("-5"));
    table.SetCell(2, 9, QStringLiteral("&H1F")); // 31
    FakePlatform platform;
    QCOMPARE(SaveHy3(table, platform, path("numbers.Hy3")), Outcome::Done);
    FareTable loaded;
    QCOMPARE(LoadHy3(loaded, platform, path("numbers.Hy3")), Outcome::Done);
    const QStringList row2{QStringLiteral("12"),
                           QStringLiteral("14"),
                           QStringLiteral("1"),
                           QStringLiteral("12"),
                           QString(),
                           QString(),
                           QStringLiteral("-5"),
                           QStringLiteral("31")};
    for (int col = 2; col <= 9; ++col)
        QCOMPARE(loaded.text(2, col), row2[col - 2]);
    // An empty ticket number is stored as 0 and always shown.
    QCOMPARE(loaded.text(1, 2), QStringLiteral("0"));
    QCOMPARE(loaded.text(3, 2), QString()); // rows beyond the file stay empty
}

void TestHy3::loadLeavesLastWrittenCellCurrent()
{
    QVERIFY(writeBytes(path("three.Hy3"),
                       hy3File({hy3Record("a", 1), hy3Record("b", 2), hy3Record("c", 3)})));
    FareTable table;
    table.setCurrentCell(10, 10);
    FakePlatform platform;
    QCOMPARE(LoadHy3(table, platform, path("three.Hy3")), Outcome::Done);
    QCOMPARE(table.CurRow(), 3);
    QCOMPARE(table.CurCol(), 152);
    QCOMPARE(platform.busyDepth, 0);
    QVERIFY(platform.busyCalls >= 2);
    QVERIFY(!table.isHidden());
}

void TestHy3::namesKeepTheirBlanks()
{
    FareTable table;
    table.SetCell(1, 1, QStringLiteral("  東線　 "));
    FakePlatform platform;
    QCOMPARE(SaveHy3(table, platform, path("blanks.Hy3")), Outcome::Done);
    FareTable loaded;
    QCOMPARE(LoadHy3(loaded, platform, path("blanks.Hy3")), Outcome::Done);
    QCOMPARE(loaded.text(1, 1), QStringLiteral("  東線　 "));
}

void TestHy3::badFilesFailAndKeepTheTable_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");

    const QByteArray good = hy3File({hy3Record("route", 0), hy3Record("stop", 4, {{1, 100}})});
    QTest::newRow("empty file") << QByteArray() << QStringLiteral("空");
    QTest::newRow("one byte") << QByteArray("\x01", 1) << QStringLiteral("短すぎ");
    QTest::newRow("count 0") << hy3File({}, 0) << QStringLiteral("レコード数が 0");
    QTest::newRow("count -1") << hy3File({hy3Record("a", 0)}, -1)
                              << QStringLiteral("レコード数が -1");
    QTest::newRow("count 302") << hy3File({hy3Record("a", 0)}, 302) << QStringLiteral("302");
    QTest::newRow("count 32767") << hy3File({hy3Record("a", 0)}, 32767) << QStringLiteral("32767");
    QTest::newRow("count above records")
        << hy3File({hy3Record("a", 0)}, 2) << QStringLiteral("途中で切れて");
    // Cut inside every field of the second record.
    const int second = 2 + 304 + 5;
    QTest::newRow("cut in name length") << good.left(second + 1) << QStringLiteral("名称の長さ");
    QTest::newRow("cut in name") << good.left(second + 4) << QStringLiteral("名称");
    QTest::newRow("cut in ticket number")
        << good.left(second + 2 + 4 + 1) << QStringLiteral("整理券番号");
    QTest::newRow("cut in first fare") << good.left(second + 2 + 4 + 3) << QStringLiteral("運賃");
    QTest::newRow("cut in last fare") << good.left(good.size() - 1) << QStringLiteral("運賃");
    QByteArray longName;
    appendInt16(longName, 1);
    longName.append("\xff\xff", 2); // name length 65535 with a few bytes behind it
    longName.append(QByteArray(400, 'x'));
    QTest::newRow("name length 65535") << longName << QStringLiteral("名称");
}

void TestHy3::badFilesFailAndKeepTheTable()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    QVERIFY(writeBytes(path("bad.Hy3"), bytes));

    FareTable table;
    fillTagged(table);
    table.setCurrentCell(7, 8);
    const QStringList before = snapshot(table);
    FakePlatform platform;
    QCOMPARE(LoadHy3(table, platform, path("bad.Hy3")), Outcome::Failed);
    QCOMPARE(snapshot(table), before);
    QCOMPARE(table.CurRow(), 7);
    QCOMPARE(table.CurCol(), 8);
    QCOMPARE(platform.messages.size(), 1);
    const FakePlatform::Message& message = platform.messages.first();
    QVERIFY2(message.text.contains(reason), qPrintable(message.text));
    QVERIFY(message.text.contains(QDir::toNativeSeparators(path("bad.Hy3"))));
    QCOMPARE(message.title, QString()); // the application's title
    QCOMPARE(message.buttons, Platform::Buttons::Ok);
    QCOMPARE(platform.busyDepth, 0);
    QVERIFY(!table.isHidden());
}

void TestHy3::invalidShiftJisInNameStillLoads()
{
    QVERIFY(writeBytes(path("sjis.Hy3"), hy3File({hy3Record("A\x82\x20"
                                                            "B",
                                                            0)})));
    FareTable table;
    FakePlatform platform;
    QCOMPARE(LoadHy3(table, platform, path("sjis.Hy3")), Outcome::Done);
    QCOMPARE(table.text(1, 1), QStringLiteral("A\uFFFD B"));
    QVERIFY(platform.messages.isEmpty());
}

void TestHy3::loadingMissingFileCreatesNothing()
{
    FareTable table;
    table.SetCell(1, 1, QStringLiteral("keep"));
    FakePlatform platform;
    QCOMPARE(LoadHy3(table, platform, path("missing.Hy3")), Outcome::Failed);
    QVERIFY(!QFileInfo::exists(path("missing.Hy3")));
    QCOMPARE(table.text(1, 1), QStringLiteral("keep"));
    QVERIFY(platform.messages.first().text.contains(QStringLiteral("見つかりません")));
}

void TestHy3::loadingDirectoryFails()
{
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("folder.Hy3")));
    FareTable table;
    FakePlatform platform;
    QCOMPARE(LoadHy3(table, platform, path("folder.Hy3")), Outcome::Failed);
    QVERIFY(platform.messages.first().text.contains(QStringLiteral("フォルダー")));
}

void TestHy3::failedSaveKeepsExistingTarget_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("reason");
    QTest::newRow("overflowing fare")
        << 3 << 10 << QStringLiteral("40000") << QStringLiteral("オーバーフロー");
    QTest::newRow("overflowing ticket number")
        << 2 << 2 << QStringLiteral("1E9") << QStringLiteral("整理券番号");
    QTest::newRow("unencodable name") << 3 << 1 << QStringLiteral("駅🚌前") << QStringLiteral("🚌");
    QTest::newRow("long values are quoted briefly")
        << 3 << 10 << (u'1' + QString(99, u'0'))
        << QStringLiteral("「1%1…」").arg(QString(39, u'0'));
    QTest::newRow("long names are quoted briefly")
        << 3 << 1 << (QString(60, u'駅') + QStringLiteral("🚌"))
        << QStringLiteral("「%1…」に、").arg(QString(40, u'駅'));
    QTest::newRow("empty route name") << 1 << 1 << QString() << QStringLiteral("系統名称");
}

void TestHy3::failedSaveKeepsExistingTarget()
{
    QFETCH(int, row);
    QFETCH(int, col);
    QFETCH(QString, text);
    QFETCH(QString, reason);
    const QByteArray old("previous content, not a fare table");
    QVERIFY(writeBytes(path("target.Hy3"), old));

    FareTable table;
    fillFull(table, 5);
    table.SetCell(row, col, text);
    FakePlatform platform;
    QCOMPARE(SaveHy3(table, platform, path("target.Hy3")), Outcome::Failed);
    QCOMPARE(readBytes(path("target.Hy3")), old);
    QCOMPARE(platform.messages.size(), 1);
    QVERIFY2(platform.messages.first().text.contains(reason),
             qPrintable(platform.messages.first().text));
    QCOMPARE(platform.busyDepth, 0);
    QVERIFY(!table.isHidden());
    // No temporary file is left behind.
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{QStringLiteral("target.Hy3")});
}

void TestHy3::failedSaveCreatesNothing()
{
    FareTable table;
    table.SetCell(1, 1, QStringLiteral("線"));
    table.SetCell(1, 5, QStringLiteral("99999"));
    FakePlatform platform;
    QCOMPARE(SaveHy3(table, platform, path("new.Hy3")), Outcome::Failed);
    QVERIFY(!QFileInfo::exists(path("new.Hy3")));
    // The cell that failed is the current one, as the save stopped there.
    QCOMPARE(table.CurRow(), 1);
    QCOMPARE(table.CurCol(), 5);
}

void TestHy3::saveOverLongerFileLeavesNoOldBytes()
{
    QVERIFY(writeBytes(path("long.Hy3"), QByteArray(5000, 'z')));
    FareTable table;
    table.SetCell(1, 1, QStringLiteral("r"));
    FakePlatform platform;
    QCOMPARE(SaveHy3(table, platform, path("long.Hy3")), Outcome::Done);
    QCOMPARE(readBytes(path("long.Hy3")), hy3File({hy3Record("r", 0)}));
}

void TestHy3::saveToDirectoryFails()
{
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("dir.Hy3")));
    FareTable table;
    table.SetCell(1, 1, QStringLiteral("r"));
    FakePlatform platform;
    QCOMPARE(SaveHy3(table, platform, path("dir.Hy3")), Outcome::Failed);
    QVERIFY(QFileInfo(path("dir.Hy3")).isDir());
    QCOMPARE(platform.messages.size(), 1);
}

void TestHy3::formatForPath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<FileFormat>("format");
    QTest::newRow(".Hy3") << QStringLiteral("/a/b.Hy3") << FileFormat::Hy3;
    QTest::newRow("lower case") << QStringLiteral("b.hy3") << FileFormat::Hy3;
    QTest::newRow("upper case") << QStringLiteral("B.HY3") << FileFormat::Hy3;
    QTest::newRow(".hyo") << QStringLiteral("x.hyo") << FileFormat::Hyo;
    QTest::newRow(".HyP") << QStringLiteral("x.HyP") << FileFormat::Hyp;
    QTest::newRow(".txt") << QStringLiteral("x.txt") << FileFormat::Text;
    QTest::newRow(".CSV") << QStringLiteral("x.CSV") << FileFormat::Text;
    QTest::newRow("backup suffix") << QStringLiteral("x.Hy3.bak") << FileFormat::None;
    QTest::newRow("no extension") << QStringLiteral("fares") << FileFormat::None;
    QTest::newRow("extension alone") << QStringLiteral(".hy3") << FileFormat::Hy3;
    QTest::newRow("shorter than four") << QStringLiteral("hy3") << FileFormat::None;
    QTest::newRow(".dat") << QStringLiteral("x.dat") << FileFormat::None;
}

void TestHy3::formatForPath()
{
    QFETCH(QString, path);
    QFETCH(FileFormat, format);
    QCOMPARE(FormatForPath(path), format);
    QCOMPARE(startupLoaderForPath(path) != nullptr, format != FileFormat::None);
    QCOMPARE(saveWriterForPath(path) != nullptr,
             format != FileFormat::None && format != FileFormat::Text);
    QCOMPARE(convertWriterForPath(path) != nullptr, format != FileFormat::None);
}

QTEST_GUILESS_MAIN(TestHy3)
#include "tst_hy3.moc"
