#include "app/celleditor.h"
#include "app/checkpanel.h"
#include "app/faregridmodel.h"
#include "app/faregridview.h"
#include "app/findbar.h"
#include "app/form1.h"
#include "app/printplatform.h"
#include "fakeplatform.h"
#include "files/binaryfile.h"
#include "gui/twips.h"
#include "model/bulkguards.h"
#include "testtables.h"
#include "text/textimport.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPrinter>
#include <QProcess>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <QUrl>

namespace {

/** The print dialogs, scripted: a printer chosen is one that writes a PDF file. */
struct FakePrinting : PrintPlatform {
    QString printTo; ///< the file the printer writes; empty cancels the print dialog
    QStringList calls;

    bool choosePrinter(QPrinter& printer) override
    {
        calls << QStringLiteral("print");
        printer.setOutputFileName(printTo);
        return !printTo.isEmpty();
    }
    void previewPrint(QPrinter& printer, const std::function<void(QPrinter&)>& paint) override
    {
        calls << QStringLiteral("preview");
        printer.setOutputFileName(printTo);
        paint(printer);
    }
};

/** A shown, active main window over a scripted platform. */
struct Window {
    FakePlatform platform;
    FakePrinting printing;
    Form1 form{platform, printing};

    Window()
    {
        form.show();
        form.activateWindow();
        if (!QTest::qWaitForWindowActive(&form))
            qWarning("the window did not become active");
    }
    FareTable& table() { return form.table(); }
    FareGridView* grid() { return form.grid(); }
    CellEditor* editor() { return form.editor(); }
    QAction* action(const char* name)
    {
        return form.findChild<QAction*>(QString::fromLatin1(name));
    }
    QPoint cellCentre(int row, int col)
    {
        return grid()->visualRect(grid()->fareModel()->indexOfCell(row, col)).center();
    }
    /** Types text on a widget as one key (Key_unknown carries any text, Japanese included). */
    void type(QWidget* widget, const QString& text, Qt::Key key = Qt::Key_unknown)
    {
        QTest::sendKeyEvent(QTest::Click, widget, key, text, Qt::NoModifier);
    }
    void press(QWidget* widget, Qt::Key key) { QTest::keyClick(widget, key); }
};

/** Fills every ordinary cell inside a hide bracket, as any bulk operation does. */
void fillTagged(FareTable& table)
{
    HiddenTable hidden(table);
    TestTables::fillTagged(table);
}

/** Drops local files on a widget as the file manager does: their addresses, also as text. */
void dropFiles(QWidget* target, const QStringList& paths)
{
    QMimeData data;
    QList<QUrl> urls;
    QStringList texts;
    for (const QString& path : paths) {
        urls << QUrl::fromLocalFile(path);
        texts << urls.last().toString();
    }
    data.setUrls(urls);
    data.setText(texts.join(QLatin1Char('\n')));
    const QPointF at(5, 5);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
    QCoreApplication::processEvents(); // the drop is handled once the drag has finished
}

struct Cell {
    int row;
    int col;
};

} // namespace

Q_DECLARE_METATYPE(Cell)

class TestForm1 : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void startsWithCaptionHeadingsAndMenusDisabled();
    void geometryFollowsTwips();
    void toolbarButtons_data();
    void toolbarButtons();
    void editorOpeningRule_data();
    void editorOpeningRule();
    void editorKeepsLongTextWhole();
    void editorKeys_data();
    void editorKeys();
    void clickingAnotherCellCommitsIntoTheEditedCell();
    void japaneseInputMethodOnGrid();
    void inputMethodFollowsColumn();
    void deleteKeyEmptiesCurrentCell();
    void headingCellCurrentIsShownButNotEdited();
    void focusLeavesAHeadingCellCurrent_data();
    void focusLeavesAHeadingCellCurrent();
    void rightButtonOpensContextMenuAndKeepsCell();
    void contextEntryWorksWhileMenuBarMenuIsDisabled_data();
    void contextEntryWorksWhileMenuBarMenuIsDisabled();
    void menuEntriesInOrder_data();
    void menuEntriesInOrder();
    void menusFollowCurrentCell_data();
    void menusFollowCurrentCell();
    void rowPasteFollowsTheRowBuffer();
    void toolbarButtonRunsItsMenuHandler_data();
    void toolbarButtonRunsItsMenuHandler();
    void contextEntryRunsItsTwinsHandler_data();
    void contextEntryRunsItsTwinsHandler();
    void mergeButtonIsDisabled();
    void versionCommandGoesThroughThePlatform();
    void printAndCheckCommands();
    void bulkChangeRedrawsOnce();
    void commandCommitsOpenEditFirst_data();
    void commandCommitsOpenEditFirst();
    void closingPrompt_data();
    void closingPrompt();
    void sessionEnd_data();
    void sessionEnd();
    void droppedFiles_data();
    void droppedFiles();
    void dropIsAlwaysACopy_data();
    void dropIsAlwaysACopy();
    void editorLeavesDropsToTheGrid();
    void everyStepUndoesAndRedoes_data();
    void everyStepUndoesAndRedoes();
    void selectionReachesFromTheCurrentCell();
    void clipboardRoundTripsThroughASpreadsheet();
    void findBarFindsAndReplaces();

private:
    QTemporaryDir m_dir;
    QString m_routeFile;      ///< a saved .Hy3 file whose route name is "東西線"
    QString m_otherFile;      ///< a saved .Hy3 file whose route name is "南北線"
    QString m_blankRouteText; ///< a text file whose first line is blank
};

void TestForm1::initTestCase()
{
    FakePlatform platform;
    for (const auto& [name, route] : {std::pair{"route.Hy3", "東西線"}, {"other.Hy3", "南北線"}}) {
        FareTable table;
        TestTables::fillFull(table, 5);
        table.SetCell(1, 1, QString::fromUtf8(route));
        QCOMPARE(SaveHy3(table, platform, m_dir.filePath(QString::fromLatin1(name))),
                 Outcome::Done);
    }
    m_routeFile = m_dir.filePath(QStringLiteral("route.Hy3"));
    m_otherFile = m_dir.filePath(QStringLiteral("other.Hy3"));
    m_blankRouteText = m_dir.filePath(QStringLiteral("blank.txt"));
    QVERIFY(TestTables::writeBytes(m_blankRouteText, "\r\n"));
}

void TestForm1::startsWithCaptionHeadingsAndMenusDisabled()
{
    Window w;
    QCOMPARE(w.form.windowTitle(), QStringLiteral("Kestrelworks Farewright"));
    QVERIFY(!w.form.windowIcon().isNull());
    const FareGridModel* model = w.grid()->fareModel();
    QCOMPARE(model->headerData(0, Qt::Horizontal).toString(), QStringLiteral("停名(地名)・駅名"));
    QCOMPARE(model->headerData(151, Qt::Horizontal).toString(), QStringLiteral("150"));
    QCOMPARE(model->headerData(0, Qt::Vertical).toString(), QStringLiteral("系統名称→"));
    QCOMPARE(model->headerData(300, Qt::Vertical).toString(), QStringLiteral("300"));
    QCOMPARE(model->rowCount(), 301);
    QCOMPARE(model->columnCount(), 152);
    QCOMPARE(w.grid()->currentIndex(), model->indexOfCell(1, 1));
    QVERIFY(!w.form.findChild<QMenu*>(QStringLiteral("MnuRow"))->menuAction()->isEnabled());
    QVERIFY(!w.form.findChild<QMenu*>(QStringLiteral("MnuRetsu"))->menuAction()->isEnabled());
    QVERIFY(!w.action("MnuEditLinePaste")->isEnabled());
    QVERIFY(w.editor()->isHidden());
    // The context menu is never part of the menu bar.
    const QMenu* context = w.form.findChild<QMenu*>(QStringLiteral("MnuHideMnu"));
    QVERIFY(!w.form.menuBar()->actions().contains(context->menuAction()));
}

void TestForm1::geometryFollowsTwips()
{
    Window w;
    const Twips twips = Twips::ofPrimaryScreen();
    QCOMPARE(w.form.centralWidget()->size(), twips.toPixels(QSize(9660, 4830)));
    const QHeaderView* columns = w.grid()->horizontalHeader();
    QCOMPARE(w.grid()->verticalHeader()->width(), twips.toPixelsX(1000));
    QCOMPARE(columns->sectionSize(0), twips.toPixelsX(3000));
    QCOMPARE(columns->sectionSize(1), twips.toPixelsX(1000));
    QCOMPARE(columns->sectionSize(2), twips.toPixelsX(600));
    QCOMPARE(columns->sectionSize(151), twips.toPixelsX(600));
    QCOMPARE(w.grid()->pos(), QPoint(twips.toPixelsX(-15), twips.toPixelsY(390)));
    QCOMPARE(w.grid()->size(), twips.toPixels(QSize(9658, 4460)));
    QWidget* toolbar = w.form.findChild<QWidget*>(QStringLiteral("Picture1"));
    QCOMPARE(toolbar->height(), twips.toPixelsY(405));

    w.form.resize(w.form.width() + 100, w.form.height() + 50);
    QTRY_COMPARE(w.grid()->width(), w.form.centralWidget()->width());
    QCOMPARE(toolbar->width(), w.form.centralWidget()->width());
}

