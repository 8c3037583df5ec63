// Text and CSV files: how a line splits into fields, how a file splits into lines, the bytes the
// export writes, and the code page 932 conversion that all files use. Damaged files and failing
// saves are in tests/reliability.
#include "fakeplatform.h"
#include "model/cp932.h"
#include "model/faretable.h"
#include "testtables.h"
#include "text/textencoding.h"
#include "text/textexport.h"
#include "text/textimport.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace TestTables;

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

} // namespace

class TestTextFiles : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }
    void parseLine_data();
    void parseLine();
    void parsesText_data();
    void parsesText();
    void lineLossesAtTheLimit();
    void hugeLinesStayLinear();
    void loadReplacesTheTable_data();
    void loadReplacesTheTable();
    void exportWritesTheLinesByteForByte();
    void emptyRouteNameExportsAnEmptyFile();
    void fullTableRoundTrip();
    void convertsLikeCp932_data();
    void convertsLikeCp932();
    void unencodableCharacterIsNamed_data();
    void unencodableCharacterIsNamed();

private:
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
};

void TestTextFiles::parseLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("ticketNo");
    QTest::addColumn<QString>("fares");
    QTest::addColumn<int>("overflowField");
    const auto row = [](const char* name, const QByteArray& line, const char* field, int ticketNo,
                        const QByteArray& fares, int overflowField = 0) {
        QTest::newRow(name) << QString::fromUtf8(line) << QString::fromUtf8(field) << ticketNo
                            << QString::fromUtf8(fares) << overflowField;
    };
    row("as exported", "東線,1, 100, 200", "東線", 1, "1=100 2=200");
    row("tab, full-width comma and comma", "東線\t1，100,200", "東線", 1, "1=100 2=200");
    row("quoted fields", "\"東線\",\"1\",\"100\"", "東線", 1, "1=100");
    row("quotes do not group", "\"東,線\",7", "東", 0, "1=7");
    row("a name loses leading spaces only", "  \u3000駅 前  ,3", "\u3000駅 前  ", 3, "");
    row("no separator: name only", "駅前", "駅前", 0, "");
    row("no name, empty fields are 0", ",5,, 6,,", "", 5, "2=6");
    row("numbers as a save reads them", "a,&H10,12.5,13.5,1 2,210円,-5,word,1e2", "a", 16,
        "1=12 2=14 3=12 4=210 5=-5 7=100");
    row("whole numbers of every length", "a,12345, -9999 ,-,- 5,0007,32767,-32768", "a", 12345,
        "1=-9999 3=-5 4=7 5=32767 6=-32768");
    row("line feeds run on", "東線\n,1\n2, 3\n", "東線\n", 12, "1=3");
    row("ticket number overflows", "a,40000", "a", 0, "", 2);
    row("fare overflows", "a,1,5,-32769", "a", 1, "1=5", 4);
    row("limits fit", "a,-32768,32767,-32768.5", "a", -32768, "1=32767 2=-32768");
    // The field is taken as it grows: "40000" overflows before "E-1" would bring it back.
    row("mantissa overflows before its exponent", "a,1,40000E-1", "a", 1, "", 3);
    row("small mantissa with exponent", "a,1,4000E-1", "a", 1, "1=400");

    // 152 fields, then more: every field after the 152nd replaces it.
    QByteArrayList fields{"n", "9"};
    QByteArrayList fares;
    for (int k = 1; k <= 150; ++k) {
        fields.append(QByteArray::number(k));
        fares.append(QByteArray::number(k) + '=' + QByteArray::number(k));
    }
    const QByteArray upTo149 = fares.mid(0, 149).join(' ');
    row("153 fields: the last replaces the 152nd", fields.join(',') + ",777", "n", 9,
        upTo149 + " 150=777");
    row("a separator after the 152nd empties it", fields.join(',') + ',', "n", 9, upTo149);
    row("a replaced field that overflowed still fails", fields.join(',') + ",99999,5", "n", 9,
        fares.join(' '), 152);
}

void TestTextFiles::parseLine()
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

