#include "farecheck.h"

#include "io/tablerecords.h"
#include "model/cellnames.h"
#include "model/cellnumber.h"
#include "model/cp932.h"
#include "model/faretable.h"
#include "model/messagetext.h"

#include <QVector>
#include <algorithm>
#include <tuple>

namespace FareCheck {

namespace {

constexpr int FareCount = FareTable::FareCount;

QString num(qint64 value)
{
    return QString::number(value);
}

/** The stored rows as the fare rules read them: the stop rows up to row rowCount. */
class StopTable {
public:
    StopTable(const FareTable& table, int rowCount) : m_table(table), m_rowCount(rowCount)
    {
        const int stops = qMax(0, FareTable::stopOfRow(rowCount));
        m_fares.resize(stops * FareCount);
        m_tickets.resize(stops);
        m_labels.resize(stops);
        for (int row = FareTable::FirstStopRow; row <= rowCount; ++row) {
            const CellNumber ticket = CellToInt16(table.text(row, FareTable::TicketCol));
            m_tickets[slot(row)] =
                ticket.status == CellNumber::Status::Ok ? ticket.value : NoTicket;
            int* fares = &m_fares[slot(row) * FareCount];
            for (int k = 1; k <= FareCount; ++k) {
                const QString& text = table.text(row, FareTable::columnOfTicket(k));
                if (text.isEmpty())
                    continue;
                const CellNumber fare = CellToInt16(text);
                if (fare.status == CellNumber::Status::Ok)
                    fares[k - 1] = fare.value;
            }
        }
    }

    static constexpr int NoTicket = 1 << 20;

    int firstRow() const { return FareTable::FirstStopRow; }
    int lastRow() const { return m_rowCount; }
    /** The stored ticket number of row, or NoTicket. */
    int ticket(int row) const { return m_tickets[slot(row)]; }
    /** The stored fare of ticket k at row; 0 for no fare. */
    int fare(int row, int k) const { return m_fares[slot(row) * FareCount + k - 1]; }
    bool hasFares(int row) const
    {
        const int* fares = &m_fares[slot(row) * FareCount];
        return std::any_of(fares, fares + FareCount, [](int f) { return f != 0; });
    }
    /** The stop as messages name it: its number and its name. */
    const QString& stop(int row) const
    {
        QString& label = m_labels[slot(row)];
        if (label.isNull())
            label = stopLabel(m_table, row);
        return label;
    }

private:
    /** Where the arrays keep a stop row's values: stop 1 first. */
    static int slot(int row) { return FareTable::stopOfRow(row) - 1; }

    const FareTable& m_table;
    int m_rowCount;
    QVector<int> m_tickets;
    QVector<int> m_fares;
    mutable QVector<QString> m_labels; ///< stop(), made when first asked for
};

class FareRules {
public:
    FareRules(const StopTable& stops, RuleSet rules) : s(stops), m_rules(rules) {}

    QList<Finding> run()
    {
        if (m_rules.contains(Rule::TicketOrder))
            ticketOrder();
        if (m_rules.contains(Rule::NotIssued) || m_rules.contains(Rule::MissingFare))
            ticketLimits();
        if (m_rules.contains(Rule::ColumnFalls) || m_rules.contains(Rule::Outlier))
            columns();
        if (m_rules.contains(Rule::RowRises))
            rowRises();
        std::stable_sort(m_found.begin(), m_found.end(), [](const Finding& a, const Finding& b) {
            return std::tie(a.row, a.col, a.rule) < std::tie(b.row, b.col, b.rule);
        });
        return m_found;
    }

private:
    void add(Rule rule, int row, int col, const QString& message)
    {
        m_found.append({rule, row, col, message});
    }

    void ticketOrder()
    {
        int previous = 0; // the nearest row above with a ticket number
        for (int row = s.firstRow(); row <= s.lastRow(); ++row) {
            const int ticket = s.ticket(row);
            if (ticket == StopTable::NoTicket) {
                if (s.hasFares(row))
                    add(Rule::TicketOrder, row, FareTable::TicketCol,
                        QStringLiteral("%1には運賃がありますが、整理券番号がありません。")
                            .arg(s.stop(row)));
                continue;
            }
            if (previous > 0 && ticket < s.ticket(previous))
                add(Rule::TicketOrder, row, FareTable::TicketCol,
                    QStringLiteral("%1の整理券番号 %2 が、前の%3の %4 より小さくなっています。")
                        .arg(s.stop(row), num(ticket), s.stop(previous), num(s.ticket(previous))));
            previous = row;
        }
    }

