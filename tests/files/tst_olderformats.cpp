// The previous version's .Hyo and the oldest .Hyp: layouts, what a save keeps, the confirmation,
// and reading damaged files.
#include "fakeplatform.h"
#include "files/binaryfile.h"
#include "model/faretable.h"
#include "testtables.h"

#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

using Operation = Outcome (*)(FareTable&, Platform&, const QString&);

QByteArray le16(int value)
{
    const auto v = quint16(qint16(value));
    return QByteArray(1, char(v & 0xFF)) + QByteArray(1, char(v >> 8));
}

QByteArray zeros(int words)
{
    return QByteArray(words * 2, '\0');
}

/**
 * The two-row table of the golden files: the route 東線 with ticket 5 and the fares of tickets
 * 1, 71, 72 and 73; a stop "A" with ticket 7 and fares -2 (ticket 1) and 300 (ticket 72).
 */
void fillTwoRows(FareTable& table)
{
    table.SetCell(1, 1, QStringLiteral("東線"));
    table.SetCell(1, 2, QStringLiteral("5"));
    table.SetCell(1, 3, QStringLiteral("100"));
    table.SetCell(1, 73, QStringLiteral("710"));
    table.SetCell(1, 74, QStringLiteral("720"));
    table.SetCell(1, 75, QStringLiteral("730"));
    table.SetCell(2, 1, QStringLiteral("A"));
    table.SetCell(2, 2, QStringLiteral("7"));
    table.SetCell(2, 3, QStringLiteral("-2"));
    table.SetCell(2, 74, QStringLiteral("300"));
}

const QByteArray TozaiName("\x04\x00\x93\x8c\x90\xfc", 6); // length 4, then 東線 in code page 932
const QByteArray AName("\x01\x00"
                       "A",
                       3);

/** Hyo: count, then per record the name and 72 fares (tickets 1 to 72); no ticket number. */
QByteArray goldenHyo()
{
    return le16(2) +
           // 東線: fare 1 = 100, fares 2..70 empty, fare 71 = 710, fare 72 = 720
           TozaiName + le16(100) + zeros(69) + le16(710) + le16(720) +
           // A: fare 1 = -2, fares 2..71 empty, fare 72 = 300
           AName + le16(-2) + zeros(70) + le16(300);
}

/** Hyp: count, then per record the name, the ticket number, a reserved 0 and 71 fares. */
QByteArray goldenHyp()
{
    return le16(2) +
           // 東線: ticket 5, reserved, fare 1 = 100, fares 2..70 empty, fare 71 = 710
           TozaiName + le16(5) + le16(0) + le16(100) + zeros(69) + le16(710) +
           // A: ticket 7, reserved, fare 1 = -2, fares 2..71 empty
           AName + le16(7) + le16(0) + le16(-2) + zeros(70);
}

struct Format {
    Operation save;
    Operation load;
    QString extension;
    QString confirmation;
    int fareCount;
    bool keepsTicketNo;
};

Format hyo()
{
    return {SaveHyo, LoadHyo, QStringLiteral(".Hyo"), hyoConfirmationText(), 72, false};
}

Format hyp()
{
    return {SaveHyp, LoadHyp, QStringLiteral(".Hyp"), hypConfirmationText(), 71, true};
}

} // namespace

Q_DECLARE_METATYPE(Format)

class TestOlderFormats : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void savesGoldenBytes_data();
    void savesGoldenBytes();
    void loadsGoldenBytes_data();
    void loadsGoldenBytes();
    void projectsAFullTable_data();
    void projectsAFullTable();
    void reservedWordIsIgnored();
    void asksBeforeSaving_data();
    void asksBeforeSaving();
    void failedSaveAfterYesKeepsTheOldFile_data();
    void failedSaveAfterYesKeepsTheOldFile();
    void truncatedFileChangesNothing_data();
    void truncatedFileChangesNothing();
    void impossibleRecordCountChangesNothing_data();
    void impossibleRecordCountChangesNothing();

