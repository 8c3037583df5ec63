// farewright-cli: the editor's file operations without a window, for batch work.
#include "clicommands.h"
#include "io/fileio.h"
#include "terminalplatform.h"
#include "version.h"

#include <QCoreApplication>
#include <QTextStream>
#include <csignal>
#include <cstdio>

namespace {

const char usageText[] = R"(Usage:
  farewright-cli convert [--yes] INPUT OUTPUT
  farewright-cli dump INPUT
  farewright-cli check INPUT
  farewright-cli --help | --version

Reads and writes Farewright fare tables (.Hy3, .Hyo, .Hyp, .txt, .csv).

Commands:
  convert  Loads INPUT and saves it as OUTPUT; each file's format follows its extension
           (any letter case). Writing .Hyo or .Hyp loses data and needs --yes; without it
           the question is printed and nothing is written. .txt and .csv are written as
           comma-separated Shift-JIS text, and read up to the first blank line (at most
           301 lines; fields separated by tabs, commas or full-width commas).
  dump     Prints the rows that a save would store, one line per row, as UTF-8: 152
           tab-separated fields (name, ticket number, fares 1 to 150). Backslash, tab,
           CR and LF inside a field are written as \\, \t, \r and \n, any other
           control character (U+0000..U+001F, U+007F..U+009F) as \x and two hex
           digits (ESC as \x1b), so nothing in a name can steer the terminal.
  check    Reports what a save would not keep or would refuse: rows below the first
           empty name that still hold data, numbers outside -32768..32767, text stored
           as 0, names that Shift-JIS cannot hold, names holding a tab, a comma, a
           full-width comma or a CR, which text files would split, and names holding
           another control character. For a .txt or .csv INPUT it also reports the
           lines that the import leaves out: those after the first blank line and
           those beyond line 301. Texts are quoted up to 40 characters.

Options:
  -y, --yes      Answer Yes to the confirmation of the older formats.
  -h, --help     Shows this help.
  -v, --version  Shows the version.

Exit status: 0 success, 1 a load or save failed, check found something, or
standard output could not be written (a full disk), 2 wrong usage or an unknown
extension, 3 a confirmation was refused.
)";

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
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("farewright-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(FAREWRIGHT_VERSION));

    // The arguments' own bytes, so that a file name that is not UTF-8 still names its file.
    QStringList args = FileIo::decodeArguments(argc, argv).mid(1);
    bool assumeYes = false;
    QStringList positional;
    bool optionsEnded = false;
    for (const QString& arg : std::as_const(args)) {
        if (optionsEnded || !arg.startsWith(u'-') || arg == QLatin1String("-")) {
            positional.append(arg);
        } else if (arg == QLatin1String("--")) {
            optionsEnded = true;
        } else if (arg == QLatin1String("-h") || arg == QLatin1String("--help")) {
            std::fputs(usageText, stdout);
            return flushStandardOutput() ? ExitSuccess : ExitFailure;
        } else if (arg == QLatin1String("-v") || arg == QLatin1String("--version")) {
            std::printf("farewright-cli %s\n", FAREWRIGHT_VERSION);
            return flushStandardOutput() ? ExitSuccess : ExitFailure;
        } else if (arg == QLatin1String("-y") || arg == QLatin1String("--yes")) {
            assumeYes = true;
        } else {
            return usageError(QStringLiteral("不明なオプションです: %1").arg(arg));
        }
    }
    if (positional.isEmpty())
        return usageError(QStringLiteral("コマンドを指定してください（convert、dump、check）。"));

    const QString command = positional.takeFirst();
    QTextStream out(stdout);
    out.setEncoding(QStringConverter::Utf8);
    if (command == QLatin1String("convert")) {
        if (positional.size() != 2)
            return usageError(QStringLiteral("convert には INPUT と OUTPUT を指定してください。"));
        return runConvert(positional[0], positional[1], assumeYes);
    }
    if (assumeYes)
        return usageError(QStringLiteral("--yes は convert にだけ使えます。"));
    if (command == QLatin1String("dump") || command == QLatin1String("check")) {
        if (positional.size() != 1)
            return usageError(
                QStringLiteral("%1 には INPUT を一つ指定してください。").arg(command));
        const int status = command == QLatin1String("dump") ? runDump(positional[0], out)
                                                            : runCheck(positional[0], out);
        out.flush();
        return flushStandardOutput() && out.status() == QTextStream::Ok ? status : ExitFailure;
    }
    return usageError(QStringLiteral("不明なコマンドです: %1").arg(command));
}
