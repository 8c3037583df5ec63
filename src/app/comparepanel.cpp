#include "comparepanel.h"

#include "checkpanel.h"
#include "model/faretable.h"
#include "model/messagetext.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

enum Column { StopColumn, TicketColumn, KindColumn, MessageColumn };

using TableCompare::Kind;

QString stopText(const TableCompare::Difference& d)
{
    if (d.kind == Kind::RouteName || d.kind == Kind::RouteTicket || d.kind == Kind::RouteFare)
        return QStringLiteral("系統");
    if (d.kind == Kind::StopRemoved)
        return QStringLiteral("（旧 %1）").arg(d.oldStop);
    return QString::number(d.newStop);
}

QString ticketText(const TableCompare::Difference& d)
{
    switch (d.kind) {
    case Kind::RouteFare:
    case Kind::Fare:
        return QString::number(d.ticket);
    case Kind::RouteTicket:
    case Kind::Ticket:
        return QStringLiteral("整理券番号");
    case Kind::RouteName:
    case Kind::StopRenamed:
        return QStringLiteral("名称");
    default:
        return QString();
    }
}

} // namespace

ComparePanel::ComparePanel(QWidget* parent)
    : QDockWidget(QStringLiteral("別の運賃表との比較"), parent)
{
    setObjectName(QStringLiteral("ComparePanel"));
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    auto* top = new QHBoxLayout;
    m_summary = new QLabel(body);
    m_summary->setObjectName(QStringLiteral("CompareSummary"));
    m_summary->setTextFormat(Qt::PlainText); // the file name is the user's
    m_summary->setWordWrap(true);
    top->addWidget(m_summary, 1);
    auto* again = new QPushButton(QStringLiteral("比較し直す"), body);
    again->setObjectName(QStringLiteral("CompareAgain"));
    connect(again, &QPushButton::clicked, this, &ComparePanel::compareAgainRequested);
    top->addWidget(again, 0, Qt::AlignTop);
    layout->addLayout(top);
    m_list = createEntryList({QStringLiteral("停留所"), QStringLiteral("整理券"),
                              QStringLiteral("種類"), QStringLiteral("内容")},
                             body);
    m_list->setObjectName(QStringLiteral("CompareList"));
    connect(m_list, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        const QPoint cell = item->data(0, EntryCellRole).toPoint();
        emit differenceActivated(cell.y(), cell.x());
    });
    layout->addWidget(m_list, 1);
    setWidget(body);
    setFocusProxy(m_list); // F6 comes to the list, where the arrows and Enter work
}

void ComparePanel::showComparison(TableCompare::Comparison comparison, const QString& oldFileName)
{
    m_comparison = std::move(comparison);
    m_oldFileName = oldFileName;
    m_current = true;
    m_list->clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(qsizetype(m_comparison.differences.size()));
    for (const TableCompare::Difference& d : m_comparison.differences) {
        const QString message = TableCompare::describe(d);
        auto* item = new QTreeWidgetItem(
            {stopText(d), ticketText(d), TableCompare::kindTitle(d.kind), message});
        item->setData(0, EntryCellRole, QPoint(d.col, d.row));
        item->setToolTip(MessageColumn, message);
        items.append(item);
    }
    m_list->addTopLevelItems(items);
    for (const int column : {StopColumn, TicketColumn, KindColumn})
        m_list->resizeColumnToContents(column);
    QString text = QStringLiteral("旧表「%1」と比べました。").arg(briefQuote(oldFileName)) +
                   TableCompare::summary(m_comparison);
    if (!m_comparison.isEmpty())
        text += QStringLiteral("行をダブルクリックするとそのセルへ移動します。");
    m_summary->setText(text);
}

void ComparePanel::markOutdated()
{
    if (!m_current)
        return;
    m_current = false;
    m_summary->setText(
        QStringLiteral("表が変更されました。この一覧は、変更前の表と旧表「%1」の比較です"
                       "（「比較し直す」で比べ直します）。")
            .arg(briefQuote(m_oldFileName)));
}

const TableCompare::Comparison* ComparePanel::currentComparison() const
{
    return m_current ? &m_comparison : nullptr;
}
