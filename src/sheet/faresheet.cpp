#include "faresheet.h"

#include "compare/tablecompare.h"
#include "gui/gridfont.h"
#include "gui/visibletext.h"
#include "io/tableload.h"
#include "io/tablerecords.h"
#include "model/cellnumber.h"
#include "model/faretable.h"
#include "model/messagetext.h"
#include "sheetpages.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QRawFont>
#include <QTextLayout>
#include <limits>
#include <memory>
#include <vector>

namespace {

constexpr qreal BodyPoints = 9;
constexpr qreal SmallestPoints = 7;
constexpr qreal HeaderPoints = 11;
constexpr qreal FooterPoints = 8;
constexpr int NameLines = 2;             ///< lines a name may take before it shrinks
constexpr qreal NarrowestEm = 0.1;       ///< no character worth drawing is narrower, in ems
constexpr qsizetype TitleLength = 80;    ///< characters of the route name in a document's title
constexpr qsizetype OverflowLength = 20; ///< characters shown of a number that fits no save
const QColor GridLineColour(0xC0, 0xC0, 0xC0);
const QColor HeadingFill(0xF0, 0xF0, 0xF0);

/** A number cell as a save stores it: blank for 0 (or no number), as typed when it overflows. */
QString storedText(const QString& text, bool blankZero)
{
    if (text.isEmpty())
        return QString();
    const CellNumber number = CellToInt16(text);
    if (!number.ok())
        return visibleStart(text, OverflowLength);
    if (number.value == 0 && blankZero)
        return QString();
    return QString::number(number.value);
}

QFont boldGridFontAt(qreal points, bool underline = false)
{
    QFont font = gridFontAt(points);
    font.setBold(true);
    font.setUnderline(underline);
    return font;
}

/** The face of a name at a size: bold and underlined when it changed since an older table. */
QFont nameFontAt(qreal points, bool changed)
{
    return changed ? boldGridFontAt(points, true) : gridFontAt(points);
}

/** A text as one paragraph: line breaks and tabs become blanks. */
QString oneParagraph(QString text)
{
    for (QChar& c : text)
        if (c == u'\n' || c == u'\r' || c == u'\t')
            c = u' ';
    return text;
}

/**
 * A text laid out into lines of a given width, breaking between words or anywhere. Past
 * maxLines lines the text is cut: its last line ends in "…".
 */
class Wrapped {
public:
    Wrapped(const QString& text, const QFont& font, QPaintDevice* device, qreal width,
            int maxLines = std::numeric_limits<int>::max())
        : m_layout(oneParagraph(text), font, device)
    {
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        m_layout.setTextOption(option);
        layOut(width);
        if (m_lines <= maxLines)
            return;
        const QString all = m_layout.text();
        const int last = m_layout.lineAt(maxLines - 1).textStart();
        QString cut = all.first(last);
        if (last > 0)
            cut += QChar::LineSeparator; // the lines before stay as they were
        cut += QFontMetricsF(font, device).elidedText(all.sliced(last), Qt::ElideRight, width);
        m_layout.setText(cut);
        layOut(width);
    }
    int lines() const { return m_lines; }
    qreal height() const { return m_height; }
    void draw(QPainter& painter, const QPointF& topLeft) const { m_layout.draw(&painter, topLeft); }

private:
    void layOut(qreal width)
    {
        m_height = 0;
        m_lines = 0;
        m_layout.beginLayout();
        for (QTextLine line = m_layout.createLine(); line.isValid(); line = m_layout.createLine()) {
            line.setLineWidth(width);
            line.setPosition(QPointF(0, m_height));
            m_height += line.height();
            ++m_lines;
        }
        m_layout.endLayout();
    }

    QTextLayout m_layout;
    qreal m_height = 0;
    int m_lines = 0;
};

/**
 * One-line texts in one face, shaped once each and drawn as glyph runs: a sheet holds tens of
 * thousands of numbers but only a few hundred different ones, and a page's numbers go out as
 * one run instead of one text object each.
 */
class GlyphCache {
public:
    struct Shaped {
        QList<quint32> glyphs;
        QList<QPointF> advances;
        qreal width = 0;
        bool complete = true; ///< the face has every character (else it is drawn as text)
    };

    GlyphCache(const QFont& font, QPaintDevice* device)
        : m_font(font), m_device(device), m_raw(QRawFont::fromFont(QFont(font, device)))
    {
        m_raw.setPixelSize(font.pointSizeF() * device->logicalDpiY() / 72.0);
    }

