#pragma once

#include "document/documentcommands.h"
#include "document/filecommands.h"
#include "edit/editcommands.h"
#include "edit/farerevision.h"
#include "model/faretable.h"
#include "model/tablehistory.h"
#include "windowplatform.h"

#include <QMainWindow>
#include <QVector>
#include <memory>

class CellEditor;
class CheckPanel;
class ComparePanel;
class FareSheet;
class PrintPlatform;
class QDockWidget;
class RevisionPlatform;
class QPrinter;
struct Command;
struct CommandTable;
class FareGridView;
class FindBar;
class QInputMethodEvent;
class QMenu;
class QSessionManager;
class QToolButton;
class StatusField;

/**
 * The main window: the menu bar, the toolbar strip (Picture1) with its 24 buttons (Command1),
 * the grid (MSFlexGrid1) showing the fare table, and the in-cell editor (Text1).
 *
 * The window owns the document and the state that lives from start-up to exit: the table, the
 * editing commands with their row and column buffers, and the file commands with the one file
 * dialog memory. It only routes user actions to those commands. Every dialog goes through the
 * platform it is given (Qt's own in the program, a scripted fake in the tests), the print
 * dialogs through the print platform and the fare revision's dialog through the revision
 * platform.
 *
 * Every command is defined once, in the window's command table (commandtable.h): one QAction per
 * menu item, named after it ("MnuCellInsDown"); the context menu's entries are separate actions
 * named with the suffix "Hide" and the toolbar's buttons run the same handler.
 *
 * Every change to the table is one step of its history, which the Edit menu undoes and redoes,
 * naming the step: each command run from a menu, a button or the context menu, the Delete key, a
 * dropped file, replacing, and each committed in-cell edit (a step of its own, also when a command
 * commits it). The status bar names the fare file, marks a table changed since it was loaded or
 * saved, and says where the current cell is.
 */
class Form1 : public QMainWindow {
    Q_OBJECT

public:
    Form1(Platform& platform, PrintPlatform& printing, RevisionPlatform& revising,
          QWidget* parent = nullptr);
    /**
     * A window whose print commands print nothing and whose fare revision revises nothing (their
     * dialogs are always cancelled).
     */
    explicit Form1(Platform& platform, QWidget* parent = nullptr);
    ~Form1() override;

    FareTable& table() { return m_table; }
    FileCommands& fileCommands() { return m_files; }
    DocumentCommands& documentCommands() { return m_document; }
    EditCommands& editCommands() { return m_edit; }
    TableHistory& history() { return m_history; }
    /** The find bar, made when first asked for (hidden until opened). */
    FindBar* findBar();
    FareGridView* grid() const { return MSFlexGrid1; }
    CellEditor* editor() const { return Text1; }
    /** The fare check's panel; null until the first check. */
    CheckPanel* checkPanel() const { return m_checkPanel; }
    /** The comparison's panel; null until the first comparison. */
    ComparePanel* comparePanel() const { return m_comparePanel; }

    /**
     * Opens the in-cell editor over the current cell. A typed printable character replaces the
     * cell's text; a control character or the blank (Enter, Esc, Backspace, Space, a double
     * click) keeps it, with the caret at its end. Heading cells are not edited.
     */
    void GridEdit(const QString& typed);
    /** Empties every ordinary cell. */
    void Data_Cls() { m_table.Data_Cls(); }

    /** The grid size, in twips, for a client area of the given size in twips. */
    static QSize gridSizeForClient(const QSize& clientTwips);

    /**
     * Where the cell (row, col) is, in the grid's words, as the status bar says it: "系統名称",
     * "停留所 12「市民病院前」 整理券 5", "停留所 12 整理券番号" (a stop without a name).
     */
    static QString describePlace(const FareTable& table, int row, int col);
    /**
     * Whether the table differs from what was last loaded or saved (or emptied by New): a step
     * since then that is not undone, or an edit open in the grid.
     */
    bool isModified() const;

