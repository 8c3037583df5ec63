// farewright-cli: the editor's file operations without a window, for batch work.
#include "commandline.h"
#include "io/pathbytes.h"
#include "model/messagetext.h"
#include "sheetplugin.h"
#include "subcommands.h"
#include "terminalplatform.h"
#include "version.h"

#include <QCoreApplication>
#include <QTextStream>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <memory>
#include <sys/stat.h>

namespace {

const char usageText[] = R"(Usage:
  farewright-cli convert [--yes] INPUT OUTPUT
  farewright-cli convert --to=FORMAT [--from=FORMAT] [--output-dir=DIR] [--force] [--yes]
                         INPUT...
  farewright-cli dump INPUT...
  farewright-cli check [--fares] [--format=tsv] INPUT...
  farewright-cli revise [RULE...] [--force] [--yes] INPUT OUTPUT
  farewright-cli revise [RULE...] --output-dir=DIR [--force] [--yes] INPUT...
  farewright-cli diff [--format=tsv] OLD NEW
  farewright-cli --help | --version

  RULE: --multiply=P/Q|DECIMAL --add=N --round=up|nearest|down --unit=N --min=N

Reads and writes Farewright fare tables (.Hy3, .Hyo, .Hyp, .txt, .csv). Options may
stand before or after the files, as --name=value or --name value.

Commands:
  convert  Loads INPUT and saves it as OUTPUT; each file's format follows its extension
           (any letter case). Writing .Hyo or .Hyp loses data and needs --yes; without it
           the question is printed and nothing is written. .txt and .csv are written as
           comma-separated Shift-JIS text, and read up to the first blank line (at most
           301 lines; fields separated by tabs, commas or full-width commas). An OUTPUT
           ending in .pdf gets the printed fare sheet (A4 landscape), as the editor's
           PDF command writes it. An OUTPUT that exists is replaced.
           With --to, every argument is an INPUT, saved in FORMAT as DIR/NAME.EXT: NAME
           is the input's name without its extension, DIR the --output-dir or else the
           input's own folder. An output that exists is replaced only with --force, and
           otherwise skipped with a message. The INPUT - reads standard input, in the
           format --from names, and writes the result to standard output.
  dump     Prints the rows that a save would store, one line per row, as UTF-8: 152
           tab-separated fields (name, ticket number, fares 1 to 150). Backslash, tab,
           CR and LF inside a field are written as \\, \t, \r and \n, any other
           control character (U+0000..U+001F, U+007F..U+009F) as \x and two hex
           digits (ESC as \x1b), so nothing in a name can steer the terminal.
  check    Reports what a save would not keep or would refuse: rows below the first
           empty name that still hold data, numbers outside -32768..32767, text stored
           as 0, names that Shift-JIS cannot hold or that take more than 65535 bytes
           in it, names holding a tab, a comma, a full-width comma or a CR, which text
           files would split, and names holding another control character. For a .txt
           or .csv INPUT it also reports, line by line, what the import leaves out:
           fields after the 152nd, lone LFs (which end no line: a file with LF line
           ends reads as one row), the lines after the first blank line and those
           beyond line 301; convert and dump say on standard error how many fields
           were left out and how many LFs ended no line. Texts are quoted up to 40
           characters. With --fares it also warns where the fares look wrong (see
           --fares).
  revise   Revises the fares of every stored stop by a rule and saves the table as
           OUTPUT, in its extension's format, or with --output-dir each INPUT as DIR
           and its own name. A fare whose stored value v is above 0 becomes
           max(round((v * P/Q + N) / UNIT) * UNIT, MIN), in whole numbers; empty cells,
           0, names, ticket numbers and the route row stay as they are. A result
           outside 1..32767, or a number that no save holds, refuses the file: the
           message names the first such cell and the file is not written. Prints one
           line per file written, with the number of fares changed. An output that
           exists is replaced only with --force, and otherwise skipped.
  diff     Compares the stored tables of OLD and NEW, stops matched by name, and prints
           one Japanese line per difference: the route name, the route row's ticket
           number or fares, a stop added, removed or renamed (one line each, without
           their fares), a stop's ticket number or fare. Exit status 0 when the tables
           are the same, 1 when they differ, 2 when a file cannot be loaded. With
           --format=tsv a difference is six tab-separated fields: kind (route-name,
           route-ticket, route-fare, stop-added, stop-removed, stop-renamed, ticket,
           fare), old stop number, new stop number, ticket number, old text, new
           text. Fields that do not apply are empty; texts are escaped as dump does.

