// The File and Help menus' handlers.
#include "about/helpmanual.h"
#include "comparepanel.h"
#include "form1.h"
#include "model/bulkguards.h"
#include "printplatform.h"
#include "sheet/faresheet.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPrinter>

void Form1::MnuFileNew()
{
    m_document.newDocument();
}

void Form1::MnuFileOpen()
{
    m_files.OpenFareFile();
}

void Form1::MnuFileSave()
{
    m_files.OverwriteFareFile();
}

void Form1::MnuFileSaveAs()
{
    m_files.SaveFareFile();
}

void Form1::MnuFileTxtInport()
{
    m_files.ImportText();
}

void Form1::MnuFileSaveTxt()
{
    m_files.SaveText();
}

QString Form1::documentFileName() const
{
    const QString& path = m_files.documentPath();
    return path.isEmpty() ? QString() : QFileInfo(path).fileName();
}

FareSheet Form1::fareSheet() const
{
    FareSheet sheet(m_table);
    sheet.setFileName(documentFileName());
    // The printout for approval shows what changed, while the comparison is open and current.
    if (m_comparePanel && !m_comparePanel->isHidden())
        if (const TableCompare::Comparison* comparison = m_comparePanel->currentComparison())
            sheet.markChanges(*comparison, m_comparePanel->oldFileName());
    return sheet;
}

QPrinter& Form1::printer()
{
    if (!m_printer) {
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        m_printer->setPageLayout(FareSheet::defaultPageLayout());
    }
    return *m_printer;
}

void Form1::printSheet(QPrinter& target)
{
    int pages = 0;
    {
        BusyPointer busy(m_platform);
        const FareSheet sheet = fareSheet();
        target.setDocName(sheet.title());
        pages = sheet.paint(target);
    }
    if (pages == 0)
        m_platform.showFailure(
            QStringLiteral("印刷できませんでした。プリンターの設定を確かめてください。"));
}

void Form1::MnuFilePrintPreview()
{
    m_platform.commitOpenEdit();
    m_printing.previewPrint(printer(), [this](QPrinter& target) { printSheet(target); });
}

void Form1::MnuFilePrint()
{
    m_platform.commitOpenEdit();
    if (m_printing.choosePrinter(printer()))
        printSheet(printer());
}

void Form1::MnuFilePdf()
{
    m_platform.commitOpenEdit();
    // Suggested beside the document's file, with its name; the shared file dialog memory of the
    // table's own files is left alone.
    QString suggested;
    if (const QFileInfo document(m_files.documentPath()); !document.fileName().isEmpty())
        suggested = document.dir().filePath(document.completeBaseName() + QStringLiteral(".pdf"));
    const std::optional<QString> path = m_platform.saveFileName(
        {{QStringLiteral("PDF ファイル(*.pdf)"), QStringLiteral("*.pdf")}}, suggested);
    if (path)
        exportFareSheetPdf(fareSheet(), m_table, m_platform, *path);
}

void Form1::MnuFileExit()
{
    // Exactly as the close box: the closing prompt decides.
    close();
}

void Form1::MnuHelpManual()
{
    HelpManual::open(m_platform, QCoreApplication::applicationDirPath());
}

void Form1::MnuHelpVersion()
{
    m_platform.showVersionDialog();
}
