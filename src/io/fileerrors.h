#pragma once

#include <QString>
#include <sys/types.h>

/**
 * Why a file could not be read or written, as the user reads it: Japanese sentences, each ending
 * in "。". Only the file reading and writing (fileio.cpp) words its failures with them.
 */
namespace FileIo {

enum class Access { Read, Write };

/** A system error (errno): a plain sentence, the system's own text after it. */
QString systemFailure(int error, Access access);
/** Why a file whose name Qt's file dialog gave with U+FFFD for bytes that were not UTF-8 is not
 *  found (saving under that name would make a second file beside the one chosen). */
QString notUtf8Name();
/** Why a path that names no file cannot be used. */
QString missingFailure(int error, const QString& path, Access access);
/** Why a file that is not a regular one is refused. */
QString notRegularFile(mode_t mode, Access access);
/** Why a file that its mode bits make read-only is not overwritten. */
QString readOnlyFile();
/** Why a save cannot write beside its target, in a folder it may not write to. */
QString folderNotWritable();
/** Why an empty path names no file. */
QString noFileName();

} // namespace FileIo
