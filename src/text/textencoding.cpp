#include "textencoding.h"

#include <cstring>

namespace TextEncoding {

QString decode(QByteArrayView bytes)
{
    const auto* in = reinterpret_cast<const uchar*>(bytes.data());
    const qsizetype size = bytes.size();
    // Every byte becomes at most one UTF-16 unit.
    QString result(size, Qt::Uninitialized);
    auto* out = reinterpret_cast<char16_t*>(result.data());
    qsizetype written = 0;
    qsizetype i = 0;
    while (i < size) {
        if (in[i] < 0x80) {
            out[written++] = in[i++];
            continue;
        }
        // A run of non-ASCII bytes goes to the converter whole. A byte below 0x80 right after a
        // byte from 0x80 up may be the second byte of a double-byte character (or be read as one
        // after an invalid lead byte), so it stays in the run; the run ends before an ASCII byte
        // that follows another ASCII byte, where every reading of the bytes is at a character
        // boundary.
        const qsizetype start = i;
        ++i;
        while (i < size && (in[i] >= 0x80 || in[i - 1] >= 0x80))
            ++i;
        const QString part = Cp932::decode(bytes.sliced(start, i - start));
        std::memcpy(out + written, part.utf16(), size_t(part.size()) * sizeof(char16_t));
        written += part.size();
    }
    result.truncate(written);
    return result;
}

bool encodeInto(char*& out, QStringView text, Cp932::Encoded& failure)
{
    const char16_t* units = text.utf16();
    const qsizetype size = text.size();
    qsizetype ascii = 0;
    while (ascii < size && units[ascii] < 0x80)
        ++ascii;
    if (ascii == size) {
        for (qsizetype i = 0; i < size; ++i)
            out[i] = char(units[i]);
        out += size;
        return true;
    }
    Cp932::Encoded encoded = Cp932::encode(text);
    if (!encoded.ok) {
        failure = std::move(encoded);
        return false;
    }
    std::memcpy(out, encoded.bytes.constData(), size_t(encoded.bytes.size()));
    out += encoded.bytes.size();
    return true;
}

} // namespace TextEncoding