    const Shaped& shape(const QString& text)
    {
        auto found = m_cache.find(text);
        if (found != m_cache.end())
            return *found;
        Shaped shaped;
        shaped.glyphs = m_raw.glyphIndexesForString(text);
        shaped.complete = m_raw.isValid() && !shaped.glyphs.contains(0);
        if (shaped.complete) {
            shaped.advances = m_raw.advancesForGlyphIndexes(shaped.glyphs);
            for (const QPointF& advance : std::as_const(shaped.advances))
                shaped.width += advance.x();
        } else {
            shaped.width = QFontMetricsF(m_font, m_device).horizontalAdvance(text);
        }
        return *m_cache.insert(text, shaped);
    }
    qreal width(const QString& text) { return shape(text).width; }
    const QRawFont& rawFont() const { return m_raw; }
    const QFont& font() const { return m_font; }

private:
    QFont m_font;
    QPaintDevice* m_device;
    QRawFont m_raw;
    QHash<QString, Shaped> m_cache;
};

/** The one-line texts of a page, gathered and then drawn at once. */
class PageText {
public:
    explicit PageText(GlyphCache& cache) : m_cache(cache)
    {
        const QRawFont& raw = cache.rawFont();
        m_baseline = (raw.ascent() - raw.descent()) / 2;
    }

    /**
     * Places text in rect on one line, vertically centred. Returns its baseline from its left to
     * its right end.
     */
    QLineF add(const QRectF& rect, const QString& text, Qt::Alignment alignment)
    {
        const qreal y = rect.center().y() + m_baseline;
        if (text.isEmpty())
            return QLineF(rect.right(), y, rect.right(), y);
        const GlyphCache::Shaped& shaped = m_cache.shape(text);
        qreal x = rect.left();
        if (alignment & Qt::AlignRight)
            x = rect.right() - shaped.width;
        else if (alignment & Qt::AlignHCenter)
            x = rect.center().x() - shaped.width / 2;
        const QLineF baseline(x, y, x + shaped.width, y);
        if (!shaped.complete) {
            m_others.append({rect, text, alignment});
            return baseline;
        }
        for (qsizetype i = 0; i < shaped.glyphs.size(); ++i) {
            m_glyphs.append(shaped.glyphs[i]);
            m_positions.append(QPointF(x, y));
            x += shaped.advances[i].x();
        }
        return baseline;
    }

    void draw(QPainter& painter)
    {
        if (!m_glyphs.isEmpty()) {
            QGlyphRun run;
            run.setRawFont(m_cache.rawFont());
            run.setGlyphIndexes(m_glyphs);
            run.setPositions(m_positions);
            painter.drawGlyphRun(QPointF(0, 0), run);
        }
        painter.setFont(m_cache.font());
        for (const Other& other : std::as_const(m_others))
            painter.drawText(other.rect, int(other.alignment | Qt::AlignVCenter), other.text);
        m_glyphs.clear();
        m_positions.clear();
        m_others.clear();
    }

private:
    struct Other {
        QRectF rect;
        QString text;
        Qt::Alignment alignment;
    };
    GlyphCache& m_cache;
    qreal m_baseline = 0;
    QList<quint32> m_glyphs;
    QList<QPointF> m_positions;
    QList<Other> m_others;
};

/**
 * Where everything goes on the pages of one device: the sheet measures its texts in the device's
 * fonts, and SheetPages cuts the pages from those measures. All lengths in the device's units.
 */
struct Layout {
    Layout(const FareSheet& sheet, QPaintDevice& device)
        : dev(&device), pt(device.logicalDpiY() / 72.0), pad(2.5 * pt),
          body(gridFontAt(BodyPoints)), bold(boldGridFontAt(BodyPoints)),
          header(boldGridFontAt(HeaderPoints)), footer(gridFontAt(FooterPoints)), glyphs(body, dev),
          boldGlyphs(bold, dev), page(0, 0, device.width(), device.height()),
          lineHeight(QFontMetricsF(body, dev).height() + 3 * pt),
          headerHeight(QFontMetricsF(header, dev).height() + 4 * pt),
          footerHeight(QFontMetricsF(footer, dev).height() + 4 * pt),
          pages(paginate(sheet, sheetColumns(widths(sheet), page.width())))
    {
        pages.addNotes(int(sheet.notes().size()), lineHeight, lineHeight, headingHeight);
    }

