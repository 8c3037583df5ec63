#pragma once

/** How a user-level operation ended. Failures have already been shown to the user. */
enum class Outcome {
    Done,     ///< the operation did its work
    Declined, ///< the user cancelled a dialog or answered No: nothing was changed
    Failed    ///< the operation failed and said why: nothing was changed
};
