// farewright-cli with the older binary formats and text files.
#include "fakeplatform.h"
#include "files/binaryfile.h"
#include "model/cp932.h"
#include "model/faretable.h"
#include "testtables.h"
#include "text/textexport.h"
#include "text/textimport.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

QByteArray sjis(const QString& text)
{
    return Cp932::encode(text).bytes;
}

const QByteArray SmallText = "東線,5, 100, 200\r\n駅前,7, 150\r\n";

/** What the editor's own operations make of SmallText in another format. */
QByteArray converted(Outcome (*save)(FareTable&, Platform&, const QString&), const QString& path)
{
    FareTable table;
    FakePlatform platform;
    platform.answers = {Platform::Answer::Yes};
    const QString input = path + QStringLiteral(".in.txt");
    if (!TestTables::writeBytes(input, sjis(QString::fromUtf8(SmallText))) ||
        LoadText(table, platform, input) != Outcome::Done ||
        save(table, platform, path) != Outcome::Done)
        return QByteArray("conversion failed");
    return TestTables::readBytes(path);
}

} // namespace

class TestCliFormats : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void runs_data();
    void runs();
    void writesWhatTheEditorWrites_data();
    void writesWhatTheEditorWrites();

private:
    QString path(const QString& name) const { return m_dir->filePath(name); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestCliFormats::runs_data()
{
    QTest::addColumn<QStringList>("args"); // "@name" stands for a file in the test's folder
    QTest::addColumn<QString>("inputName");
    QTest::addColumn<QByteArray>("inputBytes");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("stdoutHas");
    QTest::addColumn<QString>("stderrHas");
    QTest::addColumn<QString>("outputName"); // "/dev/full": standard output goes there
    QTest::addColumn<int>("outputSize");     // -1: no file; -2: any size; -3: the input's bytes

    const QByteArray small = sjis(QString::fromUtf8(SmallText));
    const QString title = QStringLiteral("旧バージョンでの保存確認");
    const auto convert = [](const QString& in, const QString& out, bool yes = false) {
        QStringList args{QStringLiteral("convert")};
        if (yes)
            args << QStringLiteral("--yes");
        return args << QLatin1Char('@') + in << QLatin1Char('@') + out;
    };
    QByteArray manyLines;
    for (int i = 1; i <= 40000; ++i)
        manyLines += "stop" + QByteArray::number(i) + ",1\r\n";
    QByteArray ignored = small + "\r\nafter the blank line\r\n";
    QByteArray tooMany;
    for (int i = 1; i <= 305; ++i)
        tooMany += "stop" + QByteArray::number(i) + "\r\n";
    // A .Hyo file whose one name holds a comma: length 5, "駅,前", 72 empty fares.
    const QByteArray commaName =
        QByteArray("\x01\x00\x05\x00\x89\x77,\x91\x4f", 9) + QByteArray(144, '\0');

    const QByteArray windowsBytes("\x80\xa0\xfd\xfe\xff");
    QTest::newRow("Windows single bytes in a Hy3 name")
        << convert(QStringLiteral("in.Hy3"), QStringLiteral("out.Hy3")) << QStringLiteral("in.Hy3")
        << QByteArray("\x01\x00\x05\x00", 4) + windowsBytes + QByteArray(302, '\0') << 0
        << QString() << QString() << QStringLiteral("out.Hy3") << -3;
    QTest::newRow("Windows single bytes in a text file")
        << convert(QStringLiteral("in.txt"), QStringLiteral("out.txt")) << QStringLiteral("in.txt")
        << windowsBytes + ",0" + QByteArray(", ").repeated(150) + "\r\n"
        << 0 << QString() << QString() << QStringLiteral("out.txt") << -3;
    for (const char* command : {"dump", "check", "--help", "--version"})
        QTest::newRow(command) << QStringList{QString::fromLatin1(command),
                                              QStringLiteral("@in.txt")}
                               << QStringLiteral("in.txt") << ignored << 1 << QString()
                               << QStringLiteral("標準出力に書き込めませんでした")
                               << QStringLiteral("/dev/full") << -2;
    QTest::newRow("text to Hyo asks")
        << convert(QStringLiteral("in.txt"), QStringLiteral("out.Hyo")) << QStringLiteral("in.txt")
        << small << 3 << QString() << title << QStringLiteral("out.Hyo") << -1;
    QTest::newRow("text to Hyp asks")
        << convert(QStringLiteral("in.csv"), QStringLiteral("out.hyp")) << QStringLiteral("in.csv")
        << small << 3 << QString() << QStringLiteral("Corvane自家用") << QStringLiteral("out.hyp")
        << -1;
    QTest::newRow("text to Hyo with --yes")
        << convert(QStringLiteral("in.txt"), QStringLiteral("out.HYO"), true)
        << QStringLiteral("in.txt") << small << 0 << QString() << QString()
        << QStringLiteral("out.HYO") << 2 + 2 * (2 + 4 + 144);
    QTest::newRow("text to Hy3") << convert(QStringLiteral("in.txt"), QStringLiteral("out.Hy3"))
                                 << QStringLiteral("in.txt") << small << 0 << QString() << QString()
                                 << QStringLiteral("out.Hy3") << 2 + 2 * (304 + 4);
    QTest::newRow("Hyo to text") << convert(QStringLiteral("in.Hyo"), QStringLiteral("out.txt"))
                                 << QStringLiteral("in.Hyo") << commaName << 0 << QString()
                                 << QString() << QStringLiteral("out.txt") << 5 + 1 + 150 * 2 + 2;
    QTest::newRow("blank first line to text")
        << convert(QStringLiteral("in.txt"), QStringLiteral("out.csv")) << QStringLiteral("in.txt")
        << QByteArray("\r\nstop,1\r\n") << 0 << QString() << QString() << QStringLiteral("out.csv")
        << 0;
    QTest::newRow("40000 lines fail")
        << convert(QStringLiteral("in.txt"), QStringLiteral("out.Hy3")) << QStringLiteral("in.txt")
        << manyLines << 1 << QString() << QStringLiteral("32767") << QStringLiteral("out.Hy3")
        << -1;
    QTest::newRow("missing text file")
        << convert(QStringLiteral("none.txt"), QStringLiteral("out.Hy3"))
        << QStringLiteral("in.txt") << small << 1 << QString() << QStringLiteral("none.txt")
        << QStringLiteral("out.Hy3") << -1;
    QTest::newRow("unknown output extension")
        << convert(QStringLiteral("in.txt"), QStringLiteral("out.doc")) << QStringLiteral("in.txt")
        << small << 2 << QString() << QStringLiteral("out.doc") << QStringLiteral("out.doc") << -1;
    QTest::newRow("dump text") << QStringList{QStringLiteral("dump"), QStringLiteral("@in.txt")}
                               << QStringLiteral("in.txt") << small << 0
                               << QStringLiteral("駅前\t7\t150\t") << QString() << QString() << -1;
    QTest::newRow("check clean text")
        << QStringList{QStringLiteral("check"), QStringLiteral("@in.txt")}
        << QStringLiteral("in.txt") << small << 0 << QString() << QString() << QString() << -1;
    QTest::newRow("check text after a blank line")
        << QStringList{QStringLiteral("check"), QStringLiteral("@in.txt")}
        << QStringLiteral("in.txt") << ignored << 1
        << QStringLiteral("3 行目が空行のため、その後の 1 行は読み込まれません。") << QString()
        << QString() << -1;
    QTest::newRow("check text beyond 301 lines")
        << QStringList{QStringLiteral("check"), QStringLiteral("@in.csv")}
        << QStringLiteral("in.csv") << tooMany << 1
        << QStringLiteral("302 行目から 305 行目までの 4 行は") << QString() << QString() << -1;
    QTest::newRow("check name with a comma")
        << QStringList{QStringLiteral("check"), QStringLiteral("@in.Hyo")}
        << QStringLiteral("in.Hyo") << commaName << 1 << QStringLiteral("名称「駅,前」に「,」")
        << QString() << QString() << -1;
}

void TestCliFormats::runs()
{
    QFETCH(QStringList, args);
    QFETCH(QString, inputName);
    QFETCH(QByteArray, inputBytes);
    QFETCH(int, exitCode);
    QFETCH(QString, stdoutHas);
    QFETCH(QString, stderrHas);
    QFETCH(QString, outputName);
    QFETCH(int, outputSize);
    QVERIFY(TestTables::writeBytes(path(inputName), inputBytes));
    for (QString& arg : args)
        if (arg.startsWith(u'@'))
            arg = path(arg.mid(1));

    const QString output = outputName.startsWith(u'/') ? outputName : path(outputName);
    QProcess cli;
    if (output == outputName)
        cli.setStandardOutputFile(output);
    cli.start(QStringLiteral(FAREWRIGHT_CLI), args);
    QVERIFY(cli.waitForFinished(60000));
    const QString out = QString::fromUtf8(cli.readAllStandardOutput());
    const QString err = QString::fromUtf8(cli.readAllStandardError());
    QCOMPARE(cli.exitStatus(), QProcess::NormalExit);
    QVERIFY2(cli.exitCode() == exitCode, qPrintable(err + out));
    if (stdoutHas.isEmpty() && exitCode == 0)
        QVERIFY2(out.isEmpty() || args.first() == QLatin1String("dump"), qPrintable(out));
    else
        QVERIFY2(out.contains(stdoutHas), qPrintable(out));
    QVERIFY2(err.contains(stderrHas), qPrintable(err));
    if (!outputName.isEmpty()) {
        QCOMPARE(QFileInfo::exists(output), outputSize != -1);
        if (outputSize >= 0)
            QCOMPARE(QFileInfo(output).size(), outputSize);
        if (outputSize == -3)
            QCOMPARE(TestTables::readBytes(output), inputBytes);
    }
}

void TestCliFormats::writesWhatTheEditorWrites_data()
{
    QTest::addColumn<QString>("outputName");
    QTest::addColumn<int>("writer");
    QTest::newRow("Hyo") << QStringLiteral("out.Hyo") << 0;
    QTest::newRow("Hyp") << QStringLiteral("out.Hyp") << 1;
    QTest::newRow("text") << QStringLiteral("out.txt") << 2;
}

void TestCliFormats::writesWhatTheEditorWrites()
{
    QFETCH(QString, outputName);
    QFETCH(int, writer);
    Outcome (*const writers[])(FareTable&, Platform&, const QString&) = {SaveHyo, SaveHyp,
                                                                         exportText};
    const QByteArray expected =
        converted(writers[writer], path(QStringLiteral("ref.") + outputName));
    const QString input = path(QStringLiteral("in.txt"));
    QVERIFY(TestTables::writeBytes(input, sjis(QString::fromUtf8(SmallText))));
    QProcess cli;
    cli.start(QStringLiteral(FAREWRIGHT_CLI),
              {QStringLiteral("convert"), QStringLiteral("--yes"), input, path(outputName)});
    QVERIFY(cli.waitForFinished(60000));
    QCOMPARE(cli.exitCode(), 0);
    QCOMPARE(TestTables::readBytes(path(outputName)), expected);
}

QTEST_GUILESS_MAIN(TestCliFormats)
#include "tst_cli_formats.moc"