void TestTextFiles::parsesText_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("status");
    QTest::addColumn<QStringList>("names"); // first, second and last record's names
    QTest::addColumn<int>("records");
    // Count, first blank, after the blank, beyond 301, and fields left out and lone LFs when
    // not 0. None: the bytes are the beginning of a file too large to read whole.
    QTest::addColumn<QList<int>>("lines");
    const auto row = [](const char* name, const QByteArray& bytes, TextImport::Status status,
                        const char* names, int records, const QList<int>& lines) {
        QTest::newRow(name) << bytes << int(status) << QString::fromUtf8(names).split(u'|')
                            << records << lines;
    };
    const TextImport::Status ok = TextImport::Status::Ok;
    const TextImport::Status tooLarge = TextImport::Status::TooLarge;
    const TextImport::Status overflow = TextImport::Status::CountOverflow;
    row("CR LF, lone CR, last line without its end", "a,1\r\nb,2\rc", ok, "a|b|c", 3, {3, 0, 0, 0});
    row("lone LF is one line", "a,1\nb,2\nc\n", ok, "a|a|a", 1, {1, 0, 0, 0, 0, 3});
    row("blank third line", "a\r\nb\r\n\r\nc\r\nd\r\n\r\n", ok, "a|b|b", 2, {2, 3, 2, 0});
    row("spaces make a blank line", "a\r\n   \r\nc", ok, "a|a|a", 1, {1, 2, 1, 0});
    row("a tab or a full-width blank is not blank", "a\r\n\t\r\n\x81\x40\r\nc", ok, "a||c", 4,
        {4, 0, 0, 0});
    row("LF after the last CR LF is a line", "a\r\n\n", ok, "a|\n|\n", 2, {2, 0, 0, 0, 0, 1});
    row("fields after the 152nd and LFs, none counted after the blank line",
        "a" + QByteArray(160, ',') + "\r\nb\n,1\r\n\r\nc\n,,," + QByteArray(160, ','), ok,
        "a|b\n|b\n", 2, {2, 3, 1, 0, 9, 1});
    row("first line spaces", "  \ra", ok, "", 0, {0, 1, 1, 0});
    row("400 lines", numberedLines(400), ok, "name1|name2|name301", 301, {400, 0, 0, 99});
    row("32767 lines", numberedLines(32767), ok, "name1|name2|name301", 301, {32767, 0, 0, 32466});
    row("32768 lines overflow, counting stops there", numberedLines(32868), overflow, "", 0,
        {32768});
    row("40000 lines after a blank fifth line", numberedLines(4) + "\r\n" + numberedLines(40000),
        ok, "name1|name2|name4", 4, {4, 5, 40000, 0});
    row("overflow beyond line 301 is never read", numberedLines(301) + "b,1,99999\r\n", ok,
        "name1|name2|name301", 301, {302, 0, 0, 1});
    row("partial, blank line within", "a\r\nb\r\n\r\nmore", ok, "a|b|b", 2, {});
    row("partial, blank line at the very end", "a\r\n  \r", ok, "a|a|a", 1, {});
    row("partial, no blank line", "a\r\nb\r\nc", tooLarge, "", 0, {});
    row("partial, ends with a line end", "a\r\nb\r\n", tooLarge, "", 0, {});
    row("partial, spaces that may go on", "a\r\n   ", tooLarge, "", 0, {});
    row("partial, overflow reached", numberedLines(32768), overflow, "", 0, {});
    row("partial, the 32768th line cut", numberedLines(32767) + "nam", overflow, "", 0, {});
}

void TestTextFiles::parsesText()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, status);
    QFETCH(QStringList, names);
    QFETCH(int, records);
    QFETCH(QList<int>, lines);
    const TextImport parsed = parseText(bytes, !lines.isEmpty());
    QCOMPARE(int(parsed.status), status);
    QCOMPARE(parsed.ok(), parsed.error.isEmpty());
    QCOMPARE(parsed.records.size(), records);
    if (records > 0) {
        QCOMPARE(parsed.records.first().Name, names[0]);
        QCOMPARE(parsed.records.value(1, parsed.records.first()).Name, names[1]);
        QCOMPARE(parsed.records.last().Name, names[2]);
    }
    if (parsed.ok() && !lines.isEmpty())
        lines.resize(6);
    if (!lines.isEmpty()) // an overflow stops counting: no other count is known
        QCOMPARE((parsed.ok() ? QList<int>{parsed.lineCount, parsed.firstBlankLine,
                                           parsed.linesAfterBlank, parsed.linesBeyondLimit,
                                           parsed.fieldsLeftOut(), parsed.lineFeeds()}
                              : QList<int>{parsed.lineCount}),
                 lines);
}

