// The Tools menu: the fare check and its panel; moving the focus between the window's panes and
// making room for them.
#include "celleditor.h"
#include "checkpanel.h"
#include "faregridmodel.h"
#include "faregridview.h"
#include "findbar.h"
#include "form1.h"
#include "gui/twips.h"

#include <QAction>
#include <QApplication>
#include <QLayout>
#include <QScreen>

namespace {
/** The grid rows that stay visible while the find bar or the check panel is open. */
constexpr int RowsBesidePanels = 10;
} // namespace

void Form1::MnuToolCheck()
{
    m_platform.commitOpenEdit();
    if (!m_checkPanel) {
        m_checkPanel = new CheckPanel(this);
        addDockWidget(Qt::BottomDockWidgetArea, m_checkPanel);
        connect(m_checkPanel, &CheckPanel::findingActivated, this, &Form1::showFindingCell);
        connect(m_checkPanel, &CheckPanel::rulesChanged, this, &Form1::runCheck);
        connect(&m_table, &FareTable::cellChanged, m_checkPanel, &CheckPanel::markOutdated);
        connect(&m_table, &FareTable::contentReset, m_checkPanel, &CheckPanel::markOutdated);
        // F6 works in the panel also when it floats as a window of its own.
        for (const char* name : {"PaneNext", "PanePrevious"})
            m_checkPanel->addAction(findChild<QAction*>(QLatin1String(name)));
        m_checkPanel->installEventFilter(this);
        connect(m_checkPanel, &QDockWidget::topLevelChanged, this, &Form1::fitPanels,
                Qt::QueuedConnection);
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
    if (m_checkPanel && m_checkPanel->isVisible())
        panes << m_checkPanel;
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
    const bool open =
        (m_findBar && m_findBar->isVisibleTo(this)) ||
        (m_checkPanel && m_checkPanel->isVisibleTo(this) && !m_checkPanel->isFloating());
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
