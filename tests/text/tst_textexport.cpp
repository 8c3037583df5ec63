// Writing the table as comma-separated text.
#include "fakeplatform.h"
#include "model/faretable.h"
#include "testtables.h"
#include "text/textexport.h"

#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

QByteArray repeated(const char* piece, int times)
{
    return QByteArray(piece).repeated(times);
}

} // namespace

class TestTextExport : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void writesTheLinesByteForByte_data();
    void writesTheLinesByteForByte();
    void emptyRouteNameWritesAnEmptyFile();
    void unencodableCharacterKeepsTheOldFile_data();
    void unencodableCharacterKeepsTheOldFile();
    void unwritablePathFails();
    void fullTableWritesEveryRow();

private:
    QString path(const QString& name) const { return m_dir->filePath(name); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestTextExport::writesTheLinesByteForByte_data()
{
    QTest::addColumn<QString>("fileName");
    // The extension plays no part.
    QTest::newRow("txt") << QStringLiteral("out.txt");
    QTest::newRow("csv") << QStringLiteral("out.csv");
    QTest::newRow("no extension") << QStringLiteral("out");
}

void TestTextExport::writesTheLinesByteForByte()
{
    QFETCH(QString, fileName);
    FareTable table;
    table.SetCell(1, 1, QStringLiteral(" 東線 "));   // blanks around the name stay
    table.SetCell(1, 3, QStringLiteral("  120 "));   // a fare loses its blanks
    table.SetCell(1, 4, QStringLiteral("word"));     // text that is no number is written as is
    table.SetCell(1, 5, QStringLiteral("\u300080")); // a full-width blank is not a space
    table.SetCell(1, 152, QStringLiteral("9 "));
    table.SetCell(2, 1, QStringLiteral("駅,前")); // no quoting
    table.SetCell(2, 2, QStringLiteral(" 3"));    // the ticket number is written unchanged
    table.SetCell(2, 3, QStringLiteral("1 2"));   // inner blanks stay
    table.SetCell(4, 1, QStringLiteral("孤立"));  // below the empty name of row 3
    table.SetCell(4, 3, QStringLiteral("500"));
    FakePlatform platform;
    const QString file = path(fileName);
    QCOMPARE(exportText(table, platform, file), Outcome::Done);

    const QByteArray expected =
        // " 東線 " "," (no ticket number) then fares 120, word, "　80", 146 empty, 9
        QByteArray(" \x93\x8c\x90\xfc ,, 120, word, \x81\x40"
                   "80") +
        repeated(", ", 146) + QByteArray(", 9\r\n") +
        // "駅,前" "," " 3" then fares "1 2" and 149 empty
        QByteArray("\x89\x77,\x91\x4f, 3, 1 2") + repeated(", ", 149) + QByteArray("\r\n");
    QCOMPARE(TestTables::readBytes(file), expected);
    QVERIFY(platform.messages.isEmpty());
    QCOMPARE(platform.busyDepth, 0);
    QVERIFY(platform.busyCalls > 0);
    QVERIFY(!table.isHidden());
    // The cells were read as GetCell reads them: the last one read is current.
    QCOMPARE(table.CurRow(), 2);
    QCOMPARE(table.CurCol(), 152);
}

void TestTextExport::emptyRouteNameWritesAnEmptyFile()
{
    const QString file = path(QStringLiteral("empty.txt"));
    QVERIFY(TestTables::writeBytes(file, "old content"));
    FareTable table;
    table.SetCell(2, 1, QStringLiteral("駅前"));
    table.SetCell(1, 3, QStringLiteral("100"));
    FakePlatform platform;
    QCOMPARE(exportText(table, platform, file), Outcome::Done);
    QVERIFY(QFileInfo::exists(file));
    QCOMPARE(QFileInfo(file).size(), 0);
    QVERIFY(platform.messages.isEmpty());
}

void TestTextExport::unencodableCharacterKeepsTheOldFile_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("where");
    QTest::addColumn<QString>("character");
    QTest::newRow("route name") << 1 << 1 << QStringLiteral("東線🚌") << QStringLiteral("系統名称")
                                << QStringLiteral("U+1F68C");
    QTest::newRow("ticket number") << 2 << 2 << QStringLiteral("한") << QStringLiteral("整理券番号")
                                   << QStringLiteral("U+D55C");
    QTest::newRow("last fare of the last row")
        << 3 << 152 << QStringLiteral("\u20AC5")
        << QStringLiteral("停留所 2 の行の整理券 150 の運賃") << QStringLiteral("U+20AC");
    QTest::newRow("long text quoted briefly")
        << 2 << 5 << (QString(50, u'x') + u'\u20AC')
        << QStringLiteral("「%1…」").arg(QString(40, u'x')) << QStringLiteral("U+20AC");
}

void TestTextExport::unencodableCharacterKeepsTheOldFile()
{
    QFETCH(int, row);
    QFETCH(int, col);
    QFETCH(QString, text);
    QFETCH(QString, where);
    QFETCH(QString, character);
    const QString file = path(QStringLiteral("kept.csv"));
    const QByteArray old("old content");
    QVERIFY(TestTables::writeBytes(file, old));
    FareTable table;
    for (int r = 1; r <= 3; ++r)
        table.SetCell(r, 1, QStringLiteral("駅%1").arg(r));
    table.SetCell(row, col, text);
    FakePlatform platform;
    QCOMPARE(exportText(table, platform, file), Outcome::Failed);
    QCOMPARE(TestTables::readBytes(file), old);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{QStringLiteral("kept.csv")});
    QCOMPARE(platform.messages.size(), 1);
    const FakePlatform::Message& failure = platform.messages.first();
    QVERIFY2(failure.text.contains(where), qPrintable(failure.text));
    QVERIFY2(failure.text.contains(character), qPrintable(failure.text));
    QCOMPARE(failure.title, QString());
    QCOMPARE(failure.buttons, Platform::Buttons::Ok);
    QCOMPARE(platform.busyDepth, 0);
    QVERIFY(!table.isHidden());
}

void TestTextExport::unwritablePathFails()
{
    FareTable table;
    table.SetCell(1, 1, QStringLiteral("東線"));
    FakePlatform platform;
    const QString file = path(QStringLiteral("missing/folder/out.txt"));
    QCOMPARE(exportText(table, platform, file), Outcome::Failed);
    QVERIFY(!QFileInfo::exists(file));
    QCOMPARE(platform.messages.size(), 1);
    QVERIFY(platform.messages.first().text.contains(QStringLiteral("out.txt")));
}

void TestTextExport::fullTableWritesEveryRow()
{
    FareTable table;
    TestTables::fillFull(table);
    FakePlatform platform;
    const QString file = path(QStringLiteral("full.txt"));
    QCOMPARE(exportText(table, platform, file), Outcome::Done);
    const QList<QByteArray> lines = TestTables::readBytes(file).split('\n');
    QCOMPARE(lines.size(), 302); // 301 lines and the empty rest after the last line end
    QVERIFY(lines.last().isEmpty());
    for (int row = 1; row <= 301; ++row) {
        const QByteArray& line = lines[row - 1];
        QVERIFY(line.endsWith('\r'));
        QCOMPARE(line.count(','), 151);
        QCOMPARE(line.count(", "), 150);
    }
    QVERIFY(lines[300].contains(",301, "));
}

QTEST_GUILESS_MAIN(TestTextExport)
#include "tst_textexport.moc"
