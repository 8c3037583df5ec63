#include "filecommands.h"

#include "fileformats.h"
#include "files/binaryfile.h"
#include "io/pathbytes.h"
#include "model/messagetext.h"
#include "text/textexport.h"
#include "text/textimport.h"

#include <QFileInfo>

namespace {

/** The layout of the fare-table file path names; null for any other path. */
const BinaryLayout* fareFileLayout(const QString& path)
{
    const FileType* type = fileTypeForPath(path);
    return type ? type->layout : nullptr;
}

} // namespace

FileCommands::FileCommands(FareTable& table, Platform& platform)
    : m_table(table), m_platform(platform)
{
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
    const FileType* type = fileTypeForPath(path);
    if (!type)
        return Outcome::Declined;
    FileStamp stamp;
    if (type->layout)
        return settle(path, loadBinary(m_table, m_platform, path, *type->layout, &stamp), stamp);
    return settle(path, type->reader(m_table, m_platform, path), stamp);
}

Outcome FileCommands::writeFareFile(const QString& path)
{
    const BinaryLayout* layout = fareFileLayout(path);
    if (!layout)
        return Outcome::Declined;
    FileStamp stamp;
    return settle(path, saveFareTable(m_table, m_platform, path, *layout, &stamp), stamp);
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
    m_platform.commitOpenEdit();
    const std::optional<QString> path =
        chooseToOpen(fileFilters(FileKind::FareFile, FileAccess::Open));
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
    m_platform.commitOpenEdit();
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
    m_platform.commitOpenEdit();
    const std::optional<QString> path =
        chooseToSave(fileFilters(FileKind::FareFile, FileAccess::Save));
    if (!path)
        return Outcome::Declined;
    return writeFareFile(*path);
}

Outcome FileCommands::SaveText()
{
    m_platform.commitOpenEdit();
    const std::optional<QString> path = chooseToSave(fileFilters(FileKind::Text, FileAccess::Save));
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
    m_platform.commitOpenEdit();
    const std::optional<QString> path = chooseToOpen(fileFilters(FileKind::Text, FileAccess::Open));
    if (!path)
        return Outcome::Declined;
    return settle(*path, LoadText(m_table, m_platform, *path), FileStamp());
}
