#include "clicommands.h"

#include "commands/fileformats.h"
#include "io/fileio.h"
#include "model/cellnames.h"
#include "model/cellnumber.h"
#include "model/cp932.h"
#include "model/faretable.h"
#include "model/messagetext.h"
#include "terminalplatform.h"
#include "text/textimport.h"

#include <QTextStream>
#include <algorithm>

namespace {

/** Loads input into table with the start-up loader its extension selects. */
int load(FareTable& table, const QString& input)
{
    const FileOperation loader = StartupLoaderForPath(input);
    if (!loader) {
        printError(
            QStringLiteral(
                "「%1」: 拡張子から形式がわかりません（.Hy3 .Hyo .Hyp .txt .csv のいずれか）。")
                .arg(input));
        return ExitUsage;
    }
    TerminalPlatform platform(false);
    return loader(table, platform, input) == Outcome::Done ? ExitSuccess : ExitFailure;
}

int namedRowCount(const FareTable& table)
{
    int count = 0;
    while (count < FareTable::LastRow && !table.text(count + 1, FareTable::NameCol).isEmpty())
        ++count;
    return count;
}

/** A cell's text as dump writes it: a backslash doubled, a control character escaped (\t, \r, \n,
 *  \x1b), so that every row stays one line and nothing in it reaches the terminal as a command. */
QString escapeField(const QString& text)
{
    const auto plain = [](QChar c) {
        return c != u'\\' && !isControlCharacter(c.unicode());
    };
    if (std::all_of(text.cbegin(), text.cend(), plain))
        return text;
    QString escaped;
    escaped.reserve(text.size() + 8);
    for (const QChar c : text) {
        if (plain(c))
            escaped += c;
        else if (c == u'\\')
            escaped += QLatin1String("\\\\");
        else
            appendEscapedControl(escaped, c.unicode());
    }
    return escaped;
}

/** What separates the fields of a text file (or ends its line) when it stands in a name. */
QString splittingCharacter(const QString& name)
{
    for (const QChar c : name) {
        switch (c.unicode()) {
        case u'\t':
            return QStringLiteral("タブ");
        case u',':
            return QStringLiteral("「,」");
        case u'\uFF0C':
            return QStringLiteral("「，」");
        case u'\r':
            return QStringLiteral("改行（CR）");
        default:
            break;
        }
    }
    return QString();
}

/** What an import of the text file at path leaves out; nothing when it cannot be read. */
QStringList textFileFindings(const QString& path)
{
    QStringList findings;
    const FileIo::ReadResult file = FileIo::readFile(path, TextImportMaxBytes + 1);
    if (!file.ok())
        return findings;
    const bool complete = file.bytes.size() <= TextImportMaxBytes;
    const TextImport parsed = ParseText(
        QByteArrayView(file.bytes).first(qMin(file.bytes.size(), qsizetype(TextImportMaxBytes))),
        complete);
    if (!parsed.ok())
        return findings;
    if (parsed.linesBeyondLimit > 0)
        findings.append(
            QStringLiteral(
                "%1 行目から %2 行目までの %3 行は、表が %4 行までのため読み込まれません。")
                .arg(TextImportMaxRows + 1)
                .arg(parsed.lineCount)
                .arg(parsed.linesBeyondLimit)
                .arg(TextImportMaxRows));
    if (parsed.linesAfterBlank > 0)
        findings.append(QStringLiteral("%1 行目が空行のため、その後の %2 行は読み込まれません。")
                            .arg(parsed.firstBlankLine)
                            .arg(parsed.linesAfterBlank));
    return findings;
}

} // namespace

int runConvert(const QString& input, const QString& output, bool assumeYes)
{
    const FileOperation writer = ConvertWriterForPath(output);
    if (!writer) {
        printError(
            QStringLiteral(
                "「%1」: この拡張子では保存できません（.Hy3 .Hyo .Hyp .txt .csv のいずれか）。")
                .arg(output));
        return ExitUsage;
    }
    FareTable table;
    if (const int status = load(table, input); status != ExitSuccess)
        return status;
    TerminalPlatform platform(assumeYes);
    switch (writer(table, platform, output)) {
    case Outcome::Done:
        return ExitSuccess;
    case Outcome::Declined:
        return platform.refusedQuestion() ? ExitRefused : ExitFailure;
    case Outcome::Failed:
        break;
    }
    return ExitFailure;
}

