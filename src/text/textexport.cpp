#include "textexport.h"

#include "files/binaryfile.h"
#include "files/fileio.h"
#include "files/tablerecords.h"
#include "model/bulkguards.h"
#include "model/cellnames.h"
#include "model/faretable.h"
#include "model/platform.h"
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
        .arg(describeCell(row, col), text, failure.badCharacter,
             Cp932::codePointName(failure.badCharacter));
}

} // namespace

TextExportBytes EncodeTextRows(const QVector<QString>& cells, int rowCount)
{
    TextExportBytes result;
    if (rowCount <= 0 || cells.size() < qsizetype(rowCount) * TextExportFieldCount)
        return result;
    QByteArray& out = result.bytes;
    // A typical fare takes 3 or 4 digits: room for that avoids most reallocations.
    out.reserve(qsizetype(rowCount) * (TextExportFieldCount * 6 + 64));
    Cp932::Encoded failure;
    auto cell = cells.cbegin();
    for (int row = 1; row <= rowCount; ++row) {
        for (int col = 1; col <= TextExportFieldCount; ++col, ++cell) {
            QStringView text = *cell;
            if (col == FareTable::TicketCol) {
                out.append(',');
            } else if (col >= FareTable::FirstFareCol) {
                out.append(", ", 2);
                text = trimSpaces(text);
            }
            if (!TextEncoding::append(out, text, failure)) {
                result.error = unencodable(row, col, *cell, failure);
                out.clear();
                return result;
            }
        }
        out.append("\r\n", 2);
    }
    return result;
}

Outcome ExportText(FareTable& table, Platform& platform, const QString& path)
{
    QString error;
    {
        HiddenTable hidden(table);
        BusyPointer busy(platform);
        const int count = CollectRowCount(table, FareTable::LastRow);
        QVector<QString> cells;
        if (count > 0)
            cells = table.readBlock(1, 1, count, FareTable::LastCol);
        const TextExportBytes encoded = EncodeTextRows(cells, count);
        error = encoded.error;
        if (error.isEmpty())
            error = FileIo::writeFileAtomically(path, encoded.bytes);
    }
    if (error.isEmpty())
        return Outcome::Done;
    platform.showFailure(saveFailure(path, error));
    return Outcome::Failed;
}
