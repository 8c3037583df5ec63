#include "faretable.h"

#include <QtGlobal>
#include <algorithm>

FareTable::FareTable(QObject* parent) : QObject(parent), m_cells(RowCount * ColCount)
{
    setUpHeadings();
}

void FareTable::setUpHeadings()
{
    // Written through the current cell like any other text, so the set-up ends on the last
    // heading written and then puts the route name current.
    SetCell(0, NameCol, QStringLiteral("停名(地名)・駅名"));
    SetCell(0, TicketCol, QStringLiteral("整理券番号"));
    for (int k = 1; k <= FareCount; ++k)
        SetCell(0, columnOfTicket(k), k);
    SetCell(RouteRow, 0, QStringLiteral("系統名称→"));
    for (int s = 1; s <= StopCount; ++s)
        SetCell(rowOfStop(s), 0, s);
    setCurrentCell(RouteRow, NameCol);
}

void FareTable::checkCell(int row, int col) const
{
    Q_ASSERT_X(contains(row, col), "FareTable", "cell outside the table");
    Q_UNUSED(row)
    Q_UNUSED(col)
}

QString FareTable::GetCell(int row, int col)
{
    if (!contains(row, col)) {
        checkCell(row, col);
        return QString();
    }
    setCurrentCell(row, col);
    return m_cells[index(row, col)];
}

void FareTable::SetCell(int row, int col, const QString& value)
{
    if (!contains(row, col)) {
        checkCell(row, col);
        return;
    }
    setCurrentCell(row, col);
    store(row, col, value);
}

void FareTable::SetCell(int row, int col, int value)
{
    SetCell(row, col, QString::number(value));
}

void FareTable::setCurrentText(const QString& value, const QString& stepName)
{
    // The in-cell editor commits through here: its edit is a step of its own, also when a running
    // step committed it with its first move (that step has changed nothing yet at that moment).
    if (!m_stepRecorder || m_cells[index(m_curRow, m_curCol)] == value) {
        store(m_curRow, m_curCol, value);
        return;
    }
    if (m_recording)
        closeRecording();
    openRecording();
    if (!stepName.isEmpty())
        m_step.name = stepName;
    store(m_curRow, m_curCol, value);
    closeRecording();
    if (m_stepDepth > 0)
        openRecording();
}

void FareTable::store(int row, int col, const QString& value)
{
    const int at = index(row, col);
    QString& cell = m_cells[at];
    if (cell == value)
        return;
    if (m_recording)
        keepOld(at);
    cell = value;
    if (m_hideDepth > 0)
        m_pendingReset = true;
    else
        emit cellChanged(row, col);
}

void FareTable::setCurrentCell(int row, int col)
{
    if (!contains(row, col)) {
        checkCell(row, col);
        return;
    }
    if (row == m_curRow && col == m_curCol)
        return;
    emit cellAboutToBeLeft(m_curRow, m_curCol);
    m_curCol = col;
    m_curRow = row;
    if (m_hideDepth > 0)
        m_pendingMove = true;
    else
        emit currentCellChanged(m_curRow, m_curCol);
}

void FareTable::Data_Cls()
{
    hide();
    // The same end state as SetCell(row, col, "") over rows 1..301 and columns 1..152: the first
    // access leaves the old cell (committing an open edit, which the clearing then empties), the
    // last one leaves (301, 152) current. An edit open on the route name itself is committed
    // before the clearing too: otherwise the move away from (1, 1) at the end would write it back
    // into a table that has just been emptied.
    if (m_curRow == RouteRow && m_curCol == NameCol)
        emit cellAboutToBeLeft(m_curRow, m_curCol);
    setCurrentCell(RouteRow, NameCol);
    for (int row = 1; row < RowCount; ++row) {
        if (m_recording) {
            for (int at = index(row, 1); at < index(row + 1, 0); ++at)
                if (!m_cells[at].isEmpty())
                    keepOld(at);
        }
        auto first = m_cells.begin() + index(row, 1);
        std::fill(first, first + (ColCount - 1), QString());
    }
    setCurrentCell(LastRow, LastCol);
    noteBulkChange();
    show();
}

