// Reading text and CSV files into the table.
#include "fakeplatform.h"
#include "model/cp932.h"
#include "model/faretable.h"
#include "testtables.h"
#include "text/textexport.h"
#include "text/textimport.h"

#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

/** "k=v k=v": the fares of tickets k that are not 0. */
QString faresOf(const FareRecord& record)
{
    QStringList parts;
    for (int k = 1; k <= FareRecord::FareCount; ++k)
        if (record.Fares[k - 1] != 0)
            parts.append(QStringLiteral("%1=%2").arg(k).arg(record.Fares[k - 1]));
    return parts.join(u' ');
}

/** Lines "name<i>,<i>" for i = 1..count, each ended by CR LF. */
QByteArray numberedLines(int count)
{
    QByteArray bytes;
    for (int i = 1; i <= count; ++i)
        bytes += "name" + QByteArray::number(i) + ',' + QByteArray::number(i % 1000) + "\r\n";
    return bytes;
}

QByteArray sjis(const QString& text)
{
    return Cp932::encode(text).bytes;
}

} // namespace

class TestTextImport : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void parseLine_data();
    void parseLine();
    void parsesText_data();
    void parsesText();
    void partialBytes_data();
    void partialBytes();
    void hugeLinesStayLinear();
    void loadReplacesTheTable();
    void blankFirstLineEmptiesTheTable_data();
    void blankFirstLineEmptiesTheTable();
    void failedLoadChangesNothing_data();
    void failedLoadChangesNothing();
    void exportedTableReadsBack();

