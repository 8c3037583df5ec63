#include "document/documentcommands.h"
#include "document/filecommands.h"
#include "fakeplatform.h"
#include "files/binarycodec.h"
#include "files/binaryfile.h"
#include "model/faretable.h"
#include "testtables.h"
#include "text/textexport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

using Answer = Platform::Answer;

/** The file and document commands over one table and a scripted platform. */
struct Fixture {
    FareTable table;
    FakePlatform platform;
    FileCommands files{table, platform};
    DocumentCommands document{table, platform, files};
};

Outcome runFileCommand(FileCommands& files, const QString& name)
{
    if (name == QLatin1String("open"))
        return files.OpenFareFile();
    if (name == QLatin1String("save"))
        return files.SaveFareFile();
    if (name == QLatin1String("saveText"))
        return files.SaveText();
    return files.ImportText();
}

} // namespace

class TestDocument : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void commandLine_data();
    void commandLine();
    void closingPrompt_data();
    void closingPrompt();
    void droppedFile_data();
    void droppedFile();
    void fileCommandRefusals_data();
    void fileCommandRefusals();
    void fileDialogs();
    void savedFileOpensAgain_data();
    void savedFileOpensAgain();
    void fareFileFollowsLoadsAndSaves_data();
    void fareFileFollowsLoadsAndSaves();
    void stampNoticesChanges_data();
    void stampNoticesChanges();

private:
    QTemporaryDir m_dir;
    /// a saved .Hy3 whose route name is "東西線", in a folder with a blank; the same table
    /// exported as text beside it, with ".csv" and ".TXT" appended to the name
    QString m_routeFile;
    QStringList m_routeTable;
};

void TestDocument::initTestCase()
{
    QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("with blank")));
    m_routeFile = m_dir.filePath(QStringLiteral("with blank/route.Hy3"));
    FareTable table;
    TestTables::fillFull(table, 4);
    table.SetCell(1, 1, QStringLiteral("東西線"));
    FakePlatform platform;
    QCOMPARE(SaveHy3(table, platform, m_routeFile), Outcome::Done);
    for (const char* text : {".csv", ".TXT"})
        QCOMPARE(exportText(table, platform, m_routeFile + QLatin1String(text)), Outcome::Done);
    m_routeTable = TestTables::snapshot(table);
}

void TestDocument::commandLine_data()
{
    QTest::addColumn<QString>("argument"); // "ROUTE" stands for the saved route file
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<bool>("loaded");
    QTest::addColumn<int>("messages");
    QTest::newRow("plain path") << "ROUTE" << Outcome::Done << true << 0;
    QTest::newRow("quoted path") << "\"ROUTE\"" << Outcome::Done << true << 0;
    QTest::newRow("text, csv") << "ROUTE.csv" << Outcome::Done << true << 0;
    QTest::newRow("text, upper-case TXT") << "ROUTE.TXT" << Outcome::Done << true << 0;
    QTest::newRow("nothing") << "" << Outcome::Declined << false << 0;
    QTest::newRow("unknown extension") << "/tmp/route.dat" << Outcome::Declined << false << 0;
    QTest::newRow("opening quote only") << "\"ROUTE" << Outcome::Declined << false << 0;
    QTest::newRow("two quotes") << "\"\"" << Outcome::Declined << false << 0;
    QTest::newRow("lone quote") << "\"" << Outcome::Failed << false << 1;
    QTest::newRow("missing file") << "/nonexistent/route.Hy3" << Outcome::Failed << false << 1;
}

void TestDocument::commandLine()
{
    QFETCH(QString, argument);
    QFETCH(Outcome, outcome);
    QFETCH(bool, loaded);
    QFETCH(int, messages);
    Fixture f;
    const QStringList empty = TestTables::snapshot(f.table);
    argument.replace(QStringLiteral("ROUTE"), m_routeFile);
    // The program's arguments split at every blank (the route's folder has one), as a shell
    // splits a path without quotes: they are joined again.
    const QStringList arguments =
        QStringList{QStringLiteral("farewright")} + argument.split(u' ', Qt::SkipEmptyParts);
    QCOMPARE(f.document.openCommandLine(DocumentCommands::argumentText(arguments)), outcome);
    QCOMPARE(TestTables::snapshot(f.table), loaded ? m_routeTable : empty);
    QCOMPARE(f.platform.messages.size(), messages);
    if (messages > 0) {
        QCOMPARE(f.platform.messages[0].title, QString());
        QCOMPARE(f.platform.messages[0].icon, Platform::Icon::None);
        QCOMPARE(f.platform.messages[0].buttons, Platform::Buttons::Ok);
    }
    QVERIFY(!f.table.isHidden());
    QCOMPARE(f.platform.busyDepth, 0);
}