void TestTextFiles::lineLossesAtTheLimit()
{
    // 152 fields are read whole; a 153rd, or a lone LF, makes the line one the import changes.
    const TextImport parsed = parseText("a" + QByteArray(151, ',') + "\r\nb" +
                                        QByteArray(152, ',') + "\r\nc\nd\r\ne\r\n");
    QStringList losses;
    for (const TextImport::LineLoss& loss : parsed.lineLosses)
        losses << QStringLiteral("%1:%2:%3").arg(loss.line).arg(loss.fields).arg(loss.lineFeeds);
    QCOMPARE(losses.join(u' '), QStringLiteral("2:153:0 3:1:1"));
    QCOMPARE(parsed.fieldsLeftOut(), 1);
}

void TestTextFiles::hugeLinesStayLinear()
{
    // Fields far beyond the 152nd, and line feeds that run one line on.
    TextImport parsed =
        parseText(QByteArray("route,1").append(QByteArray(", 12").repeated(2'500'000)));
    QVERIFY(parsed.ok());
    QCOMPARE(int(parsed.records.first().TicketNo), 1);
    QCOMPARE(int(parsed.records.first().Fares[149]), 12);
    parsed = parseText("route" + QByteArray("\n,1").repeated(3'000'000));
    QVERIFY(parsed.ok());
    QCOMPARE(parsed.records.size(), 1);
    QCOMPARE(int(parsed.records.first().Fares[149]), 1);
}

void TestTextFiles::loadReplacesTheTable_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("note"); // on the status bar
    QTest::newRow("two lines") << sjis(QStringLiteral("東線\r\n駅前,0,0,150\r\n")) << 2
                               << QString();
    // A blank first line empties the table.
    QTest::newRow("blank first line") << QByteArray("\r\n東線,1\r\n") << 0 << QString();
    // 153 fields, the last one empty, and a lone LF: the same table, and a word about both.
    QTest::newRow("a 153rd field and an LF")
        << sjis(QStringLiteral("東線") + QString(152, u',') + QStringLiteral("\r\n駅前,0,0,150\n"))
        << 2
        << QStringLiteral("152 番目より後の 1 個の項目は読み込みませんでした。改行（LF）1 個は行の"
                          "区切りにならないため、その前後を 1 行として読み込みました。");
}

void TestTextFiles::loadReplacesTheTable()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, rows);
    QFETCH(QString, note);
    const QString file = path(QStringLiteral("in.csv"));
    QVERIFY(writeBytes(file, bytes));
    FareTable table;
    fillTagged(table);
    FakePlatform platform;
    QCOMPARE(LoadText(table, platform, file), Outcome::Done);
    QVERIFY(platform.messages.isEmpty());
    QCOMPARE(platform.statusNotes, note.isEmpty() ? QStringList() : QStringList(note));
    QCOMPARE(platform.busyDepth, 0);
    QVERIFY(!table.isHidden());

    FareTable expected;
    if (rows > 0) {
        expected.SetCell(1, 1, QStringLiteral("東線"));
        expected.SetCell(1, 2, QStringLiteral("0")); // the ticket number is always written
        expected.SetCell(2, 1, QStringLiteral("駅前"));
        expected.SetCell(2, 2, QStringLiteral("0"));
        expected.SetCell(2, 4, QStringLiteral("150")); // a fare of 0 is an empty cell
    }
    QCOMPARE(snapshot(table), snapshot(expected));
    QCOMPARE(table.CurRow(), rows > 0 ? rows : 301);
    QCOMPARE(table.CurCol(), 152);
}