private:
    QString path(const QString& name) const { return m_dir->filePath(name); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestOlderFormats::savesGoldenBytes_data()
{
    QTest::addColumn<Format>("format");
    QTest::addColumn<QByteArray>("golden");
    QTest::newRow("Hyo") << hyo() << goldenHyo();
    QTest::newRow("Hyp") << hyp() << goldenHyp();
}

void TestOlderFormats::savesGoldenBytes()
{
    QFETCH(Format, format);
    QFETCH(QByteArray, golden);
    FareTable table;
    fillTwoRows(table);
    // Row 4 is below the empty name of row 3: never stored.
    table.SetCell(4, 1, QStringLiteral("孤立"));
    FakePlatform platform;
    platform.answers = {Platform::Answer::Yes};
    const QString file = path(QStringLiteral("golden") + format.extension);
    QCOMPARE(format.save(table, platform, file), Outcome::Done);
    QCOMPARE(TestTables::readBytes(file), golden);
    QCOMPARE(platform.messages.size(), 1); // the confirmation only
    QCOMPARE(platform.busyDepth, 0);
    QVERIFY(!table.isHidden());
}

void TestOlderFormats::loadsGoldenBytes_data()
{
    savesGoldenBytes_data();
}

void TestOlderFormats::loadsGoldenBytes()
{
    QFETCH(Format, format);
    QFETCH(QByteArray, golden);
    const QString file = path(QStringLiteral("in") + format.extension);
    QVERIFY(TestTables::writeBytes(file, golden));
    FareTable table;
    TestTables::fillTagged(table);
    FakePlatform platform;
    QCOMPARE(format.load(table, platform, file), Outcome::Done);
    QVERIFY(platform.messages.isEmpty());

    FareTable expected;
    fillTwoRows(expected);
    expected.SetCell(1, 75, QString()); // beyond both formats
    if (format.keepsTicketNo) {
        expected.SetCell(1, 74, QString()); // ticket 72: beyond .Hyp
        expected.SetCell(2, 74, QString());
    } else {
        expected.SetCell(1, 2, QString()); // .Hyo has no ticket numbers: column 2 stays empty
        expected.SetCell(2, 2, QString());
    }
    QCOMPARE(TestTables::snapshot(table), TestTables::snapshot(expected));
    QCOMPARE(table.CurRow(), 2);
    QCOMPARE(table.CurCol(), 2 + format.fareCount);
}

void TestOlderFormats::projectsAFullTable_data()
{
    QTest::addColumn<Format>("format");
    QTest::newRow("Hyo") << hyo();
    QTest::newRow("Hyp") << hyp();
}

void TestOlderFormats::projectsAFullTable()
{
    QFETCH(Format, format);
    // 250 named rows, every ticket number and fare filled; one row without a ticket number, one
    // with a fare of 0 and one with a fraction.
    FareTable original;
    TestTables::fillFull(original, 250);
    original.SetCell(3, 2, QString());
    original.SetCell(4, 5, QStringLiteral("0"));
    original.SetCell(5, 6, QStringLiteral("12.5"));
    FakePlatform platform;
    platform.answers = {Platform::Answer::Yes};
    const QString file = path(QStringLiteral("full") + format.extension);
    QCOMPARE(format.save(original, platform, file), Outcome::Done);
    FareTable loaded;
    QCOMPARE(format.load(loaded, platform, file), Outcome::Done);

    const int lastCol = 2 + format.fareCount;
    for (int row = 1; row <= FareTable::LastRow; ++row) {
        for (int col = 1; col <= FareTable::LastCol; ++col) {
            QString expected;
            if (row <= 201 && (col == 1 || (col >= 3 && col <= lastCol)))
                expected = original.text(row, col);
            if (row <= 201 && col == 2 && format.keepsTicketNo)
                expected = original.text(row, col).isEmpty() ? QStringLiteral("0")
                                                             : original.text(row, col);
            if (row == 4 && col == 5)
                expected.clear(); // a stored 0 is an empty cell
            if (row == 5 && col == 6)
                expected = QStringLiteral("12"); // halves go to the even neighbour
            QVERIFY2(loaded.text(row, col) == expected,
                     qPrintable(QStringLiteral("(%1, %2): \"%3\", expected \"%4\"")
                                    .arg(row)
                                    .arg(col)
                                    .arg(loaded.text(row, col), expected)));
        }
    }
    // The route row and stop rows 1 to 200: 201 records.
    QCOMPARE(TestTables::readBytes(file).left(2), le16(201));
}

void TestOlderFormats::reservedWordIsIgnored()
{
    QByteArray patched = goldenHyp();
    const int reservedAt = 2 + TozaiName.size() + 2;
    QCOMPARE(patched.mid(reservedAt, 2), le16(0));
    patched.replace(reservedAt, 2, le16(-4661));
    const QString plain = path(QStringLiteral("plain.Hyp"));
    const QString odd = path(QStringLiteral("odd.Hyp"));
    QVERIFY(TestTables::writeBytes(plain, goldenHyp()));
    QVERIFY(TestTables::writeBytes(odd, patched));
    FareTable fromPlain;
    FareTable fromOdd;
    FakePlatform platform;
    QCOMPARE(LoadHyp(fromPlain, platform, plain), Outcome::Done);
    QCOMPARE(LoadHyp(fromOdd, platform, odd), Outcome::Done);
    QCOMPARE(TestTables::snapshot(fromOdd), TestTables::snapshot(fromPlain));
    QCOMPARE(fromOdd.text(1, 3), QStringLiteral("100"));
}

void TestOlderFormats::asksBeforeSaving_data()
{
    QTest::addColumn<Format>("format");
    QTest::addColumn<QString>("expectedText");
    QTest::addColumn<bool>("existingFile");
    const QString hyoText = QStringLiteral("☆旧バージョンの形式で保存しようとしています！\r\n"
                                           "\r\n"
                                           "※以下の情報は保存されません。よろしいですか？\r\n"
                                           "\r\n"
                                           "\u3000・201行、73列以降のデータ\r\n"
                                           "\u3000・「整理券番号列」に入れてあるデータ\r\n");
    const QString hypText =
        QStringLiteral("☆この形式は、Corvane自家用の旧形式です！\r\n"
                       "(このデータに対応したアプリ以外では意味がありません)\r\n"
                       "\r\n"
                       "※また、201行、73列以降のデータは保存されません。よろしいですか？\r\n");
    QTest::newRow("Hyo, new file") << hyo() << hyoText << false;
    QTest::newRow("Hyo, existing file") << hyo() << hyoText << true;
    QTest::newRow("Hyp, new file") << hyp() << hypText << false;
    QTest::newRow("Hyp, existing file") << hyp() << hypText << true;
}

void TestOlderFormats::asksBeforeSaving()
{
    QFETCH(Format, format);
    QFETCH(QString, expectedText);
    QFETCH(bool, existingFile);
    const QString file = path(QStringLiteral("asked") + format.extension);
    const QByteArray old("previous content");
    if (existingFile)
        QVERIFY(TestTables::writeBytes(file, old));
    FareTable table;
    fillTwoRows(table);
    const QStringList before = TestTables::snapshot(table);
    FakePlatform platform;
    platform.answers = {Platform::Answer::No};
    QCOMPARE(format.save(table, platform, file), Outcome::Declined);

    QCOMPARE(platform.messages.size(), 1);
    const FakePlatform::Message& asked = platform.messages.first();
    QCOMPARE(asked.text, expectedText);
    QCOMPARE(asked.title, QStringLiteral("旧バージョンでの保存確認"));
    QCOMPARE(asked.buttons, Platform::Buttons::YesNo);
    QCOMPARE(asked.icon, Platform::Icon::Exclamation);
    QCOMPARE(asked.defaultButton, Platform::Answer::Yes);
    QCOMPARE(QFileInfo::exists(file), existingFile);
    if (existingFile)
        QCOMPARE(TestTables::readBytes(file), old);
    QCOMPARE(TestTables::snapshot(table), before);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files).size(), existingFile ? 1 : 0);
}

