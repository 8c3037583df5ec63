#pragma once

#include <QList>
#include <QString>
#include <QStringList>

/** The commands of farewright-cli, as bits, so that an option can name the commands it serves. */
enum CliCommand : unsigned {
    NoCommand = 0,
    ConvertCommand = 1,
    DumpCommand = 2,
    CheckCommand = 4,
    ReviseCommand = 8,
    DiffCommand = 16,
    AnyCommand = 31
};

/** The command named name ("convert"), or NoCommand. */
CliCommand commandNamed(const QString& name);
/** Every command's name, separated by "、", for messages: "convert、dump、check、revise、diff". */
QString commandNames(unsigned commands = AnyCommand);

/**
 * One option of farewright-cli. The table of them, cliOptions(), is the one place that says which
 * options there are, which take a value and which commands accept them.
 */
struct CliOption {
    const char* name; ///< "output-dir", given as --output-dir
    char letter;      ///< the short form ('y' for -y), or 0
    bool takesValue;  ///< --name=VALUE or --name VALUE
    unsigned commands;
};

const QList<CliOption>& cliOptions();

/** A command line taken apart: the command, its operands and the options given. */
struct CommandLine {
    enum class Action {
        Run,     ///< run the command
        Help,    ///< --help came first
        Version, ///< --version came first
        Error    ///< the line is wrong; error says why
    };
    Action action = Action::Run;
    QString error;
    QString commandName; ///< as given; empty when there is none
    CliCommand command = NoCommand;
    QStringList operands;
    /** The options in the order given, each with its value (empty for a switch). */
    QList<std::pair<const CliOption*, QString>> options;

    bool has(const char* name) const;
    /** The value of the option's last occurrence; empty when it was not given. */
    QString value(const char* name) const;
};

/**
 * Takes a command line apart (the arguments after the program's name). Options may stand before
 * and after the command and its operands; "--" ends them; a lone "-" is an operand. An option
 * with a value takes it after "=" or as the next argument, whatever that holds ("--add -20").
 * --help and --version answer at once, whatever follows. The error (Japanese, one line) is an
 * unknown option, a missing or unwanted value, a missing or unknown command, or an option the
 * command does not accept; the operands are left to the command.
 */
CommandLine parseCommandLine(const QStringList& args);
