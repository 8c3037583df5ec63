#pragma once

#include <QLineEdit>

/**
 * A single-line box for a text of any length. A line edit lays out its whole text whenever the
 * text changes, at about a microsecond a character, so a cell of megabytes would hold the window
 * for seconds at each key: a text longer than PartLength characters is shown and edited one part
 * at a time, and the characters before and after the part are kept aside, unchanged.
 * fullText() is always the whole text; set it with setFullText() (QLineEdit::setText() would
 * only replace the part).
 *
 * The part follows the caret: Home and End, and Left, Right, Backspace and Delete at an edge of
 * the part, move the part first, so the keys reach both ends of the text. Text pasted, dropped or
 * put in with the middle button goes in whole, and the part is then placed around the caret after
 * it. Select all (Ctrl+A, the box's menu, Tab into the box) selects the whole text: typing,
 * input-method text, Backspace, Delete, cut and paste then replace all of it, and copy copies all
 * of it. Any other selection (Shift with a key, the mouse) reaches to the edges of the part. Each
 * move of the part starts the box's own undo history afresh, so undo never mixes up two parts.
 */
class LongLineEdit : public QLineEdit {
    Q_OBJECT

public:
    /** The most characters shown at once, and the longest text shown whole. */
    static constexpr qsizetype PartLength = 1000;

    explicit LongLineEdit(QWidget* parent = nullptr);

    /** Sets the whole text, with the caret at its end. */
    void setFullText(const QString& text);
    /** The whole text: the part shown and what is kept aside. */
    QString fullText() const;

    // These hide QLineEdit's functions of the same name, which know only the part shown.
    void selectAll();
    void copy();
    void cut();
    void paste();
    /** Replaces the selection (the whole text when all of it is selected) by text. */
    void insert(const QString& text) { replaceSelection(text); }

signals:
    /** The box shows characters start to start + length - 1 (from 0) of a text of total. */
    void partShown(qsizetype start, qsizetype length, qsizetype total);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    bool hasHiddenText() const { return !m_before.isEmpty() || !m_after.isEmpty(); }
    /** Whether the whole of a text longer than the part is selected. */
    bool wholeSelected() const { return m_wholeSelected && hasHiddenText(); }
    /** Shows the part of text around caret (a position in text), with the caret there. */
    void showPart(const QString& text, qsizetype caret);
    /** Puts text in place of the selection (all of the text when selected whole), or at the
     *  caret. */
    void replaceSelection(const QString& text);
    void deleteSelection();
    /** Shows the part around the caret again when an edit has emptied the part shown. */
    void keepPartShown();
    /** Moves the part when key would take the caret past its edge into hidden text. */
    void followCaret(const QKeyEvent* event);

    QString m_before; ///< the characters before the part shown
    QString m_after;  ///< the characters after it
    bool m_wholeSelected = false;
    bool m_forgetUndo = false; ///< an input-method text replaced a whole text
};