QVector<QString> FareTable::readBlock(int top, int left, int bottom, int right)
{
    QVector<QString> texts;
    if (!contains(top, left) || !contains(bottom, right) || top > bottom || left > right) {
        checkCell(-1, -1);
        return texts;
    }
    texts.reserve((bottom - top + 1) * (right - left + 1));
    setCurrentCell(top, left);
    for (int row = top; row <= bottom; ++row)
        for (int col = left; col <= right; ++col)
            texts.append(m_cells[index(row, col)]);
    setCurrentCell(bottom, right);
    return texts;
}

void FareTable::writeBlock(int top, int left, int bottom, int right, const QVector<QString>& texts)
{
    writeBlock(top, left, bottom, right, QVector<QString>(texts));
}

void FareTable::writeBlock(int top, int left, int bottom, int right, QVector<QString>&& texts)
{
    if (!contains(top, left) || !contains(bottom, right) || top > bottom || left > right ||
        texts.size() != (bottom - top + 1) * (right - left + 1)) {
        checkCell(-1, -1);
        return;
    }
    hide();
    setCurrentCell(top, left);
    auto text = texts.begin();
    for (int row = top; row <= bottom; ++row) {
        for (int col = left; col <= right; ++col) {
            if (m_recording)
                keepOld(index(row, col));
            m_cells[index(row, col)] = std::move(*text++);
        }
    }
    setCurrentCell(bottom, right);
    noteBulkChange();
    show();
}

void FareTable::insertRow(int row)
{
    if (row < 0 || row >= RowCount) {
        checkCell(row, 0);
        return;
    }
    recordMove(TableChange::Part::Kind::InsertRow, row, 0);
    shiftRowsDown(row);
    noteBulkChange();
}

void FareTable::removeRow(int row)
{
    if (row < 0 || row >= RowCount) {
        checkCell(row, 0);
        return;
    }
    recordMove(TableChange::Part::Kind::RemoveRow, row, 0);
    shiftRowsUp(row);
    noteBulkChange();
}

void FareTable::moveColumn(int from, int to)
{
    if (from < 0 || from >= ColCount || to < 0 || to >= ColCount) {
        checkCell(0, from);
        return;
    }
    if (from == to)
        return;
    recordMove(TableChange::Part::Kind::MoveColumn, from, to);
    rotateColumns(from, to);
    noteBulkChange();
}

void FareTable::shiftRowsDown(int row)
{
    auto first = m_cells.begin() + index(row, 0);
    std::move_backward(first, m_cells.end() - ColCount, m_cells.end());
    std::fill(first, first + ColCount, QString());
}

void FareTable::shiftRowsUp(int row)
{
    auto first = m_cells.begin() + index(row, 0);
    std::move(first + ColCount, m_cells.end(), first);
    std::fill(m_cells.end() - ColCount, m_cells.end(), QString());
}

void FareTable::rotateColumns(int from, int to)
{
    for (int row = 0; row < RowCount; ++row) {
        auto rowBegin = m_cells.begin() + index(row, 0);
        if (from < to)
            std::rotate(rowBegin + from, rowBegin + from + 1, rowBegin + to + 1);
        else
            std::rotate(rowBegin + to, rowBegin + from, rowBegin + from + 1);
    }
}

void FareTable::noteBulkChange()
{
    if (m_hideDepth > 0)
        m_pendingReset = true;
    else
        emit contentReset();
}

void FareTable::hide()
{
    if (m_hideDepth++ == 0)
        emit visibilityChanged(false);
}

void FareTable::show()
{
    Q_ASSERT(m_hideDepth > 0);
    if (m_hideDepth <= 0 || --m_hideDepth > 0)
        return;
    if (m_pendingReset) {
        m_pendingReset = false;
        emit contentReset();
    }
    if (m_pendingMove) {
        m_pendingMove = false;
        emit currentCellChanged(m_curRow, m_curCol);
    }
    emit visibilityChanged(true);
}
