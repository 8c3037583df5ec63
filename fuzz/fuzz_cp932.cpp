// Decodes arbitrary bytes from code page 932 and encodes arbitrary UTF-16 into it, checking the
// promises of both directions.
#include "fuzzcheck.h"
#include "model/cp932.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));

    // Decoding: never more characters than bytes; text without replacement characters came from
    // valid bytes and survives writing and reading again.
    const QString text = Cp932::decode(bytes);
    FUZZ_CHECK(text.size() <= bytes.size());
    if (!text.contains(QChar(0xFFFD))) {
        const Cp932::Encoded written = Cp932::encode(text);
        FUZZ_CHECK(written.ok);
        FUZZ_CHECK(Cp932::decode(written.bytes) == text);
    }

    // Encoding: at most two bytes a unit; a refusal names the first character it cannot write,
    // and everything before that character can be written.
    const QStringView units(reinterpret_cast<const char16_t*>(data), qsizetype(size / 2));
    const Cp932::Encoded encoded = Cp932::encode(units);
    if (encoded.ok) {
        FUZZ_CHECK(encoded.bytes.size() <= 2 * units.size());
        FUZZ_CHECK(encoded.badIndex == -1);
    } else {
        FUZZ_CHECK(encoded.bytes.isEmpty());
        FUZZ_CHECK(encoded.badIndex >= 0 && encoded.badIndex < units.size());
        FUZZ_CHECK(encoded.badCharacter.size() == 1 || encoded.badCharacter.size() == 2);
        FUZZ_CHECK(units.mid(encoded.badIndex).startsWith(encoded.badCharacter));
        FUZZ_CHECK(Cp932::encode(units.left(encoded.badIndex)).ok);
        FUZZ_CHECK(!Cp932::codePointName(encoded.badCharacter).isEmpty());
    }
    return 0;
}
