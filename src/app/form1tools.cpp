// The Tools menu: the fare check and its panel.
#include "checkpanel.h"
#include "faregridmodel.h"
#include "faregridview.h"
#include "form1.h"

void Form1::MnuToolCheck()
{
    m_platform.focusGrid(); // an edit still open is part of what is checked
    if (!m_checkPanel) {
        m_checkPanel = new CheckPanel(this);
        addDockWidget(Qt::BottomDockWidgetArea, m_checkPanel);
        connect(m_checkPanel, &CheckPanel::findingActivated, this, &Form1::showFindingCell);
        connect(m_checkPanel, &CheckPanel::rulesChanged, this, &Form1::runCheck);
        connect(&m_table, &FareTable::cellChanged, m_checkPanel, &CheckPanel::markOutdated);
        connect(&m_table, &FareTable::contentReset, m_checkPanel, &CheckPanel::markOutdated);
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
    MSFlexGrid1->setFocus(Qt::OtherFocusReason);
}