void TestForm1::toolbarButtons_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("left"); // twips
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("toolTip");
    const struct {
        int index, left, width;
        const char* toolTip;
    } buttons[] = {
        {0, 0, 390, "新規作成"},
        {1, 375, 405, "開く"},
        {2, 765, 390, "名前を付けて保存"},
        {15, 1140, 390, "テキストファイルのインポート"},
        {3, 1515, 390, "ファイルのマージ"},
        {4, 2010, 390, "セル挿入後下へ移動"},
        {5, 2385, 390, "セル挿入後右へ移動"},
        {6, 2760, 390, "セル削除後上へ移動"},
        {7, 3135, 390, "セル削除後左へ移動"},
        {8, 3510, 390, "セルの削除(Del)"},
        {9, 3885, 390, "行の挿入"},
        {10, 4260, 390, "行の削除"},
        {11, 4635, 390, "行の削除(シフトなし)"},
        {12, 5010, 390, "列の挿入"},
        {13, 5385, 390, "列の削除"},
        {14, 5760, 390, "列の削除(シフトなし)"},
        {16, 6315, 390, "セルの内容を左のセルと入替"},
        {17, 6690, 390, "セルの内容を右のセルと入替"},
        {18, 7065, 390, "セルの内容を上のセルと入替"},
        {19, 7440, 390, "セルの内容を下のセルと入替"},
        {20, 7815, 390, "行の内容を上の行と入替"},
        {21, 8190, 390, "行の内容を下の行と入替"},
        {22, 8565, 390, "列の内容を左の列と入替"},
        {23, 8940, 375, "列の内容を右の列と入替"},
    };
    for (const auto& b : buttons)
        QTest::addRow("%d", b.index)
            << b.index << b.left << b.width << QString::fromUtf8(b.toolTip);
}

void TestForm1::toolbarButtons()
{
    QFETCH(int, index);
    QFETCH(int, left);
    QFETCH(int, width);
    QFETCH(QString, toolTip);
    Window w;
    const Twips twips = Twips::ofPrimaryScreen();
    const QWidget* toolbar = w.form.findChild<QWidget*>(QStringLiteral("Picture1"));
    const auto buttons = toolbar->findChildren<QToolButton*>();
    QCOMPARE(buttons.size(), 24);
    auto* button = toolbar->findChild<QToolButton*>(QStringLiteral("Command1_%1").arg(index));
    QVERIFY(button);
    QCOMPARE(button->geometry(),
             QRect(twips.toPixelsX(left), 0, twips.toPixelsX(width), twips.toPixelsY(345)));
    QCOMPARE(button->toolTip(), toolTip);
    QVERIFY(!button->icon().isNull());
}

void TestForm1::editorOpeningRule_data()
{
    QTest::addColumn<Qt::Key>("key"); // Key_unknown with no text: a double click
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("opened");
    QTest::newRow("digit replaces") << Qt::Key_5 << "5"
                                    << "5";
    QTest::newRow("letter replaces") << Qt::Key_A << "a"
                                     << "a";
    QTest::newRow("Japanese replaces") << Qt::Key_unknown << "東"
                                       << "東";
    QTest::newRow("Enter keeps") << Qt::Key_Return << "\r"
                                 << "120";
    QTest::newRow("blank keeps") << Qt::Key_Space << " "
                                 << "120";
    QTest::newRow("Backspace keeps") << Qt::Key_Backspace << "\b"
                                     << "120";
    QTest::newRow("Esc keeps") << Qt::Key_Escape << "\x1b"
                               << "120";
    QTest::newRow("double click keeps") << Qt::Key_unknown << ""
                                        << "120";
}

void TestForm1::editorOpeningRule()
{
    QFETCH(Qt::Key, key);
    QFETCH(QString, typed);
    QFETCH(QString, opened);
    Window w;
    w.table().SetCell(4, 5, QStringLiteral("120"));
    if (typed.isEmpty())
        QTest::mouseDClick(w.grid()->viewport(), Qt::LeftButton, {}, w.cellCentre(4, 5));
    else
        w.type(w.grid(), typed, key);

    QVERIFY(w.editor()->isOpen());
    QCOMPARE(w.editor()->text(), opened);
    QCOMPARE(w.editor()->cursorPosition(), opened.size());
    QCOMPARE(w.editor()->geometry(),
             w.grid()->visualRect(w.grid()->fareModel()->indexOfCell(4, 5)));
    QCOMPARE(w.editor()->font(), w.grid()->font());
    QTRY_VERIFY(w.editor()->hasFocus());
    QCOMPARE(w.table().text(4, 5), QStringLiteral("120")); // nothing written yet

    // Enter commits without moving and inserts nothing.
    w.press(w.editor(), Qt::Key_Return);
    QVERIFY(!w.editor()->isOpen());
    QCOMPARE(w.table().text(4, 5), opened);
    QCOMPARE(w.table().CurRow(), 4);
    QCOMPARE(w.table().CurCol(), 5);
    QVERIFY(w.grid()->hasFocus());
}

void TestForm1::editorKeepsLongTextWhole()
{
    Window w;
    const QString longName(40000, QLatin1Char('a'));
    w.table().SetCell(3, 1, longName);
    w.press(w.grid(), Qt::Key_Return);
    QCOMPARE(w.editor()->text().size(), longName.size());
    w.type(w.editor(), QStringLiteral("b"), Qt::Key_B);
    w.press(w.editor(), Qt::Key_Return);
    QCOMPARE(w.table().text(3, 1), longName + QStringLiteral("b"));
}

void TestForm1::editorKeys_data()
{
    // The cell holds 120; the editor is opened with 7 and 5 is typed after it.
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<Cell>("start");
    QTest::addColumn<Cell>("end");
    QTest::addColumn<QString>("text"); // the start cell's text afterwards
    QTest::addColumn<bool>("open");    // the key moved the caret in the still open editor
    const struct {
        const char* name;
        Qt::Key key;
        Cell start, end;
        const char* text;
        bool open;
    } rows[] = {
        {"Esc discards", Qt::Key_Escape, {4, 5}, {4, 5}, "120", false},
        {"Esc in the last column", Qt::Key_Escape, {5, 152}, {5, 152}, "120", false},
        {"Esc in the last cell", Qt::Key_Escape, {301, 152}, {301, 152}, "120", false},
        {"Enter in the last cell", Qt::Key_Return, {301, 152}, {301, 152}, "75", false},
        {"name column, Right moves the caret", Qt::Key_Right, {5, 1}, {5, 1}, "120", true},
        {"name column, Left moves the caret", Qt::Key_Left, {5, 1}, {5, 1}, "120", true},
        {"name column, Down", Qt::Key_Down, {5, 1}, {6, 1}, "75", false},
        {"ticket column, Left", Qt::Key_Left, {5, 2}, {5, 1}, "75", false},
        {"ticket column, Right", Qt::Key_Right, {5, 2}, {5, 3}, "75", false},
        {"last column, Right stays", Qt::Key_Right, {5, 152}, {5, 152}, "75", false},
        {"last column, Left", Qt::Key_Left, {5, 152}, {5, 151}, "75", false},
        {"route row, Up stays", Qt::Key_Up, {1, 3}, {1, 3}, "75", false},
        {"route row, Down", Qt::Key_Down, {1, 3}, {2, 3}, "75", false},
        {"first stop, Up reaches the route row", Qt::Key_Up, {2, 3}, {1, 3}, "75", false},
        {"last row, Down stays", Qt::Key_Down, {301, 3}, {301, 3}, "75", false},
        {"last row, Up", Qt::Key_Up, {301, 3}, {300, 3}, "75", false},
        {"Tab commits and moves on as on the grid", Qt::Key_Tab, {4, 5}, {4, 6}, "75", false},
    };
    for (const auto& r : rows)
        QTest::newRow(r.name) << r.key << r.start << r.end << QString::fromLatin1(r.text) << r.open;
}

void TestForm1::editorKeys()
{
    QFETCH(Qt::Key, key);
    QFETCH(Cell, start);
    QFETCH(Cell, end);
    QFETCH(QString, text);
    QFETCH(bool, open);
    Window w;
    w.table().SetCell(start.row, start.col, QStringLiteral("120"));
    w.type(w.grid(), QStringLiteral("7"), Qt::Key_7);
    w.type(w.editor(), QStringLiteral("5"), Qt::Key_5);
    QCOMPARE(w.editor()->cursorPosition(), 2);
    QVERIFY(w.editor()->hasFocus());
    const int pauses = w.platform.processEventsCalls;
    QSignalSpy moves(&w.table(), &FareTable::currentCellChanged);

    w.press(w.editor(), key);
    QCOMPARE(moves.size(), start.row == end.row && start.col == end.col ? 0 : 1);
    QCOMPARE(w.table().CurRow(), end.row);
    QCOMPARE(w.table().CurCol(), end.col);
    QCOMPARE(w.grid()->currentIndex(), w.grid()->fareModel()->indexOfCell(end.row, end.col));
    QCOMPARE(w.table().text(start.row, start.col), text);
    QCOMPARE(w.editor()->isOpen(), open);
    const bool arrow = key >= Qt::Key_Left && key <= Qt::Key_Down;
    QCOMPARE(w.platform.processEventsCalls, pauses + (arrow && !open ? 1 : 0));
    if (open) {
        QCOMPARE(w.editor()->cursorPosition(), key == Qt::Key_Left ? 1 : 2);
        return;
    }
    QVERIFY(w.grid()->hasFocus());
    // The grid's later focus neither brings a discarded text back nor moves the current cell.
    w.editor()->setFocus();
    w.grid()->setFocus();
    QCOMPARE(w.table().text(start.row, start.col), text);
    QCOMPARE(w.table().CurRow(), end.row);
    QCOMPARE(w.table().CurCol(), end.col);
}

