#pragma once

#include "model/farerecord.h"
#include "model/outcome.h"

#include <QByteArray>
#include <QString>
#include <QVector>
#include <functional>

class FareTable;
class Platform;
struct FileStamp;

/** What a loader's decoding step makes of a file's bytes: the rows, or why there are none. */
struct DecodedRows {
    QVector<FareRecord> records;
    QString error;
};

/**
 * The frame every loader shares: busy pointer, read at most maxBytes of path, decode, and only
 * when all of it succeeded clear the table and write rows 1..n (fareCount fares, the ticket
 * number when withTicketNo). A failure is shown with the path and leaves the table as it was.
 * On success, stamp (when given) describes the file as it was read.
 */
Outcome replaceTableFromFile(FareTable& table, Platform& platform, const QString& path,
                             qint64 maxBytes,
                             const std::function<DecodedRows(const QByteArray&)>& decode,
                             int fareCount, bool withTicketNo, FileStamp* stamp = nullptr);

/**
 * The frame every writer shares: busy pointer and hidden table while encode() builds the bytes,
 * then an atomic write of them to path. encode returns the failure's reason, or an empty text.
 * A failure is shown with the path; the target then keeps its old bytes (or stays absent).
 * On success, stamp (when given) describes the file as written.
 */
Outcome writeTableToFile(FareTable& table, Platform& platform, const QString& path,
                         const std::function<QString(QByteArray&)>& encode,
                         FileStamp* stamp = nullptr);

/** The description shown when saving to path failed for reason (after the file was changed,
 *  when targetChanged). */
QString saveFailure(const QString& path, const QString& reason, bool targetChanged = false);
/** The description shown when loading path failed for reason. */
QString loadFailure(const QString& path, const QString& reason);
