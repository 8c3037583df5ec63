#include "commands/filecommands.h"
#include "fakeplatform.h"
#include "files/binaryfile.h"
#include "model/faretable.h"
#include "testtables.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

namespace {

using Command = std::function<Outcome(FileCommands&)>;

Command commandNamed(const QString& name)
{
    if (name == QLatin1String("open"))
        return &FileCommands::OpenFareFile;
    if (name == QLatin1String("save"))
        return &FileCommands::SaveFareFile;
    if (name == QLatin1String("saveText"))
        return &FileCommands::SaveText;
    return &FileCommands::ImportText;
}

/** A filter list as one text, "label|patterns|label|patterns", for readable comparisons. */
QString joined(const QList<FileFilter>& filters)
{
    QStringList parts;
    for (const FileFilter& filter : filters)
        parts << filter.label << filter.patterns;
    return parts.join(QLatin1Char('|'));
}

void fillSmallTable(FareTable& table)
{
    TestTables::fillFull(table, 3);
    table.SetCell(1, 1, QStringLiteral("東西線"));
}

} // namespace

class TestFileCommands : public QObject {
    Q_OBJECT

private slots:
    void dialogOfEachCommand_data();
    void dialogOfEachCommand();
    void cancelledDialogIsSilent_data();
    void cancelledDialogIsSilent();
    void unknownExtensionIsSilent_data();
    void unknownExtensionIsSilent();
    void lastPathIsSharedByAllDialogs();
    void saveChoosesWriterByExtensionAnyCase_data();
    void saveChoosesWriterByExtensionAnyCase();
    void olderFormatRefusedWritesNothing();
    void openReplacesTableAfterRepaint();
    void textCommandsIgnoreTheExtension();
    void failedOpenKeepsTable();

private:
    QTemporaryDir m_dir;
};

void TestFileCommands::dialogOfEachCommand_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("save");
    QTest::addColumn<QString>("filters");
    QTest::newRow("open") << "open" << false
                          << QStringLiteral(
                                 "運賃表データ(*.Hy3)|*.Hy3|以前のバージョンの運賃表データ(*."
                                 "Hyo)|*.Hyo|以前のﾊﾞｰｼﾞｮﾝのCorvane用ﾃﾞｰﾀ(*.Hyp)|*.Hyp");
    QTest::newRow("save as") << "save" << true
                             << QStringLiteral(
                                    "運賃表データ(*.Hy3)|*.Hy3|以前のバージョンの運賃表データ(*"
                                    ".hyo)|*.Hyo|以前のﾊﾞｰｼﾞｮﾝのCorvane用ﾃﾞｰﾀ(*.Hyp)|*.Hyp");
    QTest::newRow("save as text")
        << "saveText" << true
        << QStringLiteral("テキストファイル(*.txt)|*.txt|ｶﾝﾏ区切りCSVﾌｧｲﾙ(*.csv)|*.csv");
    QTest::newRow("text import") << "import" << false
                                 << QStringLiteral("テキストファイル(*.txt;*.csv)|*.txt;*.csv");
}

void TestFileCommands::dialogOfEachCommand()
{
    QFETCH(QString, command);
    QFETCH(bool, save);
    QFETCH(QString, filters);
    FareTable table;
    FakePlatform platform;
    FileCommands files(table, platform);
    commandNamed(command)(files);
    QCOMPARE(platform.dialogs.size(), 1);
    QCOMPARE(platform.dialogs[0].save, save);
    QCOMPARE(joined(platform.dialogs[0].filters), filters);
    QCOMPARE(platform.dialogs[0].initialPath, QString());
}

