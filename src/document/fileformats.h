#pragma once

#include "model/outcome.h"

#include <QList>
#include <QString>

class FareTable;
class Platform;
struct BinaryLayout;

/** The format a path names, by its extension. */
enum class FileFormat { Hy3, Hyo, Hyp, Text, None };

using FileOperation = Outcome (*)(FareTable&, Platform&, const QString&);

/**
 * One type of file the editor reads and writes, known by its extension. The table of them,
 * fileTypes(), is the one place that says which extensions there are and what reads and writes
 * each.
 */
struct FileType {
    /** "Hy3", "Hyo", "Hyp", "txt", "csv": the extension without its dot, as the editor spells
     *  it; also the type's name for farewright-cli. */
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

    QString extension() const; ///< ".Hy3"
};

/** Every file type. */
const QList<FileType>& fileTypes();

/**
 * The type of a path: its last four characters (the whole path when shorter), upper-cased,
 * compared exactly with each type's extension upper-cased; null when none matches.
 */
const FileType* fileTypeForPath(const QString& path);

/** The format of fileTypeForPath(path): .Hy3, .Hyo, .Hyp, text for .txt and .csv; else None. */
FileFormat FormatForPath(const QString& path);
