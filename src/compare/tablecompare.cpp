#include "tablecompare.h"

#include "io/tablerecords.h"
#include "model/cellnumber.h"
#include "model/faretable.h"
#include "model/messagetext.h"

#include <QHash>
#include <QStringList>
#include <algorithm>
#include <vector>

namespace TableCompare {

namespace {

struct KindText {
    const char* id;
    const char* title;
};

// In Kind order.
constexpr KindText KindTexts[KindCount] = {
    {"route-name", "系統名称の変更"},
    {"route-ticket", "系統名称の行の整理券番号の変更"},
    {"route-fare", "系統名称の行の運賃の変更"},
    {"stop-added", "停留所の追加"},
    {"stop-removed", "停留所の削除"},
    {"stop-renamed", "停留所名の変更"},
    {"ticket", "整理券番号の変更"},
    {"fare", "運賃の変更"},
};

/** A number cell as a difference shows it: the stored value, empty for no fare, the text as
 *  typed when it is out of range. */
QString shown(const QString& text, const CellNumber& number, bool fare)
{
    if (number.status == CellNumber::Status::Overflow)
        return text;
    if (fare && number.value == 0)
        return QString();
    return isPlainDecimal(text) ? text : QString::number(number.value);
}

/** The texts of one table's stored rows: a row a save does not store reads as empty. */
class Stored {
public:
    explicit Stored(const FareTable& table)
        : m_table(table), m_rows(storedRowCount(table, FareTable::LastRow))
    {
    }
    const QString& text(int row, int col) const
    {
        static const QString none;
        return row <= m_rows ? m_table.text(row, col) : none;
    }
    QVector<QString> stopNames() const
    {
        QVector<QString> names;
        for (int row = FareTable::FirstStopRow; row <= m_rows; ++row)
            names.append(m_table.text(row, FareTable::NameCol));
        return names;
    }

private:
    const FareTable& m_table;
    int m_rows;
};

class Comparer {
public:
    Comparer(const FareTable& oldTable, const FareTable& newTable)
        : m_old(oldTable), m_new(newTable)
    {
    }

    Comparison run()
    {
        const int route = FareTable::RouteRow;
        const QString& oldName = m_old.text(route, FareTable::NameCol);
        const QString& newName = m_new.text(route, FareTable::NameCol);
        if (oldName != newName)
            add({Kind::RouteName, 0, 0, 0, oldName, newName, QString(), route, FareTable::NameCol});
        compareRows(route, route);
        stops();
        return std::move(m_result);
    }

private:
    void add(Difference&& difference)
    {
        ++m_result.counts[size_t(difference.kind)];
        m_result.differences.push_back(std::move(difference));
    }

    /** The ticket numbers and fares of an old and a new row (both the route row, or two stops). */
    void compareRows(int oldRow, int newRow)
    {
        const bool route = newRow == FareTable::RouteRow;
        const int oldStop = route ? 0 : FareTable::stopOfRow(oldRow);
        const int newStop = route ? 0 : FareTable::stopOfRow(newRow);
        const QString name = route ? QString() : m_new.text(newRow, FareTable::NameCol);
        for (int col = FareTable::TicketCol; col <= FareTable::LastCol; ++col) {
            const QString& a = m_old.text(oldRow, col);
            const QString& b = m_new.text(newRow, col);
            if (a == b)
                continue;
            const bool fare = col != FareTable::TicketCol;
            QString oldShown = a;
            QString newShown = b;
            // Two different plain numbers other than 0 (the usual case) differ as stored too.
            const auto zero = [](const QString& text) {
                return text.size() == 1 && text[0] == u'0';
            };
            if (!isPlainDecimal(a) || !isPlainDecimal(b) || zero(a) || zero(b)) {
                const CellNumber x = CellToInt16(a);
                const CellNumber y = CellToInt16(b);
                if (x.ok() && y.ok() && x.value == y.value)
                    continue;
                oldShown = shown(a, x, fare);
                newShown = shown(b, y, fare);
            }
            const Kind kind = fare ? (route ? Kind::RouteFare : Kind::Fare)
                                   : (route ? Kind::RouteTicket : Kind::Ticket);
            add({kind, oldStop, newStop, fare ? FareTable::ticketOfColumn(col) : 0,
                 std::move(oldShown), std::move(newShown), name, newRow, col});
        }
    }

