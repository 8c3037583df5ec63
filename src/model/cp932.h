#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

/**
 * Conversion between the editor's text and Shift-JIS as Windows writes it (code page 932),
 * through glibc's iconv converter "CP932".
 */
namespace Cp932 {

/** Decodes bytes; a byte sequence that is not valid code page 932 becomes U+FFFD and decoding
 *  goes on with the next byte. The single bytes 0x80, 0xA0, 0xFD, 0xFE and 0xFF become U+0080
 *  and U+F8F0 to U+F8F3, as Windows converts them, and are encoded back to the same bytes. */
QString decode(QByteArrayView bytes);

/** The result of encoding: the bytes, or the first character that code page 932 cannot hold. */
struct Encoded {
    QByteArray bytes;
    bool ok = true;
    /** With !ok: the offending character (one or two UTF-16 units) and its index in the text. */
    QString badCharacter;
    qsizetype badIndex = -1;
};

/**
 * Encodes text. Characters that code page 932 has no code for, but glibc's converter maps to a
 * near one, are written as that one and read back as it: ¥ as \, 〜 (U+301C) as ～, − as －,
 * — as ―, ‖ as ∥, ¢ £ ¬ as their full-width forms, as Windows writes them too. Anything else
 * outside code page 932 makes the encoding fail.
 */
Encoded encode(QStringView text);

/** "U+20BB7"-style notation of a character, for messages. */
QString codePointName(QStringView character);

} // namespace Cp932