void TestDocument::closingPrompt_data()
{
    QTest::addColumn<QList<Answer>>("answers");
    QTest::addColumn<QString>("chosen"); // empty: the Save As dialog is cancelled
    QTest::addColumn<bool>("routeNamed");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<bool>("written");
    // Yes closes when the save is done; what a save makes of each name is in fileCommandRefusals.
    const QList<Answer> yes{Answer::Yes};
    QTest::newRow("no") << QList<Answer>{Answer::No} << "" << true << true << false;
    QTest::newRow("cancel") << QList<Answer>{Answer::Cancel} << "" << true << false << false;
    QTest::newRow("yes, saved") << yes << "saved.Hy3" << true << true << true;
    QTest::newRow("yes, dialog cancelled") << yes << "" << true << false << false;
    QTest::newRow("yes, save failed") << yes << "saved.Hy3" << false << false << false;
}

void TestDocument::closingPrompt()
{
    QFETCH(QList<Answer>, answers);
    QFETCH(QString, chosen);
    QFETCH(bool, routeNamed);
    QFETCH(bool, closes);
    QFETCH(bool, written);
    QTemporaryDir dir;
    Fixture f;
    TestTables::fillFull(f.table, 3);
    if (!routeNamed)
        f.table.SetCell(1, 1, QString()); // nothing to store: the writer refuses
    const QStringList before = TestTables::snapshot(f.table);
    f.platform.answers = answers;
    if (!chosen.isEmpty())
        f.platform.fileAnswers << dir.filePath(chosen);

    QCOMPARE(f.document.confirmClose(), closes);
    const FakePlatform::Message& m = f.platform.messages.value(0);
    QCOMPARE(m.text, QStringLiteral("現在編集中のデータを保存しますか？"));
    QCOMPARE(m.title, QStringLiteral("保存の確認"));
    QCOMPARE(m.buttons, Platform::Buttons::YesNoCancel);
    QCOMPARE(m.icon, Platform::Icon::Exclamation);
    QCOMPARE(m.defaultButton, Answer::Yes);
    QCOMPARE(f.platform.dialogs.size(), answers[0] == Answer::Yes ? 1 : 0);
    QCOMPARE(!chosen.isEmpty() && QFile::exists(dir.filePath(chosen)), written);
    QCOMPARE(TestTables::snapshot(f.table), before);
}

void TestDocument::droppedFile_data()
{
    // New asks the same question as a drop: an empty path stands for New.
    QTest::addColumn<QString>("path"); // "ROUTE" stands for the saved route file
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<bool>("loaded");
    QTest::addColumn<QString>("lastMessageTitle");
    QTest::newRow("New, yes") << "" << Answer::Yes << Outcome::Done << true << "新規作成時の確認";
    QTest::newRow("New, no") << "" << Answer::No << Outcome::Declined << false
                             << "新規作成時の確認";
    QTest::newRow("fare table, yes")
        << "ROUTE" << Answer::Yes << Outcome::Done << true << "新規作成時の確認";
    QTest::newRow("fare table, no")
        << "ROUTE" << Answer::No << Outcome::Declined << false << "新規作成時の確認";
    QTest::newRow("document, yes")
        << "/tmp/letter.doc" << Answer::Yes << Outcome::Failed << false << "ドラッグされたファイル";
    QTest::newRow("document, no") << "/tmp/letter.doc" << Answer::No << Outcome::Declined << false
                                  << "新規作成時の確認";
    QTest::newRow("missing fare table, yes")
        << "/nonexistent/route.HY3" << Answer::Yes << Outcome::Failed << false << "";
}