private:
    QString path(const QString& name) const { return m_dir->filePath(name); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestTextImport::parseLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("ticketNo");
    QTest::addColumn<QString>("fares");
    QTest::addColumn<int>("overflowField");

    QTest::newRow("as exported") << QStringLiteral("東線,1, 100, 200") << QStringLiteral("東線")
                                 << 1 << QStringLiteral("1=100 2=200") << 0;
    QTest::newRow("tabs") << QStringLiteral("東線\t1\t100\t200") << QStringLiteral("東線") << 1
                          << QStringLiteral("1=100 2=200") << 0;
    QTest::newRow("full-width commas")
        << QStringLiteral("東線，1，100，200") << QStringLiteral("東線") << 1
        << QStringLiteral("1=100 2=200") << 0;
    QTest::newRow("all three mixed") << QStringLiteral("東線\t1，100,200") << QStringLiteral("東線")
                                     << 1 << QStringLiteral("1=100 2=200") << 0;
    QTest::newRow("quoted name") << QStringLiteral("\"東線\",\"1\",\"100\"")
                                 << QStringLiteral("東線") << 1 << QStringLiteral("1=100") << 0;
    QTest::newRow("quotes do not group")
        << QStringLiteral("\"東,線\",7") << QStringLiteral("東") << 0 << QStringLiteral("1=7") << 0;
    QTest::newRow("name keeps trailing blanks only")
        << QStringLiteral("  駅 前  ,3") << QStringLiteral("駅 前  ") << 3 << QString() << 0;
    QTest::newRow("full-width blank is not a space")
        << QStringLiteral("\u3000駅前,3") << QStringLiteral("\u3000駅前") << 3 << QString() << 0;
    QTest::newRow("no separator: name only")
        << QStringLiteral("駅前") << QStringLiteral("駅前") << 0 << QString() << 0;
    QTest::newRow("empty line") << QString() << QString() << 0 << QString() << 0;
    QTest::newRow("empty fields are 0")
        << QStringLiteral("a,,, 5,,") << QStringLiteral("a") << 0 << QStringLiteral("2=5") << 0;
    QTest::newRow("no name") << QStringLiteral(",5,6") << QString() << 5 << QStringLiteral("1=6")
                             << 0;
    QTest::newRow("numbers as a save reads them")
        << QStringLiteral("a,&H10,12.5,13.5,1 2,210円,-5,word,1e2") << QStringLiteral("a") << 16
        << QStringLiteral("1=12 2=14 3=12 4=210 5=-5 7=100") << 0;
    QTest::newRow("whole numbers of every length")
        << QStringLiteral("a,12345, -9999 ,-,- 5,0007,32767,-32768") << QStringLiteral("a") << 12345
        << QStringLiteral("1=-9999 3=-5 4=7 5=32767 6=-32768") << 0;
    QTest::newRow("line feeds run on")
        << QStringLiteral("東線\n,1\n2, 3\n") << QStringLiteral("東線\n") << 12
        << QStringLiteral("1=3") << 0;
    QTest::newRow("ticket number overflows")
        << QStringLiteral("a,40000") << QStringLiteral("a") << 0 << QString() << 2;
    QTest::newRow("fare overflows")
        << QStringLiteral("a,1,5,-32769") << QStringLiteral("a") << 1 << QStringLiteral("1=5") << 4;
    QTest::newRow("limits fit") << QStringLiteral("a,-32768,32767,-32768.5") << QStringLiteral("a")
                                << -32768 << QStringLiteral("1=32767 2=-32768") << 0;
    // The field is taken as it grows: "40000" overflows before "E-1" would bring it back.
    QTest::newRow("mantissa overflows before its exponent")
        << QStringLiteral("a,1,40000E-1") << QStringLiteral("a") << 1 << QString() << 3;
    QTest::newRow("small mantissa with exponent")
        << QStringLiteral("a,1,4000E-1") << QStringLiteral("a") << 1 << QStringLiteral("1=400")
        << 0;

    // 152 fields exactly, then more: every field after the 152nd replaces it.
    QStringList fields{QStringLiteral("n"), QStringLiteral("9")};
    for (int k = 1; k <= 150; ++k)
        fields.append(QString::number(k));
    QString all;
    for (int k = 1; k <= 150; ++k)
        all += (k == 1 ? QString() : QStringLiteral(" ")) + QStringLiteral("%1=%1").arg(k);
    const QString upTo149 = all.left(all.lastIndexOf(u' '));
    QTest::newRow("152 fields") << fields.join(u',') << QStringLiteral("n") << 9 << all << 0;
    QTest::newRow("153 fields: the last replaces the 152nd")
        << (fields.join(u',') + QStringLiteral(",777")) << QStringLiteral("n") << 9
        << (upTo149 + QStringLiteral(" 150=777")) << 0;
    QTest::newRow("a separator after the 152nd empties it")
        << (fields.join(u',') + u',') << QStringLiteral("n") << 9 << upTo149 << 0;
    QTest::newRow("a replaced field that overflowed still fails")
        << (fields.join(u',') + QStringLiteral(",99999,5")) << QStringLiteral("n") << 9 << all
        << 152;
    QStringList many{QStringLiteral("long")};
    for (int k = 2; k <= 500; ++k)
        many.append(QString::number(k));
    QTest::newRow("500 fields") << many.join(QStringLiteral(", ")) << QStringLiteral("long") << 2 <<
        [] {
            QStringList p;
            for (int k = 1; k < 150; ++k)
                p.append(QStringLiteral("%1=%2").arg(k).arg(k + 2));
            p.append(QStringLiteral("150=500"));
            return p.join(u' ');
        }() << 0;
}

void TestTextImport::parseLine()
{
    QFETCH(QString, line);
    QFETCH(QString, name);
    QFETCH(int, ticketNo);
    QFETCH(QString, fares);
    QFETCH(int, overflowField);
    const ParsedLine parsed = ParseLine(line);
    QCOMPARE(parsed.overflowField, overflowField);
    QCOMPARE(parsed.ok(), overflowField == 0);
    if (!parsed.ok()) {
        QVERIFY(!parsed.overflowText.isEmpty());
        return;
    }
    QCOMPARE(parsed.record.Name, name);
    QCOMPARE(int(parsed.record.TicketNo), ticketNo);
    QCOMPARE(faresOf(parsed.record), fares);
}