void TestOlderFormats::failedSaveAfterYesKeepsTheOldFile_data()
{
    QTest::addColumn<Format>("format");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("reason");
    for (const Format& format : {hyo(), hyp()}) {
        const QByteArray name = format.extension.toLatin1();
        QTest::newRow((name + ": empty route name").constData())
            << format << 1 << 1 << QString() << QStringLiteral("系統名称");
        QTest::newRow((name + ": fare overflows").constData())
            << format << 2 << 4 << QStringLiteral("40000") << QStringLiteral("40000");
        QTest::newRow((name + ": name not in code page 932").constData())
            << format << 2 << 1 << QStringLiteral("駅🚌") << QStringLiteral("U+1F68C");
    }
}

void TestOlderFormats::failedSaveAfterYesKeepsTheOldFile()
{
    QFETCH(Format, format);
    QFETCH(int, row);
    QFETCH(int, col);
    QFETCH(QString, text);
    QFETCH(QString, reason);
    const QString file = path(QStringLiteral("kept") + format.extension);
    const QByteArray old("previous content");
    QVERIFY(TestTables::writeBytes(file, old));
    FareTable table;
    fillTwoRows(table);
    table.SetCell(row, col, text);
    FakePlatform platform;
    platform.answers = {Platform::Answer::Yes};
    QCOMPARE(format.save(table, platform, file), Outcome::Failed);
    QCOMPARE(TestTables::readBytes(file), old);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{QFileInfo(file).fileName()});
    QCOMPARE(platform.messages.size(), 2);
    const FakePlatform::Message& failure = platform.messages.last();
    QVERIFY2(failure.text.contains(reason), qPrintable(failure.text));
    QCOMPARE(failure.title, QString());
    QCOMPARE(failure.buttons, Platform::Buttons::Ok);
    QCOMPARE(platform.busyDepth, 0);
    QVERIFY(!table.isHidden());
}

