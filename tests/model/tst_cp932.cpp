#include "model/cp932.h"

#include <QTest>

class TestCp932 : public QObject {
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void invalidBytesBecomeReplacement_data();
    void invalidBytesBecomeReplacement();
    void unencodableCharacterIsNamed_data();
    void unencodableCharacterIsNamed();
    void nearCharactersAreSubstituted_data();
    void nearCharactersAreSubstituted();
};

void TestCp932::roundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("ascii") << QStringLiteral("Bus 12") << QByteArray("Bus 12");
    QTest::newRow("hiragana") << QStringLiteral("あ") << QByteArray("\x82\xa0");
    QTest::newRow("backslash stays") << QStringLiteral("\\") << QByteArray("\\");
    QTest::newRow("half-width katakana") << QStringLiteral("ﾊﾞｽ") << QByteArray("\xca\xde\xbd");
    // Code page 932 as Windows maps it, where other Shift-JIS tables differ.
    QTest::newRow("wave dash") << QStringLiteral("～") << QByteArray("\x81\x60");
    QTest::newRow("full-width minus") << QStringLiteral("－") << QByteArray("\x81\x7c");
    QTest::newRow("NEC circled one") << QStringLiteral("①") << QByteArray("\x87\x40");
    QTest::newRow("IBM extension") << QStringLiteral("髙") << QByteArray("\xfb\xfc");
    QTest::newRow("ideographic space") << QStringLiteral("　") << QByteArray("\x81\x40");
    QTest::newRow("route name") << QStringLiteral("東線") << QByteArray("\x93\x8c\x90\xfc");
    QTest::newRow("single bytes as Windows maps them")
        << QStringLiteral("\u0080\uF8F0\uF8F1\uF8F2\uF8F3") << QByteArray("\x80\xa0\xfd\xfe\xff");
}

void TestCp932::roundTrip()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    const Cp932::Encoded encoded = Cp932::encode(text);
    QVERIFY(encoded.ok);
    QCOMPARE(encoded.bytes, bytes);
    QCOMPARE(Cp932::decode(bytes), text);
}

void TestCp932::invalidBytesBecomeReplacement_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("lone lead byte at end") << QByteArray("A\x82") << QStringLiteral("A\uFFFD");
    QTest::newRow("bad trail byte") << QByteArray("\x82\x20Z") << QStringLiteral("\uFFFD Z");
    QTest::newRow("unassigned lead byte") << QByteArray("\x85\x40x") << QStringLiteral("\uFFFD@x");
    QTest::newRow("NUL kept") << QByteArray("a\0b", 3)
                              << QString(QStringLiteral("a") + QChar(0) + QStringLiteral("b"));
}

void TestCp932::invalidBytesBecomeReplacement()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(Cp932::decode(bytes), text);
}

void TestCp932::unencodableCharacterIsNamed_data()
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

void TestCp932::unencodableCharacterIsNamed()
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

void TestCp932::nearCharactersAreSubstituted_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("readBack");
    QTest::newRow("wave dash as typed on Linux") << QStringLiteral("〜") << QStringLiteral("～");
    QTest::newRow("minus sign") << QStringLiteral("−") << QStringLiteral("－");
    QTest::newRow("yen sign") << QStringLiteral("¥") << QStringLiteral("\\");
}

void TestCp932::nearCharactersAreSubstituted()
{
    QFETCH(QString, typed);
    QFETCH(QString, readBack);
    const Cp932::Encoded encoded = Cp932::encode(typed);
    QVERIFY(encoded.ok);
    QCOMPARE(Cp932::decode(encoded.bytes), readBack);
}

QTEST_GUILESS_MAIN(TestCp932)
#include "tst_cp932.moc"
