#pragma once

#include "cellblock.h"

#include <QString>
#include <QStringView>

/**
 * The clipboard's two forms of a block of cells, as spreadsheets exchange them.
 *
 * Tab-separated text: fields separated by tabs, every row ended by CR LF. A field holding a tab,
 * a line end or a double quote is put in double quotes, each of its double quotes doubled.
 * Reading accepts LF, CR LF and CR as row ends; a line end after the last row starts no row of
 * its own; short rows are filled up with empty texts to the longest row's width.
 *
 * HTML: one table, texts escaped, line ends inside a text as <br>, other control characters left
 * out (HTML cannot carry them). Spreadsheets read this form first and turn texts that look like
 * numbers or formulas ("0012", "1E5", "=1+1") into values, so every cell that is not a plain
 * number is marked as text, as Calc (sdnum) and Excel (mso-number-format) read it. A plain
 * number is what the file readers write: "0", or an optional minus and up to 15 digits without
 * a leading zero (a spreadsheet holds more digits only rounded). Names are always text; empty
 * cells are not marked, so that a number typed there later in the spreadsheet is a number. It is
 * only written; pasting reads the tab-separated text.
 */
QString blockToTabText(const CellBlock& block);
/** The HTML form of block, whose first column is the table's column left (1 being the names). */
QString blockToHtml(const CellBlock& block, int left);
CellBlock tabTextToBlock(QStringView text);
