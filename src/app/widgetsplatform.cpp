#include "widgetsplatform.h"

#include "about/frmabout.h"
#include "revisiondialog.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace {

QMessageBox::StandardButton standardButton(Platform::Answer answer)
{
    switch (answer) {
    case Platform::Answer::Ok:
        return QMessageBox::Ok;
    case Platform::Answer::Yes:
        return QMessageBox::Yes;
    case Platform::Answer::No:
        return QMessageBox::No;
    case Platform::Answer::Cancel:
        break;
    }
    return QMessageBox::Cancel;
}

QMessageBox::StandardButtons standardButtons(Platform::Buttons buttons)
{
    switch (buttons) {
    case Platform::Buttons::Ok:
        return QMessageBox::Ok;
    case Platform::Buttons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case Platform::Buttons::YesNoCancel:
        break;
    }
    return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
}

QMessageBox::Icon messageIcon(Platform::Icon icon)
{
    switch (icon) {
    case Platform::Icon::Exclamation:
        return QMessageBox::Warning;
    case Platform::Icon::Critical:
        return QMessageBox::Critical;
    case Platform::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

std::unique_ptr<QMessageBox>
WidgetsPlatform::createMessageBox(const QString& text, const QString& title, Buttons buttons,
                                  Icon icon, Answer defaultButton, QWidget* parent)
{
    // The program's texts end their lines with CR LF, as its files do.
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    auto box = std::make_unique<QMessageBox>(messageIcon(icon),
                                             title.isEmpty() ? applicationTitle() : title,
                                             QString(), standardButtons(buttons), parent);
    // Failure texts hold paths and cell texts: never read them as markup.
    box->setTextFormat(Qt::PlainText);
    box->setText(shown);
    box->setDefaultButton(standardButton(defaultButton));
    return box;
}

Platform::Answer WidgetsPlatform::messageBox(const QString& text, const QString& title,
                                             Buttons buttons, Icon icon, Answer defaultButton)
{
    const std::unique_ptr<QMessageBox> box =
        createMessageBox(text, title, buttons, icon, defaultButton, m_window);
    // The pointer is the arrow while the user answers, even inside a file operation.
    const bool busy = m_busyDepth > 0;
    if (busy)
        QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
    const int result = box->exec();
    if (busy)
        QGuiApplication::restoreOverrideCursor();
    switch (result) {
    case QMessageBox::Ok:
        return Answer::Ok;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        break;
    }
    // Closing a box without a Cancel button picks its escape button: No for Yes/No, else OK.
    return buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
}

QString WidgetsPlatform::qtNameFilters(const QList<FileFilter>& filters)
{
    QStringList entries;
    for (const FileFilter& filter : filters) {
        QString patterns = filter.patterns;
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        entries << QStringLiteral("%1 (%2)").arg(filter.label, patterns);
    }
    return entries.join(QLatin1String(";;"));
}

std::unique_ptr<QFileDialog> WidgetsPlatform::createOpenDialog(const QList<FileFilter>& filters,
                                                               const QString& initialPath,
                                                               QWidget* parent)
{
    auto dialog =
        std::make_unique<QFileDialog>(parent, QString(), initialPath, qtNameFilters(filters));
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    // A missing name is handed to the loader, which tells what is wrong with it. Qt's own dialog
    // allows that; a native one may insist that the file exists.
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setOptions(QFileDialog::HideNameFilterDetails | QFileDialog::DontUseNativeDialog);
    return dialog;
}

std::optional<QString> WidgetsPlatform::openFileName(const QList<FileFilter>& filters,
                                                     const QString& initialPath)
{
    const std::unique_ptr<QFileDialog> dialog = createOpenDialog(filters, initialPath, m_window);
    if (dialog->exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList chosen = dialog->selectedFiles();
    if (chosen.isEmpty() || chosen.first().isEmpty())
        return std::nullopt;
    return chosen.first();
}

std::optional<QString> WidgetsPlatform::saveFileName(const QList<FileFilter>& filters,
                                                     const QString& initialPath)
{
    // The dialog asks before an existing file is overwritten; no extension is added.
    const QString path =
        QFileDialog::getSaveFileName(m_window, QString(), initialPath, qtNameFilters(filters),
                                     nullptr, QFileDialog::HideNameFilterDetails);
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

void WidgetsPlatform::setBusy(bool busy)
{
    if (busy) {
        ++m_busyDepth;
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (m_busyDepth > 0) {
        --m_busyDepth;
        QGuiApplication::restoreOverrideCursor();
    }
}

void WidgetsPlatform::processEvents()
{
    QCoreApplication::processEvents();
}

void WidgetsPlatform::showVersionDialog()
{
    execVersionDialog(*this, m_window);
}

bool WidgetsPlatform::openUrl(const QUrl& url)
{
    return QDesktopServices::openUrl(url);
}

bool WidgetsPlatform::choosePrinter(QPrinter& printer)
{
    QPrintDialog dialog(&printer, m_window);
    dialog.setWindowTitle(QStringLiteral("印刷"));
    return dialog.exec() == QDialog::Accepted;
}

void WidgetsPlatform::previewPrint(QPrinter& printer, const std::function<void(QPrinter&)>& paint)
{
    QPrintPreviewDialog dialog(&printer, m_window);
    dialog.setWindowTitle(QStringLiteral("印刷プレビュー"));
    if (m_window)
        dialog.resize(m_window->size().expandedTo(QSize(900, 650)));
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&paint](QPrinter* target) { paint(*target); });
    dialog.exec();
}

std::optional<FareRevision::Rule>
WidgetsPlatform::chooseRevision(const FareTable& table, const std::optional<CellRange>& block,
                                const FareRevision::Rule& rule)
{
    RevisionDialog dialog(table, block, rule, m_window);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.rule();
}
