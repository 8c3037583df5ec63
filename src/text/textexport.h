#pragma once

#include "model/outcome.h"

#include <QString>

class FareTable;
class Platform;

/**
 * Writes the table's named rows to path as comma-separated text in code page 932 (the operation
 * behind the save-as-text command, without its dialog).
 */
Outcome ExportText(FareTable& table, Platform& platform, const QString& path);
