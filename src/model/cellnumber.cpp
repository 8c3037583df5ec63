#include "cellnumber.h"

#include <QVarLengthArray>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <system_error>

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

int digitValue(char16_t c, int base)
{
    int v = -1;
    if (c >= u'0' && c <= u'9')
        v = c - u'0';
    else if (c >= u'a' && c <= u'f')
        v = c - u'a' + 10;
    else if (c >= u'A' && c <= u'F')
        v = c - u'A' + 10;
    return v < base ? v : -1;
}

CellNumber fromValue(double rounded, bool trailing)
{
    CellNumber result;
    result.trailingText = trailing;
    if (!(rounded >= -32768.0 && rounded <= 32767.0)) {
        result.status = CellNumber::Status::Overflow;
        return result;
    }
    result.status = CellNumber::Status::Ok;
    result.value = static_cast<qint16>(rounded);
    return result;
}

/** The text with blanks removed, as the cursor over which the number is read. */
class Cursor {
public:
    explicit Cursor(QStringView text) : m_text(text) { skip(); }
    bool atEnd() const { return m_pos >= m_text.size(); }
    char16_t peek() const { return atEnd() ? u'\0' : m_text[m_pos].unicode(); }
    void next()
    {
        ++m_pos;
        skip();
    }

private:
    void skip()
    {
        while (m_pos < m_text.size() && isBlank(m_text[m_pos]))
            ++m_pos;
    }
    QStringView m_text;
    qsizetype m_pos = 0;
};

CellNumber readRadixInteger(Cursor& in, int base)
{
    bool any = false;
    double value = 0;
    for (int d; (d = digitValue(in.peek(), base)) >= 0; in.next()) {
        any = true;
        value = value * base + d; // exact up to 2^53, and anything that large overflows anyway
    }
    if (!any) {
        CellNumber none;
        none.trailingText = !in.atEnd();
        return none;
    }
    return fromValue(value, !in.atEnd());
}

/**
 * Roughly where the first significant digit of a number in from_chars form stands: positive when
 * its absolute value is 1 or more, zero or negative when it is less. Only asked of numbers beyond
 * the range of a double, whose magnitude is then far from 0 either way.
 */
long long decimalMagnitude(const char* p, const char* end)
{
    constexpr long long Saturation = 1'000'000'000'000LL;
    if (p < end && *p == '-')
        ++p;
    long long integerDigits = 0;
    long long zerosAfterPoint = 0;
    bool significant = false;
    for (; p < end && *p >= '0' && *p <= '9'; ++p) {
        significant = significant || *p != '0';
        if (significant && integerDigits < Saturation)
            ++integerDigits;
    }
    if (p < end && *p == '.') {
        for (++p; p < end && *p >= '0' && *p <= '9'; ++p) {
            if (!significant && *p == '0' && zerosAfterPoint < Saturation)
                ++zerosAfterPoint;
            significant = significant || *p != '0';
        }
    }
    long long exponent = 0;
    if (p < end && *p == 'e') {
        ++p;
        const bool negative = p < end && *p == '-';
        if (negative)
            ++p;
        for (; p < end && *p >= '0' && *p <= '9'; ++p)
            exponent = qMin(exponent * 10 + (*p - '0'), Saturation);
        if (negative)
            exponent = -exponent;
    }
    if (!significant)
        return 0;
    return (integerDigits > 0 ? integerDigits : -zerosAfterPoint) + exponent;
}

} // namespace

std::optional<qint16> plainWholeNumber(QStringView text)
{
    const char16_t* c = text.utf16();
    const char16_t* const end = c + text.size();
    while (c != end && *c == u' ')
        ++c;
    const bool negative = c != end && *c == u'-';
    if (negative)
        ++c;
    int value = 0;
    int digits = 0;
    for (; c != end && *c >= u'0' && *c <= u'9'; ++c) {
        if (++digits > 4)
            return std::nullopt; // may not fit: left to the general conversion
        value = value * 10 + (*c - u'0');
    }
    while (c != end && *c == u' ')
        ++c;
    if (c != end || digits == 0)
        return std::nullopt;
    return qint16(negative ? -value : value);
}

bool isPlainDecimal(QStringView text, qsizetype maxDigits)
{
    const qsizetype first = text.startsWith(u'-') ? 1 : 0;
    const qsizetype digits = text.size() - first;
    if (digits < 1 || digits > maxDigits || (text[first] == u'0' && text.size() > 1))
        return false;
    return std::all_of(text.begin() + first, text.end(),
                       [](QChar c) { return c >= u'0' && c <= u'9'; });
}

CellNumber CellToInt16(QStringView text)
{
    // Most cells hold a plain whole number of a few digits: read those without the general parser.
    if (const std::optional<qint16> plain = plainWholeNumber(text))
        return fromValue(*plain, false);

    Cursor in(text);
    if (in.atEnd())
        return CellNumber();

    if (in.peek() == u'&') {
        Cursor radix = in;
        radix.next();
        const char16_t prefix = radix.peek();
        if (prefix == u'H' || prefix == u'h' || prefix == u'O' || prefix == u'o') {
            radix.next();
            return readRadixInteger(radix, (prefix == u'H' || prefix == u'h') ? 16 : 8);
        }
        CellNumber none;
        none.trailingText = true;
        return none;
    }

    // The number is copied as ASCII into a buffer for from_chars, which reads it exactly and
    // without regard to the locale.
    QVarLengthArray<char, 64> number;
    number.reserve(text.size() + 2); // a long number is copied once, not over and over as it grows
    if (in.peek() == u'-') {
        number.append('-');
        in.next();
    } else if (in.peek() == u'+') {
        in.next();
    }
    bool mantissaDigits = false;
    while (in.peek() >= u'0' && in.peek() <= u'9') {
        number.append(char(in.peek()));
        mantissaDigits = true;
        in.next();
    }
    if (in.peek() == u'.') {
        Cursor afterPoint = in;
        afterPoint.next();
        if (mantissaDigits || (afterPoint.peek() >= u'0' && afterPoint.peek() <= u'9')) {
            number.append('.');
            in = afterPoint;
            while (in.peek() >= u'0' && in.peek() <= u'9') {
                number.append(char(in.peek()));
                mantissaDigits = true;
                in.next();
            }
        }
    }
    if (!mantissaDigits) {
        CellNumber none;
        none.trailingText = true;
        return none;
    }

    if (in.peek() == u'E' || in.peek() == u'e') {
        Cursor exponent = in;
        exponent.next();
        QVarLengthArray<char, 16> digits;
        if (exponent.peek() == u'+' || exponent.peek() == u'-') {
            digits.append(char(exponent.peek()));
            exponent.next();
        }
        bool exponentDigits = false;
        while (exponent.peek() >= u'0' && exponent.peek() <= u'9') {
            digits.append(char(exponent.peek()));
            exponentDigits = true;
            exponent.next();
        }
        if (exponentDigits) {
            number.append('e');
            for (char c : digits)
                if (c != '+')
                    number.append(c);
            in = exponent;
        }
    }

    double value = 0;
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    Q_UNUSED(end)
    if (ec == std::errc::result_out_of_range) {
        // Beyond what a double holds: too large is an overflow, too small is zero.
        if (decimalMagnitude(number.data(), number.data() + number.size()) > 0)
            return fromValue(HUGE_VAL, !in.atEnd());
        value = 0;
    } else if (ec != std::errc()) {
        return CellNumber();
    }
    return fromValue(std::nearbyint(value), !in.atEnd());
}
