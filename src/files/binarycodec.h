#pragma once

#include "model/farerecord.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QVector>

/**
 * The shape of one binary fare-table format. All three are a little-endian signed 16-bit record
 * count followed by packed records: unsigned 16-bit name length, the name in code page 932, then
 * (optionally) the ticket number, (optionally) a reserved word, then the fares.
 */
struct BinaryLayout {
    int fareCount;       ///< fares stored per record
    bool hasTicketNo;    ///< whether a ticket number follows the name
    bool hasReserved;    ///< whether a reserved word (written 0, ignored) follows the ticket number
    int maxWriteRecords; ///< how many rows a save stores at most

    /** Bytes of a record apart from its name. */
    int fixedRecordSize() const
    {
        return 2 + (hasTicketNo ? 2 : 0) + (hasReserved ? 2 : 0) + 2 * fareCount;
    }
    /** The last grid column that the format stores. */
    int lastColumn() const { return 2 + fareCount; }
};

/** The current format: ticket number and 150 fares, up to 301 records. */
extern const BinaryLayout Hy3Layout;
/** The previous version's format: no ticket number, 72 fares, up to 201 records. */
extern const BinaryLayout HyoLayout;
/** The oldest, private format: ticket number, a reserved word, 71 fares, up to 201 records. */
extern const BinaryLayout HypLayout;

namespace BinaryCodec {

/** The most records a file may hold to be read: one per table row. */
constexpr int MaxReadRecords = 301;

/** The largest file that can still be a valid one of this layout (anything beyond is ignored). */
qint64 maxMeaningfulSize(const BinaryLayout& layout);

struct Decoded {
    QVector<FareRecord> records;
    /** Empty on success; otherwise why the bytes are not a readable file (Japanese). */
    QString error;
    bool ok() const { return error.isEmpty(); }
};

/**
 * Reads the records. Every count and length is checked against the bytes present: a count of 0
 * or less, more than 301 records, or a record running past the end is an error. Names are
 * decoded from code page 932 (invalid bytes become U+FFFD). Bytes after the last record are
 * ignored. Fares a format does not hold are 0.
 */
Decoded decode(const BinaryLayout& layout, QByteArrayView bytes);

struct Encoded {
    QByteArray bytes;
    /** Empty on success; otherwise why the records cannot be written (Japanese). */
    QString error;
    bool ok() const { return error.isEmpty(); }
};

/**
 * Writes the records (record k is grid row k). A name that code page 932 cannot encode, or
 * whose encoding is longer than 65535 bytes, is an error naming the row and the character.
 * Fares beyond the layout's count are not written.
 */
Encoded encode(const BinaryLayout& layout, const QVector<FareRecord>& records);

} // namespace BinaryCodec
