#include "about/corvreslibrary.h"
#include "about/helpmanual.h"
#include "fakecorvres.h"
#include "fakeplatform.h"
#include "testtables.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

class TestCorvresLibrary : public QObject {
    Q_OBJECT

private slots:
    void cleanup();
    void shippedLibraryTexts();
    void calls_data();
    void calls();
    void libraryIsLoadedAfreshEveryCall();
    void searchOrder();
    void defaultSearchStartsInProgramFolder();
    void manual_data();
    void manual();
};

void TestCorvresLibrary::cleanup()
{
    qunsetenv("FAKE_CORVANE_HP");
    qunsetenv("FAKE_CORVANE_MAIL");
}

void TestCorvresLibrary::shippedLibraryTexts()
{
    const CorvresLibrary::Result hp =
        CorvresLibrary::call(QStringLiteral(REAL_CORVRES), "CorvaneHpURL");
    QVERIFY2(hp.ok, qPrintable(hp.failure));
    QVERIFY(hp.text.startsWith(QLatin1String("https://")));

    const CorvresLibrary::Result mail =
        CorvresLibrary::call(QStringLiteral(REAL_CORVRES), "CorvaneMailAddress");
    QVERIFY2(mail.ok, qPrintable(mail.failure));
    // The dialog hides the first seven characters: they must be exactly the scheme.
    QCOMPARE(mail.text.left(7), QStringLiteral("mailto:"));
    QVERIFY(mail.text.mid(7).contains(u'@'));
}

void TestCorvresLibrary::calls_data()
{
    QTest::addColumn<QString>("library");
    QTest::addColumn<QByteArray>("function");
    QTest::addColumn<QString>("hpText");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("text"); // the text, or the failure description; %1 is the library

    const QString fake = QStringLiteral(FAKE_CORVRES);
    const QString noMail = QStringLiteral(FAKE_CORVRES_NOMAIL);

    QTest::newRow("UTF-8 text") << fake << QByteArray("CorvaneHpURL")
                                << QStringLiteral("https://運賃.example/ﾊﾞｽ") << true
                                << QStringLiteral("https://運賃.example/ﾊﾞｽ");
    QTest::newRow("empty text") << fake << QByteArray("CorvaneHpURL") << QStringLiteral("") << true
                                << QString();
    QTest::newRow("null text")
        << fake << QByteArray("CorvaneHpURL") << QStringLiteral("(null)") << false
        << QStringLiteral("リンクライブラリ「%1」の関数 CorvaneHpURL が値を返しませんでした。");
    QTest::newRow("missing function")
        << noMail << QByteArray("CorvaneMailAddress") << QString() << false
        << QStringLiteral("リンクライブラリ「%1」に関数 CorvaneMailAddress がありません。");
    QTest::newRow("other function of that library")
        << noMail << QByteArray("CorvaneHpURL") << QString() << true
        << QStringLiteral("https://fake.example/hp");
}

void TestCorvresLibrary::calls()
{
    QFETCH(QString, library);
    QFETCH(QByteArray, function);
    QFETCH(QString, hpText);
    QFETCH(bool, ok);
    QFETCH(QString, text);
    FakeCorvres::setText("FAKE_CORVANE_HP", hpText);

    const CorvresLibrary::Result result = CorvresLibrary::call(library, function.constData());
    QCOMPARE(result.ok, ok);
    QCOMPARE(result.text + result.failure, ok ? text : text.arg(library)); // never both
}

void TestCorvresLibrary::libraryIsLoadedAfreshEveryCall()
{
    // The distributor replaces the library while the program runs (its removal: tst_frmabout).
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("libcorvres.so"));
    QVERIFY(FakeCorvres::place(QStringLiteral(FAKE_CORVRES), path));
    QVERIFY(CorvresLibrary::call(path, "CorvaneMailAddress").ok);
    QVERIFY(FakeCorvres::place(QStringLiteral(FAKE_CORVRES_NOMAIL), path));
    QVERIFY(!CorvresLibrary::call(path, "CorvaneMailAddress").ok);
    QVERIFY(FakeCorvres::place(QFINDTESTDATA("fakecorvres.cpp"), path)); // no library
    const CorvresLibrary::Result result = CorvresLibrary::call(path, "CorvaneHpURL");
    QVERIFY2(result.failure.startsWith(
                 QStringLiteral("リンクライブラリ「%1」を読み込めません（").arg(path)),
             qPrintable(result.failure));
}

