#pragma once

#include "model/faretable.h"

#include <QObject>
#include <QString>

/** Stands in for the in-cell editor: while open, leaving a cell commits its text into it. */
class EditorStandIn : public QObject {
public:
    explicit EditorStandIn(FareTable& table) : m_table(table)
    {
        connect(&table, &FareTable::cellAboutToBeLeft, this, [this](int, int) { commit(); });
    }
    void open(const QString& text)
    {
        m_text = text;
        m_open = true;
    }
    void commit()
    {
        if (!m_open)
            return;
        m_open = false;
        m_table.setCurrentText(m_text);
    }
    bool isOpen() const { return m_open; }

private:
    FareTable& m_table;
    QString m_text;
    bool m_open = false;
};
