#pragma once

#include "model/outcome.h"

#include <QString>
#include <QVector>

class Platform;
class QCoreApplication;

/**
 * The fare sheet as PDF, for farewright-cli: a plugin (libfarewright-sheetpdf.so) that the CLI
 * loads only when it writes a PDF, so that every other command starts as a plain QtCore program,
 * without QtGui and the libraries it brings. The plugin holds the sheet's renderer; it is installed
 * in the program's private library folder and built beside the CLI.
 *
 * The CLI finds the plugin's one exported function, farewright_sheetpdf_plugin(), and uses the
 * plugin only when its version is the CLI's own: both sides are built from the same source, so
 * the C++ types they pass are the same.
 */
struct SheetPdfPlugin {
    /** The version of the build the plugin comes from ("3.0.0"). */
    const char* version;
    /**
     * Makes the program's application object: a QGuiApplication on Qt's offscreen platform
     * (nothing is shown, no display is needed). It must be the first application object.
     */
    QCoreApplication* (*makeApplication)(int& argc, char** argv);
    /**
     * Writes the sheet of a table, given as its ordinary cells (rows 1..301, columns 1..152, row
     * by row), as a PDF document to path, through the save frame of every writer. fileName goes
     * into the footer.
     */
    Outcome (*writePdf)(const QVector<QString>& cells, Platform& platform, const QString& path,
                        const QString& fileName);
};

/** The name of the plugin's exported function, which returns its SheetPdfPlugin. */
constexpr char SheetPdfPluginEntry[] = "farewright_sheetpdf_plugin";
using SheetPdfPluginFunction = const SheetPdfPlugin* (*)();
