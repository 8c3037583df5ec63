#include "cp932.h"

#include <QtGlobal>
#include <cerrno>
#include <cstring>
#include <iconv.h>

namespace {

/** One iconv descriptor per direction and thread, opened on first use and reset before each use. */
class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from))
    {
        if (m_cd == reinterpret_cast<iconv_t>(-1))
            qFatal("iconv cannot convert from %s to %s; glibc's gconv modules are missing", from,
                   to);
    }
    ~Converter() { iconv_close(m_cd); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    iconv_t reset()
    {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        return m_cd;
    }

private:
    iconv_t m_cd;
};

iconv_t decoder()
{
    thread_local Converter converter("UTF-16LE", "CP932");
    return converter.reset();
}

iconv_t encoder()
{
    thread_local Converter converter("CP932", "UTF-16LE");
    return converter.reset();
}

/**
 * The single bytes that code page 932 assigns no character, but that Windows converts to one and
 * back: 0x80 to U+0080, 0xA0 and 0xFD to 0xFF to the private-use U+F8F0 to U+F8F3. glibc refuses
 * them; converting them as Windows does lets a name that holds one load and save back unchanged.
 * None of them is a lead byte, so where the converter stops at one, it stands alone.
 */
struct SingleByte {
    uchar byte;
    char16_t unit;
};
constexpr SingleByte SingleBytes[] = {
    {0x80, u'\u0080'}, {0xA0, u'\uF8F0'}, {0xFD, u'\uF8F1'}, {0xFE, u'\uF8F2'}, {0xFF, u'\uF8F3'}};

/** The character a byte refused by the converter stands for; U+FFFD when it is simply invalid. */
char16_t unitForByte(uchar byte)
{
    for (const SingleByte& single : SingleBytes)
        if (single.byte == byte)
            return single.unit;
    return u'\uFFFD';
}

/** The byte a character refused by the converter is written as; 0 when it has none. */
uchar byteForUnit(char16_t unit)
{
    for (const SingleByte& single : SingleBytes)
        if (single.unit == unit)
            return single.byte;
    return 0;
}

} // namespace

namespace Cp932 {

QString decode(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return QString();
    iconv_t cd = decoder();
    // Each byte becomes at most one UTF-16 unit (double-byte characters and U+FFFD included).
    QString result(bytes.size(), Qt::Uninitialized);
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = size_t(bytes.size());
    char* outStart = reinterpret_cast<char*>(result.data());
    char* out = outStart;
    size_t outLeft = size_t(result.size()) * 2;
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &out, &outLeft) != size_t(-1))
            break;
        if (errno != EILSEQ && errno != EINVAL)
            break; // E2BIG cannot happen: the output has room for every byte
        // One of the single bytes above, or an invalid or truncated sequence: one character for
        // its first byte (a replacement character unless it is one of those bytes).
        const char16_t unit = errno == EILSEQ ? unitForByte(uchar(*in)) : u'\uFFFD';
        memcpy(out, &unit, 2);
        out += 2;
        outLeft -= 2;
        ++in;
        --inLeft;
        cd = decoder();
    }
    result.truncate((out - outStart) / 2);
    return result;
}

Encoded encode(QStringView text)
{
    Encoded result;
    if (text.isEmpty())
        return result;
    iconv_t cd = encoder();
    // Every UTF-16 unit becomes at most two bytes.
    result.bytes.resize(text.size() * 2);
    char* in = reinterpret_cast<char*>(const_cast<QChar*>(text.data()));
    size_t inLeft = size_t(text.size()) * 2;
    char* out = result.bytes.data();
    size_t outLeft = size_t(result.bytes.size());
    while (iconv(cd, &in, &inLeft, &out, &outLeft) == size_t(-1)) {
        const qsizetype at = (in - reinterpret_cast<const char*>(text.data())) / 2;
        if (const uchar byte = errno == EILSEQ ? byteForUnit(text[at].unicode()) : 0) {
            *out++ = char(byte);
            --outLeft;
            in += 2;
            inLeft -= 2;
            cd = encoder();
            continue;
        }
        result.ok = false;
        result.badIndex = at;
        const bool pair =
            at + 1 < text.size() && text[at].isHighSurrogate() && text[at + 1].isLowSurrogate();
        result.badCharacter = text.mid(at, pair ? 2 : 1).toString();
        result.bytes.clear();
        return result;
    }
    result.bytes.truncate(out - result.bytes.data());
    return result;
}

QString codePointName(QStringView character)
{
    if (character.isEmpty())
        return QString();
    char32_t code = character[0].unicode();
    if (character.size() > 1 && character[0].isHighSurrogate() && character[1].isLowSurrogate())
        code = QChar::surrogateToUcs4(character[0], character[1]);
    return QStringLiteral("U+%1").arg(uint(code), 4, 16, QLatin1Char('0')).toUpper();
}

} // namespace Cp932
