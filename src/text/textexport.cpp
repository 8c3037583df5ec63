#include "textexport.h"

#include "io/tableload.h"
#include "io/tablerecords.h"
#include "model/cellnames.h"
#include "model/faretable.h"
#include "model/messagetext.h"
#include "textencoding.h"

namespace {

/** The text without leading and trailing ordinary spaces. */
QStringView trimSpaces(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == u' ')
        ++begin;
    while (end > begin && text[end - 1] == u' ')
        --end;
    return text.sliced(begin, end - begin);
}

QString unencodable(int row, int col, const QString& text, const Cp932::Encoded& failure)
{
    return QStringLiteral("%1の「%2」に、Shift-JIS（コードページ "
                          "932）で保存できない文字「%3」（%4）があります。")
        .arg(describeCell(row, col), briefQuote(text), failure.badCharacter,
             Cp932::codePointName(failure.badCharacter));
}

} // namespace

TextExportBytes encodeTextRows(const QVector<QString>& cells, int rowCount)
{
    TextExportBytes result;
    if (rowCount <= 0 || cells.size() < qsizetype(rowCount) * TextExportFieldCount)
        return result;
    const auto end = cells.cbegin() + qsizetype(rowCount) * TextExportFieldCount;
    // Room for the longest possible encoding: the bytes are written in place, then cut to size.
    qsizetype room = qsizetype(rowCount) * (2 * (TextExportFieldCount - 1) + 2);
    for (auto cell = cells.cbegin(); cell != end; ++cell)
        room += TextEncoding::maxEncodedSize(cell->size());
    QByteArray& out = result.bytes;
    out.resize(room);
    char* const start = out.data();
    char* at = start;
    Cp932::Encoded failure;
    auto cell = cells.cbegin();
    for (int row = 1; row <= rowCount; ++row) {
        for (int col = 1; col <= TextExportFieldCount; ++col, ++cell) {
            QStringView text = *cell;
            if (col == FareTable::TicketCol) {
                *at++ = ',';
            } else if (col >= FareTable::FirstFareCol) {
                *at++ = ',';
                *at++ = ' ';
                text = trimSpaces(text);
            }
            if (!TextEncoding::encodeInto(at, text, failure)) {
                result.error = unencodable(row, col, *cell, failure);
                out.clear();
                return result;
            }
        }
        *at++ = '\r';
        *at++ = '\n';
    }
    out.truncate(at - start);
    return result;
}

Outcome exportText(FareTable& table, Platform& platform, const QString& path)
{
    return writeTableToFile(table, platform, path, [&table](QByteArray& bytes) {
        const int count = collectRowCount(table, FareTable::LastRow);
        QVector<QString> cells;
        if (count > 0)
            cells = table.readBlock(1, 1, count, FareTable::LastCol);
        TextExportBytes encoded = encodeTextRows(cells, count);
        bytes = std::move(encoded.bytes);
        return encoded.error;
    });
}