void TestTextImport::parsesText_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("status");
    QTest::addColumn<QStringList>("names"); // first, second and last record's names
    QTest::addColumn<int>("records");
    QTest::addColumn<int>("lineCount");
    QTest::addColumn<int>("firstBlankLine");
    QTest::addColumn<int>("linesAfterBlank");
    QTest::addColumn<int>("linesBeyondLimit");
    const int ok = int(TextImport::Status::Ok);
    const int countOverflow = int(TextImport::Status::CountOverflow);
    const int fieldOverflow = int(TextImport::Status::FieldOverflow);
    const QString a = QStringLiteral("a");
    const QString b = QStringLiteral("b");
    const QString c = QStringLiteral("c");

    QTest::newRow("CR LF") << QByteArray("a,1\r\nb,2\r\n") << ok << QStringList{a, b, b} << 2 << 2
                           << 0 << 0 << 0;
    QTest::newRow("lone CR") << QByteArray("a,1\rb,2\rc") << ok << QStringList{a, b, c} << 3 << 3
                             << 0 << 0 << 0;
    QTest::newRow("lone LF is one line")
        << QByteArray("a,1\nb,2\nc\n") << ok << QStringList{a, a, a} << 1 << 1 << 0 << 0 << 0;
    QTest::newRow("last line without its end")
        << QByteArray("a\r\nb") << ok << QStringList{a, b, b} << 2 << 2 << 0 << 0 << 0;
    QTest::newRow("blank third line") << QByteArray("a\r\nb\r\n\r\nc\r\nd\r\n\r\n") << ok
                                      << QStringList{a, b, b} << 2 << 2 << 3 << 2 << 0;
    QTest::newRow("spaces make a blank line")
        << QByteArray("a\r\n   \r\nc") << ok << QStringList{a, a, a} << 1 << 1 << 2 << 1 << 0;
    QTest::newRow("a tab is not blank") << QByteArray("a\r\n\t\r\nc") << ok
                                        << QStringList{a, QString(), c} << 3 << 3 << 0 << 0 << 0;
    QTest::newRow("a full-width blank is not blank")
        << QByteArray("a\r\n\x81\x40\r\nc") << ok << QStringList{a, QStringLiteral("\u3000"), c}
        << 3 << 3 << 0 << 0 << 0;
    QTest::newRow("LF after the last CR LF is a line")
        << QByteArray("a\r\n\n") << ok << QStringList{a, QStringLiteral("\n"), QStringLiteral("\n")}
        << 2 << 2 << 0 << 0 << 0;
    QTest::newRow("first line empty")
        << QByteArray("\r\na\r\n") << ok << QStringList() << 0 << 0 << 1 << 1 << 0;
    QTest::newRow("first line spaces")
        << QByteArray("  \ra") << ok << QStringList() << 0 << 0 << 1 << 1 << 0;
    QTest::newRow("empty file") << QByteArray() << ok << QStringList() << 0 << 0 << 0 << 0 << 0;
    QTest::newRow("400 lines") << numberedLines(400) << ok
                               << QStringList{QStringLiteral("name1"), QStringLiteral("name2"),
                                              QStringLiteral("name301")}
                               << 301 << 400 << 0 << 0 << 99;
    QTest::newRow("32767 lines") << numberedLines(32767) << ok
                                 << QStringList{QStringLiteral("name1"), QStringLiteral("name2"),
                                                QStringLiteral("name301")}
                                 << 301 << 32767 << 0 << 0 << 32466;
    QTest::newRow("32768 lines overflow")
        << numberedLines(32768) << countOverflow << QStringList() << 0 << 32768 << 0 << 0 << 0;
    QTest::newRow("40000 lines overflow")
        << numberedLines(40000) << countOverflow << QStringList() << 0 << 32768 << 0 << 0 << 0;
    QTest::newRow("40000 lines after a blank fifth line")
        << (numberedLines(4) + "\r\n" + numberedLines(40000)) << ok
        << QStringList{QStringLiteral("name1"), QStringLiteral("name2"), QStringLiteral("name4")}
        << 4 << 4 << 5 << 40000 << 0;
    QTest::newRow("overflowing fare in line 2")
        << QByteArray("a,1\r\nb,1,99999\r\n") << fieldOverflow << QStringList() << 0 << 2 << 0 << 0
        << 0;
    QTest::newRow("overflow beyond line 301 is never read")
        << (numberedLines(301) + "b,1,99999\r\n") << ok
        << QStringList{QStringLiteral("name1"), QStringLiteral("name2"), QStringLiteral("name301")}
        << 301 << 302 << 0 << 0 << 1;
    QTest::newRow("invalid Shift-JIS goes on")
        << QByteArray("\x93\x8c\x85\x90\xfc,1\r\n\x82,2\r\n") << ok
        << QStringList{QStringLiteral("東\uFFFD線"), QStringLiteral("\uFFFD"),
                       QStringLiteral("\uFFFD")}
        << 2 << 2 << 0 << 0 << 0;
    QTest::newRow("NUL bytes are characters")
        << QByteArray("a\0b,1\r\n\0\r\n", 10) << ok
        << QStringList{QString(QStringLiteral("a") + QChar(0) + QStringLiteral("b")),
                       QString(QChar(0)), QString(QChar(0))}
        << 2 << 2 << 0 << 0 << 0;
    QTest::newRow("CR inside a double-byte character cannot occur")
        << (sjis(QStringLiteral("東線\r駅前")) + "\r\n") << ok
        << QStringList{QStringLiteral("東線"), QStringLiteral("駅前"), QStringLiteral("駅前")} << 2
        << 2 << 0 << 0 << 0;
}