void TestForm1::clickingAnotherCellCommitsIntoTheEditedCell()
{
    Window w;
    w.table().setCurrentCell(3, 4);
    w.type(w.grid(), QStringLiteral("230"), Qt::Key_2);
    QTest::mouseClick(w.grid()->viewport(), Qt::LeftButton, {}, w.cellCentre(5, 6));
    QVERIFY(!w.editor()->isOpen());
    QCOMPARE(w.table().text(3, 4), QStringLiteral("230"));
    QCOMPARE(w.table().text(5, 6), QString());
    QCOMPARE(w.table().CurRow(), 5);
    QCOMPARE(w.table().CurCol(), 6);
}

void TestForm1::japaneseInputMethodOnGrid()
{
    Window w;
    w.table().SetCell(3, 1, QStringLiteral("旧名"));
    QInputMethodEvent composing(QStringLiteral("ひがし"), {});
    QCoreApplication::sendEvent(w.grid(), &composing);
    QVERIFY(w.editor()->isOpen());
    QCOMPARE(w.editor()->text(), QString()); // the old name is replaced
    QCOMPARE(w.editor()->inputMethodQuery(Qt::ImSurroundingText).toString(), QString());

    QInputMethodEvent committed;
    committed.setCommitString(QStringLiteral("東"));
    QCoreApplication::sendEvent(w.editor(), &committed);
    QCOMPARE(w.editor()->text(), QStringLiteral("東"));
    w.press(w.editor(), Qt::Key_Return);
    QCOMPARE(w.table().text(3, 1), QStringLiteral("東"));

    // A commit arriving at the grid directly opens the editor with it.
    QInputMethodEvent direct;
    direct.setCommitString(QStringLiteral("西"));
    QCoreApplication::sendEvent(w.grid(), &direct);
    QCOMPARE(w.editor()->text(), QStringLiteral("西"));
}

void TestForm1::inputMethodFollowsColumn()
{
    Window w;
    w.table().setCurrentCell(3, 1);
    QVERIFY(w.grid()->testAttribute(Qt::WA_InputMethodEnabled));
    w.type(w.grid(), QStringLiteral("a"), Qt::Key_A);
    QVERIFY(w.editor()->testAttribute(Qt::WA_InputMethodEnabled));
    w.press(w.editor(), Qt::Key_Down);

    for (int col : {2, 3, 152}) {
        w.table().setCurrentCell(3, col);
        QVERIFY(!w.grid()->testAttribute(Qt::WA_InputMethodEnabled));
        w.type(w.grid(), QStringLiteral("5"), Qt::Key_5);
        QVERIFY(!w.editor()->testAttribute(Qt::WA_InputMethodEnabled));
        w.press(w.editor(), Qt::Key_Escape);
    }
}

void TestForm1::deleteKeyEmptiesCurrentCell()
{
    Window w;
    w.table().SetCell(4, 5, QStringLiteral("230"));
    w.table().SetCell(4, 6, QStringLiteral("250"));
    w.table().setCurrentCell(4, 5);
    w.press(w.grid(), Qt::Key_Delete);
    QCOMPARE(w.table().text(4, 5), QString());
    QCOMPARE(w.table().text(4, 6), QStringLiteral("250"));
    QVERIFY(w.platform.messages.isEmpty());
    QVERIFY(!w.editor()->isOpen());
}

void TestForm1::headingCellCurrentIsShownButNotEdited()
{
    Window w;
    w.table().GetCell(0, 5);
    QVERIFY(!w.grid()->currentIndex().isValid());
    QVERIFY(w.grid()->fareModel()->headerData(4, Qt::Horizontal, Qt::BackgroundRole).isValid());
    QVERIFY(!w.grid()->fareModel()->headerData(5, Qt::Horizontal, Qt::BackgroundRole).isValid());

    w.type(w.grid(), QStringLiteral("9"), Qt::Key_9);
    QVERIFY(!w.editor()->isOpen());
    w.press(w.grid(), Qt::Key_Delete);
    QCOMPARE(w.table().text(0, 5), QStringLiteral("3"));

    // Navigation starts from the nearest ordinary cell.
    w.press(w.grid(), Qt::Key_Down);
    QCOMPARE(w.table().CurRow(), 1);
    QCOMPARE(w.table().CurCol(), 5);
    QVERIFY(!w.grid()->fareModel()->headerData(4, Qt::Horizontal, Qt::BackgroundRole).isValid());
}

void TestForm1::focusLeavesAHeadingCellCurrent_data()
{
    QTest::addColumn<QString>("command"); // run on (5, 10); its last access is a heading cell
    QTest::addColumn<Cell>("heading");
    QTest::addColumn<bool>("prompt"); // the focus goes to a prompt, else to another window
    for (const bool prompt : {false, true}) {
        QTest::addRow("column delete %d", prompt) << "MnuClumDeleteLeft" << Cell{0, 152} << prompt;
        QTest::addRow("row delete %d", prompt) << "MnuEditLineDelete" << Cell{301, 0} << prompt;
        QTest::addRow("column swap %d", prompt) << "MnuClumRight" << Cell{0, 11} << prompt;
    }
}

void TestForm1::focusLeavesAHeadingCellCurrent()
{
    QFETCH(QString, command);
    QFETCH(Cell, heading);
    QFETCH(bool, prompt);
    Window w;
    w.platform.answers << Platform::Answer::Yes; // the deletions' question
    w.table().setCurrentCell(5, 10);
    w.action(qPrintable(command))->trigger();
    QWidget other;
    QMessageBox question(QMessageBox::Question, {}, {}, QMessageBox::Ok, &w.form);
    QWidget* away = prompt ? static_cast<QWidget*>(&question) : &other;
    prompt ? question.open() : other.show();
    away->activateWindow();
    QTRY_VERIFY(away->isActiveWindow() && !w.grid()->hasFocus());
    away->close();
    w.form.activateWindow();
    QTRY_VERIFY(w.grid()->hasFocus());
    QCOMPARE(w.table().CurRow(), heading.row);
    QCOMPARE(w.table().CurCol(), heading.col);
    // Navigation still starts from the nearest ordinary cell.
    w.press(w.grid(), Qt::Key_Down);
    QCOMPARE(w.table().CurRow(), qMax(heading.row, 1));
    QCOMPARE(w.table().CurCol(), qMax(heading.col, 1));
}

void TestForm1::rightButtonOpensContextMenuAndKeepsCell()
{
    Window w;
    w.table().setCurrentCell(3, 3);
    QMenu* context = w.form.findChild<QMenu*>(QStringLiteral("MnuHideMnu"));
    QTest::mouseClick(w.grid()->viewport(), Qt::RightButton, {}, w.cellCentre(6, 7));
    QTRY_VERIFY(context->isVisible());
    QCOMPARE(w.table().CurRow(), 3);
    QCOMPARE(w.table().CurCol(), 3);
    context->close();
}

void TestForm1::contextEntryWorksWhileMenuBarMenuIsDisabled_data()
{
    QTest::addColumn<Cell>("cell");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("disabledMenu");
    QTest::addColumn<Cell>("movedTo"); // where the current cell's text is afterwards
    QTest::newRow("行挿入 in the name column") << Cell{5, 1} << "MnuEditLineInsHide"
                                               << "MnuRetsu" << Cell{6, 1};
    QTest::newRow("列挿入 on the route row") << Cell{1, 5} << "MnuClumInsHide"
                                             << "MnuRow" << Cell{1, 6};
}

void TestForm1::contextEntryWorksWhileMenuBarMenuIsDisabled()
{
    QFETCH(Cell, cell);
    QFETCH(QString, entry);
    QFETCH(QString, disabledMenu);
    QFETCH(Cell, movedTo);
    Window w;
    fillTagged(w.table());
    w.table().setCurrentCell(cell.row, cell.col);
    QVERIFY(!w.form.findChild<QMenu*>(disabledMenu)->menuAction()->isEnabled());

    QMenu* context = w.form.findChild<QMenu*>(QStringLiteral("MnuHideMnu"));
    QTest::mouseClick(w.grid()->viewport(), Qt::RightButton, {}, w.cellCentre(7, 7));
    QTRY_VERIFY(context->isVisible());
    QAction* item = w.form.findChild<QAction*>(entry);
    QTest::mouseClick(context, Qt::LeftButton, {}, context->actionGeometry(item).center());
    QTRY_VERIFY(!context->isVisible());
    QCOMPARE(w.table().text(cell.row, cell.col), QString());
    QCOMPARE(w.table().text(movedTo.row, movedTo.col), TestTables::cellTag(cell.row, cell.col));
}

