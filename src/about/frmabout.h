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
     * Builds and fills the dialog. Failures of the link library are shown through platform.
     * libraryPath names the link library to use; when empty, it is looked for beside the program
     * (CorvresLibrary::searchPaths).
     */
    explicit FrmAbout(Platform& platform, QWidget* parent = nullptr,
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

    Platform& m_platform;
    QString m_libraryPath;
    QPushButton* cmdOK = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
    LinkLabel* Label4 = nullptr;
    LinkLabel* Label5 = nullptr;
};

/** The version command: shows the version dialog modally over parent and destroys it after. */
void execVersionDialog(Platform& platform, QWidget* parent);
