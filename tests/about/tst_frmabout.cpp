#include "about/frmabout.h"
#include "fakecorvres.h"
#include "fakeplatform.h"

#include <QDesktopServices>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

namespace {

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
    void clicksCallTheLibraryAfresh();

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
    QTest::addColumn<QString>("hpText");
    QTest::addColumn<QString>("mailText");
    QTest::addColumn<QString>("shown"); // the home page's and the mail's label, "|" between
    QTest::newRow("shorter than the scheme")
        << QStringLiteral("x") << QStringLiteral("mail") << "x|";
    QTest::newRow("one past the scheme")
        << QStringLiteral("x") << QStringLiteral("mailto:a") << "x|a";
    QTest::newRow("characters, not bytes")
        << QStringLiteral("https://運賃.example/") << QStringLiteral("ＭＡＩＬＴＯ：運賃係@例え.jp")
        << "https://運賃.example/|運賃係@例え.jp";
}

void TestFrmAbout::linkTexts()
{
    QFETCH(QString, hpText);
    QFETCH(QString, mailText);
    QFETCH(QString, shown);
    FakeCorvres::setText("FAKE_CORVANE_HP", hpText);
    FakeCorvres::setText("FAKE_CORVANE_MAIL", mailText);
    FakePlatform platform;
    FrmAbout dialog(platform, nullptr, QStringLiteral(FAKE_CORVRES));
    QCOMPARE(link(dialog, 4)->text() + QLatin1Char('|') + link(dialog, 5)->text(), shown);
}

void TestFrmAbout::clicksCallTheLibraryAfresh()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("libcorvres.so"));
    QVERIFY(FakeCorvres::place(QStringLiteral(FAKE_CORVRES), path));
    FakePlatform platform;
    FrmAbout dialog(platform, nullptr, path);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QWidget* homePage = link(dialog, 4);
    const auto click = [](QWidget* label) {
        QTest::mouseClick(label, Qt::LeftButton, {}, label->rect().center());
    };
    // The mail link opens the whole text, the scheme the label hides included; the home page's
    // text is fetched again at the click.
    click(link(dialog, 5));
    FakeCorvres::setText("FAKE_CORVANE_HP", QStringLiteral("https://new.example/"));
    click(homePage);
    QCOMPARE(m_urls.opened, (QStringList{QStringLiteral("mailto:tester@fake.example"),
                                         QStringLiteral("https://new.example/")}));

    // Neither another button nor a press that leaves the label before its release is a click.
    QTest::mouseClick(homePage, Qt::RightButton, {}, homePage->rect().center());
    QTest::mousePress(homePage, Qt::LeftButton, {}, homePage->rect().center());
    QTest::mouseRelease(homePage, Qt::LeftButton, {},
                        homePage->rect().bottomRight() + QPoint(5, 5));
    QCOMPARE(m_urls.opened.size(), 2);

    // A library removed meanwhile: the reason is shown, the dialog stays. A dialog opened now
    // has empty links.
    QVERIFY(FakeCorvres::place(QString(), path));
    const FrmAbout missing(platform, nullptr, path);
    QCOMPARE(link(missing, 4)->text() + link(missing, 5)->text(), QString());
    QVERIFY(platform.messages.isEmpty()); // failures are shown only when a link is clicked
    click(link(dialog, 5));
    QVERIFY(dialog.isVisible());
    QCOMPARE(m_urls.opened.size(), 2);
    QCOMPARE(platform.messages.size(), 1);
    const FakePlatform::Message& message = platform.messages.first();
    QCOMPARE(message.text,
             QStringLiteral("リンクライブラリ「%1」が見つかりません。\r\n\r\n 上記内容をCorvaneHP"
                            "関係者まで報告してください。")
                 .arg(path));
    QCOMPARE(message.title, QStringLiteral("Corvhpurl.dllのエラー"));
    QCOMPARE(message.icon, Platform::Icon::Critical);
}

QTEST_MAIN(TestFrmAbout)
#include "tst_frmabout.moc"