void TestCorvresLibrary::searchOrder()
{
    const QStringList paths = CorvresLibrary::searchPaths(QStringLiteral("/opt/fw/bin"));
    QCOMPARE(paths.size(), 3);
    QCOMPARE(paths.first(), QStringLiteral("/opt/fw/bin/libcorvres.so"));
    QVERIFY2(paths[1].startsWith(QLatin1String("/opt/fw/")) &&
                 paths[1].endsWith(QLatin1String("/farewright/libcorvres.so")),
             qPrintable(paths[1]));
    QCOMPARE(paths.last(), QStringLiteral("/opt/fw/corvres/libcorvres.so"));
}

void TestCorvresLibrary::defaultSearchStartsInProgramFolder()
{
    const QString besideProgram =
        QDir(QCoreApplication::applicationDirPath()).filePath(CorvresLibrary::fileName());
    const auto removeCopy = qScopeGuard([&] { QFile::remove(besideProgram); });

    QFile::remove(besideProgram);
    CorvresLibrary::Result result = CorvresLibrary::call(QString(), "CorvaneHpURL");
    QVERIFY(result.failure.startsWith(
        QStringLiteral("リンクライブラリ「libcorvres.so」が見つかりません。")));
    const QStringList searched =
        CorvresLibrary::searchPaths(QCoreApplication::applicationDirPath());
    for (const QString& path : searched)
        QVERIFY2(result.failure.contains(path), qPrintable(path));

    QVERIFY(FakeCorvres::place(QStringLiteral(FAKE_CORVRES), besideProgram));
    FakeCorvres::setText("FAKE_CORVANE_HP", QStringLiteral("https://beside.example/"));
    result = CorvresLibrary::call(QString(), "CorvaneHpURL");
    QVERIFY2(result.ok, qPrintable(result.failure));
    QCOMPARE(result.text, QStringLiteral("https://beside.example/"));
}

void TestCorvresLibrary::manual_data()
{
    QTest::addColumn<QStringList>("files"); // made below a fresh folder
    QTest::addColumn<QString>("programDir");
    QTest::addColumn<bool>("browserStarts");
    QTest::addColumn<QString>("manual");  // where it is looked for
    QTest::addColumn<bool>("asked");      // whether the browser was asked to open it
    QTest::addColumn<QString>("message"); // before the path; empty when none is shown

    const QString installed = QStringLiteral("share/farewright/manual/index.html");
    const QString inBuild = QStringLiteral("docs/manual/index.html");
    const QString bin = QStringLiteral("bin");
    const QString app = QStringLiteral("src/app");
    const QString cache = QStringLiteral("CMakeCache.txt");
    const QString missing =
        QStringLiteral("使い方のページが見つかりません。次の場所にあるはずです：");
    QTest::newRow("installed") << QStringList{installed} << bin << true << installed << true
                               << QString();
    QTest::newRow("not installed")
        << QStringList{QStringLiteral("share/farewright/manual/other.html")} << bin << true
        << installed << false << missing;
    QTest::newRow("build tree") << QStringList{cache, inBuild} << app << true << inBuild << true
                                << QString();
    QTest::newRow("build tree without it") << QStringList{cache, QStringLiteral("src/") + installed}
                                           << app << true << inBuild << false << missing;
    QTest::newRow("no browser")
        << QStringList{installed} << bin << false << installed << true
        << QStringLiteral(
               "使い方のページをブラウザーで開けませんでした。次のファイルを開いてください：");
}

void TestCorvresLibrary::manual()
{
    QFETCH(QStringList, files);
    QFETCH(QString, programDir);
    QFETCH(bool, browserStarts);
    QFETCH(QString, manual);
    QFETCH(bool, asked);
    QFETCH(QString, message);
    QTemporaryDir root;
    for (const QString& file : files) {
        QVERIFY(QDir(root.path()).mkpath(QFileInfo(file).path()));
        QVERIFY(TestTables::writeBytes(root.filePath(file), "<html></html>"));
    }
    QVERIFY(QDir(root.path()).mkpath(programDir));
    const QString path = root.filePath(manual);
    QCOMPARE(HelpManual::indexPath(root.filePath(programDir)), path);

    FakePlatform platform;
    platform.urlOpens = browserStarts;
    HelpManual::open(platform, root.filePath(programDir));
    QCOMPARE(platform.urls, asked ? QList<QUrl>{QUrl::fromLocalFile(path)} : QList<QUrl>());
    QCOMPARE(platform.messageTexts(), message.isEmpty()
                                          ? QStringList()
                                          : QStringList{message + QStringLiteral("\r\n") + path});
}

QTEST_GUILESS_MAIN(TestCorvresLibrary)
#include "tst_corvreslibrary.moc"
