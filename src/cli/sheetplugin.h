#pragma once

#include "model/outcome.h"

#include <QString>
#include <QStringList>
#include <memory>

class FareTable;
class Platform;
class QCoreApplication;

/**
 * farewright-cli's side of the fare sheet's PDF plugin (src/sheetpdf): it is loaded only when a
 * command writes a PDF, before the application object exists, since it makes that object.
 */
namespace SheetPlugin {

/** The plugin's file name, "libfarewright-sheetpdf.so". */
QString fileName();

/**
 * Where the plugin is looked for, first match wins: the program's own folder, the private library
 * folder of an installed program, and the plugin's folder in the build tree.
 */
QStringList searchPaths(const QString& programDir);

/**
 * Loads the plugin and makes the application object through it (a QGuiApplication on Qt's
 * offscreen platform). When the plugin is missing, cannot be loaded or belongs to another version,
 * says so on standard error and returns null.
 */
std::unique_ptr<QCoreApplication> makeApplication(int& argc, char* argv[]);

/** Writes the sheet of table as a PDF document to path; makeApplication() must have succeeded. */
Outcome writePdf(FareTable& table, Platform& platform, const QString& path,
                 const QString& fileName);

} // namespace SheetPlugin
