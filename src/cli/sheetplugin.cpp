#include "sheetplugin.h"

#include "io/pathbytes.h"
#include "model/faretable.h"
#include "sheetpdf/sheetpdfplugin.h"
#include "terminalplatform.h"
#include "version.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibrary>
#include <algorithm>

namespace SheetPlugin {

namespace {

const SheetPdfPlugin* loaded = nullptr;

#ifdef FAREWRIGHT_CLI_PDF
const QString fileName = QStringLiteral(FAREWRIGHT_SHEETPDF_FILE_NAME);

/** Where the plugin may lie, first choice first (see makeApplication()). */
QStringList searchPaths()
{
    // The program's folder, known before an application object exists.
    return FileIo::pathsIn(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath(),
                           {QStringLiteral("."), QStringLiteral(FAREWRIGHT_SHEETPDF_INSTALLED_DIR),
                            QStringLiteral(FAREWRIGHT_SHEETPDF_BUILD_DIR)},
                           fileName);
}
#endif

} // namespace

std::unique_ptr<QCoreApplication> makeApplication(int& argc, char* argv[])
{
#ifndef FAREWRIGHT_CLI_PDF
    Q_UNUSED(argc)
    Q_UNUSED(argv)
    printError(
        QStringLiteral("このビルドには PDF の出力がありません（画面なしでビルドされています）。"));
    return nullptr;
#else
    const QStringList candidates = searchPaths();
    const auto found = std::find_if(candidates.cbegin(), candidates.cend(),
                                    [](const QString& path) { return QFileInfo::exists(path); });
    if (found == candidates.cend()) {
        QString text =
            QStringLiteral("PDF を出力するためのプラグイン「%1」が見つかりません。探した場所：")
                .arg(fileName);
        for (const QString& candidate : candidates)
            text += u'\n' + FileIo::displayPath(candidate);
        printError(text);
        return nullptr;
    }
    // Kept loaded until the program ends: the application object comes from it.
    QLibrary library(*found);
    const QString shown = FileIo::displayPath(*found);
    if (!library.load()) {
        printError(QStringLiteral("PDF を出力するためのプラグイン「%1」を読み込めません（%2）。")
                       .arg(shown, library.errorString()));
        return nullptr;
    }
    const auto entry =
        reinterpret_cast<SheetPdfPluginFunction>(library.resolve(SheetPdfPluginEntry));
    const SheetPdfPlugin* plugin = entry ? entry() : nullptr;
    if (!plugin || qstrcmp(plugin->version, FAREWRIGHT_VERSION) != 0) {
        printError(QStringLiteral("「%1」は farewright-cli %2 の PDF のプラグインではありません。")
                       .arg(shown, QLatin1String(FAREWRIGHT_VERSION)));
        return nullptr;
    }
    loaded = plugin;
    return std::unique_ptr<QCoreApplication>(plugin->makeApplication(argc, argv));
#endif
}

Outcome writePdf(FareTable& table, Platform& platform, const QString& path, const QString& fileName)
{
    Q_ASSERT(loaded);
    const CellRange all = FareTable::OrdinaryCells;
    return loaded->writePdf(table.readBlock(all.top, all.left, all.bottom, all.right), platform,
                            path, fileName);
}

} // namespace SheetPlugin
