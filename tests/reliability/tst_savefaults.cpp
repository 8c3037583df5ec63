// Saves that fail: a full disk, a folder without write permission, a read-only target, a target
// that is a folder, a file-size limit, a cell that cannot be written. For every writer, each
// must report the failure once, in Japanese, and leave an existing target byte for byte as it
// was, with no file left behind. Then every kind of file a path can name, loaded and saved.
#include "clirunner.h"
#include "document/fileformats.h"
#include "fakeplatform.h"
#include "files/binaryfile.h"
#include "io/fileio.h"
#include "io/pathbytes.h"
#include "model/faretable.h"
#include "testtables.h"
#include "text/textexport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <cstring>
#include <sys/fsuid.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Writer {
    const char* name;
    const char* extension;
    FileOperation save;
};

const Writer writers[] = {
    {"Hy3", ".Hy3", SaveHy3},
    {"Hyo", ".Hyo", SaveHyo},
    {"Hyp", ".Hyp", SaveHyp},
    {"text", ".txt", exportText},
};

enum class Fault {
    ReadOnlyFolder,
    ReadOnlyFile,
    TargetIsFolder,
    MissingFolder,
    FullDisk,
    SmallFullDisk,
    FileSizeLimit,
    SmallFileSizeLimit,
    LinkedFileSizeLimit,
    CellContent
};

const QByteArray oldBytes("the target's previous content\r\n\x00\xff", 33);

/** Whether a failure message speaks Japanese, past the paths it quotes and the system's own
 *  words in parentheses. */
bool speaksJapanese(QString text)
{
    text.remove(QRegularExpression(QStringLiteral("「[^」]*」")));
    for (int error = 1; error < 134; ++error)
        text.remove(QStringLiteral("（%1）").arg(QString::fromLocal8Bit(std::strerror(error))));
    return !text.contains(QRegularExpression(QStringLiteral("[A-Za-z]")));
}

bool setMode(const QString& path, mode_t mode)
{
    return chmod(QFile::encodeName(path).constData(), mode) == 0;
}

constexpr uid_t Nobody = 65534;
/** The file-size limit the test started with. */
const rlimit noLimit = [] {
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    return limit;
}();

} // namespace

Q_DECLARE_METATYPE(Fault)
Q_DECLARE_METATYPE(const Writer*)

class TestSaveFaults : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void failedSaveKeepsTarget_data();
    void failedSaveKeepsTarget();
    void fileSizeLimitEndsNoProgram();
    void fileKinds_data();
    void fileKinds();

private:
    /** A .Hy3 file of a table with rows named rows (made once). */
    QString tableFile(int rows);
    QTemporaryDir m_dir;
    int m_folders = 0;
};

void TestSaveFaults::initTestCase()
{
    QVERIFY(m_dir.isValid());
    // Other users (nobody, below) may pass through the test's folder, but not write in it.
    QVERIFY(setMode(m_dir.path(), 0755));
}

QString TestSaveFaults::tableFile(int rows)
{
    const QString path = m_dir.filePath(QStringLiteral("table%1.Hy3").arg(rows));
    if (!QFile::exists(path)) {
        FareTable table;
        TestTables::fillFull(table, rows);
        FakePlatform platform;
        if (SaveHy3(table, platform, path) != Outcome::Done)
            return QString();
    }
    return path;
}

