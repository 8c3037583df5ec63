#pragma once

#include "edit/farerevision.h"

#include <QString>
#include <QStringList>
#include <optional>

class FareTable;
class QTextStream;
struct FileType;

/** Exit statuses of farewright-cli. */
enum ExitStatus {
    ExitSuccess = 0,
    ExitFailure = 1, ///< a load or save failed, check found something, diff found a difference
    ExitUsage = 2,   ///< the command line is wrong, no format fits a file name, diff cannot load
    ExitRefused = 3  ///< a confirmation was needed and --yes was not given
};

/** Whether convert writes path as the printed fare sheet (a name ending in .pdf, any case). */
bool isPdfPath(const QString& path);

/** A format that convert --to writes: a file type of the table, or the printed sheet as PDF. */
struct OutputFormat {
    const FileType* type = nullptr; ///< null: the fare sheet as PDF
    QString extension() const;      ///< ".Hy3", ".pdf"
};

/**
 * The format a --to value (withPdf) or a --from value names: a file type's name or "pdf", in any
 * letter case ("hy3", "CSV"); nothing for any other text.
 */
std::optional<OutputFormat> formatNamed(const QString& name, bool withPdf);
/** The names formatNamed() takes, for messages: "Hy3、Hyo、Hyp、txt、csv、pdf". */
QString formatNames(bool withPdf);

/** What the commands take from the command line, checked. */
struct CliOptions {
    bool assumeYes = false;         ///< --yes: the older formats' confirmation answered Yes
    bool force = false;             ///< --force: an output that exists is replaced
    bool fares = false;             ///< check --fares: the fare rules too
    bool tsv = false;               ///< --format=tsv: tab-separated lines
    QString outputDir;              ///< --output-dir; empty: beside each input (convert --to)
    const FileType* from = nullptr; ///< --from: the inputs' type, whatever their names say
    std::optional<OutputFormat> to; ///< convert --to
    FareRevision::Rule rule;        ///< revise's rule
};

/**
 * The commands. Each takes its files as the user gave them and returns the exit status; with
 * several inputs, the largest of theirs. A file that cannot be loaded is told on standard error
 * and the others go on. With more than one input, every line of standard output begins with the
 * input's name (see nameField()).
 */
/** convert INPUT OUTPUT: OUTPUT is written whether it exists or not. */
int runConvert(const QString& input, const QString& output, const CliOptions& options);
/** convert --to: each input written as DIR/NAME.EXT; "-" reads standard input and writes
 *  standard output. An output that exists is replaced only with --force. */
int runConvertTo(const QStringList& inputs, const OutputFormat& format, const CliOptions& options);
int runDump(const QStringList& inputs, QTextStream& out);
int runCheck(const QStringList& inputs, QTextStream& out, const CliOptions& options);
/** revise INPUT OUTPUT (output given), or revise --output-dir=DIR INPUT… (output empty). */
int runRevise(const QStringList& inputs, const QString& output, const CliOptions& options,
              QTextStream& out);
/** diff OLD NEW: 0 the same, 1 different, 2 a file that cannot be loaded. */
int runDiff(const QString& oldPath, const QString& newPath, QTextStream& out,
            const CliOptions& options);

/** One line of `dump`: the 152 fields of a row, tab-separated, with backslashes and control
 *  characters escaped (\\, \t, \r, \n, \x1b). */
QString dumpLine(const FareTable& table, int row);

namespace FareCheck {
struct Finding;
}
/** A finding as `check --format=tsv` writes it: rule id, row, column, stop, ticket, message. */
QString tsvLine(const FareCheck::Finding& finding);

/**
 * An input's name in front of a line of output when there are several: escaped as messages show
 * a path (control characters written out), and as a field of a tab-separated line (tsv) with its
 * backslashes doubled, as every field.
 */
QString nameField(const QString& input, bool tsv);
