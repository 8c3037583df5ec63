#include "longlineedit.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <limits>

LongLineEdit::LongLineEdit(QWidget* parent) : QLineEdit(parent)
{
    // The usual limit of 32767 characters would cut a longer text.
    setMaxLength(std::numeric_limits<int>::max());
    connect(this, &QLineEdit::selectionChanged, this, [this] {
        if (selectionStart() != 0 || selectionLength() != text().size())
            m_wholeSelected = false;
    });
}

void LongLineEdit::setFullText(const QString& text)
{
    showPart(text, text.size());
}

QString LongLineEdit::fullText() const
{
    if (!hasHiddenText())
        return text();
    return m_before + text() + m_after;
}

void LongLineEdit::showPart(const QString& text, qsizetype caret)
{
    qsizetype start = 0;
    qsizetype end = text.size();
    if (text.size() > PartLength) {
        start = qBound(qsizetype(0), caret - PartLength / 2, text.size() - PartLength);
        end = start + PartLength;
        // A character of two UTF-16 units stays whole, on the shown side.
        if (start > 0 && text[start].isLowSurrogate())
            --start;
        if (end < text.size() && text[end].isLowSurrogate())
            ++end;
    }
    m_before = text.first(start);
    m_after = text.sliced(end);
    m_wholeSelected = false;
    QLineEdit::setText(start == 0 && end == text.size() ? text : text.sliced(start, end - start));
    setCursorPosition(int(caret - start));
    if (hasHiddenText())
        emit partShown(start, end - start, text.size());
}

void LongLineEdit::keepPartShown()
{
    // An emptied part would show an empty box for a text that goes on.
    if (text().isEmpty() && hasHiddenText())
        showPart(fullText(), m_before.size());
}

void LongLineEdit::selectAll()
{
    QLineEdit::selectAll();
    m_wholeSelected = true;
}

void LongLineEdit::copy()
{
    if (wholeSelected())
        QGuiApplication::clipboard()->setText(fullText());
    else
        QLineEdit::copy();
}

void LongLineEdit::cut()
{
    if (wholeSelected()) {
        copy();
        setFullText(QString());
    } else {
        QLineEdit::cut();
        keepPartShown();
    }
}

void LongLineEdit::paste()
{
    const QString pasted = QGuiApplication::clipboard()->text();
    // A paste that fits the part is the box's own: its undo takes back the paste alone.
    if (!wholeSelected() && text().size() + pasted.size() <= PartLength) {
        QLineEdit::paste();
        return;
    }
    if (!pasted.isEmpty() || hasSelectedText())
        replaceSelection(pasted);
}

void LongLineEdit::replaceSelection(const QString& text)
{
    if (wholeSelected()) {
        setFullText(text);
        return;
    }
    if (this->text().size() + text.size() <= PartLength) {
        QLineEdit::insert(text); // the box's own insertion, which can be undone
        keepPartShown();
        return;
    }
    // A long text goes into the whole text; the part is then shown around the caret after it.
    const bool selected = hasSelectedText();
    const qsizetype from = m_before.size() + (selected ? selectionStart() : cursorPosition());
    QString whole = fullText();
    whole.replace(from, selected ? selectionLength() : 0, text);
    showPart(whole, from + text.size());
}

void LongLineEdit::deleteSelection()
{
    if (wholeSelected()) {
        setFullText(QString());
    } else {
        del();
        keepPartShown();
    }
}

void LongLineEdit::followCaret(const QKeyEvent* event)
{
    // Selections reach only to the edges of the part: Shift leaves the part where it is.
    if (!hasHiddenText() || (event->modifiers() & Qt::ShiftModifier))
        return;
    const int key = event->key();
    const qsizetype caret = cursorPosition();
    const bool collapses = hasSelectedText(); // Left, Right and the erasing keys stay in the part
    const bool back = key == Qt::Key_Left || key == Qt::Key_Backspace;
    const bool forward = key == Qt::Key_Right || key == Qt::Key_Delete;
    if (key == Qt::Key_Home && !m_before.isEmpty())
        showPart(fullText(), 0);
    else if (key == Qt::Key_End && !m_after.isEmpty())
        showPart(fullText(), m_before.size() + text().size() + m_after.size());
    else if (!collapses && ((back && caret == 0 && !m_before.isEmpty()) ||
                            (forward && caret == text().size() && !m_after.isEmpty())))
        showPart(fullText(), m_before.size() + caret);
}

