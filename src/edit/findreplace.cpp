#include "findreplace.h"

#include "model/bulkguards.h"
#include "model/faretable.h"

namespace {

constexpr int CellCount = FareTable::RowCount * FareTable::ColCount;

bool inScope(int row, int col, FindReplace::Scope scope)
{
    if (FareTable::isHeading(row, col))
        return false;
    switch (scope) {
    case FindReplace::Scope::Names:
        return col == FareTable::NameCol;
    case FindReplace::Scope::Numbers:
        return col >= FareTable::TicketCol;
    case FindReplace::Scope::All:
        break;
    }
    return true;
}

Qt::CaseSensitivity caseOf(const FindReplace::Options& options)
{
    return options.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
}

} // namespace

bool FindReplace::matches(const QString& cell, const Options& options)
{
    if (options.text.isEmpty())
        return false;
    if (options.wholeCell)
        return cell.compare(options.text, caseOf(options)) == 0;
    return cell.contains(options.text, caseOf(options));
}

QString FindReplace::replaced(const QString& cell, const Options& options,
                              const QString& replacement)
{
    if (options.wholeCell)
        return replacement;
    return QString(cell).replace(options.text, replacement, caseOf(options));
}

FindReplace::Match FindReplace::find(const FareTable& table, int row, int col,
                                     const Options& options, bool backwards)
{
    const int start = row * FareTable::ColCount + col;
    for (int step = 1; step <= CellCount; ++step) {
        const int at = backwards ? start - step : start + step;
        const int cell = (at + CellCount) % CellCount;
        const int r = cell / FareTable::ColCount;
        const int c = cell % FareTable::ColCount;
        if (inScope(r, c, options.scope) && matches(table.text(r, c), options))
            return {r, c, at < 0 || at >= CellCount};
    }
    return {};
}

bool FindReplace::replaceCurrent(FareTable& table, const Options& options,
                                 const QString& replacement)
{
    const int row = table.CurRow();
    const int col = table.CurCol();
    if (!inScope(row, col, options.scope) || !matches(table.text(row, col), options))
        return false;
    table.SetCell(row, col, replaced(table.text(row, col), options, replacement));
    return true;
}

int FindReplace::replaceAll(FareTable& table, const Options& options, const QString& replacement)
{
    HiddenTable hidden(table);
    const int row = table.CurRow();
    const int col = table.CurCol();
    int changed = 0;
    for (int r = FareTable::FixedRows; r < FareTable::RowCount; ++r) {
        for (int c = FareTable::FixedCols; c < FareTable::ColCount; ++c) {
            const QString& text = table.text(r, c);
            if (!inScope(r, c, options.scope) || !matches(text, options))
                continue;
            const QString next = replaced(text, options, replacement);
            if (next == text)
                continue;
            table.SetCell(r, c, next);
            ++changed;
        }
    }
    table.setCurrentCell(row, col);
    return changed;
}
