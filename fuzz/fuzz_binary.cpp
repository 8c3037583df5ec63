// Reads arbitrary bytes as one binary fare-table format (chosen at build time by
// FAREWRIGHT_FUZZ_LAYOUT) and checks what a successful read promises.
#include "files/binarycodec.h"
#include "fuzzcheck.h"
#include "model/cp932.h"

#include <QtEndian>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const BinaryLayout& layout = FAREWRIGHT_FUZZ_LAYOUT;
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const BinaryCodec::Decoded decoded = BinaryCodec::decode(layout, bytes);
    if (!decoded.ok()) {
        // A refused file yields no records at all: a load never half-fills the table.
        FUZZ_CHECK(decoded.records.isEmpty());
        return 0;
    }
    FUZZ_CHECK(size >= 2);
    const int count = qFromLittleEndian<qint16>(data);
    FUZZ_CHECK(count >= 1 && count <= BinaryCodec::MaxReadRecords);
    FUZZ_CHECK(decoded.records.size() == count);
    // Every record took at least its fixed part from the bytes present.
    FUZZ_CHECK(2 + qint64(count) * layout.fixedRecordSize() <= qint64(size));
    for (const FareRecord& record : decoded.records) {
        if (!layout.hasTicketNo)
            FUZZ_CHECK(record.TicketNo == 0);
        for (int k = layout.fareCount; k < FareRecord::FareCount; ++k)
            FUZZ_CHECK(record.Fares[k] == 0);
    }

    // Writing what was read and reading it again gives the same records, unless a name holds a
    // character that code page 932 cannot write (invalid bytes were read as U+FFFD).
    const BinaryCodec::Encoded encoded = BinaryCodec::encode(layout, decoded.records);
    if (!encoded.ok()) {
        bool unwritable = false;
        for (const FareRecord& record : decoded.records) {
            const Cp932::Encoded name = Cp932::encode(record.Name);
            unwritable = unwritable || !name.ok || name.bytes.size() > 0xFFFF;
        }
        FUZZ_CHECK(unwritable);
        FUZZ_CHECK(encoded.bytes.isEmpty());
        return 0;
    }
    const BinaryCodec::Decoded again = BinaryCodec::decode(layout, encoded.bytes);
    FUZZ_CHECK(again.ok());
    FUZZ_CHECK(again.records == decoded.records);
    return 0;
}