  Several INPUTs: with more than one, every line of standard output begins with the
  file's name as given: as one more tab-separated field in front for dump and check
  --format=tsv, and as NAME: for check and revise. A file that cannot be loaded is
  reported on standard error and the others go on; the exit status is the largest of
  the files' statuses.

Options:
  -y, --yes      Answer Yes to the confirmation of the older formats (convert, revise).
  --force        convert --to, revise: replace an output that exists.
  --output-dir=DIR
                 convert --to, revise: write the outputs into the folder DIR.
  --to=FORMAT    convert: write every INPUT in FORMAT: Hy3, Hyo, Hyp, txt, csv or pdf,
                 in any letter case.
  --from=FORMAT  convert: read every INPUT in FORMAT (Hy3, Hyo, Hyp, txt, csv),
                 whatever its extension; needed for the INPUT -.
  --multiply=P/Q|DECIMAL
                 revise: multiply by the fraction P/Q (110/108) or a decimal (1.1,
                 at most 6 decimals); P and Q up to 1000000. Default 1.
  --add=N        revise: add N yen after multiplying; may be negative. Default 0.
  --round=up|nearest|down
                 revise: round up, to the nearest (halves up) or down to the unit.
                 Default nearest.
  --unit=N       revise: round to multiples of N yen (1..32767). Default 10.
  --min=N        revise: raise a fare below N to N. Default none.
  --fares        check: also the fare rules (plausibility warnings):
                   ticket-order   a ticket number smaller than the previous stop's, or
                                  fares at a stop without a ticket number
                   not-issued     a fare for a ticket above the stop's own ticket number
                   missing-fare   an empty cell between two fares of a stop
                   column-falls   down a ticket's column, a fare below the stop before
                   row-rises      along a stop's row, a later ticket dearer than an
                                  earlier one
                   outlier        a fare over 3 times, or under a third of, both its
                                  neighbours in its column
                 They judge the stop rows only (never the route row), reading each cell
                 as a save stores it.
  --format=tsv   check, diff: tab-separated lines (see diff). For check, one finding per
                 line as six fields: rule id, grid row, grid column, stop number, ticket
                 number, message. Row and column are empty when a finding is about no
                 cell (lines of a text file); the stop number is empty for the route row,
                 the ticket number for the name and ticket-number columns. The message
                 escapes a backslash and control characters as dump does. The save
                 rules' ids: unsaved-row, number-range, stored-as-zero, trailing-text,
                 name-encoding, name-length, name-separator, name-control, import-lines,
                 import-fields, import-lf.
  -h, --help     Shows this help.
  -v, --version  Shows the version.

Exit status: 0 success, 1 a load or save failed, check found something, diff found
a difference, an output existed, or standard output could not be written (a full
disk), 2 wrong usage, an unknown extension or a file diff cannot load, 3 a
confirmation was refused. With several files, the largest.
)";

/**
 * Qt's own diagnostics ("QStandardPaths: XDG_RUNTIME_DIR not set…" when a PDF is drawn) are not
 * the program's messages: standard error carries only what the program says itself. A fatal one
 * is still shown, since the program ends with it.
 */
void qtMessage(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    if (type == QtFatalMsg)
        printError(text);
}

/**
 * Checks the options' values and the number of files against the command, and takes the values
 * into options. Returns why the command line is wrong, or an empty text.
 */