namespace {

/**
 * A menu's entries in order, one line each: "caption name", "---- name" for a separator, and a
 * submenu's entries after its own line, marked with one more "—". A shortcut key is listed too.
 */
QStringList menuLines(const QList<QAction*>& actions, const QString& mark = QStringLiteral("— "))
{
    QStringList lines;
    for (const QAction* action : actions) {
        if (action->isSeparator()) {
            lines << mark + QStringLiteral("---- ") + action->objectName();
            continue;
        }
        const QMenu* submenu = action->menu();
        lines << mark + action->text() + QLatin1Char(' ') +
                     (submenu ? submenu->objectName() : action->objectName());
        if (!action->shortcut().isEmpty())
            lines << QStringLiteral("shortcut ") +
                         QKeySequence::listToString(action->shortcuts(),
                                                    QKeySequence::PortableText);
        if (submenu)
            lines << menuLines(submenu->actions(), QStringLiteral("—") + mark);
    }
    return lines;
}

} // namespace

void TestForm1::menuEntriesInOrder_data()
{
    QTest::addColumn<QString>("menu"); // empty: the menu bar itself
    QTest::addColumn<QStringList>("lines");
    const auto lines = [](std::initializer_list<const char*> texts) {
        QStringList list;
        for (const char* text : texts)
            list << QString::fromUtf8(text);
        return list;
    };
    QTest::newRow("menu bar") << QString()
                              << lines({"ファイル(&F) MnuFile", "編集(&E) MnuEdit",
                                        "セル(&L) MnuCell", "行(&R) MnuRow", "列(&C) MnuRetsu",
                                        "ツール(&T) MnuTool", "ヘルプ(&H) MnuHelp"});
    QTest::newRow("MnuEdit")
        << "MnuEdit"
        << lines({"— 元に戻す(&U) MnuEditUndo", "shortcut Ctrl+Z", "— やり直し(&R) MnuEditRedo",
                  "shortcut Ctrl+Y; Ctrl+Shift+Z", "— ---- MnuEditBdr1",
                  "— 切り取り(&T) MnuEditCut", "shortcut Ctrl+X", "— コピー(&C) MnuEditCopy",
                  "shortcut Ctrl+C", "— 貼り付け(&P) MnuEditPaste", "shortcut Ctrl+V",
                  "— ---- MnuEditBdr2", "— 検索(&F) MnuEditFind", "shortcut Ctrl+F",
                  "— 置換(&E) MnuEditReplace", "shortcut Ctrl+H"});
    QTest::newRow("MnuFile") << "MnuFile"
                             << lines({"— 新規作成(&N) MnuFileNew", "— 開く(&O) MnuFileOpen",
                                       "— 保存(&A) MnuFileSaveAs",
                                       "— テキストファイルのインポート(&I) MnuFileTxtInport",
                                       "— テキストで保存(&T) MnuFileSaveTxt", "— ---- MnuFileBdr1",
                                       "— 印刷プレビュー(&V)... MnuFilePrintPreview",
                                       "— 印刷(&P)... MnuFilePrint", "shortcut Ctrl+P",
                                       "— PDFに出力(&D)... MnuFilePdf", "— ---- MnuFileBdr2",
                                       "— 終了(&X) MnuFileExit"});
    QTest::newRow("MnuCell")
        << "MnuCell"
        << lines({"— セルの挿入(&I) MnuCellIns", "—— 右にシフト(&R) MnuCellInsRight",
                  "—— 下にシフト(&D) MnuCellInsDown", "— セルの削除(&D) MnuCellDelete",
                  "—— 空白で残す(&N) MnuCellDeleteNormal", "—— 左にシフト(&L) MnuCellDeleteLeft",
                  "—— 上にシフト(&U) MnuCellDeleteUp", "— ---- MnuCellBdr1",
                  "— 上へ移動(&U) MnuCellUp", "— 下へ移動(&W) MnuCellDown",
                  "— 左へ移動(&L) MnuCellLeft", "— 右へ移動(&R) MnuCellRight"});
    QTest::newRow("MnuRow") << "MnuRow"
                            << lines({"— 行単位コピー(&L) MnuEditLineCopy",
                                      "— 行単位貼り付け(&A) MnuEditLinePaste",
                                      "— 行挿入(&S) MnuEditLineIns", "— 行削除(&D) MnuRowDelete",
                                      "—— 空白で残す(&N) MnuRowDeleteNormal",
                                      "—— 上にシフト(&U) MnuEditLineDelete", "— ---- MnuBdr3",
                                      "— 上へ移動(&U) MnuEditUp", "— 下へ移動(&W) MnuEditDown"});
    QTest::newRow("MnuRetsu")
        << "MnuRetsu"
        << lines({"— 列単位コピー(&U) MnuEditClumCopy", "— 列単位貼り付け(&T) MnuEditClumPaste",
                  "— 列挿入(&I) MnuClumIns", "— 列削除(&D) MnuClumDelete",
                  "—— 空白で残す(&N) MnuClumDeleteNormal", "—— 左へシフト(&L) MnuClumDeleteLeft",
                  "— 右へ移動(&R) MnuClumRight", "— 左へ移動(&L) MnuClumLeft"});
    QTest::newRow("MnuTool") << "MnuTool"
                             << lines({"— 運賃表の検査(&K) MnuToolCheck", "shortcut F7"});
    QTest::newRow("MnuHelp") << "MnuHelp" << lines({"— バージョン情報（&V) MnuHelpVersion"});
    QTest::newRow("MnuHideMnu") << "MnuHideMnu"
                                << lines({"— セルの挿入(挿入後下へシフト) MnuCellInsDownHide",
                                          "— セルの挿入(挿入後右へシフト) MnuCellInsRightHide",
                                          "— セルの削除(空白で残す) MnuCellDeleteNormalHide",
                                          "— セルの削除(削除後上へシフト) MnuCellDeleteUpHide",
                                          "— セルの削除(削除後左へシフト) MnuCellDeleteLeftHide",
                                          "— ---- MnuBdrHide1", "— 行挿入 MnuEditLineInsHide",
                                          "— 行単位コピー MnuEditLineCopyHide",
                                          "— 行単位貼り付け MnuEditLinePasteHide",
                                          "— 行削除(空白で残す) MnuRowDeleteNormalHide",
                                          "— 行削除(上にシフト) MnuEditLineDeleteHide",
                                          "— ---- MnuBdrHide2", "— 列挿入 MnuClumInsHide",
                                          "— 列単位コピー MnuEditClumCopyHide",
                                          "— 列単位貼り付け MnuEditClumPasteHide",
                                          "— 列削除(空白で残す) MnuClumDeleteNormalHide",
                                          "— 列削除(左にシフト) MnuClumDeleteLeftHide"});
}

void TestForm1::menuEntriesInOrder()
{
    QFETCH(QString, menu);
    QFETCH(QStringList, lines);
    Window w;
    if (menu.isEmpty()) {
        QStringList bar;
        for (const QAction* action : w.form.menuBar()->actions())
            bar << action->text() + QLatin1Char(' ') + action->menu()->objectName();
        QCOMPARE(bar, lines);
        return;
    }
    const QMenu* found = w.form.findChild<QMenu*>(menu);
    QVERIFY(found);
    QCOMPARE(menuLines(found->actions()), lines);
}

void TestForm1::menusFollowCurrentCell_data()
{
    QTest::addColumn<Cell>("cell");
    QTest::addColumn<bool>("rowMenu");
    QTest::addColumn<bool>("columnMenu");
    QTest::newRow("route name") << Cell{1, 1} << false << false;
    QTest::newRow("stop name") << Cell{2, 1} << true << false;
    QTest::newRow("route ticket number") << Cell{1, 2} << false << true;
    QTest::newRow("fare") << Cell{2, 2} << true << true;
    QTest::newRow("column heading") << Cell{0, 7} << false << true;
}

void TestForm1::menusFollowCurrentCell()
{
    QFETCH(Cell, cell);
    QFETCH(bool, rowMenu);
    QFETCH(bool, columnMenu);
    Window w;
    w.table().setCurrentCell(5, 5);
    QTest::mouseClick(w.grid()->viewport(), Qt::LeftButton, {}, w.cellCentre(2, 2));
    w.table().setCurrentCell(cell.row, cell.col);
    QCOMPARE(w.form.findChild<QMenu*>(QStringLiteral("MnuRow"))->menuAction()->isEnabled(),
             rowMenu);
    QCOMPARE(w.form.findChild<QMenu*>(QStringLiteral("MnuRetsu"))->menuAction()->isEnabled(),
             columnMenu);
}

void TestForm1::rowPasteFollowsTheRowBuffer()
{
    Window w;
    QAction* paste = w.action("MnuEditLinePaste");
    QVERIFY(!paste->isEnabled());
    QVERIFY(w.action("MnuEditLinePasteHide")->isEnabled());
    w.table().SetCell(3, 1, QStringLiteral("市役所前"));
    w.action("MnuEditLineCopy")->trigger();
    QVERIFY(paste->isEnabled());
    w.table().setCurrentCell(5, 4);
    paste->trigger();
    QCOMPARE(w.table().text(5, 1), QStringLiteral("市役所前"));
}

