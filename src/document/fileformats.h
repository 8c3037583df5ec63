#pragma once

#include "model/outcome.h"
#include "model/platform.h"

#include <QList>
#include <QString>

class FareTable;
struct BinaryLayout;

/** The format a path names, by its extension. */
enum class FileFormat { Hy3, Hyo, Hyp, Text, None };

using FileOperation = Outcome (*)(FareTable&, Platform&, const QString&);

/** The two kinds of file, each with its own pair of file dialogs. */
enum class FileKind {
    FareFile, ///< the binary fare-table files: Open and Save As
    Text      ///< comma-separated text: text import and save as text
};

/** Which of a kind's two dialogs. */
enum class FileAccess { Open, Save };

/**
 * One type of file the editor reads and writes, known by its extension. The table of them,
 * fileTypes(), is the one place that says which extensions there are, what reads and writes each,
 * and how the file dialogs list them.
 */
struct FileType {
    /** "Hy3", "Hyo", "Hyp", "txt", "csv": the extension without its dot, as the dialogs'
     *  patterns and the messages spell it; also the type's name for farewright-cli. */
    const char* name;
    FileFormat format;
    /** The layout of a fare-table file; null for text. */
    const BinaryLayout* layout;
    /** Replaces the table with the file's content (start-up, a drop, Open, farewright-cli). */
    FileOperation reader;
    /** Writes the table in this type (Save As for a fare-table file, farewright-cli). */
    FileOperation writer;
    /** Whether the type cannot hold everything a table holds: its writer asks first. */
    bool writeLosesData;
    /** The entry's label in the open dialog of the type's kind, and in its save dialog. An empty
     *  label adds the type's pattern to the entry of the type before it. */
    const char16_t* openLabel;
    const char16_t* saveLabel;

    QString extension() const; ///< ".Hy3"
    QString pattern() const;   ///< "*.Hy3"
    FileKind kind() const { return layout ? FileKind::FareFile : FileKind::Text; }
};

/** Every file type, in the order the dialogs and messages list them. */
const QList<FileType>& fileTypes();

/**
 * The type of a path: its last four characters (the whole path when shorter), upper-cased,
 * compared exactly with each type's extension upper-cased; null when none matches.
 */
const FileType* fileTypeForPath(const QString& path);

/** The format of fileTypeForPath(path): .Hy3, .Hyo, .Hyp, text for .txt and .csv; else None. */
FileFormat FormatForPath(const QString& path);

/** The filter list of the file dialog of kind and access: the types of kind in table order, each
 *  with its label there (see FileType::openLabel). */
QList<FileFilter> fileFilters(FileKind kind, FileAccess access);

/** The filter list of a dialog that reads a table of any type (the comparison's old table): every
 *  type at once ("読み込めるすべてのファイル(*.Hy3;…;*.csv)"), then the open dialogs' entries of
 *  the fare-table files and of text, in table order. */
QList<FileFilter> readableFileFilters();

/** Every type's extension, separated by blanks: ".Hy3 .Hyo .Hyp .txt .csv". */
QString extensionList();
