#pragma once

#include <QString>

/**
 * The start of a text, as much of it as a cell, a box or a line on paper can show: the text
 * itself when it has at most limit characters, otherwise its first limit characters followed by
 * "…" (a character made of two UTF-16 units is not cut in half). Text layout shapes every
 * character it is given, visible or not, at about a microsecond each: a text of megabytes handed
 * over whole holds the window for seconds.
 */
inline QString visibleStart(const QString& text, qsizetype limit)
{
    if (text.size() <= limit)
        return text;
    qsizetype cut = limit;
    if (cut > 0 && text[cut - 1].isHighSurrogate())
        --cut;
    QString start;
    start.reserve(cut + 1);
    start.append(QStringView(text).first(cut));
    start.append(QChar(0x2026));
    return start;
}
