#pragma once

#include "model/platform.h"
#include "printplatform.h"
#include "revisionplatform.h"

#include <QPointer>
#include <QString>
#include <QWidget>
#include <memory>

class QFileDialog;
class QMessageBox;

/**
 * The platform of the editor window: Qt's message boxes, file dialogs, print dialogs, the fare
 * revision's dialog and the version dialog (the only places the program opens a modal dialog), the
 * busy pointer and the event loop. The window itself adds its in-cell editor and its status bar
 * (see WindowPlatform), so commitOpenEdit() and showStatus() do nothing here.
 */
class WidgetsPlatform : public Platform, public PrintPlatform, public RevisionPlatform {
public:
    /** The window that owns the dialogs. */
    void setWindow(QWidget* window) { m_window = window; }

    Answer messageBox(const QString& text, const QString& title, Buttons buttons, Icon icon,
                      Answer defaultButton) override;
    std::optional<QString> openFileName(const QList<FileFilter>& filters,
                                        const QString& initialPath) override;
    std::optional<QString> saveFileName(const QList<FileFilter>& filters,
                                        const QString& initialPath) override;
    void setBusy(bool busy) override;
    void processEvents() override;
    void commitOpenEdit() override {}
    void showStatus(const QString&) override {}
    void showVersionDialog() override;
    bool openUrl(const QUrl& url) override;
    bool choosePrinter(QPrinter& printer) override;
    void previewPrint(QPrinter& printer, const std::function<void(QPrinter&)>& paint) override;
    std::optional<FareRevision::Rule> chooseRevision(const FareTable& table,
                                                     const std::optional<CellRange>& block,
                                                     const FareRevision::Rule& rule) override;

    /**
     * The message box that messageBox() shows: its texts are plain text (paths and cell texts
     * are shown as they are, never read as markup), CR LF line ends become line breaks.
     */
    static std::unique_ptr<QMessageBox> createMessageBox(const QString& text, const QString& title,
                                                         Buttons buttons, Icon icon,
                                                         Answer defaultButton, QWidget* parent);
    /**
     * The dialog that openFileName() shows. It accepts a name that does not exist: the loader
     * reports what is wrong with it.
     */
    static std::unique_ptr<QFileDialog>
    createOpenDialog(const QList<FileFilter>& filters, const QString& initialPath, QWidget* parent);

    /**
     * A filter list as Qt's file dialog takes it: "label (patterns)" per entry, patterns
     * separated by blanks, entries by ";;". The dialog shows the labels alone.
     */
    static QString qtNameFilters(const QList<FileFilter>& filters);

private:
    QPointer<QWidget> m_window;
    int m_busyDepth = 0;
};
