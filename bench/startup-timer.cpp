// Times programs from their start to their first painted window, several runs each, taking
// turns, and reports medians and peak memory. A window counts as painted when Qt reports its
// first flush to the screen (logging category qt.widgets.painting, "Flushing top level").
//
// Usage: startup-timer [--runs N] [--settle MS] [--max-ratio R] [--max-peak-mib M]
//                      -- PROGRAM [ARG...] [-- PROGRAM [ARG...]]...
//        startup-timer --window-size -- PROGRAM [ARG...]
//                      (starts the program once and prints the size of its first painted
//                      window as WIDTHxHEIGHT, so that another can be shown at that size)
//        startup-timer --to-exit [--runs N] [--max-ratio R] -- PROGRAM [ARG...] -- ...
//                      (times programs without a window, such as farewright-cli --version,
//                      from their start to their end; no memory is read)
// Prints one line per program: median, fastest and slowest start-up in ms, and the median peak
// resident memory (VmHWM) in MiB, read --settle ms (default 500) after the first paint. Exits 1
// when the first program's median exceeds R times the second's, or its peak memory M MiB.
#include "timedrun.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

struct Command {
    QString program;
    QStringList args;
    std::vector<double> startMs;
    std::vector<double> peakMiB;
    /** The size of the first painted window, "WIDTHxHEIGHT". */
    QByteArray windowSize;
};

/** The peak resident memory of a running process in MiB, or -1. */
double peakResidentMiB(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return -1;
}

/** One run to the program's end; false when it failed or took over 60 seconds. */
bool runToExit(Command& command)
{
    const double ms = timedRun(command.program, command.args, 60000);
    if (ms < 0)
        return false;
    command.startMs.push_back(ms);
    command.peakMiB.push_back(0);
    return true;
}