    /**
     * The closing prompt of the close box, Exit and the end of the session (whether to save,
     * DocumentCommands::confirmClose). Returns whether the window may close. Once the session's
     * prompt has let the program end, the close that the end of the session brings does not ask
     * again, unless the table changed or an edit was opened in between.
     */
    bool Form_Unload();
    /**
     * The session is ending (logging out, shutting down). When the session manager lets the
     * program ask, runs the closing prompt; returns whether the session may go on.
     */
    bool sessionEnding(bool interactionAllowed);

public slots:
    void MnuFileNew();
    void MnuFileOpen();
    void MnuFileSave();
    void MnuFileSaveAs();
    void MnuFileTxtInport();
    void MnuFileSaveTxt();
    void MnuFilePrintPreview();
    void MnuFilePrint();
    void MnuFilePdf();
    void MnuFileExit();
    void MnuToolCheck();
    void MnuToolRevise();
    void MnuToolCompare();
    void MnuHelpManual();
    void MnuHelpVersion();
    // The Edit menu. While the in-cell editor has the focus, the first five act on its text.
    void MnuEditUndo();
    void MnuEditRedo();
    void MnuEditCut();
    void MnuEditCopy();
    void MnuEditPaste();
    void MnuEditFind();
    void MnuEditReplace();
    /** The toolbar: button index runs its menu item's handler; 3 and unknown indexes nothing. */
    void Command1_Click(int index);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createCommands();
    void createToolBar(const CommandTable& table);
    void runCommand(const Command& command);
    /** The command a toolbar button runs; null for the merge button and unknown indexes. */
    static const Command* commandOfButton(int index);

    void Form_Resize();
    void focusGrid();
    void MSFlexGrid1_RowColChange();
    void MSFlexGrid1_KeyDownDelete();
    void MSFlexGrid1_MouseDown(const QPoint& globalPos);
    void MSFlexGrid1_InputMethod(QInputMethodEvent* event);
    void MSFlexGrid1_OLEDragDrop(const QString& path);
    void commitData(QSessionManager& manager);
    void createStatusFields();
    void updateStatusBar();
    void createFindBar();
    void commitOpenEdit();
    /** Whether the Edit menu acts on the open in-cell editor's text. */
    bool editorIsTarget() const;
    /**
     * Undo and Redo follow the open editor's own text, or else the history, whose step they name.
     */
    void updateUndoActions();
    void showStatus(const QString& text);
    void findNext(bool backwards);
    void replaceOne();
    void replaceEverything();

    /** The printer of the session: A4 landscape until the print dialog chooses otherwise. */
    QPrinter& printer();
    /** Paints the fare sheet of the table onto printer; a failure is shown. */
    void printSheet(QPrinter& printer);
    /** The file name the sheet's footer shows: the document's file, if any. */
    QString documentFileName() const;
    /**
     * The fare sheet of the table with its footer's file name; while a comparison is shown and
     * still the table's, it marks what changed since the old table.
     */
    FareSheet fareSheet() const;
    /** Runs the fare check with the panel's rules and shows and tints what it found. */
    void runCheck();
    void showFindingCell(int row, int col);
    /** Compares the old table with the table and shows and tints the differences. */
    void runComparison();
    /** The panels made so far, to dock below the grid: the check's and the comparison's. */
    QList<QDockWidget*> panels() const;
    /** Docks a panel below the grid; panels there share the room as tabs. */
    void dockPanel(QDockWidget* panel);
    /** F6 and Shift+F6: the focus goes round the grid, the find bar and the panels. */
    void createPaneKeys();
    void focusNextPane(bool backwards);
    /**
     * While the find bar or a docked panel is shown, the grid keeps ten rows: the window grows for
     * them (within the screen) and goes back to its earlier size when they close.
     */
    void fitPanels();

    WindowPlatform m_platform;
    PrintPlatform& m_printing;
    RevisionPlatform& m_revising;
    FareRevision::Rule m_revisionRule; ///< the rule the revision's dialog starts with
    std::unique_ptr<QPrinter> m_printer;
    FareTable m_table;
    TableHistory m_history{m_table};
    EditCommands m_edit;
    FileCommands m_files;
    DocumentCommands m_document;

    QWidget* m_client = nullptr;
    QWidget* Picture1 = nullptr;
    FareGridView* MSFlexGrid1 = nullptr;
    CellEditor* Text1 = nullptr;
    QVector<QToolButton*> Command1;
    QMenu* MnuRow = nullptr;
    QMenu* MnuRetsu = nullptr;
    QMenu* MnuHideMnu = nullptr;
    FindBar* m_findBar = nullptr;
    CheckPanel* m_checkPanel = nullptr;
    ComparePanel* m_comparePanel = nullptr;
    std::unique_ptr<FareTable> m_oldTable; ///< the table compared with, as it was read
    QString m_oldTablePath;                ///< the file it was read from
    StatusField* m_statusFile = nullptr;
    StatusField* m_statusModified = nullptr;
    StatusField* m_statusCell = nullptr;
    bool m_sessionMayEnd = false;    ///< the session's prompt let the program end
    QSize m_sizeWithoutPanels;       ///< the window's size before the find bar or a panel opened
    QAction* m_undoAction = nullptr; ///< 元に戻す, named after the step it takes back
    QAction* m_redoAction = nullptr;
    QString m_undoCaption; ///< Undo's caption without a step
    QString m_redoCaption;
    QSize m_sizeWithPanels; ///< its size with them, as last fitted; invalid when closed
};
