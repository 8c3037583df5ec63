#pragma once

#include <QString>
#include <QStringList>

class FareTable;
class QTextStream;

/** Exit statuses of farewright-cli. */
enum ExitStatus {
    ExitSuccess = 0,
    ExitFailure = 1, ///< a load or save failed, or check found something
    ExitUsage = 2,   ///< the command line is wrong, or no format fits a file name
    ExitRefused = 3  ///< a confirmation was needed and --yes was not given
};

/** Whether convert writes path as the printed fare sheet (a name ending in .pdf, any case). */
bool isPdfPath(const QString& path);

int runConvert(const QString& input, const QString& output, bool assumeYes);
/** What `check` reports, and how. */
struct CheckOptions {
    bool fares = false; ///< the fare rules too, not only the save rules
    bool tsv = false;   ///< tab-separated lines: rule, row, column, stop, ticket, message
};

int runDump(const QString& input, QTextStream& out);
int runCheck(const QString& input, QTextStream& out, const CheckOptions& options);

/** One line of `dump`: the 152 fields of a row, tab-separated, with backslashes and control
 *  characters escaped (\\, \t, \r, \n, \x1b). */
QString dumpLine(const FareTable& table, int row);

namespace FareCheck {
struct Finding;
}
/** A finding as `check --format=tsv` writes it: rule id, row, column, stop, ticket, message. */
QString tsvLine(const FareCheck::Finding& finding);
