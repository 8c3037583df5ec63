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
 * HTML: one table, texts escaped, line ends inside a text as <br>. It is only written; pasting
 * reads the tab-separated text.
 */
QString blockToTabText(const CellBlock& block);
QString blockToHtml(const CellBlock& block);
CellBlock tabTextToBlock(QStringView text);
