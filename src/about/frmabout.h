#pragma once

#include <QDialog>
#include <QString>

class LinkLabel;
class Platform;
class QLabel;
class QPushButton;

/**
 * The version dialog: the application's title and version, its distributor and developer, and two
 * links, to the distributor's home page and to a new mail to the site administrator, whose texts
 * come from the distributor's link library. Fixed size, centred on the screen.
 */
class FrmAbout : public QDialog {
    Q_OBJECT

public:
    /**
     * Builds and fills the dialog. Failures of the link library are shown through platform, or in
     * a message box of the dialog's own when platform is null. libraryPath names the link library
     * to use; when empty, it is looked for beside the program (CorvresLibrary::searchPaths).
     */
    explicit FrmAbout(QWidget* parent = nullptr, Platform* platform = nullptr,
                      const QString& libraryPath = QString());

    /** Opens the distributor's home page. */
    void Label4_Click();
    /** Starts a new mail to the distributor's site administrator. */
    void Label5_Click();

private:
    void Form_Load();
    void cmdOK_Click();
    void createControls();
    void centreOnScreen();
    void openLink(const char* function);
    void showLinkFailure(const QString& description);
    QRect twipsToPixels(int left, int top, int width, int height) const;

    Platform* platform_;
    QString libraryPath_;
    QPushButton* cmdOK_ = nullptr;
    QLabel* lblTitle_ = nullptr;
    QLabel* lblVersion_ = nullptr;
    LinkLabel* Label4_ = nullptr;
    LinkLabel* Label5_ = nullptr;
};

/** The version command: shows the version dialog modally over parent and destroys it after. */
void ShowVersionDialog(QWidget* parent, Platform* platform = nullptr);
