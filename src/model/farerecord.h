#pragma once

#include <QString>
#include <QtGlobal>
#include <array>

/**
 * One table row as the binary files, the row buffer and the text import hold it.
 * Fares[k - 1] is the fare of ticket k (column 2 + k); 0 stands for an empty cell.
 */
struct FareRecord {
    static constexpr int FareCount = 150;
    /** The most bytes a name takes in code page 932: the binary files count them in 16 bits. */
    static constexpr qsizetype MaxNameBytes = 0xFFFF;

    QString Name;
    qint16 TicketNo = 0;
    std::array<qint16, FareCount> Fares{};

    bool operator==(const FareRecord& other) const
    {
        return Name == other.Name && TicketNo == other.TicketNo && Fares == other.Fares;
    }
};
