#include "about/frmabout.h"
#include "fakecorvres.h"
#include "fakeplatform.h"

#include <QDesktopServices>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

namespace {

const QString missingLibrary = QStringLiteral("/nonexistent/folder/libcorvres.so");

QLabel* link(const QWidget& dialog, int number)
{
    return dialog.findChild<QLabel*>(QStringLiteral("Label%1").arg(number));
}

} // namespace

/** Takes the URLs that the dialog asks the desktop to open. */
class UrlRecorder : public QObject {
    Q_OBJECT

public:
    QStringList opened;

public slots:
    void open(const QUrl& url) { opened.append(url.toString()); }
};

class TestFrmAbout : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void linkTexts_data();
    void linkTexts();
    void clicks_data();
    void clicks();
    void mouseClickOpensLink();

private:
    UrlRecorder m_urls;
};

void TestFrmAbout::initTestCase()
{
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &m_urls, "open");
    QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &m_urls, "open");
}

void TestFrmAbout::cleanupTestCase()
{
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
}

void TestFrmAbout::init()
{
    qunsetenv("FAKE_CORVANE_HP");
    qunsetenv("FAKE_CORVANE_MAIL");
    m_urls.opened.clear();
}

void TestFrmAbout::linkTexts_data()
{
    QTest::addColumn<QString>("library");
    QTest::addColumn<QString>("hpText");
    QTest::addColumn<QString>("mailText");
    QTest::addColumn<QString>("shown"); // the home page's and the mail's label, "|" between
    const QString fake = QStringLiteral(FAKE_CORVRES);
    QTest::newRow("addresses") << fake << "https://a.example/"
                               << "mailto:someone@a.example"
                               << "https://a.example/|someone@a.example";
    QTest::newRow("shorter than the scheme") << fake << "x"
                                             << "mail"
                                             << "x|";
    QTest::newRow("one past the scheme") << fake << "x"
                                         << "mailto:a"
                                         << "x|a";
    QTest::newRow("characters, not bytes") << fake << "https://運賃.example/"
                                           << "ＭＡＩＬＴＯ：運賃係@例え.jp"
                                           << "https://運賃.example/|運賃係@例え.jp";
    QTest::newRow("no texts") << fake << "(null)"
                              << "(null)"
                              << "|";
    QTest::newRow("no library") << missingLibrary << ""
                                << ""
                                << "|";
}

void TestFrmAbout::linkTexts()
{
    QFETCH(QString, library);
    QFETCH(QString, hpText);
    QFETCH(QString, mailText);
    QFETCH(QString, shown);
    FakeCorvres::setText("FAKE_CORVANE_HP", hpText);
    FakeCorvres::setText("FAKE_CORVANE_MAIL", mailText);
    FakePlatform platform;
    FrmAbout dialog(platform, nullptr, library);
    QCOMPARE(link(dialog, 4)->text() + QLatin1Char('|') + link(dialog, 5)->text(), shown);
    for (const int number : {4, 5}) // a link is as wide as its text
        QCOMPARE(link(dialog, number)->size(), link(dialog, number)->sizeHint());
    QVERIFY(platform.messages.isEmpty()); // failures are shown only when a link is clicked
}

void TestFrmAbout::clicks_data()
{
    QTest::addColumn<int>("link");               // 4 or 5
    QTest::addColumn<QString>("libraryAtClick"); // empty: removed
    QTest::addColumn<QString>("hpText");
    QTest::addColumn<QString>("opened");
    QTest::addColumn<QString>("failure"); // %1 is the library's path
    const QString fake = QStringLiteral(FAKE_CORVRES);
    QTest::newRow("home page") << 4 << fake << QString() << "https://fake.example/hp" << QString();
    QTest::newRow("mail opens the whole text")
        << 5 << fake << QString() << "mailto:tester@fake.example" << QString();
    QTest::newRow("texts fetched again at the click") << 4 << fake << "https://new.example/"
                                                      << "https://new.example/" << QString();
    QTest::newRow("missing function")
        << 5 << QStringLiteral(FAKE_CORVRES_NOMAIL) << QString() << QString()
        << "リンクライブラリ「%1」に関数 CorvaneMailAddress がありません。";
    QTest::newRow("library removed")
        << 4 << QString() << QString() << QString() << "リンクライブラリ「%1」が見つかりません。";
    QTest::newRow("no text")
        << 4 << fake << "(null)" << QString()
        << "リンクライブラリ「%1」の関数 CorvaneHpURL が値を返しませんでした。";
}

void TestFrmAbout::clicks()
{
    QFETCH(int, link);
    QFETCH(QString, libraryAtClick);
    QFETCH(QString, hpText);
    QFETCH(QString, opened);
    QFETCH(QString, failure);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("libcorvres.so"));
    QVERIFY(FakeCorvres::place(QStringLiteral(FAKE_CORVRES), path));
    FakePlatform platform;
    FrmAbout dialog(platform, nullptr, path);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const auto click = [&] {
        link == 4 ? dialog.Label4_Click() : dialog.Label5_Click();
    };

    QVERIFY(FakeCorvres::place(libraryAtClick, path));
    FakeCorvres::setText("FAKE_CORVANE_HP", hpText);
    click();
    QVERIFY(dialog.isVisible());
    if (failure.isEmpty()) {
        QCOMPARE(m_urls.opened, QStringList{opened});
        QVERIFY(platform.messages.isEmpty());
        return;
    }
    QVERIFY(m_urls.opened.isEmpty());
    QCOMPARE(platform.messages.size(), 1);
    const FakePlatform::Message& message = platform.messages.first();
    QCOMPARE(message.text,
             failure.arg(path) +
                 QStringLiteral("\r\n\r\n 上記内容をCorvaneHP関係者まで報告してください。"));
    QCOMPARE(message.title, QStringLiteral("Corvhpurl.dllのエラー"));
    QCOMPARE(message.icon, Platform::Icon::Critical);
}

void TestFrmAbout::mouseClickOpensLink()
{
    FakePlatform platform;
    FrmAbout dialog(platform, nullptr, QStringLiteral(FAKE_CORVRES));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QWidget* homePage = link(dialog, 4);
    QTest::mouseClick(homePage, Qt::LeftButton, {}, homePage->rect().center());
    QTest::mouseClick(link(dialog, 5), Qt::LeftButton, {}, link(dialog, 5)->rect().center());
    QCOMPARE(m_urls.opened, (QStringList{QStringLiteral("https://fake.example/hp"),
                                         QStringLiteral("mailto:tester@fake.example")}));

    // Neither another button nor a press that leaves the label before its release is a click.
    QTest::mouseClick(homePage, Qt::RightButton, {}, homePage->rect().center());
    QTest::mousePress(homePage, Qt::LeftButton, {}, homePage->rect().center());
    QTest::mouseRelease(homePage, Qt::LeftButton, {},
                        homePage->rect().bottomRight() + QPoint(5, 5));
    QCOMPARE(m_urls.opened.size(), 2);
}

QTEST_MAIN(TestFrmAbout)
#include "tst_frmabout.moc"