namespace {

/** What a command did: the table, where it left the current cell, and what it asked. */
QStringList effects(Window& w)
{
    QStringList seen = TestTables::snapshot(w.table());
    seen << QStringLiteral("current %1,%2").arg(w.table().CurRow()).arg(w.table().CurCol());
    for (const FakePlatform::Message& m : std::as_const(w.platform.messages))
        seen << QStringLiteral("message ") + m.title;
    for (const FakePlatform::Dialog& d : std::as_const(w.platform.dialogs))
        seen << QStringLiteral("dialog %1 %2").arg(d.save).arg(d.filters.value(0).label);
    return seen;
}

/** A table with something in every cell, a copied row and column, on a fare cell. */
void prepare(Window& w)
{
    fillTagged(w.table());
    w.table().setCurrentCell(3, 4);
    w.form.editCommands().MnuEditLineCopy();
    w.form.editCommands().MnuEditClumCopy();
    w.table().setCurrentCell(6, 7);
    w.platform.messages.clear();
}

/** Runs a menu item's handler directly, as its slot. */
void runHandler(Window& w, const QString& name)
{
    QObject* receiver = &w.form;
    if (w.form.metaObject()->indexOfSlot(qPrintable(name + QStringLiteral("()"))) < 0)
        receiver = &w.form.editCommands();
    QVERIFY2(QMetaObject::invokeMethod(receiver, qPrintable(name)), qPrintable(name));
}

} // namespace

void TestForm1::toolbarButtonRunsItsMenuHandler_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("handler");
    const struct {
        int index;
        const char* handler;
    } buttons[] = {
        {0, "MnuFileNew"},         {1, "MnuFileOpen"},          {2, "MnuFileSaveAs"},
        {4, "MnuCellInsDown"},     {5, "MnuCellInsRight"},      {6, "MnuCellDeleteUp"},
        {7, "MnuCellDeleteLeft"},  {8, "MnuCellDeleteNormal"},  {9, "MnuEditLineIns"},
        {10, "MnuEditLineDelete"}, {11, "MnuRowDeleteNormal"},  {12, "MnuClumIns"},
        {13, "MnuClumDeleteLeft"}, {14, "MnuClumDeleteNormal"}, {15, "MnuFileTxtInport"},
        {16, "MnuCellLeft"},       {17, "MnuCellRight"},        {18, "MnuCellUp"},
        {19, "MnuCellDown"},       {20, "MnuEditUp"},           {21, "MnuEditDown"},
        {22, "MnuClumLeft"},       {23, "MnuClumRight"},
    };
    for (const auto& button : buttons)
        QTest::addRow("%d %s", button.index, button.handler)
            << button.index << QString::fromLatin1(button.handler);
}

void TestForm1::toolbarButtonRunsItsMenuHandler()
{
    QFETCH(int, index);
    QFETCH(QString, handler);
    Window clicked;
    prepare(clicked);
    const QStringList before = effects(clicked);
    auto* button = clicked.form.findChild<QToolButton*>(QStringLiteral("Command1_%1").arg(index));
    QVERIFY(button);
    QVERIFY(button->isEnabled());
    QTest::mouseClick(button, Qt::LeftButton);

    Window reference;
    prepare(reference);
    runHandler(reference, handler);
    QCOMPARE(effects(clicked), effects(reference));
    QVERIFY2(effects(clicked) != before, "the command did nothing");
}

void TestForm1::contextEntryRunsItsTwinsHandler_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<int>("position"); // separators included
    const char* const entries[] = {
        "MnuCellInsDown",      "MnuCellInsRight",   "MnuCellDeleteNormal",
        "MnuCellDeleteUp",     "MnuCellDeleteLeft", nullptr,
        "MnuEditLineIns",      "MnuEditLineCopy",   "MnuEditLinePaste",
        "MnuRowDeleteNormal",  "MnuEditLineDelete", nullptr,
        "MnuClumIns",          "MnuEditClumCopy",   "MnuEditClumPaste",
        "MnuClumDeleteNormal", "MnuClumDeleteLeft",
    };
    int position = 0;
    for (const char* twin : entries) {
        if (twin)
            QTest::addRow("%d %s", position, twin) << QString::fromLatin1(twin) << position;
        ++position;
    }
}

void TestForm1::contextEntryRunsItsTwinsHandler()
{
    QFETCH(QString, entry);
    QFETCH(int, position);
    Window chosen;
    prepare(chosen);
    QMenu* context = chosen.form.findChild<QMenu*>(QStringLiteral("MnuHideMnu"));
    QAction* item = chosen.form.findChild<QAction*>(entry + QStringLiteral("Hide"));
    QVERIFY(item);
    QCOMPARE(context->actions().indexOf(item), position);
    item->trigger();

    Window reference;
    prepare(reference);
    runHandler(reference, entry);
    QCOMPARE(effects(chosen), effects(reference));
}

void TestForm1::mergeButtonIsDisabled()
{
    Window w;
    fillTagged(w.table());
    const QStringList before = effects(w);
    auto* merge = w.form.findChild<QToolButton*>(QStringLiteral("Command1_3"));
    QCOMPARE(merge->toolTip(), QStringLiteral("ファイルのマージ"));
    QVERIFY(!merge->isEnabled());
    QTest::mouseClick(merge, Qt::LeftButton);
    w.form.Command1_Click(3);
    w.form.Command1_Click(24);
    w.form.Command1_Click(-1);
    QCOMPARE(effects(w), before);
}

void TestForm1::versionCommandGoesThroughThePlatform()
{
    Window w;
    fillTagged(w.table());
    const QStringList before = effects(w);
    w.action("MnuHelpVersion")->trigger();
    QCOMPARE(w.platform.versionDialogs, 1);
    QCOMPARE(effects(w), before);
}

void TestForm1::printAndCheckCommands()
{
    Window w;
    w.platform.fileAnswers << m_routeFile; // 5 stops, fares rising along every row
    w.action("MnuFileOpen")->trigger();
    w.table().setCurrentCell(4, 9);

    // The check lists its warnings, tints their cells and leaves the current cell alone.
    w.action("MnuToolCheck")->trigger();
    CheckPanel* panel = w.form.checkPanel();
    QVERIFY(panel && panel->isVisible());
    const int all = panel->list()->topLevelItemCount();
    QVERIFY(all > 0);
    QCOMPARE(QPoint(w.table().CurCol(), w.table().CurRow()), QPoint(9, 4));
    QTreeWidgetItem* last = panel->list()->topLevelItem(all - 1);
    const QPoint cell = last->data(0, Qt::UserRole).toPoint();
    QVERIFY(w.grid()->fareModel()->isMarked(cell.y(), cell.x()));
    // Activating a warning moves there, committing an edit open elsewhere.
    w.type(w.grid(), QStringLiteral("7"), Qt::Key_7);
    panel->list()->setCurrentItem(last);
    QTest::keyClick(panel->list(), Qt::Key_Return);
    QCOMPARE(QPoint(w.table().CurCol(), w.table().CurRow()), cell);
    QCOMPARE(w.table().text(4, 9), QStringLiteral("7"));
    QVERIFY(!w.grid()->fareModel()->isMarked(cell.y(), cell.x())); // the table changed
    QVERIFY(panel->findChild<QLabel*>(QStringLiteral("CheckSummary"))
                ->text()
                .contains(QStringLiteral("変更")));
    // Switching the rule behind the warnings off checks again without it.
    panel->findChild<QCheckBox*>(QStringLiteral("CheckRule_row-rises"))->setChecked(false);
    QVERIFY(panel->list()->topLevelItemCount() < all);

    // Printing and the preview draw the sheet through the print dialogs' seam.
    w.printing.printTo = m_dir.filePath(QStringLiteral("printed.pdf"));
    w.action("MnuFilePrint")->trigger();
    w.action("MnuFilePrintPreview")->trigger();
    QCOMPARE(w.printing.calls, QStringList({QStringLiteral("print"), QStringLiteral("preview")}));
    QVERIFY(TestTables::readBytes(w.printing.printTo).startsWith("%PDF"));
    QProcess text; // the footer names the file the table came from
    text.start(QStringLiteral("pdftotext"), {w.printing.printTo, QStringLiteral("-")});
    if (text.waitForFinished())
        QVERIFY(text.readAllStandardOutput().contains("route.Hy3"));
    QCOMPARE(QPoint(w.table().CurCol(), w.table().CurRow()), cell);
    QCOMPARE(w.platform.messages.size(), 0);
}

void TestForm1::bulkChangeRedrawsOnce()
{
    Window w;
    QSignalSpy changes(w.grid()->fareModel(), &QAbstractItemModel::dataChanged);
    w.form.Data_Cls();
    QCOMPARE(changes.size(), 1);
    QVERIFY(w.grid()->updatesEnabled());
    QCOMPARE(w.grid()->currentIndex(), w.grid()->fareModel()->indexOfCell(301, 152));
}

