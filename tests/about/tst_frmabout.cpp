#include "about/frmabout.h"
#include "fakeplatform.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <cmath>

namespace {

const QString missingLibrary = QStringLiteral("/nonexistent/folder/libcorvres.so");
const QString reportRequest =
    QStringLiteral("\r\n\r\n 上記内容をCorvaneHP関係者まで報告してください。");
const QString errorTitle = QStringLiteral("Corvhpurl.dllのエラー");
constexpr int SizedToText = -1;

/** The dialog's controls in their tab order: name, position and size in twips, text. */
struct Control {
    const char* name;
    int left, top, width, height;
    const char* text;
};
const Control controls[] = {
    {"cmdOK", 4185, 2715, 1380, 345, "OK"},
    {"picIcon", 180, 120, 480, 480, ""},
    {"lblTitle", 990, 120, 4290, 315, "Farewright"},
    {"lblVersion", 990, 495, 2655, 225, "ﾊﾞｰｼﾞｮﾝ 3.0.0"},
    {"Label1_0", 1020, 1350, 4305, 240, "開発元：Kestrelworks"},
    {"Label2", 0, 2505, 5745, 45, nullptr},
    {"Label3", -30, -30, 5790, 2580, ""},
    {"Label1_1", 1020, 1050, 4305, 240, "配布元：Corvane"},
    {"Label4", 1230, 1800, SizedToText, SizedToText, "https://fake.example/hp"},
    {"Label5", 1230, 2130, SizedToText, SizedToText, "tester@fake.example"},
    {"Label6_0", 180, 1800, 930, 225, "CorvaneHP："},
    {"Label6_1", 195, 2115, 855, 225, "メール："},
};

int pixels(int twips, int dpi)
{
    return static_cast<int>(std::lround(twips * dpi / 1440.0));
}

/** Sets (or, for a null text, unsets) a text that the fake link library returns. */
void setFakeText(const char* variable, const QString& text)
{
    if (text.isNull())
        qunsetenv(variable);
    else
        qputenv(variable, text.toUtf8());
}

bool placeLibrary(const QString& library, const QString& path)
{
    QFile::remove(path);
    return library.isEmpty() || QFile::copy(library, path);
}

template <typename T = QWidget> T* control(const QWidget& dialog, const char* name)
{
    return dialog.findChild<T*>(QLatin1String(name));
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

    void window();
    void controlsPlaced_data();
    void controlsPlaced();
    void focusChainFollowsTabOrder();
    void colours_data();
    void colours();
    void links();

    void linkTexts_data();
    void linkTexts();
    void missingLibraryLeavesLinksEmpty();
    void clicks_data();
    void clicks();
    void mouseClickOpensLink();
    void closingKeys_data();
    void closingKeys();
    void versionCommandShowsModallyAndDestroys();

private:
    UrlRecorder urls_;
};

void TestFrmAbout::initTestCase()
{
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &urls_, "open");
    QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &urls_, "open");
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
    urls_.opened.clear();
}

void TestFrmAbout::window()
{
    QWidget parent;
    FakePlatform platform;
    FrmAbout dialog(platform, &parent, QStringLiteral(FAKE_CORVRES));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Farewrightのﾊﾞｰｼﾞｮﾝ情報"));
    QVERIFY(dialog.isModal());

    const int dpiX = dialog.logicalDpiX();
    const int dpiY = dialog.logicalDpiY();
    const QSize client(pixels(5730, dpiX), pixels(3165, dpiY));
    QCOMPARE(dialog.minimumSize(), client);
    QCOMPARE(dialog.maximumSize(), client);
    if (dpiX == 96 && dpiY == 96)
        QCOMPARE(client, QSize(382, 211));

    const QRect screen = parent.screen()->availableGeometry();
    const QPoint centre = QRect(dialog.pos(), dialog.size()).center();
    QVERIFY2(std::abs(centre.x() - screen.center().x()) <= 1 &&
                 std::abs(centre.y() - screen.center().y()) <= 1,
             "the dialog is centred on the screen");
    QVERIFY(platform.messages.isEmpty());
}

void TestFrmAbout::controlsPlaced_data()
{
    QTest::addColumn<QRect>("twips");
    QTest::addColumn<QString>("text");
    for (const Control& c : controls)
        QTest::newRow(c.name) << QRect(c.left, c.top, c.width, c.height)
                              << (c.text ? QString::fromUtf8(c.text) : QString());
}

