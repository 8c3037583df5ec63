#pragma once

#include "check/farecheck.h"

#include <QDockWidget>
#include <QList>

class QCheckBox;
class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

/**
 * The list of a docked panel's entries (the check's warnings, the comparison's differences): one
 * line each, the last column stretched, room for five entries however small the window. An entry
 * keeps its cell as QPoint(column, row) in its first column's data, role EntryCellRole.
 */
QTreeWidget* createEntryList(const QStringList& headings, QWidget* parent);
constexpr int EntryCellRole = Qt::UserRole;

/**
 * The fare check's panel, docked below the grid: one switch per fare rule (all on at start; off
 * for the rest of the session where a route breaks a rule on purpose), and the list of the last
 * check's warnings. Activating a warning (double click, Enter) asks for its cell; switching a
 * rule asks for the check to run again. Once the table has changed the list says so.
 */
class CheckPanel : public QDockWidget {
    Q_OBJECT

public:
    explicit CheckPanel(QWidget* parent = nullptr);

    /** The rules to run: the save rules, and the fare rules switched on. */
    FareCheck::RuleSet rules() const;
    /** Shows a check's findings (any earlier list goes). */
    void showFindings(const QList<FareCheck::Finding>& findings);
    /** The table changed: the list is about an earlier table. */
    void markOutdated();
    QTreeWidget* list() const { return m_list; }

signals:
    void findingActivated(int row, int col);
    void rulesChanged();

private:
    void activate(QTreeWidgetItem* item);

    struct Switch {
        FareCheck::Rule rule;
        QCheckBox* box;
    };
    QList<Switch> m_switches; ///< the fare rules'
    QLabel* m_summary;
    QTreeWidget* m_list;
};
