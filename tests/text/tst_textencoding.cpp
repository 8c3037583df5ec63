// The text files' code page 932 conversion must give exactly what Cp932 gives.
#include "model/cp932.h"
#include "text/textencoding.h"

#include <QRandomGenerator>
#include <QTest>

class TestTextEncoding : public QObject {
    Q_OBJECT

private slots:
    void decodesLikeCp932_data();
    void decodesLikeCp932();
    void decodesRandomBytesLikeCp932();
    void encodesLikeCp932_data();
    void encodesLikeCp932();
};

void TestTextEncoding::decodesLikeCp932_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QByteArray ascii;
    for (int b = 0; b < 0x80; ++b)
        ascii.append(char(b));
    QTest::newRow("every ASCII byte") << ascii;
    QTest::newRow("second byte in the ASCII range") << QByteArray("\x83\x41\x83\x5c,\x95\x5c");
    QTest::newRow("invalid lead, then a valid pair ending in ASCII")
        << QByteArray("\x85\x81\x40x"); // 0x85 is unassigned; 0x81 0x40 is U+3000
    QTest::newRow("lead byte before CR") << QByteArray("a\x82\r\n");
    QTest::newRow("lead byte at the end") << QByteArray("ab\x82");
    QTest::newRow("half-width katakana") << QByteArray("\xca\xde\xbd,1");
    QTest::newRow("single bytes Windows maps to U+0080 and private use")
        << QByteArray("\x80\xa0\xfd\xfe\xff.");
}

void TestTextEncoding::decodesLikeCp932()
{
    QFETCH(QByteArray, bytes);
    QCOMPARE(TextEncoding::decode(bytes), Cp932::decode(bytes));
}

void TestTextEncoding::decodesRandomBytesLikeCp932()
{
    // Mostly ASCII with lead bytes, trail bytes and invalid bytes mixed in, where the shortcut
    // for ASCII meets the converter.
    const char pool[] = "a,1 \r\n\x81\x82\x85\x88\x9f\xe0\xfc\xa0\xca\xfd\x40\x7e\x80";
    QRandomGenerator random(932);
    for (int round = 0; round < 20000; ++round) {
        QByteArray bytes;
        const int size = int(random.bounded(12));
        for (int i = 0; i < size; ++i)
            bytes.append(pool[random.bounded(int(sizeof(pool) - 1))]);
        QVERIFY2(TextEncoding::decode(bytes) == Cp932::decode(bytes), bytes.toHex(' ').constData());
    }
}

void TestTextEncoding::encodesLikeCp932_data()
{
    QTest::addColumn<QString>("text");
    QString ascii;
    for (int c = 0; c < 0x80; ++c)
        ascii.append(QChar(c));
    QTest::newRow("every ASCII character") << ascii;
    QTest::newRow("Japanese") << QStringLiteral("東線　駅前，ﾊﾞｽ～");
    QTest::newRow("not in code page 932") << QStringLiteral("駅🚌前");
}

void TestTextEncoding::encodesLikeCp932()
{
    QFETCH(QString, text);
    const Cp932::Encoded reference = Cp932::encode(text);
    QByteArray out(TextEncoding::maxEncodedSize(text.size()) + 1, '#');
    char* at = out.data();
    Cp932::Encoded failure;
    const bool ok = TextEncoding::encodeInto(at, text, failure);
    QCOMPARE(ok, reference.ok);
    if (ok) {
        QCOMPARE(out.left(at - out.data()), reference.bytes);
        QCOMPARE(out.back(), '#'); // nothing written past the room promised
    } else {
        QCOMPARE(at, out.data());
        QCOMPARE(failure.badCharacter, reference.badCharacter);
    }
}

QTEST_GUILESS_MAIN(TestTextEncoding)
#include "tst_textencoding.moc"
