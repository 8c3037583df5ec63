#pragma once

#include "model/outcome.h"
#include "model/platform.h"

#include <QList>
#include <QString>
#include <optional>

class FareTable;

/**
 * The File menu's four file commands: Open, Save As, save as text and text import.
 *
 * They share one file dialog: each dialog starts with the path chosen last in any of them (empty
 * the first time). A cancelled dialog ends a command silently, and so does a chosen name whose
 * extension names no format the command handles. No extension is ever added to a typed name.
 * Each command first commits an edit still open in the grid (by giving the grid the focus).
 * Failures of the loaders and writers are shown by them; the result only tells callers how the
 * command ended (the closing prompt needs to know whether anything was saved).
 */
class FileCommands {
public:
    FileCommands(FareTable& table, Platform& platform);

    /** Open: chooses a .Hy3/.Hyo/.Hyp file and loads it (the loader replaces the table). */
    Outcome OpenFareFile();
    /** Save As: chooses a name and writes the format its extension names. */
    Outcome SaveFareFile();
    /** Save as text: chooses a name and writes the comma-separated text, whatever the extension. */
    Outcome SaveText();
    /** Text import: chooses a file and reads it as text, whatever the extension. */
    Outcome ImportText();

    /** The path chosen last in any of the four dialogs. */
    const QString& lastPath() const { return m_lastPath; }

    /**
     * The file the table was last read from or written to (by these commands, the command line
     * or a drop); empty after New and before the first. The printed sheet names it; nothing
     * else depends on it (the window keeps no file name of its own).
     */
    const QString& documentPath() const { return m_documentPath; }
    /** Records how a file operation on path ended: a success makes it the document's file. */
    Outcome noteDocument(const QString& path, Outcome outcome);
    void forgetDocument() { m_documentPath.clear(); }

    static QList<FileFilter> openFilters();
    static QList<FileFilter> saveFilters();
    static QList<FileFilter> textSaveFilters();
    static QList<FileFilter> textImportFilters();

    /**
     * Splits a filter list written as "label|patterns|label|patterns..." into its entries.
     * A trailing label without patterns is dropped.
     */
    static QList<FileFilter> parseFilterList(const QString& list);

private:
    void commitOpenEdit();
    std::optional<QString> chooseToOpen(const QList<FileFilter>& filters);
    std::optional<QString> chooseToSave(const QList<FileFilter>& filters);

    FareTable& m_table;
    Platform& m_platform;
    QString m_lastPath;
    QString m_documentPath;
};
