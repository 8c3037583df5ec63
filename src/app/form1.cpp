#include "form1.h"

#include "celleditor.h"
#include "checkpanel.h"
#include "comparepanel.h"
#include "edit/blockedits.h"
#include "faregridview.h"
#include "findbar.h"
#include "gui/twips.h"
#include "model/bulkguards.h"
#include "printplatform.h"
#include "revisionplatform.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QIcon>
#include <QInputMethodEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPrinter>
#include <QSessionManager>
#include <QStatusBar>
#include <cstdlib>

namespace {

// Geometry in twips.
constexpr int ClientWidth = 9660;
constexpr int ClientHeight = 4830;
constexpr int ToolbarHeight = 405;
constexpr int GridLeft = -15;
constexpr int GridTop = 390;

/** Whether a typed text replaces the cell's text: anything but a control character or blank. */
bool replacesCellText(const QString& typed)
{
    if (typed.isEmpty())
        return false;
    const char16_t code = typed.front().unicode();
    return code > 32 && code != 127;
}

/** The window's dialogs when it is given none: the print and revision dialogs are always
 *  cancelled. */
class NoDialogs : public PrintPlatform, public RevisionPlatform {
public:
    bool choosePrinter(QPrinter&) override { return false; }
    void previewPrint(QPrinter&, const std::function<void(QPrinter&)>&) override {}
    std::optional<FareRevision::Rule> chooseRevision(const FareTable&,
                                                     const std::optional<CellRange>&,
                                                     const FareRevision::Rule&) override
    {
        return std::nullopt;
    }
};

NoDialogs& noDialogs()
{
    static NoDialogs none;
    return none;
}

} // namespace

Form1::Form1(Platform& platform, QWidget* parent)
    : Form1(platform, noDialogs(), noDialogs(), parent)
{
}

Form1::Form1(Platform& platform, PrintPlatform& printing, RevisionPlatform& revising,
             QWidget* parent)
    : QMainWindow(parent),
      // The core's commands commit an open edit the classic way, by giving the grid the focus, and
      // so leave the focus on the grid.
      m_platform(
          platform, [this] { focusGrid(); }, [this](const QString& text) { showStatus(text); }),
      m_printing(printing), m_revising(revising), m_edit(m_table, m_platform),
      m_files(m_table, m_platform), m_document(m_table, m_platform, m_files)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Kestrelworks Farewright"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/farewright.png")));

    const Twips twips = Twips::ofPrimaryScreen();
    m_client = new QWidget(this);
    setCentralWidget(m_client);
    Picture1 = new QWidget(m_client);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setGeometry(0, 0, twips.toPixelsX(ClientWidth), twips.toPixelsY(ToolbarHeight));
    MSFlexGrid1 = new FareGridView(m_table, m_client);
    MSFlexGrid1->move(twips.toPixelsX(GridLeft), twips.toPixelsY(GridTop));
    Text1 = new CellEditor(
        m_table, m_platform, [this] { focusGrid(); }, MSFlexGrid1->viewport());

    createCommands();
    createPaneKeys();
    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    createStatusFields();
    // A load, a save to a fare file, a text import and New make the table's saved state.
    m_files.setSavedStateListener([this] { m_history.markClean(); });

    // Committing the editor: when the grid gets the focus and when the current cell is left.
    connect(MSFlexGrid1, &FareGridView::gotFocus, Text1, &CellEditor::commit);
    connect(&m_table, &FareTable::cellAboutToBeLeft, Text1, &CellEditor::commit);
    connect(&m_table, &FareTable::currentCellChanged, this, &Form1::MSFlexGrid1_RowColChange);
    connect(&m_edit, &EditCommands::moved, this, &Form1::focusGrid);
    connect(MSFlexGrid1, &FareGridView::characterTyped, this, &Form1::GridEdit);
    connect(MSFlexGrid1, &FareGridView::cellDoubleClicked, this,
            [this] { GridEdit(QStringLiteral(" ")); });
    connect(MSFlexGrid1, &FareGridView::deletePressed, this, &Form1::MSFlexGrid1_KeyDownDelete);
    connect(MSFlexGrid1, &FareGridView::contextMenuRequested, this, &Form1::MSFlexGrid1_MouseDown);
    connect(MSFlexGrid1, &FareGridView::inputMethodTyped, this, &Form1::MSFlexGrid1_InputMethod);
    connect(MSFlexGrid1, &FareGridView::fileDropped, this, &Form1::MSFlexGrid1_OLEDragDrop);
    connect(Text1, &LongLineEdit::partShown, this,
            [this](qsizetype start, qsizetype length, qsizetype total) {
                showStatus(QStringLiteral(
                               "長い文字列のため、%L1 文字のうち %L2～%L3 文字目を表示しています")
                               .arg(total)
                               .arg(start + 1)
                               .arg(start + length));
            });
    MSFlexGrid1_RowColChange();
    // While the editor is open, Undo and Redo follow its own text.
    Text1->installEventFilter(this);
    connect(Text1, &QLineEdit::textChanged, this, &Form1::updateUndoActions);

    // Logging out or shutting down asks as the close box does. The answer holds only for the
    // table as it was when asked.
    connect(qGuiApp, &QGuiApplication::commitDataRequest, this, &Form1::commitData,
            Qt::DirectConnection);
    const auto forgetSessionAnswer = [this] {
        m_sessionMayEnd = false;
    };
    connect(&m_table, &FareTable::cellChanged, this, forgetSessionAnswer);
    connect(&m_table, &FareTable::contentReset, this, forgetSessionAnswer);

    m_client->installEventFilter(this);
    const QSize client = twips.toPixels(QSize(ClientWidth, ClientHeight));
    const int menuHeight =
        qMax(menuBar()->sizeHint().height(), menuBar()->heightForWidth(client.width()));
    // The menu bar and the status bar lie outside the client area.
    resize(client.width(), client.height() + menuHeight + statusBar()->sizeHint().height());
    MSFlexGrid1->setFocus();
}

