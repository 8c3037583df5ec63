// The speed of every bulk operation on a full table (301 named rows of 20-character names, a
// ticket number and 150 fares each), each against its target. Prints Google Benchmark's table,
// then a summary of medians against targets; exits 1 when a target is missed.
#include "check/farecheck.h"
#include "cli/terminalplatform.h"
#include "compare/tablecompare.h"
#include "document/fileformats.h"
#include "edit/blockedits.h"
#include "edit/clipboardtext.h"
#include "edit/editcommands.h"
#include "edit/farerevision.h"
#include "files/binarycodec.h"
#include "files/binaryfile.h"
#include "io/fileio.h"
#include "io/tablerecords.h"
#include "model/bulkguards.h"
#include "model/faretable.h"
#include "model/tablehistory.h"
#include "text/textexport.h"
#include "text/textimport.h"
#include "timedrun.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#ifdef FAREWRIGHT_BENCH_WINDOW
#include "app/form1.h"
#include "sheet/faresheet.h"

#include <QAction>
#include <QApplication>
#endif
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

/** The name of stop row row: 20 characters. */
QString stopName(int row)
{
    return QStringLiteral("東西線停留所名称長い名前の例%1番目の").arg(row, 3, 10, QLatin1Char('0'));
}

/** Fills rows 1 to 301 as a full table: name, ticket number and 150 fares of 3 or 4 digits. */
void fillFull(FareTable& table)
{
    for (int row = 1; row <= FareTable::LastRow; ++row) {
        table.SetCell(row, FareTable::NameCol, stopName(row));
        table.SetCell(row, FareTable::TicketCol, row);
        for (int col = FareTable::FirstFareCol; col <= FareTable::LastCol; ++col)
            table.SetCell(row, col, (row * 7 + col * 13) % 9000 + 100);
    }
}

/** Everything one benchmark run shares: a full table, a platform, a folder for files. */
struct Fixture {
    FareTable table;
    TerminalPlatform platform{true}; ///< answers Yes; no benchmark may fail
    QTemporaryDir dir;
    QVector<QString> snapshot;

