#pragma once

#include "model/outcome.h"

#include <QByteArray>
#include <QString>
#include <QVector>

class FareTable;
class Platform;

/** The bytes of a text export, or why the rows cannot be written. */
struct TextExportBytes {
    QByteArray bytes;
    /** Empty on success; otherwise the failure's description (Japanese). */
    QString error;
    bool ok() const { return error.isEmpty(); }
};

/** The number of cell texts per exported row: name, ticket number and 150 fares. */
constexpr int TextExportFieldCount = 152;

/**
 * Encodes rows of cell texts as the lines of a text export. cells holds rowCount rows of 152 texts
 * (columns 1 to 152, row 1 first). Each line is the name, ",", the ticket-number text, then for
 * every fare ", " and the fare's text without leading and trailing spaces (U+0020 only), ended by
 * CR LF; everything in code page 932, nothing quoted or escaped. A character that code page 932
 * cannot hold is an error naming its cell; the bytes are then empty.
 */
TextExportBytes encodeTextRows(const QVector<QString>& cells, int rowCount);

/**
 * Writes the table's named rows (the row-collecting rule, up to 301 rows) to path as
 * comma-separated text in code page 932: the operation behind the save-as-text command, without
 * its dialog. An empty route name writes an empty file. The file is replaced atomically: on any
 * failure it keeps its old bytes (or stays absent), and the failure is shown.
 */
Outcome exportText(FareTable& table, Platform& platform, const QString& path);
