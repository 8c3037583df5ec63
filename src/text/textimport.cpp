#include "textimport.h"

#include "io/tableload.h"
#include "model/cellnumber.h"
#include "model/faretable.h"
#include "model/messagetext.h"
#include "model/platform.h"
#include "textencoding.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace {

constexpr int MaxLineCount = 32767;

bool isSeparator(char16_t c)
{
    return c == u'\t' || c == u',' || c == u'\uFF0C';
}

QStringView withoutLeadingSpaces(QStringView text)
{
    qsizetype begin = 0;
    while (begin < text.size() && text[begin] == u' ')
        ++begin;
    return text.sliced(begin);
}

/**
 * The number a field ends with, checked as the field grew. Its value grows with every character
 * except through a negative exponent, which can bring an overflowing mantissa back into range:
 * so the text before the first E is checked as well as the whole text.
 */
CellNumber fieldNumber(QStringView text, QStringView& overflowText)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'E' && text[i] != u'e')
            continue;
        const QStringView mantissa = text.first(i);
        const CellNumber number = CellToInt16(mantissa);
        if (!number.ok()) {
            overflowText = mantissa;
            return number;
        }
        break;
    }
    const CellNumber number = CellToInt16(text);
    if (!number.ok())
        overflowText = text;
    return number;
}

/** Stores the final text of one field (the characters between two separators). */
bool storeField(ParsedLine& result, int field, QStringView characters, bool quoted)
{
    QString unquoted;
    QStringView text = characters;
    if (quoted) {
        unquoted = characters.toString();
        unquoted.remove(u'"');
        text = unquoted;
    }
    if (field == 1) {
        result.record.Name = withoutLeadingSpaces(text).toString();
        return true;
    }
    qint16 value = 0;
    if (const std::optional<qint16> plain = plainWholeNumber(text)) {
        value = *plain;
    } else {
        QStringView overflowText;
        const CellNumber number = fieldNumber(text, overflowText);
        if (!number.ok()) {
            result.overflowField = field;
            result.overflowText = briefQuote(overflowText);
            return false;
        }
        value = number.value;
    }
    if (field == 2)
        result.record.TicketNo = value;
    else
        result.record.Fares[field - 3] = value;
    return true;
}

QString describeField(int field)
{
    if (field == 2)
        return QStringLiteral("2 番目の項目（整理券番号）");
    if (field == TextImportMaxFields)
        return QStringLiteral("152 番目以降の項目（整理券 150 の運賃）");
    return QStringLiteral("%1 番目の項目（整理券 %2 の運賃）").arg(field).arg(field - 2);
}

/** Splits bytes into lines: CR LF or a lone CR ends a line, a lone LF does not. */
class LineReader {
public:
    explicit LineReader(QByteArrayView bytes) : m_bytes(bytes) {}

    bool atEnd() const { return m_pos >= m_bytes.size(); }

    /** The next line; terminated is false when it runs to the end of the bytes. */
    QByteArrayView next(bool& terminated)
    {
        const qsizetype begin = m_pos;
        const qsizetype size = m_bytes.size();
        const void* cr = std::memchr(m_bytes.data() + begin, '\r', size_t(size - begin));
        if (!cr) {
            m_pos = size;
            terminated = false;
            return m_bytes.sliced(begin);
        }
        const qsizetype end = static_cast<const char*>(cr) - m_bytes.data();
        m_pos = end + 1;
        if (m_pos < size && m_bytes[m_pos] == '\n')
            ++m_pos;
        terminated = true;
        return m_bytes.sliced(begin, end - begin);
    }

private:
    QByteArrayView m_bytes;
    qsizetype m_pos = 0;
};

/**
 * Whether a line is blank: empty or only spaces. Looked at in bytes: a space byte is never part
 * of a double-byte character, and every other byte decodes to something other than a space.
 */
bool isBlankLine(QByteArrayView line)
{
    for (char c : line)
        if (c != ' ')
            return false;
    return true;
}

TextImport failed(TextImport result, TextImport::Status status, const QString& error)
{
    result.status = status;
    result.error = error;
    result.records.clear();
    return result;
}

QString countOverflow()
{
    return QStringLiteral("空行より前の行数が %1 を超えています（オーバーフロー）。")
               .arg(MaxLineCount) +
           QStringLiteral("運賃表のテキストファイルではないようです。");
}

QString tooLarge()
{
    return QStringLiteral("ファイルが大きすぎます（%1 MB を超えています）。")
        .arg(TextImportMaxBytes / (1024 * 1024));
}

} // namespace