void TestSaveFaults::failedSaveKeepsTarget_data()
{
    QTest::addColumn<const Writer*>("writer");
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<int>("row"); // the cell given the text (CellContent only)
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("text");
    enum Writers { Hy3 = 1, Hyp = 4, Text = 8, Binary = 7, All = 15 };
    const auto add = [](Fault fault, int writerSet, const char* name, const char* reason,
                        int row = 0, int col = 0, const QString& text = {}) {
        for (int w = 0; w < 4; ++w)
            if (writerSet & (1 << w))
                QTest::addRow("%s, %s", writers[w].name, name)
                    << &writers[w] << fault << QString::fromUtf8(reason) << row << col << text;
    };
    // The target may be written, its folder not: no temporary file can be made beside it.
    add(Fault::ReadOnlyFolder, All, "folder without write permission",
        "保存先のフォルダーに書き込めないため保存できません。別の場所に保存してください。");
    // Root may write it, but the mode says nobody should: refused as for any user.
    add(Fault::ReadOnlyFile, All, "read-only target",
        "書き込み禁止のファイルのため上書きできません");
    add(Fault::TargetIsFolder, All, "target is a folder", "同じ名前のフォルダーがあるため");
    add(Fault::MissingFolder, All, "missing folder", "保存先のフォルダーが見つかりません");
    // A full table runs out of room while it is written; a small one fits into the file's
    // buffer and runs out of room only when the buffer is written out at the end.
    add(Fault::FullDisk, All, "full disk", "ディスクの空き容量が足りません");
    add(Fault::SmallFullDisk, All, "two rows onto a full disk", "ディスクの空き容量が足りません");
    add(Fault::FileSizeLimit, All, "file size limit",
        "ファイルの大きさの上限を超えるため書き込めません");
    // Two rows fit into the file's buffer: the limit is met only when the file is closed.
    add(Fault::SmallFileSizeLimit, All, "file size limit, small table", "上限を超えるため");
    // A file with two names is written in place, after its new size was found to fit.
    add(Fault::LinkedFileSizeLimit, All, "file size limit, two names", "上限を超えるため");
    // A cell that cannot be written stops the save there; long texts are quoted briefly.
    // (The text export writes cell texts as they are: a large number is no failure there.)
    add(Fault::CellContent, Binary, "overflowing fare",
        "停留所 2 の行の整理券 3 の運賃（3 行 5 列）の値「40000」は -32768 から 32767 "
        "までの範囲を超えています（オーバーフロー）。",
        3, 5, QStringLiteral("40000"));
    add(Fault::CellContent, Hy3 | Hyp, "overflowing ticket number",
        "停留所 1 の行の整理券番号（2 行 2 列）の値「1E9」", 2, 2, QStringLiteral("1E9"));
    add(Fault::CellContent, Binary, "long value", "」は -32768", 3, 10, u'1' + QString(99, u'0'));
    add(Fault::CellContent, Binary, "empty route name",
        "系統名称（1 行目の名称）が空欄です。系統名称を入力してから保存してください。", 1, 1);
    add(Fault::CellContent, All, "unencodable name",
        "に、Shift-JIS（コードページ 932）で保存できない文字「🚌」（U+1F68C）があります。", 3, 1,
        QString(60, u'駅') + QStringLiteral("🚌"));
    add(Fault::CellContent, Text, "unencodable last fare",
        "停留所 300 の行の整理券 150 の運賃（301 行 152 列）の「€5」に", FareTable::LastRow,
        FareTable::LastCol, QStringLiteral("€5"));
}

