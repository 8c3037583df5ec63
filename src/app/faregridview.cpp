#include "faregridview.h"

#include "faregridmodel.h"
#include "gui/gridfont.h"
#include "gui/twips.h"
#include "io/fileio.h"
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
    auto* style = new GridLineStyle;
    style->setParent(this);
    setStyle(style);
    setFont(gridFont());
    setHorizontalHeader(new FixedHeader(Qt::Horizontal, this));
    setVerticalHeader(new FixedHeader(Qt::Vertical, this));
    setModel(m_model);
    setSelectionMode(SingleSelection);
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
    const bool scroll = !m_tableHidden;
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

void FareGridView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Delete) {
        emit deletePressed();
        return;
    }
    if (isNavigationKey(event->key())) {
        QTableView::keyPressEvent(event);
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
    QTableView::mousePressEvent(event);
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