    void stops()
    {
        const QVector<QString> oldNames = m_old.stopNames();
        const QVector<QString> newNames = m_new.stopNames();
        const QVector<int> newToOld = matchStops(oldNames, newNames);
        // Room for the most there can be: the route row's, every number of every stop that stays
        // differing, each stop that stays renamed, each other one added or removed.
        const qsizetype stays = newNames.size() - newToOld.count(-1);
        const qsizetype cellsPerRow = FareTable::LastCol - FareTable::TicketCol + 1;
        m_result.differences.reserve(
            size_t(1 + cellsPerRow * (stays + 1) + oldNames.size() + newNames.size() - stays));
        const int firstRow = FareTable::FirstStopRow;
        int nextOld = 0; // the first old stop not yet accounted for
        const auto removeUpTo = [&](int end, int newIndex) {
            const int row = std::min(newIndex + firstRow, int(FareTable::LastRow));
            for (; nextOld < end; ++nextOld)
                add({Kind::StopRemoved, nextOld + 1, 0, 0, oldNames[nextOld], QString(),
                     oldNames[nextOld], row, FareTable::NameCol});
        };
        for (int j = 0; j < newNames.size(); ++j) {
            const int i = newToOld[j];
            if (i < 0) {
                add({Kind::StopAdded, 0, j + 1, 0, QString(), newNames[j], newNames[j],
                     j + firstRow, FareTable::NameCol});
                continue;
            }
            // Removed stops stand after the renamed ones of their gap, before the next match.
            if (oldNames[i] == newNames[j])
                removeUpTo(i, j);
            nextOld = std::max(nextOld, i + 1);
            if (oldNames[i] != newNames[j])
                add({Kind::StopRenamed, i + 1, j + 1, 0, oldNames[i], newNames[j], newNames[j],
                     j + firstRow, FareTable::NameCol});
            compareRows(i + firstRow, j + firstRow);
        }
        removeUpTo(int(oldNames.size()), int(newNames.size()));
        if (m_result.differences.size() < m_result.differences.capacity() / 2)
            m_result.differences.shrink_to_fit();
    }

