// The Tools menu: the fare check, the fare revision and the comparison with another table, and
// their panels; moving the focus between the window's panes and making room for them.
#include "celleditor.h"
#include "checkpanel.h"
#include "comparepanel.h"
#include "document/fileformats.h"
#include "faregridmodel.h"
#include "faregridview.h"
#include "findbar.h"
#include "form1.h"
#include "gui/twips.h"
#include "io/pathbytes.h"
#include "model/bulkguards.h"
#include "model/messagetext.h"
#include "revisionplatform.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QLayout>
#include <QScreen>

namespace {
/** The grid rows that stay visible while the find bar or a panel is open. */
constexpr int RowsBesidePanels = 10;
} // namespace

void Form1::MnuToolCheck()
{
    m_platform.commitOpenEdit();
    if (!m_checkPanel) {
        m_checkPanel = new CheckPanel(this);
        connect(m_checkPanel, &CheckPanel::findingActivated, this, &Form1::showFindingCell);
        connect(m_checkPanel, &CheckPanel::rulesChanged, this, &Form1::runCheck);
        connect(&m_table, &FareTable::cellChanged, m_checkPanel, &CheckPanel::markOutdated);
        connect(&m_table, &FareTable::contentReset, m_checkPanel, &CheckPanel::markOutdated);
        dockPanel(m_checkPanel);
    }
    runCheck();
    m_checkPanel->show();
    m_checkPanel->raise();
}

void Form1::runCheck()
{
    const QList<FareCheck::Finding> findings =
        FareCheck::checkTable(m_table, m_checkPanel->rules());
    m_checkPanel->showFindings(findings);
    QList<QPoint> cells;
    cells.reserve(findings.size());
    for (const FareCheck::Finding& finding : findings)
        cells.append(QPoint(finding.col, finding.row));
    MSFlexGrid1->fareModel()->setMarkedCells(cells);
}

void Form1::MnuToolRevise()
{
    m_platform.commitOpenEdit();
    // The selected block when there is one; else every stored stop.
    std::optional<CellRange> block;
    if (const CellRange selected = MSFlexGrid1->selectedRange(); selected.cellCount() > 1)
        block = selected;
    const std::optional<FareRevision::Rule> rule =
        m_revising.chooseRevision(m_table, block, m_revisionRule);
    if (!rule)
        return;
    m_revisionRule = *rule; // the dialog starts with it next time
    QString refusal;
    int changed = 0;
    {
        BusyPointer busy(m_platform);
        const FareRevision::Revision revision = FareRevision::plan(m_table, *rule, block);
        refusal = revision.error;
        changed = FareRevision::apply(m_table, revision);
    }
    if (!refusal.isEmpty())
        m_platform.showFailure(refusal);
    else
        showStatus(changed > 0 ? QStringLiteral("%L1 個の運賃を変更しました").arg(changed)
                               : QStringLiteral("変わる運賃はありませんでした"));
}

void Form1::MnuToolCompare()
{
    m_platform.commitOpenEdit();
    // The dialog starts where the last old table was found, else where the table's files are.
    const std::optional<QString> path = m_platform.openFileName(
        readableFileFilters(), m_oldTablePath.isEmpty() ? m_files.lastPath() : m_oldTablePath);
    if (!path)
        return;
    m_platform.processEvents(); // the window repaints where the dialog was
    const FileType* type = fileTypeForPath(*path);
    if (!type) {
        m_platform.showFailure(
            QStringLiteral("「%1」は、拡張子から形式がわからないため比較できません。"
                           "%2 のいずれかのファイルを選んでください。")
                .arg(briefQuote(FileIo::displayPath(QFileInfo(*path).fileName())),
                     extensionList()));
        return;
    }
    // Read as Open reads it, into a table of its own: the window's table is not touched.
    auto old = std::make_unique<FareTable>();
    if (type->reader(*old, m_platform, *path) != Outcome::Done)
        return;
    m_oldTable = std::move(old);
    m_oldTablePath = *path;
    if (!m_comparePanel) {
        m_comparePanel = new ComparePanel(this);
        connect(m_comparePanel, &ComparePanel::differenceActivated, this, &Form1::showFindingCell);
        connect(m_comparePanel, &ComparePanel::compareAgainRequested, this, [this] {
            m_platform.commitOpenEdit();
            runComparison();
        });
        connect(&m_table, &FareTable::cellChanged, m_comparePanel, &ComparePanel::markOutdated);
        connect(&m_table, &FareTable::contentReset, m_comparePanel, &ComparePanel::markOutdated);
        dockPanel(m_comparePanel);
    }
    runComparison();
    m_comparePanel->show();
    m_comparePanel->raise();
}