void TestFrmAbout::controlsPlaced()
{
    QFETCH(QRect, twips);
    QFETCH(QString, text);
    FakePlatform platform;
    FrmAbout dialog(platform, nullptr, QStringLiteral(FAKE_CORVRES));
    const int dpiX = dialog.logicalDpiX();
    const int dpiY = dialog.logicalDpiY();
    QWidget* widget = control(dialog, QTest::currentDataTag());
    QVERIFY(widget);
    QVERIFY(widget->isVisibleTo(&dialog));

    QCOMPARE(widget->pos(), QPoint(pixels(twips.x(), dpiX), pixels(twips.y(), dpiY)));
    if (twips.width() == SizedToText) {
        QVERIFY(widget->width() > 0);
        QCOMPARE(widget->size(), widget->sizeHint());
        QCOMPARE(qobject_cast<QLabel*>(widget)->text(), text);
        return;
    }
    QCOMPARE(widget->height(), pixels(twips.height(), dpiY));
    auto* label = qobject_cast<QLabel*>(widget);
    if (label && !text.isEmpty()) {
        // A caption is never cut off: where the desktop's font is wider, the label grows.
        QCOMPARE(widget->width(), qMax(pixels(twips.width(), dpiX), label->sizeHint().width()));
    } else {
        QCOMPARE(widget->width(), pixels(twips.width(), dpiX));
    }
    if (label)
        QCOMPARE(label->text(), text);
    else if (auto* button = qobject_cast<QPushButton*>(widget))
        QCOMPARE(button->text(), text);
}

void TestFrmAbout::focusChainFollowsTabOrder()
{
    FakePlatform platform;
    FrmAbout dialog(platform, nullptr, QStringLiteral(FAKE_CORVRES));
    QStringList expected;
    for (const Control& c : controls)
        expected.append(QLatin1String(c.name));

    QStringList chain;
    QWidget* widget = control(dialog, "cmdOK");
    QVERIFY(widget);
    do {
        if (expected.contains(widget->objectName()))
            chain.append(widget->objectName());
        widget = widget->nextInFocusChain();
    } while (widget != control(dialog, "cmdOK") && chain.size() <= expected.size());
    QCOMPARE(chain, expected);

    // The button is the only control that takes the focus, and it has it.
    QCOMPARE(dialog.focusWidget(), control(dialog, "cmdOK"));
    const QList<QWidget*> children = dialog.findChildren<QWidget*>();
    for (QWidget* child : children)
        if (child != control(dialog, "cmdOK"))
            QCOMPARE(child->focusPolicy(), Qt::NoFocus);
}

void TestFrmAbout::colours_data()
{
    QTest::addColumn<QPoint>("twips"); // a point of the client area
    QTest::addColumn<QColor>("colour");
    const QColor darkRed(128, 0, 0);
    QTest::newRow("panel beside the icon") << QPoint(120, 1500) << darkRed;
    QTest::newRow("panel shows through a caption") << QPoint(1095, 2010) << darkRed;
    QTest::newRow("title background") << QPoint(5200, 400) << QColor(255, 255, 192);
    QTest::newRow("distributor background") << QPoint(5250, 1250) << QColor(224, 224, 224);
    QTest::newRow("developer background") << QPoint(5250, 1550) << QColor(224, 224, 224);
    QTest::newRow("icon drawn over the panel") << QPoint(240, 360) << QColor(0x2f, 0x7d, 0x4f);
    QTest::newRow("below the panel") << QPoint(2000, 3000) << QColor(); // the window's colour
}

void TestFrmAbout::colours()
{
    QFETCH(QPoint, twips);
    QFETCH(QColor, colour);
    FakePlatform platform;
    FrmAbout dialog(platform, nullptr, QStringLiteral(FAKE_CORVRES));
    const QImage image = dialog.grab().toImage();
    const QPoint point(pixels(twips.x(), dialog.logicalDpiX()),
                       pixels(twips.y(), dialog.logicalDpiY()));
    const QPoint scaled = point * image.devicePixelRatio();
    if (!colour.isValid())
        colour = dialog.palette().color(QPalette::Window);
    QCOMPARE(image.pixelColor(scaled).name(), colour.name());
}

