#pragma once

#include "model/cellrange.h"
#include "model/faretable.h"

#include <QString>
#include <QStringView>
#include <optional>
#include <vector>

/**
 * Revising fares by a rule: multiply by an exact ratio P/Q, add an amount A, round to a unit U,
 * and raise what is left below the lowest fare to it. A fare of a stop row whose stored value v
 * (CellToInt16) is positive becomes
 *
 *     max(round((v * P / Q + A) / U) * U, lowest)
 *
 * in integers, never in floating point. Rounding up and down go toward +infinity and -infinity;
 * rounding to the nearest takes halves toward +infinity (2.5 gives 3, -2.5 gives -2). Empty cells,
 * 0, negative values, texts that are no number, names, ticket numbers, the route row and the
 * headings never change; nor does a fare whose value the rule leaves as it is, whatever its text.
 *
 * A revision is planned first, without touching the table: the dialog shows its preview, the CLI
 * its count. A result outside 1..32767, or a cell a save would refuse (a number outside
 * -32768..32767), refuses the whole revision with a message naming the first such cell in reading
 * order. Applying writes the new values as plain decimal text and leaves the current cell where
 * it was; run inside a TableStep it is one step of the history. An open in-cell edit must have
 * been committed before the revision is planned.
 */
namespace FareRevision {

enum class Rounding {
    Up,      ///< 切り上げ: toward +infinity
    Nearest, ///< 四捨五入: to the nearest, halves toward +infinity
    Down     ///< 切り捨て: toward -infinity
};

/** The bounds of a rule; beyond them it is refused as absurd. */
constexpr qint64 MaxRatioTerm = 1'000'000; ///< P and Q, once the fraction is reduced
constexpr int MaxRatioDecimals = 6;        ///< digits after the point of a decimal ratio
constexpr qint64 MaxFare = 32767;          ///< the largest stored fare: bounds A, U and the lowest

struct Rule {
    qint64 numerator = 1;   ///< P
    qint64 denominator = 1; ///< Q
    qint64 add = 0;         ///< A, yen, may be negative
    Rounding rounding = Rounding::Nearest;
    qint64 unit = 10;  ///< U, yen
    qint64 lowest = 0; ///< the lowest fare, yen; 0 for none
};

/** The parameters a text can set: the CLI's --multiply, --add, --round, --unit and --min. */
enum class Parameter { Multiply, Add, Round, Unit, Lowest };

/**
 * Sets one parameter of rule from a text as the CLI or the dialog's fields give it. Full-width
 * digits and signs are read as their ASCII twins, blanks around the text are ignored.
 *  - Multiply: a fraction "P/Q" ("110/108") or a decimal ("1.1", "0.5", "2"), made an exact
 *    reduced fraction (1.1 is 11/10);
 *  - Add: a whole number, optionally signed ("-20", "+10");
 *  - Round: "up", "nearest", "down" or 切り上げ, 四捨五入, 切り捨て;
 *  - Unit: a whole number from 1;
 *  - Lowest: a whole number, 0 or an empty text for none.
 * Returns an empty text on success, else a Japanese message; the rule is then unchanged.
 */
QString setParameter(Rule& rule, Parameter parameter, QStringView text);

/**
 * Whether a rule lies within its bounds: P and Q 1..1000000, A -32767..32767, U 1..32767, the
 * lowest fare 0..32767. An empty text, or a Japanese message about the first parameter out of
 * bounds. For rules made from numbers (spin boxes); setParameter checks as it sets.
 */
QString checkRule(const Rule& rule);

/** The ratio as a text: "55/54", or "2" when it is whole. */
QString ratioText(const Rule& rule);

/**
 * The revised value of a stored fare, before the range check: exact for every rule within its
 * bounds and every value of 16 bits (the arithmetic stays far inside 64 bits).
 */
qint64 revisedFare(qint64 value, const Rule& rule);

/** One fare that a revision changes: its cell, its stored value before and after. */
struct FareChange {
    int row = 0;
    int col = 0;
    qint16 oldValue = 0;
    qint16 newValue = 0;

    int ticket() const { return FareTable::ticketOfColumn(col); }
};

/** What a revision will do: every fare it changes, or why it refuses. */
struct Revision {
    std::vector<FareChange> changes; ///< in reading order; empty when refused
    /** Empty, or why the whole revision is refused (Japanese). */
    QString error;
    /** The cell the refusal is about (0, 0 for a rule out of bounds), and the result there. */
    int errorRow = 0;
    int errorCol = 0;
    qint64 errorResult = 0;

    bool ok() const { return error.isEmpty(); }
};

/**
 * The cells a revision reads: the fare cells of stop rows in block, or of every stored stop (the
 * rows a save stores) when there is no block. Empty when there are none.
 */
CellRange targetCells(const FareTable& table, const std::optional<CellRange>& block);

/**
 * Plans a revision of the fares in block (its fare cells of stop rows, stored or not), or of
 * every stored stop (the rows a save stores) when there is no block. Reads the table only; the
 * current cell stays.
 */
Revision plan(const FareTable& table, const Rule& rule,
              const std::optional<CellRange>& block = std::nullopt);

/** One change as the preview shows it: "停留所 3「本町」の整理券 2: 170 → 180". */
QString describeChange(const FareTable& table, const FareChange& change);

/**
 * Writes a planned revision (nothing when it was refused) as plain decimal text, leaving the
 * current cell where it was. The table must be as the plan read it. Returns how many cells were
 * written.
 */
int apply(FareTable& table, const Revision& revision);

} // namespace FareRevision
