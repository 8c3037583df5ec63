#include "app/celleditor.h"
#include "app/checkpanel.h"
#include "app/commandtable.h"
#include "app/comparepanel.h"
#include "app/faregridmodel.h"
#include "app/faregridview.h"
#include "app/findbar.h"
#include "app/form1.h"
#include "app/longlineedit.h"
#include "app/printplatform.h"
#include "app/revisionplatform.h"
#include "app/statusfield.h"
#include "document/filecommands.h"
#include "document/fileformats.h"
#include "fakeplatform.h"
#include "files/binaryfile.h"
#include "model/bulkguards.h"
#include "testtables.h"
#include "text/textexport.h"

#include <QAction>
#include <QApplication>
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
#include <QPushButton>
#include <QScrollBar>
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
    QString docName; ///< the print job's name, as the preview printed it

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
        if (!printTo.isEmpty())
            paint(printer);
        docName = printer.docName();
    }
};

/** The revision dialog, scripted: it chooses rule (cancels when there is none). */
struct FakeRevising : RevisionPlatform {
    std::optional<FareRevision::Rule> rule = FareRevision::Rule{1, 1, 100};
    QStringList asked; ///< the block of each dialog ("all" for every stored stop)

    std::optional<FareRevision::Rule> chooseRevision(const FareTable&,
                                                     const std::optional<CellRange>& block,
                                                     const FareRevision::Rule&) override
    {
        asked << (block ? QString::asprintf("%d,%d-%d,%d", block->top, block->left, block->bottom,
                                            block->right)
                        : QStringLiteral("all"));
        return rule;
    }
};

/** A shown, active main window over a scripted platform. */
struct Window {
    FakePlatform platform;
    FakePrinting printing;
    FakeRevising revising;
    Form1 form{platform, printing, revising};

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
    QAction* action(const QString& name) { return form.findChild<QAction*>(name); }
    QAction* action(const char* name) { return action(QLatin1String(name)); }
    QMenu* menu(const QString& name) { return form.findChild<QMenu*>(name); }
    QPoint cellCentre(int row, int col)
    {
        return grid()->visualRect(grid()->fareModel()->indexOfCell(row, col)).center();
    }
    /** Types text on a widget as one key (Key_unknown carries any text, Japanese included). */
    void type(QWidget* widget, const QString& text, Qt::Key key = Qt::Key_unknown)
    {
        QTest::sendKeyEvent(QTest::Click, widget, key, text, Qt::NoModifier);
    }
    void press(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::keyClick(widget, key, modifiers);
    }
    QString current()
    {
        return QStringLiteral("%1,%2").arg(table().CurRow()).arg(table().CurCol());
    }
    /** The whole table and the current cell. */
    QStringList state() { return TestTables::snapshot(table()) << current(); }
    /** Drops local files (or other addresses) as a file manager does, Shift held. */
    QStringList drop(QWidget* target, const QStringList& files, Qt::DropActions possible)
    {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& file : files)
            urls << (file.startsWith(u'/') ? QUrl::fromLocalFile(file) : QUrl(file));
        data.setUrls(urls);
        // The move and the drop reach the widget that accepted the enter.
        const QPoint at(5, 5);
        QDragEnterEvent enter(at, possible, &data, Qt::LeftButton, Qt::ShiftModifier);
        QDragMoveEvent move(at, possible, &data, Qt::LeftButton, Qt::ShiftModifier);
        QDropEvent drop(at, possible, &data, Qt::LeftButton, Qt::ShiftModifier);
        QStringList seen;
        for (QDropEvent* event :
             {static_cast<QDropEvent*>(&enter), static_cast<QDropEvent*>(&move), &drop}) {
            event->ignore();
            QCoreApplication::sendEvent(target, event);
            seen << (event->isAccepted() ? QString::number(event->dropAction()) : QString());
        }
        QCoreApplication::processEvents(); // the drop is handled once the drag has finished
        return seen;
    }
};

void fillTagged(FareTable& table)
{
    HiddenTable hidden(table);
    TestTables::fillTagged(table);
}

/** A table with something in every cell, a copied row and column, history both ways. */
void prepare(Window& w)
{
    fillTagged(w.table());
    w.table().setCurrentCell(3, 4);
    w.form.editCommands().MnuEditLineCopy();
    w.form.editCommands().MnuEditClumCopy();
    for (const char* text : {"A", "B"}) {
        TableStep step(w.table());
        w.table().SetCell(2, 2, QString::fromLatin1(text));
    }
    w.form.history().undo();
    w.table().setCurrentCell(6, 7);
    QGuiApplication::clipboard()->setText(QStringLiteral("東\t\"a\"\"b\"\r\nc\r\n"));
    w.platform.messages.clear();
}

/** What a command did: table, current cell, buffers, clipboard, what it asked and showed. */
QStringList effects(Window& w)
{
    QStringList seen = w.state();
    seen << w.form.editCommands().copiedRow().cells().toList().join(u'|')
         << w.form.editCommands().copiedColumn().toList().join(u'|')
         << QGuiApplication::clipboard()->text() << w.printing.calls.join(u' ')
         << QString::number(w.platform.versionDialogs) << QString::number(w.form.isVisible())
         << QUrl::toStringList(w.platform.urls).join(u' ') << w.revising.asked.join(u' ');
    for (const FakePlatform::Message& m : std::as_const(w.platform.messages))
        seen << QStringLiteral("message ") + m.title;
    for (const FakePlatform::Dialog& d : std::as_const(w.platform.dialogs))
        seen << QStringLiteral("dialog %1 %2").arg(d.save).arg(d.filters.value(0).label);
    if (const auto* bar = w.form.findChild<FindBar*>())
        seen << QStringLiteral("find bar %1 %2")
                    .arg(bar->isVisible())
                    .arg(bar->findChild<QLineEdit*>(QStringLiteral("ReplaceText"))->isVisible());
    if (const CheckPanel* panel = w.form.checkPanel())
        seen << QStringLiteral("check %1").arg(panel->list()->topLevelItemCount());
    if (const ComparePanel* panel = w.form.comparePanel())
        seen << QStringLiteral("compare %1").arg(panel->list()->topLevelItemCount());
    return seen;
}

/** Runs the window's or the editing commands' slot named like a menu item. */
void runHandler(Window& w, const QString& name)
{
    QObject* receiver = &w.form;
    if (w.form.metaObject()->indexOfSlot(qPrintable(name + QStringLiteral("()"))) < 0)
        receiver = &w.form.editCommands();
    QVERIFY2(QMetaObject::invokeMethod(receiver, qPrintable(name)), qPrintable(name));
}

/** The text of a PDF as pdftotext reads it; null when there is no pdftotext. */
QString pdfText(const QString& pdf)
{
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    return text.waitForFinished() ? QString::fromUtf8(text.readAllStandardOutput()) : QString();
}

} // namespace

class TestForm1 : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void startsUp();
    void commandTable_data();
    void commandTable();
    void editorKeys_data();
    void editorKeys();
    void chordsTypeNothing();
    void headingCellCurrent_data();
    void headingCellCurrent();
    void stepsOutsideTheMenus_data();
    void stepsOutsideTheMenus();
    void sessionEnd_data();
    void sessionEnd();
    void openEditCommittedBeforeAsking_data();
    void openEditCommittedBeforeAsking();
    void selectionAndClipboard();
    void findBarFindsAndReplaces();
    void printAndCheckCommands();
    void reviseFares_data();
    void reviseFares();
    void compareWithOldTable();
    void saveBack_data();
    void saveBack();
    void statusBarSaysWhereYouAre();
    void longTextInTheEditor_data();
    void longTextInTheEditor();
    void longTextElsewhere();
    void importNotesWhatItLeftOut();

private:
    QTemporaryDir m_dir;
    QString m_routeFile;      ///< a saved .Hy3 file whose route name is "東西線"
    QString m_otherFile;      ///< a saved .Hy3 file whose route name is "南北線"
    QString m_blankRouteText; ///< a text file whose first line is blank
    QString m_routeText;      ///< the route file exported as text
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
    m_routeText = m_dir.filePath(QStringLiteral("route.txt"));
    FareTable route;
    QVERIFY(LoadHy3(route, platform, m_routeFile) == Outcome::Done &&
            exportText(route, platform, m_routeText) == Outcome::Done);
}