void LongLineEdit::keyPressEvent(QKeyEvent* event)
{
    if (event == QKeySequence::SelectAll) {
        selectAll();
        return;
    }
    if (event == QKeySequence::Paste) {
        paste();
        return;
    }
    if (wholeSelected()) {
        if (event == QKeySequence::Copy) {
            copy();
            return;
        }
        if (event == QKeySequence::Cut) {
            cut();
            return;
        }
        if (event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete) {
            setFullText(QString());
            return;
        }
        const QString typed = event->text();
        if (!typed.isEmpty() && typed.front().isPrint() &&
            !(event->modifiers() & Qt::ControlModifier))
            setFullText(QString()); // the typed character then replaces everything
    }
    followCaret(event);
    QLineEdit::keyPressEvent(event);
    keepPartShown();
}

void LongLineEdit::focusInEvent(QFocusEvent* event)
{
    // Tab and a shortcut select everything, as Ctrl+A does.
    QLineEdit::focusInEvent(event);
    const Qt::FocusReason reason = event->reason();
    if ((reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
         reason == Qt::ShortcutFocusReason) &&
        hasSelectedText() && selectionLength() == text().size())
        m_wholeSelected = true;
}

void LongLineEdit::inputMethodEvent(QInputMethodEvent* event)
{
    const bool typing = !event->commitString().isEmpty() || !event->preeditString().isEmpty();
    if (typing && wholeSelected()) {
        // The text replaces everything. The box's undo history, which cannot give back what was
        // kept aside, is forgotten once the composition is over: forgetting it now would
        // cancel the composition.
        m_before.clear();
        m_after.clear();
        m_forgetUndo = true;
    }
    QLineEdit::inputMethodEvent(event);
    if (m_forgetUndo && event->preeditString().isEmpty()) {
        m_forgetUndo = false;
        showPart(text(), cursorPosition());
    }
}

void LongLineEdit::mouseReleaseEvent(QMouseEvent* event)
{
    // The middle button puts in the selection of another program (X11).
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (event->button() == Qt::MiddleButton && clipboard->supportsSelection() && !isReadOnly()) {
        const QString selection = clipboard->text(QClipboard::Selection);
        if (text().size() + selection.size() > PartLength) {
            deselect();
            replaceSelection(selection);
            event->accept();
            return;
        }
    }
    QLineEdit::mouseReleaseEvent(event);
}

void LongLineEdit::dropEvent(QDropEvent* event)
{
    const QString dropped = event->mimeData()->text();
    if (isReadOnly() || event->source() == this || text().size() + dropped.size() <= PartLength) {
        QLineEdit::dropEvent(event);
        return;
    }
    setCursorPosition(cursorPositionAt(event->position().toPoint()));
    event->acceptProposedAction();
    replaceSelection(dropped);
}

void LongLineEdit::contextMenuEvent(QContextMenuEvent* event)
{
    // The box's own menu, its entries that act on the selection and the clipboard going through
    // the functions above, which know the whole text. They are known by Qt's own captions.
    QMenu* menu = createStandardContextMenu();
    const std::pair<const char*, void (LongLineEdit::*)()> entries[] = {
        {"Cu&t", &LongLineEdit::cut},
        {"&Copy", &LongLineEdit::copy},
        {"&Paste", &LongLineEdit::paste},
        {"Delete", &LongLineEdit::deleteSelection},
        {"Select All", &LongLineEdit::selectAll}};
    for (QAction* action : menu->actions()) {
        const QString caption = action->text().section(u'\t', 0, 0);
        for (const auto& [source, run] : entries) {
            if (caption != QLineEdit::tr(source))
                continue;
            disconnect(action, &QAction::triggered, nullptr, nullptr);
            connect(action, &QAction::triggered, this, run);
        }
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}
