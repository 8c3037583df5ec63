#include "editcommands.h"

#include "model/faretable.h"
#include "model/platform.h"

namespace {

/** n texts, each the decimal text of its position counted from 1. */
QVector<QString> countFromOne(int n)
{
    QVector<QString> texts;
    texts.reserve(n);
    for (int k = 1; k <= n; ++k)
        texts.append(QString::number(k));
    return texts;
}

} // namespace

EditCommands::EditCommands(FareTable& table, Platform& platform, QObject* parent)
    : QObject(parent), m_table(table), m_platform(platform), m_copiedColumn(FareTable::LastRow)
{
}

bool EditCommands::DeletePrompt()
{
    const Platform::Answer answer = m_platform.messageBox(
        QStringLiteral("削除したデータを戻すことはできません！\r\n削除しますか？"), QString(),
        Platform::Buttons::YesNo, Platform::Icon::Exclamation, Platform::Answer::Yes);
    return answer != Platform::Answer::No;
}

void EditCommands::enableRowPaste()
{
    if (m_rowPasteEnabled)
        return;
    m_rowPasteEnabled = true;
    emit rowPasteEnabledChanged(true);
}

void EditCommands::renumberRows()
{
    // "1" to "300" into (2, 0) to (301, 0), as SetCell from the top: ends on (301, 0).
    static const QVector<QString> labels = countFromOne(FareTable::StopCount);
    m_table.writeBlock(FareTable::FirstStopRow, 0, FareTable::LastRow, 0, labels);
}

void EditCommands::renumberHeader()
{
    // "1" to "150" into (0, 3) to (0, 152), as SetCell from the left: ends on (0, 152).
    static const QVector<QString> numbers = countFromOne(FareTable::FareCount);
    m_table.writeBlock(0, FareTable::FirstFareCol, 0, FareTable::LastCol, numbers);
}

void EditCommands::blankColumn(int col)
{
    // "" into (1, col) to (301, col), as SetCell from the top: ends on (301, col).
    static const QVector<QString> blanks(FareTable::LastRow);
    m_table.writeBlock(FareTable::RouteRow, col, FareTable::LastRow, col, blanks);
}
