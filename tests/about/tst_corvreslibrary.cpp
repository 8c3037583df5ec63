#include "about/corvreslibrary.h"
#include "about/helpmanual.h"
#include "fakecorvres.h"
#include "fakeplatform.h"

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

void TestCorvresLibrary::manual()
{
    // Installed beside bin/: missing, there, no browser (the build tree's: in tst_form1).
    QTemporaryDir root;
    const QString bin = root.filePath(QStringLiteral("bin"));
    const QString page = root.filePath(QStringLiteral("share/farewright/manual/index.html"));
    QVERIFY(QDir().mkpath(bin) && QDir().mkpath(QFileInfo(page).path()));
    FakePlatform platform;
    HelpManual::open(platform, bin);
    QVERIFY(QFile(page).open(QIODevice::WriteOnly));
    HelpManual::open(platform, bin);
    QCOMPARE(platform.messages.size(), 1);
    platform.urlOpens = false;
    HelpManual::open(platform, bin);
    QCOMPARE(platform.urls, (QList<QUrl>{QUrl::fromLocalFile(page), QUrl::fromLocalFile(page)}));
    QCOMPARE(
        platform.messageTexts().join(u'|'),
        QStringLiteral(
            "使い方のページが見つかりません。次の場所にあるはずです：\r\n%1|"
            "使い方のページをブラウザーで開けませんでした。次のファイルを開いてください：\r\n%1")
            .arg(page));
}

QTEST_GUILESS_MAIN(TestCorvresLibrary)
#include "tst_corvreslibrary.moc"
