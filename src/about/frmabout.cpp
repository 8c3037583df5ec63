#include "frmabout.h"

#include "corvreslibrary.h"
#include "linklabel.h"
#include "model/platform.h"
#include "version.h"

#include <QDesktopServices>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QSvgRenderer>
#include <QUrl>

namespace {

/** The dialog's client area in twips. */
constexpr int ClientWidth = 5730;
constexpr int ClientHeight = 3165;

const QColor DarkRed(128, 0, 0);
const QColor LightYellow(255, 255, 192);
const QColor LinkYellow(255, 255, 128);
const QColor LightGrey(224, 224, 224);
const QColor Cyan(0, 255, 255);

/** The characters of the mail text that the dialog does not show: the "mailto:" scheme. */
constexpr int HiddenMailPrefix = 7;

QFont dialogFont(qreal pointSize)
{
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"),
                      QStringLiteral("Noto Sans CJK JP")});
    font.setPointSizeF(pointSize);
    return font;
}

/** Sets a label's text colour and, unless background is invalid (transparent), its background. */
void setColours(QWidget* widget, const QColor& text, const QColor& background = QColor())
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, text);
    if (background.isValid())
        palette.setColor(QPalette::Window, background);
    widget->setPalette(palette);
    widget->setAutoFillBackground(background.isValid());
}

QLabel* addLabel(QWidget* parent, const char* name, const QString& text = QString())
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

/**
 * Widens a label whose text the desktop's font draws wider than the layout allows, so that no
 * caption is cut off; the given width is the least it keeps.
 */
void keepTextWhole(QLabel* label)
{
    const int needed = label->sizeHint().width();
    if (!label->text().isEmpty() && needed > label->width())
        label->resize(needed, label->height());
}

/** The application icon, 32 × 32 pixels, drawn sharp for the screen's pixel ratio. */
QPixmap applicationIcon(qreal devicePixelRatio)
{
    const QSize size(32, 32);
    QPixmap pixmap(size * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(QStringLiteral(":/about/farewright.svg"));
    QPainter painter(&pixmap);
    renderer.render(&painter, QRectF(QPointF(0, 0), size));
    return pixmap;
}

} // namespace

