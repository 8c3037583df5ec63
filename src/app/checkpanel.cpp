#include "checkpanel.h"

#include "model/faretable.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

enum Column { StopColumn, TicketColumn, MessageColumn };

} // namespace

QTreeWidget* createEntryList(const QStringList& headings, QWidget* parent)
{
    auto* list = new QTreeWidget(parent);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setHeaderLabels(headings);
    list->header()->setStretchLastSection(true);
    // Room for five entries, however small the window (measured on an entry's line).
    list->addTopLevelItem(new QTreeWidgetItem({QStringLiteral("1")}));
    list->setMinimumHeight(list->header()->sizeHint().height() + 5 * list->sizeHintForRow(0) +
                           2 * list->frameWidth());
    list->clear();
    return list;
}

CheckPanel::CheckPanel(QWidget* parent) : QDockWidget(QStringLiteral("運賃表の検査"), parent)
{
    setObjectName(QStringLiteral("CheckPanel"));
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    auto* switches = new QGridLayout;
    for (const FareCheck::RuleInfo& info : FareCheck::Rules) {
        if (info.kind != FareCheck::RuleKind::Fare)
            continue;
        auto* box = new QCheckBox(QString::fromUtf8(info.title), body);
        box->setObjectName(QStringLiteral("CheckRule_") + QLatin1String(info.id));
        box->setChecked(true);
        connect(box, &QCheckBox::toggled, this, &CheckPanel::rulesChanged);
        const int i = int(m_switches.size()); // two columns fit the window's first width
        switches->addWidget(box, i / 2, i % 2);
        m_switches.append({info.rule, box});
    }
    layout->addLayout(switches);
    m_summary = new QLabel(body);
    m_summary->setObjectName(QStringLiteral("CheckSummary"));
    layout->addWidget(m_summary);
    m_list = createEntryList(
        {QStringLiteral("停留所"), QStringLiteral("整理券"), QStringLiteral("内容")}, body);
    m_list->setObjectName(QStringLiteral("CheckList"));
    connect(m_list, &QTreeWidget::itemActivated, this, &CheckPanel::activate);
    layout->addWidget(m_list, 1);
    setWidget(body);
    setFocusProxy(m_list); // F6 comes to the list, where the arrows and Enter work
}

FareCheck::RuleSet CheckPanel::rules() const
{
    FareCheck::RuleSet rules = FareCheck::RuleSet::all();
    for (const Switch& s : m_switches)
        rules.set(s.rule, s.box->isChecked());
    return rules;
}

void CheckPanel::showFindings(const QList<FareCheck::Finding>& findings)
{
    m_list->clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(findings.size());
    for (const FareCheck::Finding& finding : findings) {
        const QString stop = finding.row == FareTable::RouteRow ? QStringLiteral("系統")
                                                                : QString::number(finding.stop());
        QString ticket;
        if (finding.col == FareTable::NameCol)
            ticket = QStringLiteral("名称");
        else if (finding.col == FareTable::TicketCol)
            ticket = QStringLiteral("整理券番号");
        else if (finding.col >= FareTable::FirstFareCol)
            ticket = QString::number(finding.ticket());
        auto* item = new QTreeWidgetItem({stop, ticket, finding.message});
        item->setData(0, EntryCellRole, QPoint(finding.col, finding.row));
        item->setToolTip(MessageColumn, finding.message);
        items.append(item);
    }
    m_list->addTopLevelItems(items);
    m_list->resizeColumnToContents(StopColumn);
    m_list->resizeColumnToContents(TicketColumn);
    m_summary->setText(findings.isEmpty()
                           ? QStringLiteral("気になる点は見つかりませんでした。")
                           : QStringLiteral("%1 件の警告があります。行をダブルクリックすると"
                                            "そのセルへ移動します。")
                                 .arg(findings.size()));
}

void CheckPanel::markOutdated()
{
    if (m_list->topLevelItemCount() == 0 && m_summary->text().isEmpty())
        return;
    m_summary->setText(QStringLiteral(
        "表が変更されました。この一覧は変更前の検査結果です（F7 で検査し直します）。"));
}

void CheckPanel::activate(QTreeWidgetItem* item)
{
    const QPoint cell = item->data(0, EntryCellRole).toPoint();
    if (cell.y() > 0)
        emit findingActivated(cell.y(), cell.x());
}
