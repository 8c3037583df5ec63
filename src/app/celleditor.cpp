#include "celleditor.h"

#include "faregridview.h"
#include "model/faretable.h"
#include "model/platform.h"

#include <QGuiApplication>
#include <QInputMethod>
#include <QKeyEvent>

CellEditor::CellEditor(FareTable& table, Platform& platform, std::function<void()> focusGrid,
                       QWidget* parent)
    : LongLineEdit(parent), m_table(table), m_platform(platform), m_focusGrid(std::move(focusGrid))
{
    setObjectName(QStringLiteral("Text1"));
    setFrame(false);
    // Files dropped on the open box go to the grid beneath it, which opens them; the box itself
    // would only paste their paths into the cell.
    setAcceptDrops(false);
    // A thin highlight border tells the open editor from the cells around it.
    setStyleSheet(QStringLiteral("QLineEdit { border: 1px solid palette(highlight); "
                                 "padding: 0px 1px; }"));
    hide();
}

void CellEditor::open(const QString& text, const QRect& cellRect, const QFont& font,
                      bool japaneseInput)
{
    setFont(font);
    setFullText(text);
    setGeometry(cellRect);
    setAttribute(Qt::WA_InputMethodEnabled, japaneseInput);
    setInputMethodHints(japaneseInput
                            ? Qt::ImhNone
                            : Qt::ImhPreferNumbers | Qt::ImhPreferLatin | Qt::ImhNoPredictiveText);
    show();
    raise();
    setFocus(Qt::OtherFocusReason);
    if (hasFocus())
        QGuiApplication::inputMethod()->update(Qt::ImEnabled | Qt::ImHints);
}

void CellEditor::commit()
{
    if (isHidden())
        return;
    // Letting go of the focus first asks the input method to finish a composition into the box.
    const bool hadFocus = releaseFocus();
    m_table.setCurrentText(fullText(), QStringLiteral("入力"));
    hide();
    if (hadFocus)
        m_focusGrid();
}

bool CellEditor::releaseFocus()
{
    // A widget hidden while it holds the keyboard focus hands the focus on as the Tab key does,
    // and the grid would take that for a move to the next cell. Let go of it instead; the caller
    // gives it to the grid once the box is hidden.
    if (!hasFocus())
        return false;
    clearFocus();
    return true;
}

void CellEditor::moveAfterCommit(int rowStep, int colStep)
{
    m_focusGrid();
    m_platform.processEvents();
    // The bounds are tested on the current cell as it is after the pause.
    const int row = m_table.CurRow();
    const int col = m_table.CurCol();
    if (rowStep > 0 && row < m_table.rowCount() - 1)
        m_table.setCurrentRow(row + 1);
    else if (rowStep < 0 && row > m_table.fixedRows())
        m_table.setCurrentRow(row - 1);
    else if (colStep > 0 && col < m_table.colCount() - 1)
        m_table.setCurrentCol(col + 1);
    else if (colStep < 0)
        m_table.setCurrentCol(qMax(col - 1, int(FareTable::NameCol)));
}

void CellEditor::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        // Hidden first, so the grid's focus finds nothing to commit: the edit is discarded.
        releaseFocus();
        hide();
        m_focusGrid();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        m_focusGrid();
        return;
    case Qt::Key_Down:
        moveAfterCommit(1, 0);
        return;
    case Qt::Key_Up:
        moveAfterCommit(-1, 0);
        return;
    case Qt::Key_Right:
        if (m_table.CurCol() == FareTable::NameCol)
            break;
        moveAfterCommit(0, 1);
        return;
    case Qt::Key_Left:
        if (m_table.CurCol() == FareTable::NameCol)
            break;
        moveAfterCommit(0, -1);
        return;
    default:
        // An Alt or Meta chord types nothing here either (the box itself leaves Ctrl ones out).
        if (FareGridView::isChord(event) &&
            (event->modifiers() & (Qt::AltModifier | Qt::MetaModifier)) &&
            !event->text().isEmpty() && event->text().front().isPrint()) {
            event->accept();
            return;
        }
        break;
    }
    LongLineEdit::keyPressEvent(event);
}