void TestTextFiles::exportWritesTheLinesByteForByte()
{
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
    const QString file = path(QStringLiteral("out")); // the extension plays no part
    QCOMPARE(exportText(table, platform, file), Outcome::Done);

    const QByteArray expected =
        // " 東線 " "," (no ticket number) then fares 120, word, "　80", 146 empty, 9
        QByteArray(" \x93\x8c\x90\xfc ,, 120, word, \x81\x40"
                   "80") +
        QByteArray(", ").repeated(146) + QByteArray(", 9\r\n") +
        // "駅,前" "," " 3" then fares "1 2" and 149 empty
        QByteArray("\x89\x77,\x91\x4f, 3, 1 2") + QByteArray(", ").repeated(149) + "\r\n";
    QCOMPARE(readBytes(file), expected);
    QVERIFY(platform.messages.isEmpty());
    QCOMPARE(platform.busyDepth, 0);
    QVERIFY(platform.busyCalls > 0);
    QVERIFY(!table.isHidden());
    // The cells were read as GetCell reads them: the last one read is current.
    QCOMPARE(table.CurRow(), 2);
    QCOMPARE(table.CurCol(), 152);
}

void TestTextFiles::emptyRouteNameExportsAnEmptyFile()
{
    const QString file = path(QStringLiteral("empty.txt"));
    QVERIFY(writeBytes(file, "old content"));
    FareTable table;
    table.SetCell(2, 1, QStringLiteral("駅前"));
    table.SetCell(1, 3, QStringLiteral("100"));
    FakePlatform platform;
    QCOMPARE(exportText(table, platform, file), Outcome::Done);
    QVERIFY(QFileInfo::exists(file));
    QCOMPARE(QFileInfo(file).size(), 0);
    QVERIFY(platform.messages.isEmpty());
    QCOMPARE(table.CurRow(), 1);
    QCOMPARE(table.CurCol(), 1);
}

void TestTextFiles::fullTableRoundTrip()
{
    FareTable original;
    fillFull(original);
    FakePlatform platform;
    const QString file = path(QStringLiteral("full.txt"));
    QCOMPARE(exportText(original, platform, file), Outcome::Done);
    FareTable loaded;
    QCOMPARE(LoadText(loaded, platform, file), Outcome::Done);
    QCOMPARE(snapshot(loaded), snapshot(original));
    QVERIFY(platform.messages.isEmpty());
}