QString dumpLine(const FareTable& table, int row)
{
    QStringList fields;
    fields.reserve(FareTable::LastCol);
    for (int col = 1; col <= FareTable::LastCol; ++col)
        fields.append(escapeField(table.text(row, col)));
    return fields.join(u'\t');
}

int runDump(const QString& input, QTextStream& out)
{
    FareTable table;
    if (const int status = load(table, input); status != ExitSuccess)
        return status;
    const int count = namedRowCount(table);
    for (int row = 1; row <= count; ++row)
        out << dumpLine(table, row) << '\n';
    return ExitSuccess;
}

QStringList checkTable(const FareTable& table)
{
    QStringList findings;
    const int count = namedRowCount(table);
    for (int row = 1; row <= count; ++row) {
        const QString& name = table.text(row, FareTable::NameCol);
        const Cp932::Encoded encoded = Cp932::encode(name);
        if (!encoded.ok)
            findings.append(
                QStringLiteral("%1: 名称「%2」の文字「%3」（%4）は Shift-JIS で保存できません。")
                    .arg(describeCell(row, FareTable::NameCol), briefQuote(name),
                         encoded.badCharacter, Cp932::codePointName(encoded.badCharacter)));
        if (const QString splitter = splittingCharacter(name); !splitter.isEmpty())
            findings.append(
                QStringLiteral("%1: 名称「%2」に%3があります。")
                    .arg(describeCell(row, FareTable::NameCol), briefQuote(name), splitter) +
                QStringLiteral("テキストで保存して読み込み直すと、この行が崩れます。"));
        // A tab or CR is reported above, with what it does to a text file.
        const auto control = std::find_if(name.cbegin(), name.cend(), [](QChar c) {
            return isControlCharacter(c.unicode()) && c != u'\t' && c != u'\r';
        });
        if (control != name.cend()) {
            QString shown;
            appendEscapedControl(shown, control->unicode());
            findings.append(
                QStringLiteral("%1: 名称「%2」に制御文字（%3）があります。")
                    .arg(describeCell(row, FareTable::NameCol), briefQuote(name), shown) +
                QStringLiteral("表示が崩れるおそれがあります。"));
        }
        for (int col = FareTable::TicketCol; col <= FareTable::LastCol; ++col) {
            const QString& text = table.text(row, col);
            const CellNumber number = CellToInt16(text);
            if (number.status == CellNumber::Status::Overflow)
                findings.append(
                    QStringLiteral(
                        "%1: 「%2」は -32768 から 32767 の範囲を超えるため保存できません。")
                        .arg(describeCell(row, col), briefQuote(text)));
            else if (number.status == CellNumber::Status::NoNumber && number.trailingText)
                findings.append(
                    QStringLiteral("%1: 「%2」は数値ではないため 0（空欄）として保存されます。")
                        .arg(describeCell(row, col), briefQuote(text)));
            else if (number.trailingText)
                findings.append(
                    QStringLiteral("%1: 「%2」は数値の後ろが無視され、%3 として保存されます。")
                        .arg(describeCell(row, col), briefQuote(text),
                             QString::number(number.value)));
        }
    }
    for (int row = count + 1; row <= FareTable::LastRow; ++row) {
        for (int col = 1; col <= FareTable::LastCol; ++col) {
            if (table.text(row, col).isEmpty())
                continue;
            findings.append(
                QStringLiteral("%1: データがありますが、%2 行目の名称が空欄のため保存されません。")
                    .arg(describeCell(row, col))
                    .arg(count + 1));
            break;
        }
    }
    return findings;
}

int runCheck(const QString& input, QTextStream& out)
{
    FareTable table;
    if (const int status = load(table, input); status != ExitSuccess)
        return status;
    QStringList findings;
    if (FormatForPath(input) == FileFormat::Text)
        findings = textFileFindings(input);
    findings += checkTable(table);
    for (const QString& finding : findings)
        out << finding << '\n';
    return findings.isEmpty() ? ExitSuccess : ExitFailure;
}