void TestTextImport::parsesText()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, status);
    QFETCH(QStringList, names);
    QFETCH(int, records);
    QFETCH(int, lineCount);
    QFETCH(int, firstBlankLine);
    QFETCH(int, linesAfterBlank);
    QFETCH(int, linesBeyondLimit);
    const TextImport parsed = parseText(bytes);
    QCOMPARE(int(parsed.status), status);
    QCOMPARE(parsed.ok(), parsed.error.isEmpty());
    QCOMPARE(parsed.records.size(), records);
    QCOMPARE(parsed.lineCount, lineCount);
    if (!parsed.ok())
        return;
    QCOMPARE(parsed.firstBlankLine, firstBlankLine);
    QCOMPARE(parsed.linesAfterBlank, linesAfterBlank);
    QCOMPARE(parsed.linesBeyondLimit, linesBeyondLimit);
    if (records > 0) {
        QCOMPARE(names.size(), 3);
        QCOMPARE(parsed.records.first().Name, names[0]);
        QCOMPARE(parsed.records.value(1, parsed.records.first()).Name, names[1]);
        QCOMPARE(parsed.records.last().Name, names[2]);
    }
}

void TestTextImport::partialBytes_data()
{
    // The bytes are the beginning of a file too large to read whole.
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("records");
    const int ok = int(TextImport::Status::Ok);
    const int tooLarge = int(TextImport::Status::TooLarge);
    QTest::newRow("blank line within") << QByteArray("a\r\nb\r\n\r\nmore") << ok << 2;
    QTest::newRow("blank line at the very end") << QByteArray("a\r\n  \r") << ok << 1;
    QTest::newRow("no blank line") << QByteArray("a\r\nb\r\nc") << tooLarge << 0;
    QTest::newRow("ends with a line end") << QByteArray("a\r\nb\r\n") << tooLarge << 0;
    QTest::newRow("spaces that may go on") << QByteArray("a\r\n   ") << tooLarge << 0;
    QTest::newRow("overflow reached")
        << numberedLines(32768) << int(TextImport::Status::CountOverflow) << 0;
    QTest::newRow("overflow with the 32768th line cut")
        << (numberedLines(32767) + "nam") << int(TextImport::Status::CountOverflow) << 0;
}

void TestTextImport::partialBytes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, status);
    QFETCH(int, records);
    const TextImport parsed = parseText(bytes, false);
    QCOMPARE(int(parsed.status), status);
    QCOMPARE(parsed.records.size(), records);
}