    Fixture()
    {
        fillFull(table);
        snapshot = table.readBlock(0, 0, FareTable::LastRow, FareTable::LastCol);
    }
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    /** Puts the full table back, headings included, and makes (row, col) current. */
    void restore(int row, int col)
    {
        table.writeBlock(0, 0, FareTable::LastRow, FareTable::LastCol, snapshot);
        table.setCurrentCell(row, col);
    }
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

/** A target: the median of benchmark `name` must not exceed limitMs. */
struct Target {
    std::string name;
    double limitMs;
};

std::vector<Target>& targets()
{
    static std::vector<Target> list;
    return list;
}

/**
 * Registers a benchmark of 9 repetitions. iterations > 0 fixes the iterations of each: needed
 * where every iteration first puts the table back, untimed, which costs more than the command.
 */
void add(const std::string& name, std::function<void(benchmark::State&)> body, double limitMs,
         int iterations = 0)
{
    benchmark::internal::Benchmark* b = benchmark::RegisterBenchmark(name.c_str(), std::move(body))
                                            ->Unit(benchmark::kMicrosecond)
                                            ->UseRealTime()
                                            ->Repetitions(9)
                                            ->ReportAggregatesOnly(true);
    if (iterations > 0)
        b->Iterations(iterations);
    if (limitMs > 0)
        targets().push_back({name, limitMs});
}

void check(benchmark::State& state)
{
    if (fixture().platform.failureCount() != 0)
        state.SkipWithError("an operation failed");
}

// The binary formats.

void registerBinaryFormat(const FileType& type)
{
    const std::string name(type.name);
    const BinaryLayout& layout = *type.layout;
    const FileOperation save = type.writer;
    const FileOperation load = type.reader;
    add(
        "Save" + name + " (without writing the file)",
        [&layout](benchmark::State& state) {
            Fixture& f = fixture();
            for (auto _ : state) {
                // What saveBinary does before it writes: collect, convert and encode.
                BusyPointer busy(f.platform);
                HiddenTable hidden(f.table);
                const int count = collectRowCount(f.table, layout.maxWriteRecords);
                const TableRecords rows =
                    readRecords(f.table, count, layout.fareCount, layout.hasTicketNo);
                BinaryCodec::Encoded encoded = BinaryCodec::encode(layout, rows.records);
                benchmark::DoNotOptimize(encoded.bytes.data());
            }
        },
        1.0);
    // The whole save and the file system's share of it, for the record: writing, syncing and
    // renaming vary with whatever else the disk is doing, so the target is judged above.
    const std::string fileName = "table." + name;
    add(
        "Save" + name,
        [save, fileName](benchmark::State& state) {
            Fixture& f = fixture();
            const QString path = f.path(fileName.c_str());
            for (auto _ : state)
                save(f.table, f.platform, path);
            check(state);
        },
        0);
    add(
        "write the " + name + " file alone",
        [save, fileName](benchmark::State& state) {
            Fixture& f = fixture();
            const QString path = f.path(fileName.c_str());
            save(f.table, f.platform, path);
            QFile file(path);
            file.open(QIODevice::ReadOnly);
            const QByteArray bytes = file.readAll();
            for (auto _ : state)
                benchmark::DoNotOptimize(FileIo::writeFileAtomically(path, bytes));
        },
        0);
    add(
        "Load" + name,
        [save, load, fileName](benchmark::State& state) {
            Fixture& f = fixture();
            const QString path = f.path(fileName.c_str());
            f.restore(1, 1);
            save(f.table, f.platform, path);
            for (auto _ : state)
                load(f.table, f.platform, path);
            check(state);
            f.restore(1, 1);
        },
        1.0);
}

// The editing commands, each from the cell where it has the most to move.

struct EditCase {
    const char* name;
    void (EditCommands::*command)();
    int row;
    int col;
};

const EditCase editCases[] = {
    {"MnuCellInsDown (row 2)", &EditCommands::MnuCellInsDown, 2, 5},
    {"MnuCellInsRight (column 3)", &EditCommands::MnuCellInsRight, 5, 3},
    {"MnuCellDeleteNormal", &EditCommands::MnuCellDeleteNormal, 5, 5},
    {"MnuCellDeleteLeft (column 1)", &EditCommands::MnuCellDeleteLeft, 5, 1},
    {"MnuCellDeleteUp (row 2)", &EditCommands::MnuCellDeleteUp, 2, 5},
    {"MnuCellUp", &EditCommands::MnuCellUp, 150, 5},
    {"MnuCellDown", &EditCommands::MnuCellDown, 150, 5},
    {"MnuCellLeft", &EditCommands::MnuCellLeft, 150, 80},
    {"MnuCellRight", &EditCommands::MnuCellRight, 150, 80},
    {"MnuEditLineCopy", &EditCommands::MnuEditLineCopy, 150, 5},
    {"MnuEditLinePaste", &EditCommands::MnuEditLinePaste, 150, 5},
    {"MnuEditLineIns (row 2)", &EditCommands::MnuEditLineIns, 2, 5},
    {"MnuEditLineDelete (row 2)", &EditCommands::MnuEditLineDelete, 2, 5},
    {"MnuRowDeleteNormal", &EditCommands::MnuRowDeleteNormal, 150, 5},
    {"MnuEditUp", &EditCommands::MnuEditUp, 150, 5},
    {"MnuEditDown", &EditCommands::MnuEditDown, 150, 5},
    {"MnuEditClumCopy", &EditCommands::MnuEditClumCopy, 5, 80},
    {"MnuEditClumPaste", &EditCommands::MnuEditClumPaste, 5, 80},
    {"MnuClumIns (column 3)", &EditCommands::MnuClumIns, 5, 3},
    {"MnuClumDeleteLeft (column 3)", &EditCommands::MnuClumDeleteLeft, 5, 3},
    {"MnuClumDeleteNormal", &EditCommands::MnuClumDeleteNormal, 5, 80},
    {"MnuClumLeft", &EditCommands::MnuClumLeft, 5, 80},
    {"MnuClumRight", &EditCommands::MnuClumRight, 5, 80},
};

void registerEditCommands()
{
    for (const EditCase& edit : editCases) {
        add(
            edit.name,
            [edit](benchmark::State& state) {
                Fixture& f = fixture();
                EditCommands commands(f.table, f.platform);
                // The paste has something to paste: the row and the column of a full table.
                f.restore(150, 80);
                commands.MnuEditLineCopy();
                commands.MnuEditClumCopy();
                for (auto _ : state) {
                    state.PauseTiming();
                    f.restore(edit.row, edit.col);
                    state.ResumeTiming();
                    (commands.*edit.command)();
                }
                check(state);
                f.restore(1, 1);
            },
            2.0, 200);
    }
}

// The text exchange.

void registerText()
{
    add(
        "exportText (without writing the file)",
        [](benchmark::State& state) {
            Fixture& f = fixture();
            for (auto _ : state) {
                // What exportText does before it writes: collect, read and encode.
                HiddenTable hidden(f.table);
                BusyPointer busy(f.platform);
                const int count = collectRowCount(f.table, FareTable::LastRow);
                const QVector<QString> cells = f.table.readBlock(1, 1, count, FareTable::LastCol);
                const TextExportBytes encoded = encodeTextRows(cells, count);
                benchmark::DoNotOptimize(encoded.bytes.data());
            }
        },
        2.0);
    add(
        "exportText",
        [](benchmark::State& state) {
            Fixture& f = fixture();
            const QString path = f.path("table.txt");
            for (auto _ : state)
                exportText(f.table, f.platform, path);
            check(state);
        },
        0);
    add(
        "write the text file alone",
        [](benchmark::State& state) {
            Fixture& f = fixture();
            const QString path = f.path("table.txt");
            exportText(f.table, f.platform, path);
            QFile file(path);
            file.open(QIODevice::ReadOnly);
            const QByteArray bytes = file.readAll();
            for (auto _ : state)
                benchmark::DoNotOptimize(FileIo::writeFileAtomically(path, bytes));
        },
        0);
    add(
        "LoadText",
        [](benchmark::State& state) {
            Fixture& f = fixture();
            const QString path = f.path("table.txt");
            f.restore(1, 1);
            exportText(f.table, f.platform, path);
            for (auto _ : state)
                LoadText(f.table, f.platform, path);
            check(state);
            f.restore(1, 1);
        },
        2.0);
}

// Undo, redo and the clipboard, on a full table with its history, as the window keeps them.

/** A full table whose every ordinary cell differs from the fixture's: what a load replaces. */
QVector<QString> otherTable()
{
    FareTable other;
    for (int row = 1; row <= FareTable::LastRow; ++row) {
        other.SetCell(row, FareTable::NameCol, stopName(row).replace(u'東', u'西'));
        other.SetCell(row, FareTable::TicketCol, row + 1);
        for (int col = FareTable::FirstFareCol; col <= FareTable::LastCol; ++col)
            other.SetCell(row, col, (row * 7 + col * 13) % 9000 + 101);
    }
    return other.readBlock(0, 0, FareTable::LastRow, FareTable::LastCol);
}

/** A table of its own with its history; the full table in it, (row, col) current. */
struct HistoryFixture {
    FareTable table;
    TableHistory history{table};