void TestDocument::droppedFile()
{
    QFETCH(QString, path);
    QFETCH(Answer, answer);
    QFETCH(Outcome, outcome);
    QFETCH(bool, loaded);
    QFETCH(QString, lastMessageTitle);
    Fixture f;
    const QStringList empty = TestTables::snapshot(f.table);
    TestTables::fillTagged(f.table);
    const QStringList before = TestTables::snapshot(f.table);
    f.platform.answers << answer;
    path.replace(QStringLiteral("ROUTE"), m_routeFile);
    int committed = -1; // how often the open edit was committed by the question
    f.platform.beforeAsking = [&] {
        committed = f.platform.commitOpenEditCalls;
    };

    QCOMPARE(path.isEmpty() ? f.document.newDocument() : f.document.OpenDroppedFile(path), outcome);
    const FakePlatform::Message& m = f.platform.messages[0];
    QCOMPARE(m.text, QStringLiteral("現在編集中のデータはすべて消去されます。よろしいですか？"));
    QCOMPARE(m.title, QStringLiteral("新規作成時の確認"));
    QCOMPARE(m.buttons, Platform::Buttons::YesNo);
    QCOMPARE(m.icon, Platform::Icon::Exclamation);
    QCOMPARE(m.defaultButton, Answer::Yes);
    QCOMPARE(f.platform.processEventsCalls, path.isEmpty() ? 0 : 1);
    QCOMPARE(committed, 1);
    QCOMPARE(f.platform.messages.last().title, lastMessageTitle);
    if (lastMessageTitle == DocumentCommands::dropRefusalTitle()) {
        QCOMPARE(f.platform.messages.last().text,
                 QStringLiteral("ドラッグしたファイルは本ツールでは扱えません"));
        QCOMPARE(f.platform.messages.last().icon, Platform::Icon::Critical);
        QCOMPARE(f.platform.messages.last().buttons, Platform::Buttons::Ok);
    }
    QCOMPARE(TestTables::snapshot(f.table), !loaded          ? before
                                            : path.isEmpty() ? empty
                                                             : m_routeTable);
}

void TestDocument::fileCommandRefusals_data()
{
    // What the user chose in the dialog (empty: cancelled), the answers to the questions after
    // it, and what the command must come to: nothing written, the table as it was.
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QList<Answer>>("answers");
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<QString>("messageTitle"); // "-": no message at all
    auto row = [](const char* name, const char* command, const char* chosen,
                  Outcome outcome = Outcome::Declined, const QString& title = QStringLiteral("-"),
                  const QList<Answer>& answers = {}) {
        QTest::newRow(name) << command << chosen << answers << outcome << title;
    };
    for (const char* command : {"open", "save", "saveText", "import"})
        row(command, command, "");
    row("open text", "open", "route.txt");
    row("open backup", "open", "route.Hy3.bak");
    row("save csv", "save", "route.csv");
    row("save typed without extension", "save", "route");
    row("save short name", "save", "Hy3");
    row("older format refused", "save", "old.HYO", Outcome::Declined,
        olderFormatConfirmationTitle(), {Answer::No});
    row("open missing", "open", "missing.Hy3", Outcome::Failed, QString());
}

void TestDocument::fileCommandRefusals()
{
    QFETCH(QString, command);
    QFETCH(QString, chosen);
    QFETCH(QList<Answer>, answers);
    QFETCH(Outcome, outcome);
    QFETCH(QString, messageTitle);
    QTemporaryDir dir;
    const QString path = chosen.isEmpty() ? QString() : dir.filePath(chosen);
    Fixture f;
    TestTables::fillFull(f.table, 3);
    const QStringList before = TestTables::snapshot(f.table);
    if (!path.isEmpty())
        f.platform.fileAnswers << path;
    f.platform.answers = answers;

    QCOMPARE(runFileCommand(f.files, command), outcome);
    QCOMPARE(f.platform.commitOpenEditCalls, 1);
    QCOMPARE(f.platform.dialogs.size(), 1);
    QCOMPARE(f.platform.dialogs[0].save, command.startsWith(QLatin1String("save")));
    QCOMPARE(f.platform.messages.size(), messageTitle == QLatin1String("-") ? 0 : 1);
    if (!f.platform.messages.isEmpty())
        QCOMPARE(f.platform.messages[0].title, messageTitle);
    QCOMPARE(f.platform.busyDepth, 0);
    if (path.isEmpty())
        QCOMPARE(f.platform.busyCalls, 0);
    QCOMPARE(TestTables::snapshot(f.table), before);
    QVERIFY(QDir(dir.path()).isEmpty());
    QCOMPARE(f.files.lastPath(), path);
}