void TestTextImport::hugeLinesStayLinear()
{
    // Ten megabytes on one line: a name, numbers, then fields far beyond the 152nd.
    const QByteArray name(10 * 1024 * 1024, 'x');
    TextImport parsed = parseText(name + "\r\n");
    QVERIFY(parsed.ok());
    QCOMPARE(parsed.records.size(), 1);
    QCOMPARE(parsed.records.first().Name.size(), name.size());

    const QByteArray fields = QByteArray("route,1").append(QByteArray(", 12").repeated(2'500'000));
    parsed = parseText(fields);
    QVERIFY(parsed.ok());
    QCOMPARE(int(parsed.records.first().TicketNo), 1);
    QCOMPARE(int(parsed.records.first().Fares[149]), 12);

    const QByteArray digits = "route,1," + QByteArray(10 * 1024 * 1024, '7');
    parsed = parseText(digits);
    QCOMPARE(parsed.status, TextImport::Status::FieldOverflow);

    const QByteArray lineFeeds = "route" + QByteArray("\n,1").repeated(3'000'000);
    parsed = parseText(lineFeeds);
    QVERIFY(parsed.ok());
    QCOMPARE(parsed.records.size(), 1);
    QCOMPARE(int(parsed.records.first().Fares[149]), 1);
}

void TestTextImport::loadReplacesTheTable()
{
    const QString file = path(QStringLiteral("in.csv"));
    QVERIFY(TestTables::writeBytes(file, sjis(QStringLiteral("東線\r\n駅前,0,0,150\r\n"))));
    FareTable table;
    TestTables::fillTagged(table);
    FakePlatform platform;
    QCOMPARE(LoadText(table, platform, file), Outcome::Done);
    QVERIFY(platform.messages.isEmpty());
    QCOMPARE(platform.busyDepth, 0);
    QVERIFY(!table.isHidden());

    FareTable expected;
    expected.SetCell(1, 1, QStringLiteral("東線"));
    expected.SetCell(1, 2, QStringLiteral("0")); // the ticket number is always written
    expected.SetCell(2, 1, QStringLiteral("駅前"));
    expected.SetCell(2, 2, QStringLiteral("0"));
    expected.SetCell(2, 4, QStringLiteral("150")); // a fare of 0 is an empty cell
    QCOMPARE(TestTables::snapshot(table), TestTables::snapshot(expected));
    QCOMPARE(table.CurRow(), 2);
    QCOMPARE(table.CurCol(), 152);
}

void TestTextImport::blankFirstLineEmptiesTheTable_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("empty first line") << QByteArray("\r\n東線,1\r\n");
    QTest::newRow("spaces only") << QByteArray("    ");
}

void TestTextImport::blankFirstLineEmptiesTheTable()
{
    QFETCH(QByteArray, bytes);
    const QString file = path(QStringLiteral("blank.txt"));
    QVERIFY(TestTables::writeBytes(file, bytes));
    FareTable table;
    TestTables::fillTagged(table);
    FakePlatform platform;
    QCOMPARE(LoadText(table, platform, file), Outcome::Done);
    QVERIFY(platform.messages.isEmpty());
    QCOMPARE(TestTables::snapshot(table), TestTables::snapshot(FareTable()));
    QCOMPARE(table.CurRow(), 301);
    QCOMPARE(table.CurCol(), 152);
}

void TestTextImport::failedLoadChangesNothing_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing file") << QStringLiteral("missing.txt") << QByteArray()
                                  << QStringLiteral("見つかりません");
    QTest::newRow("a folder") << QStringLiteral("folder.txt") << QByteArray()
                              << QStringLiteral("フォルダー");
    QTest::newRow("40000 lines") << QStringLiteral("long.txt") << numberedLines(40000)
                                 << QStringLiteral("32767");
    QTest::newRow("fare overflows")
        << QStringLiteral("big.csv") << QByteArray("a,1\r\nb,2\r\nc,3, 5, 40000\r\n")
        << QStringLiteral("3 行目の4 番目の項目（整理券 2 の運賃）の値「 40000」");
    QTest::newRow("ticket number overflows")
        << QStringLiteral("ticket.csv") << QByteArray("a,-40000") << QStringLiteral("整理券番号");
    QTest::newRow("a long field is quoted briefly")
        << QStringLiteral("long.csv") << "a,1," + QByteArray(100000, '9')
        << QStringLiteral("「%1…」").arg(QString(40, u'9'));
    QTest::newRow("a line feed in a field is shown, not broken")
        << QStringLiteral("lf.csv") << QByteArray("a,1\n99999") << QStringLiteral("「1\\n99999」");
}

