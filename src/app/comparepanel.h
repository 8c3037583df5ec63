#pragma once

#include "compare/tablecompare.h"

#include <QDockWidget>

class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

/**
 * The comparison's panel, docked below the grid like the fare check's: what changed from an old
 * table to the table in the window, one entry per difference (stops added, removed and renamed,
 * ticket numbers and fares changed), with the counts and the old table's file name above them.
 * Activating an entry (double click, Enter) asks for its cell. Once the table has changed the
 * panel says so, and its comparison is no longer the table's; "比較し直す" asks for the same old
 * table to be compared again.
 */
class ComparePanel : public QDockWidget {
    Q_OBJECT

public:
    explicit ComparePanel(QWidget* parent = nullptr);

    /** Shows a comparison with the old table read from oldFileName (any earlier list goes). */
    void showComparison(TableCompare::Comparison comparison, const QString& oldFileName);
    /** The table changed: the list is about an earlier table. */
    void markOutdated();
    /** The comparison shown, while the table is what it compared; null once it has changed. */
    const TableCompare::Comparison* currentComparison() const;
    /** The old table's file name, as the panel shows it. */
    const QString& oldFileName() const { return m_oldFileName; }
    QTreeWidget* list() const { return m_list; }

signals:
    void differenceActivated(int row, int col);
    void compareAgainRequested();

private:
    TableCompare::Comparison m_comparison;
    QString m_oldFileName;
    bool m_current = false;
    QLabel* m_summary;
    QTreeWidget* m_list;
};
