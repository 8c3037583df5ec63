#include "subcommands.h"

#include "check/farecheck.h"
#include "compare/tablecompare.h"
#include "document/fileformats.h"
#include "io/fileio.h"
#include "io/pathbytes.h"
#include "io/tablerecords.h"
#include "model/faretable.h"
#include "model/messagetext.h"
#include "sheetplugin.h"
#include "terminalplatform.h"
#include "text/textimport.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <cstdio>
#include <sys/stat.h>

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

/**
 * A standard stream as a file in a temporary folder, so that the readers and writers, which take
 * paths, serve "-" as well; the platform's messages name the stream instead of the file.
 */
class StreamFile {
public:
    StreamFile(const QString& stream, const QString& extension, TerminalPlatform& platform)
        : m_path(m_dir.filePath(stream + extension))
    {
        platform.showPathAs(m_path, stream == QLatin1String("stdin") ? QStringLiteral("標準入力")
                                                                     : QStringLiteral("標準出力"));
    }
    bool isValid() const { return m_dir.isValid(); }
    const QString& path() const { return m_path; }

private:
    QTemporaryDir m_dir;
    QString m_path;
};

/** Loads input into table with the reader of its type (options.from when given); "-" reads
 *  standard input. The reader's notes (what a text import left out) go to standard error when
 *  showNotes. */