void TestFrmAbout::links()
{
    FakePlatform platform;
    FrmAbout dialog(platform, nullptr, QStringLiteral(FAKE_CORVRES));
    QWidget* homePage = control(dialog, "Label4");
    QWidget* mail = control(dialog, "Label5");
    QCOMPARE(homePage->toolTip(), QStringLiteral("ここをクリックするとCorvaneHPへジャンプします"));
    QCOMPARE(mail->toolTip(),
             QStringLiteral("ここをクリックするとCorvaneHP管理人へメールを作成します"));
    QCOMPARE(homePage->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(mail->cursor().shape(), Qt::PointingHandCursor);
    QVERIFY(!homePage->autoFillBackground());
    QVERIFY(!mail->autoFillBackground());
}

void TestFrmAbout::linkTexts_data()
{
    QTest::addColumn<QString>("hpText");
    QTest::addColumn<QString>("mailText");
    QTest::addColumn<QString>("shownHp");
    QTest::addColumn<QString>("shownMail");

    QTest::newRow("addresses") << QStringLiteral("https://a.example/")
                               << QStringLiteral("mailto:someone@a.example")
                               << QStringLiteral("https://a.example/")
                               << QStringLiteral("someone@a.example");
    QTest::newRow("only the scheme")
        << QStringLiteral("x") << QStringLiteral("mailto:") << QStringLiteral("x") << QString();
    QTest::newRow("shorter than the scheme")
        << QStringLiteral("x") << QStringLiteral("mail") << QStringLiteral("x") << QString();
    QTest::newRow("one past the scheme") << QStringLiteral("x") << QStringLiteral("mailto:a")
                                         << QStringLiteral("x") << QStringLiteral("a");
    QTest::newRow("characters, not bytes")
        << QStringLiteral("https://運賃.example/") << QStringLiteral("ＭＡＩＬＴＯ：運賃係@例え.jp")
        << QStringLiteral("https://運賃.example/") << QStringLiteral("運賃係@例え.jp");
    QTest::newRow("no texts") << QStringLiteral("(null)") << QStringLiteral("(null)") << QString()
                              << QString();
}

void TestFrmAbout::linkTexts()
{
    QFETCH(QString, hpText);
    QFETCH(QString, mailText);
    QFETCH(QString, shownHp);
    QFETCH(QString, shownMail);
    setFakeText("FAKE_CORVANE_HP", hpText);
    setFakeText("FAKE_CORVANE_MAIL", mailText);
    FakePlatform platform;
    FrmAbout dialog(platform, nullptr, QStringLiteral(FAKE_CORVRES));
    auto* homePage = control<QLabel>(dialog, "Label4");
    auto* mail = control<QLabel>(dialog, "Label5");
    QCOMPARE(homePage->text(), shownHp);
    QCOMPARE(mail->text(), shownMail);
    QCOMPARE(homePage->size(), homePage->sizeHint());
    QCOMPARE(mail->size(), mail->sizeHint());
    QVERIFY(platform.messages.isEmpty());
}

void TestFrmAbout::missingLibraryLeavesLinksEmpty()
{
    FakePlatform platform;
    FrmAbout dialog(platform, nullptr, missingLibrary);
    QCOMPARE(control<QLabel>(dialog, "Label4")->text(), QString());
    QCOMPARE(control<QLabel>(dialog, "Label5")->text(), QString());
    QCOMPARE(control<QLabel>(dialog, "lblVersion")->text(), QStringLiteral("ﾊﾞｰｼﾞｮﾝ 3.0.0"));
    QVERIFY(platform.messages.isEmpty());
}

void TestFrmAbout::clicks_data()
{
    QTest::addColumn<int>("link");               // 4 or 5
    QTest::addColumn<QString>("libraryAtClick"); // empty: removed
    QTest::addColumn<QString>("hpText");
    QTest::addColumn<QString>("mailText");
    QTest::addColumn<QString>("opened");
    QTest::addColumn<QString>("failure"); // %1 is the library's path

    const QString fake = QStringLiteral(FAKE_CORVRES);
    const QString noMail = QStringLiteral(FAKE_CORVRES_NOMAIL);
    QTest::newRow("home page") << 4 << fake << QString() << QString()
                               << QStringLiteral("https://fake.example/hp") << QString();
    QTest::newRow("mail opens the whole text")
        << 5 << fake << QString() << QString() << QStringLiteral("mailto:tester@fake.example")
        << QString();
    QTest::newRow("mail shorter than shown part")
        << 5 << fake << QString() << QStringLiteral("mailto:") << QStringLiteral("mailto:")
        << QString();
    QTest::newRow("texts fetched again at the click")
        << 4 << fake << QStringLiteral("https://new.example/") << QString()
        << QStringLiteral("https://new.example/") << QString();
    QTest::newRow("missing function")
        << 5 << noMail << QString() << QString() << QString()
        << QStringLiteral("リンクライブラリ「%1」に関数 CorvaneMailAddress がありません。");
    QTest::newRow("library removed") << 4 << QString() << QString() << QString() << QString()
                                     << QStringLiteral("リンクライブラリ「%1」が見つかりません。");
    QTest::newRow("no text")
        << 4 << fake << QStringLiteral("(null)") << QString() << QString()
        << QStringLiteral("リンクライブラリ「%1」の関数 CorvaneHpURL が値を返しませんでした。");
}

void TestFrmAbout::clicks()
{
    QFETCH(int, link);
    QFETCH(QString, libraryAtClick);
    QFETCH(QString, hpText);
    QFETCH(QString, mailText);
    QFETCH(QString, opened);
    QFETCH(QString, failure);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("libcorvres.so"));
    QVERIFY(placeLibrary(QStringLiteral(FAKE_CORVRES), path));
    FakePlatform platform;
    FrmAbout dialog(platform, nullptr, path);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    QVERIFY(placeLibrary(libraryAtClick, path));
    setFakeText("FAKE_CORVANE_HP", hpText);
    setFakeText("FAKE_CORVANE_MAIL", mailText);
    if (link == 4)
        dialog.Label4_Click();
    else
        dialog.Label5_Click();

    QVERIFY(dialog.isVisible());
    if (failure.isEmpty()) {
        QCOMPARE(urls_.opened, QStringList{opened});
        QVERIFY(platform.messages.isEmpty());
        return;
    }
    QVERIFY(urls_.opened.isEmpty());
    QCOMPARE(platform.messages.size(), 1);
    const FakePlatform::Message& message = platform.messages.first();
    QCOMPARE(message.text, failure.arg(path) + reportRequest);
    QCOMPARE(message.title, errorTitle);
    QCOMPARE(message.buttons, Platform::Buttons::Ok);
    QCOMPARE(message.icon, Platform::Icon::Critical);

    // The dialog stays usable: once the library is back, the link works.
    QVERIFY(placeLibrary(QStringLiteral(FAKE_CORVRES), path));
    qunsetenv("FAKE_CORVANE_HP");
    if (link == 4)
        dialog.Label4_Click();
    else
        dialog.Label5_Click();
    QCOMPARE(urls_.opened.size(), 1);
    QCOMPARE(platform.messages.size(), 1);
}

