#pragma once

#include "fileio.h"

#include <QByteArray>
#include <QString>

/**
 * What a file was when the table was read from it or written to it: its size, its modification
 * time and a hash of the very bytes read or written. A file changed, replaced or deleted since
 * then (by another program, on a shared folder) no longer matches its stamp.
 */
struct FileStamp {
    FileIo::FileState state;
    qint64 hashedBytes = 0; ///< how many bytes from the start the hash covers
    QByteArray hash;        ///< empty: no stamp

    /** The stamp of a file in state whose first bytes were read or written as bytes. */
    static FileStamp of(const FileIo::FileState& state, const QByteArray& bytes);
    bool isNull() const { return hash.isEmpty(); }
    bool operator==(const FileStamp& other) const
    {
        return state == other.state && hashedBytes == other.hashedBytes && hash == other.hash;
    }
};

/** How the file at a path compares with its stamp. */
enum class FileMatch {
    Same,    ///< the file the stamp was taken of, unchanged
    Changed, ///< another size, time or content, or a file that can no longer be read
    Missing  ///< no file by that name any more
};

/** Reads the file at path (as far as the stamp's hash reaches) and compares it with stamp. */
FileMatch compareWithStamp(const QString& path, const FileStamp& stamp);