    /** What the columns ask for: each its widest text (an overflowing number as -32768). */
    SheetWidths widths(const FareSheet& sheet)
    {
        const QFontMetricsF bodyMetrics(body, dev);
        const QStringList& headings = sheet.headings();
        // A changed number is bold, and as wide as bold makes it.
        const qreal cap = glyphs.width(QStringLiteral("-32768"));
        const qreal boldCap = boldGlyphs.width(QStringLiteral("-32768"));
        const auto numberWidth = [&](const QString& text, bool changed) {
            return changed ? qMin(boldGlyphs.width(text), boldCap) : qMin(glyphs.width(text), cap);
        };
        qreal label = glyphs.width(QStringLiteral("300"));
        qreal name = bodyMetrics.horizontalAdvance(headings.value(1));
        qreal ticket = glyphs.width(headings.value(2));
        qreal fare = glyphs.width(headings.last());
        const qsizetype nameCap = fitting(page.width() * SheetNameShare, BodyPoints);
        const QFontMetricsF boldMetrics(bold, dev);
        for (const FareSheet::Line& line : sheet.lines()) {
            label = qMax(label, glyphs.width(line.label));
            name =
                qMax(name, (line.nameChanged ? boldMetrics : bodyMetrics)
                               .horizontalAdvance(oneParagraph(visibleStart(line.name, nameCap))));
            ticket = qMax(ticket, numberWidth(line.ticket, line.ticketChanged));
            for (qsizetype f = 0; f < line.fares.size(); ++f)
                fare = qMax(fare, numberWidth(line.fares[f], isChanged(line, f)));
        }
        SheetWidths widths;
        widths.label = label + 2 * pad;
        widths.name = name + 2 * pad;
        widths.nameLeast = 4 * bodyMetrics.averageCharWidth() + 2 * pad;
        widths.ticket = ticket + 2 * pad;
        widths.fare = fare + 2 * pad;
        widths.fares = sheet.fareColumns();
        return widths;
    }

    /** Lays out the names at the name column's width, and cuts the pages from their heights. */
    SheetPages paginate(const FareSheet& sheet, const SheetColumns& columns)
    {
        const qreal width = columns.name - 2 * pad;
        nameHeading = std::make_unique<Wrapped>(sheet.headings().value(1), body, dev, width);
        headingHeight = qMax(lineHeight, nameHeading->height() + 3 * pt);
        QList<qreal> heights;
        heights.reserve(sheet.lines().size());
        for (const FareSheet::Line& line : sheet.lines()) {
            names.push_back(layOutName(line.name, width, line.nameChanged));
            heights.append(qMax(lineHeight, names.back()->height() + 3 * pt));
        }
        return SheetPages(columns, heights,
                          page.height() - headerHeight - footerHeight - headingHeight);
    }

    /**
     * A name laid out, wrapped, shrinking to keep to two lines. A name that two lines of the
     * smallest size cannot hold is cut, with "…" at its end. Only as much of it as two lines
     * could show is laid out.
     */
    std::unique_ptr<Wrapped> layOutName(const QString& name, qreal width, bool changed) const
    {
        const QString shown = visibleStart(name, fitting(width * NameLines, SmallestPoints));
        for (qreal points = BodyPoints; points > SmallestPoints; points -= 1) {
            auto wrapped =
                std::make_unique<Wrapped>(shown, nameFontAt(points, changed), dev, width);
            if (wrapped->lines() <= NameLines)
                return wrapped;
        }
        return std::make_unique<Wrapped>(shown, nameFontAt(SmallestPoints, changed), dev, width,
                                         NameLines);
    }

    static bool isChanged(const FareSheet::Line& line, qsizetype fare)
    {
        return fare < line.faresChanged.size() && line.faresChanged.testBit(fare);
    }

    /** The most characters that width can show at a size in points. */
    qsizetype fitting(qreal width, qreal points) const
    {
        return qsizetype(width / (NarrowestEm * points * pt)) + 1;
    }

