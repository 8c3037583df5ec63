#pragma once

#include "faretable.h"

#include <QObject>
#include <deque>

/**
 * The undo and redo history of a fare table: the steps the table records (FareTable::beginStep),
 * each holding only the cells it changed. The steps kept are bounded by an estimate of their
 * bytes; when a new step takes the history past the bound, the oldest steps are dropped first.
 * A new step clears what could be redone. The row and column buffers of the editing commands are
 * not part of the table, and so not of its history.
 */
class TableHistory : public QObject {
    Q_OBJECT

public:
    static constexpr qint64 DefaultByteLimit = qint64(64) * 1024 * 1024;

    explicit TableHistory(FareTable& table, qint64 byteLimit = DefaultByteLimit,
                          QObject* parent = nullptr);
    ~TableHistory() override;

    bool canUndo() const { return !m_undo.empty(); }
    bool canRedo() const { return !m_redo.empty(); }
    int undoCount() const { return int(m_undo.size()); }
    int redoCount() const { return int(m_redo.size()); }
    /** What the step that undo() or redo() would take is called; empty when none or unnamed. */
    QString undoName() const { return m_undo.empty() ? QString() : m_undo.back().name; }
    QString redoName() const { return m_redo.empty() ? QString() : m_redo.back().name; }

    /**
     * Marks the table as it is now as the saved state (a file was loaded or written). Called
     * while a step is open, it marks the state that step ends with.
     */
    void markClean();
    /**
     * Whether the table is in the saved state: no step since markClean(), or undo and redo have
     * come back to it. False once that state can no longer be reached (a new step after undoing
     * past it, or its steps dropped from the history).
     */
    bool isClean() const { return !m_cleanPending && m_cleanIndex == undoCount(); }

    /** The estimated bytes of every step kept (TableChange::byteEstimate). */
    qint64 byteEstimate() const { return m_bytes; }
    qint64 byteLimit() const { return m_byteLimit; }

public slots:
    /** Puts back the texts and the current cell from before the last step; nothing when none. */
    void undo();
    /** Does the step undone last again; nothing when none. */
    void redo();

signals:
    /** What can be undone or redone, their names or the saved state changed. */
    void changed();

private:
    void record(TableChange&& change);
    void trim();
    void stepEnded();

    FareTable& m_table;
    qint64 m_byteLimit;
    qint64 m_bytes = 0;
    std::deque<TableChange> m_undo; ///< oldest first
    std::deque<TableChange> m_redo; ///< undone last at the back
    /** The saved state: the number of steps to undo that it lies after; -1 when out of reach. */
    int m_cleanIndex = 0;
    bool m_cleanPending = false; ///< markClean() ran in a step that has not ended yet
};
