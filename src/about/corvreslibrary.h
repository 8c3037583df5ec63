#pragma once

#include <QString>
#include <QStringList>

/**
 * Access to the distributor's link library, libcorvres.so. Every call loads the library afresh,
 * calls one of its text functions, copies the text and unloads the library again.
 */
namespace CorvresLibrary {

/** The outcome of one call: the text, or a description of what went wrong (Japanese). */
struct Result {
    bool ok = false;
    QString text;
    QString failure;
};

/** The library's file name, "libcorvres.so". */
QString fileName();

/**
 * Where the library is looked for, first match wins: the folder of the program itself, the
 * private library folder of an installed program, and the library's folder in the build tree.
 */
QStringList searchPaths(const QString& applicationDir);

/**
 * Calls the text function named function of the library at libraryPath, or, when libraryPath is
 * empty, of the first library found on searchPaths() of the running program's folder.
 */
Result call(const QString& libraryPath, const char* function);

} // namespace CorvresLibrary
