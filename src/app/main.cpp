// farewright: the fare-table editor.
#include "faregridview.h"
#include "form1.h"
#include "io/pathbytes.h"
#include "version.h"
#include "widgetsplatform.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <csignal>
#include <exception>
#include <memory>

namespace {

/**
 * Qt's own Japanese texts, so that message-box buttons and the file dialogs speak Japanese like
 * the rest of the program. Without the translation files Qt's English texts remain.
 */
void installJapaneseTranslations(QApplication& app)
{
    auto* translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qtbase_ja"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
    else
        delete translator;
}

/**
 * Start-up: creates and shows the main window, then opens the file the command line names.
 * Its failure handler reports any failure with its description and the application's title;
 * the window keeps running with whatever the failed step left in the table.
 */
std::unique_ptr<Form1> Main(WidgetsPlatform& platform, const QStringList& arguments)
{
    std::unique_ptr<Form1> window;
    try {
        window = std::make_unique<Form1>(platform, platform, platform);
        platform.setWindow(window.get());
        window->show();
        // Asked for the keyboard at once, also where no window manager hands it over (a bare X
        // server, a kiosk): the menus' shortcuts only reach an active window.
        window->activateWindow();
        window->documentCommands().openCommandLine(DocumentCommands::argumentText(arguments));
    } catch (const std::exception& failure) {
        platform.showFailure(QString::fromLocal8Bit(failure.what()));
    }
    return window;
}

} // namespace

int main(int argc, char* argv[])
{
    // Under a file-size limit (ulimit -f) a save fails with EFBIG and is reported, instead of
    // SIGXFSZ ending the program and losing the table.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication app(argc, argv);
    // What Qt left of the command line, in its own bytes: a file name that is not UTF-8 still
    // names its file.
    const QStringList arguments = FileIo::decodeArguments(argc, argv);
    // The application keeps the program's own name, "farewright": a window titled with the
    // application's title, "Farewright", is one of its message boxes.
    QApplication::setApplicationVersion(QStringLiteral(FAREWRIGHT_VERSION));
    // The desktop entry the windows belong to (their icon and name in the task bar).
    QGuiApplication::setDesktopFileName(QStringLiteral(FAREWRIGHT_APP_ID));
    installJapaneseTranslations(app);
    // A Japanese interface: menus and dialogs use the grid's Gothic face at the usual size, which
    // also spares looking up a stand-in face for every Japanese text.
    QFont font = QApplication::font();
    font.setFamilies(FareGridView::fontFamilies());
    QApplication::setFont(font);

    WidgetsPlatform platform;
    const std::unique_ptr<Form1> window = Main(platform, arguments);
    if (!window)
        return 1;
    return app.exec();
}