void TestFrmAbout::mouseClickOpensLink()
{
    FakePlatform platform;
    FrmAbout dialog(platform, nullptr, QStringLiteral(FAKE_CORVRES));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QWidget* homePage = control(dialog, "Label4");
    QWidget* mail = control(dialog, "Label5");

    QTest::mouseClick(homePage, Qt::LeftButton, {}, homePage->rect().center());
    QTest::mouseClick(mail, Qt::LeftButton, {}, mail->rect().center());
    QCOMPARE(urls_.opened, (QStringList{QStringLiteral("https://fake.example/hp"),
                                        QStringLiteral("mailto:tester@fake.example")}));

    // Neither another button nor a press that leaves the label before its release is a click.
    QTest::mouseClick(homePage, Qt::RightButton, {}, homePage->rect().center());
    QTest::mousePress(homePage, Qt::LeftButton, {}, homePage->rect().center());
    QTest::mouseRelease(homePage, Qt::LeftButton, {},
                        homePage->rect().bottomRight() + QPoint(5, 5));
    QCOMPARE(urls_.opened.size(), 2);
}

void TestFrmAbout::closingKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("result");
    QTest::newRow("Enter") << int(Qt::Key_Return) << int(QDialog::Accepted);
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << int(QDialog::Accepted);
    QTest::newRow("Escape") << int(Qt::Key_Escape) << int(QDialog::Rejected);
}

void TestFrmAbout::closingKeys()
{
    QFETCH(int, key);
    QFETCH(int, result);
    FakePlatform platform;
    FrmAbout dialog(platform, nullptr, missingLibrary);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QWidget* focus = dialog.focusWidget();
    QVERIFY(focus);
    QTest::keyClick(focus, Qt::Key(key));
    QVERIFY(dialog.isHidden());
    QCOMPARE(dialog.result(), result);
}

void TestFrmAbout::versionCommandShowsModallyAndDestroys()
{
    QWidget mainWindow;
    mainWindow.show();
    QVERIFY(QTest::qWaitForWindowExposed(&mainWindow));
    QString title;
    bool modal = false;
    QTimer::singleShot(0, &mainWindow, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog)
            return;
        title = dialog->windowTitle();
        modal = dialog->isModal() && dialog->parentWidget() == &mainWindow;
        QTest::keyClick(dialog->focusWidget() ? dialog->focusWidget() : dialog, Qt::Key_Escape);
    });
    FakePlatform platform;
    execVersionDialog(platform, &mainWindow);
    QCOMPARE(title, QStringLiteral("Farewrightのﾊﾞｰｼﾞｮﾝ情報"));
    QVERIFY(modal);
    QVERIFY(mainWindow.findChildren<FrmAbout*>().isEmpty());
}

QTEST_MAIN(TestFrmAbout)
#include "tst_frmabout.moc"
