#pragma once

#include "model/outcome.h"

#include <QString>

class FareTable;
class Platform;

/** Replaces the table with the rows of a text or CSV file in code page 932. */
Outcome LoadText(FareTable& table, Platform& platform, const QString& path);
