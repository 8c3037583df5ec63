#pragma once

#include "model/cp932.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

/**
 * Code page 932 for whole text files. The results are exactly those of Cp932::decode and
 * Cp932::encode; ASCII, which code page 932 holds unchanged, is copied directly, so that the digits
 * and separators that make up most of a fare table cost no conversion.
 */
namespace TextEncoding {

/** Decodes bytes as Cp932::decode does (invalid bytes become U+FFFD). */
QString decode(QByteArrayView bytes);

/** The most bytes that the encoding of a text of size UTF-16 units can take. */
constexpr qsizetype maxEncodedSize(qsizetype size)
{
    return 2 * size;
}

/**
 * Writes the encoding of text at out, which has room for maxEncodedSize(text.size()) bytes, and
 * moves out past it. Returns false, with out unchanged and the failure in failure, when code page
 * 932 cannot hold a character of text.
 */
bool encodeInto(char*& out, QStringView text, Cp932::Encoded& failure);

} // namespace TextEncoding