int load(FareTable& table, const QString& input, const CliOptions& options, bool showNotes = true)
{
    const FileType* type =
        options.from
            ? options.from
            : fileTypeOrError(
                  input, QStringLiteral("「%1」: 拡張子から形式がわかりません（%2 のいずれか）。"));
    if (!type)
        return ExitUsage;
    TerminalPlatform platform(false, showNotes);
    if (input != QLatin1String("-"))
        return type->reader(table, platform, input) == Outcome::Done ? ExitSuccess : ExitFailure;
    StreamFile file(QStringLiteral("stdin"), type->extension(), platform);
    QFile in;
    const QByteArray bytes = in.open(stdin, QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    const QString error = file.isValid() ? FileIo::writeFileAtomically(file.path(), bytes).error
                                         : QStringLiteral("一時フォルダーを作れません。");
    if (!error.isEmpty()) {
        printError(QStringLiteral("標準入力を読み込めませんでした。%1").arg(error));
        return ExitFailure;
    }
    return type->reader(table, platform, file.path()) == Outcome::Done ? ExitSuccess : ExitFailure;
}

/**
 * Writes table to output in type's format, or as the printed sheet when type is null (inputName
 * goes into its footer); "-" writes standard output.
 */
int save(FareTable& table, const QString& output, const FileType* type, const QString& inputName,
         const CliOptions& options)
{
    TerminalPlatform platform(options.assumeYes);
    std::optional<StreamFile> stream;
    QString path = output;
    if (output == QLatin1String("-")) {
        stream.emplace(QStringLiteral("stdout"), OutputFormat{type}.extension(), platform);
        path = stream->path();
    }
    const Outcome outcome = type ? type->writer(table, platform, path)
                                 : SheetPlugin::writePdf(table, platform, path, inputName);
    if (outcome == Outcome::Declined)
        return platform.refusedQuestion() ? ExitRefused : ExitFailure;
    if (outcome != Outcome::Done)
        return ExitFailure;
    if (stream) {
        const FileIo::ReadResult written = FileIo::readFile(path, qint64(1) << 30);
        std::fwrite(written.bytes.constData(), 1, size_t(written.bytes.size()), stdout);
        return written.ok() && flushStandardOutput() ? ExitSuccess : ExitFailure;
    }
    return ExitSuccess;
}

/** Whether output may be written: when something is there already, only with --force. */
bool mayReplace(const QString& output, const CliOptions& options)
{
    struct stat status;
    if (options.force || ::lstat(FileIo::encodePath(output).constData(), &status) != 0)
        return true;
    printError(QStringLiteral("「%1」はすでにあるため、書き込みませんでした（置き換えるには "
                              "--force を付けます）。")
                   .arg(FileIo::displayPath(output)));
    return false;
}

/** The file name of path, and the folder it lies in ending in "/", or empty for none. */
std::pair<QString, QString> splitPath(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    return {path.left(slash + 1), path.sliced(slash + 1)};
}

/** The path of a file named name in folder dir ("" for the current one). */
QString inFolder(const QString& dir, const QString& name)
{
    return dir.isEmpty() || dir.endsWith(u'/') ? dir + name : dir + u'/' + name;
}

/**
 * Runs one input after the other: the largest of their exit statuses. After a refused
 * confirmation, which every later input would get again, the others are left as they are.
 */
template <typename Run> int forEachInput(const QStringList& inputs, Run run)
{
    int status = ExitSuccess;
    for (const QString& input : inputs) {
        status = std::max(status, run(input));
        if (status == ExitRefused)
            break;
    }
    return status;
}

/** What goes in front of each line of output about input: its name when there are several. */
QString linePrefix(const QStringList& inputs, const QString& input, bool tsv)
{
    return inputs.size() > 1 ? nameField(input, tsv) + (tsv ? u'\t' : u':') : QString();
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
    const TextImport parsed = parseTextFile(file.bytes);
    if (!parsed.ok())
        return findings;
    for (const TextImport::LineLoss& loss : parsed.lineLosses) {
        if (loss.fields > TextImportMaxFields)
            add(QStringLiteral("%1 行目の項目は %2 個で、%3 個を超える %4 個は読み込まれません"
                               "（最後の項目が整理券 %5 の運賃になります）。")
                    .arg(loss.line)
                    .arg(loss.fields)
                    .arg(TextImportMaxFields)
                    .arg(loss.fields - TextImportMaxFields)
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

QString OutputFormat::extension() const
{
    return type ? type->extension() : QStringLiteral(".pdf");
}

std::optional<OutputFormat> formatNamed(const QString& name, bool withPdf)
{
    for (const FileType& type : fileTypes())
        if (name.compare(QLatin1String(type.name), Qt::CaseInsensitive) == 0)
            return OutputFormat{&type};
    if (withPdf && name.compare(QLatin1String("pdf"), Qt::CaseInsensitive) == 0)
        return OutputFormat{};
    return std::nullopt;
}

QString formatNames(bool withPdf)
{
    QStringList names;
    for (const FileType& type : fileTypes())
        names.append(QLatin1String(type.name));
    if (withPdf)
        names.append(QStringLiteral("pdf"));
    return names.join(u'、');
}

QString nameField(const QString& input, bool tsv)
{
    if (!tsv)
        return FileIo::displayPath(input);
    QString doubled = input;
    doubled.replace(u'\\', QLatin1String("\\\\"));
    return FileIo::displayPath(doubled);
}

int runConvert(const QString& input, const QString& output, const CliOptions& options)
{
    const FileType* target = nullptr;
    if (!isPdfPath(output)) {
        target = fileTypeOrError(
            output, QStringLiteral("「%1」: この拡張子では保存できません（%2 のいずれか）。"));
        if (!target)
            return ExitUsage;
    }
    FareTable table;
    if (const int status = load(table, input, options); status != ExitSuccess)
        return status;
    return save(table, output, target, splitPath(input).second, options);
}

int runConvertTo(const QStringList& inputs, const OutputFormat& format, const CliOptions& options)
{
    FareTable table; // one for every input: a load replaces all of it
    return forEachInput(inputs, [&](const QString& input) {
        QString output = input;
        if (input != QLatin1String("-")) {
            auto [folder, name] = splitPath(input);
            if (const qsizetype dot = name.lastIndexOf(u'.'); dot > 0)
                name.truncate(dot);
            output = inFolder(options.outputDir.isEmpty() ? folder : options.outputDir,
                              name + format.extension());
            if (!mayReplace(output, options))
                return int(ExitFailure);
        }
        if (const int status = load(table, input, options); status != ExitSuccess)
            return status;
        const QString footer = input == QLatin1String("-") ? QString() : splitPath(input).second;
        return save(table, output, format.type, footer, options);
    });
}

QString dumpLine(const FareTable& table, int row)
{
    QStringList fields;
    fields.reserve(FareTable::LastCol);
    for (int col = 1; col <= FareTable::LastCol; ++col)
        fields.append(escapeField(table.text(row, col)));
    return fields.join(u'\t');
}

int runDump(const QStringList& inputs, QTextStream& out)
{
    FareTable table; // one for every input: a load replaces all of it
    return forEachInput(inputs, [&](const QString& input) {
        if (const int status = load(table, input, {}); status != ExitSuccess)
            return status;
        const QString prefix = linePrefix(inputs, input, true);
        const int count = storedRowCount(table, FareTable::LastRow);
        for (int row = 1; row <= count; ++row)
            out << prefix << dumpLine(table, row) << '\n';
        return int(ExitSuccess);
    });
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

int runCheck(const QStringList& inputs, QTextStream& out, const CliOptions& options)
{
    FareTable table; // one for every input: a load replaces all of it
    return forEachInput(inputs, [&](const QString& input) {
        // What the import leaves out is reported below, as findings.
        if (const int status = load(table, input, {}, false); status != ExitSuccess)
            return status;
        QList<FareCheck::Finding> findings;
        if (FormatForPath(input) == FileFormat::Text)
            findings = textFileFindings(input);
        findings += FareCheck::checkTable(table, options.fares ? FareCheck::RuleSet::all()
                                                               : FareCheck::RuleSet::saveRules());
        const QString prefix = linePrefix(inputs, input, options.tsv);
        for (const FareCheck::Finding& finding : std::as_const(findings))
            out << prefix << (options.tsv ? tsvLine(finding) : finding.message) << '\n';
        return int(findings.isEmpty() ? ExitSuccess : ExitFailure);
    });
}

int runRevise(const QStringList& inputs, const QString& output, const CliOptions& options,
              QTextStream& out)
{
    FareTable table; // one for every input: a load replaces all of it
    return forEachInput(inputs, [&](const QString& input) {
        const QString target =
            output.isEmpty() ? inFolder(options.outputDir, splitPath(input).second) : output;
        const FileType* type = fileTypeOrError(
            target, QStringLiteral("「%1」: この拡張子では保存できません（%2 のいずれか）。"));
        if (!type)
            return int(ExitUsage);
        if (!mayReplace(target, options))
            return int(ExitFailure);
        if (const int status = load(table, input, {}); status != ExitSuccess)
            return status;
        const FareRevision::Revision revision = FareRevision::plan(table, options.rule);
        if (!revision.ok()) {
            printError(
                QStringLiteral("「%1」: %2").arg(FileIo::displayPath(input), revision.error));
            return int(ExitFailure);
        }
        FareRevision::apply(table, revision);
        if (const int status = save(table, target, type, QString(), options); status != 0)
            return status;
        out << linePrefix(inputs, input, false)
            << QStringLiteral("「%1」に書き込みました（運賃の変更 %2 件）。")
                   .arg(FileIo::displayPath(target))
                   .arg(revision.changes.size())
            << '\n';
        return int(ExitSuccess);
    });
}

int runDiff(const QString& oldPath, const QString& newPath, QTextStream& out,
            const CliOptions& options)
{
    FareTable oldTable;
    FareTable newTable;
    if (load(oldTable, oldPath, {}) != ExitSuccess || load(newTable, newPath, {}) != ExitSuccess)
        return ExitUsage;
    const TableCompare::Comparison comparison = TableCompare::compareTables(oldTable, newTable);
    for (const TableCompare::Difference& difference : comparison.differences)
        out << (options.tsv ? TableCompare::tsvLine(difference)
                            : TableCompare::describe(difference))
            << '\n';
    return comparison.isEmpty() ? ExitSuccess : ExitFailure;
}