void TestForm1::startsUp()
{
    Window w;
    QCOMPARE(w.grid()->currentIndex(), w.grid()->fareModel()->indexOfCell(1, 1));
    QVERIFY(w.editor()->isHidden());
    QVERIFY(
        !w.form.menuBar()->actions().contains(w.menu(QStringLiteral("MnuHideMnu"))->menuAction()));
    QCOMPARE(w.grid()->accessibleName(), QStringLiteral("運賃表"));
    QVERIFY(!w.action(QStringLiteral("MnuEditUndo"))->isEnabled());
    QVERIFY(!w.action(QStringLiteral("MnuEditRedo"))->isEnabled());
    // The Row and Column menus are for stop rows and ticket columns (a heading's column too); the
    // context menu's entries work beside a disabled menu.
    const struct {
        int row, col;
        bool rowMenu, columnMenu;
    } cells[] = {
        {1, 1, false, false}, {2, 1, true, false}, {1, 2, false, true}, {0, 7, false, true}};
    for (const auto& cell : cells) {
        w.table().setCurrentCell(cell.row, cell.col);
        QCOMPARE(w.menu(QStringLiteral("MnuRow"))->menuAction()->isEnabled(), cell.rowMenu);
        QCOMPARE(w.menu(QStringLiteral("MnuRetsu"))->menuAction()->isEnabled(), cell.columnMenu);
        QVERIFY(w.action("MnuEditLineInsHide")->isEnabled() &&
                w.action("MnuClumInsHide")->isEnabled());
    }
    // The row paste waits for the first row copy; its context entry does not.
    QAction* rowPaste = w.action(QStringLiteral("MnuEditLinePaste"));
    QVERIFY(!rowPaste->isEnabled());
    QVERIFY(w.action(QStringLiteral("MnuEditLinePasteHide"))->isEnabled());
    w.table().setCurrentCell(3, 4);
    w.action(QStringLiteral("MnuEditLineCopy"))->trigger();
    QVERIFY(rowPaste->isEnabled());
    // The merge button runs nothing, nor do indexes without a button.
    fillTagged(w.table());
    const QStringList before = effects(w);
    QVERIFY(!w.form.findChild<QToolButton*>(QStringLiteral("Command1_3"))->isEnabled());
    for (const int index : {3, 24, -1})
        w.form.Command1_Click(index);
    QCOMPARE(effects(w), before);
    // Clearing the whole table redraws the grid once.
    QSignalSpy changes(w.grid()->fareModel(), &QAbstractItemModel::dataChanged);
    w.form.Data_Cls();
    QCOMPARE(changes.size(), 1);
    QVERIFY(w.grid()->updatesEnabled());
    QCOMPARE(w.grid()->currentIndex(), w.grid()->fareModel()->indexOfCell(301, 152));
}

void TestForm1::commandTable_data()
{
    QTest::addColumn<int>("index");
    const CommandTable& table = windowCommands();
    for (int i = 0; i < table.commandCount; ++i)
        if (table.commands[i].caption)
            QTest::newRow(table.commands[i].name) << i;
}

