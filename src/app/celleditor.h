#pragma once

#include "longlineedit.h"

#include <functional>

class FareTable;
class Platform;

/**
 * The in-cell editor (Text1): a single-line box laid over the table's current cell while it is
 * edited. Its text reaches the cell only through commit(), which the window runs when the grid
 * gets the focus and when the current cell is about to be left; Esc hides it without writing.
 * A text of any length is edited whole, a part at a time when it is long (LongLineEdit).
 *
 * Keys: Enter commits without moving; Up and Down commit and move one row, never onto the
 * heading row nor past row 301; Left and Right do the same by column, except in the name
 * column, where they move the caret. Between the commit and the move pending events run once.
 */
class CellEditor : public LongLineEdit {
    Q_OBJECT

public:
    /** focusGrid gives the grid the focus, which commits the box. */
    CellEditor(FareTable& table, Platform& platform, std::function<void()> focusGrid,
               QWidget* parent);

    /**
     * Opens the box over cellRect with text and the caret at its end; the input method is on
     * for Japanese entry when japaneseInput, otherwise off.
     */
    void open(const QString& text, const QRect& cellRect, const QFont& font, bool japaneseInput);

    /** Whether the box is open (it may be open while its window is not shown). */
    bool isOpen() const { return !isHidden(); }

    /**
     * Writes the text into the table's current cell and hides the box, passing the keyboard focus
     * to the grid if the box had it; nothing when hidden.
     */
    void commit();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void moveAfterCommit(int rowStep, int colStep);
    /** Lets go of the keyboard focus before the box is hidden; returns whether it had it. */
    bool releaseFocus();

    FareTable& m_table;
    Platform& m_platform;
    std::function<void()> m_focusGrid;
};
