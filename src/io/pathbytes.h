#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

class QUrl;

/**
 * File names as the system's bytes. A path is a text whose bytes survive: a file name that is not
 * UTF-8 (a Shift-JIS name unpacked from a Windows archive) holds each byte that does not decode as
 * the lone surrogate U+DC80…U+DCFF, which stands for that byte again when the file is opened.
 */
namespace FileIo {

/** A path from the system's bytes; every byte is kept (see above). */
QString decodePath(QByteArrayView bytes);
/** The bytes that path stands for, as the system calls take them. */
QByteArray encodePath(const QString& path);
/** The program's arguments from main()'s argv, decoded as paths. */
QStringList decodeArguments(int argc, const char* const* argv);
/** The local file a file: URL names, from its percent-encoded bytes. */
QString localFileFromUrl(const QUrl& url);

/** The path as messages show it, whole: a byte that is not UTF-8 shows as U+FFFD, a control
 *  character escaped (\n, \x1b). */
QString displayPath(const QString& path);

/** fileName in each of folders (relative ones taken from dir), cleaned, each path once, in order:
 *  where a program looks for a library of its own. */
QStringList pathsIn(const QString& dir, const QStringList& folders, const QString& fileName);

} // namespace FileIo