void Form1::runComparison()
{
    TableCompare::Comparison comparison;
    {
        BusyPointer busy(m_platform);
        comparison = TableCompare::compareTables(*m_oldTable, m_table);
    }
    QList<QPoint> cells;
    cells.reserve(qsizetype(comparison.differences.size()));
    for (const TableCompare::Difference& difference : comparison.differences)
        cells.append(QPoint(difference.col, difference.row));
    m_comparePanel->showComparison(std::move(comparison),
                                   FileIo::displayPath(QFileInfo(m_oldTablePath).fileName()));
    MSFlexGrid1->fareModel()->setMarkedCells(cells, FareGridModel::Mark::Difference);
}

QList<QDockWidget*> Form1::panels() const
{
    QList<QDockWidget*> made;
    if (m_checkPanel)
        made << m_checkPanel;
    if (m_comparePanel)
        made << m_comparePanel;
    return made;
}

void Form1::dockPanel(QDockWidget* panel)
{
    addDockWidget(Qt::BottomDockWidgetArea, panel);
    // Panels below the grid share its width as tabs rather than halve it.
    for (QDockWidget* other : panels()) {
        if (other != panel && !other->isFloating() &&
            dockWidgetArea(other) == Qt::BottomDockWidgetArea) {
            tabifyDockWidget(other, panel);
            break;
        }
    }
    // F6 works in the panel also when it floats as a window of its own.
    for (const char* name : {"PaneNext", "PanePrevious"})
        panel->addAction(findChild<QAction*>(QLatin1String(name)));
    panel->installEventFilter(this);
    connect(panel, &QDockWidget::topLevelChanged, this, &Form1::fitPanels, Qt::QueuedConnection);
}

void Form1::showFindingCell(int row, int col)
{
    // A move like any other: it commits an edit still open in the cell being left.
    m_table.setCurrentCell(row, col);
    MSFlexGrid1->scrollTo(MSFlexGrid1->currentIndex()); // also when it was current already
    MSFlexGrid1->setFocus(Qt::OtherFocusReason);
}

void Form1::createPaneKeys()
{
    for (const bool backwards : {false, true}) {
        auto* action = new QAction(this);
        action->setObjectName(backwards ? QStringLiteral("PanePrevious")
                                        : QStringLiteral("PaneNext"));
        action->setShortcut(backwards ? QKeySequence(Qt::SHIFT | Qt::Key_F6)
                                      : QKeySequence(Qt::Key_F6));
        connect(action, &QAction::triggered, this, [this, backwards] { focusNextPane(backwards); });
        addAction(action);
    }
}

void Form1::focusNextPane(bool backwards)
{
    // The grid's pane is the open in-cell editor while there is one: coming back to it goes on
    // with the edit.
    QList<QWidget*> panes{Text1->isOpen() ? static_cast<QWidget*>(Text1) : MSFlexGrid1};
    if (m_findBar && m_findBar->isVisible())
        panes << m_findBar;
    // A panel on a tab behind another is "visible" off the window, where it shows nothing.
    for (QDockWidget* panel : panels())
        if (panel->isVisible() && !panel->visibleRegion().isEmpty())
            panes << panel;
    int at = 0;
    for (int i = 1; i < panes.size(); ++i)
        if (panes[i]->isAncestorOf(QApplication::focusWidget()))
            at = i;
    QWidget* next = panes[(at + (backwards ? panes.size() - 1 : 1)) % panes.size()];
    next->activateWindow(); // the check panel may float as a window of its own
    next->setFocus(Qt::ShortcutFocusReason);
}

void Form1::fitPanels()
{
    bool open = m_findBar && m_findBar->isVisibleTo(this);
    for (const QDockWidget* panel : panels())
        open = open || (panel->isVisibleTo(this) && !panel->isFloating());
    const bool free = !isMaximized() && !isFullScreen();
    if (!open) {
        m_client->setMinimumHeight(0);
        layout()->activate();
        // Back to the size from before, unless the user has resized the window since.
        if (free && m_sizeWithPanels.isValid() && size() == m_sizeWithPanels)
            resize(m_sizeWithoutPanels);
        m_sizeWithPanels = QSize();
        return;
    }
    // The client area that gives the grid its rows, by the grid's size rule.
    const Twips twips = Twips::ofPrimaryScreen();
    const int grid = MSFlexGrid1->heightForRows(RowsBesidePanels);
    int client = grid;
    while (twips.toPixelsY(gridSizeForClient(QSize(0, twips.toTwipsY(client))).height()) < grid)
        ++client;
    m_client->setMinimumHeight(client);
    // No taller than the screen: the grid gives up rows first.
    const QRect available = screen()->availableGeometry();
    const int frame = frameGeometry().height() - height();
    const int over = layout()->totalMinimumSize().height() + frame - available.height();
    if (over > 0)
        m_client->setMinimumHeight(qMax(0, client - over));
    layout()->activate(); // the window's minimum size follows, and it grows to it
    m_sizeWithPanels = size().expandedTo(minimumSize());
    // Grown past the bottom of the screen, the window moves up.
    const int below = y() + frame + m_sizeWithPanels.height() - 1 - available.bottom();
    if (free && below > 0)
        move(x(), qMax(available.top(), y() - below));
}
