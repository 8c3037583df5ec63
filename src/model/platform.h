#pragma once

#include <QList>
#include <QString>
#include <optional>

/** One entry of a file dialog's filter list: a label and its patterns ("*.txt;*.csv"). */
struct FileFilter {
    QString label;
    QString patterns;

    bool operator==(const FileFilter& other) const
    {
        return label == other.label && patterns == other.patterns;
    }
};

/**
 * Everything the core needs from the user or the screen. The main window implements it with Qt
 * Widgets, the tests with a scripted fake, farewright-cli for a terminal. The core calls no modal
 * dialog except through this interface.
 */
class QUrl;

class Platform {
public:
    enum class Icon { None, Exclamation, Critical };
    enum class Buttons { Ok, YesNo, YesNoCancel };
    enum class Answer { Ok, Yes, No, Cancel };

    virtual ~Platform() = default;

    /**
     * A modal message box. An empty title means the application's title, "Farewright".
     * defaultButton is the button that Enter presses.
     */
    virtual Answer messageBox(const QString& text, const QString& title, Buttons buttons, Icon icon,
                              Answer defaultButton) = 0;

    /**
     * The open-file dialog. initialPath is the name chosen last in any file dialog. Returns the
     * chosen path, or nothing when the user cancelled.
     */
    virtual std::optional<QString> openFileName(const QList<FileFilter>& filters,
                                                const QString& initialPath) = 0;

    /**
     * The save-file dialog; it asks before an existing file is overwritten. Returns the chosen
     * path, or nothing when the user cancelled.
     */
    virtual std::optional<QString> saveFileName(const QList<FileFilter>& filters,
                                                const QString& initialPath) = 0;

    /** Switches the busy pointer on or off. */
    virtual void setBusy(bool busy) = 0;

    /** Lets pending window events run once. */
    virtual void processEvents() = 0;

    /**
     * Commits an edit still open in the grid's in-cell editor into the current cell; nothing when
     * none is open.
     */
    virtual void commitOpenEdit() = 0;

    /** Shows the version dialog modally; it is gone when this returns. */
    virtual void showVersionDialog() = 0;

    /** Shows a short note that needs no answer (in the window, on its status bar). */
    virtual void showStatus(const QString& text) = 0;
    /**
     * Opens url with the desktop's program for it (a web page or a local HTML file in the
     * browser) and returns at once. Returns false when no program could be started.
     */
    virtual bool openUrl(const QUrl& url) = 0;

    /** Shows a failure: its description, an OK button, the application's title. */
    void showFailure(const QString& description)
    {
        messageBox(description, QString(), Buttons::Ok, Icon::None, Answer::Ok);
    }
};

/** The application's title, used by every message box without a title of its own. */
inline QString applicationTitle()
{
    return QStringLiteral("Farewright");
}
