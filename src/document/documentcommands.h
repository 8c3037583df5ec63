#pragma once

#include "model/outcome.h"

#include <QString>
#include <QStringList>

class FareTable;
class FileCommands;
class Platform;

/**
 * The life of the one document around the window: the file named on the command line, New, the
 * closing prompt and a file dropped on the grid. Whether the table changed decides nothing here
 * (the window only shows it): New and a drop always ask before clearing, and closing always asks
 * whether to save.
 */
class DocumentCommands {
public:
    DocumentCommands(FareTable& table, Platform& platform, FileCommands& files);

    /**
     * The command line as one text: every argument after the program's own name, joined by one
     * blank, so that a path holding blanks comes back whole however it was split.
     */
    static QString argumentText(const QStringList& arguments);

    /**
     * Opens the file the command line names. A text starting with a double quote loses its first
     * and last characters (whatever the last one is); the loader is chosen by the upper-cased
     * last four characters. An empty text or an unknown extension does nothing, silently; a lone
     * double quote is a failure and is reported.
     */
    Outcome openCommandLine(const QString& argumentText);

    /** New: asks "現在編集中のデータはすべて消去されます。よろしいですか？" and empties the table
     *  unless the answer is No. */
    Outcome newDocument();

    /**
     * The closing prompt: "現在編集中のデータを保存しますか？" with Yes, No and Cancel. Yes runs
     * Save As. Returns whether the window may close: after No, or after Yes when the table was
     * saved. A Save As that saved nothing (cancelled, unknown extension, older format refused,
     * failed) keeps the window open, so closing never loses the table.
     */
    bool confirmClose();

    /**
     * A file dropped on the grid: commits an open edit, asks the New question, lets the window
     * repaint, then loads the file by its extension, or refuses a file of any other type. Apart
     * from the committed edit the table is unchanged unless a load succeeds.
     */
    Outcome OpenDroppedFile(const QString& path);

    static QString clearPromptText();
    static QString clearPromptTitle();
    static QString savePromptText();
    static QString savePromptTitle();
    static QString dropRefusalText();
    static QString dropRefusalTitle();

private:
    bool askToClear();

    FareTable& m_table;
    Platform& m_platform;
    FileCommands& m_files;
};
