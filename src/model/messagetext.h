#pragma once

#include <QString>
#include <QStringView>
#include <algorithm>

/** How many characters of a user's text a message quotes before it cuts the text short. */
constexpr qsizetype BriefQuoteLength = 40;

/** Whether a character is a control character: C0 (U+0000 to U+001F), DEL or C1 (U+0080 to
 *  U+009F). Written as they are, they break a message's lines or steer a terminal. */
constexpr bool isControlCharacter(char16_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

/** Appends the visible form of a control character: \t, \r, \n, or \x and two hexadecimal
 *  digits ("\x1b", "\x7f"). */
inline void appendEscapedControl(QString& out, char16_t c)
{
    switch (c) {
    case u'\t':
        out += QLatin1String("\\t");
        return;
    case u'\r':
        out += QLatin1String("\\r");
        return;
    case u'\n':
        out += QLatin1String("\\n");
        return;
    default:
        break;
    }
    constexpr char hex[] = "0123456789abcdef";
    out += QLatin1String("\\x");
    out += QLatin1Char(hex[(c >> 4) & 0xF]);
    out += QLatin1Char(hex[c & 0xF]);
}

/**
 * A cell text, field, name or path as a message quotes it: the first 40 characters, followed by
 * "…" when the text is longer. A character made of two UTF-16 units is never cut in half, and
 * control characters are shown escaped (a line feed as \n, ESC as \x1b), so that a quoted text
 * never breaks a message's lines or reaches a terminal as a command. Quoting never copies or looks
 * at more than those 40 characters, however long the text is.
 */
inline QString briefQuote(QStringView text)
{
    const bool cutShort = text.size() > BriefQuoteLength;
    qsizetype cut = cutShort ? BriefQuoteLength : text.size();
    if (cutShort && text[cut - 1].isHighSurrogate())
        --cut;
    QString quoted;
    quoted.reserve(cut + 1);
    for (const QChar c : text.first(cut)) {
        if (isControlCharacter(c.unicode()))
            appendEscapedControl(quoted, c.unicode());
        else
            quoted += c;
    }
    if (cutShort)
        quoted += QChar(0x2026);
    return quoted;
}

/**
 * A text as one field of a line of tab-separated output (dump, check --format=tsv, diff): a
 * backslash doubled, a control character escaped (\t, \r, \n, \x1b), so that every record stays
 * one line and nothing in it reaches the terminal as a command.
 */
inline QString escapeField(const QString& text)
{
    const auto plain = [](QChar c) {
        return c != u'\\' && !isControlCharacter(c.unicode());
    };
    if (std::all_of(text.cbegin(), text.cend(), plain))
        return text;
    QString escaped;
    escaped.reserve(text.size() + 8);
    for (const QChar c : text) {
        if (plain(c))
            escaped += c;
        else if (c == u'\\')
            escaped += QLatin1String("\\\\");
        else
            appendEscapedControl(escaped, c.unicode());
    }
    return escaped;
}