    QPaintDevice* dev;
    qreal pt;
    qreal pad;
    QFont body;
    QFont bold;
    QFont header;
    QFont footer;
    GlyphCache glyphs;
    GlyphCache boldGlyphs;
    QRectF page;
    qreal lineHeight;
    qreal headerHeight;
    qreal footerHeight;
    qreal headingHeight = 0;
    std::unique_ptr<Wrapped> nameHeading;
    std::vector<std::unique_ptr<Wrapped>> names;
    SheetPages pages; ///< last: it is cut from the measures above
};

class PagePainter {
public:
    PagePainter(const FareSheet& sheet, Layout& layout, QPainter& painter)
        : m_sheet(sheet), m_layout(layout), m_painter(painter), m_text(layout.glyphs),
          m_boldText(layout.boldGlyphs), m_emptyMark(layout.boldGlyphs.width(QStringLiteral("00")))
    {
    }

    void paint(int pageIndex)
    {
        const Layout& l = m_layout;
        const SheetColumns& c = l.pages.columns();
        const SheetPage page = l.pages.page(pageIndex);

        headerAndFooter(pageIndex);
        notes(page);
        if (!page.table)
            return;

        const QList<qreal> edges = l.pages.edges(page);
        const qreal top = l.headerHeight;
        qreal bottom = top + l.headingHeight;
        for (int i = page.firstLine; i < page.endLine; ++i)
            bottom += l.pages.lineHeight(i);
        m_painter.fillRect(QRectF(0, top, edges.last(), l.headingHeight), HeadingFill);
        m_painter.fillRect(QRectF(0, top, edges[1], bottom - top), HeadingFill);
        m_painter.setPen(Qt::black);

        // The heading row, then the lines of this band.
        l.nameHeading->draw(
            m_painter,
            QPointF(edges[1] + l.pad, top + (l.headingHeight - l.nameHeading->height()) / 2));
        cell(edges[2], top, c.ticket, l.headingHeight, m_sheet.headings().value(2),
             Qt::AlignCenter);
        for (int f = page.firstFare; f < page.endFare; ++f)
            cell(edges[3 + f - page.firstFare], top, c.fare, l.headingHeight,
                 m_sheet.headings().value(3 + f), Qt::AlignCenter);
        qreal y = top + l.headingHeight;
        for (int i = page.firstLine; i < page.endLine; ++i) {
            const FareSheet::Line& line = m_sheet.lines()[i];
            const qreal height = l.pages.lineHeight(i);
            cell(0, y, c.label, height, line.label, Qt::AlignHCenter);
            const Wrapped& name = *l.names[i];
            m_painter.save();
            m_painter.setClipRect(QRectF(edges[1], y, c.name, height));
            name.draw(m_painter, QPointF(edges[1] + l.pad, y + (height - name.height()) / 2));
            m_painter.restore();
            cell(edges[2], y, c.ticket, height, line.ticket, Qt::AlignRight, line.ticketChanged);
            for (int f = page.firstFare; f < page.endFare; ++f)
                cell(edges[3 + f - page.firstFare], y, c.fare, height, line.fares[f],
                     Qt::AlignRight, Layout::isChanged(line, f));
            y += height;
        }
        m_text.draw(m_painter);
        m_boldText.draw(m_painter);
        if (!m_underlines.isEmpty()) {
            QPen pen(Qt::black);
            pen.setWidthF(qMax(l.boldGlyphs.rawFont().lineThickness(), 0.5 * l.pt));
            m_painter.setPen(pen);
            m_painter.drawLines(m_underlines);
            m_underlines.clear();
        }

        // Light grid lines over the whole block.
        QPen pen(GridLineColour);
        pen.setWidthF(0.5 * l.pt);
        m_painter.setPen(pen);
        QVector<QLineF> gridLines;
        for (const qreal x : std::as_const(edges))
            gridLines.append(QLineF(x, top, x, bottom));
        gridLines.append(QLineF(0, top, edges.last(), top));
        y = top + l.headingHeight;
        gridLines.append(QLineF(0, y, edges.last(), y));
        for (int i = page.firstLine; i < page.endLine; ++i) {
            y += l.pages.lineHeight(i);
            gridLines.append(QLineF(0, y, edges.last(), y));
        }
        m_painter.drawLines(gridLines);
    }

private:
    /** A one-line cell; a changed one bold and underlined (an empty one, an underline alone). */
    void cell(qreal x, qreal y, qreal width, qreal height, const QString& text,
              Qt::Alignment alignment, bool changed = false)
    {
        const qreal pad = m_layout.pad;
        const QRectF rect(x + pad, y, width - 2 * pad, height);
        if (!changed) {
            m_text.add(rect, text, alignment);
            return;
        }
        QLineF line = m_boldText.add(rect, text, alignment);
        if (text.isEmpty())
            line.setP1(line.p2() - QPointF(m_emptyMark, 0));
        m_underlines.append(line.translated(0, m_layout.boldGlyphs.rawFont().underlinePosition()));
    }