FrmAbout::FrmAbout(QWidget* parent, Platform* platform, const QString& libraryPath)
    : QDialog(parent), platform_(platform), libraryPath_(libraryPath)
{
    setWindowTitle(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
    setModal(true);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFont(dialogFont(9));
    setFixedSize(twipsToPixels(0, 0, ClientWidth, ClientHeight).size());
    createControls();
    Form_Load();
    centreOnScreen();
}

QRect FrmAbout::twipsToPixels(int left, int top, int width, int height) const
{
    const qreal x = logicalDpiX() / 1440.0;
    const qreal y = logicalDpiY() / 1440.0;
    return QRect(qRound(left * x), qRound(top * y), qRound(width * x), qRound(height * y));
}

// The controls are created in their tab order, which is also the order of the focus chain.
void FrmAbout::createControls()
{
    cmdOK_ = new QPushButton(QStringLiteral("OK"), this);
    cmdOK_->setObjectName(QStringLiteral("cmdOK"));
    cmdOK_->setGeometry(twipsToPixels(4185, 2715, 1380, 345));
    cmdOK_->setDefault(true);
    connect(cmdOK_, &QPushButton::clicked, this, &FrmAbout::cmdOK_Click);

    QLabel* picIcon = addLabel(this, "picIcon");
    picIcon->setGeometry(twipsToPixels(180, 120, 480, 480));
    picIcon->setAlignment(Qt::AlignCenter);
    picIcon->setPixmap(applicationIcon(devicePixelRatioF()));

    lblTitle_ = addLabel(this, "lblTitle");
    lblTitle_->setGeometry(twipsToPixels(990, 120, 4290, 315));
    QFont titleFont = dialogFont(14.25);
    titleFont.setBold(true);
    lblTitle_->setFont(titleFont);
    setColours(lblTitle_, Qt::black, LightYellow);

    lblVersion_ = addLabel(this, "lblVersion");
    lblVersion_->setGeometry(twipsToPixels(990, 495, 2655, 225));
    lblVersion_->setAutoFillBackground(true);

    QLabel* developer = addLabel(this, "Label1_0", QStringLiteral("開発元：Kestrelworks"));
    developer->setGeometry(twipsToPixels(1020, 1350, 4305, 240));
    setColours(developer, Qt::black, LightGrey);

    auto* line = new QFrame(this);
    line->setObjectName(QStringLiteral("Label2"));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(twipsToPixels(0, 2505, 5745, 45));

    QLabel* panel = addLabel(this, "Label3");
    panel->setGeometry(twipsToPixels(-30, -30, 5790, 2580));
    setColours(panel, Qt::black, DarkRed);
    panel->lower(); // behind every other control

    QLabel* distributor = addLabel(this, "Label1_1", QStringLiteral("配布元：Corvane"));
    distributor->setGeometry(twipsToPixels(1020, 1050, 4305, 240));
    setColours(distributor, Qt::black, LightGrey);

    QFont linkFont = dialogFont(9);
    linkFont.setUnderline(true);
    Label4_ = new LinkLabel(this);
    Label4_->setObjectName(QStringLiteral("Label4"));
    Label4_->move(twipsToPixels(1230, 1800, 0, 0).topLeft());
    Label4_->setToolTip(QStringLiteral("ここをクリックするとCorvaneHPへジャンプします"));
    connect(Label4_, &LinkLabel::clicked, this, &FrmAbout::Label4_Click);

    Label5_ = new LinkLabel(this);
    Label5_->setObjectName(QStringLiteral("Label5"));
    Label5_->move(twipsToPixels(1230, 2130, 0, 0).topLeft());
    Label5_->setToolTip(QStringLiteral("ここをクリックするとCorvaneHP管理人へメールを作成します"));
    connect(Label5_, &LinkLabel::clicked, this, &FrmAbout::Label5_Click);
    for (LinkLabel* link : {Label4_, Label5_}) {
        link->setFont(linkFont);
        setColours(link, LinkYellow);
    }

    QLabel* homePage = addLabel(this, "Label6_0", QStringLiteral("CorvaneHP："));
    homePage->setGeometry(twipsToPixels(180, 1800, 930, 225));
    setColours(homePage, Cyan);

    QLabel* mail = addLabel(this, "Label6_1", QStringLiteral("メール："));
    mail->setGeometry(twipsToPixels(195, 2115, 855, 225));
    setColours(mail, Cyan);

    for (QLabel* label : {developer, distributor, homePage, mail})
        keepTextWhole(label);
    cmdOK_->setFocus();
}

void FrmAbout::centreOnScreen()
{
    const QScreen* screen =
        parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = rect();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}

void FrmAbout::Form_Load()
{
    setWindowTitle(applicationTitle() + QStringLiteral("のﾊﾞｰｼﾞｮﾝ情報"));
    lblVersion_->setText(QStringLiteral("ﾊﾞｰｼﾞｮﾝ ") + QStringLiteral(FAREWRIGHT_VERSION));
    lblTitle_->setText(applicationTitle());
    keepTextWhole(lblVersion_);
    keepTextWhole(lblTitle_);
    // A library that cannot be used leaves the links empty; a click reports why.
    Label4_->setText(CorvresLibrary::call(libraryPath_, "CorvaneHpURL").text);
    Label5_->setText(
        CorvresLibrary::call(libraryPath_, "CorvaneMailAddress").text.mid(HiddenMailPrefix));
    Label4_->adjustSize();
    Label5_->adjustSize();
}

void FrmAbout::cmdOK_Click()
{
    accept();
}

void FrmAbout::Label4_Click()
{
    openLink("CorvaneHpURL");
}

void FrmAbout::Label5_Click()
{
    openLink("CorvaneMailAddress");
}

void FrmAbout::openLink(const char* function)
{
    const CorvresLibrary::Result link = CorvresLibrary::call(libraryPath_, function);
    if (!link.ok) {
        showLinkFailure(link.failure);
        return;
    }
    // Whether the desktop could open it is not known to the user here; the desktop reports it.
    QDesktopServices::openUrl(QUrl(link.text, QUrl::TolerantMode));
}

void FrmAbout::showLinkFailure(const QString& description)
{
    const QString text = description + QStringLiteral("\r\n") + QStringLiteral("\r\n") +
                         QStringLiteral(" 上記内容をCorvaneHP関係者まで報告してください。");
    const QString title = QStringLiteral("Corvhpurl.dllのエラー");
    if (platform_) {
        platform_->messageBox(text, title, Platform::Buttons::Ok, Platform::Icon::Critical,
                              Platform::Answer::Ok);
        return;
    }
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QMessageBox box(QMessageBox::Critical, title, shown, QMessageBox::Ok, this);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void ShowVersionDialog(QWidget* parent, Platform* platform)
{
    FrmAbout dialog(parent, platform);
    dialog.exec();
}
