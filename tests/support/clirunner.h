#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

/** Runs the built farewright-cli (its path is compiled in) and reports how it ended. */
namespace CliRunner {

struct Result {
    int exitCode = -1;
    bool crashed = false;
    QString standardOutput;
    QString standardError;
};

/**
 * Runs farewright-cli with args, optionally through a wrapper program (for example setpriv or
 * unshare) given as its own argument list before the binary, its standard output optionally
 * into a file, its standard input optionally from one.
 */
inline Result run(const QStringList& args, const QStringList& wrapper = {},
                  const QString& outputFile = {}, const QString& inputFile = {})
{
    QProcess process;
    process.setProcessChannelMode(QProcess::SeparateChannels);
    if (!outputFile.isEmpty())
        process.setStandardOutputFile(outputFile);
    if (!inputFile.isEmpty())
        process.setStandardInputFile(inputFile);
    QStringList all = wrapper;
    all.append(QStringLiteral(FAREWRIGHT_CLI));
    all.append(args);
    process.start(all.takeFirst(), all);
    Result result;
    if (!process.waitForStarted(30000) || !process.waitForFinished(240000)) {
        process.kill();
        process.waitForFinished();
        result.crashed = true;
        result.standardError = QStringLiteral("did not start or did not finish");
        return result;
    }
    result.crashed = process.exitStatus() != QProcess::NormalExit;
    result.exitCode = process.exitCode();
    result.standardOutput = QString::fromUtf8(process.readAllStandardOutput());
    result.standardError = QString::fromUtf8(process.readAllStandardError());
    return result;
}

inline QString cliPath()
{
    return QStringLiteral(FAREWRIGHT_CLI);
}

} // namespace CliRunner