void TestForm1::commandTable()
{
    QFETCH(int, index);
    const Command& command = windowCommands().commands[index];
    const QString name = QString::fromLatin1(command.name);
    const auto setUp = [&](Window& w) {
        prepare(w);
        if (name == QLatin1String("MnuFileOpen") || name == QLatin1String("MnuToolCompare"))
            w.platform.fileAnswers << m_routeFile;
        else if (name == QLatin1String("MnuFileTxtInport"))
            w.platform.fileAnswers << m_blankRouteText;
    };
    // The slot named like the entry, run directly, is what every way of choosing it must do.
    Window reference;
    setUp(reference);
    const QStringList before = effects(reference);
    runHandler(reference, name);
    const QStringList expected = effects(reference);
    QVERIFY2(expected != before, "the command did nothing");

    QAction* action = reference.action(name);
    QVERIFY(action);
    QCOMPARE(action->text(), QString::fromUtf8(command.caption));
    QVERIFY(reference.menu(QString::fromLatin1(command.menu))->actions().contains(action));
    QCOMPARE(QKeySequence::listToString(action->shortcuts(), QKeySequence::PortableText),
             QString::fromLatin1(command.shortcut));
    QStringList ways{QStringLiteral("menu")};
    for (const QKeySequence& keys : action->shortcuts())
        ways << keys.toString(QKeySequence::PortableText);
    if (command.button >= 0)
        ways << QStringLiteral("button");
    if (command.contextSlot > 0)
        ways << QStringLiteral("context");

    for (const QString& way : std::as_const(ways)) {
        Window w;
        setUp(w);
        const QStringList start = w.state();
        const int steps = w.form.history().undoCount();
        if (way == QLatin1String("button")) {
            auto* button =
                w.form.findChild<QToolButton*>(QStringLiteral("Command1_%1").arg(command.button));
            QVERIFY(button->isEnabled() && !button->icon().isNull());
            QCOMPARE(button->accessibleName(), button->toolTip());
            QTest::mouseClick(button, Qt::LeftButton);
        } else if (way == QLatin1String("context")) {
            // A right click on another cell opens the menu and leaves the current cell; the Menu
            // key and Shift+F10 open it at the current cell.
            QAction* entry = w.action(name + QStringLiteral("Hide"));
            QCOMPARE(entry->text(), QString::fromUtf8(command.contextCaption));
            QMenu* context = w.menu(QStringLiteral("MnuHideMnu"));
            if (index % 3 == 0)
                QTest::mouseClick(w.grid()->viewport(), Qt::RightButton, {}, w.cellCentre(9, 9));
            else
                w.press(w.grid(), index % 3 == 1 ? Qt::Key_Menu : Qt::Key_F10, Qt::ShiftModifier);
            QTRY_VERIFY(context->isVisible());
            const QRect cell = w.grid()->visualRect(w.grid()->currentIndex());
            QVERIFY(index % 3 == 0 ||
                    context->geometry()
                        .adjusted(-2, -2, 2, 2)
                        .intersects(cell.translated(w.grid()->viewport()->mapToGlobal(QPoint()))));
            QTest::mouseClick(context, Qt::LeftButton, {}, context->actionGeometry(entry).center());
            QTRY_VERIFY(!context->isVisible());
        } else if (way == QLatin1String("menu")) {
            QVERIFY(w.action(name)->isEnabled());
            w.action(name)->trigger();
        } else {
            QTest::keySequence(w.grid(), QKeySequence(way));
        }
        QCOMPARE(effects(w), expected);

        // A change of cells is one step of the history: undone and redone whole, current cell
        // included.
        if (way != QLatin1String("menu") || name.startsWith(QLatin1String("MnuEditUndo")) ||
            name.startsWith(QLatin1String("MnuEditRedo")))
            continue;
        const QStringList after = w.state();
        const bool changed = after.mid(0, after.size() - 1) != start.mid(0, start.size() - 1);
        QCOMPARE(w.form.history().undoCount(), steps + (changed ? 1 : 0));
        if (!changed)
            continue;
        // The Edit menu names the step, and no two commands' steps alike.
        static QHash<QString, QString> named;
        QCOMPARE(named.value(stepName(command), name), name);
        named.insert(stepName(command), name);
        QCOMPARE(w.action("MnuEditUndo")->text(),
                 QStringLiteral("元に戻す(&U) ") + stepName(command));
        w.press(w.grid(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w.state(), start);
        QCOMPARE(w.action("MnuEditRedo")->text(),
                 QStringLiteral("やり直し(&R) ") + stepName(command));
        w.press(w.grid(), Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(w.state(), after);
    }
}

void TestForm1::editorKeys_data()
{
    // The start cell holds 120 (a name of 40000 characters when Return opens the editor); the
    // editor is opened (typed on the grid, or by a double click when opener is empty) and 5 is
    // typed after what it opened with.
    QTest::addColumn<QString>("opener");
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<QPoint>("start"); // cells as QPoint(column, row)
    QTest::addColumn<QPoint>("end");
    QTest::addColumn<QString>("text"); // the start cell's text afterwards, 120 standing for it
    QTest::addColumn<bool>("open");    // the key moved the caret in the still open editor
    const struct {
        const char* name;
        const char* opener;
        Qt::Key key;
        QPoint start, end;
        const char* text;
        bool open;
    } rows[] = {
        {"Japanese replaces", "東", Qt::Key_Return, {5, 4}, {5, 4}, "東5", false},
        {"input method replaces", "IM 東", Qt::Key_Return, {1, 5}, {1, 5}, "東5", false},
        {"input method, a commit alone", "IM 西", Qt::Key_Return, {1, 5}, {1, 5}, "西5", false},
        {"blank keeps", " ", Qt::Key_Return, {5, 4}, {5, 4}, "1205", false},
        {"Backspace keeps", "\b", Qt::Key_Return, {5, 4}, {5, 4}, "1205", false},
        {"double click keeps", "", Qt::Key_Return, {5, 4}, {5, 4}, "1205", false},
        {"Return keeps a long name whole", "\r", Qt::Key_Return, {1, 3}, {1, 3}, "1205", false},
        {"Esc discards (last cell)", "7", Qt::Key_Escape, {152, 301}, {152, 301}, "120", false},
        {"Enter commits (last cell)", "7", Qt::Key_Return, {152, 301}, {152, 301}, "75", false},
        {"name column, Right moves the caret", "7", Qt::Key_Right, {1, 5}, {1, 5}, "120", true},
        {"name column, Down", "7", Qt::Key_Down, {1, 5}, {1, 6}, "75", false},
        {"ticket column, Left", "7", Qt::Key_Left, {2, 5}, {1, 5}, "75", false},
        {"last column, Right stays", "7", Qt::Key_Right, {152, 5}, {152, 5}, "75", false},
        {"route row, Up stays", "7", Qt::Key_Up, {3, 1}, {3, 1}, "75", false},
        {"first stop, Up reaches the route row", "7", Qt::Key_Up, {3, 2}, {3, 1}, "75", false},
        {"Tab commits and moves on as on the grid", "7", Qt::Key_Tab, {5, 4}, {6, 4}, "75", false},
        {"a click on another cell commits", "7", Qt::Key_unknown, {4, 3}, {6, 5}, "75", false},
    };
    for (const auto& r : rows)
        QTest::newRow(r.name) << QString::fromUtf8(r.opener) << r.key << r.start << r.end
                              << QString::fromUtf8(r.text) << r.open;
}

void TestForm1::editorKeys()
{
    QFETCH(QString, opener);
    QFETCH(Qt::Key, key);
    QFETCH(QPoint, start);
    QFETCH(QPoint, end);
    QFETCH(QString, text);
    QFETCH(bool, open);
    const QString stored =
        opener == QLatin1String("\r") ? QString(40000, u'a') : QStringLiteral("120");
    text.replace(QLatin1String("120"), stored);
    Window w;
    w.table().SetCell(start.y(), start.x(), stored);
    w.table().setCurrentCell(start.y(), start.x());
    // The input method serves the name column only.
    QCOMPARE(w.grid()->testAttribute(Qt::WA_InputMethodEnabled), start.x() == 1);
    QInputMethodEvent composing(QStringLiteral("ひがし"), {});
    QInputMethodEvent committed;
    committed.setCommitString(opener.mid(3));
    if (opener.isEmpty()) {
        QTest::mouseDClick(w.grid()->viewport(), Qt::LeftButton, {},
                           w.cellCentre(start.y(), start.x()));
    } else if (opener == QLatin1String("IM 東")) { // composed on the grid, committed in the editor
        QCoreApplication::sendEvent(w.grid(), &composing);
        QCOMPARE(w.editor()->text(), QString());
        QCoreApplication::sendEvent(w.editor(), &committed);
    } else if (opener.startsWith(QLatin1String("IM "))) { // a commit alone reaches the grid
        QCoreApplication::sendEvent(w.grid(), &committed);
    } else {
        w.type(w.grid(), opener,
               opener == QLatin1String("7")    ? Qt::Key_7
               : opener == QLatin1String(" ")  ? Qt::Key_Space
               : opener == QLatin1String("\b") ? Qt::Key_Backspace
               : opener == QLatin1String("\r") ? Qt::Key_Return
                                               : Qt::Key_unknown);
    }
    QVERIFY(w.editor()->isOpen());
    QCOMPARE(w.editor()->testAttribute(Qt::WA_InputMethodEnabled), start.x() == 1);
    QCOMPARE(w.editor()->geometry(), w.grid()->visualRect(w.grid()->currentIndex()));
    QTRY_VERIFY(w.editor()->hasFocus());
    w.type(w.editor(), QStringLiteral("5"), Qt::Key_5);
    QCOMPARE(w.editor()->cursorPosition(), w.editor()->text().size());
    QCOMPARE(w.table().text(start.y(), start.x()), stored); // nothing written yet
    QSignalSpy moves(&w.table(), &FareTable::currentCellChanged);

    if (key == Qt::Key_unknown)
        QTest::mouseClick(w.grid()->viewport(), Qt::LeftButton, {}, w.cellCentre(end.y(), end.x()));
    else
        w.press(w.editor(), key);
    const QString endCell = QStringLiteral("%1,%2").arg(end.y()).arg(end.x());
    QCOMPARE(moves.size(), start == end ? 0 : 1);
    QCOMPARE(w.current(), endCell);
    QCOMPARE(w.grid()->currentIndex(), w.grid()->fareModel()->indexOfCell(end.y(), end.x()));
    QCOMPARE(w.table().text(start.y(), start.x()), text);
    QCOMPARE(w.editor()->isOpen(), open);
    if (open) {
        QCOMPARE(w.editor()->cursorPosition(), key == Qt::Key_Left ? 1 : 2);
        return;
    }
    QVERIFY(w.grid()->hasFocus());
    // The grid's later focus neither brings a discarded text back nor moves the current cell.
    w.editor()->setFocus();
    w.grid()->setFocus();
    QCOMPARE(w.table().text(start.y(), start.x()), text);
    QCOMPARE(w.current(), endCell);
}

void TestForm1::chordsTypeNothing()
{
    // A printable key with Ctrl or Alt that is no command (nor a menu's access key) changes no
    // cell and opens no editor; an Alt chord types nothing into an open editor. What AltGr or the
    // keypad types is no chord.
    Window w;
    fillTagged(w.table());
    w.table().SetCell(5, 4, QStringLiteral("430"));
    QList<QKeySequence> commands;
    for (const QAction* action : w.form.findChildren<QAction*>())
        commands << action->shortcuts();
    for (const QAction* menu : w.form.menuBar()->actions())
        commands << QKeySequence::mnemonic(menu->text());
    const QStringList before = w.state();
    for (const bool editing : {false, true}) {
        if (editing)
            w.press(w.grid(), Qt::Key_Return);
        for (const Qt::KeyboardModifier chord : {Qt::ControlModifier, Qt::AltModifier})
            for (char16_t c = u' '; c <= u'~'; ++c) {
                const auto key = Qt::Key(QChar(c).toUpper().unicode());
                if (!commands.contains(QKeySequence(chord | key)) &&
                    !(editing && chord == Qt::ControlModifier))
                    QTest::sendKeyEvent(QTest::Click, w.form.focusWidget(), key, QString(c), chord);
            }
        QCOMPARE(w.editor()->isOpen() ? w.editor()->text() : QString(),
                 editing ? QStringLiteral("430") : QString());
        QCOMPARE(w.state(), before);
    }
    w.press(w.editor(), Qt::Key_Escape);
    for (const Qt::KeyboardModifiers typing :
         {Qt::KeyboardModifiers(Qt::GroupSwitchModifier), Qt::ControlModifier | Qt::AltModifier,
          Qt::KeyboardModifiers(Qt::KeypadModifier)}) {
        QTest::sendKeyEvent(QTest::Click, w.grid(), Qt::Key_At, QStringLiteral("@"), typing);
        QCOMPARE(w.editor()->text(), QStringLiteral("@"));
        w.press(w.editor(), Qt::Key_Escape);
    }
    QCOMPARE(w.state(), before);
}

void TestForm1::headingCellCurrent_data()
{
    QTest::addColumn<QString>("command"); // run on (5, 10); its last access is a heading cell
    QTest::addColumn<QPoint>("heading");  // QPoint(column, row)
    QTest::addColumn<bool>("prompt");     // the focus goes to a prompt, else to another window
    QTest::newRow("column delete, another window")
        << "MnuClumDeleteLeft" << QPoint{152, 0} << false;
    QTest::newRow("row delete, a prompt") << "MnuEditLineDelete" << QPoint{0, 301} << true;
}

void TestForm1::headingCellCurrent()
{
    QFETCH(QString, command);
    QFETCH(QPoint, heading);
    QFETCH(bool, prompt);
    const QString at = QStringLiteral("%1,%2").arg(heading.y()).arg(heading.x());
    Window w;
    w.platform.answers << Platform::Answer::Yes; // the deletions' question
    w.table().setCurrentCell(5, 10);
    w.action(command)->trigger();
    QCOMPARE(w.current(), at);
    // Shown as a tinted heading, never edited.
    QVERIFY(!w.grid()->currentIndex().isValid());
    const Qt::Orientation side = heading.y() == 0 ? Qt::Horizontal : Qt::Vertical;
    const int section = heading.y() == 0 ? heading.x() - 1 : heading.y() - 1;
    QVERIFY(w.grid()->fareModel()->headerData(section, side, Qt::BackgroundRole).isValid());
    w.type(w.grid(), QStringLiteral("9"), Qt::Key_9);
    QVERIFY(!w.editor()->isOpen());
    const QStringList before = w.state();
    w.press(w.grid(), Qt::Key_Delete);
    QCOMPARE(w.state(), before);

    // The grid's focus coming back leaves it there.
    QWidget other;
    QMessageBox question(QMessageBox::Question, {}, {}, QMessageBox::Ok, &w.form);
    QWidget* away = prompt ? static_cast<QWidget*>(&question) : &other;
    prompt ? question.open() : other.show();
    away->activateWindow();
    QTRY_VERIFY(away->isActiveWindow() && !w.grid()->hasFocus());
    away->close();
    w.form.activateWindow();
    QTRY_VERIFY(w.grid()->hasFocus());
    QCOMPARE(w.current(), at);
    // Navigation starts from the nearest ordinary cell.
    w.press(w.grid(), Qt::Key_Down);
    QCOMPARE(w.current(),
             QStringLiteral("%1,%2").arg(qMax(heading.y(), 1)).arg(qMax(heading.x(), 1)));
    QVERIFY(!w.grid()->fareModel()->headerData(section, side, Qt::BackgroundRole).isValid());
}

void TestForm1::stepsOutsideTheMenus_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("undone"); // what undo names, step after step
    QTest::newRow("Delete key on a block") << "delete block"
                                           << "元に戻す(&U) 削除";
    QTest::newRow("Delete key on one cell") << "delete cell"
                                            << "元に戻す(&U) 削除";
    QTest::newRow("swap with the editor open: the edit first")
        << "edit, swap"
        << "元に戻す(&U) セルの内容を右のセルと入替|元に戻す(&U) 入力";
}

void TestForm1::stepsOutsideTheMenus()
{
    QFETCH(QString, action);
    QFETCH(QString, undone);
    const int steps = action == QLatin1String("edit, swap") ? 2 : 1;
    Window w;
    fillTagged(w.table());
    w.table().setCurrentCell(6, 7);
    const QStringList before = w.state();
    if (action == QLatin1String("edit, swap")) {
        w.type(w.grid(), QStringLiteral("7"), Qt::Key_7);
        w.action(QStringLiteral("MnuCellRight"))->trigger();
    } else {
        if (action == QLatin1String("delete block")) {
            w.press(w.grid(), Qt::Key_Down, Qt::ShiftModifier);
            w.press(w.grid(), Qt::Key_Right, Qt::ShiftModifier);
        }
        w.press(w.grid(), Qt::Key_Delete);
    }
    const QStringList after = w.state();
    QVERIFY(after != before);
    QCOMPARE(w.form.history().undoCount(), steps);
    QStringList names{w.action("MnuEditUndo")->text()};
    w.press(w.grid(), Qt::Key_Z, Qt::ControlModifier);
    // An edit committed by a command is undone after it: the swap read the stored text.
    if (steps == 2) {
        QCOMPARE(w.table().text(6, 7) + w.table().text(6, 8) + w.current(),
                 QStringLiteral("7") + TestTables::cellTag(6, 8) + QStringLiteral("6,7"));
        names << w.action("MnuEditUndo")->text();
        w.press(w.grid(), Qt::Key_Z, Qt::ControlModifier);
    }
    QCOMPARE(w.state(), before);
    QCOMPARE(names.join(u'|'), undone);
    QCOMPARE(w.action("MnuEditUndo")->text(), QStringLiteral("元に戻す(&U)"));
    for (int i = 0; i < steps; ++i)
        w.press(w.grid(), Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(w.state(), after);
}

void TestForm1::sessionEnd_data()
{
    QTest::addColumn<bool>("interaction"); // whether the session manager lets the program ask
    QTest::addColumn<Platform::Answer>("answer");
    QTest::addColumn<QString>("after"); // what the user does before the window is closed
    QTest::addColumn<bool>("mayEnd");
    QTest::addColumn<bool>("closeAsks"); // whether closing the window then asks again
    using A = Platform::Answer;
    QTest::newRow("no") << true << A::No << "" << true << false;
    QTest::newRow("cancel") << true << A::Cancel << "" << false << true;
    QTest::newRow("no interaction") << false << A::No << "" << true << true;
    QTest::newRow("no, then a cell changes") << true << A::No << "change" << true << true;
    QTest::newRow("no, then an edit opens") << true << A::No << "edit" << true << true;
}

void TestForm1::sessionEnd()
{
    QFETCH(bool, interaction);
    QFETCH(Platform::Answer, answer);
    QFETCH(QString, after);
    QFETCH(bool, mayEnd);
    QFETCH(bool, closeAsks);
    Window w;
    w.type(w.grid(), QStringLiteral("終了前"));
    w.platform.answers = {answer};
    QCOMPARE(w.form.sessionEnding(interaction), mayEnd);
    QCOMPARE(w.platform.messages.size(), interaction ? 1 : 0);
    if (after == QLatin1String("change"))
        w.table().SetCell(5, 5, QStringLiteral("230"));
    else if (after == QLatin1String("edit"))
        w.type(w.grid(), QStringLiteral("7"), Qt::Key_7);
    // The end of the session closes the window; No lets it close if it asks.
    const qsizetype asked = w.platform.messages.size();
    w.platform.answers = {Platform::Answer::No};
    QVERIFY(w.form.close());
    QCOMPARE(w.platform.messages.size(), asked + (closeAsks ? 1 : 0));
}

void TestForm1::openEditCommittedBeforeAsking_data()
{
    // An edit is open in (1, 1). A file command's question is answered No and its dialog
    // cancelled; a drop's question is answered Yes.
    QTest::addColumn<QString>("command"); // empty: files are dropped
    QTest::addColumn<bool>("onEditor");   // dropped on the still open in-cell editor
    QTest::addColumn<Qt::DropActions>("possible");
    QTest::addColumn<QStringList>("files"); // ROUTE and OTHER stand for the saved files
    QTest::addColumn<QString>("routeName"); // after a drop; empty: the drop is refused
    const Qt::DropActions copyOrMove = Qt::CopyAction | Qt::MoveAction;
    for (const char* command : {"MnuFileNew", "MnuFileOpen", "MnuFileTxtInport", "MnuFileSaveAs",
                                "MnuFileSaveTxt", "MnuFilePdf"})
        QTest::newRow(command) << command << true << copyOrMove << QStringList() << "";
    const QStringList route{QStringLiteral("ROUTE")};
    QTest::newRow("two files, the first is opened, a move proposed taken as a copy")
        << "" << false << copyOrMove
        << QStringList{QStringLiteral("OTHER"), QStringLiteral("ROUTE")} << "南北線";
    QTest::newRow("move only") << "" << false << Qt::DropActions(Qt::MoveAction) << route << "";
    QTest::newRow("no local file")
        << "" << false << copyOrMove << QStringList{QStringLiteral("https://example.com/route.Hy3")}
        << "";
    QTest::newRow("on the editor: the grid takes it")
        << "" << true << copyOrMove << route << "東西線";
}

void TestForm1::openEditCommittedBeforeAsking()
{
    QFETCH(QString, command);
    QFETCH(bool, onEditor);
    QFETCH(Qt::DropActions, possible);
    QFETCH(QStringList, files);
    QFETCH(QString, routeName);
    files.replaceInStrings(QStringLiteral("ROUTE"), m_routeFile);
    files.replaceInStrings(QStringLiteral("OTHER"), m_otherFile);
    Window w;
    w.type(w.grid(), QStringLiteral("X"), Qt::Key_X);
    if (!onEditor)
        w.press(w.editor(), Qt::Key_Return);
    w.platform.answers << (command.isEmpty() ? Platform::Answer::Yes : Platform::Answer::No);
    QStringList whenAsked; // the question comes after the open edit is committed
    w.platform.beforeAsking = [&w, &whenAsked] {
        whenAsked << QString::number(w.editor()->isOpen()) << w.table().text(1, 1);
    };
    if (command.isEmpty()) {
        const QStringList seen = w.drop(
            onEditor ? static_cast<QWidget*>(w.editor()) : w.grid()->viewport(), files, possible);
        const QString copy = routeName.isEmpty() ? QString() : QString::number(Qt::CopyAction);
        QCOMPARE(seen, QStringList({copy, copy, copy}));
    } else {
        w.action(command)->trigger();
    }
    QCOMPARE(whenAsked, routeName.isEmpty() && command.isEmpty()
                            ? QStringList()
                            : QStringList({QStringLiteral("0"), QStringLiteral("X")}));
    QCOMPARE(w.table().text(1, 1), routeName.isEmpty() ? QStringLiteral("X") : routeName);
    QCOMPARE(w.current(), routeName.isEmpty() ? QStringLiteral("1,1") : QStringLiteral("5,152"));
    QCOMPARE(w.form.history().undoCount(), routeName.isEmpty() ? 1 : 2); // the edit, the drop
    QCOMPARE(w.action("MnuEditUndo")->text(), routeName.isEmpty()
                                                  ? QStringLiteral("元に戻す(&U) 入力")
                                                  : QStringLiteral("元に戻す(&U) ドロップ"));
}

void TestForm1::selectionAndClipboard()
{
    // A selection reaches from the current cell.
    Window w;
    w.table().setCurrentCell(5, 5);
    const auto selected = [&w] {
        const CellRange r = w.grid()->selectedRange();
        return QString::asprintf("%d,%d-%d,%d at ", r.top, r.left, r.bottom, r.right) + w.current();
    };
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
    // Inside the in-cell editor the keys act on its own text, and so does the Edit menu, also
    // when choosing from it left the focus elsewhere: the typed 9 goes, the cell's text comes back.
    QGuiApplication::clipboard()->setText(QStringLiteral("東"));
    {
        TableStep step(w.table(), QStringLiteral("入力"));
        w.table().SetCell(7, 5, QStringLiteral("430"));
    }
    w.type(w.grid(), QStringLiteral("9"), Qt::Key_9);
    w.press(w.editor(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(w.editor()->text(), QStringLiteral("9東"));
    w.press(w.editor(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(w.editor()->text(), QStringLiteral("9"));
    w.form.menuBar()->setFocus();
    QStringList undone;
    for (const char* step : {"MnuEditUndo", "MnuEditRedo", "MnuEditUndo"}) {
        w.action(step)->trigger();
        undone << w.editor()->text() + u'|' + w.table().text(7, 5);
    }
    QCOMPARE(undone.join(u' '), QStringLiteral("430|430 9|430 430|430"));
    QVERIFY(w.editor()->isOpen());
    QCOMPARE(selected(), QStringLiteral("7,5-7,5 at 7,5"));
    // The open editor's undo is no step of the table's: it names none.
    QCOMPARE(w.action("MnuEditUndo")->text(), QStringLiteral("元に戻す(&U)"));
    w.press(w.editor(), Qt::Key_Escape);
    QCOMPARE(w.action("MnuEditUndo")->text(), QStringLiteral("元に戻す(&U) 入力"));

    const QStringList cells =
        QString::fromUtf8("東西\"線\"|a\tb|c\nd||市民病院前|x\r\ny").split(u'|');
    {
        HiddenTable hidden(w.table());
        w.table().writeBlock(2, 1, 3, 3, cells);
        w.table().setCurrentCell(2, 1);
    }
    QTest::mouseClick(w.grid()->viewport(), Qt::LeftButton, Qt::ShiftModifier, w.cellCentre(3, 3));
    w.press(w.grid(), Qt::Key_C, Qt::ControlModifier);
    // What a spreadsheet copies from the same cells, and what it reads.
    const QString sheet =
        QString::fromUtf8("\"東西\"\"線\"\"\"\t\"a\tb\"\t\"c\nd\"\r\n\t市民病院前\t\"x\r\ny\"\r\n");
    QCOMPARE(QGuiApplication::clipboard()->text(), sheet);
    QVERIFY(
        QGuiApplication::clipboard()->mimeData()->html().contains(QStringLiteral("市民病院前")));
    QCOMPARE(w.current(), QStringLiteral("2,1"));

    // Back from a spreadsheet.
    w.table().setCurrentCell(10, 1);
    w.press(w.grid(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(w.current(), QStringLiteral("10,1"));
    QVERIFY(!w.editor()->isOpen());
    QCOMPARE(QStringList(w.table().readBlock(10, 1, 11, 3)), cells);
    // Past the last row and column, and onto the heading row: what falls there is left out, and
    // the user is told how much.
    const struct {
        int row, col, leftOut;
        const char* written; // the texts of (row + 1, col) and (row + 1, col + 1) afterwards
    } edges[] = {{300, 151, 2, "|市民病院前"}, {0, 5, 3, "|市民病院前"}};
    for (const auto& edge : edges) {
        w.table().setCurrentCell(edge.row, edge.col);
        w.press(w.grid(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(w.table().text(edge.row + 1, edge.col) + QLatin1Char('|') +
                     w.table().text(edge.row + 1, edge.col + 1),
                 QString::fromUtf8(edge.written));
        QCOMPARE(w.current(), QStringLiteral("%1,%2").arg(edge.row).arg(edge.col));
        QCOMPARE(w.form.statusBar()->currentMessage(),
                 QStringLiteral("表の外や見出しに当たる %1 セルは貼り付けませんでした")
                     .arg(edge.leftOut));
    }
    QCOMPARE(w.table().text(0, 5), QStringLiteral("3"));
    // One text pasted onto a selected block fills it.
    QGuiApplication::clipboard()->setText(QStringLiteral("東\r\n"));
    w.table().setCurrentCell(40, 3);
    w.press(w.grid(), Qt::Key_Down, Qt::ShiftModifier);
    w.press(w.grid(), Qt::Key_Right, Qt::ShiftModifier);
    w.press(w.grid(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(w.current(), QStringLiteral("40,3"));
    QCOMPARE(w.form.statusBar()->currentMessage(), QString()); // not the last paste's message
    QCOMPARE(QStringList(w.table().readBlock(40, 3, 41, 5)).join(u'|'),
             QStringLiteral("東|東||東|東|"));
}

void TestForm1::findBarFindsAndReplaces()
{
    Window w;
    w.table().SetCell(3, 1, QStringLiteral("市民病院"));
    w.table().SetCell(5, 1, QStringLiteral("市民病院"));
    w.table().SetCell(5, 4, QStringLiteral("市民病院"));
    w.table().setCurrentCell(4, 1);
    w.press(w.grid(), Qt::Key_F, Qt::ControlModifier);
    FindBar* bar = w.form.findBar();
    auto* findText = bar->findChild<QLineEdit*>(QStringLiteral("FindText"));
    QTRY_VERIFY(findText->hasFocus());
    findText->setText(QStringLiteral("市民病院"));
    bar->findChild<QComboBox*>(QStringLiteral("FindScope"))->setCurrentIndex(1); // names
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        const char* cell;
        bool wrapped;
    } presses[] = {{Qt::Key_Return, {}, "5,1", false},
                   {Qt::Key_F3, {}, "3,1", true},
                   {Qt::Key_F3, Qt::ShiftModifier, "5,1", true}};
    for (const auto& press : presses) {
        w.press(findText, press.key, press.modifiers);
        QCOMPARE(w.current(), QString::fromLatin1(press.cell));
        QCOMPARE(!w.form.statusBar()->currentMessage().isEmpty(), press.wrapped);
    }
    QCOMPARE(w.form.statusBar()->currentMessage(), QStringLiteral("表の末尾に戻って検索しました"));

    // Replace all: one step, the count in the status bar, the current cell stays.
    w.press(w.grid(), Qt::Key_H, Qt::ControlModifier);
    bar->findChild<QLineEdit*>(QStringLiteral("ReplaceText"))
        ->setText(QStringLiteral("市民病院前"));
    bar->findChild<QCheckBox*>(QStringLiteral("FindWholeCell"))->setChecked(true);
    // By their access keys: すべて置換 Alt+A, 置換 Alt+I (a key taken twice would run neither).
    w.press(findText, Qt::Key_A, Qt::AltModifier);
    QTRY_COMPARE(w.form.statusBar()->currentMessage(), QStringLiteral("2 セルを置換しました"));
    QCOMPARE(w.table().text(3, 1) + w.table().text(5, 1) + w.table().text(5, 4),
             QStringLiteral("市民病院前市民病院前市民病院"));
    QCOMPARE(w.current(), QStringLiteral("5,1"));
    QCOMPARE(w.form.history().undoCount(), 1);
    QCOMPARE(w.action("MnuEditUndo")->text(), QStringLiteral("元に戻す(&U) すべて置換"));
    // Replace: the current cell, when it matches, then on to the next match.
    w.press(w.grid(), Qt::Key_Z, Qt::ControlModifier);
    w.press(w.grid(), Qt::Key_I, Qt::AltModifier);
    QTRY_COMPARE(w.table().text(3, 1) + w.table().text(5, 1), QStringLiteral("市民病院市民病院前"));
    QCOMPARE(w.current(), QStringLiteral("3,1"));
    QCOMPARE(w.form.history().undoCount(), 1);
    QCOMPARE(w.action("MnuEditUndo")->text(), QStringLiteral("元に戻す(&U) 置換"));
    // An edit left open is committed before replacing; the focus stays in the bar.
    w.table().setCurrentCell(8, 1);
    w.press(w.grid(), Qt::Key_X);
    findText->setFocus();
    QTRY_VERIFY(findText->hasFocus());
    QVERIFY(w.editor()->isVisible());
    w.press(findText, Qt::Key_A, Qt::AltModifier);
    QTRY_COMPARE(w.table().text(8, 1), QStringLiteral("x"));
    QVERIFY(findText->hasFocus());
    QCOMPARE(w.current(), QStringLiteral("8,1"));
    // Esc closes the bar and gives the grid the focus.
    w.press(findText, Qt::Key_Escape);
    QVERIFY(!bar->isVisible());
    QTRY_VERIFY(w.grid()->hasFocus());
    QCOMPARE(w.current(), QStringLiteral("8,1"));
}

void TestForm1::printAndCheckCommands()
{
    Window w;
    const QSize startSize = w.form.size();
    w.platform.fileAnswers << m_routeFile; // 5 stops, fares rising along every row
    w.action("MnuFileOpen")->trigger();
    w.table().setCurrentCell(4, 9);

    // The check lists its warnings, tints their cells and leaves the current cell alone.
    w.action("MnuToolCheck")->trigger();
    CheckPanel* panel = w.form.checkPanel();
    QVERIFY(panel && panel->isVisible());
    QStringList switches, fareRules; // one per fare rule, named and titled as the check names it
    for (const QCheckBox* box : panel->findChildren<QCheckBox*>())
        switches << box->objectName() + u' ' + box->text();
    for (const FareCheck::RuleInfo& rule : FareCheck::Rules)
        if (rule.kind == FareCheck::RuleKind::Fare)
            fareRules << QStringLiteral("CheckRule_") + QLatin1String(rule.id) + u' ' +
                             QString::fromUtf8(rule.title);
    QCOMPARE(switches, fareRules);
    const int all = panel->list()->topLevelItemCount();
    QVERIFY(all > 0);
    QCOMPARE(QPoint(w.table().CurCol(), w.table().CurRow()), QPoint(9, 4));
    QTreeWidgetItem* last = panel->list()->topLevelItem(all - 1);
    const QPoint cell = last->data(0, Qt::UserRole).toPoint();
    QVERIFY(w.grid()->fareModel()->isMarked(cell.y(), cell.x()));
    // The tint reads under a dark palette's white text too.
    const QModelIndex marked = w.grid()->fareModel()->indexOfCell(cell.y(), cell.x());
    const QVariant ink = marked.data(Qt::ForegroundRole);
    QVERIFY(qAbs(qGray((ink.isValid() ? ink.value<QBrush>().color() : QColor(Qt::white)).rgb()) -
                 qGray(marked.data(Qt::BackgroundRole).value<QBrush>().color().rgb())) > 128);
    // With the find bar open too, ten rows of the grid and five warnings stay in sight: the
    // window grows, not wider.
    const auto rows = [](QAbstractItemView* view) { // the rows that the window shows
        QRect shown = view->viewport()->rect();
        for (QWidget* inner = view->viewport(); !inner->isWindow(); inner = inner->parentWidget())
            shown = shown.translated(inner->pos()) & inner->parentWidget()->rect();
        return shown.height() / view->sizeHintForRow(0);
    };
    const auto grewFrom = [&](int height) {
        return w.form.height() > height && rows(w.grid()) >= 10 && rows(panel->list()) >= 5;
    };
    QTRY_VERIFY(grewFrom(startSize.height())); // for the panel, then for the bar too
    const int withPanel = w.form.height();
    w.press(w.grid(), Qt::Key_H, Qt::ControlModifier);
    QTRY_VERIFY(grewFrom(withPanel));
    QCOMPARE(w.form.width(), startSize.width());
    // F6 and Shift+F6 go round the grid's pane (the open editor), the find bar and the panel; the
    // warnings work by keyboard. Activating one commits the edit and shows its cell.
    w.type(w.grid(), QStringLiteral("7"), Qt::Key_7);
    QWidget* findText = w.form.findBar()->findChild<QLineEdit*>(QStringLiteral("FindText"));
    QStringList round;
    for (const Qt::KeyboardModifiers direction :
         {Qt::NoModifier, Qt::NoModifier, Qt::NoModifier, Qt::ShiftModifier, Qt::ShiftModifier}) {
        w.press(QApplication::focusWidget(), Qt::Key_F6, direction);
        round << QString::number(QList<QWidget*>{w.editor(), findText, panel->list()}.indexOf(
            QApplication::focusWidget()));
    }
    QCOMPARE(round.join(u' '), QStringLiteral("1 2 0 2 1"));
    for (const Qt::KeyboardModifiers toList : {Qt::NoModifier, Qt::ShiftModifier}) {
        w.press(QApplication::focusWidget(), Qt::Key_F6, toList); // the second time, from the grid
        w.grid()->verticalScrollBar()->setValue(w.grid()->verticalScrollBar()->maximum());
        w.press(panel->list(), Qt::Key_End);
        w.press(panel->list(), Qt::Key_Return);
        QCOMPARE(QPoint(w.table().CurCol(), w.table().CurRow()), cell);
        QVERIFY(w.grid()->hasFocus() && w.grid()->viewport()->rect().contains(
                                            w.grid()->visualRect(w.grid()->currentIndex())));
    }
    QCOMPARE(w.table().text(4, 9), QStringLiteral("7"));
    QVERIFY(!w.grid()->fareModel()->isMarked(cell.y(), cell.x())); // the table changed
    QVERIFY(panel->findChild<QLabel*>(QStringLiteral("CheckSummary"))
                ->text()
                .contains(QStringLiteral("変更")));
    // Switching the rule behind the warnings off checks again without it.
    panel->findChild<QCheckBox*>(QStringLiteral("CheckRule_row-rises"))->setChecked(false);
    QVERIFY(panel->list()->topLevelItemCount() < all);
    // Closed, they give the window back its size.
    w.form.findBar()->closeBar();
    panel->close();
    QTRY_COMPARE(w.form.size(), startSize);

    // Printing and the preview draw the sheet through the print dialogs' seam.
    w.printing.printTo = m_dir.filePath(QStringLiteral("printed.pdf"));
    w.action("MnuFilePrint")->trigger();
    w.action("MnuFilePrintPreview")->trigger();
    QVERIFY(TestTables::readBytes(w.printing.printTo).startsWith("%PDF"));
    // The footer names the file the table came from.
    const QString sheet = pdfText(w.printing.printTo);
    QVERIFY(sheet.isNull() || sheet.contains(QStringLiteral("route.Hy3")));
    // The PDF is suggested beside the table's file, with its name.
    w.platform.fileAnswers << m_dir.filePath(QStringLiteral("saved.pdf"));
    w.action("MnuFilePdf")->trigger();
    QCOMPARE(w.platform.dialogs.last().initialPath, m_dir.filePath(QStringLiteral("route.pdf")));
    QVERIFY(TestTables::readBytes(m_dir.filePath(QStringLiteral("saved.pdf"))).startsWith("%PDF"));
    // F1 opens the manual this build made (the test runs as deep in the build as the editor).
    w.press(w.grid(), Qt::Key_F1);
    QCOMPARE(w.platform.urls,
             QList<QUrl>{QUrl::fromLocalFile(QStringLiteral(FAREWRIGHT_BUILD_MANUAL))});
    QCOMPARE(QPoint(w.table().CurCol(), w.table().CurRow()), cell);
    QCOMPARE(w.platform.messages.size(), 0);
}

void TestForm1::reviseFares_data()
{
    // Stops A, B, C with fares, a fare of 170 below the stored rows at (6, 3); the current cell
    // (3, 3), a block reaching from it, an edit left open in (2, 4) (which then is current). The
    // dialog chooses ×RATIO to the nearest 10 yen; no ratio cancels it.
    QTest::addColumn<QString>("block"); // Shift with these arrows
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("ratio");
    QTest::addColumn<QString>("fares"); // rows 2-4 by columns 3-5, then (6, 3)
    QTest::addColumn<QString>("asked"); // the block the dialog was about
    QTest::addColumn<QString>("steps"); // what undo names, step after step
    QTest::addColumn<QString>("message");
    const char* unchanged = "170,, 210,170, 250,210,170 | 170";
    const char* rows[][8] = {
        {"every stored stop", "", "", "11/10", "190,, 230,190, 280,230,190 | 170", "all",
         "運賃の一括変更", ""},
        {"a block", "Down Right", "", "11/10", "170,, 230,190, 280,230,170 | 170", "3,3-4,4",
         "運賃の一括変更", ""},
        {"an open edit is committed first", "", "300", "11/10",
         "190,330, 230,190, 280,230,190 | 170", "all", "運賃の一括変更|入力", ""},
        {"refused: nothing changes", "", "", "200", unchanged, "all", "",
         "停留所 1「A」の整理券 1 の運賃 170 は改定すると 34000 になり、"},
        {"cancelled", "Down", "", "", unchanged, "3,3-4,3", "", ""},
    };
    for (const auto& r : rows)
        QTest::newRow(r[0]) << r[1] << r[2] << r[3] << r[4] << r[5] << r[6] << r[7];
}

void TestForm1::reviseFares()
{
    QFETCH(QString, block);
    QFETCH(QString, typed);
    QFETCH(QString, ratio);
    QFETCH(QString, fares);
    QFETCH(QString, asked);
    QFETCH(QString, steps);
    QFETCH(QString, message);
    Window w;
    TestTables::fillRows(w.table(), "線 A,1,170 B,2,210,170 C,3,250,210,170  X,,170");
    const auto faresNow = [&w] {
        QStringList texts;
        for (int row = 2; row <= 4; ++row)
            texts << w.table().text(row, 3) + u',' + w.table().text(row, 4) + u',' +
                         w.table().text(row, 5);
        return texts.join(u' ') + QStringLiteral(" | ") + w.table().text(6, 3);
    };
    const QString start = faresNow();
    w.table().setCurrentCell(typed.isEmpty() ? 3 : 2, typed.isEmpty() ? 3 : 4);
    const QString current = w.current();
    for (const QString& key : block.split(u' ', Qt::SkipEmptyParts))
        w.press(w.grid(), key == QLatin1String("Down") ? Qt::Key_Down : Qt::Key_Right,
                Qt::ShiftModifier);
    if (!typed.isEmpty())
        w.type(w.grid(), typed);
    w.revising.rule.reset();
    if (!ratio.isEmpty()) {
        w.revising.rule.emplace();
        QCOMPARE(
            FareRevision::setParameter(*w.revising.rule, FareRevision::Parameter::Multiply, ratio),
            QString());
    }
    w.action("MnuToolRevise")->trigger();
    QCOMPARE(faresNow(), fares);
    QCOMPARE(w.current(), current);
    QCOMPARE(w.revising.asked.join(u' '), asked);
    QCOMPARE(w.platform.messageTexts().join(u' ').left(message.isEmpty() ? -1 : message.size()),
             message);
    QStringList undone;
    while (w.form.history().canUndo()) {
        undone << w.action("MnuEditUndo")->text().remove(QStringLiteral("元に戻す(&U) "));
        w.press(w.grid(), Qt::Key_Z, Qt::ControlModifier);
    }
    QCOMPARE(undone.join(u'|'), steps);
    QCOMPARE(faresNow(), start);
}

void TestForm1::compareWithOldTable()
{
    // The table in the window is the new one; the old one comes from a file.
    FareTable oldTable;
    Window w;
    TestTables::fillComparedPair(oldTable, w.table());
    const QString approved = m_dir.filePath(QStringLiteral("approved.Hy3"));
    QCOMPARE(SaveHy3(oldTable, w.platform, approved), Outcome::Done);
    w.table().setCurrentCell(2, 3);
    const QStringList before = w.state();
    const QSize startSize = w.form.size();
    w.platform.fileAnswers << approved;
    w.action("MnuToolCompare")->trigger();
    QCOMPARE(w.platform.dialogs.last().filters, readableFileFilters());
    QCOMPARE(w.state(), before); // neither the table nor the current cell moves
    QCOMPARE(w.form.history().undoCount(), 0);

    // The differences, counted, with their cells tinted.
    ComparePanel* panel = w.form.comparePanel();
    QVERIFY(panel && panel->isVisible());
    QStringList entries;
    for (int i = 0; i < panel->list()->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = panel->list()->topLevelItem(i);
        entries << QStringList{item->text(0), item->text(1), item->text(2)}.join(u'/');
    }
    QCOMPARE(entries.join(u'|'),
             QStringLiteral("2/1/運賃の変更|3//停留所の追加|"
                            "4/整理券番号/整理券番号の変更|（旧 4）//停留所の削除"));
    auto* summary = panel->findChild<QLabel*>(QStringLiteral("CompareSummary"));
    QCOMPARE(summary->text(),
             QStringLiteral("旧表「approved.Hy3」と比べました。違いは 4 件です（停留所の追加 1、"
                            "停留所の削除 1、整理券番号の変更 1、運賃の変更 1）。"
                            "行をダブルクリックするとそのセルへ移動します。"));
    const auto tinted = [&w] {
        QStringList cells;
        for (int row = 1; row <= 7; ++row)
            for (int col = 1; col <= 7; ++col)
                if (w.grid()->fareModel()->isMarked(row, col, FareGridModel::Mark::Difference))
                    cells << QStringLiteral("%1,%2").arg(row).arg(col);
        return cells.join(u' ');
    };
    QCOMPARE(tinted(), QStringLiteral("3,3 4,1 5,2 6,1"));
    QTRY_VERIFY(w.form.height() > startSize.height()); // room for the grid and the list

    // By keyboard: F6 to the list, Enter on an entry makes its cell current.
    w.press(w.grid(), Qt::Key_F6);
    QTRY_VERIFY(panel->list()->hasFocus());
    for (const Qt::Key key : {Qt::Key_Home, Qt::Key_Down, Qt::Key_Down, Qt::Key_Return})
        w.press(panel->list(), key);
    QCOMPARE(w.current(), QStringLiteral("5,2"));
    QVERIFY(w.grid()->hasFocus());

    // The printout shows what changed while the comparison is the table's.
    w.printing.printTo = m_dir.filePath(QStringLiteral("compared.pdf"));
    const auto printed = [&w] {
        w.action("MnuFilePrint")->trigger();
        return pdfText(w.printing.printTo);
    };
    const QString marked = printed();
    QVERIFY(marked.isNull() || marked.contains(QStringLiteral("旧表「approved.Hy3」からの変更")));
    // A change to the table ends the tints and the marks; comparing again brings them back.
    w.type(w.grid(), QStringLiteral("7"), Qt::Key_7);
    w.press(w.editor(), Qt::Key_Return);
    QCOMPARE(tinted(), QString());
    QVERIFY(summary->text().startsWith(QStringLiteral("表が変更されました。")));
    const QString unmarked = printed();
    QVERIFY(unmarked.isNull() || !unmarked.contains(QStringLiteral("旧表")));
    QTest::mouseClick(panel->findChild<QPushButton*>(QStringLiteral("CompareAgain")),
                      Qt::LeftButton);
    QCOMPARE(tinted(), QStringLiteral("3,3 4,1 5,2 6,1"));
    QCOMPARE(w.current(), QStringLiteral("5,2"));

    // Beside the fare check's panel it shares the room as a tab; F6 goes to the tab shown.
    w.press(w.grid(), Qt::Key_F7);
    QStringList round;
    for (int i = 0; i < 2; ++i) {
        w.press(QApplication::focusWidget(), Qt::Key_F6);
        round << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(round.join(u' '), QStringLiteral("CheckList MSFlexGrid1"));
    // A name no reader takes is refused; the comparison shown stays.
    w.platform.fileAnswers << m_dir.filePath(QStringLiteral("approved.doc"));
    w.action("MnuToolCompare")->trigger();
    QVERIFY(w.platform.messageTexts().value(0).startsWith(
        QStringLiteral("「approved.doc」は、拡張子から形式がわからないため比較できません。")));
    QCOMPARE(panel->list()->topLevelItemCount(), 4);
    panel->close();
    w.form.checkPanel()->close();
    QTRY_COMPARE(w.form.size(), startSize);
}

void TestForm1::saveBack_data()
{
    // "FROM ONDISK PRESSES ANSWERS": the table comes from a copy of the route file (Hy3, Hyo;
    // txt: a text import after opening; -: no fare file); an edit is left open in (3, 5); the
    // file may then change on disk; Ctrl+S is pressed and the questions answered (Y, N). Then
    // the questions asked, the file that holds the table ("fare", "chosen" in Save As, none) and
    // the current cell (a save reads the table through the current cell).
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("asked");
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("current");
    const char* rows[][5] = {
        {"back, no dialog", "Hy3 - 1 -", "", "fare", "5,152"},
        {"older format, asked every time", "Hyo - 2 YY",
         "旧バージョンでの保存確認|旧バージョンでの保存確認", "fare", "5,74"},
        {"older format refused", "Hyo - 1 N", "旧バージョンでの保存確認", "", "3,5"},
        {"changed on disk, No", "Hy3 changed 1 N", "上書き保存の確認", "", "3,5"},
        {"changed on disk, Yes", "Hy3 changed 1 Y", "上書き保存の確認", "fare", "5,152"},
        {"deleted on disk, Yes", "Hy3 deleted 1 Y", "上書き保存の確認", "fare", "5,152"},
        {"no fare file: Save As, then back", "- - 2 -", "", "chosen", "5,152"},
        {"text import leaves none", "txt - 1 -", "", "chosen", "5,152"},
    };
    for (const auto& row : rows)
        QTest::newRow(row[0]) << row[1] << row[2] << row[3] << row[4];
}

void TestForm1::saveBack()
{
    QFETCH(QString, script);
    QFETCH(QString, asked);
    QFETCH(QString, written);
    QFETCH(QString, current);
    const QStringList part = script.split(u' ');
    QTemporaryDir dir;
    const QString fare =
        dir.filePath(QStringLiteral("back.Hy") + (part[0] == QLatin1String("Hyo") ? u'o' : u'3'));
    const QString chosen = dir.filePath(QStringLiteral("chosen.Hy3"));
    Window w;
    FakePlatform quiet; // answers Yes to an older format's confirmation
    QCOMPARE(LoadHy3(w.table(), quiet, m_routeFile), Outcome::Done);
    QCOMPARE(fileTypeForPath(fare)->writer(w.table(), quiet, fare), Outcome::Done);
    w.platform.fileAnswers << fare << m_routeText;
    if (part[0] != QLatin1String("-"))
        w.action("MnuFileOpen")->trigger();
    if (part[0] == QLatin1String("txt"))
        w.action("MnuFileTxtInport")->trigger();
    w.table().setCurrentCell(3, 5);
    w.type(w.grid(), QStringLiteral("7"), Qt::Key_7);
    if (part[1] == QLatin1String("changed"))
        QVERIFY(TestTables::writeBytes(fare, TestTables::readBytes(m_otherFile)));
    else if (part[1] == QLatin1String("deleted"))
        QVERIFY(QFile::remove(fare));
    const QByteArray before = TestTables::readBytes(fare);
    for (const QChar answer : part[3])
        w.platform.answers << (answer == u'Y' ? Platform::Answer::Yes : Platform::Answer::No);
    w.platform.fileAnswers = {chosen};
    w.platform.dialogs.clear();
    w.platform.messages.clear();
    for (int i = 0; i < part[2].toInt(); ++i)
        w.press(w.editor(), Qt::Key_S, Qt::ControlModifier);

    QCOMPARE(w.current(), current);
    QCOMPARE(w.table().text(3, 5), QStringLiteral("7")); // the open edit, committed first
    QCOMPARE(w.platform.dialogs.size(), written == QLatin1String("chosen") ? 1 : 0);
    QStringList titles;
    for (const FakePlatform::Message& m : std::as_const(w.platform.messages))
        titles << m.title;
    QCOMPARE(titles.join(u'|'), asked);
    const FakePlatform::Message& m = w.platform.messages.value(0);
    QVERIFY(asked != FileCommands::overwriteQuestionTitle() ||
            (m.text.startsWith(QStringLiteral("「back.Hy3」は")) &&
             m.text.contains(part[1] == QLatin1String("deleted")
                                 ? QStringLiteral("削除されたか名前が変わっています")
                                 : QStringLiteral("ほかのプログラムなどで書き換えられています")) &&
             m.buttons == Platform::Buttons::YesNo && m.defaultButton == Platform::Answer::No));
    // The file written holds what the table's own format makes of it, byte for byte.
    const QString target = written == QLatin1String("chosen") ? chosen : fare;
    const QString expected = dir.filePath(QStringLiteral("expected") + target.right(4));
    QCOMPARE(fileTypeForPath(expected)->writer(w.table(), quiet, expected), Outcome::Done);
    QCOMPARE(TestTables::readBytes(fare),
             written == QLatin1String("fare") ? TestTables::readBytes(expected) : before);
    QCOMPARE(QFile::exists(chosen), written == QLatin1String("chosen"));
    QCOMPARE(w.form.fileCommands().fareFilePath(), written.isEmpty() ? fare : target);
}

void TestForm1::statusBarSaysWhereYouAre()
{
    Window w;
    const auto status = [&w] {
        QStringList texts;
        for (const char* name : {"StatusFile", "StatusModified", "StatusCell"})
            texts << w.form.findChild<StatusField*>(QLatin1String(name))->fullText();
        return texts.join(u'|');
    };
    QCOMPARE(status(), QStringLiteral("運賃表ファイルなし||系統名称"));
    // A file name of 255 bytes and a stop name of 1000 characters: cut short, the window as wide
    // as it was, room left for the short messages.
    QCoreApplication::processEvents();
    const int width = w.form.width();
    const QString longName = QString(251, u'a') + QStringLiteral(".Hy3");
    QVERIFY(QFile::copy(m_routeFile, m_dir.filePath(longName)));
    w.platform.fileAnswers << m_dir.filePath(longName);
    w.action("MnuFileOpen")->trigger();
    w.table().setCurrentCell(3, 1);
    w.type(w.grid(), QString(1000, u'長'));
    w.press(w.editor(), Qt::Key_Return);
    w.table().setCurrentCell(3, 7);
    QCOMPARE(status(), QString(40, u'a') + QStringLiteral("…|変更あり|停留所 2「") +
                           QString(40, u'長') + QStringLiteral("…」 整理券 5"));
    // A short message covers the cell's field and has room for the longest one, whole.
    QGuiApplication::clipboard()->setText(QStringLiteral("1\t2\t3"));
    w.table().setCurrentCell(3, 151);
    w.press(w.grid(), Qt::Key_V, Qt::ControlModifier);
    const QString message = w.form.statusBar()->currentMessage();
    QVERIFY(message.endsWith(QStringLiteral("セルは貼り付けませんでした")));
    QCoreApplication::processEvents();
    QCOMPARE(w.form.width(), width);
    QVERIFY(!w.form.findChild<StatusField*>(QStringLiteral("StatusCell"))->isVisible());
    QVERIFY(w.form.findChild<StatusField*>(QStringLiteral("StatusFile"))->x() >
            w.form.statusBar()->fontMetrics().horizontalAdvance(message + QStringLiteral("999")));
    w.press(w.grid(), Qt::Key_Z, Qt::ControlModifier);
    w.table().setCurrentCell(3, 7);
    // The mark follows the saved state through undo and redo; an open edit is a change.
    QString marks;
    for (const Qt::Key key : {Qt::Key_S, Qt::Key_Z, Qt::Key_Y}) {
        w.press(w.grid(), key, Qt::ControlModifier);
        marks += status().section(u'|', 1, 1) + u'|';
    }
    w.type(w.grid(), QStringLiteral("9"), Qt::Key_9);
    marks += status().section(u'|', 1, 1) + u'|';
    w.press(w.editor(), Qt::Key_Escape);
    QCOMPARE(marks + status().section(u'|', 1, 1), QStringLiteral("|変更あり||変更あり|"));
    // The cell in the grid's words.
    for (const auto& [row, col, place] : {std::tuple{1, 5, "系統名称の行 整理券 3"},
                                          {7, 2, "停留所 6 整理券番号"},
                                          {0, 1, "見出し 停名"}}) {
        w.table().setCurrentCell(row, col);
        QCOMPARE(status().section(u'|', 2), QString::fromUtf8(place));
    }
    QCOMPARE(w.current(), QStringLiteral("0,1"));
}

void TestForm1::longTextInTheEditor_data()
{
    // Enter opens the editor on a text of 1M characters in (2, 1) ("=7": 7 typed on the grid
    // opens it instead); keys ("Left*3": three times) are typed and Enter commits. The cell then
    // holds the text with `removed` characters (-1: all) at `at` ("end-3": three before its end)
    // replaced by `typed` (PASTE: the clipboard's 5000 characters).
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("at");
    QTest::addColumn<int>("removed");
    QTest::addColumn<QString>("typed");
    QTest::newRow("unedited") << ""
                              << "end" << 0 << "";
    QTest::newRow("typed at the end") << "x"
                                      << "end" << 0 << "x";
    QTest::newRow("Home, typed") << "Home x"
                                 << "0" << 0 << "x";
    QTest::newRow("Left past the part") << "Left*1500 x"
                                        << "end-1500" << 0 << "x";
    QTest::newRow("Backspace past the part") << "Left*1000 Backspace*3"
                                             << "end-1003" << 3 << "";
    QTest::newRow("Right past the part, Delete") << "Home Right*1200 Delete"
                                                 << "1200" << 1 << "";
    QTest::newRow("Home, End, typed") << "Home End x"
                                      << "end" << 0 << "x";
    QTest::newRow("typed over on the grid") << "=7"
                                            << "0" << -1 << "7";
    QTest::newRow("select all, typed") << "Ctrl+A x"
                                       << "0" << -1 << "x";
    QTest::newRow("select all, cut") << "Ctrl+A Ctrl+X"
                                     << "0" << -1 << "";
    QTest::newRow("long paste in the middle") << "Left*700 Ctrl+V"
                                              << "end-700" << 0 << "PASTE";
}

void TestForm1::longTextInTheEditor()
{
    QFETCH(QString, keys);
    QFETCH(QString, at);
    QFETCH(int, removed);
    QFETCH(QString, typed);
    QString text; // numbered, so that a character lost, doubled or moved shows
    for (int i = 0; text.size() < (1 << 20); ++i)
        text += QString::number(i) + u'東';
    const QString pasted(5000, u'貼');
    QGuiApplication::clipboard()->setText(pasted);
    Window w;
    w.table().SetCell(2, 1, text);
    const bool typedOver = keys.startsWith(u'=');
    if (typedOver)
        w.type(w.grid(), keys.mid(1), Qt::Key_7);
    else
        w.press(w.grid(), Qt::Key_Return);
    QTRY_VERIFY(w.editor()->hasFocus());
    for (const QString& key : (typedOver ? QString() : keys).split(u' ', Qt::SkipEmptyParts))
        for (int i = 0; i < key.section(u'*', 1).toInt() || i == 0; ++i)
            QTest::keySequence(w.editor(), QKeySequence(key.section(u'*', 0, 0)));
    QVERIFY(w.editor()->text().size() <= LongLineEdit::PartLength + 1); // what it lays out
    w.press(w.editor(), Qt::Key_Return);
    QCOMPARE(w.current(), QStringLiteral("2,1"));
    const qsizetype from =
        at.startsWith(QLatin1String("end")) ? text.size() + at.mid(3).toInt() : at.toInt();
    const QString expected = text.left(from) + (typed == QLatin1String("PASTE") ? pasted : typed) +
                             (removed < 0 ? QString() : text.mid(from + removed));
    const QString stored = w.table().text(2, 1);
    QVERIFY2(stored == expected, qPrintable(QStringLiteral("%1 characters, %2 expected, from %3")
                                                .arg(stored.size())
                                                .arg(expected.size())
                                                .arg(std::mismatch(stored.begin(), stored.end(),
                                                                   expected.begin(), expected.end())
                                                         .first -
                                                     stored.begin())));
    if (keys.contains(QLatin1String("Ctrl+X")))
        QVERIFY(QGuiApplication::clipboard()->text() == text);
}

void TestForm1::longTextElsewhere()
{
    // A route name of 1M characters (and a tab, which the check reports): the grid, the find
    // bar, the status bar, the check panel and the print job get only its start.
    Window w;
    const QString name = QString(1 << 20, u'線') + u'\t';
    w.table().SetCell(1, 1, name);
    const QModelIndex routeName = w.grid()->fareModel()->indexOfCell(1, 1);
    QCOMPARE(routeName.data().toString(), QString(1000, u'線') + QChar(0x2026));
    QGuiApplication::clipboard()->setText(name);
    w.table().setCurrentCell(5, 5);
    w.press(w.grid(), Qt::Key_F, Qt::ControlModifier);
    auto* findText = w.form.findBar()->findChild<QLineEdit*>(QStringLiteral("FindText"));
    QTRY_VERIFY(findText->hasFocus());
    w.press(findText, Qt::Key_V, Qt::ControlModifier);
    QVERIFY(findText->text().size() <= LongLineEdit::PartLength);
    w.press(findText, Qt::Key_Return); // the whole name is searched for
    QCOMPARE(w.current(), QStringLiteral("1,1"));
    w.press(findText, Qt::Key_X);
    w.press(findText, Qt::Key_Return);
    QCOMPARE(w.current(), QStringLiteral("1,1"));
    QCOMPARE(w.form.statusBar()->currentMessage(),
             QStringLiteral("「%1…」は見つかりませんでした").arg(QString(40, u'線')));
    w.action("MnuToolCheck")->trigger();
    QTreeWidget* list = w.form.checkPanel()->list();
    QVERIFY(list->topLevelItemCount() > 0);
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        QVERIFY(list->topLevelItem(i)->text(2).size() < 200);
    w.printing.printTo = m_dir.filePath(QStringLiteral("long.pdf"));
    w.action("MnuFilePrintPreview")->trigger();
    QCOMPARE(w.printing.docName, QString(80, u'線') + QChar(0x2026));
}

void TestForm1::importNotesWhatItLeftOut()
{
    // Lone LFs end no line: the import says so on the status bar.
    const QString file = m_dir.filePath(QStringLiteral("lf.txt"));
    QVERIFY(TestTables::writeBytes(file, "A,1\nB,2\n"));
    Window w;
    w.platform.fileAnswers << file;
    w.action("MnuFileTxtInport")->trigger();
    QVERIFY(w.form.statusBar()->currentMessage().startsWith(QStringLiteral("改行（LF）2 個は")));
    QCOMPARE(w.current(), QStringLiteral("1,152")); // the last cell the import wrote
}

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
