#include "faregridview.h"

#include "faregridmodel.h"
#include "gui/gridfont.h"
#include "gui/twips.h"
#include "io/pathbytes.h"
#include "model/faretable.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QProxyStyle>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QStyle>
#include <QUrl>

namespace {

// Column widths in twips: the row labels, the names, the ticket numbers, each fare.
constexpr int LabelColumnWidth = 1000;
constexpr int NameColumnWidth = 3000;
constexpr int TicketColumnWidth = 1000;
constexpr int FareColumnWidth = 600;

/** Light grey grid lines (C0 C0 C0), whatever the style's own colour. */
class GridLineStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_Table_GridLineColor)
            return int(qRgb(0xC0, 0xC0, 0xC0));
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

/**
 * A header of fixed thickness (the row labels' width, the heading row's height). Its size hint
 * is that thickness: measuring every heading's text, as a plain header does whenever the
 * headings change, would only find the same number.
 */
class FixedHeader : public QHeaderView {
public:
    FixedHeader(Qt::Orientation orientation, QWidget* parent) : QHeaderView(orientation, parent)
    {
        setHighlightSections(true);
        setSectionsClickable(false);
        setMinimumSectionSize(1);
    }
    QSize sizeHint() const override
    {
        return orientation() == Qt::Horizontal ? QSize(length(), minimumHeight())
                                               : QSize(minimumWidth(), length());
    }
};

bool isNavigationKey(int key)
{
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return true;
    default:
        return false;
    }
}

/** The first local file among dropped data; empty when there is none. */
QString firstLocalFile(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return QString();
    const QList<QUrl> urls = data->urls();
    for (const QUrl& url : urls) {
        if (url.isLocalFile())
            return FileIo::localFileFromUrl(url); // its bytes, also when they are not UTF-8
    }
    return QString();
}

/** Whether dropped data holds a local file that may be copied (not only moved or linked). */
bool isCopyOfLocalFile(const QDropEvent* event)
{
    return event->possibleActions().testFlag(Qt::CopyAction) &&
           !firstLocalFile(event->mimeData()).isEmpty();
}

} // namespace

QStringList FareGridView::fontFamilies()
{
    return gridFontFamilies();
}

QFont FareGridView::gridFont()
{
    QFont font;
    font.setFamilies(gridFontFamilies());
    font.setPointSize(9);
    return font;
}

FareGridView::FareGridView(FareTable& table, QWidget* parent)
    : QTableView(parent), m_table(table), m_model(new FareGridModel(table, this))
{
    setObjectName(QStringLiteral("MSFlexGrid1"));
    setAccessibleName(QStringLiteral("運賃表"));
    auto* style = new GridLineStyle;
    style->setParent(this);
    setStyle(style);
    setFont(gridFont());
    setHorizontalHeader(new FixedHeader(Qt::Horizontal, this));
    setVerticalHeader(new FixedHeader(Qt::Vertical, this));
    setModel(m_model);
    setSelectionMode(ContiguousSelection);
    setSelectionBehavior(SelectItems);
    setEditTriggers(NoEditTriggers);
    setCornerButtonEnabled(false);
    setWordWrap(false);
    setAcceptDrops(true);
    setDropIndicatorShown(false);
    // The right button belongs to the program's own context menu.
    setContextMenuPolicy(Qt::PreventContextMenu);
    viewport()->setContextMenuPolicy(Qt::PreventContextMenu);

    const Twips twips = Twips::ofPrimaryScreen();
    const int rowHeight = fontMetrics().height() + 6;
    QHeaderView* columns = horizontalHeader();
    columns->setDefaultSectionSize(twips.toPixelsX(FareColumnWidth));
    columns->resizeSection(FareTable::NameCol - 1, twips.toPixelsX(NameColumnWidth));
    columns->resizeSection(FareTable::TicketCol - 1, twips.toPixelsX(TicketColumnWidth));
    columns->setFixedHeight(rowHeight);
    QHeaderView* rows = verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(rowHeight);
    rows->setFixedWidth(twips.toPixelsX(LabelColumnWidth));
    columns->installEventFilter(this);
    rows->installEventFilter(this);
    columns->viewport()->installEventFilter(this);
    rows->viewport()->installEventFilter(this);

    connect(&table, &FareTable::currentCellChanged, this, &FareGridView::showTableCurrentCell);
    connect(&table, &FareTable::visibilityChanged, this, &FareGridView::tableVisibilityChanged);
    showTableCurrentCell(table.CurRow(), table.CurCol());
}