    HistoryFixture(int row, int col) { restore(row, col); }
    void restore(int row, int col)
    {
        // Outside any step: not recorded.
        table.writeBlock(0, 0, FareTable::LastRow, FareTable::LastCol, fixture().snapshot);
        table.setCurrentCell(row, col);
    }
};

/**
 * Undo and redo of one step, each timed alone: the other one puts the table back, untimed. The
 * step runs once, on the full table with (row, col) current.
 */
void addUndoRedo(const std::string& what, const std::function<void(FareTable&)>& step, int row,
                 int col, double limitMs)
{
    for (const bool redo : {false, true}) {
        add((redo ? "redo " : "undo ") + what,
            [step, row, col, redo](benchmark::State& state) {
                HistoryFixture h(row, col);
                {
                    TableStep recorded(h.table);
                    step(h.table);
                }
                if (h.history.undoCount() != 1) {
                    state.SkipWithError("the step changed nothing");
                    return;
                }
                if (redo)
                    h.history.undo();
                for (auto _ : state) {
                    if (redo)
                        h.history.redo();
                    else
                        h.history.undo();
                    state.PauseTiming();
                    if (redo)
                        h.history.undo();
                    else
                        h.history.redo();
                    state.ResumeTiming();
                }
                check(state);
            },
            limitMs, 200);
    }
}

void registerHistory()
{
    const QString loadPath = fixture().path("other.Hy3");
    {
        FareTable other;
        other.writeBlock(0, 0, FareTable::LastRow, FareTable::LastCol, otherTable());
        SaveHy3(other, fixture().platform, loadPath);
    }
    addUndoRedo(
        "of LoadHy3",
        [loadPath](FareTable& table) { LoadHy3(table, fixture().platform, loadPath); }, 1, 1, 2.0);
    for (const EditCase& edit : editCases) {
        if (edit.command == &EditCommands::MnuEditLineCopy ||
            edit.command == &EditCommands::MnuEditClumCopy)
            continue; // copies change no cell: nothing to undo
        addUndoRedo(
            std::string("of ") + edit.name,
            [edit](FareTable& table) {
                EditCommands commands(table, fixture().platform);
                (commands.*edit.command)();
            },
            edit.row, edit.col, 1.0);
    }
    add(
        "LoadHy3 as a step of the history (full history)",
        [loadPath](benchmark::State& state) {
            HistoryFixture h(1, 1);
            for (auto _ : state) {
                state.PauseTiming();
                h.restore(1, 1);
                state.ResumeTiming();
                TableStep recorded(h.table);
                LoadHy3(h.table, fixture().platform, loadPath);
            }
            check(state);
        },
        0, 200);

    // The clipboard: a full block of 301 x 152 cells.
    const CellRange all = FareTable::OrdinaryCells;
    add(
        "copy 301 x 152 cells (tab text and HTML)",
        [all](benchmark::State& state) {
            for (auto _ : state) {
                const CellBlock block = BlockEdits::read(fixture().table, all);
                benchmark::DoNotOptimize(blockToTabText(block).size());
                benchmark::DoNotOptimize(blockToHtml(block, all.left).size());
            }
        },
        0);
    add(
        "paste 301 x 152 cells (read the tab text, one step)",
        [all](benchmark::State& state) {
            FareTable other;
            other.writeBlock(0, 0, FareTable::LastRow, FareTable::LastCol, otherTable());
            const QString text = blockToTabText(BlockEdits::read(other, all));
            HistoryFixture h(1, 1);
            for (auto _ : state) {
                state.PauseTiming();
                h.restore(1, 1);
                state.ResumeTiming();
                TableStep recorded(h.table);
                BlockEdits::paste(h.table, tabTextToBlock(text), 1, 1, {1, 1, 1, 1});
            }
            if (h.table.text(FareTable::LastRow, FareTable::LastCol) !=
                other.text(FareTable::LastRow, FareTable::LastCol))
                state.SkipWithError("the paste did not arrive");
        },
        10.0, 100);
}

// The fare check and the printed sheet.

/**
 * A full table as a route would fill it: 300 stops, two to a ticket number, each with the fares
 * of every ticket issued so far, rising with the distance (33,900 fares; nothing to report).
 */
void fillPlausible(FareTable& table)
{
    table.SetCell(1, FareTable::NameCol, stopName(1));
    for (int s = 1; s <= FareTable::StopCount; ++s) {
        table.SetCell(s + 1, FareTable::NameCol, stopName(s + 1));
        table.SetCell(s + 1, FareTable::TicketCol, (s + 1) / 2);
        for (int k = 1; k <= (s + 1) / 2; ++k)
            table.SetCell(s + 1, FareTable::TicketCol + k, 150 + 10 * (s - 2 * k + 1));
    }
}

void registerCheckAndSheet()
{
    add(
        "fare check, every rule",
        [](benchmark::State& state) {
            FareTable table;
            fillPlausible(table);
            for (auto _ : state)
                benchmark::DoNotOptimize(FareCheck::checkTable(table).size());
            state.counters["findings"] = double(FareCheck::checkTable(table).size());
        },
        5.0);
    // The benchmarks' own full table breaks the fare rules in nearly every cell: what 55,000
    // warnings cost, for the record.
    add(
        "fare check of the arbitrary full table",
        [](benchmark::State& state) {
            Fixture& f = fixture();
            for (auto _ : state)
                benchmark::DoNotOptimize(FareCheck::checkTable(f.table).size());
            state.counters["findings"] = double(FareCheck::checkTable(f.table).size());
        },
        0);
#ifdef FAREWRIGHT_BENCH_WINDOW
    add(
        "fare sheet as PDF (without writing the file)",
        [](benchmark::State& state) {
            Fixture& f = fixture();
            int pages = 0;
            for (auto _ : state) {
                FareSheet sheet(f.table);
                sheet.setFileName(QStringLiteral("full.Hy3"));
                benchmark::DoNotOptimize(sheet.toPdf(&pages).size());
            }
            state.counters["pages"] = pages; // of A4, in the fonts installed
        },
        300.0);
#endif
}

// Fare revisions: revising every fare, comparing two tables.

/** The usual revision for a consumption-tax change: x 110/108, to the nearest 10 yen. */
FareRevision::Rule taxRule()
{
    FareRevision::Rule rule;
    FareRevision::setParameter(rule, FareRevision::Parameter::Multiply, u"110/108");
    return rule;
}

void registerRevisions()
{
    add(
        "fare revision of a full table (plan and apply, one step)",
        [](benchmark::State& state) {
            // A history with room for the step: what freeing the oldest step costs is measured
            // above (a load into a full history).
            FareTable table;
            std::optional<TableHistory> history;
            int changed = 0;
            for (auto _ : state) {
                state.PauseTiming();
                history.reset();
                table.writeBlock(0, 0, FareTable::LastRow, FareTable::LastCol, fixture().snapshot);
                table.setCurrentCell(150, 80);
                history.emplace(table);
                state.ResumeTiming();
                TableStep recorded(table);
                changed = FareRevision::apply(table, FareRevision::plan(table, taxRule()));
            }
            state.counters["changed"] = changed;
            if (changed < 40000 || history->undoCount() != 1 || table.CurRow() != 150 ||
                table.CurCol() != 80)
                state.SkipWithError("the revision did not arrive, or moved the current cell");
        },
        2.0, 200);
    add(
        "fare revision of a full table, the plan alone (the dialog's preview)",
        [](benchmark::State& state) {
            Fixture& f = fixture();
            for (auto _ : state)
                benchmark::DoNotOptimize(FareRevision::plan(f.table, taxRule()).changes.size());
        },
        0);
    // The new table: a stop inserted at stop 99 (the last one falls off the end), the tickets
    // renumbered from there, every fare revised: some 45,000 differences.
    const auto newTable = std::make_shared<FareTable>();
    newTable->writeBlock(0, 0, FareTable::LastRow, FareTable::LastCol, fixture().snapshot);
    newTable->insertRow(100);
    newTable->SetCell(100, FareTable::NameCol, QStringLiteral("新設停留所"));
    for (int row = 100; row <= FareTable::LastRow; ++row)
        newTable->SetCell(row, FareTable::TicketCol, row);
    FareRevision::apply(*newTable, FareRevision::plan(*newTable, taxRule()));
    add(
        "comparison of two full tables (a stop inserted, every fare revised)",
        [newTable](benchmark::State& state) {
            int differences = 0;
            for (auto _ : state)
                differences =
                    TableCompare::compareTables(fixture().table, *newTable).differences.size();
            state.counters["differences"] = differences;
        },
        5.0);
    add(
        "comparison of two full tables (a stop inserted)",
        [](benchmark::State& state) {
            FareTable other;
            other.writeBlock(0, 0, FareTable::LastRow, FareTable::LastCol, fixture().snapshot);
            other.insertRow(100);
            other.SetCell(100, FareTable::NameCol, QStringLiteral("新設停留所"));
            for (auto _ : state)
                benchmark::DoNotOptimize(
                    TableCompare::compareTables(fixture().table, other).differences.size());
        },
        0);
}

#ifdef FAREWRIGHT_BENCH_WINDOW
/**
 * The editing commands run from their menu items in the main window over a full table: the
 * command with the window's own reaction to it and, separately, until the window has painted
 * the result.
 */
void registerWindowCommands()
{
    for (const EditCase& edit : editCases) {
        for (const bool repainted : {false, true}) {
            std::string name = std::string(edit.name) + " in the window";
            if (repainted)
                name += ", repainted";
            add(
                name,
                [edit, repainted](benchmark::State& state) {
                    Fixture& f = fixture();
                    Form1 window(f.platform);
                    window.show();
                    QAction* action = window.findChild<QAction*>(
                        QString::fromLatin1(edit.name).section(u' ', 0, 0));
                    if (!action) {
                        state.SkipWithError("no such menu item");
                        return;
                    }
                    FareTable& table = window.table();
                    const auto restore = [&] {
                        table.writeBlock(0, 0, FareTable::LastRow, FareTable::LastCol, f.snapshot);
                        table.setCurrentCell(edit.row, edit.col);
                        QApplication::processEvents();
                    };
                    restore();
                    table.setCurrentCell(150, 80);
                    window.editCommands().MnuEditLineCopy();
                    window.editCommands().MnuEditClumCopy();
                    for (auto _ : state) {
                        state.PauseTiming();
                        restore();
                        state.ResumeTiming();
                        action->trigger();
                        if (repainted)
                            QApplication::processEvents();
                    }
                    check(state);
                },
                repainted ? 0 : 2.0, 30);
        }
    }
}
#endif

void registerAll()
{
    add(
        "Data_Cls",
        [](benchmark::State& state) {
            Fixture& f = fixture();
            for (auto _ : state) {
                state.PauseTiming();
                f.restore(1, 1);
                state.ResumeTiming();
                f.table.Data_Cls();
            }
            f.restore(1, 1);
        },
        0.3, 200);
    for (const FileType& type : fileTypes()) {
        if (type.kind() == FileKind::FareFile)
            registerBinaryFormat(type);
    }
    registerText();
    registerEditCommands();
    registerHistory();
    registerCheckAndSheet();
    registerRevisions();
#ifdef FAREWRIGHT_BENCH_WINDOW
    registerWindowCommands();
#endif
}

// farewright-cli over many files, with its start-up paid once.

/** Runs the built farewright-cli with args to its end: its time in ms, or -1 when it failed. */
double timedCli(const QStringList& args)
{
    return timedRun(QStringLiteral(FAREWRIGHT_CLI), args, 120000);
}

/**
 * check --fares over 100 full routes (300 stops, 150 tickets, plausible fares: nothing to report)
 * in one run, against 100 runs of one route each, taking turns: medians of rounds runs each. The
 * one run must take at most 0.4 times as long. Returns 1 when it does not, or a run failed.
 */
int benchCliBatch(int rounds)
{
    QTemporaryDir dir;
    FareTable table;
    fillPlausible(table);
    TerminalPlatform platform(true);
    QStringList files;
    for (int i = 1; i <= 100; ++i) {
        files.append(dir.filePath(QStringLiteral("route%1.Hy3").arg(i, 3, 10, QLatin1Char('0'))));
        if (SaveHy3(table, platform, files.last()) != Outcome::Done)
            return 1;
    }
    const QStringList check{QStringLiteral("check"), QStringLiteral("--fares")};
    std::vector<double> together;
    std::vector<double> apart;
    for (int round = 0; round <= rounds; ++round) { // round 0 warms the caches, unmeasured
        const double one = timedCli(check + files);
        double sum = 0;
        for (const QString& file : std::as_const(files)) {
            const double ms = timedCli(check + QStringList{file});
            if (ms < 0)
                return 1;
            sum += ms;
        }
        if (one < 0)
            return 1;
        if (round > 0) {
            together.push_back(one);
            apart.push_back(sum);
        }
    }
    const double one = median(together);
    const double hundred = median(apart);
    const double ratio = one / hundred;
    constexpr double limit = 0.4;
    std::printf("farewright-cli check --fares over 100 full routes: one run %.1f ms, 100 runs "
                "%.1f ms (%.2f ms each), ratio %.3f (limit %.2f) %s\n",
                one, hundred, hundred / 100, ratio, limit, ratio <= limit ? "ok" : "MISSED");
    return ratio <= limit ? 0 : 1;
}

/** Google Benchmark's console table, and the medians kept for the summary. */
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                // Every benchmark reports in microseconds.
                medianMs[run.run_name.function_name] = run.GetAdjustedRealTime() / 1000.0;
            }
        }
    }
    std::map<std::string, double> medianMs;
};

} // namespace