void TestSaveFaults::failedSaveKeepsTarget()
{
    QFETCH(const Writer*, writer);
    QFETCH(Fault, fault);
    QFETCH(QString, reason);
    QFETCH(int, row);
    QFETCH(int, col);
    QFETCH(QString, text);
    const Writer& w = *writer;

    QString folder = m_dir.filePath(QStringLiteral("case%1").arg(++m_folders));
    const bool fullDisk = fault == Fault::FullDisk || fault == Fault::SmallFullDisk;
    if (fullDisk && qEnvironmentVariableIsEmpty("FAREWRIGHT_FULL_DISK")) {
        // This row again, on a 16 KiB tmpfs in a mount namespace of our own, which vanishes
        // with the child process.
        QVERIFY(QDir().mkdir(folder));
        const QString mount = QStringLiteral("mount -t tmpfs -o size=16k farewright \"$0\"");
        if (QProcess::execute(QStringLiteral("unshare"),
                              {QStringLiteral("-rm"), QStringLiteral("sh"), QStringLiteral("-c"),
                               mount, folder}) != 0)
            QSKIP("unshare -rm cannot mount a tmpfs here (no user or mount namespaces)");
        QProcess child;
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(
            QStringLiteral("unshare"),
            {QStringLiteral("-rm"), QStringLiteral("sh"), QStringLiteral("-c"),
             mount + QStringLiteral(" && FAREWRIGHT_FULL_DISK=\"$0\" exec \"$1\" \"$2\""), folder,
             QCoreApplication::applicationFilePath(),
             QStringLiteral("failedSaveKeepsTarget:") + QLatin1String(QTest::currentDataTag())});
        QVERIFY(child.waitForFinished(240000));
        QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0,
                 child.readAll().constData());
        return;
    }
    if (fullDisk)
        folder = qEnvironmentVariable("FAREWRIGHT_FULL_DISK");
    else
        QVERIFY(QDir().mkdir(folder));
    QString target = folder + QStringLiteral("/target") + QLatin1String(w.extension);
    QStringList expectedFiles{QFileInfo(target).fileName()};
    if (fault == Fault::TargetIsFolder) {
        QVERIFY(QDir().mkdir(target));
        QVERIFY(TestTables::writeBytes(target + QStringLiteral("/inside"), oldBytes));
        expectedFiles.clear();
    } else if (fault == Fault::MissingFolder) {
        target = folder + QStringLiteral("/none/target.Hy3");
        expectedFiles.clear();
    } else {
        QVERIFY(TestTables::writeBytes(target, oldBytes));
    }
    if (fault == Fault::LinkedFileSizeLimit) {
        QVERIFY(link(QFile::encodeName(target).constData(),
                     QFile::encodeName(folder + QStringLiteral("/link"))) == 0);
        expectedFiles.prepend(QStringLiteral("link"));
    }
    if (fault == Fault::ReadOnlyFile)
        QVERIFY(setMode(target, 0444));

    if (fault == Fault::SmallFullDisk) { // the disk filled up to its last byte
        expectedFiles.prepend(QStringLiteral("filler"));
        QFile filler(folder + QStringLiteral("/filler"));
        QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        for (qsizetype block = 512; block > 0; block /= 512)
            while (filler.write(QByteArray(block, 'f')) > 0) {
            }
    }

    // A full table: 301 named rows, every fare set, large enough to fill a small disk.
    FareTable table;
    const bool small = fault == Fault::SmallFileSizeLimit || fault == Fault::SmallFullDisk;
    TestTables::fillFull(table, small ? 2 : FareTable::LastRow);
    if (fault == Fault::CellContent)
        table.SetCell(row, col, text);

    if (fault == Fault::ReadOnlyFolder)
        QVERIFY(setMode(target, 0666) && setMode(folder, 0555));
    FakePlatform platform;
    Outcome outcome;
    { // The fault's user and limit hold for the save only.
        const auto restore = qScopeGuard([&folder, oldHandler = std::signal(SIGXFSZ, SIG_IGN)] {
            setfsuid(0);
            setfsgid(0);
            setrlimit(RLIMIT_FSIZE, &noLimit);
            std::signal(SIGXFSZ, oldHandler);
            setMode(folder, 0700);
        });
        if (fault == Fault::ReadOnlyFolder && geteuid() == 0) {
            // Root may write anywhere: file access is checked as for nobody.
            setfsgid(Nobody);
            setfsuid(Nobody);
            QCOMPARE(setfsuid(uid_t(-1)), int(Nobody)); // (-1 only reports)
        }
        if (fault == Fault::FileSizeLimit || fault == Fault::SmallFileSizeLimit ||
            fault == Fault::LinkedFileSizeLimit) { // writes beyond the limit fail with EFBIG
            const rlimit limit{fault == Fault::FileSizeLimit ? 4096u : 100u, noLimit.rlim_max};
            QCOMPARE(setrlimit(RLIMIT_FSIZE, &limit), 0);
        }
        outcome = w.save(table, platform, target);
    }

    QCOMPARE(outcome, Outcome::Failed);
    QStringList failures;
    for (const FakePlatform::Message& message : std::as_const(platform.messages))
        if (message.buttons == Platform::Buttons::Ok)
            failures.append(message.text);
    QCOMPARE(failures.size(), 1);
    const QString& failure = failures.first();
    QVERIFY2(failure.contains(reason), qPrintable(failure));
    QVERIFY2(failure.startsWith(QStringLiteral("「%1」に保存できませんでした。\n").arg(target)) &&
                 failure.endsWith(QStringLiteral("\nファイルは変更していません。")),
             qPrintable(failure));
    if (fault != Fault::CellContent)
        QVERIFY2(speaksJapanese(failure), qPrintable(failure));
    else if (text.size() > 40) // quoted briefly: 40 characters, then "…"
        QVERIFY2(failure.contains(QStringLiteral("「%1…」").arg(text.left(40))),
                 qPrintable(failure));
    if (failure.contains(QStringLiteral("オーバーフロー"))) { // the save stopped at that cell
        QCOMPARE(table.CurRow(), row);
        QCOMPARE(table.CurCol(), col);
    }
    QCOMPARE(platform.busyDepth, 0);
    QVERIFY(!table.isHidden());

    if (fault == Fault::TargetIsFolder) {
        QVERIFY(QFileInfo(target).isDir());
        QCOMPARE(TestTables::readBytes(target + QStringLiteral("/inside")), oldBytes);
    } else if (fault != Fault::MissingFolder) {
        QCOMPARE(TestTables::readBytes(target), oldBytes);
    }
    // Hidden files too: a temporary file left behind would show here.
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System), expectedFiles);
}