void TestFileCommands::cancelledDialogIsSilent_data()
{
    QTest::addColumn<QString>("command");
    for (const char* name : {"open", "save", "saveText", "import"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestFileCommands::cancelledDialogIsSilent()
{
    QFETCH(QString, command);
    FareTable table;
    fillSmallTable(table);
    const QStringList before = TestTables::snapshot(table);
    FakePlatform platform;
    FileCommands files(table, platform);
    QCOMPARE(commandNamed(command)(files), Outcome::Declined);
    QVERIFY(platform.messages.isEmpty());
    QCOMPARE(platform.busyCalls, 0);
    QCOMPARE(TestTables::snapshot(table), before);
    QCOMPARE(files.lastPath(), QString());
}

void TestFileCommands::unknownExtensionIsSilent_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("name");
    QTest::newRow("open text") << "open"
                               << "route.txt";
    QTest::newRow("open backup") << "open"
                                 << "route.Hy3.bak";
    QTest::newRow("save csv") << "save"
                              << "route.csv";
    QTest::newRow("save typed without extension") << "save"
                                                  << "route";
    QTest::newRow("save short name") << "save"
                                     << "Hy3";
}

void TestFileCommands::unknownExtensionIsSilent()
{
    QFETCH(QString, command);
    QFETCH(QString, name);
    const QString path = m_dir.filePath(name);
    QFile::remove(path);
    FareTable table;
    fillSmallTable(table);
    const QStringList before = TestTables::snapshot(table);
    FakePlatform platform;
    platform.fileAnswers << path;
    FileCommands files(table, platform);
    QCOMPARE(commandNamed(command)(files), Outcome::Declined);
    QVERIFY(platform.messages.isEmpty());
    QCOMPARE(TestTables::snapshot(table), before);
    QVERIFY(!QFile::exists(path));
    QCOMPARE(files.lastPath(), path);
}

void TestFileCommands::lastPathIsSharedByAllDialogs()
{
    FareTable table;
    fillSmallTable(table);
    FakePlatform platform;
    FileCommands files(table, platform);
    const QString text = m_dir.filePath(QStringLiteral("shared.txt"));
    const QString other = m_dir.filePath(QStringLiteral("other"));

    platform.fileAnswers << text;
    files.SaveText();
    files.SaveFareFile(); // cancelled: the memory keeps the text file's name
    files.OpenFareFile();
    platform.fileAnswers << other;
    files.ImportText();
    files.OpenFareFile();

    QStringList initial;
    for (const FakePlatform::Dialog& dialog : std::as_const(platform.dialogs))
        initial << dialog.initialPath;
    QCOMPARE(initial, QStringList({QString(), text, text, text, other}));
}

void TestFileCommands::saveChoosesWriterByExtensionAnyCase_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("as offered") << "a.Hy3";
    QTest::newRow("lower case") << "b.hy3";
    QTest::newRow("upper case") << "c.HY3";
}

void TestFileCommands::saveChoosesWriterByExtensionAnyCase()
{
    QFETCH(QString, name);
    const QString path = m_dir.filePath(name);
    FareTable table;
    fillSmallTable(table);
    FakePlatform platform;
    platform.fileAnswers << path;
    FileCommands files(table, platform);
    QCOMPARE(files.SaveFareFile(), Outcome::Done);
    QVERIFY(platform.messages.isEmpty());

    FareTable reread;
    QCOMPARE(LoadHy3(reread, platform, path), Outcome::Done);
    QCOMPARE(TestTables::snapshot(reread), TestTables::snapshot(table));
}

void TestFileCommands::olderFormatRefusedWritesNothing()
{
    const QString path = m_dir.filePath(QStringLiteral("old.HYO"));
    FareTable table;
    fillSmallTable(table);
    FakePlatform platform;
    platform.fileAnswers << path;
    platform.answers << Platform::Answer::No;
    FileCommands files(table, platform);
    QCOMPARE(files.SaveFareFile(), Outcome::Declined);
    QCOMPARE(platform.messages.size(), 1);
    QCOMPARE(platform.messages[0].title, olderFormatConfirmationTitle());
    QVERIFY(!QFile::exists(path));
}

void TestFileCommands::openReplacesTableAfterRepaint()
{
    const QString path = m_dir.filePath(QStringLiteral("route.hY3"));
    FareTable saved;
    fillSmallTable(saved);
    FakePlatform platform;
    QCOMPARE(SaveHy3(saved, platform, path), Outcome::Done);

    FareTable table;
    TestTables::fillTagged(table);
    platform.fileAnswers << path;
    FileCommands files(table, platform);
    QCOMPARE(files.OpenFareFile(), Outcome::Done);
    QCOMPARE(platform.processEventsCalls, 1);
    QVERIFY(platform.messages.isEmpty());
    QCOMPARE(TestTables::snapshot(table), TestTables::snapshot(saved));
}

void TestFileCommands::textCommandsIgnoreTheExtension()
{
    // The export writes its layout whatever the name; the import reads any name as text.
    const QString path = m_dir.filePath(QStringLiteral("exported.dat"));
    FareTable table;
    fillSmallTable(table);
    FakePlatform platform;
    platform.fileAnswers << path;
    FileCommands files(table, platform);
    QCOMPARE(files.SaveText(), Outcome::Done);
    QVERIFY(TestTables::readBytes(path).endsWith("\r\n"));

    FareTable imported;
    FileCommands importing(imported, platform);
    platform.fileAnswers << path;
    QCOMPARE(importing.ImportText(), Outcome::Done);
    QVERIFY(platform.messages.isEmpty());
    QCOMPARE(imported.text(1, 1), QStringLiteral("東西線"));
    QCOMPARE(imported.text(4, 1), table.text(4, 1));
}

void TestFileCommands::failedOpenKeepsTable()
{
    FareTable table;
    fillSmallTable(table);
    const QStringList before = TestTables::snapshot(table);
    FakePlatform platform;
    platform.fileAnswers << m_dir.filePath(QStringLiteral("missing.Hy3"));
    FileCommands files(table, platform);
    QCOMPARE(files.OpenFareFile(), Outcome::Failed);
    QCOMPARE(platform.messages.size(), 1);
    QCOMPARE(platform.messages[0].title, QString());
    QCOMPARE(TestTables::snapshot(table), before);
    QCOMPARE(platform.busyDepth, 0);
}

QTEST_GUILESS_MAIN(TestFileCommands)
#include "tst_filecommands.moc"