/** One start; false when the program ended or did not paint within 60 seconds. */
bool runOnce(Command& command, int settleMs)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("qt.widgets.painting=true"));
    env.insert(QStringLiteral("QT_MESSAGE_PATTERN"), QStringLiteral("%{category} %{message}"));
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::MergedChannels);

    QElapsedTimer clock;
    clock.start();
    process.start(command.program, command.args);
    QByteArray seen;
    double painted = -1;
    while (painted < 0 && clock.elapsed() < 60000) {
        if (!process.waitForReadyRead(1000)) {
            if (process.state() == QProcess::NotRunning)
                break;
            continue;
        }
        seen += process.readAllStandardOutput();
        const qsizetype marker = seen.indexOf("qt.widgets.painting Flushing top level");
        if (marker >= 0) {
            painted = double(clock.nsecsElapsed()) / 1e6;
            // "Flushing top level QRegion(0,0 644x340) and ..."
            const qsizetype open = seen.indexOf("QRegion(", marker);
            const qsizetype space = seen.indexOf(' ', open);
            const qsizetype close = seen.indexOf(')', space);
            if (open >= 0 && space >= 0 && close > space)
                command.windowSize = seen.mid(space + 1, close - space - 1);
        }
        // Keep only the tail: the marker may be split between two reads.
        if (seen.size() > 4096)
            seen = seen.right(256);
    }
    if (painted >= 0) {
        QThread::msleep(settleMs);
        command.startMs.push_back(painted);
        command.peakMiB.push_back(peakResidentMiB(process.processId()));
    } else {
        std::fprintf(stderr, "startup-timer: %s did not paint a window (%s)\n%s\n",
                     qPrintable(command.program), qPrintable(process.errorString()),
                     seen.right(2000).constData());
    }
    process.kill();
    process.waitForFinished();
    return painted >= 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    int runs = 15;
    int settleMs = 500;
    double maxRatio = 0;
    double maxPeakMiB = 0;
    bool windowSizeOnly = false;
    bool toExit = false;
    std::vector<Command> commands;
    while (!args.isEmpty()) {
        const QString arg = args.takeFirst();
        if (arg == QLatin1String("--runs") && !args.isEmpty()) {
            runs = args.takeFirst().toInt();
        } else if (arg == QLatin1String("--settle") && !args.isEmpty()) {
            settleMs = args.takeFirst().toInt();
        } else if (arg == QLatin1String("--max-ratio") && !args.isEmpty()) {
            maxRatio = args.takeFirst().toDouble();
        } else if (arg == QLatin1String("--window-size")) {
            windowSizeOnly = true;
        } else if (arg == QLatin1String("--to-exit")) {
            toExit = true;
        } else if (arg == QLatin1String("--max-peak-mib") && !args.isEmpty()) {
            maxPeakMiB = args.takeFirst().toDouble();
        } else if (arg == QLatin1String("--")) {
            const qsizetype end = args.indexOf(QStringLiteral("--"));
            const QStringList words = args.mid(0, end < 0 ? args.size() : end);
            args = end < 0 ? QStringList() : args.mid(end);
            if (words.isEmpty())
                break;
            commands.push_back({words.first(), words.mid(1), {}, {}, {}});
        } else {
            std::fprintf(stderr, "usage: startup-timer [--runs N] [--settle MS] [--max-ratio R] "
                                 "[--max-peak-mib M] -- PROGRAM [ARG...] [-- PROGRAM "
                                 "[ARG...]]...\n");
            return 2;
        }
    }
    if (commands.empty() || runs < 1)
        return 2;

    if (windowSizeOnly) {
        Command& command = commands.front();
        if (!runOnce(command, 0))
            return 1;
        std::printf("%s\n", command.windowSize.constData());
        return 0;
    }
    const auto measure = [toExit](Command& command, int settle) {
        return toExit ? runToExit(command) : runOnce(command, settle);
    };
    // One unmeasured start each, so that every program starts with warm caches.
    for (Command& command : commands) {
        Command warmUp{command.program, command.args, {}, {}, {}};
        if (!measure(warmUp, 0))
            return 1;
    }
    for (int run = 0; run < runs; ++run)
        for (Command& command : commands)
            if (!measure(command, settleMs))
                return 1;

    for (const Command& command : commands) {
        const auto [fastest, slowest] =
            std::minmax_element(command.startMs.begin(), command.startMs.end());
        if (toExit) {
            std::printf("%-16s start to end median %6.2f ms (fastest %.2f, slowest %.2f)\n",
                        qPrintable(command.program.section(u'/', -1)), median(command.startMs),
                        *fastest, *slowest);
            continue;
        }
        std::printf("%-16s window %-9s start-up median %6.1f ms (fastest %.1f, slowest %.1f), "
                    "peak memory median %.1f MiB\n",
                    qPrintable(command.program.section(u'/', -1)), command.windowSize.constData(),
                    median(command.startMs), *fastest, *slowest, median(command.peakMiB));
    }
    int missed = 0;
    const Command& first = commands.front();
    const auto name = [](const Command& c) {
        return c.program.section(u'/', -1).toLocal8Bit();
    };
    if (commands.size() >= 2) {
        const double ratio = median(first.startMs) / median(commands[1].startMs);
        const bool ok = maxRatio <= 0 || ratio <= maxRatio;
        missed += ok ? 0 : 1;
        std::printf("start-up ratio %s / %s: %.2f", name(first).constData(),
                    name(commands[1]).constData(), ratio);
        if (maxRatio > 0)
            std::printf(" (limit %.2f) %s", maxRatio, ok ? "ok" : "MISSED");
        std::printf("\n");
    }
    if (maxPeakMiB > 0) {
        const double peak = median(first.peakMiB);
        const bool ok = peak <= maxPeakMiB;
        missed += ok ? 0 : 1;
        std::printf("peak memory of %s: %.1f MiB (limit %.1f) %s\n", name(first).constData(), peak,
                    maxPeakMiB, ok ? "ok" : "MISSED");
    }
    return missed == 0 ? 0 : 1;
}