int main(int argc, char* argv[])
{
    // --cli-batch [ROUNDS]: farewright-cli over many files only.
    if (argc >= 2 && qstrcmp(argv[1], "--cli-batch") == 0) {
        QCoreApplication app(argc, argv);
        return benchCliBatch(argc >= 3 ? std::max(1, std::atoi(argv[2])) : 9);
    }
#ifdef FAREWRIGHT_BENCH_WINDOW
    // The window benchmarks draw off screen unless a display is there (run-bench gives Xvfb).
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
#else
    QCoreApplication app(argc, argv);
#endif
    // --write-full-table PATH: save the benchmarks' full table as PATH (by its extension) only.
    if (argc == 3 && qstrcmp(argv[1], "--write-full-table") == 0) {
        const QString path = QString::fromLocal8Bit(argv[2]);
        const FileType* type = fileTypeForPath(path);
        if (!type)
            return 1;
        return type->writer(fixture().table, fixture().platform, path) == Outcome::Done ? 0 : 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 2;
    if (stopName(1).size() != 20) {
        std::fprintf(stderr, "the stop names must be 20 characters long\n");
        return 2;
    }
    registerAll();
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\n%-48s %10s %10s  %s\n", "target (median, ms)", "measured", "limit", "");
    int missed = 0;
    for (const Target& target : targets()) {
        const auto it = reporter.medianMs.find(target.name);
        if (it == reporter.medianMs.end())
            continue; // filtered out
        const double measured = it->second;
        const bool ok = measured <= target.limitMs;
        missed += ok ? 0 : 1;
        std::printf("%-48s %10.3f %10.3f  %s\n", target.name.c_str(), measured, target.limitMs,
                    ok ? "ok" : "MISSED");
    }
    return missed == 0 ? 0 : 1;
}
