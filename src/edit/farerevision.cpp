#include "farerevision.h"

#include "io/tablerecords.h"
#include "model/bulkguards.h"
#include "model/cellnames.h"
#include "model/cellnumber.h"
#include "model/faretable.h"
#include "model/messagetext.h"

#include <algorithm>
#include <numeric>
#include <vector>

namespace FareRevision {

namespace {

/** The bounds of the rule's whole-number parameters, with their names in messages. */
struct Bound {
    const char* name;
    qint64 Rule::*field;
    qint64 low;
    qint64 high;
};

const Bound Bounds[] = {
    {"倍率の分子", &Rule::numerator, 1, MaxRatioTerm},
    {"倍率の分母", &Rule::denominator, 1, MaxRatioTerm},
    {"加算額", &Rule::add, -MaxFare, MaxFare},
    {"単位", &Rule::unit, 1, MaxFare},
    {"最低運賃", &Rule::lowest, 0, MaxFare},
};

const Bound& boundOf(Parameter parameter)
{
    return parameter == Parameter::Add    ? Bounds[2]
           : parameter == Parameter::Unit ? Bounds[3]
                                          : Bounds[4];
}

/** A parameter's text as it is read: full-width forms as ASCII, the minus sign as "-", trimmed. */
QString normalized(QStringView text)
{
    QString s = text.toString().normalized(QString::NormalizationForm_KC).trimmed();
    s.replace(QChar(0x2212), u'-');
    return s;
}

/** The value of 1 to 12 ASCII digits; nothing for anything else. */
std::optional<qint64> digitsValue(QStringView s)
{
    if (s.isEmpty() || s.size() > 12)
        return std::nullopt;
    qint64 value = 0;
    for (const QChar c : s) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

/** A whole number, optionally signed; nothing for anything else. */
std::optional<qint64> wholeValue(QStringView s)
{
    const bool negative = s.startsWith(u'-');
    if (negative || s.startsWith(u'+'))
        s = s.sliced(1);
    const std::optional<qint64> value = digitsValue(s);
    return value && negative ? -*value : value;
}

QString setRatio(Rule& rule, QStringView text)
{
    const QString s = normalized(text);
    const QString formatError =
        QStringLiteral(
            "倍率「%1」は「110/108」のような分数か「1.1」のような小数で指定してください。")
            .arg(briefQuote(text));
    std::optional<qint64> p;
    std::optional<qint64> q;
    if (const qsizetype slash = s.indexOf(u'/'); slash >= 0) {
        p = digitsValue(QStringView(s).first(slash).trimmed());
        q = digitsValue(QStringView(s).sliced(slash + 1).trimmed());
    } else {
        const qsizetype point = s.indexOf(u'.');
        const QStringView whole = point < 0 ? QStringView(s) : QStringView(s).first(point);
        QStringView fraction = point < 0 ? QStringView() : QStringView(s).sliced(point + 1);
        if (whole.isEmpty() && fraction.isEmpty())
            return formatError;
        while (fraction.endsWith(u'0'))
            fraction.chop(1);
        if (fraction.size() > MaxRatioDecimals)
            return QStringLiteral("倍率「%1」の小数は %2 桁までにしてください。")
                .arg(briefQuote(text))
                .arg(MaxRatioDecimals);
        const std::optional<qint64> w = whole.isEmpty() ? 0 : digitsValue(whole);
        const std::optional<qint64> f = fraction.isEmpty() ? 0 : digitsValue(fraction);
        if (w && f) {
            q = 1;
            for (qsizetype i = 0; i < fraction.size(); ++i)
                *q *= 10;
            p = *w * *q + *f;
        }
    }
    if (!p || !q)
        return formatError;
    if (*p == 0 || *q == 0)
        return QStringLiteral("倍率「%1」は 0 より大きくしてください。").arg(briefQuote(text));
    const qint64 divisor = std::gcd(*p, *q);
    if (*p / divisor > MaxRatioTerm || *q / divisor > MaxRatioTerm)
        return QStringLiteral("倍率「%1」は、約分して分子も分母も %2 以下になる値にしてください。")
            .arg(briefQuote(text))
            .arg(MaxRatioTerm);
    rule.numerator = *p / divisor;
    rule.denominator = *q / divisor;
    return QString();
}

QString setRounding(Rule& rule, QStringView text)
{
    const QString s = normalized(text);
    const struct {
        const char16_t* english;
        const char16_t* japanese;
        Rounding rounding;
    } names[] = {{u"up", u"切り上げ", Rounding::Up},
                 {u"nearest", u"四捨五入", Rounding::Nearest},
                 {u"down", u"切り捨て", Rounding::Down}};
    for (const auto& name : names) {
        if (s.compare(QStringView(name.english), Qt::CaseInsensitive) == 0 ||
            s == QStringView(name.japanese)) {
            rule.rounding = name.rounding;
            return QString();
        }
    }
    return QStringLiteral("端数の処理「%1」は up（切り上げ）、nearest（四捨五入）、down（切り捨て）"
                          "のいずれかで指定してください。")
        .arg(briefQuote(text));
}

/** Floor of a / b for b > 0. */
qint64 floorDiv(qint64 a, qint64 b)
{
    const qint64 quotient = a / b;
    return a % b != 0 && a < 0 ? quotient - 1 : quotient;
}

/** The value of a text of one to four ASCII digits, the usual fare, as CellToInt16 reads it;
 *  nothing for any other text. */
std::optional<qint16> fewDigits(const QString& text)
{
    const qsizetype size = text.size();
    if (size == 0 || size > 4)
        return std::nullopt;
    const QChar* c = text.constData();
    int value = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const unsigned digit = unsigned(c[i].unicode()) - u'0';
        if (digit > 9)
            return std::nullopt;
        value = value * 10 + int(digit);
    }
    return qint16(value);
}

} // namespace

QString setParameter(Rule& rule, Parameter parameter, QStringView text)
{
    if (parameter == Parameter::Multiply)
        return setRatio(rule, text);
    if (parameter == Parameter::Round)
        return setRounding(rule, text);
    const QString s = normalized(text);
    const Bound& bound = boundOf(parameter);
    const std::optional<qint64> value =
        parameter == Parameter::Lowest && s.isEmpty() ? 0 : wholeValue(s);
    if (!value || *value < bound.low || *value > bound.high)
        return QStringLiteral("%1「%2」は %3 から %4 までの整数で指定してください。")
            .arg(QString::fromUtf8(bound.name), briefQuote(text))
            .arg(bound.low)
            .arg(bound.high);
    rule.*bound.field = *value;
    return QString();
}

QString checkRule(const Rule& rule)
{
    for (const Bound& bound : Bounds) {
        const qint64 value = rule.*bound.field;
        if (value < bound.low || value > bound.high)
            return QStringLiteral("%1 %2 は範囲外です（%3 から %4 まで）。")
                .arg(QString::fromUtf8(bound.name))
                .arg(value)
                .arg(bound.low)
                .arg(bound.high);
    }
    return QString();
}

QString ratioText(const Rule& rule)
{
    return rule.denominator == 1
               ? QString::number(rule.numerator)
               : QStringLiteral("%1/%2").arg(rule.numerator).arg(rule.denominator);
}

qint64 revisedFare(qint64 value, const Rule& rule)
{
    // (v * P / Q + A) / U as the fraction n / d; with the bounds of a rule both stay below 2^37.
    const qint64 n = value * rule.numerator + rule.add * rule.denominator;
    const qint64 d = rule.denominator * rule.unit;
    qint64 units = 0;
    switch (rule.rounding) {
    case Rounding::Up:
        units = -floorDiv(-n, d);
        break;
    case Rounding::Nearest:
        units = floorDiv(2 * n + d, 2 * d);
        break;
    case Rounding::Down:
        units = floorDiv(n, d);
        break;
    }
    const qint64 result = units * rule.unit;
    return rule.lowest > 0 ? std::max(result, rule.lowest) : result;
}

CellRange targetCells(const FareTable& table, const std::optional<CellRange>& block)
{
    constexpr CellRange StopFares{FareTable::FirstStopRow, FareTable::FirstFareCol,
                                  FareTable::LastRow, FareTable::LastCol};
    const CellRange stored{0, 0, storedRowCount(table, FareTable::LastRow), FareTable::LastCol};
    return (block ? *block : stored).intersected(StopFares);
}

Revision plan(const FareTable& table, const Rule& rule, const std::optional<CellRange>& block)
{
    Revision revision;
    revision.error = checkRule(rule);
    if (!revision.ok())
        return revision;
    const CellRange cells = targetCells(table, block);
    const auto refuse = [&](int row, int col, qint64 result, const QString& message) {
        revision.changes.clear();
        revision.error = message;
        revision.errorRow = row;
        revision.errorCol = col;
        revision.errorResult = result;
        return revision;
    };
    revision.changes.reserve(size_t(cells.cellCount()));
    // The revised value of each stored value, worked out once (a table holds few distinct
    // fares); 0 while not yet worked out.
    std::vector<qint16> revised(size_t(MaxFare) + 1, 0);
    for (int row = cells.top; row <= cells.bottom; ++row) {
        for (int col = cells.left; col <= cells.right; ++col) {
            const QString& text = table.text(row, col);
            if (text.isEmpty())
                continue;
            // The usual fare read without the general conversion.
            const std::optional<qint16> plain = fewDigits(text);
            const CellNumber number =
                plain ? CellNumber{CellNumber::Status::Ok, *plain, false} : CellToInt16(text);
            if (number.status == CellNumber::Status::Overflow)
                return refuse(
                    row, col, 0,
                    QStringLiteral("%1の整理券 %2 の「%3」は -32768 から 32767 の範囲を"
                                   "超える数値で、保存できません。運賃は改定していません。")
                        .arg(stopLabel(table, row))
                        .arg(FareTable::ticketOfColumn(col))
                        .arg(briefQuote(text)));
            if (number.value <= 0)
                continue;
            qint16& result = revised[size_t(number.value)];
            if (result == 0) {
                const qint64 exact = revisedFare(number.value, rule);
                if (exact < 1 || exact > MaxFare)
                    return refuse(
                        row, col, exact,
                        QStringLiteral("%1の整理券 %2 の運賃 %3 は改定すると %4 になり、1 から "
                                       "%5 の範囲を外れます。運賃は改定していません。")
                            .arg(stopLabel(table, row))
                            .arg(FareTable::ticketOfColumn(col))
                            .arg(number.value)
                            .arg(exact)
                            .arg(MaxFare));
                result = qint16(exact);
            }
            if (result != number.value)
                revision.changes.push_back({row, col, number.value, result});
        }
    }
    return revision;
}

QString describeChange(const FareTable& table, const FareChange& change)
{
    return QStringLiteral("%1の整理券 %2: %3 → %4")
        .arg(stopLabel(table, change.row))
        .arg(change.ticket())
        .arg(change.oldValue)
        .arg(change.newValue);
}

int apply(FareTable& table, const Revision& revision)
{
    const std::vector<FareChange>& changes = revision.changes;
    if (!revision.ok() || changes.empty())
        return 0;
    HiddenTable hidden(table);
    const int row = table.CurRow();
    const int col = table.CurCol();
    // Row by row, from the first changed cell of a row to its last, with the effects of a run of
    // SetCell calls over them; the cells between keep their texts.
    for (size_t first = 0, last = 0; first < changes.size(); first = last) {
        const int r = changes[first].row;
        while (last < changes.size() && changes[last].row == r)
            ++last;
        const int left = changes[first].col;
        const int right = changes[last - 1].col;
        QVector<QString> texts(right - left + 1);
        QString* text = texts.data();
        for (size_t i = first, c = size_t(left); i < last; ++i, ++c) {
            for (; c < size_t(changes[i].col); ++c)
                text[c - left] = table.text(r, int(c));
            text[c - left] = numberText(changes[i].newValue);
        }
        table.writeBlock(r, left, r, right, std::move(texts));
    }
    table.setCurrentCell(row, col);
    return int(changes.size());
}

} // namespace FareRevision
