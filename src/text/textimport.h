#pragma once

#include "model/farerecord.h"
#include "model/outcome.h"

#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <QVector>

class FareTable;
class Platform;

/** One line split into a record. */
struct ParsedLine {
    FareRecord record;
    /** 0 when every number fitted; otherwise the field (2 to 152) whose value overflowed. */
    int overflowField = 0;
    /** With overflowField: the field's text at the moment it overflowed, as a message quotes it
     *  (briefQuote: at most 40 characters, cut before it is copied). */
    QString overflowText;
    /** How many fields the line has: one more than its separators (counted up to an overflow,
     *  which stops the parsing). Only 152 of them are kept. */
    int fieldCount = 1;
    bool ok() const { return overflowField == 0; }
};

/**
 * Splits one line of a text file into a record:
 *  - a tab, "," or "，" (U+FF0C) ends a field; the field number never passes 152, so every field
 *    after the 152nd replaces the 152nd;
 *  - double quotes vanish (they do not group: a comma between quotes still separates);
 *  - field 1 is the name without its leading spaces (U+0020); field 2 the ticket number; fields 3
 *    to 152 the fares of tickets 1 to 150; numbers are read with CellToInt16, an empty field as 0.
 * A field's value is taken as it grows, character by character: a number that overflows at any
 * point of its field (a mantissa of 40000 before "E-1", say) is an overflow, reported with the
 * field and its text at that point, and the parsing stops there.
 */
ParsedLine ParseLine(QStringView line);

/** What reading a text file's bytes gives: the records to write, or why nothing can be read. */
struct TextImport {
    enum class Status {
        Ok,
        CountOverflow, ///< more than 32767 lines before the first blank line
        FieldOverflow, ///< a ticket number or fare outside -32768..32767
        TooLarge       ///< the bytes end (at the size limit) before the file could be read
    };
    Status status = Status::Ok;
    /** The rows: line k is table row k, at most 301. Empty when the first line is blank. */
    QVector<FareRecord> records;
    /** With a failure: its description (Japanese). */
    QString error;
    /** Non-blank lines before the first blank line or the end (counted to 32768 at most). */
    int lineCount = 0;
    /** The number (from 1) of the first blank line; 0 when the file has none. */
    int firstBlankLine = 0;
    /** Non-blank lines after the first blank line: the import ignores them. */
    int linesAfterBlank = 0;
    /** Lines before the first blank line beyond the 301st: the import ignores them. */
    int linesBeyondLimit = 0;

    /** A line read that the import does not take as it stands. */
    struct LineLoss {
        int line;      ///< its number, from 1
        int fields;    ///< its fields: those after the 152nd replace the 152nd, one by one
        int lineFeeds; ///< lone LFs in it: they end no line, so the lines around them run on
    };
    /** The lines read (the first 301) with more than 152 fields or a lone LF, in order. */
    QVector<LineLoss> lineLosses;
    /** The fields of the lines read that the import leaves out: those after the 152nd. */
    int fieldsLeftOut() const;
    /** The lone LFs in the lines read. */
    int lineFeeds() const;

    bool ok() const { return status == Status::Ok; }
};

/** Lines that a text import reads at most: one per table row. */
constexpr int TextImportMaxRows = 301;
/** Fields that a line gives at most: name, ticket number and 150 fares; the rest are dropped. */
constexpr int TextImportMaxFields = 152;
/** Text files larger than this are read only as far as needed and refused if that is not enough. */
constexpr qint64 TextImportMaxBytes = 64 * 1024 * 1024;

/**
 * Reads text-file bytes in code page 932 (invalid bytes become U+FFFD). A line ends at CR LF or a
 * lone CR, never at a lone LF. Lines are read up to the first blank line (empty or only spaces)
 * or the end; more than 32767 of them is an overflow. The first 301 are split with ParseLine.
 * complete is false when bytes are only the beginning of a larger file: reading that needs more
 * than the beginning is then refused as too large.
 */
TextImport parseText(QByteArrayView bytes, bool complete = true);

/**
 * Replaces the table with the rows of a text or CSV file in code page 932. A file whose first line
 * is blank empties the table. A missing or unreadable file, a line count or a number that
 * overflows leave the table as it was and show the failure. When the lines read hold fields after
 * the 152nd or lone LFs, a note (Platform::showStatus) says how many fields were left out and how
 * many LFs ended no line.
 */
/**
 * Parses a file's bytes as read with a limit of TextImportMaxBytes + 1: beyond the size limit
 * only what lies within it counts, and only when that decides.
 */
TextImport parseTextFile(const QByteArray& data);

Outcome LoadText(FareTable& table, Platform& platform, const QString& path);