    Stored m_old;
    Stored m_new;
    Comparison m_result;
};

/** "停留所 5「新町」", with "（旧表では停留所 4）" when the old table numbered it otherwise. */
QString stopLabel(const Difference& d, bool withName = true)
{
    QString label = QStringLiteral("停留所 %1").arg(d.newStop);
    if (withName)
        label += QStringLiteral("「%1」").arg(briefQuote(d.stopName));
    if (d.oldStop != d.newStop)
        label += QStringLiteral("（旧表では停留所 %1）").arg(d.oldStop);
    else if (!withName)
        label += u' ';
    return label;
}

/** A ticket number or fare as a sentence shows it: " 210 " (spaced from the words around it),
 *  "空欄", or a text that is no plain number quoted. */
QString value(const QString& text)
{
    if (text.isEmpty())
        return QStringLiteral("空欄");
    return isPlainDecimal(text) ? u' ' + text + u' '
                                : QStringLiteral("「%1」").arg(briefQuote(text));
}

} // namespace

QString kindId(Kind kind)
{
    return QString::fromLatin1(KindTexts[int(kind)].id);
}

QString kindTitle(Kind kind)
{
    return QString::fromUtf8(KindTexts[int(kind)].title);
}

QVector<int> matchStops(const QVector<QString>& oldNames, const QVector<QString>& newNames)
{
    const int a = int(oldNames.size());
    const int b = int(newNames.size());
    // The stops the two lists begin and end with alike are matched at once: usually all but a
    // few, which leaves the longest common subsequence a small middle to work on.
    int prefix = 0;
    while (prefix < a && prefix < b && oldNames[prefix] == newNames[prefix])
        ++prefix;
    int suffix = 0;
    while (suffix < a - prefix && suffix < b - prefix &&
           oldNames[a - 1 - suffix] == newNames[b - 1 - suffix])
        ++suffix;
    const int m = a - prefix - suffix;
    const int n = b - prefix - suffix;

    // The middle's names as numbers: equal names, equal numbers.
    QHash<QString, int> ids;
    std::vector<int> oldIds(m), newIds(n);
    for (int i = 0; i < m; ++i)
        oldIds[i] = int(ids.insert(oldNames[prefix + i], i).value());
    for (int j = 0; j < n; ++j)
        newIds[j] = ids.value(newNames[prefix + j], -1 - j);

    // lcs[i * (n + 1) + j]: the longest common subsequence of old[i..] and new[j..].
    std::vector<quint16> lcs(size_t(m + 1) * size_t(n + 1), 0);
    const auto at = [n](int i, int j) {
        return size_t(i) * size_t(n + 1) + size_t(j);
    };
    for (int i = m - 1; i >= 0; --i)
        for (int j = n - 1; j >= 0; --j)
            lcs[at(i, j)] = oldIds[i] == newIds[j] ? quint16(lcs[at(i + 1, j + 1)] + 1)
                                                   : std::max(lcs[at(i + 1, j)], lcs[at(i, j + 1)]);

    QVector<int> newToOld(b, -1);
    for (int k = 0; k < prefix; ++k)
        newToOld[k] = k;
    for (int k = 0; k < suffix; ++k)
        newToOld[b - 1 - k] = a - 1 - k;
    // The matches, with the stops on either side as the ends; between two matches the stops left
    // over pair up in order.
    int lastOld = prefix - 1;
    int lastNew = prefix - 1;
    const auto pairGap = [&](int oldEnd, int newEnd) {
        for (int i = lastOld + 1, j = lastNew + 1; i < oldEnd && j < newEnd; ++i, ++j)
            newToOld[j] = i;
        lastOld = oldEnd;
        lastNew = newEnd;
    };
    for (int i = 0, j = 0; i < m && j < n;) {
        if (oldIds[i] == newIds[j]) {
            pairGap(prefix + i, prefix + j);
            newToOld[prefix + j] = prefix + i;
            ++i;
            ++j;
        } else if (lcs[at(i + 1, j)] >= lcs[at(i, j + 1)]) {
            ++i;
        } else {
            ++j;
        }
    }
    pairGap(a - suffix, b - suffix);
    return newToOld;
}

Comparison compareTables(const FareTable& oldTable, const FareTable& newTable)
{
    return Comparer(oldTable, newTable).run();
}

QString describe(const Difference& d)
{
    switch (d.kind) {
    case Kind::RouteName:
        return QStringLiteral("系統名称が「%1」から「%2」に変わりました。")
            .arg(briefQuote(d.oldText), briefQuote(d.newText));
    case Kind::RouteTicket:
        return QStringLiteral("系統名称の行の整理券番号が%1から%2に変わりました。")
            .arg(value(d.oldText), value(d.newText));
    case Kind::RouteFare:
        return QStringLiteral("系統名称の行の整理券 %1 の運賃が%2から%3に変わりました。")
            .arg(QString::number(d.ticket), value(d.oldText), value(d.newText));
    case Kind::StopAdded:
        return QStringLiteral("停留所 %1「%2」が加わりました。")
            .arg(QString::number(d.newStop), briefQuote(d.newText));
    case Kind::StopRemoved:
        return QStringLiteral("旧表の停留所 %1「%2」がなくなりました。")
            .arg(QString::number(d.oldStop), briefQuote(d.oldText));
    case Kind::StopRenamed:
        return QStringLiteral("%1の名称が「%2」から「%3」に変わりました。")
            .arg(stopLabel(d, false), briefQuote(d.oldText), briefQuote(d.newText));
    case Kind::Ticket:
        return QStringLiteral("%1の整理券番号が%2から%3に変わりました。")
            .arg(stopLabel(d), value(d.oldText), value(d.newText));
    case Kind::Fare:
        break;
    }
    return QStringLiteral("%1の整理券 %2 の運賃が%3から%4に変わりました。")
        .arg(stopLabel(d), QString::number(d.ticket), value(d.oldText), value(d.newText));
}

QString tsvLine(const Difference& d)
{
    const auto number = [](int value) {
        return value > 0 ? QString::number(value) : QString();
    };
    return QStringList{kindId(d.kind),   number(d.oldStop),      number(d.newStop),
                       number(d.ticket), escapeField(d.oldText), escapeField(d.newText)}
        .join(u'\t');
}

QString summary(const Comparison& comparison)
{
    if (comparison.isEmpty())
        return QStringLiteral("違いはありません。");
    QStringList counts;
    for (int kind = 0; kind < KindCount; ++kind)
        if (comparison.counts[size_t(kind)] > 0)
            counts.append(QStringLiteral("%1 %2")
                              .arg(kindTitle(Kind(kind)))
                              .arg(comparison.counts[size_t(kind)]));
    return QStringLiteral("違いは %1 件です（%2）。")
        .arg(qulonglong(comparison.differences.size()))
        .arg(counts.join(QStringLiteral("、")));
}

} // namespace TableCompare