QString checkOptions(const CommandLine& line, CliOptions& options)
{
    const QString format = line.value("format");
    if (!format.isNull() && format != QLatin1String("tsv") && format != QLatin1String("text"))
        return QStringLiteral("--format には tsv か text を指定してください: %1")
            .arg(briefQuote(format));
    options.tsv = format == QLatin1String("tsv");
    options.fares = line.has("fares");
    options.assumeYes = line.has("yes");
    options.force = line.has("force");
    options.outputDir = line.value("output-dir");
    if (line.has("to")) {
        options.to = formatNamed(line.value("to"), true);
        if (!options.to)
            return QStringLiteral("--to には %1 のいずれかを指定してください: %2")
                .arg(formatNames(true), briefQuote(line.value("to")));
    }
    if (line.has("from")) {
        const std::optional<OutputFormat> from = formatNamed(line.value("from"), false);
        if (!from)
            return QStringLiteral("--from には %1 のいずれかを指定してください: %2")
                .arg(formatNames(false), briefQuote(line.value("from")));
        options.from = from->type;
    }
    using FareRevision::Parameter;
    static const std::pair<const char*, Parameter> ruleOptions[] = {
        {"multiply", Parameter::Multiply}, {"add", Parameter::Add},    {"round", Parameter::Round},
        {"unit", Parameter::Unit},         {"min", Parameter::Lowest},
    };
    for (const auto& [option, value] : line.options)
        for (const auto& [name, parameter] : ruleOptions)
            if (qstrcmp(option->name, name) == 0)
                if (QString error = FareRevision::setParameter(options.rule, parameter, value);
                    !error.isEmpty())
                    return error;

    const QStringList& files = line.operands;
    const qsizetype stdinCount = files.count(QStringLiteral("-"));
    const bool many = line.command == ConvertCommand ? line.has("to") : line.has("output-dir");
    switch (line.command) {
    case ConvertCommand:
    case ReviseCommand:
        if (!many && files.size() != 2)
            return QStringLiteral(
                       "%1 には INPUT と OUTPUT を指定してください（複数のファイルは %2 で）。")
                .arg(line.commandName, line.command == ConvertCommand
                                           ? QStringLiteral("--to=形式")
                                           : QStringLiteral("--output-dir=フォルダー"));
        if (line.command == ConvertCommand && !many && line.has("output-dir"))
            return QStringLiteral("--output-dir は --to と一緒に指定してください。");
        break;
    case DiffCommand:
        if (files.size() != 2)
            return QStringLiteral("diff には OLD と NEW の二つのファイルを指定してください。");
        break;
    default:
        break;
    }
    if (files.isEmpty())
        return QStringLiteral("%1 には INPUT を指定してください。").arg(line.commandName);
    if (stdinCount > 0 && !(line.command == ConvertCommand && many))
        return QStringLiteral("標準入力（-）を読めるのは convert --to だけです。");
    if (stdinCount > 0 && !options.from)
        return QStringLiteral("標準入力（-）の形式を --from で指定してください（%1 のいずれか）。")
            .arg(formatNames(false));
    if (stdinCount > 1)
        return QStringLiteral("標準入力（-）は一度だけ指定できます。");
    struct stat folder;
    if (line.has("output-dir") &&
        (::stat(FileIo::encodePath(options.outputDir).constData(), &folder) != 0 ||
         !S_ISDIR(folder.st_mode)))
        return QStringLiteral("--output-dir のフォルダー「%1」がありません。")
            .arg(FileIo::displayPath(options.outputDir));
    return QString();
}

int usageError(const QString& why)
{
    printError(why);
    printError(QStringLiteral("詳しくは farewright-cli --help をご覧ください。"));
    return ExitUsage;
}

} // namespace

int main(int argc, char* argv[])
{
    // Under a file-size limit (ulimit -f) a write fails with EFBIG and is reported, instead of
    // SIGXFSZ ending the program.
    std::signal(SIGXFSZ, SIG_IGN);
    qInstallMessageHandler(qtMessage);

    // The arguments' own bytes, so that a file name that is not UTF-8 still names its file.
    const CommandLine line = parseCommandLine(FileIo::decodeArguments(argc, argv).mid(1));
    switch (line.action) {
    case CommandLine::Action::Help:
        std::fputs(usageText, stdout);
        return flushStandardOutput() ? ExitSuccess : ExitFailure;
    case CommandLine::Action::Version:
        std::printf("farewright-cli %s\n", FAREWRIGHT_VERSION);
        return flushStandardOutput() ? ExitSuccess : ExitFailure;
    case CommandLine::Action::Error:
        return usageError(line.error);
    case CommandLine::Action::Run:
        break;
    }
    CliOptions options;
    if (const QString error = checkOptions(line, options); !error.isEmpty())
        return usageError(error);

    // The application object: a plain one, or for a PDF one that can draw text, made by the
    // sheet's plugin.
    const QStringList& files = line.operands;
    const bool pdf = line.command == ConvertCommand &&
                     (options.to ? !options.to->type : isPdfPath(files.value(1)));
    const std::unique_ptr<QCoreApplication> app =
        pdf ? SheetPlugin::makeApplication(argc, argv)
            : std::make_unique<QCoreApplication>(argc, argv);
    if (!app)
        return ExitUsage;
    QCoreApplication::setApplicationName(QStringLiteral("farewright-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(FAREWRIGHT_VERSION));

    QTextStream out(stdout);
    out.setEncoding(QStringConverter::Utf8);
    int status = ExitSuccess;
    switch (line.command) {
    case ConvertCommand:
        status = options.to ? runConvertTo(files, *options.to, options)
                            : runConvert(files[0], files[1], options);
        break;
    case DumpCommand:
        status = runDump(files, out);
        break;
    case CheckCommand:
        status = runCheck(files, out, options);
        break;
    case ReviseCommand:
        status = runRevise(line.has("output-dir") ? files : files.first(1),
                           line.has("output-dir") ? QString() : files[1], options, out);
        break;
    case DiffCommand:
        status = runDiff(files[0], files[1], out, options);
        break;
    default:
        break;
    }
    out.flush();
    if (flushStandardOutput() && out.status() == QTextStream::Ok)
        return status;
    // For diff, 1 says that the tables differ; trouble is 2, as for diff(1).
    return line.command == DiffCommand ? ExitUsage : std::max(status, int(ExitFailure));
}