Form1::~Form1()
{
    // The grid reads the table until it is gone: destroy the widgets before the document.
    delete m_client;
}

QSize Form1::gridSizeForClient(const QSize& clientTwips)
{
    // The absolute values keep both sizes non-negative for a very small or minimised window.
    return QSize(std::abs(clientTwips.width() - 2), std::abs(clientTwips.height() - 370));
}

void Form1::Form_Resize()
{
    const Twips twips = Twips::ofPrimaryScreen();
    MSFlexGrid1->resize(twips.toPixels(gridSizeForClient(twips.toTwips(m_client->size()))));
    // The toolbar strip stays aligned along the top of the client area.
    Picture1->resize(m_client->width(), Picture1->height());
}

bool Form1::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (watched == m_client && type == QEvent::Resize)
        Form_Resize();
    else if (watched == Text1 && (type == QEvent::Show || type == QEvent::Hide))
        updateUndoActions();
    else if ((type == QEvent::Show || type == QEvent::Hide) &&
             (watched == m_findBar || panels().contains(qobject_cast<QDockWidget*>(watched)))) {
        // The size to go back to: the window's before the first of them opened.
        if (type == QEvent::Show && !m_sizeWithPanels.isValid())
            m_sizeWithoutPanels = m_sizeWithPanels = size();
        fitPanels();
    }
    return QMainWindow::eventFilter(watched, event);
}

void Form1::focusGrid()
{
    MSFlexGrid1->setFocus(Qt::OtherFocusReason);
    // The focus notification commits; commit here too in case the window is not active and the
    // notification does not come.
    Text1->commit();
}

void Form1::GridEdit(const QString& typed)
{
    const int row = m_table.CurRow();
    const int col = m_table.CurCol();
    // Headings are not the user's to edit (the current cell can be one after a row or column
    // command).
    if (FareTable::isHeading(row, col))
        return;
    m_sessionMayEnd = false;
    Text1->open(m_table.text(row, col), MSFlexGrid1->currentCellRect(), MSFlexGrid1->font(),
                col < FareTable::TicketCol);
    // The typed character replaces the text as the box's own edit, which its undo takes back.
    if (replacesCellText(typed)) {
        Text1->selectAll();
        Text1->insert(typed);
    }
}

void Form1::MSFlexGrid1_RowColChange()
{
    MnuRetsu->menuAction()->setEnabled(m_table.CurCol() > FareTable::NameCol);
    MnuRow->menuAction()->setEnabled(m_table.CurRow() > FareTable::RouteRow);
}

void Form1::MSFlexGrid1_KeyDownDelete()
{
    TableStep step(m_table, QStringLiteral("削除"));
    BlockEdits::clear(m_table, MSFlexGrid1->selectedRange());
}

void Form1::MSFlexGrid1_MouseDown(const QPoint& globalPos)
{
    MnuHideMnu->popup(globalPos);
}

void Form1::MSFlexGrid1_InputMethod(QInputMethodEvent* event)
{
    // Japanese typed on the grid opens the editor; the composition continues in it, and its
    // first character replaces the cell's text (selected, so that the box's undo brings it back)
    // like any typed character.
    if (FareTable::isHeading(m_table.CurRow(), m_table.CurCol()))
        return;
    m_sessionMayEnd = false;
    Text1->open(m_table.text(m_table.CurRow(), m_table.CurCol()), MSFlexGrid1->currentCellRect(),
                MSFlexGrid1->font(), m_table.CurCol() < FareTable::TicketCol);
    Text1->selectAll();
    QCoreApplication::sendEvent(Text1, event);
}

void Form1::MSFlexGrid1_OLEDragDrop(const QString& path)
{
    // Asked after the drop has finished, so the file manager is not kept waiting.
    QMetaObject::invokeMethod(
        this,
        [this, path] {
            TableStep step(m_table, QStringLiteral("ドロップ"));
            m_document.OpenDroppedFile(path);
        },
        Qt::QueuedConnection);
}

bool Form1::Form_Unload()
{
    // The end of the session closes the window after its own prompt: one question is enough.
    if (m_sessionMayEnd)
        return true;
    return m_document.confirmClose();
}

bool Form1::sessionEnding(bool interactionAllowed)
{
    // Without leave to ask there is nothing to decide here; the window's close still asks.
    if (!interactionAllowed)
        return true;
    m_sessionMayEnd = false;
    m_sessionMayEnd = Form_Unload();
    return m_sessionMayEnd;
}

void Form1::commitData(QSessionManager& manager)
{
    // allowsInteraction() waits until the session manager lets this program ask.
    if (sessionEnding(manager.allowsInteraction())) {
        manager.release();
    } else {
        // Not released here: Qt ends the interaction itself, passing the cancellation on.
        manager.cancel();
    }
}

void Form1::closeEvent(QCloseEvent* event)
{
    if (Form_Unload())
        event->accept();
    else
        event->ignore();
}
