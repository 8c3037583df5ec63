#include "filecommands.h"

#include "fileformats.h"
#include "files/binaryfile.h"
#include "io/pathbytes.h"
#include "model/messagetext.h"
#include "text/textexport.h"
#include "text/textimport.h"

#include <QFileInfo>

FileCommands::FileCommands(FareTable& table, Platform& platform)
    : m_table(table), m_platform(platform)
{
}

QList<FileFilter> FileCommands::parseFilterList(const QString& list)
{
    const QStringList parts = list.split(QLatin1Char('|'));
    QList<FileFilter> filters;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        filters.append({parts[i], parts[i + 1]});
    return filters;
}

// The Open and Save As lists differ only in the second label: "(*.Hyo)" against "(*.hyo)".
QList<FileFilter> FileCommands::openFilters()
{
    return parseFilterList(
        QStringLiteral("運賃表データ(*.Hy3)|*.Hy3|以前のバージョンの運賃表データ(*.Hyo)|*.Hyo|"
                       "以前のﾊﾞｰｼﾞｮﾝのCorvane用ﾃﾞｰﾀ(*.Hyp)|*.Hyp"));
}

QList<FileFilter> FileCommands::saveFilters()
{
    return parseFilterList(
        QStringLiteral("運賃表データ(*.Hy3)|*.Hy3|以前のバージョンの運賃表データ(*.hyo)|*.Hyo|"
                       "以前のﾊﾞｰｼﾞｮﾝのCorvane用ﾃﾞｰﾀ(*.Hyp)|*.Hyp"));
}

QList<FileFilter> FileCommands::textSaveFilters()
{
    return parseFilterList(
        QStringLiteral("テキストファイル(*.txt)|*.txt|ｶﾝﾏ区切りCSVﾌｧｲﾙ(*.csv)|*.csv"));
}

QList<FileFilter> FileCommands::textImportFilters()
{
    return parseFilterList(QStringLiteral("テキストファイル(*.txt;*.csv)|*.txt;*.csv"));
}

QString FileCommands::overwriteQuestionTitle()
{
    return QStringLiteral("上書き保存の確認");
}

Outcome FileCommands::settle(const QString& path, Outcome outcome, const FileStamp& stamp)
{
    if (outcome != Outcome::Done)
        return outcome;
    m_documentPath = path;
    m_fareFilePath = stamp.isNull() ? QString() : path;
    m_fareFileStamp = stamp;
    if (m_savedState)
        m_savedState();
    return outcome;
}

void FileCommands::forgetDocument()
{
    settle(QString(), Outcome::Done, FileStamp());
}

Outcome FileCommands::loadFile(const QString& path)
{
    FileStamp stamp;
    if (const BinaryLayout* layout = fareFileLayout(path))
        return settle(path, loadBinary(m_table, m_platform, path, *layout, &stamp), stamp);
    if (FormatForPath(path) == FileFormat::Text)
        return settle(path, LoadText(m_table, m_platform, path), stamp);
    return Outcome::Declined;
}

Outcome FileCommands::writeFareFile(const QString& path)
{
    const BinaryLayout* layout = fareFileLayout(path);
    if (!layout)
        return Outcome::Declined;
    FileStamp stamp;
    return settle(path, saveFareTable(m_table, m_platform, path, *layout, &stamp), stamp);
}

void FileCommands::commitOpenEdit()
{
    // An edit still open in the current cell belongs to the table: giving the grid the focus
    // commits it before the table is saved, exported or replaced.
    m_platform.focusGrid();
}

std::optional<QString> FileCommands::chooseToOpen(const QList<FileFilter>& filters)
{
    std::optional<QString> path = m_platform.openFileName(filters, m_lastPath);
    if (path)
        m_lastPath = *path;
    return path;
}

std::optional<QString> FileCommands::chooseToSave(const QList<FileFilter>& filters)
{
    std::optional<QString> path = m_platform.saveFileName(filters, m_lastPath);
    if (path)
        m_lastPath = *path;
    return path;
}

Outcome FileCommands::OpenFareFile()
{
    commitOpenEdit();
    const std::optional<QString> path = chooseToOpen(openFilters());
    if (!path)
        return Outcome::Declined;
    // Let the window repaint where the dialog was before the load starts.
    m_platform.processEvents();
    if (!fareFileLayout(*path))
        return Outcome::Declined;
    return loadFile(*path);
}

Outcome FileCommands::OverwriteFareFile()
{
    commitOpenEdit();
    if (m_fareFilePath.isEmpty())
        return SaveFareFile();
    const FileMatch match = compareWithStamp(m_fareFilePath, m_fareFileStamp);
    if (match != FileMatch::Same) {
        // Someone else's work (another program, a colleague on a shared folder) is not
        // overwritten unasked.
        const QString name = briefQuote(FileIo::displayPath(QFileInfo(m_fareFilePath).fileName()));
        const QString question =
            match == FileMatch::Missing
                ? QStringLiteral("「%1」は、この表を読み込んだ後か最後に保存した後に、削除されたか"
                                 "名前が変わっています。\nこの名前で保存しますか？")
                : QStringLiteral("「%1」は、この表を読み込んだ後か最後に保存した後に、ほかの"
                                 "プログラムなどで書き換えられています。\n上書きすると、その変更は"
                                 "失われます。上書き保存しますか？");
        if (m_platform.messageBox(question.arg(name), overwriteQuestionTitle(),
                                  Platform::Buttons::YesNo, Platform::Icon::Exclamation,
                                  Platform::Answer::No) != Platform::Answer::Yes)
            return Outcome::Declined;
    }
    return writeFareFile(m_fareFilePath);
}

Outcome FileCommands::SaveFareFile()
{
    commitOpenEdit();
    const std::optional<QString> path = chooseToSave(saveFilters());
    if (!path)
        return Outcome::Declined;
    return writeFareFile(*path);
}

Outcome FileCommands::SaveText()
{
    commitOpenEdit();
    const std::optional<QString> path = chooseToSave(textSaveFilters());
    if (!path)
        return Outcome::Declined;
    // An export: the fare file and the saved state stay; the sheet names the text file.
    const Outcome outcome = exportText(m_table, m_platform, *path);
    if (outcome == Outcome::Done)
        m_documentPath = *path;
    return outcome;
}

Outcome FileCommands::ImportText()
{
    commitOpenEdit();
    const std::optional<QString> path = chooseToOpen(textImportFilters());
    if (!path)
        return Outcome::Declined;
    return settle(*path, LoadText(m_table, m_platform, *path), FileStamp());
}
