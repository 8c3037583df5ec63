#pragma once

#include "faretable.h"
#include "platform.h"

/** Keeps the table hidden for the guard's lifetime: shown again on every path out. */
class HiddenTable {
public:
    explicit HiddenTable(FareTable& table) : m_table(table) { m_table.hide(); }
    ~HiddenTable() { m_table.show(); }
    HiddenTable(const HiddenTable&) = delete;
    HiddenTable& operator=(const HiddenTable&) = delete;

private:
    FareTable& m_table;
};

/** One step of the table's history for the guard's lifetime: closed again on every path out. */
class TableStep {
public:
    /** name: what the Edit menu calls the step (the outermost guard's name counts). */
    explicit TableStep(FareTable& table, const QString& name = QString()) : m_table(table)
    {
        m_table.beginStep(name);
    }
    ~TableStep() { m_table.endStep(); }
    TableStep(const TableStep&) = delete;
    TableStep& operator=(const TableStep&) = delete;

private:
    FareTable& m_table;
};

/** Shows the busy pointer for the guard's lifetime: the default pointer is back on every path. */
class BusyPointer {
public:
    explicit BusyPointer(Platform& platform) : m_platform(platform) { m_platform.setBusy(true); }
    ~BusyPointer() { m_platform.setBusy(false); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

private:
    Platform& m_platform;
};
