#pragma once

#include <QString>
#include <QStringView>
#include <cstdint>
#include <limits>
#include <optional>

/** What a cell's text reads as when it is turned into a stored 16-bit number. */
struct CellNumber {
    enum class Status {
        Ok,       ///< a leading number that fits into -32768..32767
        NoNumber, ///< no leading number at all: stored as 0
        Overflow  ///< a number outside -32768..32767: the save fails
    };
    Status status = Status::NoNumber;
    qint16 value = 0;
    /** Whether characters followed the number and were ignored ("210円", "1,200"). */
    bool trailingText = false;

    bool ok() const { return status != Status::Overflow; }
};

/**
 * Reads a cell's text as a signed 16-bit number:
 *  - every space, tab and line feed is removed, wherever it stands;
 *  - the longest leading number is read: an optional sign, digits with an optional decimal point
 *    and fraction, an optional exponent (E or e, optional sign, digits); or &H / &O followed by a
 *    hexadecimal or octal integer. Anything after the number is ignored;
 *  - no leading number gives 0;
 *  - the value is rounded to the nearest integer, halves to the even neighbour (2.5 gives 2);
 *  - a result outside -32768..32767 is an overflow.
 */
CellNumber CellToInt16(QStringView text);

/**
 * The value of a text that is a plain whole number of one to four digits, optionally preceded by
 * "-" and surrounded by spaces (" 150", "-5"): the usual cell and text field, read without the
 * general conversion. Nothing for any other text, which needs CellToInt16.
 */
std::optional<qint16> plainWholeNumber(QStringView text);

/**
 * Whether a text is a whole number as the readers write it: "0", or an optional "-" and 1 to
 * maxDigits digits without a zero in front. Two such texts that differ are different numbers.
 */
bool isPlainDecimal(QStringView text, qsizetype maxDigits = std::numeric_limits<qsizetype>::max());

/** The text a stored number is written back as: plain decimal, "-" when negative. */
inline QString int16ToCellText(qint16 value)
{
    return QString::number(value);
}
