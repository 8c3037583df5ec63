#include "subcommands.h"

#include "check/farecheck.h"
#include "document/fileformats.h"
#include "io/fileio.h"
#include "io/pathbytes.h"
#include "io/tablerecords.h"
#include "model/faretable.h"
#include "model/messagetext.h"
#include "sheetplugin.h"
#include "terminalplatform.h"
#include "text/textimport.h"

#include <QFileInfo>
#include <QTextStream>
#include <algorithm>

namespace {

/** The type of path; when it has none, says so, with why (a text holding %1 for the path and %2
 *  for the extensions there are), and gives null. */
const FileType* fileTypeOrError(const QString& path, const QString& why)
{
    const FileType* type = fileTypeForPath(path);
    if (!type)
        printError(why.arg(FileIo::displayPath(path), extensionList()));
    return type;
}

/** Loads input into table with the reader of its type; the reader's notes (what a text import
 *  left out) go to standard error when showNotes. */
int load(FareTable& table, const QString& input, bool showNotes = true)
{
    const FileType* type = fileTypeOrError(
        input, QStringLiteral("「%1」: 拡張子から形式がわかりません（%2 のいずれか）。"));
    if (!type)
        return ExitUsage;
    TerminalPlatform platform(false, showNotes);
    return type->reader(table, platform, input) == Outcome::Done ? ExitSuccess : ExitFailure;
}

/** What an import of the text file at path leaves out, line by line; nothing when it cannot be
 *  read. */
QList<FareCheck::Finding> textFileFindings(const QString& path)
{
    QList<FareCheck::Finding> findings;
    const auto add = [&findings](const QString& message,
                                 FareCheck::Rule rule = FareCheck::Rule::ImportLines) {
        findings.append({rule, 0, 0, message});
    };
    const FileIo::ReadResult file = FileIo::readFile(path, TextImportMaxBytes + 1);
    if (!file.ok())
        return findings;
    const bool complete = file.bytes.size() <= TextImportMaxBytes;
    const TextImport parsed = parseText(
        QByteArrayView(file.bytes).first(qMin(file.bytes.size(), qsizetype(TextImportMaxBytes))),
        complete);
    if (!parsed.ok())
        return findings;
    constexpr int LastField = 2 + FareTable::FareCount;
    for (const TextImport::LineLoss& loss : parsed.lineLosses) {
        if (loss.fields > LastField)
            add(QStringLiteral("%1 行目の項目は %2 個で、%3 個を超える %4 個は読み込まれません"
                               "（最後の項目が整理券 %5 の運賃になります）。")
                    .arg(loss.line)
                    .arg(loss.fields)
                    .arg(LastField)
                    .arg(loss.fields - LastField)
                    .arg(FareTable::FareCount),
                FareCheck::Rule::ImportFields);
        if (loss.lineFeeds > 0)
            add(QStringLiteral("%1 行目に改行（LF）が %2 個あります。行は CR LF か CR で区切られる"
                               "ため、LF の前後は 1 行として読み込まれます。")
                    .arg(loss.line)
                    .arg(loss.lineFeeds),
                FareCheck::Rule::ImportLf);
    }
    if (parsed.linesBeyondLimit > 0)
        add(QStringLiteral(
                "%1 行目から %2 行目までの %3 行は、表が %4 行までのため読み込まれません。")
                .arg(TextImportMaxRows + 1)
                .arg(parsed.lineCount)
                .arg(parsed.linesBeyondLimit)
                .arg(TextImportMaxRows));
    if (parsed.linesAfterBlank > 0)
        add(QStringLiteral("%1 行目が空行のため、その後の %2 行は読み込まれません。")
                .arg(parsed.firstBlankLine)
                .arg(parsed.linesAfterBlank));
    return findings;
}

} // namespace

bool isPdfPath(const QString& path)
{
    return path.right(4).toUpper() == QLatin1String(".PDF");
}

int runConvert(const QString& input, const QString& output, bool assumeYes)
{
    if (isPdfPath(output)) {
        FareTable table;
        if (const int status = load(table, input); status != ExitSuccess)
            return status;
        TerminalPlatform platform(assumeYes);
        return SheetPlugin::writePdf(table, platform, output, QFileInfo(input).fileName()) ==
                       Outcome::Done
                   ? ExitSuccess
                   : ExitFailure;
    }
    const FileType* target = fileTypeOrError(
        output, QStringLiteral("「%1」: この拡張子では保存できません（%2 のいずれか）。"));
    if (!target)
        return ExitUsage;
    FareTable table;
    if (const int status = load(table, input); status != ExitSuccess)
        return status;
    TerminalPlatform platform(assumeYes);
    switch (target->writer(table, platform, output)) {
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
    const int count = storedRowCount(table, FareTable::LastRow);
    for (int row = 1; row <= count; ++row)
        out << dumpLine(table, row) << '\n';
    return ExitSuccess;
}

QString tsvLine(const FareCheck::Finding& finding)
{
    const auto number = [](int value) {
        return value > 0 ? QString::number(value) : QString();
    };
    return QStringList{
        FareCheck::ruleId(finding.rule), number(finding.row),      number(finding.col),
        number(finding.stop()),          number(finding.ticket()), escapeField(finding.message)}
        .join(u'\t');
}

int runCheck(const QString& input, QTextStream& out, const CheckOptions& options)
{
    FareTable table;
    // What the import leaves out is reported below, as findings.
    if (const int status = load(table, input, false); status != ExitSuccess)
        return status;
    QList<FareCheck::Finding> findings;
    if (FormatForPath(input) == FileFormat::Text)
        findings = textFileFindings(input);
    findings += FareCheck::checkTable(table, options.fares ? FareCheck::RuleSet::all()
                                                           : FareCheck::RuleSet::saveRules());
    for (const FareCheck::Finding& finding : std::as_const(findings))
        out << (options.tsv ? tsvLine(finding) : finding.message) << '\n';
    return findings.isEmpty() ? ExitSuccess : ExitFailure;
}