void TestForm1::commandCommitsOpenEditFirst_data()
{
    QTest::addColumn<QString>("command"); // a menu item, or "drop"
    QTest::addColumn<QList<Platform::Answer>>("answers");
    QTest::addColumn<QString>("file"); // chosen or dropped; ROUTE, BLANK, or a new name; "" cancels
    QTest::addColumn<QString>("routeName"); // cell (1, 1) afterwards
    using A = Platform::Answer;
    const QList<A> none;
    QTest::newRow("new, yes") << "MnuFileNew" << QList<A>{A::Yes} << ""
                              << "";
    QTest::newRow("new, no") << "MnuFileNew" << QList<A>{A::No} << ""
                             << "X";
    QTest::newRow("open") << "MnuFileOpen" << none << "ROUTE"
                          << "東西線";
    QTest::newRow("open, cancelled") << "MnuFileOpen" << none << ""
                                     << "X";
    QTest::newRow("import, blank first line") << "MnuFileTxtInport" << none << "BLANK"
                                              << "";
    QTest::newRow("import, cancelled") << "MnuFileTxtInport" << none << ""
                                       << "X";
    QTest::newRow("save as") << "MnuFileSaveAs" << none << "typed.Hy3"
                             << "X";
    QTest::newRow("save as, cancelled") << "MnuFileSaveAs" << none << ""
                                        << "X";
    QTest::newRow("save as text") << "MnuFileSaveTxt" << none << "typed.txt"
                                  << "X";
    QTest::newRow("save as text, cancelled") << "MnuFileSaveTxt" << none << ""
                                             << "X";
    QTest::newRow("PDF") << "MnuFilePdf" << none << "typed.pdf"
                         << "X";
    QTest::newRow("PDF, cancelled") << "MnuFilePdf" << none << ""
                                    << "X";
    QTest::newRow("drop, blank first line") << "drop" << QList<A>{A::Yes} << "BLANK"
                                            << "";
    QTest::newRow("drop, no") << "drop" << QList<A>{A::No} << "ROUTE"
                              << "X";
}

void TestForm1::commandCommitsOpenEditFirst()
{
    QFETCH(QString, command);
    QFETCH(QList<Platform::Answer>, answers);
    QFETCH(QString, file);
    QFETCH(QString, routeName);
    if (file == QLatin1String("ROUTE"))
        file = m_routeFile;
    else if (file == QLatin1String("BLANK"))
        file = m_blankRouteText;
    else if (!file.isEmpty())
        file = m_dir.filePath(file);
    // The edit is typed into the start-up cell, (1, 1): nothing moves the current cell before
    // the command runs.
    Window w;
    w.type(w.grid(), QStringLiteral("X"), Qt::Key_X);
    QVERIFY(w.editor()->isOpen());
    w.platform.answers = answers;
    if (command != QLatin1String("drop") && !file.isEmpty())
        w.platform.fileAnswers << file;
    // The question or dialog is asked over the committed table.
    QStringList whenAsked;
    w.platform.beforeAsking = [&w, &whenAsked] {
        if (whenAsked.isEmpty())
            whenAsked << QString::number(w.editor()->isOpen()) << w.table().text(1, 1);
    };

    if (command == QLatin1String("drop"))
        dropFiles(w.grid()->viewport(), {file});
    else
        w.action(qPrintable(command))->trigger();
    QCOMPARE(whenAsked, QStringList({QStringLiteral("0"), QStringLiteral("X")}));
    QVERIFY(!w.editor()->isOpen());
    QCOMPARE(w.table().text(1, 1), routeName);

    if (command.startsWith(QLatin1String("MnuFileSave")) && !file.isEmpty()) {
        FareTable reread;
        FakePlatform platform;
        const auto load = command == QLatin1String("MnuFileSaveTxt") ? LoadText : LoadHy3;
        QCOMPARE(load(reread, platform, file), Outcome::Done);
        QCOMPARE(reread.text(1, 1), QStringLiteral("X"));
    }
}

void TestForm1::closingPrompt_data()
{
    QTest::addColumn<QList<Platform::Answer>>("answers");
    QTest::addColumn<QString>("chosen"); // the Save As dialog's answer; empty cancels it
    QTest::addColumn<bool>("closes");
    using A = Platform::Answer;
    QTest::newRow("no") << QList<A>{A::No} << "" << true;
    QTest::newRow("cancel") << QList<A>{A::Cancel} << "" << false;
    QTest::newRow("yes, saved") << QList<A>{A::Yes} << "closing.Hy3" << true;
    QTest::newRow("yes, dialog cancelled") << QList<A>{A::Yes} << "" << false;
    QTest::newRow("yes, unknown extension") << QList<A>{A::Yes} << "closing.dat" << false;
}

void TestForm1::closingPrompt()
{
    QFETCH(QList<Platform::Answer>, answers);
    QFETCH(QString, chosen);
    QFETCH(bool, closes);
    Window w;
    w.table().setCurrentCell(1, 1);
    w.type(w.grid(), QStringLiteral("終了前"));
    w.platform.answers = answers;
    const QString path = m_dir.filePath(chosen);
    if (!chosen.isEmpty())
        w.platform.fileAnswers << path;
    w.action("MnuFileExit")->trigger();
    QCOMPARE(w.platform.messages.value(0).title, QStringLiteral("保存の確認"));
    QCOMPARE(w.form.isVisible(), !closes);
    if (answers[0] == Platform::Answer::Yes && closes) {
        FareTable reread;
        FakePlatform platform;
        QCOMPARE(LoadHy3(reread, platform, path), Outcome::Done);
        QCOMPARE(reread.text(1, 1), QStringLiteral("終了前"));
    }
}

void TestForm1::sessionEnd_data()
{
    QTest::addColumn<bool>("interaction"); // whether the session manager lets the program ask
    QTest::addColumn<QList<Platform::Answer>>("answers");
    QTest::addColumn<QString>("chosen"); // the Save As dialog's answer; empty cancels it
    QTest::addColumn<QString>("after");  // what the user does before the window is closed
    QTest::addColumn<bool>("mayEnd");
    QTest::addColumn<bool>("closeAsks"); // whether closing the window then asks again
    using A = Platform::Answer;
    QTest::newRow("no") << true << QList<A>{A::No} << ""
                        << "" << true << false;
    QTest::newRow("cancel") << true << QList<A>{A::Cancel} << ""
                            << "" << false << true;
    QTest::newRow("yes, saved") << true << QList<A>{A::Yes} << "session.Hy3"
                                << "" << true << false;
    QTest::newRow("yes, dialog cancelled") << true << QList<A>{A::Yes} << ""
                                           << "" << false << true;
    QTest::newRow("yes, unknown extension") << true << QList<A>{A::Yes} << "session.dat"
                                            << "" << false << true;
    QTest::newRow("no interaction") << false << QList<A>{} << ""
                                    << "" << true << true;
    QTest::newRow("no, then a cell changes") << true << QList<A>{A::No} << ""
                                             << "change" << true << true;
    QTest::newRow("no, then an edit opens") << true << QList<A>{A::No} << ""
                                            << "edit" << true << true;
}

void TestForm1::sessionEnd()
{
    QFETCH(bool, interaction);
    QFETCH(QList<Platform::Answer>, answers);
    QFETCH(QString, chosen);
    QFETCH(QString, after);
    QFETCH(bool, mayEnd);
    QFETCH(bool, closeAsks);
    Window w;
    w.type(w.grid(), QStringLiteral("終了前"));
    w.platform.answers = answers;
    const QString path = m_dir.filePath(chosen);
    if (!chosen.isEmpty())
        w.platform.fileAnswers << path;

    QCOMPARE(w.form.sessionEnding(interaction), mayEnd);
    QCOMPARE(w.platform.messages.size(), interaction ? 1 : 0);
    if (interaction) {
        QCOMPARE(w.platform.messages[0].text, QStringLiteral("現在編集中のデータを保存しますか？"));
        QCOMPARE(w.platform.messages[0].buttons, Platform::Buttons::YesNoCancel);
    }
    if (answers.value(0) == Platform::Answer::Yes && mayEnd) {
        FareTable reread;
        FakePlatform platform;
        QCOMPARE(LoadHy3(reread, platform, path), Outcome::Done);
        QCOMPARE(reread.text(1, 1), QStringLiteral("終了前"));
    }

    if (after == QLatin1String("change"))
        w.table().SetCell(5, 5, QStringLiteral("230"));
    else if (after == QLatin1String("edit"))
        w.type(w.grid(), QStringLiteral("7"), Qt::Key_7);
    // The end of the session closes the window; No lets it close if it asks.
    const int asked = w.platform.messages.size();
    w.platform.answers = {Platform::Answer::No};
    QVERIFY(w.form.close());
    QCOMPARE(w.platform.messages.size(), asked + (closeAsks ? 1 : 0));
}

void TestForm1::droppedFiles_data()
{
    QTest::addColumn<QStringList>("files"); // ROUTE and OTHER stand for the saved files
    QTest::addColumn<QList<Platform::Answer>>("answers");
    QTest::addColumn<QString>("routeName"); // empty: the table is unchanged
    QTest::addColumn<QStringList>("titles");
    using A = Platform::Answer;
    const QString ask = QStringLiteral("新規作成時の確認");
    QTest::newRow("fare table") << QStringList{QStringLiteral("ROUTE")} << QList<A>{A::Yes}
                                << "東西線" << QStringList{ask};
    QTest::newRow("two files, the first is opened")
        << QStringList{QStringLiteral("OTHER"), QStringLiteral("ROUTE")} << QList<A>{A::Yes}
        << "南北線" << QStringList{ask};
    QTest::newRow("answered no") << QStringList{QStringLiteral("ROUTE")} << QList<A>{A::No} << ""
                                 << QStringList{ask};
    QTest::newRow("unsupported file")
        << QStringList{QStringLiteral("/tmp/letter.doc")} << QList<A>{A::Yes} << ""
        << QStringList{ask, QStringLiteral("ドラッグされたファイル")};
}