void TestTextImport::failedLoadChangesNothing()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    const QString file = path(fileName);
    if (fileName.startsWith(QLatin1String("folder")))
        QVERIFY(QDir(m_dir->path()).mkdir(fileName));
    else if (!fileName.startsWith(QLatin1String("missing")))
        QVERIFY(TestTables::writeBytes(file, bytes));
    FareTable table;
    TestTables::fillTagged(table);
    table.setCurrentCell(7, 9);
    const QStringList before = TestTables::snapshot(table);
    FakePlatform platform;
    QCOMPARE(LoadText(table, platform, file), Outcome::Failed);
    QCOMPARE(TestTables::snapshot(table), before);
    QCOMPARE(table.CurRow(), 7);
    QCOMPARE(table.CurCol(), 9);
    QCOMPARE(platform.messages.size(), 1);
    const FakePlatform::Message& failure = platform.messages.first();
    QVERIFY2(failure.text.contains(reason), qPrintable(failure.text));
    QVERIFY(failure.text.contains(fileName));
    QCOMPARE(failure.title, QString());
    QCOMPARE(failure.buttons, Platform::Buttons::Ok);
    QCOMPARE(platform.busyDepth, 0);
    QVERIFY(!table.isHidden());
}

void TestTextImport::exportedTableReadsBack()
{
    FareTable original;
    TestTables::fillFull(original);
    original.SetCell(2, 1, QStringLiteral("  駅前")); // leading blanks of a name are lost
    original.SetCell(3, 1, QStringLiteral("駅前  ")); // trailing ones stay
    original.SetCell(4, 2, QString());                // an empty ticket number comes back "0"
    original.SetCell(5, 3, QStringLiteral(" 120 "));  // fares come back as their numbers
    original.SetCell(6, 4, QStringLiteral("210円"));
    original.SetCell(7, 5, QStringLiteral("word"));
    original.SetCell(8, 6, QStringLiteral("0"));
    original.SetCell(9, 7, QStringLiteral("12.5"));
    original.SetCell(10, 1, QStringLiteral("駅,前")); // a comma shifts the row by one field

    FakePlatform platform;
    const QString file = path(QStringLiteral("round.txt"));
    QCOMPARE(exportText(original, platform, file), Outcome::Done);
    FareTable loaded;
    QCOMPARE(LoadText(loaded, platform, file), Outcome::Done);
    QVERIFY(platform.messages.isEmpty());

    FareTable expected;
    for (int row = 1; row <= FareTable::LastRow; ++row)
        for (int col = 1; col <= FareTable::LastCol; ++col)
            expected.SetCell(row, col, original.text(row, col));
    expected.SetCell(2, 1, QStringLiteral("駅前"));
    expected.SetCell(4, 2, QStringLiteral("0"));
    expected.SetCell(5, 3, QStringLiteral("120"));
    expected.SetCell(6, 4, QStringLiteral("210"));
    expected.SetCell(7, 5, QString());
    expected.SetCell(8, 6, QString());
    expected.SetCell(9, 7, QStringLiteral("12"));
    // Row 10 reads "駅", "前" (no number: 0), then its ticket number and fares one field late;
    // the line's 153rd field, the last fare, replaces the 152nd.
    expected.SetCell(10, 1, QStringLiteral("駅"));
    expected.SetCell(10, 2, QStringLiteral("0"));
    for (int col = 3; col <= 151; ++col)
        expected.SetCell(10, col, original.text(10, col - 1));
    QCOMPARE(TestTables::snapshot(loaded), TestTables::snapshot(expected));
}

QTEST_GUILESS_MAIN(TestTextImport)
#include "tst_textimport.moc"