    void ticketLimits()
    {
        for (int row = s.firstRow(); row <= s.lastRow(); ++row) {
            const int ticket = s.ticket(row);
            if (ticket == StopTable::NoTicket)
                continue;
            if (m_rules.contains(Rule::NotIssued)) {
                for (int k = qMax(ticket + 1, 1); k <= FareCount; ++k)
                    if (const int fare = s.fare(row, k))
                        add(Rule::NotIssued, row, FareTable::columnOfTicket(k),
                            QStringLiteral("%1に整理券 %2 の運賃 %3 がありますが、この停留所の"
                                           "整理券番号は %4 で、整理券 %2 はまだ発行されていま"
                                           "せん。")
                                .arg(s.stop(row), num(k), num(fare), num(ticket)));
            }
            if (m_rules.contains(Rule::MissingFare)) {
                const int limit = qMin(ticket, FareCount);
                int previous = 0; // the last ticket with a fare
                for (int k = 1; k <= limit; ++k) {
                    if (!s.fare(row, k))
                        continue;
                    for (int gap = previous + 1; previous > 0 && gap < k; ++gap)
                        add(Rule::MissingFare, row, FareTable::columnOfTicket(gap),
                            QStringLiteral("%1の整理券 %2 の運賃が空欄です（整理券 %3 と %4 "
                                           "には運賃があります）。")
                                .arg(s.stop(row), num(gap), num(previous), num(k)));
                    previous = k;
                }
            }
        }
    }

    void columns()
    {
        QVector<int> rows; // the rows of one column that hold a fare
        for (int k = 1; k <= FareCount; ++k) {
            rows.clear();
            for (int row = s.firstRow(); row <= s.lastRow(); ++row)
                if (s.fare(row, k))
                    rows.append(row);
            const int col = FareTable::columnOfTicket(k);
            for (int i = 0; i < rows.size(); ++i) {
                const int fare = s.fare(rows[i], k);
                if (i > 0 && m_rules.contains(Rule::ColumnFalls) && fare < s.fare(rows[i - 1], k))
                    add(Rule::ColumnFalls, rows[i], col,
                        QStringLiteral("%1の整理券 %2 の運賃 %3 が、手前の%4の運賃 %5 より安く"
                                       "なっています。")
                            .arg(s.stop(rows[i]), num(k), num(fare), s.stop(rows[i - 1]),
                                 num(s.fare(rows[i - 1], k))));
                if (i > 0 && i + 1 < rows.size() && m_rules.contains(Rule::Outlier))
                    outlier(rows[i], k, s.fare(rows[i - 1], k), s.fare(rows[i + 1], k));
            }
        }
    }

    void outlier(int row, int k, int above, int below)
    {
        const qint64 fare = s.fare(row, k);
        if (fare <= 0 || above <= 0 || below <= 0)
            return;
        QString how;
        if (fare > 3 * qint64(above) && fare > 3 * qint64(below))
            how = QStringLiteral("3 倍を超えています");
        else if (3 * fare < above && 3 * fare < below)
            how = QStringLiteral("3 分の 1 に満たない額です");
        else
            return;
        add(Rule::Outlier, row, FareTable::columnOfTicket(k),
            QStringLiteral("%1の整理券 %2 の運賃 %3 は、同じ整理券の前後の運賃 %4 と %5 の %6。")
                .arg(s.stop(row), num(k), num(fare), num(above), num(below), how));
    }

    void rowRises()
    {
        for (int row = s.firstRow(); row <= s.lastRow(); ++row) {
            int previous = 0; // the last ticket with a fare
            for (int k = 1; k <= FareCount; ++k) {
                const int fare = s.fare(row, k);
                if (!fare)
                    continue;
                if (previous > 0 && fare > s.fare(row, previous))
                    add(Rule::RowRises, row, FareTable::columnOfTicket(k),
                        QStringLiteral("%1の整理券 %2 の運賃 %3 が、より手前から乗った整理券 %4 "
                                       "の運賃 %5 より高くなっています。")
                            .arg(s.stop(row), num(k), num(fare), num(previous),
                                 num(s.fare(row, previous))));
                previous = k;
            }
        }
    }

