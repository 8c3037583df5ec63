#include "tablehistory.h"

TableHistory::TableHistory(FareTable& table, qint64 byteLimit, QObject* parent)
    : QObject(parent), m_table(table), m_byteLimit(byteLimit)
{
    m_table.setStepRecorder([this](TableChange&& change) { record(std::move(change)); });
    connect(&m_table, &FareTable::stepEnded, this, &TableHistory::stepEnded);
}

TableHistory::~TableHistory()
{
    m_table.setStepRecorder({});
}

void TableHistory::markClean()
{
    m_cleanPending = m_table.inStep();
    m_cleanIndex = undoCount();
    emit changed();
}

void TableHistory::stepEnded()
{
    if (!m_cleanPending)
        return;
    m_cleanPending = false;
    m_cleanIndex = undoCount();
    emit changed();
}

void TableHistory::record(TableChange&& change)
{
    for (const TableChange& undone : m_redo)
        m_bytes -= undone.byteEstimate();
    m_redo.clear();
    if (m_cleanIndex > undoCount()) // the saved state was among the steps undone
        m_cleanIndex = -1;
    m_bytes += change.byteEstimate();
    m_undo.push_back(std::move(change));
    trim();
    emit changed();
}

void TableHistory::trim()
{
    // The oldest steps go first; what can be redone is newer than all of them.
    while (m_bytes > m_byteLimit && !m_undo.empty()) {
        m_bytes -= m_undo.front().byteEstimate();
        m_undo.pop_front();
        if (m_cleanIndex >= 0) // at 0 the saved state goes out of reach with the step
            --m_cleanIndex;
    }
    while (m_bytes > m_byteLimit && !m_redo.empty()) {
        m_bytes -= m_redo.front().byteEstimate();
        m_redo.pop_front();
    }
    if (m_cleanIndex > undoCount() + redoCount())
        m_cleanIndex = -1;
}

void TableHistory::undo()
{
    if (m_undo.empty())
        return;
    // Taken out first: whatever putting it back sets off must not find it still listed.
    TableChange change = std::move(m_undo.back());
    m_undo.pop_back();
    // The change then holds the other texts, which may need more room or less.
    m_bytes -= change.byteEstimate();
    m_table.undoChange(change);
    m_bytes += change.byteEstimate();
    m_redo.push_back(std::move(change));
    trim();
    emit changed();
}

void TableHistory::redo()
{
    if (m_redo.empty())
        return;
    TableChange change = std::move(m_redo.back());
    m_redo.pop_back();
    m_bytes -= change.byteEstimate();
    m_table.redoChange(change);
    m_bytes += change.byteEstimate();
    m_undo.push_back(std::move(change));
    trim();
    emit changed();
}
