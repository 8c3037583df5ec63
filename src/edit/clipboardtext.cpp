#include "clipboardtext.h"

#include "model/cellnumber.h"
#include "model/faretable.h"
#include "model/messagetext.h"

#include <algorithm>

namespace {

bool needsQuotes(const QString& text)
{
    for (const QChar ch : text) {
        if (ch == u'\t' || ch == u'\n' || ch == u'\r' || ch == u'"')
            return true;
    }
    return false;
}

bool endsField(QChar ch)
{
    return ch == u'\t' || ch == u'\n' || ch == u'\r';
}

} // namespace

QString blockToTabText(const CellBlock& block)
{
    QString out;
    for (int row = 0; row < block.rows; ++row) {
        for (int col = 0; col < block.cols; ++col) {
            if (col > 0)
                out += u'\t';
            const QString& text = block.at(row, col);
            if (needsQuotes(text)) {
                out += u'"';
                out += QString(text).replace(u'"', QStringLiteral("\"\""));
                out += u'"';
            } else {
                out += text;
            }
        }
        out += QStringLiteral("\r\n");
    }
    return out;
}

QString blockToHtml(const CellBlock& block, int left)
{
    QString out = QStringLiteral("<html><head><meta charset=\"utf-8\"><style>td{white-space:pre}"
                                 ".t{mso-number-format:\"\\@\"}</style></head><body><table>\n");
    for (int row = 0; row < block.rows; ++row) {
        out += QStringLiteral("<tr>");
        for (int col = 0; col < block.cols; ++col) {
            const QString& text = block.at(row, col);
            const bool name = left + col == FareTable::NameCol;
            // A spreadsheet keeps a plain number of up to 15 digits as the same text; it rounds
            // longer ones.
            if (!text.isEmpty() && (name || !isPlainDecimal(text, 15)))
                out += QStringLiteral("<td class=\"t\" sdnum=\"1041;0;@\">");
            else
                out += QStringLiteral("<td>");
            for (qsizetype i = 0; i < text.size(); ++i) {
                switch (text[i].unicode()) {
                case u'&':
                    out += QStringLiteral("&amp;");
                    break;
                case u'<':
                    out += QStringLiteral("&lt;");
                    break;
                case u'>':
                    out += QStringLiteral("&gt;");
                    break;
                case u'"':
                    out += QStringLiteral("&quot;");
                    break;
                case u'\'':
                    out += QStringLiteral("&#39;");
                    break;
                case u'\r':
                    if (i + 1 < text.size() && text[i + 1] == u'\n')
                        ++i;
                    Q_FALLTHROUGH();
                case u'\n':
                    out += QStringLiteral("<br>");
                    break;
                case u'\t':
                    out += text[i];
                    break;
                default:
                    if (!isControlCharacter(text[i].unicode()))
                        out += text[i];
                }
            }
            out += QStringLiteral("</td>");
        }
        out += QStringLiteral("</tr>\n");
    }
    out += QStringLiteral("</table></body></html>\n");
    return out;
}

CellBlock tabTextToBlock(QStringView text)
{
    // The fields of all rows one after the other, and where each row starts among them.
    QVector<QString> fields;
    QVector<int> rowStarts;
    const qsizetype n = text.size();
    qsizetype i = 0;
    bool rowOpen = false;
    while (i < n) {
        if (!rowOpen) {
            rowStarts.append(int(fields.size()));
            rowOpen = true;
        }
        QString field;
        if (text[i] == u'"') {
            // Quoted: up to the quote that is not doubled; what follows it up to the next
            // separator is kept as it stands.
            for (++i; i < n; ++i) {
                if (text[i] != u'"') {
                    field += text[i];
                } else if (i + 1 < n && text[i + 1] == u'"') {
                    field += u'"';
                    ++i;
                } else {
                    ++i;
                    break;
                }
            }
        }
        const qsizetype start = i;
        while (i < n && !endsField(text[i]))
            ++i;
        if (field.isEmpty())
            field = text.mid(start, i - start).toString();
        else
            field += text.mid(start, i - start);
        fields.append(std::move(field));
        if (i == n)
            break;
        const QChar separator = text[i++];
        if (separator == u'\t') {
            if (i == n)
                fields.append(QString()); // a tab at the very end ends an empty field
            continue;
        }
        if (separator == u'\r' && i < n && text[i] == u'\n')
            ++i;
        rowOpen = false;
    }

    CellBlock block;
    block.rows = int(rowStarts.size());
    rowStarts.append(int(fields.size()));
    for (int row = 0; row < block.rows; ++row)
        block.cols = std::max(block.cols, rowStarts[row + 1] - rowStarts[row]);
    if (fields.size() == qsizetype(block.rows) * block.cols) {
        block.texts = std::move(fields);
        return block;
    }
    // Short rows are filled up with empty texts.
    block.texts.reserve(block.rows * block.cols);
    for (int row = 0; row < block.rows; ++row) {
        for (int k = rowStarts[row]; k < rowStarts[row + 1]; ++k)
            block.texts.append(std::move(fields[k]));
        block.texts.resize(qsizetype(row + 1) * block.cols);
    }
    return block;
}