void TestForm1::droppedFiles()
{
    QFETCH(QStringList, files);
    QFETCH(QList<Platform::Answer>, answers);
    QFETCH(QString, routeName);
    QFETCH(QStringList, titles);
    files.replaceInStrings(QStringLiteral("ROUTE"), m_routeFile);
    files.replaceInStrings(QStringLiteral("OTHER"), m_otherFile);
    Window w;
    fillTagged(w.table());
    const QStringList before = TestTables::snapshot(w.table());
    w.platform.answers = answers;
    dropFiles(w.grid()->viewport(), files);
    QStringList shown;
    for (const FakePlatform::Message& m : std::as_const(w.platform.messages))
        shown << m.title;
    QCOMPARE(shown, titles);
    if (routeName.isEmpty())
        QCOMPARE(TestTables::snapshot(w.table()), before);
    else
        QCOMPARE(w.table().text(1, 1), routeName);
}

void TestForm1::dropIsAlwaysACopy_data()
{
    QTest::addColumn<Qt::DropActions>("possible");
    QTest::addColumn<bool>("localFile");
    QTest::addColumn<bool>("accepted");
    const Qt::DropActions copyOrMove = Qt::CopyAction | Qt::MoveAction;
    QTest::newRow("copy or move, move proposed") << copyOrMove << true << true;
    QTest::newRow("move only") << Qt::DropActions(Qt::MoveAction) << true << false;
    QTest::newRow("no local file") << copyOrMove << false << false;
}

void TestForm1::dropIsAlwaysACopy()
{
    QFETCH(Qt::DropActions, possible);
    QFETCH(bool, localFile);
    QFETCH(bool, accepted);
    Window w;
    w.platform.answers << Platform::Answer::No;
    QMimeData data;
    if (localFile)
        data.setUrls({QUrl::fromLocalFile(m_routeFile)});
    else
        data.setUrls({QUrl(QStringLiteral("https://example.com/route.Hy3"))});
    // Shift held: the file manager proposes to move the file. The move and the drop reach the
    // widget that accepted the enter.
    const QPoint at = w.cellCentre(3, 3);
    QDragEnterEvent enter(at, possible, &data, Qt::LeftButton, Qt::ShiftModifier);
    QDragMoveEvent move(at, possible, &data, Qt::LeftButton, Qt::ShiftModifier);
    QDropEvent drop(at, possible, &data, Qt::LeftButton, Qt::ShiftModifier);
    QStringList seen;
    for (QDropEvent* event :
         {static_cast<QDropEvent*>(&enter), static_cast<QDropEvent*>(&move), &drop}) {
        QCOMPARE(event->proposedAction(), Qt::MoveAction);
        event->ignore();
        QCoreApplication::sendEvent(w.grid()->viewport(), event);
        seen << (event->isAccepted() ? QString::number(event->dropAction()) : QString());
    }
    const QString copy = QString::number(Qt::CopyAction);
    QCOMPARE(seen, accepted ? QStringList({copy, copy, copy})
                            : QStringList({QString(), QString(), QString()}));
    QCoreApplication::processEvents(); // the drop is handled once the drag has finished
    QCOMPARE(w.platform.messages.size(), accepted ? 1 : 0);
}

void TestForm1::editorLeavesDropsToTheGrid()
{
    Window w;
    w.table().setCurrentCell(4, 1);
    w.type(w.grid(), QStringLiteral("X"), Qt::Key_X);
    QVERIFY(w.editor()->isOpen());
    w.platform.answers << Platform::Answer::Yes;
    // Sent to the editor, a drag goes to it or to the nearest of its parents that accepts drops.
    dropFiles(w.editor(), {m_routeFile});
    QCOMPARE(w.platform.messages.value(0).title, QStringLiteral("新規作成時の確認"));
    QVERIFY(!w.editor()->isOpen());
    QCOMPARE(w.table().text(1, 1), QStringLiteral("東西線"));
}

namespace {

/** The whole table and the current cell. */
QStringList tableState(Window& w)
{
    return TestTables::snapshot(w.table())
           << QStringLiteral("current %1,%2").arg(w.table().CurRow()).arg(w.table().CurCol());
}

void keys(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    QTest::keyClick(widget, key, modifiers);
}

QString current(Window& w)
{
    return QStringLiteral("%1,%2").arg(w.table().CurRow()).arg(w.table().CurCol());
}

} // namespace

void TestForm1::everyStepUndoesAndRedoes_data()
{
    QTest::addColumn<QString>("action"); // a menu item, or what the user does
    QTest::addColumn<int>("steps");
    for (const char* command :
         {"MnuCellInsDown",     "MnuCellInsRight",   "MnuCellDeleteNormal", "MnuCellDeleteLeft",
          "MnuCellDeleteUp",    "MnuCellUp",         "MnuCellDown",         "MnuCellLeft",
          "MnuCellRight",       "MnuEditLinePaste",  "MnuEditLineIns",      "MnuEditLineDelete",
          "MnuRowDeleteNormal", "MnuEditUp",         "MnuEditDown",         "MnuEditClumPaste",
          "MnuClumIns",         "MnuClumDeleteLeft", "MnuClumDeleteNormal", "MnuClumLeft",
          "MnuClumRight",       "MnuFileNew",        "MnuFileOpen",         "MnuFileTxtInport",
          "MnuEditCut",         "MnuEditPaste"})
        QTest::newRow(command) << command << 1;
    QTest::newRow("copies are no step") << "MnuEditLineCopy" << 0;
    QTest::newRow("typed edit") << "edit" << 1;
    QTest::newRow("Delete key") << "delete" << 1;
    QTest::newRow("Delete key on a block") << "delete block" << 1;
    QTest::newRow("Ctrl+X on a block") << "cut block" << 1;
    QTest::newRow("dropped file") << "drop" << 1;
    QTest::newRow("swap with the editor open: the edit first") << "edit, swap" << 2;
}

