#pragma once

#include "model/outcome.h"

#include <QString>

class FareTable;
class Platform;
struct BinaryLayout;

/** The format a path names, by its extension. */
enum class FileFormat { Hy3, Hyo, Hyp, Text, None };

/**
 * The format of a path: its last four characters (the whole path when shorter), upper-cased,
 * compared exactly with ".HY3", ".HYO", ".HYP", ".TXT" and ".CSV".
 */
FileFormat FormatForPath(const QString& path);

using FileOperation = Outcome (*)(FareTable&, Platform&, const QString&);

/** The loader for a path given at start-up or dropped on the grid: every format, text included. */
FileOperation startupLoaderForPath(const QString& path);
/** The loader the Open command uses: the binary formats only. */
FileOperation openLoaderForPath(const QString& path);
/** The writer the Save As command uses: the binary formats only. */
FileOperation saveWriterForPath(const QString& path);
/** The binary format a path names (.Hy3, .Hyo, .Hyp: a fare-table file); null for any other. */
const BinaryLayout* fareFileLayout(const QString& path);
/** The writer for farewright-cli's output: the binary formats, and the text export for .txt/.csv.
 */
FileOperation convertWriterForPath(const QString& path);
