#include "sheetpdfplugin.h"

#include "model/faretable.h"
#include "sheet/faresheet.h"
#include "version.h"

#include <QGuiApplication>

namespace {

QCoreApplication* makeApplication(int& argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return new QGuiApplication(argc, argv);
}

Outcome writePdf(const QVector<QString>& cells, Platform& platform, const QString& path,
                 const QString& fileName)
{
    FareTable table;
    const CellRange all = FareTable::OrdinaryCells;
    table.writeBlock(all.top, all.left, all.bottom, all.right, cells);
    return exportFareSheetPdf(table, platform, path, fileName);
}

const SheetPdfPlugin plugin{FAREWRIGHT_VERSION, makeApplication, writePdf};

} // namespace

extern "C" Q_DECL_EXPORT const SheetPdfPlugin* farewright_sheetpdf_plugin()
{
    return &plugin;
}
