#pragma once

#include "model/outcome.h"

#include <QString>

class FareTable;
class Platform;
struct BinaryLayout;
struct FileStamp;

/**
 * The user-level operations on the binary fare-table files. Each shows the busy pointer and keeps
 * the table hidden while it works, reports its own failure in a message box and returns how it
 * ended.
 *
 * A save converts and encodes everything before it writes, and writes atomically: on any failure
 * the target keeps its old bytes (or stays absent). A load reads and decodes the whole file
 * before it touches the table: on any failure the table stays as it was.
 */
Outcome SaveHy3(FareTable& table, Platform& platform, const QString& path);
Outcome LoadHy3(FareTable& table, Platform& platform, const QString& path);
/** Asks first: the previous version's format drops ticket numbers, rows after 201, fares after 72.
 */
Outcome SaveHyo(FareTable& table, Platform& platform, const QString& path);
Outcome LoadHyo(FareTable& table, Platform& platform, const QString& path);
/** Asks first: the oldest format keeps 201 rows and 71 fares. */
Outcome SaveHyp(FareTable& table, Platform& platform, const QString& path);
Outcome LoadHyp(FareTable& table, Platform& platform, const QString& path);

/** The confirmation texts of the two older formats (each line ended by CR LF). */
QString hyoConfirmationText();
QString hypConfirmationText();
/** The title of both confirmations. */
QString olderFormatConfirmationTitle();

/**
 * Saves in layout's format; the older formats first ask their confirmation, every time. On
 * success, stamp (when given) describes the file as written.
 */
Outcome saveFareTable(FareTable& table, Platform& platform, const QString& path,
                      const BinaryLayout& layout, FileStamp* stamp = nullptr);
/** Saves without asking (the confirmation, if any, has been given). */
Outcome saveBinary(FareTable& table, Platform& platform, const QString& path,
                   const BinaryLayout& layout, FileStamp* stamp = nullptr);
/** Loads layout's format; on success, stamp (when given) describes the file as read. */
Outcome loadBinary(FareTable& table, Platform& platform, const QString& path,
                   const BinaryLayout& layout, FileStamp* stamp = nullptr);
