#pragma once

#include <QList>
#include <QtGlobal>

/*
 * How the fare sheet is cut into pages: a pure function of the columns' widths, the lines'
 * heights and the paper, all in one unit (the paint device's). Nothing here knows fonts or
 * painting; the sheet measures, this decides, the sheet paints.
 *
 * Across, the stop columns (number, name, ticket number) stand on every page and the fare columns
 * are shared out over as many pages as they need, at least one on each. Down, the lines are
 * shared out over as many pages as they need, each taking the whole lines that fit into the room
 * under the heading row. Pages run down first, then across: all lines with the first fare
 * columns, then all lines with the next ones.
 *
 * It takes two steps because the lines' heights depend on the name column's width (a long name
 * wraps): sheetColumns() first, then the names are measured at that width, then SheetPages.
 *
 * Lines of notes may follow the table (what changed since an older table): under the last page's
 * lines as far as they fit, the rest on pages of their own after it.
 */

/** The widest share of the page's width the name column takes; a longer name wraps. */
constexpr qreal SheetNameShare = 0.32;

/** What the sheet's columns ask for, padding included. */
struct SheetWidths {
    qreal label = 0;     ///< the stop's number
    qreal name = 0;      ///< the widest name on one line
    qreal nameLeast = 0; ///< what the name column keeps however narrow the paper
    qreal ticket = 0;    ///< the ticket number
    qreal fare = 0;      ///< each fare column
    int fares = 1;       ///< how many fare columns the sheet has
};

/** The columns as every page has them. */
struct SheetColumns {
    qreal label = 0;
    qreal name = 0;
    qreal ticket = 0;
    qreal fare = 0;
    int fares = 1;        ///< fare columns in all
    int faresPerPage = 1; ///< fare columns on a page, at least 1
    /** How many pages across the fare columns take. */
    int bands() const { return (fares + faresPerPage - 1) / faresPerPage; }
};

/**
 * The columns on paper pageWidth wide. The name column fits the widest name but takes at most
 * SheetNameShare of the page; on narrow paper it gives way, down to nameLeast, so that one fare
 * column fits beside the stop columns. The fare columns take the rest, at least one a page even
 * where it does not fit.
 */
SheetColumns sheetColumns(const SheetWidths& widths, qreal pageWidth);

/**
 * One page: the lines [firstLine, endLine) with the fare columns [firstFare, endFare) and the
 * notes [firstNote, endNote); a page of notes alone has no table, not even its heading row.
 */
struct SheetPage {
    int firstLine = 0;
    int endLine = 0;
    int firstFare = 0; ///< from 0: fare column 0 is ticket 1's
    int endFare = 0;
    bool table = true;
    int firstNote = 0;
    int endNote = 0;
    qreal notesTop = 0; ///< where the notes start, from the top of the heading row's place
};

/** The pages of a sheet: which lines and which fare columns each one shows, and where. */
class SheetPages {
public:
    /**
     * Lays out lines of the given heights under columns, with room for lines under the heading
     * row of each page. A line taller than the room has a page of its own and is cut to the room.
     * No lines make one page with the heading row alone.
     */
    SheetPages(const SheetColumns& columns, const QList<qreal>& lineHeights, qreal room);

    int count() const { return tablePages() + m_notePages; }
    /** The page at index, from 0. */
    SheetPage page(int index) const;

    const SheetColumns& columns() const { return m_columns; }
    /** A line's height as drawn: no taller than the room. */
    qreal lineHeight(int line) const { return m_heights[line]; }
    /** The left edges of page's columns (number, name, ticket number, fares), then its right
     *  edge. */
    QList<qreal> edges(const SheetPage& page) const;

    /**
     * Adds count lines of notes, each height tall, after the table: gap below the last page's
     * lines, as many as fit into the room there (heading is the heading row's height, which
     * the room lies under), then pages of notes alone, whose room is the heading row's too.
     */
    void addNotes(int count, qreal height, qreal gap, qreal heading);

private:
    int rowBands() const { return int(m_rowStarts.size()) - 1; }
    int tablePages() const { return rowBands() * m_columns.bands(); }

    SheetColumns m_columns;
    QList<qreal> m_heights;
    QList<int> m_rowStarts; ///< the first line of each band of rows, then the line count
    qreal m_room = 0;
    int m_notes = 0;
    int m_notesOnTable = 0; ///< the notes under the table on its last page
    qreal m_notesTop = 0;   ///< where they start there
    int m_notesPerPage = 1; ///< on a page of notes alone
    int m_notePages = 0;
};
