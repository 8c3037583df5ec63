#include "sheetpages.h"

SheetColumns sheetColumns(const SheetWidths& widths, qreal pageWidth)
{
    SheetColumns columns;
    columns.label = widths.label;
    columns.ticket = widths.ticket;
    columns.fare = widths.fare;
    columns.fares = widths.fares;
    columns.name = qMin(widths.name, pageWidth * SheetNameShare);
    columns.name = qMax(qMin(columns.name, pageWidth - widths.label - widths.ticket - widths.fare),
                        widths.nameLeast);
    columns.faresPerPage =
        qMax(1, int((pageWidth - widths.label - columns.name - widths.ticket) / widths.fare));
    return columns;
}

SheetPages::SheetPages(const SheetColumns& columns, const QList<qreal>& lineHeights, qreal room)
    : m_columns(columns), m_room(room)
{
    m_heights.reserve(lineHeights.size());
    m_rowStarts.append(0);
    qreal used = 0;
    for (const qreal height : lineHeights) {
        m_heights.append(qMin(height, room));
        if (used > 0 && used + m_heights.last() > room) {
            m_rowStarts.append(int(m_heights.size()) - 1);
            used = 0;
        }
        used += m_heights.last();
    }
    m_rowStarts.append(int(m_heights.size()));
}

SheetPage SheetPages::page(int index) const
{
    if (index >= tablePages()) {
        SheetPage notes;
        notes.table = false;
        notes.firstNote = m_notesOnTable + (index - tablePages()) * m_notesPerPage;
        notes.endNote = qMin(notes.firstNote + m_notesPerPage, m_notes);
        return notes;
    }
    const int rowBand = index % rowBands();
    const int columnBand = index / rowBands();
    SheetPage page;
    page.firstLine = m_rowStarts[rowBand];
    page.endLine = m_rowStarts[rowBand + 1];
    page.firstFare = columnBand * m_columns.faresPerPage;
    page.endFare = qMin(page.firstFare + m_columns.faresPerPage, m_columns.fares);
    if (index == tablePages() - 1) {
        page.endNote = m_notesOnTable;
        page.notesTop = m_notesTop;
    }
    return page;
}

void SheetPages::addNotes(int count, qreal height, qreal gap, qreal heading)
{
    const SheetPage last = page(tablePages() - 1);
    qreal top = heading + gap;
    for (int line = last.firstLine; line < last.endLine; ++line)
        top += m_heights[line];
    const qreal room = m_room + heading;
    // A hair's tolerance: lines that fill the room exactly fit it.
    const auto fitting = [height](qreal space) {
        return space < height ? 0 : int(space / height + 1e-9);
    };
    m_notes = qMax(0, count);
    m_notesTop = top;
    m_notesOnTable = qMin(m_notes, fitting(room - top));
    m_notesPerPage = qMax(1, fitting(room));
    m_notePages = (m_notes - m_notesOnTable + m_notesPerPage - 1) / m_notesPerPage;
}

QList<qreal> SheetPages::edges(const SheetPage& page) const
{
    const SheetColumns& c = m_columns;
    QList<qreal> edges{0, c.label, c.label + c.name, c.label + c.name + c.ticket};
    for (int i = page.firstFare; i < page.endFare; ++i)
        edges.append(edges.last() + c.fare);
    return edges;
}
