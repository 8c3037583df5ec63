// Reads arbitrary bytes as a text file to import and compares the result with the import rules
// applied literally: the bytes decoded whole, lines split at CR LF or a lone CR, reading up to the
// first blank line, and every line split character by character, each field stored (and its
// number checked) after every character.
#include "fuzzcheck.h"
#include "model/cellnumber.h"
#include "model/cp932.h"
#include "text/textencoding.h"
#include "text/textexport.h"
#include "text/textimport.h"

#include <cstddef>
#include <cstdint>

namespace {

struct Literal {
    FareRecord record;
    int overflowField = 0;
};

/** One line split exactly as the rule says, with the field stored after every character. */
Literal literalParseLine(QStringView line)
{
    Literal result;
    int field = 1;
    QString text;
    text.reserve(line.size());
    for (const QChar c : line) {
        if (c == u'\t' || c == u',' || c == QChar(0xFF0C)) {
            text.clear();
            field = qMin(field + 1, 152);
        } else if (c != u'"') {
            text.append(c);
        }
        if (field == 1) {
            qsizetype spaces = 0;
            while (spaces < text.size() && text[spaces] == u' ')
                ++spaces;
            result.record.Name = text.mid(spaces);
            continue;
        }
        const CellNumber number = CellToInt16(text);
        if (!number.ok()) {
            result.overflowField = field;
            return result;
        }
        if (field == 2)
            result.record.TicketNo = number.value;
        else
            result.record.Fares[field - 3] = number.value;
    }
    return result;
}

bool isBlank(QStringView line)
{
    for (const QChar c : line)
        if (c != u' ')
            return false;
    return true;
}

struct LiteralText {
    QVector<FareRecord> records;
    int lineCount = 0;
    int overflowLine = 0; ///< the line (from 1) whose field overflowed, or 0
};

LiteralText literalParseText(const QString& text)
{
    LiteralText result;
    QVector<QStringView> lines;
    qsizetype pos = 0;
    while (pos < text.size()) {
        qsizetype end = text.indexOf(u'\r', pos);
        const qsizetype next = end < 0 ? text.size() : end + 1;
        if (end < 0)
            end = text.size();
        const QStringView line = QStringView(text).sliced(pos, end - pos);
        pos = next < text.size() && end < text.size() && text[next] == u'\n' ? next + 1 : next;
        if (isBlank(line))
            break;
        ++result.lineCount;
        if (lines.size() < 301)
            lines.append(line);
    }
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const Literal parsed = literalParseLine(lines[i]);
        if (parsed.overflowField != 0) {
            result.overflowLine = int(i) + 1;
            result.records.clear();
            return result;
        }
        result.records.append(parsed.record);
    }
    return result;
}

/** Whether a name comes back unchanged from an export and import. */
bool survivesExport(const QString& name)
{
    if (name.startsWith(u' '))
        return false;
    for (const QChar c : name)
        if (c == u'\t' || c == u',' || c == QChar(0xFF0C) || c == u'"' || c == u'\r')
            return false;
    return Cp932::encode(name).ok;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));

    // The fast decoder gives exactly what the converter gives.
    const QString text = Cp932::decode(bytes);
    FUZZ_CHECK(TextEncoding::decode(bytes) == text);

    const TextImport parsed = parseText(bytes);
    const LiteralText literal = literalParseText(text);
    FUZZ_CHECK(parsed.status != TextImport::Status::TooLarge);
    if (literal.overflowLine != 0) {
        FUZZ_CHECK(parsed.status == TextImport::Status::FieldOverflow);
        FUZZ_CHECK(parsed.error.contains(QStringLiteral("%1 行目").arg(literal.overflowLine)));
        FUZZ_CHECK(parsed.records.isEmpty());
        return 0;
    }
    FUZZ_CHECK(parsed.ok());
    FUZZ_CHECK(parsed.lineCount == literal.lineCount);
    FUZZ_CHECK(parsed.records == literal.records);

    // The beginning of a larger file reads the same whenever a blank line ends the table in it.
    const TextImport beginning = parseText(bytes, false);
    if (beginning.ok())
        FUZZ_CHECK(beginning.records == parsed.records);
    else
        FUZZ_CHECK(beginning.status == TextImport::Status::TooLarge ||
                   beginning.status == parsed.status);

    // Exported and imported again, the rows come back (names that hold a separator, a quote, a
    // CR, leading spaces or a character without a Shift-JIS code aside). The first few rows
    // show it as well as all of them, at a fraction of the cost.
    const QVector<FareRecord> rows = parsed.records.mid(0, 4);
    if (rows.isEmpty())
        return 0;
    QVector<QString> cells;
    cells.reserve(rows.size() * TextExportFieldCount);
    bool clean = true;
    for (const FareRecord& record : rows) {
        clean = clean && survivesExport(record.Name);
        cells.append(record.Name);
        cells.append(QString::number(record.TicketNo));
        for (const qint16 fare : record.Fares)
            cells.append(fare == 0 ? QString() : QString::number(fare));
    }
    if (!clean)
        return 0;
    const TextExportBytes exported = encodeTextRows(cells, int(rows.size()));
    FUZZ_CHECK(exported.ok());
    const TextImport again = parseText(exported.bytes);
    FUZZ_CHECK(again.ok());
    FUZZ_CHECK(again.records == rows);
    return 0;
}
