// Reads arbitrary text as a cell's number and checks the conversion's promises.
#include "fuzzcheck.h"
#include "model/cellnumber.h"

#include <QString>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace {

bool sameResult(const CellNumber& a, const CellNumber& b)
{
    return a.status == b.status && a.value == b.value && a.trailingText == b.trailingText;
}

/** The value of a text that is, blanks aside, a plain signed integer of at most 18 digits. */
std::optional<long long> plainInteger(const QString& text)
{
    QString compact = text;
    compact.remove(u' ').remove(u'\t').remove(u'\n');
    qsizetype i = 0;
    const bool negative = i < compact.size() && compact[i] == u'-';
    if (i < compact.size() && (compact[i] == u'-' || compact[i] == u'+'))
        ++i;
    const qsizetype digits = compact.size() - i;
    if (digits < 1 || digits > 18)
        return std::nullopt;
    long long value = 0;
    for (; i < compact.size(); ++i) {
        if (compact[i] < u'0' || compact[i] > u'9')
            return std::nullopt;
        value = value * 10 + (compact[i].unicode() - u'0');
    }
    return negative ? -value : value;
}

void check(const QString& text)
{
    const CellNumber number = CellToInt16(text);
    if (number.status != CellNumber::Status::Ok)
        FUZZ_CHECK(number.value == 0);
    FUZZ_CHECK(number.ok() == (number.status != CellNumber::Status::Overflow));

    if (const std::optional<long long> integer = plainInteger(text)) {
        if (*integer < -32768 || *integer > 32767) {
            FUZZ_CHECK(number.status == CellNumber::Status::Overflow);
        } else {
            FUZZ_CHECK(number.status == CellNumber::Status::Ok);
            FUZZ_CHECK(number.value == *integer);
        }
        FUZZ_CHECK(!number.trailingText);
    }

    // Spaces, tabs and line feeds count nowhere: spreading them through the text changes nothing.
    if (text.size() <= 256) {
        QString spread;
        const char16_t blanks[] = {u' ', u'\t', u'\n'};
        for (qsizetype i = 0; i < text.size(); ++i) {
            spread.append(QChar(blanks[i % 3]));
            spread.append(text[i]);
        }
        spread.append(u' ');
        FUZZ_CHECK(sameResult(CellToInt16(spread), number));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const char* chars = reinterpret_cast<const char*>(data);
    // As UTF-8 the fuzzer finds the number syntax quickly; as raw UTF-16 every code unit,
    // surrogates and full-width digits included, reaches the parser.
    check(QString::fromUtf8(chars, qsizetype(size)));
    check(QString(reinterpret_cast<const QChar*>(data), qsizetype(size / 2)));
    return 0;
}
