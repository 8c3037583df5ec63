// farewright-cli: the editor's file operations without a window, for batch work.
#include "commandline.h"
#include "io/pathbytes.h"
#include "sheetplugin.h"
#include "subcommands.h"
#include "terminalplatform.h"
#include "version.h"

#include <QCoreApplication>
#include <QTextStream>
#include <csignal>
#include <cstdio>
#include <memory>

namespace {

const char usageText[] = R"(Usage:
  farewright-cli convert [--yes] INPUT OUTPUT
  farewright-cli dump INPUT
  farewright-cli check [--fares] [--format=tsv] INPUT
  farewright-cli --help | --version

Reads and writes Farewright fare tables (.Hy3, .Hyo, .Hyp, .txt, .csv).

Commands:
  convert  Loads INPUT and saves it as OUTPUT; each file's format follows its extension
           (any letter case). Writing .Hyo or .Hyp loses data and needs --yes; without it
           the question is printed and nothing is written. .txt and .csv are written as
           comma-separated Shift-JIS text, and read up to the first blank line (at most
           301 lines; fields separated by tabs, commas or full-width commas). An OUTPUT
           ending in .pdf gets the printed fare sheet (A4 landscape), as the editor's
           PDF command writes it.
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

Options:
  -y, --yes      Answer Yes to the confirmation of the older formats.
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
  --format=tsv   check: one finding per line as six tab-separated fields: rule id, grid
                 row, grid column, stop number, ticket number, message. Row and column
                 are empty when a finding is about no cell (lines of a text file); the
                 stop number is empty for the route row, the ticket number for the name
                 and ticket-number columns. The message escapes a backslash and control
                 characters as dump does. The save rules' ids: unsaved-row,
                 number-range, stored-as-zero, trailing-text, name-encoding,
                 name-length, name-separator, name-control, import-lines,
                 import-fields, import-lf.
  -h, --help     Shows this help.
  -v, --version  Shows the version.

Exit status: 0 success, 1 a load or save failed, check found something, or
standard output could not be written (a full disk), 2 wrong usage or an unknown
extension, 3 a confirmation was refused.
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
    const QString format = line.value("format");
    if (!format.isNull() && format != QLatin1String("tsv") && format != QLatin1String("text"))
        return usageError(
            QStringLiteral("--format には tsv か text を指定してください: %1").arg(format));
    CheckOptions check;
    check.fares = line.has("fares");
    check.tsv = format == QLatin1String("tsv");

    const QStringList& operands = line.operands;
    if (line.command == ConvertCommand && operands.size() != 2)
        return usageError(QStringLiteral("convert には INPUT と OUTPUT を指定してください。"));
    if (line.command != ConvertCommand && operands.size() != 1)
        return usageError(
            QStringLiteral("%1 には INPUT を一つ指定してください。").arg(line.commandName));

    // The application object: a plain one, or for a PDF one that can draw text, made by the
    // sheet's plugin.
    const bool pdf = line.command == ConvertCommand && isPdfPath(operands[1]);
    const std::unique_ptr<QCoreApplication> app =
        pdf ? SheetPlugin::makeApplication(argc, argv)
            : std::make_unique<QCoreApplication>(argc, argv);
    if (!app)
        return ExitUsage;
    QCoreApplication::setApplicationName(QStringLiteral("farewright-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(FAREWRIGHT_VERSION));

    QTextStream out(stdout);
    out.setEncoding(QStringConverter::Utf8);
    if (line.command == ConvertCommand)
        return runConvert(operands[0], operands[1], line.has("yes"));
    if (line.command == DumpCommand || line.command == CheckCommand) {
        const int status = line.command == DumpCommand ? runDump(operands[0], out)
                                                       : runCheck(operands[0], out, check);
        out.flush();
        return flushStandardOutput() && out.status() == QTextStream::Ok ? status : ExitFailure;
    }
    return usageError(QStringLiteral("不明なコマンドです: %1").arg(line.commandName));
}
