// File names as the system's bytes: every byte of a name survives decoding and encoding, also
// from argv and from a dropped file's URL, and a name shown in a message holds no control
// character. (Real files with such names are opened and saved in tests/reliability.)
#include "io/pathbytes.h"

#include <QTest>
#include <QUrl>

class TestPathBytes : public QObject {
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
};

void TestPathBytes::roundTrip_data()
{
    QTest::addColumn<QByteArray>("bytes"); // a name in /tmp as the system gives it
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("shown");  // empty: as the path
    QTest::addColumn<QByteArray>("url"); // empty: the bytes percent-encoded, as file managers do
    const auto row = [](const char* name, const QByteArray& bytes, QStringView path,
                        QStringView shown = {}, const char* url = "") {
        QTest::newRow(name) << bytes << path.toString() << shown.toString() << QByteArray(url);
    };
    // Well-formed UTF-8 is read as it stands, a byte-order mark and U+FFFD included.
    row("ASCII", "a b.Hy3", u"a b.Hy3");
    row("Japanese", "東町.Hy3", u"東町.Hy3");
    row("four bytes", "🚌", u"🚌");
    row("byte-order mark", "\xEF\xBB\xBF.Hy3", u"\uFEFF.Hy3");
    row("replacement character", "\xEF\xBF\xBD", u"\uFFFD");
    // Every other byte stands for itself as U+DC80…U+DCFF, and shows as U+FFFD.
    row("Shift-JIS", "\x93\x8C\x92\xAC.Hy3", u"\xDC93\xDC8C\xDC92\xDCAC.Hy3",
        u"\uFFFD\uFFFD\uFFFD\uFFFD.Hy3");
    row("lone continuation bytes", "\x80\xBF", u"\xDC80\xDCBF", u"\uFFFD\uFFFD");
    row("cut-off sequence", "\xE6\x9Dx",
        u"\xDCE6\xDC9D"
        u"x",
        u"\uFFFD\uFFFD"
        u"x");
    row("overlong forms", "\xC0\xAF\xE0\x80\xAF", u"\xDCC0\xDCAF\xDCE0\xDC80\xDCAF",
        u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD");
    // UTF-8 of a surrogate is three bytes, never the surrogate that stands for one byte.
    row("encoded surrogate", "\xED\xB2\x80", u"\xDCED\xDCB2\xDC80", u"\uFFFD\uFFFD\uFFFD");
    row("beyond U+10FFFF, FE, FF", "\xF4\x90\x80\x80\xFE\xFF",
        u"\xDCF4\xDC90\xDC80\xDC80\xDCFE\xDCFF", u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD");
    row("pair ending in DC80, then 80", "\xF0\x9F\x92\x80\x80", u"\U0001F480\xDC80",
        u"\U0001F480\uFFFD");
    // Control characters stay in the path but never reach a message as they are.
    row("control characters", "\x01\t\n\r\x1b[31m\x7f\xC2\x85\x1b\xFF",
        u"\x01\t\n\r\x1b[31m\x7f\u0085\x1b\xDCFF", u"\\x01\\t\\n\\r\\x1b[31m\\x7f\\x85\\x1b\uFFFD");
    row("URL escapes in either case", "\xE6\x9D\xB1\xFF", u"東\xDCFF", u"東\uFFFD",
        "file:///tmp/%e6%9D%B1%ff");
}

void TestPathBytes::roundTrip()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, path);
    QFETCH(QString, shown);
    QFETCH(QByteArray, url);
    bytes.prepend("/tmp/");
    path.prepend(QStringLiteral("/tmp/"));
    QCOMPARE(FileIo::decodePath(bytes), path);
    QCOMPARE(FileIo::encodePath(path), bytes);
    const char* const argv[] = {"farewright", bytes.constData()};
    QCOMPARE(FileIo::decodeArguments(2, argv), QStringList({QStringLiteral("farewright"), path}));
    if (url.isEmpty())
        url = "file://" + bytes.toPercentEncoding("/");
    QCOMPARE(FileIo::localFileFromUrl(QUrl::fromEncoded(url)), path);
    QCOMPARE(FileIo::displayPath(path), shown.isEmpty() ? path : QStringLiteral("/tmp/") + shown);
}

QTEST_GUILESS_MAIN(TestPathBytes)
#include "tst_pathbytes.moc"
