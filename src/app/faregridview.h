#pragma once

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
 * character, input-method text, the Delete key, a double click, the right button, files dropped,
 * and the grid getting the focus. Neither the right button nor the focus moves the current cell.
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
    void contextMenuRequested(const QPoint& globalPos);
    /** Files were dropped; path is the first one. */
    void fileDropped(const QString& path);
    void gotFocus();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;

private:
    void showTableCurrentCell(int row, int col);
    void tableVisibilityChanged(bool visible);
    void updateInputMethod();

    FareTable& m_table;
    FareGridModel* m_model;
    bool m_tableHidden = false;
    bool m_following = false; ///< the view is following a move made by the table
    bool m_focusing = false;  ///< the view is taking the focus
};
