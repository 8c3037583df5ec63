#pragma once
// What the benchmark programs share: timing a program run to its end, and the median of times.

#include <QElapsedTimer>
#include <QProcess>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <vector>

/** The median of values. */
inline double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n == 0 ? 0 : (n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2);
}

/**
 * Runs program with args to its end, its output thrown away: its time in ms, or -1 when it did
 * not end within timeoutMs or ended with a failure (then its error output is printed).
 */
inline double timedRun(const QString& program, const QStringList& args, int timeoutMs)
{
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    process.start(program, args);
    const bool ended = process.waitForFinished(timeoutMs);
    const double ms = double(clock.nsecsElapsed()) / 1e6;
    if (!ended || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        std::fprintf(stderr, "%s %s failed (%s)\n%s\n", qPrintable(program),
                     qPrintable(args.join(u' ')), qPrintable(process.errorString()),
                     process.readAllStandardError().constData());
        process.kill();
        process.waitForFinished();
        return -1;
    }
    return ms;
}
