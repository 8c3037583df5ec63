#pragma once

#include "edit/farerevision.h"

#include <optional>

class FareTable;

/**
 * The fare revision's dialog, beside the platform: the window's own, like the print dialogs. The
 * program implements it with RevisionDialog, the tests with a scripted fake that never opens a
 * modal dialog.
 */
class RevisionPlatform {
public:
    virtual ~RevisionPlatform() = default;

    /**
     * Asks for a revision rule, its fields starting as rule. The dialog previews what the rule
     * does to the fares of block in table (of every stored stop when there is none) and lets it
     * be chosen only when it changes some fare and is not refused. Returns the rule chosen, or
     * nothing when the user cancelled.
     */
    virtual std::optional<FareRevision::Rule> chooseRevision(const FareTable& table,
                                                             const std::optional<CellRange>& block,
                                                             const FareRevision::Rule& rule) = 0;
};
