#include "commandline.h"

#include "model/messagetext.h"

#include <algorithm>

namespace {

struct CommandName {
    CliCommand command;
    const char* name;
};

const CommandName Commands[] = {
    {ConvertCommand, "convert"}, {DumpCommand, "dump"}, {CheckCommand, "check"},
    {ReviseCommand, "revise"},   {DiffCommand, "diff"},
};

/** The option written as arg ("--to", "-y"), or null. */
const CliOption* optionNamed(QStringView arg)
{
    for (const CliOption& option : cliOptions()) {
        if (arg.startsWith(QLatin1String("--"))
                ? arg.sliced(2) == QLatin1String(option.name)
                : arg.size() == 2 && option.letter != 0 && arg[1] == QLatin1Char(option.letter))
            return &option;
    }
    return nullptr;
}

CommandLine failed(CommandLine line, const QString& error)
{
    line.action = CommandLine::Action::Error;
    line.error = error;
    return line;
}

} // namespace

CliCommand commandNamed(const QString& name)
{
    for (const CommandName& command : Commands)
        if (name == QLatin1String(command.name))
            return command.command;
    return NoCommand;
}

QString commandNames(unsigned commands)
{
    QStringList names;
    for (const CommandName& command : Commands)
        if (commands & command.command)
            names.append(QLatin1String(command.name));
    return names.join(u'、');
}

const QList<CliOption>& cliOptions()
{
    static const QList<CliOption> options{
        {"yes", 'y', false, ConvertCommand | ReviseCommand},
        {"force", 0, false, ConvertCommand | ReviseCommand},
        {"output-dir", 0, true, ConvertCommand | ReviseCommand},
        {"to", 0, true, ConvertCommand},
        {"from", 0, true, ConvertCommand},
        {"fares", 0, false, CheckCommand},
        {"format", 0, true, CheckCommand | DiffCommand},
        {"multiply", 0, true, ReviseCommand},
        {"add", 0, true, ReviseCommand},
        {"round", 0, true, ReviseCommand},
        {"unit", 0, true, ReviseCommand},
        {"min", 0, true, ReviseCommand},
        {"help", 'h', false, AnyCommand},
        {"version", 'v', false, AnyCommand},
    };
    return options;
}

bool CommandLine::has(const char* name) const
{
    return std::any_of(options.cbegin(), options.cend(),
                       [name](const auto& given) { return qstrcmp(given.first->name, name) == 0; });
}

QString CommandLine::value(const char* name) const
{
    for (auto it = options.crbegin(); it != options.crend(); ++it)
        if (qstrcmp(it->first->name, name) == 0)
            return it->second;
    return QString();
}

CommandLine parseCommandLine(const QStringList& args)
{
    CommandLine line;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (optionsEnded || !arg.startsWith(u'-') || arg == QLatin1String("-")) {
            if (line.commandName.isNull())
                line.commandName = arg;
            else
                line.operands.append(arg);
            continue;
        }
        if (arg == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        const qsizetype equals = arg.startsWith(QLatin1String("--")) ? arg.indexOf(u'=') : -1;
        const QString written = equals < 0 ? arg : arg.first(equals);
        const CliOption* option = optionNamed(written);
        if (!option)
            return failed(line, QStringLiteral("不明なオプションです: %1").arg(briefQuote(arg)));
        QString value;
        if (option->takesValue) {
            if (equals >= 0)
                value = arg.sliced(equals + 1);
            else if (i + 1 < args.size())
                value = args[++i];
            else
                return failed(
                    line, QStringLiteral("%1 には値を指定してください（%1=値）。").arg(written));
        } else if (equals >= 0) {
            return failed(
                line,
                QStringLiteral("%1 には値を付けられません: %2").arg(written, briefQuote(arg)));
        }
        if (qstrcmp(option->name, "help") == 0) {
            line.action = CommandLine::Action::Help;
            return line;
        }
        if (qstrcmp(option->name, "version") == 0) {
            line.action = CommandLine::Action::Version;
            return line;
        }
        line.options.append({option, value});
    }
    if (line.commandName.isNull())
        return failed(line,
                      QStringLiteral("コマンドを指定してください（%1）。").arg(commandNames()));
    line.command = commandNamed(line.commandName);
    if (line.command == NoCommand)
        return failed(line,
                      QStringLiteral("不明なコマンドです: %1").arg(briefQuote(line.commandName)));
    for (const auto& [option, value] : std::as_const(line.options)) {
        if (!(option->commands & line.command))
            return failed(line,
                          QStringLiteral("--%1 は %2 にだけ使えます。")
                              .arg(QLatin1String(option->name), commandNames(option->commands)));
    }
    return line;
}