    /** The page's share of the notes after the table, one line each, the heading bold. */
    void notes(const SheetPage& page)
    {
        const Layout& l = m_layout;
        const QFontMetricsF metrics(l.body, l.dev);
        m_painter.setPen(Qt::black);
        qreal y = l.headerHeight + page.notesTop;
        for (int i = page.firstNote; i < page.endNote; ++i, y += l.lineHeight) {
            m_painter.setFont(i == 0 ? l.bold : l.body);
            m_painter.drawText(QRectF(0, y, l.page.width(), l.lineHeight),
                               Qt::AlignLeft | Qt::AlignVCenter,
                               metrics.elidedText(oneParagraph(m_sheet.notes()[i]), Qt::ElideRight,
                                                  l.page.width()));
        }
    }

    void headerAndFooter(int pageIndex)
    {
        const Layout& l = m_layout;
        const QString number = QStringLiteral("%1 / %2").arg(pageIndex + 1).arg(l.pages.count());
        m_painter.setPen(Qt::black);
        m_painter.setFont(l.header);
        const QFontMetricsF headerMetrics(l.header, l.dev);
        const qreal numberWidth = headerMetrics.horizontalAdvance(number);
        const QRectF headerRect(0, 0, l.page.width(), l.headerHeight - 4 * l.pt);
        m_painter.drawText(headerRect, Qt::AlignRight | Qt::AlignVCenter, number);
        m_painter.drawText(
            headerRect.adjusted(0, 0, -numberWidth - 12 * l.pt, 0),
            Qt::AlignLeft | Qt::AlignVCenter,
            headerMetrics.elidedText(
                oneParagraph(
                    visibleStart(m_sheet.routeName(), l.fitting(headerRect.width(), HeaderPoints))),
                Qt::ElideRight, headerRect.width() - numberWidth - 12 * l.pt));

        m_painter.setFont(l.footer);
        const QRectF footerRect(0, l.page.height() - l.footerHeight + 4 * l.pt, l.page.width(),
                                l.footerHeight - 4 * l.pt);
        const QString date =
            QStringLiteral("印刷日 ") + m_sheet.date().toString(QStringLiteral("yyyy年M月d日"));
        const QFontMetricsF footerMetrics(l.footer, l.dev);
        const qreal dateWidth = footerMetrics.horizontalAdvance(date);
        m_painter.drawText(footerRect, Qt::AlignRight | Qt::AlignVCenter, date);
        m_painter.drawText(
            footerRect.adjusted(0, 0, -dateWidth - 12 * l.pt, 0), Qt::AlignLeft | Qt::AlignVCenter,
            footerMetrics.elidedText(oneParagraph(m_sheet.fileName()), Qt::ElideMiddle,
                                     footerRect.width() - dateWidth - 12 * l.pt));
    }

    const FareSheet& m_sheet;
    const Layout& m_layout;
    QPainter& m_painter;
    PageText m_text;
    PageText m_boldText;
    qreal m_emptyMark; ///< the underline of a fare that became empty
    QVector<QLineF> m_underlines;
};

} // namespace

FareSheet::FareSheet(const FareTable& table) : m_date(QDate::currentDate())
{
    const int rowCount = storedRowCount(table, FareTable::LastRow);
    m_routeName = table.text(FareTable::RouteRow, FareTable::NameCol);
    int lastFare = 1;
    for (int row = 1; row <= rowCount; ++row) {
        Line line;
        line.row = row;
        const bool routeRow = row == FareTable::RouteRow;
        line.label = routeRow ? QString() : table.text(row, 0);
        line.name = table.text(row, FareTable::NameCol);
        line.ticket = storedText(table.text(row, FareTable::TicketCol), false);
        line.fares.reserve(FareTable::FareCount);
        for (int k = 1; k <= FareTable::FareCount; ++k) {
            line.fares.append(storedText(table.text(row, FareTable::TicketCol + k), true));
            if (!line.fares.last().isEmpty())
                lastFare = qMax(lastFare, k);
        }
        // The route row is no stop: it has a line only when it holds more than the name (a loaded
        // file always shows its ticket number as 0).
        const bool routeRowWithData =
            CellToInt16(table.text(row, FareTable::TicketCol)).value != 0 ||
            std::any_of(line.fares.cbegin(), line.fares.cend(),
                        [](const QString& fare) { return !fare.isEmpty(); });
        if (routeRow && !routeRowWithData)
            continue;
        m_lines.append(line);
    }
    m_fareColumns = lastFare;
    for (Line& line : m_lines)
        line.fares.resize(m_fareColumns);
    for (int col = 0; col <= FareTable::TicketCol + m_fareColumns; ++col)
        m_headings.append(table.text(0, col));
}