ParsedLine ParseLine(QStringView line)
{
    ParsedLine result;
    int field = 1;
    qsizetype fieldStart = 0;
    bool quoted = false;
    const char16_t* const units = line.utf16();
    const qsizetype size = line.size();
    for (qsizetype i = 0; i <= size; ++i) {
        if (i < size) {
            const char16_t c = units[i];
            if (c == u'"')
                quoted = true;
            if (!isSeparator(c))
                continue;
        }
        if (!storeField(result, field, line.sliced(fieldStart, i - fieldStart), quoted))
            return result;
        if (i < size)
            ++result.fieldCount;
        field = qMin(field + 1, TextImportMaxFields);
        fieldStart = i + 1;
        quoted = false;
    }
    return result;
}

TextImport parseText(QByteArrayView bytes, bool complete)
{
    TextImport result;
    QVector<QByteArrayView> lines;
    LineReader reader(bytes);
    int lineNumber = 0;
    while (true) {
        if (reader.atEnd()) {
            if (!complete)
                return failed(result, TextImport::Status::TooLarge, tooLarge());
            break;
        }
        bool terminated = false;
        const QByteArrayView line = reader.next(terminated);
        ++lineNumber;
        const bool blank = isBlankLine(line);
        if (!terminated && !complete) {
            // The rest of this line lies beyond the bytes read: only an overflow is certain.
            if (!blank && result.lineCount == MaxLineCount) {
                ++result.lineCount;
                break;
            }
            return failed(result, TextImport::Status::TooLarge, tooLarge());
        }
        if (blank) {
            result.firstBlankLine = lineNumber;
            break;
        }
        if (++result.lineCount > MaxLineCount)
            break;
        if (result.lineCount <= TextImportMaxRows)
            lines.append(line);
    }
    if (result.lineCount > MaxLineCount)
        return failed(result, TextImport::Status::CountOverflow, countOverflow());
    if (result.firstBlankLine > 0) {
        while (!reader.atEnd()) {
            bool terminated = false;
            const QByteArrayView line = reader.next(terminated);
            if (!terminated && !complete)
                break;
            if (!isBlankLine(line))
                ++result.linesAfterBlank;
        }
    }
    result.linesBeyondLimit = qMax(0, result.lineCount - TextImportMaxRows);

    result.records.reserve(lines.size());
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const ParsedLine parsed = ParseLine(TextEncoding::decode(lines[i]));
        if (!parsed.ok())
            return failed(result, TextImport::Status::FieldOverflow,
                          QStringLiteral("%1 行目の%2の値「%3」は -32768 から 32767 "
                                         "までの範囲を超えています（オーバーフロー）。")
                              .arg(i + 1)
                              .arg(describeField(parsed.overflowField), parsed.overflowText));
        result.records.append(parsed.record);
        // A lone LF is the only LF a line can hold; in code page 932 its byte is never part of
        // a double-byte character.
        const int lineFeeds = int(std::count(lines[i].begin(), lines[i].end(), '\n'));
        if (parsed.fieldCount > TextImportMaxFields || lineFeeds > 0)
            result.lineLosses.append({int(i) + 1, parsed.fieldCount, lineFeeds});
    }
    return result;
}

int TextImport::fieldsLeftOut() const
{
    int count = 0;
    for (const LineLoss& loss : lineLosses)
        count += qMax(0, loss.fields - TextImportMaxFields);
    return count;
}

int TextImport::lineFeeds() const
{
    int count = 0;
    for (const LineLoss& loss : lineLosses)
        count += loss.lineFeeds;
    return count;
}

TextImport parseTextFile(const QByteArray& data)
{
    const bool complete = data.size() <= TextImportMaxBytes;
    return parseText(
        complete ? QByteArrayView(data) : QByteArrayView(data).first(TextImportMaxBytes), complete);
}

Outcome LoadText(FareTable& table, Platform& platform, const QString& path)
{
    QString note; // what the import left out, said once the table is replaced
    const auto decode = [&note](const QByteArray& data) {
        TextImport parsed = parseTextFile(data);
        if (const int fields = parsed.fieldsLeftOut())
            note += QStringLiteral("%1 番目より後の %2 個の項目は読み込みませんでした。")
                        .arg(TextImportMaxFields)
                        .arg(fields);
        if (const int lineFeeds = parsed.lineFeeds())
            note += QStringLiteral("改行（LF）%1 個は行の区切りにならないため、その前後を 1 行と"
                                   "して読み込みました。")
                        .arg(lineFeeds);
        return DecodedRows{std::move(parsed.records), parsed.error};
    };
    const Outcome outcome = replaceTableFromFile(table, platform, path, TextImportMaxBytes + 1,
                                                 decode, FareRecord::FareCount, true);
    if (outcome == Outcome::Done && !note.isEmpty())
        platform.showStatus(note);
    return outcome;
}
