#pragma once

#include "io/filestamp.h"
#include "model/outcome.h"
#include "model/platform.h"

#include <QList>
#include <QString>
#include <functional>
#include <optional>

class FareTable;

/**
 * The File menu's file commands: Open, Save (to the fare file), Save As, save as text and text
 * import; and the loading of a file named on the command line or dropped.
 *
 * The table's fare file is the .Hy3/.Hyo/.Hyp file that Open, the command line or a drop loaded
 * last, or that Save or Save As wrote last; a text import and New leave the table without one,
 * while a text export keeps it. Save writes to it without a dialog, once it has made sure the
 * file is still the one the table was read from or written to.
 *
 * The dialog commands share one file dialog: each dialog starts with the path chosen last in any of
 * them (empty the first time). A cancelled dialog ends a command silently, and so does a chosen
 * name whose extension names no format the command handles. No extension is ever added to a typed
 * name. Each command first commits an edit still open in the grid.
 * Failures of the loaders and writers are shown by them; the result only tells callers how the
 * command ended (the closing prompt needs to know whether anything was saved).
 */
class FileCommands {
public:
    FileCommands(FareTable& table, Platform& platform);

    /** Open: chooses a .Hy3/.Hyo/.Hyp file and loads it (the loader replaces the table). */
    Outcome OpenFareFile();
    /**
     * Save: writes the fare file in its format (the older formats ask their confirmation), or
     * runs Save As when there is none. A fare file changed, replaced or deleted on disk since
     * it was read or written is overwritten only when the user says so.
     */
    Outcome OverwriteFareFile();
    /** Save As: chooses a name and writes the format its extension names. */
    Outcome SaveFareFile();
    /** Save as text: chooses a name and writes the comma-separated text, whatever the extension. */
    Outcome SaveText();
    /** Text import: chooses a file and reads it as text, whatever the extension. */
    Outcome ImportText();

    /**
     * Loads a file named on the command line or dropped, by its extension: a fare-table file,
     * or a text file. Any other extension loads nothing.
     */
    Outcome loadFile(const QString& path);

    /** The path chosen last in any of the four dialogs. */
    const QString& lastPath() const { return m_lastPath; }

    /**
     * The file the table was last read from or written to, text files included; empty after
     * New and before the first. The printed sheet names it.
     */
    const QString& documentPath() const { return m_documentPath; }
    /** The table's fare file; empty when there is none. */
    const QString& fareFilePath() const { return m_fareFilePath; }
    /** The fare file as the table last read or wrote it. */
    const FileStamp& fareFileStamp() const { return m_fareFileStamp; }
    /** New: the table belongs to no file any more. */
    void forgetDocument();

    /**
     * Runs whenever the table has just become what a file holds (a load, a text import, a save
     * to a fare file) or was emptied by New: the window's saved state and file name follow it.
     */
    void setSavedStateListener(std::function<void()> listener)
    {
        m_savedState = std::move(listener);
    }

    static QString overwriteQuestionTitle();

private:
    /** Writes the fare-table file path in its format; a success makes it the fare file. */
    Outcome writeFareFile(const QString& path);
    /** Records a success on path: the document's file, and the fare file when stamped. */
    Outcome settle(const QString& path, Outcome outcome, const FileStamp& stamp);
    std::optional<QString> chooseToOpen(const QList<FileFilter>& filters);
    std::optional<QString> chooseToSave(const QList<FileFilter>& filters);

    FareTable& m_table;
    Platform& m_platform;
    QString m_lastPath;
    QString m_documentPath;
    QString m_fareFilePath;
    FileStamp m_fareFileStamp;
    std::function<void()> m_savedState;
};
