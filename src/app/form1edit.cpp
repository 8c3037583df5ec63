// The Edit menu's handlers: undo and redo, the clipboard, find and replace; and the status bar.
#include "celleditor.h"
#include "edit/blockedits.h"
#include "edit/clipboardtext.h"
#include "faregridview.h"
#include "findbar.h"
#include "form1.h"
#include "model/bulkguards.h"
#include "model/messagetext.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QStatusBar>

namespace {
constexpr int StatusMilliseconds = 10000;
} // namespace

FindBar* Form1::findBar()
{
    // Made on first use: the program starts as fast as it did without it.
    if (!m_findBar)
        createFindBar();
    return m_findBar;
}

void Form1::createFindBar()
{
    m_findBar = new FindBar(this);
    addToolBar(Qt::BottomToolBarArea, m_findBar);
    m_findBar->installEventFilter(this);
    connect(m_findBar, &FindBar::findRequested, this, &Form1::findNext);
    connect(m_findBar, &FindBar::replaceRequested, this, &Form1::replaceOne);
    connect(m_findBar, &FindBar::replaceAllRequested, this, &Form1::replaceEverything);
    connect(m_findBar, &FindBar::closed, this, &Form1::focusGrid);
}

void Form1::showStatus(const QString& text)
{
    statusBar()->showMessage(text, StatusMilliseconds);
}

bool Form1::editorIsTarget() const
{
    // Choosing from the menu can leave the focus with the menu bar, a menu or nowhere for a
    // moment: the open editor is still what is being edited then.
    const QWidget* focus = QApplication::focusWidget();
    return Text1->isOpen() &&
           (!focus || focus == Text1 || focus->inherits("QMenuBar") || focus->inherits("QMenu"));
}

void Form1::commitOpenEdit()
{
    // An edit still open belongs to the table before the table is copied, pasted or searched.
    // The focus stays where it is (the find bar, a panel), unless it was in the box.
    Text1->commit();
}

void Form1::MnuEditUndo()
{
    if (editorIsTarget()) {
        Text1->undo();
        return;
    }
    commitOpenEdit(); // an edit left open is the step that is undone
    m_history.undo();
}

void Form1::MnuEditRedo()
{
    if (editorIsTarget()) {
        Text1->redo();
        return;
    }
    commitOpenEdit();
    m_history.redo();
}

void Form1::MnuEditCopy()
{
    if (editorIsTarget()) {
        Text1->copy();
        return;
    }
    commitOpenEdit();
    const CellRange selected = MSFlexGrid1->selectedRange();
    const CellBlock block = BlockEdits::read(m_table, selected);
    if (block.isEmpty())
        return;
    auto* data = new QMimeData;
    data->setText(blockToTabText(block));
    data->setHtml(blockToHtml(block, selected.left));
    QGuiApplication::clipboard()->setMimeData(data);
}

void Form1::MnuEditCut()
{
    if (editorIsTarget()) {
        Text1->cut();
        return;
    }
    MnuEditCopy();
    BlockEdits::clear(m_table, MSFlexGrid1->selectedRange());
}

void Form1::MnuEditPaste()
{
    if (editorIsTarget()) {
        Text1->paste();
        return;
    }
    commitOpenEdit();
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    const CellBlock block = data && data->hasText() ? tabTextToBlock(data->text()) : CellBlock();
    if (block.isEmpty()) {
        showStatus(QStringLiteral("クリップボードに貼り付けられる文字列がありません"));
        return;
    }
    // From the selection's top-left cell: the current cell unless more is selected.
    const CellRange selected = MSFlexGrid1->selectedRange();
    const int row = selected.isEmpty() ? m_table.CurRow() : selected.top;
    const int col = selected.isEmpty() ? m_table.CurCol() : selected.left;
    const BlockEdits::PasteResult pasted = BlockEdits::paste(m_table, block, row, col, selected);
    MSFlexGrid1->selectRange(pasted.written);
    if (pasted.leftOut > 0)
        showStatus(QStringLiteral("表の外や見出しに当たる %1 セルは貼り付けませんでした")
                       .arg(pasted.leftOut));
    else
        statusBar()->clearMessage(); // an earlier paste's message is not about this one
}

void Form1::MnuEditFind()
{
    findBar()->open(false);
}

void Form1::MnuEditReplace()
{
    findBar()->open(true);
}

void Form1::findNext(bool backwards)
{
    const FindReplace::Options options = m_findBar->options();
    if (options.text.isEmpty())
        return;
    const FindReplace::Match match =
        FindReplace::find(m_table, m_table.CurRow(), m_table.CurCol(), options, backwards);
    if (!match.found()) {
        showStatus(QStringLiteral("「%1」は見つかりませんでした").arg(briefQuote(options.text)));
        return;
    }
    // A move like any other: it commits an open edit and updates the menus.
    m_table.setCurrentCell(match.row, match.col);
    if (match.wrapped)
        showStatus(backwards ? QStringLiteral("表の末尾に戻って検索しました")
                             : QStringLiteral("表の先頭に戻って検索しました"));
    else
        statusBar()->clearMessage();
}

void Form1::replaceOne()
{
    commitOpenEdit();
    {
        TableStep step(m_table, QStringLiteral("置換"));
        FindReplace::replaceCurrent(m_table, m_findBar->options(), m_findBar->replacement());
    }
    findNext(false);
}

void Form1::replaceEverything()
{
    commitOpenEdit();
    const FindReplace::Options options = m_findBar->options();
    if (options.text.isEmpty())
        return;
    int changed = 0;
    {
        TableStep step(m_table, QStringLiteral("すべて置換"));
        changed = FindReplace::replaceAll(m_table, options, m_findBar->replacement());
    }
    showStatus(changed > 0
                   ? QStringLiteral("%1 セルを置換しました").arg(changed)
                   : QStringLiteral("「%1」を含むセルはありません").arg(briefQuote(options.text)));
}