void TestOlderFormats::truncatedFileChangesNothing_data()
{
    QTest::addColumn<Format>("format");
    QTest::addColumn<QByteArray>("golden");
    QTest::newRow("Hyo") << hyo() << goldenHyo();
    QTest::newRow("Hyp") << hyp() << goldenHyp();
}

void TestOlderFormats::truncatedFileChangesNothing()
{
    QFETCH(Format, format);
    QFETCH(QByteArray, golden);
    const QString file = path(QStringLiteral("cut") + format.extension);
    FareTable table;
    TestTables::fillTagged(table);
    const QStringList before = TestTables::snapshot(table);
    // Every length short of the whole file ends inside some field: the count, a name length, a
    // name, a ticket number, the reserved word or a fare.
    for (int length = 0; length < golden.size(); ++length) {
        QVERIFY(TestTables::writeBytes(file, golden.left(length)));
        FakePlatform platform;
        QVERIFY2(format.load(table, platform, file) == Outcome::Failed,
                 qPrintable(QStringLiteral("length %1").arg(length)));
        QCOMPARE(platform.messages.size(), 1);
        QVERIFY(platform.messages.first().text.contains(QStringLiteral("表は変更していません")));
        QCOMPARE(platform.busyDepth, 0);
    }
    QCOMPARE(TestTables::snapshot(table), before);
    // Bytes after the last record are ignored.
    QVERIFY(TestTables::writeBytes(file, golden + QByteArray("\x01\x02\x03")));
    FakePlatform platform;
    QCOMPARE(format.load(table, platform, file), Outcome::Done);
    QCOMPARE(table.text(2, 1), QStringLiteral("A"));
}

void TestOlderFormats::impossibleRecordCountChangesNothing_data()
{
    QTest::addColumn<Format>("format");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("reason");
    for (const Format& format : {hyo(), hyp()}) {
        const QByteArray name = format.extension.toLatin1();
        QTest::newRow((name + ": 0").constData())
            << format << 0 << QStringLiteral("レコード数が 0 です");
        QTest::newRow((name + ": -1").constData())
            << format << -1 << QStringLiteral("レコード数が -1 です");
        QTest::newRow((name + ": -32768").constData())
            << format << -32768 << QStringLiteral("レコード数が -32768 です");
        QTest::newRow((name + ": 302").constData()) << format << 302 << QStringLiteral("302");
        QTest::newRow((name + ": 32767").constData()) << format << 32767 << QStringLiteral("32767");
        QTest::newRow((name + ": 3 for 2 records").constData())
            << format << 3 << QStringLiteral("途中で切れています");
    }
}

void TestOlderFormats::impossibleRecordCountChangesNothing()
{
    QFETCH(Format, format);
    QFETCH(int, count);
    QFETCH(QString, reason);
    QByteArray bytes = format.keepsTicketNo ? goldenHyp() : goldenHyo();
    bytes.replace(0, 2, le16(count));
    const QString file = path(QStringLiteral("count") + format.extension);
    QVERIFY(TestTables::writeBytes(file, bytes));
    FareTable table;
    TestTables::fillTagged(table);
    const QStringList before = TestTables::snapshot(table);
    FakePlatform platform;
    QCOMPARE(format.load(table, platform, file), Outcome::Failed);
    QCOMPARE(TestTables::snapshot(table), before);
    QCOMPARE(platform.messages.size(), 1);
    QVERIFY2(platform.messages.first().text.contains(reason),
             qPrintable(platform.messages.first().text));
}

QTEST_GUILESS_MAIN(TestOlderFormats)
#include "tst_olderformats.moc"