void FareGridView::showTableCurrentCell(int row, int col)
{
    const QModelIndex index = m_model->indexOfCell(row, col);
    if (index == currentIndex())
        return;
    // A move made while the table was hidden (a load, a clearing, an editing command) ends
    // wherever the operation's last access was: show it, but do not scroll the view there.
    const bool scroll = !m_tableHidden && !m_keepScroll;
    const bool autoScroll = hasAutoScroll();
    setAutoScroll(scroll);
    m_following = true;
    if (index.isValid())
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    else
        selectionModel()->clear(); // a heading cell: the model draws it current
    m_following = false;
    setAutoScroll(autoScroll);
    updateInputMethod();
}

void FareGridView::tableVisibilityChanged(bool visible)
{
    m_tableHidden = !visible;
    setUpdatesEnabled(visible);
}

void FareGridView::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    if (!m_following && current.isValid())
        m_table.setCurrentCell(current.row() + FareTable::FixedRows,
                               current.column() + FareTable::FixedCols);
    updateInputMethod();
}

void FareGridView::updateInputMethod()
{
    // Japanese entry on the name column, the input method off on the number columns.
    setAttribute(Qt::WA_InputMethodEnabled, m_table.CurCol() <= FareTable::NameCol);
    if (hasFocus())
        QGuiApplication::inputMethod()->update(Qt::ImEnabled);
}

QModelIndex FareGridView::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers)
{
    if (!currentIndex().isValid()) {
        // Getting the focus without a current index, the view asks for the first cell to make
        // current; a heading cell stays current instead.
        if (m_focusing)
            return QModelIndex();
        // With a heading cell current, navigation starts from the nearest ordinary cell.
        return m_model->indexOfCell(qMax(m_table.CurRow(), FareTable::FixedRows),
                                    qMax(m_table.CurCol(), FareTable::FixedCols));
    }
    return QTableView::moveCursor(cursorAction, modifiers);
}

QRect FareGridView::currentCellRect()
{
    const QModelIndex index = m_model->indexOfCell(m_table.CurRow(), m_table.CurCol());
    if (!index.isValid())
        return QRect();
    scrollTo(index);
    return visualRect(index);
}

QPoint FareGridView::contextMenuPosition()
{
    // A heading cell: below its row's label or its column's heading.
    const int row = m_table.CurRow() - FareTable::FixedRows;
    const int col = m_table.CurCol() - FareTable::FixedCols;
    const QRect cell = currentCellRect();
    QPoint at = cell.isEmpty() ? QPoint(col < 0 ? 0 : columnViewportPosition(col),
                                        row < 0 ? 0 : rowViewportPosition(row) + rowHeight(row))
                               : cell.bottomLeft();
    at = QPoint(qBound(0, at.x(), viewport()->width() - 1),
                qBound(0, at.y(), viewport()->height() - 1));
    return viewport()->mapToGlobal(at);
}

int FareGridView::heightForRows(int rows) const
{
    return horizontalHeader()->height() + rows * verticalHeader()->defaultSectionSize() +
           horizontalScrollBar()->sizeHint().height() + 2 * frameWidth();
}

bool FareGridView::isChord(const QKeyEvent* event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    const Qt::KeyboardModifiers chord =
        modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (!chord || modifiers.testFlag(Qt::GroupSwitchModifier))
        return false;
    const QString text = event->text();
    return chord != (Qt::ControlModifier | Qt::AltModifier) || text.isEmpty() ||
           !text.front().isPrint();
}

CellRange FareGridView::selectedRange() const
{
    const QItemSelection selection = selectionModel()->selection();
    if (selection.size() == 1 && selection.first().contains(currentIndex())) {
        const QItemSelectionRange& range = selection.first();
        return {range.top() + FareTable::FixedRows, range.left() + FareTable::FixedCols,
                range.bottom() + FareTable::FixedRows, range.right() + FareTable::FixedCols};
    }
    if (!currentIndex().isValid())
        return {};
    return {m_table.CurRow(), m_table.CurCol(), m_table.CurRow(), m_table.CurCol()};
}

