#include "frmabout.h"

#include "corvreslibrary.h"
#include "gui/twips.h"
#include "linklabel.h"
#include "model/platform.h"
#include "version.h"

#include <QDesktopServices>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
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

FrmAbout::FrmAbout(Platform& platform, QWidget* parent, const QString& libraryPath)
    : QDialog(parent), m_platform(platform), m_libraryPath(libraryPath)
{
    setWindowTitle(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
    setModal(true);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFont(dialogFont(9));
    setFixedSize(Twips::ofPrimaryScreen().toPixels(QSize(ClientWidth, ClientHeight)));
    createControls();
    Form_Load();
    centreOnScreen();
}

// The controls are created in their tab order, which is also the order of the focus chain.
void FrmAbout::createControls()
{
    const Twips twips = Twips::ofPrimaryScreen();
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(twips.toPixels(4185, 2715, 1380, 345));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &FrmAbout::cmdOK_Click);

    QLabel* picIcon = addLabel(this, "picIcon");
    picIcon->setGeometry(twips.toPixels(180, 120, 480, 480));
    picIcon->setAlignment(Qt::AlignCenter);
    picIcon->setPixmap(applicationIcon(devicePixelRatioF()));

    lblTitle = addLabel(this, "lblTitle");
    lblTitle->setGeometry(twips.toPixels(990, 120, 4290, 315));
    QFont titleFont = dialogFont(14.25);
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);
    setColours(lblTitle, Qt::black, LightYellow);

    lblVersion = addLabel(this, "lblVersion");
    lblVersion->setGeometry(twips.toPixels(990, 495, 2655, 225));
    lblVersion->setAutoFillBackground(true);

    QLabel* developer = addLabel(this, "Label1_0", QStringLiteral("開発元：Kestrelworks"));
    developer->setGeometry(twips.toPixels(1020, 1350, 4305, 240));
    setColours(developer, Qt::black, LightGrey);

    auto* line = new QFrame(this);
    line->setObjectName(QStringLiteral("Label2"));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(twips.toPixels(0, 2505, 5745, 45));

    QLabel* panel = addLabel(this, "Label3");
    panel->setGeometry(twips.toPixels(-30, -30, 5790, 2580));
    setColours(panel, Qt::black, DarkRed);
    panel->lower(); // behind every other control

    QLabel* distributor = addLabel(this, "Label1_1", QStringLiteral("配布元：Corvane"));
    distributor->setGeometry(twips.toPixels(1020, 1050, 4305, 240));
    setColours(distributor, Qt::black, LightGrey);

    QFont linkFont = dialogFont(9);
    linkFont.setUnderline(true);
    Label4 = new LinkLabel(this);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->move(twips.toPixels(1230, 1800, 0, 0).topLeft());
    Label4->setToolTip(QStringLiteral("ここをクリックするとCorvaneHPへジャンプします"));
    connect(Label4, &LinkLabel::clicked, this, &FrmAbout::Label4_Click);

    Label5 = new LinkLabel(this);
    Label5->setObjectName(QStringLiteral("Label5"));
    Label5->move(twips.toPixels(1230, 2130, 0, 0).topLeft());
    Label5->setToolTip(QStringLiteral("ここをクリックするとCorvaneHP管理人へメールを作成します"));
    connect(Label5, &LinkLabel::clicked, this, &FrmAbout::Label5_Click);
    for (LinkLabel* link : {Label4, Label5}) {
        link->setFont(linkFont);
        setColours(link, LinkYellow);
    }

    QLabel* homePage = addLabel(this, "Label6_0", QStringLiteral("CorvaneHP："));
    homePage->setGeometry(twips.toPixels(180, 1800, 930, 225));
    setColours(homePage, Cyan);

    QLabel* mail = addLabel(this, "Label6_1", QStringLiteral("メール："));
    mail->setGeometry(twips.toPixels(195, 2115, 855, 225));
    setColours(mail, Cyan);

    for (QLabel* label : {developer, distributor, homePage, mail})
        keepTextWhole(label);
    cmdOK->setFocus();
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
    lblVersion->setText(QStringLiteral("ﾊﾞｰｼﾞｮﾝ ") + QStringLiteral(FAREWRIGHT_VERSION));
    lblTitle->setText(applicationTitle());
    keepTextWhole(lblVersion);
    keepTextWhole(lblTitle);
    // A library that cannot be used leaves the links empty; a click reports why.
    Label4->setText(CorvresLibrary::call(m_libraryPath, "CorvaneHpURL").text);
    Label5->setText(
        CorvresLibrary::call(m_libraryPath, "CorvaneMailAddress").text.mid(HiddenMailPrefix));
    Label4->adjustSize();
    Label5->adjustSize();
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
    const CorvresLibrary::Result link = CorvresLibrary::call(m_libraryPath, function);
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
    m_platform.messageBox(text, title, Platform::Buttons::Ok, Platform::Icon::Critical,
                          Platform::Answer::Ok);
}

void execVersionDialog(Platform& platform, QWidget* parent)
{
    FrmAbout dialog(platform, parent);
    dialog.exec();
}
