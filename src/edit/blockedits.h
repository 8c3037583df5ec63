#pragma once

#include "cellblock.h"
#include "model/cellrange.h"

class FareTable;

/**
 * The block operations of the grid's selection: reading a block for the clipboard, pasting one,
 * emptying one. They write ordinary cells only, never a heading; an open in-cell edit must have
 * been committed before they run. Each leaves the current cell where it was.
 */
namespace BlockEdits {

/** The ordinary cells of range (the part of it outside the table or on headings dropped). */
CellRange ordinaryPart(const CellRange& range);

/** The texts of range, read without moving the current cell. */
CellBlock read(const FareTable& table, const CellRange& range);

/** What a paste wrote, and how many of the block's texts fell outside the table or on headings. */
struct PasteResult {
    CellRange written;
    int leftOut = 0;
};

/**
 * Pastes block with its top-left text at (row, col), cut off at the table's edges and at the
 * headings. A block of one text pasted onto a selection of several cells fills the selection.
 */
PasteResult paste(FareTable& table, CellBlock block, int row, int col, const CellRange& selection);

/**
 * Empties the ordinary cells of range. The current cell alone is emptied as the grid's Delete key
 * empties it: where it stands and shown, as one text stored into the current cell (nothing on a
 * heading).
 */
void clear(FareTable& table, const CellRange& range);

} // namespace BlockEdits
