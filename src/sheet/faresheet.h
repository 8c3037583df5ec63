#pragma once

#include "model/outcome.h"

#include <QBitArray>
#include <QByteArray>
#include <QDate>
#include <QPageLayout>
#include <QString>
#include <QStringList>
#include <QVector>

class FareTable;
class Platform;
class QPagedPaintDevice;

namespace TableCompare {
struct Comparison;
}

/**
 * The fare table on paper: the one renderer behind print, print preview and PDF.
 *
 * The sheet shows the rows a save stores, one line per stop: its number, name, ticket number
 * and fares, as a save stores them (a fare of 0 or a text that is no number is blank, "210円" is
 * 210, a number outside 16 bits is shown as typed). The route row has a line of its own (with
 * no number) only when its ticket number or fares hold something; its name heads every page. Fare
 * columns stop after the last ticket that has a fare anywhere.
 *
 * Pages: the fare columns are split over pages across and the rows over pages down, as many as
 * the paper needs; the stop columns and the heading row repeat on every page. Pages run down
 * first, then across: all stops with the first fare columns, then all stops with the next ones.
 * Each page has a header (the route name, "1 / 4") and a footer (the file name when known, the
 * printing date). Text is the grid's Gothic face at 9 points; a name too long for its column
 * wraps, shrinking to 8 and then 7 points rather than taking more than two lines, and a name that
 * does not fit even then ends in "…" on its second line.
 *
 * Marked with a comparison (markChanges), the sheet shows what changed since an older table:
 * changed fares, ticket numbers and names are bold and underlined (a fare that became empty is
 * an underline alone), and a short section after the table, under the last page's lines when it
 * fits there, else on pages of its own, names the older table, counts the differences and lists
 * the stops added and removed.
 */
class FareSheet {
public:
    /** A snapshot of the stored rows of table; the current cell does not move. */
    explicit FareSheet(const FareTable& table);

    /** The file name in the footer; empty for none. */
    void setFileName(const QString& fileName) { m_fileName = fileName; }
    /** The printing date in the footer (today unless set). */
    void setDate(const QDate& date) { m_date = date; }
    /**
     * Marks what changed since an older table: comparison is that table's against the table
     * this sheet was made of, as it still is; oldFileName names the older table.
     */
    void markChanges(const TableCompare::Comparison& comparison, const QString& oldFileName);

    /**
     * Paints every page onto device (a printer, a PDF writer), on the device's page layout.
     * Returns the number of pages, or 0 when the device could not be painted on.
     */
    int paint(QPagedPaintDevice& device) const;

    /**
     * The sheet as a PDF document on the default page layout. Empty when painting failed.
     * pageCount, where given, receives the number of pages.
     */
    QByteArray toPdf(int* pageCount = nullptr) const;

    /** The document's title, for a print job or a PDF file: the route name, cut after 80
     *  characters. */
    QString title() const;

    /** A4 landscape with 10 mm margins: the paper unless a printer says otherwise. */
    static QPageLayout defaultPageLayout();

    struct Line {
        int row = 0;   ///< the table's row
        QString label; ///< the grid's row label ("1"); empty for the route row
        QString name;
        QString ticket;
        QStringList fares; ///< tickets 1..fareColumns
        bool nameChanged = false;
        bool ticketChanged = false;
        QBitArray faresChanged; ///< by fare column; empty when none changed
    };
    const QString& routeName() const { return m_routeName; }
    const QVector<Line>& lines() const { return m_lines; }
    /** The headings of the columns: label, name, ticket number, tickets 1..fareColumns. */
    const QStringList& headings() const { return m_headings; }
    int fareColumns() const { return m_fareColumns; }
    const QString& fileName() const { return m_fileName; }
    const QDate& date() const { return m_date; }
    /** The section after the table, one line of text each, its heading first; empty when the
     *  sheet marks no changes. */
    const QStringList& notes() const { return m_notes; }

private:
    QString m_routeName;
    QVector<Line> m_lines;
    QStringList m_headings;
    int m_fareColumns = 1;
    QString m_fileName;
    QDate m_date;
    QStringList m_notes;
};

/**
 * Writes the sheet of table as a PDF document to path, through the save frame of every writer:
 * everything is rendered into memory first, then written atomically, and a failure is shown with
 * the path (the target keeps its old bytes). fileName goes into the footer.
 */
Outcome exportFareSheetPdf(FareTable& table, Platform& platform, const QString& path,
                           const QString& fileName);
/** The same for a sheet made of table already (its marks included). */
Outcome exportFareSheetPdf(const FareSheet& sheet, FareTable& table, Platform& platform,
                           const QString& path);