void TestSaveFaults::fileSizeLimitEndsNoProgram()
{
    // Under a file-size limit (ulimit -f) a save must fail with its message: SIGXFSZ, which
    // would end the program and lose the table, is ignored by both programs.
    std::signal(SIGXFSZ, SIG_DFL); // as a shell starts them
    const QStringList limit{QStringLiteral("prlimit"), QStringLiteral("--fsize=4096")};
    const QString target = m_dir.filePath(QStringLiteral("limited.Hy3"));
    QVERIFY(TestTables::writeBytes(target, oldBytes));
    const CliRunner::Result cli =
        CliRunner::run({QStringLiteral("convert"), tableFile(FareTable::LastRow), target}, limit);
    QVERIFY2(!cli.crashed && cli.exitCode == 1 &&
                 cli.standardError.contains(QStringLiteral("書き込めません")),
             qPrintable(cli.standardError));
    QCOMPARE(TestTables::readBytes(target), oldBytes);
#ifdef FAREWRIGHT_EDITOR
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QProcess editor;
    editor.start(limit.first(), {limit.last(), QStringLiteral(FAREWRIGHT_EDITOR)});
    QVERIFY(editor.waitForStarted());
    const QString status = QStringLiteral("/proc/%1/status").arg(editor.processId());
    const auto ignored = [&status] {
        const QString line = QString::fromLatin1(TestTables::readBytes(status));
        const QString mask = line.section(QStringLiteral("SigIgn:"), 1).trimmed().left(16);
        return (mask.toULongLong(nullptr, 16) >> (SIGXFSZ - 1)) & 1;
    };
    QTRY_VERIFY_WITH_TIMEOUT(ignored(), 20000);
    editor.kill();
    editor.waitForFinished();
#endif
}

void TestSaveFaults::fileKinds_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QString>("setup"); // a shell command making t there from the old file "$1"
    QTest::addColumn<QString>("loadReason"); // empty: it loads
    QTest::addColumn<QString>("saveReason"); // empty: it saves
    const char* const copy = "cp \"$1\" t";
    const char* const fifo = "名前付きパイプ";
    const auto kind = [](const char* row, const QByteArray& name, const char* setup,
                         const char* loadReason, const char* saveReason) {
        QTest::newRow(row) << (name.isEmpty() ? QByteArray("target.Hy3") : name)
                           << QString::fromUtf8(setup) << QString::fromUtf8(loadReason)
                           << QString::fromUtf8(saveReason);
    };
    // Any name the file system takes, also when it is not UTF-8: a Shift-JIS name, and an
    // encoded surrogate, an overlong form, 0xFF and a byte-order mark, which must not be
    // taken for other names.
    kind("name of 255 bytes", QStringLiteral("東").repeated(83).toUtf8() + "ab.Hy3", copy, "", "");
    kind("Shift-JIS name", "\x93\x8C\x90\xFC.Hy3", copy, "", "");
    kind("undecodable name", "\xED\xB2\x80\xC0\xAF\xFF\xEF\xBB\xBF.Hy3", copy, "", "");
    // A saved file stays what it was: a link a link, a hard-linked file one file, its mode
    // and owner kept; one that nobody may write is not written.
    kind("symbolic link", "", "cp \"$1\" f && ln -s f t", "", "");
    kind("hard link", "", "cp \"$1\" t && ln t f", "", "");
    kind("setuid, setgid, owner", "",
         "cp \"$1\" t && { chown nobody:nogroup t 2>&-; chmod 6754 t; }", "", "");
    kind("read-only", "", "cp \"$1\" t && chmod 444 t", "", "書き込み禁止");
    // Only regular files are read or written, and nothing waits for a FIFO's other end.
    // (The messages quote a name holding ESC without steering the terminal.)
    kind("FIFO", "\x1b[31mred.Hy3", "mkfifo t", fifo, fifo);
    kind("link to a FIFO", "", "mkfifo f && ln -s f t", fifo, fifo);
    // (A null device of our own as root; the system's through a link otherwise.)
    kind("device", "", "mknod t c 1 3 2>&- || ln -s /dev/null t", "デバイス", "デバイス");
    kind("socket", "", "python3 -c 'import socket; socket.socket(socket.AF_UNIX).bind(\"t\")'",
         "ソケット", "ソケット");
}