void FareGridView::selectRange(const CellRange& range)
{
    const QModelIndex topLeft = m_model->indexOfCell(range.top, range.left);
    const QModelIndex bottomRight = m_model->indexOfCell(range.bottom, range.right);
    if (topLeft.isValid() && bottomRight.isValid())
        selectionModel()->select(QItemSelection(topLeft, bottomRight),
                                 QItemSelectionModel::ClearAndSelect);
}

QItemSelectionModel::SelectionFlags FareGridView::selectionCommand(const QModelIndex& index,
                                                                   const QEvent* event) const
{
    // Every move of the current cell selects that cell alone: the view's own Shift handling
    // would move the current cell along, so a block is only ever selected by the code below.
    Q_UNUSED(index)
    Q_UNUSED(event)
    return QItemSelectionModel::ClearAndSelect;
}

bool FareGridView::selectFromCurrentTo(int row, int col)
{
    const QModelIndex current = currentIndex();
    if (!current.isValid())
        return false;
    row = qBound(0, row, m_model->rowCount() - 1);
    col = qBound(0, col, m_model->columnCount() - 1);
    const QModelIndex corner = m_model->index(row, col);
    selectionModel()->select(
        QItemSelection(m_model->index(qMin(row, current.row()), qMin(col, current.column())),
                       m_model->index(qMax(row, current.row()), qMax(col, current.column()))),
        QItemSelectionModel::ClearAndSelect);
    scrollTo(corner);
    return true;
}

bool FareGridView::extendSelectionByKey(const QKeyEvent* event)
{
    const QModelIndex current = currentIndex();
    if (!(event->modifiers() & Qt::ShiftModifier) || !current.isValid())
        return false;
    // The moving corner is the one of the selection opposite the current cell.
    const CellRange range = selectedRange();
    const int curRow = m_table.CurRow();
    const int curCol = m_table.CurCol();
    int row = (range.top == curRow ? range.bottom : range.top) - FareTable::FixedRows;
    int col = (range.left == curCol ? range.right : range.left) - FareTable::FixedCols;
    const int page = qMax(1, viewport()->height() / qMax(1, rowHeight(row)) - 1);
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    switch (event->key()) {
    case Qt::Key_Up:
        --row;
        break;
    case Qt::Key_Down:
        ++row;
        break;
    case Qt::Key_Left:
        --col;
        break;
    case Qt::Key_Right:
        ++col;
        break;
    case Qt::Key_PageUp:
        row -= page;
        break;
    case Qt::Key_PageDown:
        row += page;
        break;
    case Qt::Key_Home:
        col = 0;
        row = ctrl ? 0 : row;
        break;
    case Qt::Key_End:
        col = m_model->columnCount() - 1;
        row = ctrl ? m_model->rowCount() - 1 : row;
        break;
    default:
        return false;
    }
    return selectFromCurrentTo(row, col);
}

bool FareGridView::headingPressed(QObject* watched, const QMouseEvent* event)
{
    const bool columns = watched == horizontalHeader()->viewport();
    if (!columns && watched != verticalHeader()->viewport())
        return false;
    QHeaderView* header = columns ? horizontalHeader() : verticalHeader();
    const QPoint pos = event->position().toPoint();
    const int along = columns ? pos.x() : pos.y();
    const int section = header->logicalIndexAt(along);
    if (section < 0)
        return false;
    // A press on the edge between two column headings resizes the column.
    const int grip = header->style()->pixelMetric(QStyle::PM_HeaderGripMargin, nullptr, header);
    const int start = header->sectionViewportPosition(section);
    if (columns && (along - start < grip || start + header->sectionSize(section) - along <= grip))
        return false;

    const QModelIndex current = currentIndex();
    int first = section;
    if ((event->modifiers() & Qt::ShiftModifier) && current.isValid()) {
        first = columns ? current.column() : current.row();
    } else {
        // Into the clicked column (row), keeping the row (column); the view does not scroll.
        m_keepScroll = true;
        if (columns)
            m_table.setCurrentCell(qMax(m_table.CurRow(), FareTable::FixedRows),
                                   section + FareTable::FixedCols);
        else
            m_table.setCurrentCell(section + FareTable::FixedRows,
                                   qMax(m_table.CurCol(), FareTable::FixedCols));
        m_keepScroll = false;
    }
    const int last = columns ? m_model->rowCount() - 1 : m_model->columnCount() - 1;
    const int low = qMin(first, section);
    const int high = qMax(first, section);
    selectionModel()->select(
        columns ? QItemSelection(m_model->index(0, low), m_model->index(last, high))
                : QItemSelection(m_model->index(low, 0), m_model->index(high, last)),
        QItemSelectionModel::ClearAndSelect);
    return true;
}