void FareSheet::markChanges(const TableCompare::Comparison& comparison, const QString& oldFileName)
{
    using TableCompare::Kind;
    QVector<Line*> lineOfRow(FareTable::RowCount, nullptr);
    for (Line& line : m_lines)
        lineOfRow[line.row] = &line;
    QStringList routeName;
    QStringList added;
    QStringList removed;
    for (const TableCompare::Difference& d : comparison.differences) {
        Line* line = lineOfRow.value(d.row);
        switch (d.kind) {
        case Kind::RouteName:
            routeName << TableCompare::describe(d);
            continue;
        case Kind::StopRemoved:
            removed << QStringLiteral("　旧表の停留所 %1「%2」")
                           .arg(d.oldStop)
                           .arg(briefQuote(d.oldText));
            continue;
        case Kind::StopAdded:
            added << QStringLiteral("　停留所 %1「%2」").arg(d.newStop).arg(briefQuote(d.newText));
            break;
        default:
            break;
        }
        if (!line)
            continue;
        const int fare = d.col - FareTable::FirstFareCol;
        if (d.col == FareTable::NameCol) {
            line->nameChanged = true;
        } else if (d.col == FareTable::TicketCol) {
            line->ticketChanged = true;
        } else if (fare < line->fares.size()) {
            line->faresChanged.resize(line->fares.size());
            line->faresChanged.setBit(fare);
        }
    }
    m_notes = QStringList{QStringLiteral("旧表「%1」からの変更").arg(briefQuote(oldFileName)),
                          TableCompare::summary(comparison)};
    if (!comparison.isEmpty())
        m_notes << QStringLiteral("太字に下線を引いた停留所名・整理券番号・運賃は、旧表から変わった"
                                  "ところです（空欄になった運賃は下線だけです）。");
    m_notes << routeName;
    if (!added.isEmpty())
        m_notes << QStringLiteral("加わった停留所（%1）:").arg(added.size()) << added;
    if (!removed.isEmpty())
        m_notes << QStringLiteral("なくなった停留所（%1）:").arg(removed.size()) << removed;
}

QString FareSheet::title() const
{
    return oneParagraph(visibleStart(m_routeName, TitleLength));
}

QPageLayout FareSheet::defaultPageLayout()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(10, 10, 10, 10),
                       QPageLayout::Millimeter);
}

int FareSheet::paint(QPagedPaintDevice& device) const
{
    QPainter painter;
    if (!painter.begin(&device))
        return 0;
    Layout layout(*this, device);
    PagePainter pages(*this, layout, painter);
    const int count = layout.pages.count();
    for (int page = 0; page < count; ++page) {
        if (page > 0 && !device.newPage())
            return 0;
        pages.paint(page);
    }
    return painter.end() ? count : 0;
}

QByteArray FareSheet::toPdf(int* pageCount) const
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPageLayout(defaultPageLayout());
        writer.setTitle(title());
        writer.setCreator(QStringLiteral("Farewright"));
        const int pages = paint(writer);
        if (pageCount)
            *pageCount = pages;
        if (pages == 0)
            return QByteArray();
    }
    return buffer.data();
}

Outcome exportFareSheetPdf(FareTable& table, Platform& platform, const QString& path,
                           const QString& fileName)
{
    FareSheet sheet(table);
    sheet.setFileName(fileName);
    return exportFareSheetPdf(sheet, table, platform, path);
}

Outcome exportFareSheetPdf(const FareSheet& sheet, FareTable& table, Platform& platform,
                           const QString& path)
{
    return writeTableToFile(table, platform, path, [&](QByteArray& bytes) {
        bytes = sheet.toPdf();
        return bytes.isEmpty() ? QStringLiteral("PDF を作成できませんでした。") : QString();
    });
}
