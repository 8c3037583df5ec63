#pragma once

#include "model/outcome.h"

#include <QString>
#include <memory>

class FareTable;
class Platform;
class QCoreApplication;

/**
 * farewright-cli's side of the fare sheet's PDF plugin (src/sheetpdf): it is loaded only when a
 * command writes a PDF, before the application object exists, since it makes that object.
 */
namespace SheetPlugin {

/**
 * Loads the plugin and makes the application object through it (a QGuiApplication on Qt's
 * offscreen platform). The plugin is looked for in the program's own folder, in the private
 * library folder of an installed program and in its folder in the build tree; first match wins.
 * When it is missing, cannot be loaded or belongs to another version, or the build has none,
 * says so on standard error and returns null.
 */
std::unique_ptr<QCoreApplication> makeApplication(int& argc, char* argv[]);

/** Writes the sheet of table as a PDF document to path; makeApplication() must have succeeded. */
Outcome writePdf(FareTable& table, Platform& platform, const QString& path,
                 const QString& fileName);

} // namespace SheetPlugin
