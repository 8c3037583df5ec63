// The status bar's permanent fields: the fare file, whether the table changed, the current cell.
#include "celleditor.h"
#include "form1.h"
#include "io/pathbytes.h"
#include "model/messagetext.h"
#include "statusfield.h"

#include <QEvent>
#include <QFileInfo>
#include <QStatusBar>

namespace {

/** Runs a function whenever the widget it watches is shown or hidden. */
class VisibilityWatcher : public QObject {
public:
    VisibilityWatcher(QWidget* watched, std::function<void()> changed)
        : QObject(watched), m_changed(std::move(changed))
    {
        watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent)
            m_changed();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_changed;
};

} // namespace

QString Form1::describePlace(const FareTable& table, int row, int col)
{
    const QString column = col == FareTable::NameCol ? QStringLiteral("停名")
                           : col == FareTable::TicketCol
                               ? QStringLiteral("整理券番号")
                               : QStringLiteral("整理券 %1").arg(FareTable::ticketOfColumn(col));
    if (row < FareTable::FixedRows)
        return col < FareTable::FixedCols ? QStringLiteral("見出し")
                                          : QStringLiteral("見出し ") + column;
    if (row == FareTable::RouteRow) {
        if (col < FareTable::FixedCols)
            return QStringLiteral("見出し 系統名称");
        return col == FareTable::NameCol ? QStringLiteral("系統名称")
                                         : QStringLiteral("系統名称の行 ") + column;
    }
    QString stop = QStringLiteral("停留所 %1").arg(FareTable::stopOfRow(row));
    if (col < FareTable::FixedCols)
        return QStringLiteral("見出し ") + stop;
    if (const QString& name = table.text(row, FareTable::NameCol); !name.isEmpty())
        stop += QStringLiteral("「%1」").arg(briefQuote(name));
    return stop + QLatin1Char(' ') + column;
}

void Form1::createStatusFields()
{
    // The cell at the left, where a short message (a paste, a search) covers it while shown; the
    // file and its mark at the right, taking little enough of the bar to leave the messages room.
    using Kind = StatusField::Kind;
    m_statusCell =
        new StatusField(QStringLiteral("StatusCell"), 0, Kind::CoveredByMessages, statusBar());
    m_statusFile = new StatusField(QStringLiteral("StatusFile"), 0.2, Kind::Permanent, statusBar());
    m_statusModified =
        new StatusField(QStringLiteral("StatusModified"), 0, Kind::Permanent, statusBar());
    const auto update = [this] {
        updateStatusBar();
    };
    connect(&m_table, &FareTable::currentCellChanged, this, update);
    connect(&m_table, &FareTable::cellChanged, this, update); // a stop's name
    connect(&m_table, &FareTable::contentReset, this, update);
    connect(&m_history, &TableHistory::changed, this, update); // saved state and fare file
    new VisibilityWatcher(Text1, update);                      // an open edit is a change
    updateStatusBar();
}

void Form1::updateStatusBar()
{
    const QString& path = m_files.fareFilePath();
    m_statusFile->setFullText(path.isEmpty()
                                  ? QStringLiteral("運賃表ファイルなし")
                                  : briefQuote(FileIo::displayPath(QFileInfo(path).fileName())));
    m_statusModified->setFullText(isModified() ? QStringLiteral("変更あり") : QString());
    m_statusCell->setFullText(describePlace(m_table, m_table.CurRow(), m_table.CurCol()));
}

bool Form1::isModified() const
{
    return !m_history.isClean() || Text1->isOpen();
}
