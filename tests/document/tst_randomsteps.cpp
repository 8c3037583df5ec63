// Undo and redo against a long random run of what users do: the cell, row and column commands
// (each delete question answered either way), typed texts, pastes, cuts, replace all, fare
// revisions and loads, each one step as the window makes it. Undoing the whole run gives back
// the first table and current cell exactly; redoing it gives back the last. The run comes from a
// seed, printed first; FAREWRIGHT_SEED=N repeats it. A failure names the shortest failing start
// of the run.
#include "document/filecommands.h"
#include "edit/blockedits.h"
#include "edit/clipboardtext.h"
#include "edit/editcommands.h"
#include "edit/farerevision.h"
#include "edit/findreplace.h"
#include "fakeplatform.h"
#include "files/binaryfile.h"
#include "model/bulkguards.h"
#include "model/tablehistory.h"
#include "testtables.h"
#include "text/textexport.h"

#include <QMetaMethod>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int RunLength = 3000;

enum class Kind { Command, Type, Paste, Cut, ReplaceAll, Revise, Load };

/** One thing the user does, starting from the cell (row, col). */
struct Action {
    Kind kind = Kind::Command;
    int row = 0;
    int col = 0;
    QByteArray command; ///< the editing command's slot
    bool yes = false;   ///< the answer to a delete question
    QString text;       ///< typed; the pasted tab text; searched for
    QString replacement;
    CellRange range; ///< cut; a paste's selection
    int choice = 0;  ///< the file loaded; the revision rule; the search options

    QString describe() const
    {
        static const char* const names[] = {"command", "typing", "paste",  "cut",
                                            "replace", "revise", "loading"};
        return QStringLiteral("%1 %2 at (%3, %4), text \"%5\", choice %6")
            .arg(QLatin1String(names[int(kind)]), QString::fromLatin1(command))
            .arg(row)
            .arg(col)
            .arg(text)
            .arg(choice);
    }
};

/** Rows and columns mostly where the data is, now and then anywhere, headings included. */
int anyRow(QRandomGenerator& random)
{
    return random.bounded(8) == 0 ? random.bounded(FareTable::RowCount) : random.bounded(14);
}

int anyCol(QRandomGenerator& random)
{
    return random.bounded(8) == 0 ? random.bounded(FareTable::ColCount) : random.bounded(9);
}

QString anyText(QRandomGenerator& random)
{
    static const char* const texts[] = {"",  "0",    "150",  "210円", "-5",    "停留所",
                                        "A", "東線", "12.5", " ",     "40000", "市民病院前"};
    return QString::fromUtf8(texts[random.bounded(int(std::size(texts)))]);
}

QList<Action> makeRun(quint32 seed)
{
    QRandomGenerator random(seed);
    QList<QByteArray> commands;
    const QMetaObject& meta = EditCommands::staticMetaObject;
    for (int i = meta.methodOffset(); i < meta.methodCount(); ++i)
        if (meta.method(i).methodType() == QMetaMethod::Slot &&
            meta.method(i).name().startsWith("Mnu"))
            commands << meta.method(i).name();
    QList<Action> run;
    for (int i = 0; i < RunLength; ++i) {
        Action a;
        const int dice = random.bounded(100);
        a.kind = dice < 60   ? Kind::Command
                 : dice < 75 ? Kind::Type
                 : dice < 85 ? Kind::Paste
                 : dice < 91 ? Kind::Cut
                 : dice < 95 ? Kind::ReplaceAll
                 : dice < 98 ? Kind::Revise
                             : Kind::Load;
        a.row = anyRow(random);
        a.col = anyCol(random);
        a.command = commands.at(random.bounded(int(commands.size())));
        a.yes = random.bounded(2) == 1;
        a.text = anyText(random);
        a.replacement = anyText(random);
        a.range = {anyRow(random), anyCol(random), 0, 0};
        a.range.bottom = a.range.top + random.bounded(4);
        a.range.right = a.range.left + random.bounded(4);
        a.choice = random.bounded(8);
        if (a.kind == Kind::Paste) {
            QStringList lines;
            for (int r = random.bounded(1, 4); r > 0; --r) {
                QStringList fields;
                for (int c = random.bounded(1, 4); c > 0; --c)
                    fields << anyText(random);
                lines << fields.join(u'\t');
            }
            a.text = lines.join(QStringLiteral("\r\n"));
        }
        run << a;
    }
    return run;
}

/** A route of twelve stops, the table every run starts from. */
void fillStart(FareTable& table)
{
    TestTables::fillFull(table, 12);
    table.SetCell(1, 1, QStringLiteral("東西線"));
    table.setCurrentCell(3, 4);
}

/** The first length actions of a run, then all undone and all redone. */
class Replay {
public:
    explicit Replay(const QStringList& files) : m_files(files) { fillStart(m_table); }

