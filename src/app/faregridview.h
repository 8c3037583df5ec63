#pragma once

#include "model/cellrange.h"

#include <QTableView>

class FareGridModel;
class FareTable;
class QInputMethodEvent;

/**
 * The grid (MSFlexGrid1): a table view over the fare table with the heading row and column as
 * fixed headers. The view's current cell is the table's current cell, both ways: a click or a
 * navigation key moves the table's current cell (with its leave step), and a move made by code
 * is shown. While the table is hidden the view does not draw; it repaints once when shown.
 *
 * Everything the program handles beyond navigation is passed on as a notification: a typed
 * character, input-method text, the Delete key, a double click, the right button (and the Menu key
 * or Shift+F10, which ask for the context menu at the current cell), files dropped, and the grid
 * getting the focus. Neither the right button nor the focus moves the current cell. A key pressed
 * with Ctrl, Alt or Meta that no command took does nothing.
 *
 * Besides the current cell, a rectangle of ordinary cells can be selected: it reaches from the
 * current cell, which stays where it is, to the cell that Shift with an arrow key (or Page Up,
 * Page Down, Home, End), Shift with a click, or dragging the mouse reaches. A click on a heading
 * selects that column or row: the current cell moves into it, and Shift with the click selects
 * every column or row from the current one to the clicked one.
 */
class FareGridView : public QTableView {
    Q_OBJECT

public:
    explicit FareGridView(FareTable& table, QWidget* parent = nullptr);

    FareGridModel* fareModel() const { return m_model; }

    /**
     * The current cell's rectangle in the viewport's coordinates, scrolled into view first; empty
     * when the current cell is a heading.
     */
    QRect currentCellRect();

    /**
     * The selected rectangle in table rows and columns: the current cell alone when no more is
     * selected, empty when the current cell is a heading.
     */
    CellRange selectedRange() const;
    /** Selects range (ordinary cells only) without moving the current cell. */
    void selectRange(const CellRange& range);

    /** The grid's height that shows the given number of full rows below the heading row. */
    int heightForRows(int rows) const;

    /**
     * Whether a key is pressed as a chord with Ctrl, Alt or Meta, which types nothing. What AltGr
     * types is no chord: X11 reports AltGr as the group switch, Windows as Ctrl+Alt with the
     * character it makes. The keypad is no chord either.
     */
    static bool isChord(const QKeyEvent* event);

    /** The font of every cell: the Japanese Gothic face at 9 points. */
    static QFont gridFont();
    /** The Japanese Gothic face, with the faces that stand in for it where it is missing. */
    static QStringList fontFamilies();

signals:
    /** A key that produces a character (Enter, Esc, Space and Backspace included). */
    void characterTyped(const QString& text);
    /** Input-method text (committed or still being composed) arriving at the grid. */
    void inputMethodTyped(QInputMethodEvent* event);
    void deletePressed();
    void cellDoubleClicked();
    /** The right button (at the mouse) or the Menu key or Shift+F10 (below the current cell). */
    void contextMenuRequested(const QPoint& globalPos);
    /** Files were dropped; path is the first one. */
    void fileDropped(const QString& path);
    void gotFocus();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;
    void focusInEvent(QFocusEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;

private:
    /** Where the keyboard opens the context menu: below the current cell, scrolled into view. */
    QPoint contextMenuPosition();
    void showTableCurrentCell(int row, int col);
    void tableVisibilityChanged(bool visible);
    void updateInputMethod();
    /** Selects from the current cell to the cell (row, col) of the model; false with a heading
     *  current. */
    bool selectFromCurrentTo(int row, int col);
    bool extendSelectionByKey(const QKeyEvent* event);
    bool headingPressed(QObject* watched, const QMouseEvent* event);

    FareTable& m_table;
    FareGridModel* m_model;
    bool m_tableHidden = false;
    bool m_following = false;     ///< the view is following a move made by the table
    bool m_focusing = false;      ///< the view is taking the focus
    bool m_keepScroll = false;    ///< a heading click moves the current cell without scrolling
    bool m_dragSelecting = false; ///< the left button, pressed on a cell, is still down
};