void FareGridView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Delete) {
        emit deletePressed();
        return;
    }
    if (extendSelectionByKey(event))
        return;
    if (isNavigationKey(event->key())) {
        QTableView::keyPressEvent(event);
        return;
    }
    if (event->key() == Qt::Key_Menu ||
        (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier)) {
        emit contextMenuRequested(contextMenuPosition());
        return;
    }
    // Qt gives a chord its plain character: Ctrl+minus would type "-". A chord that is no
    // command does nothing, as in a spreadsheet (nor does the view's own Ctrl+A select all).
    if (isChord(event)) {
        event->accept();
        return;
    }
    if (!event->text().isEmpty()) {
        emit characterTyped(event->text());
        return;
    }
    QTableView::keyPressEvent(event);
}

void FareGridView::inputMethodEvent(QInputMethodEvent* event)
{
    if (event->commitString().isEmpty() && event->preeditString().isEmpty()) {
        event->ignore();
        return;
    }
    emit inputMethodTyped(event);
    event->accept();
}

void FareGridView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        emit contextMenuRequested(event->globalPosition().toPoint());
        event->accept();
        return;
    }
    const QModelIndex pressed = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && (event->modifiers() & Qt::ShiftModifier) &&
        pressed.isValid() && selectFromCurrentTo(pressed.row(), pressed.column())) {
        m_dragSelecting = true;
        event->accept();
        return;
    }
    QTableView::mousePressEvent(event);
    m_dragSelecting = event->button() == Qt::LeftButton && pressed.isValid();
}

void FareGridView::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_dragSelecting || !(event->buttons() & Qt::LeftButton)) {
        QTableView::mouseMoveEvent(event);
        return;
    }
    // Dragging selects from the current cell; past the viewport's edge it reaches one cell
    // further, and the view scrolls along.
    const QPoint pos = event->position().toPoint();
    const QRect area = viewport()->rect();
    const QPoint inside(qBound(area.left(), pos.x(), area.right()),
                        qBound(area.top(), pos.y(), area.bottom()));
    const QModelIndex index = indexAt(inside);
    if (!index.isValid())
        return;
    const int row = index.row() + (pos.y() > area.bottom()) - (pos.y() < area.top());
    const int col = index.column() + (pos.x() > area.right()) - (pos.x() < area.left());
    selectFromCurrentTo(row, col);
}

void FareGridView::mouseReleaseEvent(QMouseEvent* event)
{
    m_dragSelecting = false;
    QTableView::mouseReleaseEvent(event);
}

void FareGridView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    QTableView::mouseDoubleClickEvent(event);
    emit cellDoubleClicked();
}

bool FareGridView::eventFilter(QObject* watched, QEvent* event)
{
    // The right button on a heading opens the context menu as well.
    if (event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
        emit contextMenuRequested(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
        return true;
    }
    if (event->type() == QEvent::ContextMenu)
        return true;
    if (event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
        headingPressed(watched, static_cast<QMouseEvent*>(event)))
        return true;
    return QTableView::eventFilter(watched, event);
}

void FareGridView::focusInEvent(QFocusEvent* event)
{
    // The focus never moves the current cell: all it does is the notification.
    {
        const QScopedValueRollback<bool> focusing(m_focusing, true);
        QTableView::focusInEvent(event);
    }
    emit gotFocus();
}

void FareGridView::dragEnterEvent(QDragEnterEvent* event)
{
    dragMoveEvent(event);
}

void FareGridView::dragMoveEvent(QDragMoveEvent* event)
{
    // Always a copy, whatever the file manager proposes (Shift proposes a move): the program
    // only reads the file, and a file manager told "moved" may delete the user's file.
    if (isCopyOfLocalFile(event)) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void FareGridView::dropEvent(QDropEvent* event)
{
    const QString path = firstLocalFile(event->mimeData());
    if (!isCopyOfLocalFile(event)) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    emit fileDropped(path);
}
