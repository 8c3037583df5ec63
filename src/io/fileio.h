#pragma once

#include <QByteArray>
#include <QString>

/** Whole-file reading and atomic writing, with Japanese failure descriptions. */
namespace FileIo {

struct ReadResult {
    QByteArray bytes;
    /** Empty on success. */
    QString error;
    bool ok() const { return error.isEmpty(); }
};

/**
 * Reads a whole file, at most maxBytes of it (anything beyond is left unread). A missing path,
 * a folder or an unreadable file is an error; nothing is ever created.
 */
ReadResult readFile(const QString& path, qint64 maxBytes);

/**
 * Replaces the file at path with bytes: written to a temporary file beside it, then renamed over
 * it, so the target keeps its old content exactly (or stays absent) on any failure. Returns the
 * failure's description, or an empty text on success.
 */
QString writeFileAtomically(const QString& path, const QByteArray& bytes);

/** The path as messages show it. */
QString displayPath(const QString& path);

} // namespace FileIo