    /** What went wrong, or nothing. */
    QString check(const QList<Action>& run, int length)
    {
        const QStringList first = TestTables::snapshot(m_table);
        QPoint cellBefore(m_table.CurRow(), m_table.CurCol());
        QPoint cellAfter = cellBefore;
        int steps = 0;
        for (int i = 0; i < length; ++i) {
            m_table.setCurrentCell(run.at(i).row, run.at(i).col);
            const QPoint before(m_table.CurRow(), m_table.CurCol());
            const int undoCount = m_history.undoCount();
            perform(run.at(i));
            if (m_history.undoCount() != undoCount) {
                if (steps++ == 0)
                    cellBefore = before;
                cellAfter = QPoint(m_table.CurRow(), m_table.CurCol());
            }
        }
        if (m_history.undoCount() != steps || m_history.byteEstimate() > m_history.byteLimit())
            return QStringLiteral("%1 steps kept of %2").arg(m_history.undoCount()).arg(steps);
        const QStringList last = TestTables::snapshot(m_table);
        while (m_history.canUndo())
            m_history.undo();
        if (const QString wrong = mismatch(first, cellBefore); !wrong.isEmpty())
            return QStringLiteral("undone: ") + wrong;
        while (m_history.canRedo())
            m_history.redo();
        if (const QString wrong = mismatch(last, cellAfter); !wrong.isEmpty())
            return QStringLiteral("redone: ") + wrong;
        return QString();
    }

private:
    /** How the table differs from cells and the current cell from cell; nothing when alike. */
    QString mismatch(const QStringList& cells, QPoint cell) const
    {
        if (const QString diff = TestTables::differences(m_table, cells); !diff.isEmpty())
            return diff;
        if (QPoint(m_table.CurRow(), m_table.CurCol()) == cell)
            return QString();
        return QStringLiteral("the current cell is (%1, %2), not (%3, %4)")
            .arg(m_table.CurRow())
            .arg(m_table.CurCol())
            .arg(cell.x())
            .arg(cell.y());
    }

    void perform(const Action& a)
    {
        TableStep step(m_table);
        switch (a.kind) {
        case Kind::Command:
            m_platform.answers = {a.yes ? Platform::Answer::Yes : Platform::Answer::No};
            QMetaObject::invokeMethod(&m_commands, a.command.constData());
            break;
        case Kind::Type:
            if (!FareTable::isHeading(a.row, a.col))
                m_table.SetCell(a.row, a.col, a.text);
            break;
        case Kind::Paste:
            BlockEdits::paste(m_table, tabTextToBlock(a.text), a.row, a.col,
                              a.choice == 0 ? a.range : CellRange{a.row, a.col, a.row, a.col});
            break;
        case Kind::Cut:
            BlockEdits::clear(m_table, a.range);
            break;
        case Kind::ReplaceAll: {
            FindReplace::Options options;
            options.text = a.text;
            options.wholeCell = a.choice & 1;
            options.scope = FindReplace::Scope(a.choice % 3);
            FindReplace::replaceAll(m_table, options, a.replacement);
            break;
        }
        case Kind::Revise: {
            FareRevision::Rule rule;
            rule.numerator = a.choice % 2 ? 11 : 1;
            rule.denominator = a.choice % 2 ? 10 : 2;
            rule.rounding = FareRevision::Rounding(a.choice % 3);
            std::optional<CellRange> block;
            if (a.choice >= 4)
                block = a.range;
            FareRevision::apply(m_table, FareRevision::plan(m_table, rule, block));
            break;
        }
        case Kind::Load:
            m_fileCommands.loadFile(m_files.at(a.choice % m_files.size()));
            break;
        }
    }

    QStringList m_files;
    FareTable m_table;
    FakePlatform m_platform;
    TableHistory m_history{m_table};
    EditCommands m_commands{m_table, m_platform};
    FileCommands m_fileCommands{m_table, m_platform};
};

} // namespace

class TestRandomSteps : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void undoAndRedoTheWholeRun();

private:
    QTemporaryDir m_dir;
    QStringList m_files;
};

void TestRandomSteps::initTestCase()
{
    // Three small routes to load, one in each kind of file the commands read.
    const char* const routes[] = {"南北線,0 駅前,1,150 市役所,2,180,150",
                                  "循環線,0 A,1 B,2,200 C,3,230,200", "東線,5 X,1,100,,120"};
    const char* const names[] = {"a.Hy3", "b.Hyo", "c.txt"};
    FakePlatform platform;
    for (int i = 0; i < 3; ++i) {
        FareTable table;
        TestTables::fillRows(table, routes[i]);
        const QString path = m_dir.filePath(QString::fromLatin1(names[i]));
        const Outcome saved = i == 2   ? exportText(table, platform, path)
                              : i == 1 ? SaveHyo(table, platform, path)
                                       : SaveHy3(table, platform, path);
        QCOMPARE(saved, Outcome::Done);
        m_files << path;
    }
}

void TestRandomSteps::undoAndRedoTheWholeRun()
{
    bool fromEnvironment = false;
    const quint32 given = qEnvironmentVariableIntValue("FAREWRIGHT_SEED", &fromEnvironment);
    const quint32 seed = fromEnvironment ? given : QRandomGenerator::system()->generate();
    qInfo("seed %u (FAREWRIGHT_SEED=%u repeats this run)", seed, seed);
    const QList<Action> run = makeRun(seed);

    const QString failure = Replay(m_files).check(run, RunLength);
    if (failure.isEmpty())
        return;
    // The shortest start of the run that fails, by halving.
    int good = 0;
    int bad = RunLength;
    while (bad - good > 1) {
        const int middle = (good + bad) / 2;
        (Replay(m_files).check(run, middle).isEmpty() ? good : bad) = middle;
    }
    QFAIL(qPrintable(QStringLiteral("seed %1: %2. The first %3 actions fail (%4), the last being "
                                    "%5")
                         .arg(seed)
                         .arg(failure)
                         .arg(bad)
                         .arg(Replay(m_files).check(run, bad), run.at(bad - 1).describe())));
}

QTEST_GUILESS_MAIN(TestRandomSteps)
#include "tst_randomsteps.moc"
