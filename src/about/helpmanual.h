#pragma once

#include <QString>

class Platform;

/**
 * The Japanese HTML manual (Help → 使い方, F1). An installed program finds it in the data folder
 * beside its own, ../share/farewright/manual/index.html from the folder of the program; a program
 * run from its build folder (the build's CMakeCache.txt lies above it) finds the one the build
 * made in docs/manual.
 */
namespace HelpManual {

/**
 * Opens the manual in the desktop's browser. When it is not there, or no browser starts, a
 * message says which file it is.
 */
void open(Platform& platform, const QString& applicationDir);

} // namespace HelpManual