void TestDocument::fileDialogs()
{
    // Each dialog's filter list ("label|patterns|..."), and the path chosen last in any of them.
    const QString open =
        QStringLiteral("運賃表データ(*.Hy3)|*.Hy3|以前のバージョンの運賃表データ(*.Hyo)|*.Hyo|"
                       "以前のﾊﾞｰｼﾞｮﾝのCorvane用ﾃﾞｰﾀ(*.Hyp)|*.Hyp");
    const QString saveAs =
        QStringLiteral("運賃表データ(*.Hy3)|*.Hy3|以前のバージョンの運賃表データ(*.hyo)|*.Hyo|"
                       "以前のﾊﾞｰｼﾞｮﾝのCorvane用ﾃﾞｰﾀ(*.Hyp)|*.Hyp");
    const QString saveText =
        QStringLiteral("テキストファイル(*.txt)|*.txt|ｶﾝﾏ区切りCSVﾌｧｲﾙ(*.csv)|*.csv");
    const QString import = QStringLiteral("テキストファイル(*.txt;*.csv)|*.txt;*.csv");
    Fixture f;
    TestTables::fillFull(f.table, 3);
    const QString text = m_dir.filePath(QStringLiteral("shared.txt"));
    const QString other = m_dir.filePath(QStringLiteral("other"));

    f.platform.fileAnswers << text;
    f.files.SaveText();
    f.files.SaveFareFile(); // cancelled: the memory keeps the text file's name
    f.files.OpenFareFile();
    f.platform.fileAnswers << other;
    f.files.ImportText();
    f.files.OpenFareFile();

    QStringList initial;
    QStringList filters;
    for (const FakePlatform::Dialog& dialog : std::as_const(f.platform.dialogs)) {
        initial << dialog.initialPath;
        QStringList entries;
        for (const FileFilter& filter : dialog.filters)
            entries << filter.label << filter.patterns;
        filters << entries.join(u'|');
    }
    QCOMPARE(initial, QStringList({QString(), text, text, text, other}));
    QCOMPARE(filters, QStringList({saveText, saveAs, open, import, open}));
}

void TestDocument::savedFileOpensAgain_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("save"); // the save command; open or import reads the file back
    QTest::newRow("as offered") << "a.Hy3"
                                << "save";
    QTest::newRow("extension in mixed case") << "c.hY3"
                                             << "save";
    // The export writes its layout whatever the name; the import reads any name as text.
    QTest::newRow("text, any name") << "exported.dat"
                                    << "saveText";
}

void TestDocument::savedFileOpensAgain()
{
    QFETCH(QString, name);
    QFETCH(QString, save);
    const QString path = m_dir.filePath(name);
    const bool binary = save == QLatin1String("save");
    Fixture saving;
    TestTables::fillFull(saving.table, 3);
    saving.platform.fileAnswers << path;
    QCOMPARE(runFileCommand(saving.files, save), Outcome::Done);
    QVERIFY(saving.platform.messages.isEmpty());

    // Open repaints the window before it replaces the table.
    Fixture f;
    TestTables::fillTagged(f.table);
    f.platform.fileAnswers << path;
    QCOMPARE(runFileCommand(f.files, binary ? QStringLiteral("open") : QStringLiteral("import")),
             Outcome::Done);
    QCOMPARE(f.platform.processEventsCalls, binary ? 1 : 0);
    QVERIFY(f.platform.messages.isEmpty());
    QCOMPARE(TestTables::snapshot(f.table), TestTables::snapshot(saving.table));
}

