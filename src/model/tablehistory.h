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
    /** The estimated bytes of every step kept (TableChange::byteEstimate). */
    qint64 byteEstimate() const { return m_bytes; }
    qint64 byteLimit() const { return m_byteLimit; }

public slots:
    /** Puts back the texts and the current cell from before the last step; nothing when none. */
    void undo();
    /** Does the step undone last again; nothing when none. */
    void redo();

signals:
    /** What can be undone or redone changed. */
    void changed();

private:
    void record(TableChange&& change);
    void trim();

    FareTable& m_table;
    qint64 m_byteLimit;
    qint64 m_bytes = 0;
    std::deque<TableChange> m_undo; ///< oldest first
    std::deque<TableChange> m_redo; ///< undone last at the back
};
