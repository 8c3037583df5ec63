#pragma once

#include "model/faretable.h"

#include <QList>
#include <QString>
#include <QtGlobal>
#include <iterator>

/**
 * The fare check: warnings about the rows a save stores. It only reads the table; neither the
 * cells nor the current cell change.
 *
 * Two kinds of rule. The fare rules judge whether the fares look plausible; the table stays
 * valid whatever they say, and each of them can be switched off where a route breaks it on
 * purpose (a zone fare, a special stop). The save rules report what a save would not keep or
 * would refuse; they are facts, not guesses, and are always on.
 *
 * The fare rules look at stop rows only (rows 2 onwards): the route row's ticket number and
 * fares are stored, but they belong to no stop. They read every cell as a save stores it
 * (CellToInt16): a fare is a stored value other than 0, so an empty cell, "0" and a text that
 * is no number are all "no fare"; a cell outside 16 bits counts as no value (the save rules
 * report it). A stop whose ticket-number cell is empty has no ticket number, and the rules that
 * need one pass it by.
 */
namespace FareCheck {

enum class Rule {
    // Fare rules.
    TicketOrder, ///< a ticket number smaller than the previous stop's
    NotIssued,   ///< a fare for a ticket above the stop's own ticket number
    MissingFare, ///< an empty cell between two fares of a stop, up to its own ticket number
    ColumnFalls, ///< down a ticket's column, a fare lower than at the stop before
    RowRises,    ///< along a stop's row, a later ticket dearer than an earlier one
    Outlier,     ///< more than three times, or under a third of, both neighbours in the column
    // Save rules.
    UnsavedRow,    ///< data below the first empty name: a save does not keep it
    NumberRange,   ///< a number outside -32768..32767: the save fails
    StoredAsZero,  ///< a text that is no number: stored as 0
    TrailingText,  ///< characters after the number: ignored by the save
    NameEncoding,  ///< a name that code page 932 cannot hold: the save fails
    NameLength,    ///< a name of more than 65535 bytes in code page 932: the save fails
    NameSeparator, ///< a name holding a character that splits text files
    NameControl,   ///< a name holding another control character
    ImportLines,   ///< lines of a text file that the import leaves out
    ImportFields,  ///< fields of a text file's line after the 152nd: the import leaves them out
    ImportLf,      ///< lone LFs in a text file's line: they end no line
};

/** A fare rule judges plausibility and may be switched off; a save rule states a fact. */
enum class RuleKind { Fare, Save };

/** A rule as users and scripts name it. */
struct RuleInfo {
    Rule rule;
    RuleKind kind;
    /** Its id in machine-readable output and in the name of its switch ("ticket-order"). */
    const char* id;
    /** Its short Japanese title, as the check's panel shows it (UTF-8). */
    const char* title;
};

/**
 * Every rule, once, in Rule order: the one list of the rules that the panel, the CLI and the
 * documents name. The panel shows the fare rules' switches in this order.
 */
inline constexpr RuleInfo Rules[] = {
    {Rule::TicketOrder, RuleKind::Fare, "ticket-order", "整理券番号が前の停留所より小さい・空欄"},
    {Rule::NotIssued, RuleKind::Fare, "not-issued", "まだ発行されていない整理券の運賃"},
    {Rule::MissingFare, RuleKind::Fare, "missing-fare", "運賃の抜け"},
    {Rule::ColumnFalls, RuleKind::Fare, "column-falls", "先の停留所ほど安い運賃（列）"},
    {Rule::RowRises, RuleKind::Fare, "row-rises", "後の整理券ほど高い運賃（行）"},
    {Rule::Outlier, RuleKind::Fare, "outlier", "前後の 3 倍を超える・3 分の 1 未満の運賃"},
    {Rule::UnsavedRow, RuleKind::Save, "unsaved-row", "保存されない行"},
    {Rule::NumberRange, RuleKind::Save, "number-range", "16 ビットに収まらない数値"},
    {Rule::StoredAsZero, RuleKind::Save, "stored-as-zero", "0 として保存される文字"},
    {Rule::TrailingText, RuleKind::Save, "trailing-text", "数値の後ろの無視される文字"},
    {Rule::NameEncoding, RuleKind::Save, "name-encoding", "Shift-JIS にない文字"},
    {Rule::NameLength, RuleKind::Save, "name-length", "長すぎる名称"},
    {Rule::NameSeparator, RuleKind::Save, "name-separator", "テキストファイルを崩す文字"},
    {Rule::NameControl, RuleKind::Save, "name-control", "名称の制御文字"},
    {Rule::ImportLines, RuleKind::Save, "import-lines", "読み込まれない行"},
    {Rule::ImportFields, RuleKind::Save, "import-fields", "読み込まれない項目"},
    {Rule::ImportLf, RuleKind::Save, "import-lf", "行の区切りにならない改行（LF）"},
};

constexpr int RuleCount = int(std::size(Rules));

constexpr bool rulesInOrder()
{
    for (int i = 0; i < RuleCount; ++i)
        if (int(Rules[i].rule) != i)
            return false;
    return RuleCount == int(Rule::ImportLf) + 1;
}
static_assert(rulesInOrder(), "Rules names every Rule once, in order");
static_assert(RuleCount <= 32, "a RuleSet holds 32 rules");

/** The rule's id in machine-readable output ("ticket-order"). */
QString ruleId(Rule rule);
/** The rule's short Japanese title, as the check's panel shows it. */
QString ruleTitle(Rule rule);

/** The rules to run: a set of Rule values. */
class RuleSet {
public:
    /** Every rule. */
    static RuleSet all() { return RuleSet(bits(RuleKind::Fare) | bits(RuleKind::Save)); }
    /** The save rules alone. */
    static RuleSet saveRules() { return RuleSet(bits(RuleKind::Save)); }

    bool contains(Rule rule) const { return m_bits & bit(rule); }
    void set(Rule rule, bool on) { m_bits = on ? m_bits | bit(rule) : m_bits & ~bit(rule); }
    bool anyFareRule() const { return m_bits & bits(RuleKind::Fare); }
    bool operator==(const RuleSet& other) const { return m_bits == other.m_bits; }

private:
    explicit RuleSet(quint32 bits) : m_bits(bits) {}
    static quint32 bit(Rule rule) { return 1u << int(rule); }
    static constexpr quint32 bits(RuleKind kind)
    {
        quint32 set = 0;
        for (const RuleInfo& info : Rules)
            set |= info.kind == kind ? 1u << int(info.rule) : 0;
        return set;
    }
    quint32 m_bits;
};

/** One warning. */
struct Finding {
    Rule rule;
    /** The cell it is about, as grid row and column; 0 and 0 when it is about no cell. */
    int row = 0;
    int col = 0;
    /** One Japanese sentence, naming the cell as the grid shows it. */
    QString message;

    /** The stop number the grid shows for the row; 0 for the route row or no cell. */
    int stop() const { return row > FareTable::RouteRow ? FareTable::stopOfRow(row) : 0; }
    /** The ticket number of a fare column; 0 for the other columns or no cell. */
    int ticket() const { return col > FareTable::TicketCol ? FareTable::ticketOfColumn(col) : 0; }
};

/**
 * Checks the stored rows of table with the given rules: first what the save rules find, then
 * the fare rules' findings by row, column and rule.
 */
QList<Finding> checkTable(const FareTable& table, RuleSet rules = RuleSet::all());

} // namespace FareCheck