void TestForm1::everyStepUndoesAndRedoes()
{
    QFETCH(QString, action);
    QFETCH(int, steps);
    Window w;
    prepare(w); // current cell (6, 7)
    w.table().SetCell(6, 7, QStringLiteral("東\t\"西\"\n線"));
    w.table().setCurrentCell(6, 7);
    QGuiApplication::clipboard()->setText(QStringLiteral("東\t\"a\"\"b\"\r\nc\r\n"));
    w.platform.fileAnswers << (action == QLatin1String("MnuFileOpen") ? m_routeFile
                                                                      : m_blankRouteText);
    const QStringList before = tableState(w);
    if (action.startsWith(QLatin1String("edit"))) {
        w.type(w.grid(), QStringLiteral("7"), Qt::Key_7);
        if (action == QLatin1String("edit"))
            w.press(w.editor(), Qt::Key_Return);
        else
            w.action("MnuCellRight")->trigger();
    } else if (action.endsWith(QLatin1String("block"))) {
        keys(w.grid(), Qt::Key_Down, Qt::ShiftModifier);
        keys(w.grid(), Qt::Key_Right, Qt::ShiftModifier);
        keys(w.grid(), action.startsWith(u'c') ? Qt::Key_X : Qt::Key_Delete,
             action.startsWith(u'c') ? Qt::ControlModifier : Qt::NoModifier);
    } else if (action == QLatin1String("delete")) {
        w.press(w.grid(), Qt::Key_Delete);
    } else if (action == QLatin1String("drop")) {
        dropFiles(w.grid()->viewport(), {m_routeFile});
    } else {
        w.action(qPrintable(action))->trigger();
    }
    const QStringList after = tableState(w);
    QCOMPARE(w.form.history().undoCount(), steps);
    QCOMPARE(after.mid(0, after.size() - 1) == before.mid(0, before.size() - 1), steps == 0);

    for (int i = 0; i < steps; ++i) {
        keys(w.grid(), Qt::Key_Z, Qt::ControlModifier);
        // An edit committed by a command is undone after it: the swap read the stored text.
        if (i == 0 && steps == 2)
            QCOMPARE(w.table().text(6, 7) + w.table().text(6, 8) + current(w),
                     QStringLiteral("7") + TestTables::cellTag(6, 8) + QStringLiteral("6,7"));
    }
    QCOMPARE(tableState(w), steps > 0 ? before : after); // cells and current cell
    QVERIFY(!w.action("MnuEditUndo")->isEnabled());
    for (int i = 0; i < steps; ++i) { // both redo keys
        if (i % 2)
            keys(w.grid(), Qt::Key_Y, Qt::ControlModifier);
        else
            keys(w.grid(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    }
    QCOMPARE(tableState(w), after);
    QVERIFY(!w.action("MnuEditRedo")->isEnabled());
}

void TestForm1::selectionReachesFromTheCurrentCell()
{
    Window w;
    w.table().setCurrentCell(5, 5);
    const auto selected = [&w] {
        const CellRange r = w.grid()->selectedRange();
        return QStringLiteral("%1,%2-%3,%4 at %5")
            .arg(r.top)
            .arg(r.left)
            .arg(r.bottom)
            .arg(r.right)
            .arg(current(w));
    };
    keys(w.grid(), Qt::Key_Down, Qt::ShiftModifier);
    keys(w.grid(), Qt::Key_Right, Qt::ShiftModifier);
    QCOMPARE(selected(), QStringLiteral("5,5-6,6 at 5,5"));
    keys(w.grid(), Qt::Key_C, Qt::ControlModifier); // the shortcut, not the editor
    QVERIFY(!w.editor()->isOpen());
    QTest::mouseClick(w.grid()->viewport(), Qt::LeftButton, Qt::ShiftModifier, w.cellCentre(3, 4));
    QCOMPARE(selected(), QStringLiteral("3,4-5,5 at 5,5"));
    QTest::mousePress(w.grid()->viewport(), Qt::LeftButton, {}, w.cellCentre(8, 8));
    QTest::mouseMove(w.grid()->viewport(), w.cellCentre(9, 6));
    QTest::mouseRelease(w.grid()->viewport(), Qt::LeftButton, {}, w.cellCentre(9, 6));
    QCOMPARE(selected(), QStringLiteral("8,6-9,8 at 8,8"));
    // A column heading: the current cell moves into the column, which is selected.
    QHeaderView* columns = w.grid()->horizontalHeader();
    const int x = columns->sectionViewportPosition(4) + columns->sectionSize(4) / 2;
    QTest::mouseClick(columns->viewport(), Qt::LeftButton, {}, QPoint(x, 5));
    QCOMPARE(selected(), QStringLiteral("1,5-301,5 at 8,5"));
    w.press(w.grid(), Qt::Key_Up);
    QCOMPARE(selected(), QStringLiteral("7,5-7,5 at 7,5"));
    // Inside the in-cell editor the keys act on its own text.
    QGuiApplication::clipboard()->setText(QStringLiteral("東"));
    w.type(w.grid(), QStringLiteral("9"), Qt::Key_9);
    keys(w.editor(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(w.editor()->text(), QStringLiteral("9東"));
    keys(w.editor(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(w.editor()->text(), QStringLiteral("9"));
    QVERIFY(w.editor()->isOpen());
    QCOMPARE(selected(), QStringLiteral("7,5-7,5 at 7,5"));
}

void TestForm1::clipboardRoundTripsThroughASpreadsheet()
{
    Window w;
    const QStringList cells =
        QString::fromUtf8("東西\"線\"|a\tb|c\nd||市民病院前|x\r\ny").split(u'|');
    {
        HiddenTable hidden(w.table());
        w.table().writeBlock(2, 1, 3, 3, cells);
        w.table().setCurrentCell(2, 1);
    }
    QTest::mouseClick(w.grid()->viewport(), Qt::LeftButton, Qt::ShiftModifier, w.cellCentre(3, 3));
    keys(w.grid(), Qt::Key_C, Qt::ControlModifier);
    // What a spreadsheet copies from the same cells, and what it reads.
    const QString sheet =
        QString::fromUtf8("\"東西\"\"線\"\"\"\t\"a\tb\"\t\"c\nd\"\r\n\t市民病院前\t\"x\r\ny\"\r\n");
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    QCOMPARE(data->text(), sheet);
    QVERIFY(data->html().contains(
        QStringLiteral("<td>c<br>d</td></tr>\n<tr><td></td><td>市民病院前</td>")));
    QCOMPARE(current(w), QStringLiteral("2,1"));

    // Back from a spreadsheet, with CR LF or with LF row ends.
    for (const int row : {10, 20}) {
        QString text = sheet;
        if (row == 20)
            text.replace(QStringLiteral("\"\r\n"), QStringLiteral("\"\n"));
        QGuiApplication::clipboard()->setText(text);
        w.table().setCurrentCell(row, 1);
        keys(w.grid(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(QStringList(w.table().readBlock(row, 1, row + 1, 3)), cells);
        w.table().setCurrentCell(row, 1); // reading moved it
        QVERIFY(!w.editor()->isOpen());
    }
    // Past the last row and column, and onto the heading row: what falls there is left out, and
    // the user is told how much.
    const struct {
        int row, col, leftOut;
        const char* written; // the texts of (row + 1, col) and (row + 1, col + 1) afterwards
    } edges[] = {{300, 151, 2, "|市民病院前"}, {0, 5, 3, "|市民病院前"}};
    for (const auto& edge : edges) {
        w.table().setCurrentCell(edge.row, edge.col);
        keys(w.grid(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(w.table().text(edge.row + 1, edge.col) + QLatin1Char('|') +
                     w.table().text(edge.row + 1, edge.col + 1),
                 QString::fromUtf8(edge.written));
        QCOMPARE(current(w), QStringLiteral("%1,%2").arg(edge.row).arg(edge.col));
        QCOMPARE(w.form.statusBar()->currentMessage(),
                 QStringLiteral("表の外や見出しに当たる %1 セルは貼り付けませんでした")
                     .arg(edge.leftOut));
    }
    QCOMPARE(w.table().text(0, 5), QStringLiteral("3"));
    // One text pasted onto a selected block fills it.
    QGuiApplication::clipboard()->setText(QStringLiteral("東\r\n"));
    w.table().setCurrentCell(40, 3);
    keys(w.grid(), Qt::Key_Down, Qt::ShiftModifier);
    keys(w.grid(), Qt::Key_Right, Qt::ShiftModifier);
    keys(w.grid(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(current(w), QStringLiteral("40,3"));
    QCOMPARE(QStringList(w.table().readBlock(40, 3, 41, 5)).join(u'|'),
             QStringLiteral("東|東||東|東|"));
}

void TestForm1::findBarFindsAndReplaces()
{
    Window w;
    w.table().SetCell(3, 1, QStringLiteral("市民病院"));
    w.table().SetCell(5, 1, QStringLiteral("市民病院"));
    w.table().SetCell(5, 4, QStringLiteral("市民病院"));
    w.table().setCurrentCell(1, 1);
    FindBar* bar = w.form.findBar();
    QVERIFY(!bar->isVisible());
    keys(w.grid(), Qt::Key_F, Qt::ControlModifier);
    QVERIFY(bar->isVisible());
    auto* findText = bar->findChild<QLineEdit*>(QStringLiteral("FindText"));
    QTRY_VERIFY(findText->hasFocus());
    findText->setText(QStringLiteral("市民病院"));
    bar->findChild<QComboBox*>(QStringLiteral("FindScope"))->setCurrentIndex(1); // names
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        const char* cell;
        bool wrapped;
    } presses[] = {{Qt::Key_Return, {}, "3,1", false},
                   {Qt::Key_F3, {}, "5,1", false},
                   {Qt::Key_F3, {}, "3,1", true},
                   {Qt::Key_F3, Qt::ShiftModifier, "5,1", true}};
    for (const auto& press : presses) {
        keys(findText, press.key, press.modifiers);
        QCOMPARE(current(w), QString::fromLatin1(press.cell));
        QCOMPARE(!w.form.statusBar()->currentMessage().isEmpty(), press.wrapped);
    }
    QCOMPARE(w.form.statusBar()->currentMessage(), QStringLiteral("表の末尾に戻って検索しました"));

    // Replace all: one step, the count in the status bar, the current cell stays.
    keys(w.grid(), Qt::Key_H, Qt::ControlModifier);
    bar->findChild<QLineEdit*>(QStringLiteral("ReplaceText"))
        ->setText(QStringLiteral("市民病院前"));
    bar->findChild<QCheckBox*>(QStringLiteral("FindWholeCell"))->setChecked(true);
    bar->findChild<QToolButton*>(QStringLiteral("ReplaceAll"))->click();
    QCOMPARE(w.form.statusBar()->currentMessage(), QStringLiteral("2 セルを置換しました"));
    QCOMPARE(w.table().text(3, 1) + w.table().text(5, 1) + w.table().text(5, 4),
             QStringLiteral("市民病院前市民病院前市民病院"));
    QCOMPARE(current(w), QStringLiteral("5,1"));
    QCOMPARE(w.form.history().undoCount(), 1);
    // Replace: the current cell, when it matches, then on to the next match.
    keys(w.grid(), Qt::Key_Z, Qt::ControlModifier);
    bar->findChild<QToolButton*>(QStringLiteral("ReplaceOne"))->click();
    QCOMPARE(w.table().text(3, 1) + w.table().text(5, 1), QStringLiteral("市民病院市民病院前"));
    QCOMPARE(current(w), QStringLiteral("3,1"));
    QCOMPARE(w.form.history().undoCount(), 1);
    // Esc closes the bar and gives the grid the focus.
    keys(findText, Qt::Key_Escape, {});
    QVERIFY(!bar->isVisible());
    QTRY_VERIFY(w.grid()->hasFocus());
    QCOMPARE(current(w), QStringLiteral("3,1"));
}

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
