#pragma once

#include <QString>
#include <QStringView>

/** How many characters of a user's text a message quotes before it cuts the text short. */
constexpr qsizetype BriefQuoteLength = 40;

/**
 * A cell text, field, name or path as a message quotes it: the first 40 characters, followed by
 * "…" when the text is longer. A character made of two UTF-16 units is never cut in half.
 * Quoting never copies more than that, however long the text is.
 */
inline QString briefQuote(QStringView text)
{
    if (text.size() <= BriefQuoteLength)
        return text.toString();
    qsizetype cut = BriefQuoteLength;
    if (text[cut - 1].isHighSurrogate())
        --cut;
    return text.first(cut).toString() + QChar(0x2026);
}