void TestTextFiles::convertsLikeCp932_data()
{
    // The bytes read as text (when given) with Cp932, and the typed text (when given) is written
    // as those bytes. The text files' conversion takes shortcuts, but must give exactly what
    // Cp932 gives, both ways; text decoded from bytes that are not code page 932 holds U+FFFD,
    // which no encoding can write.
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("typed");
    const auto row = [](const char* name, const QByteArray& bytes, const char* text = nullptr,
                        const char* typed = nullptr) {
        QTest::newRow(name) << bytes << (text ? QString::fromUtf8(text) : QString())
                            << (typed ? QString::fromUtf8(typed) : QString());
    };
    row("hiragana", "\x82\xa0", "あ", "あ");
    row("backslash stays", "\\", "\\", "\\");
    row("half-width katakana", "\xca\xde\xbd,1", "ﾊﾞｽ,1", "ﾊﾞｽ,1");
    // Code page 932 as Windows maps it, where other Shift-JIS tables differ.
    row("wave dash", "\x81\x60", "～", "～");
    row("full-width minus", "\x81\x7c", "－", "－");
    row("NEC circled one", "\x87\x40", "①", "①");
    row("IBM extension", "\xfb\xfc", "髙", "髙");
    row("ideographic space", "\x81\x40", "　", "　");
    row("single bytes Windows maps to U+0080 and private use", "\x80\xa0\xfd\xfe\xff.",
        "\u0080\uF8F0\uF8F1\uF8F2\uF8F3.", "\u0080\uF8F0\uF8F1\uF8F2\uF8F3.");
    // Characters near one that code page 932 has are written as that one.
    row("wave dash as typed on Linux", "\x81\x60", "～", "〜");
    row("minus sign", "\x81\x7c", "－", "−");
    row("yen sign", "\\", "\\", "¥");
    row("lone lead byte at the end", "ab\x82", "ab\uFFFD");
    row("bad trail byte", "\x82\x20Z", "\uFFFD Z");
    row("unassigned lead byte", "\x85\x40x", "\uFFFD@x");
    // 0x85 is unassigned; 0x81 0x40 is U+3000
    row("invalid lead, then a valid pair ending in ASCII", "\x85\x81\x40x", "\uFFFD\u3000x");
    row("lead byte before CR", "a\x82\r\n");
    QTest::newRow("NUL kept") << QByteArray("a\0b", 3) << QStringLiteral("a%1b").arg(QChar(0))
                              << QString();
    QByteArray ascii;
    for (int b = 0; b < 0x80; ++b)
        ascii.append(char(b));
    row("every ASCII byte", ascii);
    row("Japanese", sjis(QStringLiteral("東線　駅前，ﾊﾞｽ～")));
    row("second byte in the ASCII range", "\x83\x41\x83\x5c,\x95\x5c");
    // Mostly ASCII with lead bytes, trail bytes and invalid bytes mixed in, where the shortcut
    // for ASCII meets the converter.
    const char pool[] = "a,1 \r\n\x81\x82\x85\x88\x9f\xe0\xfc\xa0\xca\xfd\x40\x7e\x80";
    QRandomGenerator random(932);
    for (int round = 0; round < 200; ++round) {
        QByteArray bytes;
        for (int i = 0; i < 100; ++i)
            bytes.append(pool[random.bounded(int(sizeof(pool) - 1))]);
        QTest::addRow("random %d", round) << bytes << QString() << QString();
    }
}

void TestTextFiles::convertsLikeCp932()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QFETCH(QString, typed);
    if (!typed.isNull()) {
        const Cp932::Encoded encoded = Cp932::encode(typed);
        QVERIFY(encoded.ok);
        QCOMPARE(encoded.bytes, bytes);
    }
    const QString decoded = Cp932::decode(bytes);
    if (!text.isNull())
        QCOMPARE(decoded, text);
    QCOMPARE(TextEncoding::decode(bytes), decoded);
    const Cp932::Encoded reference = Cp932::encode(decoded);
    QByteArray out(TextEncoding::maxEncodedSize(decoded.size()) + 1, '#');
    char* at = out.data();
    Cp932::Encoded failure;
    QCOMPARE(TextEncoding::encodeInto(at, decoded, failure), reference.ok);
    if (reference.ok) {
        QCOMPARE(out.left(at - out.data()), reference.bytes);
        QCOMPARE(out.back(), '#'); // nothing written past the room promised
    } else {
        QCOMPARE(at, out.data());
        QCOMPARE(failure.badCharacter, reference.badCharacter);
    }
}

void TestTextFiles::unencodableCharacterIsNamed_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("bad");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("name");
    QTest::newRow("emoji, a surrogate pair")
        << QStringLiteral("駅🚌前") << QStringLiteral("🚌") << 1 << QStringLiteral("U+1F68C");
    QTest::newRow("hangul") << QStringLiteral("ab한") << QStringLiteral("한") << 2
                            << QStringLiteral("U+D55C");
    QTest::newRow("replacement character")
        << QStringLiteral("\uFFFD") << QStringLiteral("\uFFFD") << 0 << QStringLiteral("U+FFFD");
}

void TestTextFiles::unencodableCharacterIsNamed()
{
    QFETCH(QString, text);
    QFETCH(QString, bad);
    QFETCH(int, index);
    QFETCH(QString, name);
    const Cp932::Encoded encoded = Cp932::encode(text);
    QVERIFY(!encoded.ok);
    QVERIFY(encoded.bytes.isEmpty());
    QCOMPARE(encoded.badCharacter, bad);
    QCOMPARE(int(encoded.badIndex), index);
    QCOMPARE(Cp932::codePointName(bad), name);
}

QTEST_GUILESS_MAIN(TestTextFiles)
#include "tst_textfiles.moc"