void TestSaveFaults::fileKinds()
{
    QFETCH(QByteArray, name);
    QFETCH(QString, setup);
    QFETCH(QString, loadReason);
    QFETCH(QString, saveReason);
    const QString dir = m_dir.filePath(QStringLiteral("kind%1").arg(++m_folders));
    QVERIFY(QDir().mkdir(dir));
    const auto remove = qScopeGuard([&dir] {
        QProcess::execute(QStringLiteral("rm"), {QStringLiteral("-r"), dir});
    });
    const QByteArray bytes = QFile::encodeName(dir) + '/' + name;
    const QString path = FileIo::decodePath(bytes);
    QCOMPARE(QProcess::execute(QStringLiteral("sh"),
                               {QStringLiteral("-c"), QStringLiteral("cd \"$0\" && ") + setup, dir,
                                tableFile(2)}),
             0);
    QCOMPARE(rename(QFile::encodeName(dir + QStringLiteral("/t")).constData(), bytes.constData()),
             0);
    const auto status = [&bytes] {
        struct stat s {};
        return lstat(bytes.constData(), &s) == 0
                   ? QList<qint64>{s.st_mode, s.st_uid, s.st_gid, qint64(s.st_nlink)}
                   : QList<qint64>();
    };
    const QList<qint64> before = status();
    // Either it works without a word, or a message in Japanese says why not.
    const auto reports = [](const FakePlatform& platform, const QString& reason) {
        const QString text = platform.messageTexts().join(u'\n');
        return text.isEmpty() == reason.isEmpty() && text.contains(reason) &&
               speaksJapanese(text) && !text.contains(QChar(0x1b));
    };
    FareTable table;
    FakePlatform loading;
    QCOMPARE(LoadHy3(table, loading, path), loadReason.isEmpty() ? Outcome::Done : Outcome::Failed);
    QVERIFY2(reports(loading, loadReason), qPrintable(loading.messageTexts().join(u'\n')));
    const CliRunner::Result dump = CliRunner::run( // (the only *.Hy3 there)
        {QStringLiteral("dump"), dir}, {QStringLiteral("sh"), QStringLiteral("-c"),
                                        QStringLiteral(R"(cd "$2" && exec "$0" "$1" ./*.Hy3)")});
    QCOMPARE(dump.exitCode, loadReason.isEmpty() ? 0 : 1);
    FakePlatform dialog; // Qt's file dialog has U+FFFD for the bytes that are not UTF-8
    if (QString::fromUtf8(bytes) != path)
        QVERIFY(LoadHy3(table, dialog, QString::fromUtf8(bytes)) == Outcome::Failed &&
                dialog.messageTexts().value(0).contains(QStringLiteral("convmv")));

    TestTables::fillFull(table, 1);
    table.SetCell(2, 1, QString()); // one row: shorter than the old content
    FakePlatform saving;
    QCOMPARE(SaveHy3(table, saving, path), saveReason.isEmpty() ? Outcome::Done : Outcome::Failed);
    QVERIFY2(reports(saving, saveReason), qPrintable(saving.messageTexts().join(u'\n')));
    QCOMPARE(status(), before);
    if (setup.startsWith(QLatin1String("cp "))) // the old content, or the new in its place
        QCOMPARE(FileIo::readFile(path, 1 << 20).bytes,
                 TestTables::readBytes(tableFile(saveReason.isEmpty() ? 1 : 2)));
}

QTEST_GUILESS_MAIN(TestSaveFaults)
#include "tst_savefaults.moc"
