#include "model/cellnumber.h"

#include <QTest>

Q_DECLARE_METATYPE(CellNumber::Status)

class TestCellNumber : public QObject {
    Q_OBJECT

private slots:
    void conversion_data();
    void conversion();
    void textAfterTheNumber_data();
    void textAfterTheNumber();
};

void TestCellNumber::conversion_data()
{
    using S = CellNumber::Status;
    QTest::addColumn<QString>("text");
    QTest::addColumn<S>("status");
    QTest::addColumn<int>("value");
    // Plain numbers, rounding half to even, units, hexadecimal and the limits of 16 bits are also
    // rows of tests/edit (numbersThroughRowBuffer): only the other paths are here.

    QTest::newRow("empty") << QString() << S::NoNumber << 0;
    QTest::newRow("blanks only") << QStringLiteral(" \t\n") << S::NoNumber << 0;
    QTest::newRow("plus sign") << QStringLiteral("+5") << S::Ok << 5;
    QTest::newRow("-2.5") << QStringLiteral("-2.5") << S::Ok << -2;
    QTest::newRow("above half") << QStringLiteral("12.51") << S::Ok << 13;
    QTest::newRow("fraction only") << QStringLiteral(".6") << S::Ok << 1;
    QTest::newRow("trailing point") << QStringLiteral("7.") << S::Ok << 7;
    QTest::newRow("tab and line feed inside") << QStringLiteral("1\t2\n3") << S::Ok << 123;
    QTest::newRow("blank after sign") << QStringLiteral("- 5") << S::Ok << -5;
    QTest::newRow("comma stops") << QStringLiteral("1,200") << S::Ok << 1;
    QTest::newRow("second point stops") << QStringLiteral("1.2.3") << S::Ok << 1;
    QTest::newRow("lower-case exponent") << QStringLiteral("2e2") << S::Ok << 200;
    QTest::newRow("negative exponent") << QStringLiteral("15E-1") << S::Ok << 2;
    QTest::newRow("exponent without digits") << QStringLiteral("1E") << S::Ok << 1;
    QTest::newRow("exponent sign without digits") << QStringLiteral("4E+x") << S::Ok << 4;
    QTest::newRow("hex") << QStringLiteral("&H1F") << S::Ok << 31;
    QTest::newRow("hex lower case") << QStringLiteral("&hff") << S::Ok << 255;
    QTest::newRow("octal") << QStringLiteral("&O17") << S::Ok << 15;
    QTest::newRow("octal stops at 8") << QStringLiteral("&O78") << S::Ok << 7;
    QTest::newRow("hex without digits") << QStringLiteral("&H") << S::NoNumber << 0;
    QTest::newRow("ampersand alone") << QStringLiteral("&") << S::NoNumber << 0;
    QTest::newRow("word") << QStringLiteral("abc") << S::NoNumber << 0;
    QTest::newRow("sign alone") << QStringLiteral("-") << S::NoNumber << 0;
    QTest::newRow("point alone") << QStringLiteral(".") << S::NoNumber << 0;
    QTest::newRow("full-width digits are not digits")
        << QStringLiteral("１２０") << S::NoNumber << 0;
    QTest::newRow("rounds into range") << QStringLiteral("-32768.5") << S::Ok << -32768;
    QTest::newRow("one above") << QStringLiteral("32768") << S::Overflow << 0;
    QTest::newRow("one below") << QStringLiteral("-32769") << S::Overflow << 0;
    QTest::newRow("huge exponent") << QStringLiteral("1E99999") << S::Overflow << 0;
    QTest::newRow("tiny exponent") << QStringLiteral("1E-99999") << S::Ok << 0;
    QTest::newRow("many digits") << QString(400, u'9') << S::Overflow << 0;
    QTest::newRow("many leading zeros") << QString(400, u'0') + QStringLiteral("7") << S::Ok << 7;
    QTest::newRow("tiny without exponent")
        << QStringLiteral("0.") + QString(400, u'0') + QStringLiteral("1") << S::Ok << 0;
    QTest::newRow("tiny with positive exponent")
        << QStringLiteral("0.") + QString(400, u'0') + QStringLiteral("1E5") << S::Ok << 0;
    QTest::newRow("huge with negative exponent")
        << QStringLiteral("1") + QString(400, u'0') + QStringLiteral("E-5") << S::Overflow << 0;
    QTest::newRow("zero with huge exponent") << QStringLiteral("0E99999") << S::Ok << 0;
    QTest::newRow("hex too large") << QStringLiteral("&H8000") << S::Overflow << 0;
    QTest::newRow("hex largest") << QStringLiteral("&H7FFF") << S::Ok << 32767;
}

void TestCellNumber::conversion()
{
    QFETCH(QString, text);
    QFETCH(CellNumber::Status, status);
    QFETCH(int, value);
    const CellNumber number = CellToInt16(text);
    QCOMPARE(number.status, status);
    QCOMPARE(int(number.value), value);
    QCOMPARE(number.ok(), status != CellNumber::Status::Overflow);
}

void TestCellNumber::textAfterTheNumber_data()
{
    // What the fare check calls text stored as a number: whatever follows the number is ignored
    // and flagged, after every kind of number; a number the text ends with is not flagged.
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");
    QTest::addColumn<bool>("trailing");
    QTest::newRow("unit after fraction digits") << QStringLiteral("12.5円") << 12 << true;
    QTest::newRow("unit after a rounded-up fraction") << QStringLiteral("2.501円") << 3 << true;
    QTest::newRow("three fraction digits") << QStringLiteral("2.501") << 3 << false;
    QTest::newRow("fraction then blank") << QStringLiteral("2.5 ") << 2 << false;
    QTest::newRow("unit after whole number") << QStringLiteral("210円") << 210 << true;
    QTest::newRow("unit after exponent") << QStringLiteral("1E2円") << 100 << true;
    QTest::newRow("exponent letter alone") << QStringLiteral("1E") << 1 << true;
    QTest::newRow("comma") << QStringLiteral("1,200") << 1 << true;
    QTest::newRow("hex then text") << QStringLiteral("&H1Fg") << 31 << true;
    QTest::newRow("hex alone") << QStringLiteral("&H1F") << 31 << false;
    QTest::newRow("no number") << QStringLiteral("運賃") << 0 << true;
    QTest::newRow("empty") << QString() << 0 << false;
}

void TestCellNumber::textAfterTheNumber()
{
    QFETCH(QString, text);
    QFETCH(int, value);
    QFETCH(bool, trailing);
    const CellNumber number = CellToInt16(text);
    QCOMPARE(int(number.value), value);
    QCOMPARE(number.trailingText, trailing);
}

QTEST_GUILESS_MAIN(TestCellNumber)
#include "tst_cellnumber.moc"
