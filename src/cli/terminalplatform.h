#pragma once

#include "model/platform.h"

/**
 * The platform of farewright-cli: messages go to standard error; questions are answered Yes
 * only when the user said --yes, otherwise their text is shown and the answer is No. Notes (what
 * the window's status bar shows) go to standard error too, unless showNotes is false.
 */
class TerminalPlatform : public Platform {
public:
    explicit TerminalPlatform(bool assumeYes, bool showNotes = true)
        : m_assumeYes(assumeYes), m_showNotes(showNotes)
    {
    }

    Answer messageBox(const QString& text, const QString& title, Buttons buttons, Icon icon,
                      Answer defaultButton) override;
    std::optional<QString> openFileName(const QList<FileFilter>&, const QString&) override
    {
        return std::nullopt;
    }
    std::optional<QString> saveFileName(const QList<FileFilter>&, const QString&) override
    {
        return std::nullopt;
    }
    void setBusy(bool) override {}
    void processEvents() override {}
    void commitOpenEdit() override {}
    void showVersionDialog() override {}
    void showStatus(const QString& text) override;
    bool openUrl(const QUrl&) override { return false; }

    /** Messages name path (a temporary file that stands for a standard stream) as name. */
    void showPathAs(const QString& path, const QString& name);

    /** Whether a question was answered No because --yes was not given. */
    bool refusedQuestion() const { return m_refused; }
    /** How many failures were shown. */
    int failureCount() const { return m_failures; }

private:
    bool m_assumeYes;
    bool m_showNotes;
    bool m_refused = false;
    QString m_shownPath; ///< as messages show it
    QString m_shownName;
    int m_failures = 0;

    void print(QString text) const;
};

/** Writes text (CR LF folded to LF) and a line end to standard error as UTF-8. */
void printError(const QString& text);

/**
 * Writes out what standard output still holds and checks that everything written to it arrived.
 * When not (a full disk, a closed pipe), says so on standard error and returns false.
 */
bool flushStandardOutput();
