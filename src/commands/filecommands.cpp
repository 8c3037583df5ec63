#include "filecommands.h"

#include "fileformats.h"
#include "text/textexport.h"
#include "text/textimport.h"

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

Outcome FileCommands::noteDocument(const QString& path, Outcome outcome)
{
    if (outcome == Outcome::Done)
        m_documentPath = path;
    return outcome;
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
    const FileOperation load = openLoaderForPath(*path);
    if (!load)
        return Outcome::Declined;
    return noteDocument(*path, load(m_table, m_platform, *path));
}

Outcome FileCommands::SaveFareFile()
{
    commitOpenEdit();
    const std::optional<QString> path = chooseToSave(saveFilters());
    if (!path)
        return Outcome::Declined;
    const FileOperation save = saveWriterForPath(*path);
    if (!save)
        return Outcome::Declined;
    return noteDocument(*path, save(m_table, m_platform, *path));
}

Outcome FileCommands::SaveText()
{
    commitOpenEdit();
    const std::optional<QString> path = chooseToSave(textSaveFilters());
    if (!path)
        return Outcome::Declined;
    return noteDocument(*path, exportText(m_table, m_platform, *path));
}

Outcome FileCommands::ImportText()
{
    commitOpenEdit();
    const std::optional<QString> path = chooseToOpen(textImportFilters());
    if (!path)
        return Outcome::Declined;
    return noteDocument(*path, LoadText(m_table, m_platform, *path));
}
