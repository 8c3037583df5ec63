#pragma once

#include <QString>

class FareTable;

/**
 * Finding and replacing text in the ordinary cells (rows 1 to 301), in reading order: row by row,
 * each row from left to right. Headings are neither searched nor written.
 */
namespace FindReplace {

/** Which columns are searched: all, the names (column 1), or the numbers (columns 2 to 152). */
enum class Scope { All, Names, Numbers };

struct Options {
    QString text;
    bool matchCase = false;
    bool wholeCell = false; ///< the whole text of the cell must match, not a part of it
    Scope scope = Scope::All;
};

/** Whether a cell's text matches; an empty search text matches nothing. */
bool matches(const QString& cell, const Options& options);

/** A matching cell's text after the replacement: every match in it replaced. */
QString replaced(const QString& cell, const Options& options, const QString& replacement);

struct Match {
    int row = -1;
    int col = -1;
    bool wrapped = false; ///< the search went past the end of the table (the start, backwards)

    bool found() const { return row >= 0; }
};

/**
 * The next matching cell after (row, col) in the scope, or the one before it when backwards.
 * The search wraps around once, so (row, col) itself is found last.
 */
Match find(const FareTable& table, int row, int col, const Options& options, bool backwards);

/** Replaces the text of the current cell when it is in the scope and matches; whether it did. */
bool replaceCurrent(FareTable& table, const Options& options, const QString& replacement);

/**
 * Replaces every match in the scope and leaves the current cell where it was. Returns how many
 * cells changed.
 */
int replaceAll(FareTable& table, const Options& options, const QString& replacement);

} // namespace FindReplace
