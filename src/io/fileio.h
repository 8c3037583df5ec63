#pragma once

#include <QByteArray>
#include <QString>
#include <utility>

/**
 * Whole-file reading and atomic writing of regular files, with Japanese failure descriptions.
 * Paths are texts whose bytes survive, also when a name is not UTF-8 (pathbytes.h).
 */
namespace FileIo {

/** A regular file's size and modification time (in nanoseconds) as a read or write found it. */
struct FileState {
    qint64 size = -1; ///< -1: unknown
    qint64 modified = 0;
    bool operator==(const FileState& other) const
    {
        return size == other.size && modified == other.modified;
    }
};

struct ReadResult {
    QByteArray bytes;
    /** Empty on success. */
    QString error;
    /** The file as it was opened for reading. */
    FileState state;
    bool ok() const { return error.isEmpty(); }
};

/**
 * Reads a whole regular file (or one a symbolic link leads to), at most maxBytes of it (anything
 * beyond is left unread). A missing path, a folder, a FIFO, a device or a socket is an error,
 * found without opening it or waiting for it; nothing is ever created.
 */
ReadResult readFile(const QString& path, qint64 maxBytes);

struct WriteResult {
    WriteResult(QString why = QString(), bool changed = false, FileState written = FileState())
        : error(std::move(why)), targetChanged(changed), state(written)
    {
    }
    /** Empty on success. */
    QString error;
    /** Whether a failed write had already changed the file (only when written in place). */
    bool targetChanged = false;
    /** The file as written (size -1 when the system did not say). */
    FileState state;
    bool ok() const { return error.isEmpty(); }
};

/**
 * Replaces the regular file at path with bytes, or creates it. A symbolic link stays a link and
 * its final target is replaced. The new content goes to a temporary file beside that target,
 * which takes the old file's mode, owner and group (as far as the process may set them) and is
 * then renamed over it, so the target keeps its old content exactly (or stays absent) on any
 * failure. A file with several hard links is instead rewritten in place, so that it stays one
 * file: the room for the new content is reserved first, so a full disk or a file-size limit
 * still leaves it untouched. A folder, FIFO, device or socket is refused, and so is a file that
 * its mode bits make read-only, also for root.
 */
WriteResult writeFileAtomically(const QString& path, const QByteArray& bytes);

} // namespace FileIo
