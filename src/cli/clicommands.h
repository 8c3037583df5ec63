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

int runConvert(const QString& input, const QString& output, bool assumeYes);
int runDump(const QString& input, QTextStream& out);
int runCheck(const QString& input, QTextStream& out);

/** One line of `dump`: the 152 fields of a row, tab-separated, with backslashes and control
 *  characters escaped (\\, \t, \r, \n, \x1b). */
QString dumpLine(const FareTable& table, int row);

/** What a save of the table would not keep or would refuse, one finding per line. */
QStringList checkTable(const FareTable& table);