    const StopTable& s;
    RuleSet m_rules;
    QList<Finding> m_found;
};

/** What separates the fields of a text file (or ends its line) when it stands in a name. */
QString splittingCharacter(const QString& name)
{
    for (const QChar c : name) {
        switch (c.unicode()) {
        case u'\t':
            return QStringLiteral("タブ");
        case u',':
            return QStringLiteral("「,」");
        case u'\uFF0C':
            return QStringLiteral("「，」");
        case u'\r':
            return QStringLiteral("改行（CR）");
        default:
            break;
        }
    }
    return QString();
}

/** What a save of the table would not keep or would refuse, row by row. */
void saveFindings(const FareTable& table, int count, RuleSet rules, QList<Finding>& findings)
{
    const auto add = [&](Rule rule, int row, int col, const QString& message) {
        if (rules.contains(rule))
            findings.append({rule, row, col, message});
    };
    for (int row = FareTable::RouteRow; row <= count; ++row) {
        const QString& name = table.text(row, FareTable::NameCol);
        const Cp932::Encoded encoded = Cp932::encode(name);
        if (!encoded.ok)
            add(Rule::NameEncoding, row, FareTable::NameCol,
                QStringLiteral("%1: 名称「%2」の文字「%3」（%4）は Shift-JIS で保存できません。")
                    .arg(describeCell(row, FareTable::NameCol), briefQuote(name),
                         encoded.badCharacter, Cp932::codePointName(encoded.badCharacter)));
        else if (encoded.bytes.size() > FareRecord::MaxNameBytes)
            add(Rule::NameLength, row, FareTable::NameCol,
                QStringLiteral("%1: 名称が長すぎます（Shift-JIS で %2 バイト。%3 バイトまで"
                               "保存できます）。")
                    .arg(describeCell(row, FareTable::NameCol))
                    .arg(encoded.bytes.size())
                    .arg(FareRecord::MaxNameBytes));
        if (const QString splitter = splittingCharacter(name); !splitter.isEmpty())
            add(Rule::NameSeparator, row, FareTable::NameCol,
                QStringLiteral("%1: 名称「%2」に%3があります。")
                        .arg(describeCell(row, FareTable::NameCol), briefQuote(name), splitter) +
                    QStringLiteral("テキストで保存して読み込み直すと、この行が崩れます。"));
        // A tab or CR is reported above, with what it does to a text file.
        const auto control = std::find_if(name.cbegin(), name.cend(), [](QChar c) {
            return isControlCharacter(c.unicode()) && c != u'\t' && c != u'\r';
        });
        if (control != name.cend()) {
            QString shown;
            appendEscapedControl(shown, control->unicode());
            add(Rule::NameControl, row, FareTable::NameCol,
                QStringLiteral("%1: 名称「%2」に制御文字（%3）があります。")
                        .arg(describeCell(row, FareTable::NameCol), briefQuote(name), shown) +
                    QStringLiteral("表示が崩れるおそれがあります。"));
        }
        for (int col = FareTable::TicketCol; col <= FareTable::LastCol; ++col) {
            const QString& text = table.text(row, col);
            const CellNumber number = CellToInt16(text);
            if (number.status == CellNumber::Status::Overflow)
                add(Rule::NumberRange, row, col,
                    QStringLiteral(
                        "%1: 「%2」は -32768 から 32767 の範囲を超えるため保存できません。")
                        .arg(describeCell(row, col), briefQuote(text)));
            else if (number.status == CellNumber::Status::NoNumber && number.trailingText)
                add(Rule::StoredAsZero, row, col,
                    QStringLiteral("%1: 「%2」は数値ではないため 0（空欄）として保存されます。")
                        .arg(describeCell(row, col), briefQuote(text)));
            else if (number.trailingText)
                add(Rule::TrailingText, row, col,
                    QStringLiteral("%1: 「%2」は数値の後ろが無視され、%3 として保存されます。")
                        .arg(describeCell(row, col), briefQuote(text),
                             QString::number(number.value)));
        }
    }
    for (int row = count + 1; row <= FareTable::LastRow; ++row) {
        for (int col = FareTable::NameCol; col <= FareTable::LastCol; ++col) {
            if (table.text(row, col).isEmpty())
                continue;
            add(Rule::UnsavedRow, row, col,
                QStringLiteral("%1: データがありますが、%2 行目の名称が空欄のため保存されません。")
                    .arg(describeCell(row, col))
                    .arg(count + 1));
            break;
        }
    }
}

} // namespace

QString ruleId(Rule rule)
{
    return QString::fromLatin1(Rules[int(rule)].id);
}

QString ruleTitle(Rule rule)
{
    return QString::fromUtf8(Rules[int(rule)].title);
}

QList<Finding> checkTable(const FareTable& table, RuleSet rules)
{
    const int rowCount = storedRowCount(table, FareTable::LastRow);
    QList<Finding> findings;
    saveFindings(table, rowCount, rules, findings);
    if (rules.anyFareRule())
        findings += FareRules(StopTable(table, rowCount), rules).run();
    return findings;
}

} // namespace FareCheck
