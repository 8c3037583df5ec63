// FareTable's steps: recording what a step changed, and putting it back or doing it again.
#include "faretable.h"

namespace {

using Kind = TableChange::Part::Kind;

/** A text's own block: Qt's header, the UTF-16 units and their terminator, the allocator's. */
qint64 textBytes(const QString& text)
{
    return text.isEmpty() ? 0 : 32 + 2 * (qint64(text.size()) + 1);
}

} // namespace

qint64 TableChange::byteEstimate() const
{
    qint64 bytes = qint64(sizeof(TableChange));
    for (const Part& part : parts) {
        bytes += qint64(sizeof(Part)) + qint64(part.cells.size()) * qint64(sizeof(int)) +
                 qint64(part.texts.size()) * qint64(sizeof(QString));
        for (const QString& text : part.texts)
            bytes += textBytes(text);
    }
    return bytes;
}

void FareTable::setStepRecorder(std::function<void(TableChange&&)> recorder)
{
    if (m_recording)
        closeRecording();
    m_stepRecorder = std::move(recorder);
    if (m_stepRecorder && m_touched.empty())
        m_touched.assign(RowCount * ColCount, false);
    if (m_stepRecorder && m_stepDepth > 0)
        openRecording();
}

void FareTable::beginStep(const QString& name)
{
    if (m_stepDepth++ > 0)
        return;
    m_stepName = name;
    if (m_stepRecorder)
        openRecording();
}

void FareTable::endStep()
{
    Q_ASSERT(m_stepDepth > 0);
    if (m_stepDepth <= 0 || --m_stepDepth > 0)
        return;
    if (m_recording)
        closeRecording();
    m_stepName.clear();
    emit stepEnded();
}

void FareTable::keepOld(int at)
{
    if (m_touched[at])
        return;
    if (m_step.parts.isEmpty() || m_step.parts.last().kind != Kind::Cells)
        m_step.parts.append(TableChange::Part());
    TableChange::Part& part = m_step.parts.last();
    m_touched[at] = true;
    part.cells.append(at);
    // Taken, not copied: the caller overwrites the cell at once.
    part.texts.append(std::move(m_cells[at]));
}

void FareTable::recordMove(TableChange::Part::Kind kind, int first, int second)
{
    if (!m_recording)
        return;
    // A move that leaves every text where it was is no part of the step: rows shifted over empty
    // rows, a column moved among columns that read alike in every row.
    bool changes = false;
    if (kind == Kind::MoveColumn) {
        const int low = qMin(first, second);
        const int high = qMax(first, second);
        for (int row = 0; row < RowCount && !changes; ++row)
            for (int col = low + 1; col <= high && !changes; ++col)
                changes = m_cells[index(row, col)] != m_cells[index(row, low)];
    } else {
        for (int at = index(first, 0); at < index(RowCount, 0) && !changes; ++at)
            changes = !m_cells[at].isEmpty();
    }
    if (!changes)
        return;
    closeCellsPart();
    TableChange::Part part;
    part.kind = kind;
    part.first = first;
    part.second = second;
    // The row that leaves the table: the last one pushed off by an insertion, or the removed one.
    if (kind == Kind::InsertRow)
        swapRow(LastRow, part.texts);
    else if (kind == Kind::RemoveRow)
        swapRow(first, part.texts);
    m_step.parts.append(std::move(part));
}

void FareTable::closeCellsPart()
{
    if (m_step.parts.isEmpty() || m_step.parts.last().kind != Kind::Cells)
        return;
    // Only the cells whose text really changed are kept.
    TableChange::Part& part = m_step.parts.last();
    const int count = int(part.cells.size());
    int kept = 0;
    for (int i = 0; i < count; ++i) {
        const int at = part.cells[i];
        m_touched[at] = false;
        if (m_cells[at] == part.texts[i])
            continue;
        part.cells[kept] = at;
        part.texts[kept] = std::move(part.texts[i]);
        ++kept;
    }
    if (kept == 0) {
        m_step.parts.removeLast();
        return;
    }
    part.cells.resize(kept);
    part.texts.resize(kept);
}

void FareTable::openRecording()
{
    m_recording = true;
    m_step = TableChange();
    m_step.name = m_stepName;
    m_step.rowBefore = m_curRow;
    m_step.colBefore = m_curCol;
}

void FareTable::closeRecording()
{
    closeCellsPart();
    m_recording = false;
    TableChange change = std::move(m_step);
    m_step = TableChange();
    if (change.parts.isEmpty())
        return;
    change.rowAfter = m_curRow;
    change.colAfter = m_curCol;
    m_stepRecorder(std::move(change));
}

void FareTable::undoChange(TableChange& change)
{
    exchange(change, true);
}

void FareTable::redoChange(TableChange& change)
{
    exchange(change, false);
}

void FareTable::swapRow(int row, QVector<QString>& texts)
{
    texts.resize(ColCount);
    for (int col = 0; col < ColCount; ++col)
        m_cells[index(row, col)].swap(texts[col]);
}

void FareTable::exchange(TableChange& change, bool undo)
{
    // Past the recorder: putting a step back is not a step of its own.
    const QVector<TableChange::Part>& parts = change.parts;
    if (parts.size() == 1 && parts[0].kind == Kind::Cells && parts[0].cells.size() == 1 &&
        m_hideDepth == 0) {
        const int at = parts[0].cells[0];
        m_cells[at].swap(change.parts[0].texts[0]);
        emit cellChanged(at / ColCount, at % ColCount);
    } else {
        hide();
        const qsizetype count = parts.size();
        for (qsizetype n = 0; n < count; ++n) {
            TableChange::Part& part = change.parts[undo ? count - 1 - n : n];
            switch (part.kind) {
            case Kind::Cells:
                for (qsizetype i = 0; i < part.cells.size(); ++i)
                    m_cells[part.cells[i]].swap(part.texts[i]);
                break;
            case Kind::InsertRow:
                if (undo) {
                    shiftRowsUp(part.first);
                    swapRow(LastRow, part.texts);
                } else {
                    swapRow(LastRow, part.texts);
                    shiftRowsDown(part.first);
                }
                break;
            case Kind::RemoveRow:
                if (undo) {
                    shiftRowsDown(part.first);
                    swapRow(part.first, part.texts);
                } else {
                    swapRow(part.first, part.texts);
                    shiftRowsUp(part.first);
                }
                break;
            case Kind::MoveColumn:
                rotateColumns(undo ? part.second : part.first, undo ? part.first : part.second);
                break;
            }
        }
        noteBulkChange();
        show();
    }
    // Shown first, so that the window scrolls to the cell the step is about.
    setCurrentCell(undo ? change.rowBefore : change.rowAfter,
                   undo ? change.colBefore : change.colAfter);
}
