#pragma once

#include <QString>
#include <QVector>
#include <array>
#include <vector>

class FareTable;

/**
 * The differences between an old and a new fare table, as a save stores them: the rows from row
 * 1 down to the first empty name. Neither table nor its current cell changes.
 *
 * Stops are matched by name, not by position: a longest common subsequence of the stop names
 * (exact texts), so that one inserted stop shows as one added stop. Between two matched stops,
 * the old and new stops left over pair up in order as renamed stops; the rest are removed or
 * added. Matched and renamed stops have their ticket numbers and fares compared, fares ticket by
 * ticket (column by column), as the display shows them: where a new stop renumbers the tickets
 * after it, those fares are listed as changed. An added or a removed stop is one difference; its
 * fares are not listed. The route row's name, ticket number and fares are compared too.
 *
 * Numbers are compared as a save stores them (CellToInt16): "210円" equals 210, an empty cell
 * equals 0. A number that no save accepts (outside -32768..32767) is compared as its text.
 */
namespace TableCompare {

enum class Kind {
    RouteName,   ///< route-name: the route name changed
    RouteTicket, ///< route-ticket: the route row's ticket number changed
    RouteFare,   ///< route-fare: one of the route row's fares changed
    StopAdded,   ///< stop-added
    StopRemoved, ///< stop-removed
    StopRenamed, ///< stop-renamed: a stop between two matched ones with another name
    Ticket,      ///< ticket: a stop's ticket number changed
    Fare,        ///< fare: one fare of a stop changed
};
constexpr int KindCount = int(Kind::Fare) + 1;

/** The kind's id in machine-readable output ("stop-added"). */
QString kindId(Kind kind);
/** The kind's short Japanese title, as a panel or a summary names it ("停留所の追加"). */
QString kindTitle(Kind kind);

struct Difference {
    Kind kind = Kind::Fare;
    int oldStop = 0; ///< the stop's number in the old table; 0 for the route row, an added stop
    int newStop = 0; ///< the stop's number in the new table; 0 for the route row, a removed stop
    int ticket = 0;  ///< the ticket number of a fare; 0 for the other kinds
    /**
     * What changed, old and new: names as they are; ticket numbers as decimal text ("0" for an
     * empty cell); fares as decimal text, empty for no fare (an empty cell, 0, a text that is no
     * number); a number out of range as typed. For an added stop only newText (its name), for a
     * removed one only oldText.
     */
    QString oldText;
    QString newText;
    /** The stop's name in the new table (the old one for a removed stop); empty for the route. */
    QString stopName;
    /**
     * The new table's cell the difference is about, to make current or tint: the name, ticket or
     * fare cell; for a removed stop the name cell of the new stop now standing where it stood
     * (the row below the last stop when it stood at the end).
     */
    int row = 0;
    int col = 0;
};

struct Comparison {
    /** The route row's first, then the stops' in the new table's order. */
    std::vector<Difference> differences;
    std::array<int, KindCount> counts{};

    int count(Kind kind) const { return counts[size_t(kind)]; }
    bool isEmpty() const { return differences.empty(); }
};

Comparison compareTables(const FareTable& oldTable, const FareTable& newTable);

/**
 * The stop matching alone, for a list of old and of new names: for each new stop the index of
 * the old stop it continues (matched or renamed), or -1 for an added stop.
 */
QVector<int> matchStops(const QVector<QString>& oldNames, const QVector<QString>& newNames);

/** One Japanese sentence about a difference, quoting names briefly. */
QString describe(const Difference& difference);

/**
 * The difference as one line of six tab-separated fields: kind, old stop number, new stop number,
 * ticket number, old text, new text. Fields that do not apply are empty; backslashes and control
 * characters are escaped as dump escapes them.
 */
QString tsvLine(const Difference& difference);

/** The counts in one Japanese sentence: "違いは 3 件です（停留所の追加 1、運賃の変更 2）。" */
QString summary(const Comparison& comparison);

} // namespace TableCompare