void TestDocument::fareFileFollowsLoadsAndSaves_data()
{
    // Commands run in turn, each answered Yes and given its file (ROUTE: the saved route file,
    // else one in a fresh folder). Then "fare file|the sheet's file|how often the table became
    // what a file holds (or New emptied it)".
    QTest::addColumn<QString>("commands");
    QTest::addColumn<QString>("after");
    const char* rows[][3] = {
        {"opened", "open ROUTE", "route.Hy3|route.Hy3|1"},
        {"saved as, then exported", "open ROUTE|save b.Hyo|saveText c.txt", "b.Hyo|c.txt|2"},
        {"text import", "open ROUTE|import ROUTE.csv", "|route.Hy3.csv|2"},
        {"New", "line ROUTE|new", "||2"},
        {"dropped", "line ROUTE.TXT|drop ROUTE", "route.Hy3|route.Hy3|2"},
        {"text on the command line", "drop ROUTE|line ROUTE.csv", "|route.Hy3.csv|2"},
        {"failures keep it", "open ROUTE|open gone.Hy3|import gone.txt|drop gone.Hyp|save x.dat",
         "route.Hy3|route.Hy3|1"},
    };
    for (const auto& row : rows)
        QTest::newRow(row[0]) << row[1] << row[2];
}

void TestDocument::fareFileFollowsLoadsAndSaves()
{
    QFETCH(QString, commands);
    QFETCH(QString, after);
    QTemporaryDir dir;
    Fixture f;
    int settled = 0;
    f.files.setSavedStateListener([&settled] { ++settled; });
    for (const QString& command : commands.split(u'|')) {
        const QString verb = command.section(u' ', 0, 0);
        QString path = command.section(u' ', 1).replace(QStringLiteral("ROUTE"), m_routeFile);
        path = path.startsWith(u'/') ? path : dir.filePath(path);
        f.platform.answers = {Answer::Yes};
        f.platform.fileAnswers = {path};
        if (verb == QLatin1String("drop"))
            f.document.OpenDroppedFile(path);
        else if (verb == QLatin1String("line"))
            f.document.openCommandLine(path);
        else if (verb == QLatin1String("new"))
            f.document.newDocument();
        else
            runFileCommand(f.files, verb);
    }
    QCOMPARE(QStringList({QFileInfo(f.files.fareFilePath()).fileName(),
                          QFileInfo(f.files.documentPath()).fileName(), QString::number(settled)})
                 .join(u'|'),
             after);
    QCOMPARE(f.files.fareFileStamp().isNull(), after.startsWith(u'|'));
}

void TestDocument::stampNoticesChanges_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<int>("match"); // FileMatch
    QTest::newRow("none") << "" << int(FileMatch::Same);
    QTest::newRow("touched") << "touch" << int(FileMatch::Changed);
    QTest::newRow("other bytes, same size and time") << "rewrite" << int(FileMatch::Changed);
    QTest::newRow("deleted") << "delete" << int(FileMatch::Missing);
    QTest::newRow("a folder in its place") << "folder" << int(FileMatch::Changed);
}

void TestDocument::stampNoticesChanges()
{
    QFETCH(QString, change);
    QFETCH(int, match);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("stamped.Hy3"));
    const QByteArray name = QFile::encodeName(path);
    FareTable table;
    TestTables::fillFull(table, 3);
    FakePlatform platform;
    FileStamp written;
    FileStamp read;
    QCOMPARE(saveFareTable(table, platform, path, Hy3Layout, &written), Outcome::Done);
    QCOMPARE(loadBinary(table, platform, path, Hy3Layout, &read), Outcome::Done);
    QVERIFY(!written.isNull() && read == written); // as the writer and the loader saw it

    struct stat before {};
    QCOMPARE(::stat(name.constData(), &before), 0);
    QByteArray bytes = TestTables::readBytes(path);
    if (change == QLatin1String("rewrite") || change == QLatin1String("touch")) {
        bytes[0] = char(bytes[0] ^ (change == QLatin1String("rewrite") ? 1 : 0));
        QVERIFY(TestTables::writeBytes(path, bytes));
        // The time put back as it was, or one second later.
        timespec times[2] = {before.st_atim, before.st_mtim};
        times[1].tv_sec += change == QLatin1String("touch") ? 1 : 0;
        QCOMPARE(::utimensat(AT_FDCWD, name.constData(), times, 0), 0);
    } else if (!change.isEmpty()) {
        QVERIFY(QFile::remove(path));
        if (change == QLatin1String("folder"))
            QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("stamped.Hy3")));
    }
    QCOMPARE(int(compareWithStamp(path, written)), match);
}

QTEST_GUILESS_MAIN(TestDocument)
#include "tst_document.moc"
