// The main window's commands: the one command table, and the menu bar, toolbar and context menu
// built from it.
#include "celleditor.h"
#include "commandtable.h"
#include "form1.h"
#include "gui/twips.h"
#include "model/bulkguards.h"

#include <QAction>
#include <QIcon>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QToolButton>
#include <type_traits>

namespace {

/** A handler that runs a slot of the window or of its editing commands. */
template <auto Slot> void run(Form1& window)
{
    if constexpr (std::is_invocable_v<decltype(Slot), Form1&>)
        (window.*Slot)();
    else
        (window.editCommands().*Slot)();
}

using E = EditCommands;

// In menu order. Buttons and context slots say which toolbar button and context entry run the
// same handler.
constexpr Command Commands[] = {
    {"MnuFile", "MnuFileNew", "新規作成(&N)", run<&Form1::MnuFileNew>, 0, 0, nullptr, "Ctrl+N"},
    {"MnuFile", "MnuFileOpen", "開く(&O)", run<&Form1::MnuFileOpen>, 1, 0, nullptr, "Ctrl+O"},
    {"MnuFile", "MnuFileSave", "上書き保存(&S)", run<&Form1::MnuFileSave>, -1, 0, nullptr,
     "Ctrl+S"},
    {"MnuFile", "MnuFileSaveAs", "保存(&A)", run<&Form1::MnuFileSaveAs>, 2},
    {"MnuFile", "MnuFileTxtInport", "テキストファイルのインポート(&I)",
     run<&Form1::MnuFileTxtInport>, 15},
    {"MnuFile", "MnuFileSaveTxt", "テキストで保存(&T)", run<&Form1::MnuFileSaveTxt>},
    {"MnuFile", "MnuFileBdr1", nullptr, nullptr},
    {"MnuFile", "MnuFilePrintPreview", "印刷プレビュー(&V)...", run<&Form1::MnuFilePrintPreview>},
    {"MnuFile", "MnuFilePrint", "印刷(&P)...", run<&Form1::MnuFilePrint>, -1, 0, nullptr, "Ctrl+P"},
    {"MnuFile", "MnuFilePdf", "PDFに出力(&D)...", run<&Form1::MnuFilePdf>},
    {"MnuFile", "MnuFileBdr2", nullptr, nullptr},
    {"MnuFile", "MnuFileExit", "終了(&X)", run<&Form1::MnuFileExit>},

    {"MnuEdit", "MnuEditUndo", "元に戻す(&U)", run<&Form1::MnuEditUndo>, -1, 0, nullptr, "Ctrl+Z"},
    {"MnuEdit", "MnuEditRedo", "やり直し(&R)", run<&Form1::MnuEditRedo>, -1, 0, nullptr,
     "Ctrl+Y; Ctrl+Shift+Z"},
    {"MnuEdit", "MnuEditBdr1", nullptr, nullptr},
    {"MnuEdit", "MnuEditCut", "切り取り(&T)", run<&Form1::MnuEditCut>, -1, 0, nullptr, "Ctrl+X"},
    {"MnuEdit", "MnuEditCopy", "コピー(&C)", run<&Form1::MnuEditCopy>, -1, 0, nullptr, "Ctrl+C"},
    {"MnuEdit", "MnuEditPaste", "貼り付け(&P)", run<&Form1::MnuEditPaste>, -1, 0, nullptr,
     "Ctrl+V"},
    {"MnuEdit", "MnuEditBdr2", nullptr, nullptr},
    {"MnuEdit", "MnuEditFind", "検索(&F)", run<&Form1::MnuEditFind>, -1, 0, nullptr, "Ctrl+F"},
    {"MnuEdit", "MnuEditReplace", "置換(&E)", run<&Form1::MnuEditReplace>, -1, 0, nullptr,
     "Ctrl+H"},

    {"MnuCellIns", "MnuCellInsRight", "右にシフト(&R)", run<&E::MnuCellInsRight>, 5, 12,
     "セルの挿入(挿入後右へシフト)"},
    {"MnuCellIns", "MnuCellInsDown", "下にシフト(&D)", run<&E::MnuCellInsDown>, 4, 11,
     "セルの挿入(挿入後下へシフト)"},
    {"MnuCellDelete", "MnuCellDeleteNormal", "空白で残す(&N)", run<&E::MnuCellDeleteNormal>, 8, 13,
     "セルの削除(空白で残す)"},
    {"MnuCellDelete", "MnuCellDeleteLeft", "左にシフト(&L)", run<&E::MnuCellDeleteLeft>, 7, 15,
     "セルの削除(削除後左へシフト)"},
    {"MnuCellDelete", "MnuCellDeleteUp", "上にシフト(&U)", run<&E::MnuCellDeleteUp>, 6, 14,
     "セルの削除(削除後上へシフト)"},
    {"MnuCell", "MnuCellBdr1", nullptr, nullptr},
    {"MnuCell", "MnuCellUp", "上へ移動(&U)", run<&E::MnuCellUp>, 18},
    {"MnuCell", "MnuCellDown", "下へ移動(&W)", run<&E::MnuCellDown>, 19},
    {"MnuCell", "MnuCellLeft", "左へ移動(&L)", run<&E::MnuCellLeft>, 16},
    {"MnuCell", "MnuCellRight", "右へ移動(&R)", run<&E::MnuCellRight>, 17},

    {"MnuRow", "MnuEditLineCopy", "行単位コピー(&L)", run<&E::MnuEditLineCopy>, -1, 22,
     "行単位コピー"},
    {"MnuRow", "MnuEditLinePaste", "行単位貼り付け(&A)", run<&E::MnuEditLinePaste>, -1, 23,
     "行単位貼り付け"},
    {"MnuRow", "MnuEditLineIns", "行挿入(&S)", run<&E::MnuEditLineIns>, 9, 21, "行挿入"},
    {"MnuRowDelete", "MnuRowDeleteNormal", "空白で残す(&N)", run<&E::MnuRowDeleteNormal>, 11, 24,
     "行削除(空白で残す)"},
    {"MnuRowDelete", "MnuEditLineDelete", "上にシフト(&U)", run<&E::MnuEditLineDelete>, 10, 25,
     "行削除(上にシフト)"},
    {"MnuRow", "MnuBdr3", nullptr, nullptr},
    {"MnuRow", "MnuEditUp", "上へ移動(&U)", run<&E::MnuEditUp>, 20},
    {"MnuRow", "MnuEditDown", "下へ移動(&W)", run<&E::MnuEditDown>, 21},

    {"MnuRetsu", "MnuEditClumCopy", "列単位コピー(&U)", run<&E::MnuEditClumCopy>, -1, 32,
     "列単位コピー"},
    {"MnuRetsu", "MnuEditClumPaste", "列単位貼り付け(&T)", run<&E::MnuEditClumPaste>, -1, 33,
     "列単位貼り付け"},
    {"MnuRetsu", "MnuClumIns", "列挿入(&I)", run<&E::MnuClumIns>, 12, 31, "列挿入"},
    {"MnuClumDelete", "MnuClumDeleteNormal", "空白で残す(&N)", run<&E::MnuClumDeleteNormal>, 14, 34,
     "列削除(空白で残す)"},
    {"MnuClumDelete", "MnuClumDeleteLeft", "左へシフト(&L)", run<&E::MnuClumDeleteLeft>, 13, 35,
     "列削除(左にシフト)"},
    {"MnuRetsu", "MnuClumRight", "右へ移動(&R)", run<&E::MnuClumRight>, 23},
    {"MnuRetsu", "MnuClumLeft", "左へ移動(&L)", run<&E::MnuClumLeft>, 22},

    {"MnuTool", "MnuToolCheck", "運賃表の検査(&K)", run<&Form1::MnuToolCheck>, -1, 0, nullptr,
     "F7"},
    {"MnuTool", "MnuToolRevise", "運賃の一括変更(&R)...", run<&Form1::MnuToolRevise>},
    {"MnuTool", "MnuToolCompare", "別の運賃表と比較(&C)...", run<&Form1::MnuToolCompare>},

    {"MnuHelp", "MnuHelpManual", "使い方(&M)", run<&Form1::MnuHelpManual>, -1, 0, nullptr, "F1"},
    {"MnuHelp", "MnuHelpVersion", "バージョン情報（&V)", run<&Form1::MnuHelpVersion>},
};

constexpr MenuDefinition Menus[] = {
    {"MnuFile", "ファイル(&F)", nullptr},
    {"MnuEdit", "編集(&E)", nullptr},
    {"MnuCell", "セル(&L)", nullptr},
    {"MnuCellIns", "セルの挿入(&I)", "MnuCell"},
    {"MnuCellDelete", "セルの削除(&D)", "MnuCell"},
    {"MnuRow", "行(&R)", nullptr},
    {"MnuRowDelete", "行削除(&D)", "MnuRow"},
    {"MnuRetsu", "列(&C)", nullptr},
    {"MnuClumDelete", "列削除(&D)", "MnuRetsu"},
    {"MnuTool", "ツール(&T)", nullptr},
    {"MnuHelp", "ヘルプ(&H)", nullptr},
};

// From left to right. The gaps after button 3 and after button 14 separate the groups. Button 3,
// the merge, is shown disabled: no command runs it.
constexpr ToolbarButton Buttons[] = {
    {0, 0, 390, "新規作成", "new"},
    {1, 375, 405, "開く", "open"},
    {2, 765, 390, "名前を付けて保存", "save"},
    {15, 1140, 390, "テキストファイルのインポート", "import-text"},
    {3, 1515, 390, "ファイルのマージ", "merge"},
    {4, 2010, 390, "セル挿入後下へ移動", "cell-insert-down"},
    {5, 2385, 390, "セル挿入後右へ移動", "cell-insert-right"},
    {6, 2760, 390, "セル削除後上へ移動", "cell-delete-up"},
    {7, 3135, 390, "セル削除後左へ移動", "cell-delete-left"},
    {8, 3510, 390, "セルの削除(Del)", "cell-clear"},
    {9, 3885, 390, "行の挿入", "row-insert"},
    {10, 4260, 390, "行の削除", "row-delete"},
    {11, 4635, 390, "行の削除(シフトなし)", "row-clear"},
    {12, 5010, 390, "列の挿入", "column-insert"},
    {13, 5385, 390, "列の削除", "column-delete"},
    {14, 5760, 390, "列の削除(シフトなし)", "column-clear"},
    {16, 6315, 390, "セルの内容を左のセルと入替", "cell-swap-left"},
    {17, 6690, 390, "セルの内容を右のセルと入替", "cell-swap-right"},
    {18, 7065, 390, "セルの内容を上のセルと入替", "cell-swap-up"},
    {19, 7440, 390, "セルの内容を下のセルと入替", "cell-swap-down"},
    {20, 7815, 390, "行の内容を上の行と入替", "row-swap-up"},
    {21, 8190, 390, "行の内容を下の行と入替", "row-swap-down"},
    {22, 8565, 390, "列の内容を左の列と入替", "column-swap-left"},
    {23, 8940, 375, "列の内容を右の列と入替", "column-swap-right"},
};
constexpr int ButtonHeight = 345; // twips

template <typename T, int N> constexpr int countOf(const T (&)[N])
{
    return N;
}

QString text(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

QString withStep(const QString& caption, const QString& step)
{
    return step.isEmpty() ? caption : caption + QLatin1Char(' ') + step;
}

} // namespace

QString stepName(const Command& command)
{
    // The context menu's caption says what the entry does, where menu captions repeat from one
    // menu to the next; a toolbar tooltip, where there is no context entry.
    if (command.contextCaption)
        return text(command.contextCaption);
    for (const ToolbarButton& button : Buttons)
        if (command.button >= 0 && button.index == command.button)
            return text(button.toolTip);
    static const QRegularExpression accessKeyAndDots(QStringLiteral("[(（]&.[)）]|\\.\\.\\.$"));
    return text(command.caption).remove(accessKeyAndDots);
}

const CommandTable& windowCommands()
{
    static const CommandTable table{Commands,       countOf(Commands), Menus,
                                    countOf(Menus), Buttons,           countOf(Buttons)};
    return table;
}

void Form1::runCommand(const Command& command)
{
    // Whatever the command changes is one step of the history (an edit it commits is one before).
    TableStep step(m_table, stepName(command));
    if (command.handler)
        command.handler(*this);
}

const Command* Form1::commandOfButton(int index)
{
    if (index < 0)
        return nullptr;
    const CommandTable& table = windowCommands();
    for (int i = 0; i < table.commandCount; ++i)
        if (table.commands[i].button == index && table.commands[i].handler)
            return &table.commands[i];
    return nullptr;
}

void Form1::createCommands()
{
    const CommandTable& table = windowCommands();

    // The menus. A menu of the bar joins it at once; a submenu joins its parent where its first
    // entry comes in the table.
    QHash<QString, QMenu*> menus;
    QHash<QMenu*, QMenu*> unplaced; // submenu -> the menu it goes into
    for (int i = 0; i < table.menuCount; ++i) {
        const MenuDefinition& definition = table.menus[i];
        QMenu* parent = definition.parent ? menus.value(text(definition.parent)) : nullptr;
        auto* menu = new QMenu(text(definition.caption), parent ? static_cast<QWidget*>(parent)
                                                                : static_cast<QWidget*>(this));
        menu->setObjectName(text(definition.name));
        menus.insert(menu->objectName(), menu);
        if (parent)
            unplaced.insert(menu, parent);
        else
            menuBar()->addMenu(menu);
    }

    // The context menu: never in the menu bar; its entries stay enabled whatever the Row and
    // Column menus show, and run the handler directly (the menu-bar entry may be disabled).
    MnuHideMnu = new QMenu(QStringLiteral("HideMenu"), this);
    MnuHideMnu->setObjectName(QStringLiteral("MnuHideMnu"));
    QMap<int, QAction*> contextEntries;

    for (int i = 0; i < table.commandCount; ++i) {
        const Command& command = table.commands[i];
        QMenu* menu = menus.value(text(command.menu));
        if (QMenu* parent = unplaced.take(menu))
            parent->addMenu(menu);
        if (!command.caption) {
            menu->addSeparator()->setObjectName(text(command.name));
            continue;
        }
        auto* action = new QAction(text(command.caption), this);
        action->setObjectName(text(command.name));
        if (command.shortcut)
            action->setShortcuts(
                QKeySequence::listFromString(text(command.shortcut), QKeySequence::PortableText));
        connect(action, &QAction::triggered, this, [this, &command] { runCommand(command); });
        menu->addAction(action);
        if (command.contextSlot > 0) {
            auto* entry = new QAction(text(command.contextCaption), MnuHideMnu);
            entry->setObjectName(text(command.name) + QStringLiteral("Hide"));
            connect(entry, &QAction::triggered, this, [this, &command] { runCommand(command); });
            contextEntries.insert(command.contextSlot, entry);
        }
    }
    int group = -1;
    for (auto entry = contextEntries.cbegin(); entry != contextEntries.cend(); ++entry) {
        if (group >= 0 && entry.key() / 10 != group)
            MnuHideMnu->addSeparator()->setObjectName(
                QStringLiteral("MnuBdrHide%1").arg(entry.key() / 10 - 1));
        group = entry.key() / 10;
        MnuHideMnu->addAction(entry.value());
    }

    MnuRow = menus.value(QStringLiteral("MnuRow"));
    MnuRetsu = menus.value(QStringLiteral("MnuRetsu"));
    QAction* rowPaste = findChild<QAction*>(QStringLiteral("MnuEditLinePaste"));
    rowPaste->setEnabled(m_edit.rowPasteEnabled());
    connect(&m_edit, &EditCommands::rowPasteEnabledChanged, rowPaste, &QAction::setEnabled);
    m_undoAction = findChild<QAction*>(QStringLiteral("MnuEditUndo"));
    m_redoAction = findChild<QAction*>(QStringLiteral("MnuEditRedo"));
    m_undoCaption = m_undoAction->text();
    m_redoCaption = m_redoAction->text();
    connect(&m_history, &TableHistory::changed, this, &Form1::updateUndoActions);
    updateUndoActions();

    createToolBar(table);
}

void Form1::updateUndoActions()
{
    QAction* undo = m_undoAction;
    QAction* redo = m_redoAction;
    if (Text1->isOpen()) {
        // The open editor's own text is what they act on: no step of the table's to name.
        undo->setEnabled(Text1->isUndoAvailable());
        redo->setEnabled(Text1->isRedoAvailable());
        undo->setText(m_undoCaption);
        redo->setText(m_redoCaption);
        return;
    }
    // Each names the step it takes back or does again: "元に戻す(&U) 行挿入".
    undo->setEnabled(m_history.canUndo());
    redo->setEnabled(m_history.canRedo());
    undo->setText(withStep(m_undoCaption, m_history.undoName()));
    redo->setText(withStep(m_redoCaption, m_history.redoName()));
}

void Form1::createToolBar(const CommandTable& table)
{
    const Twips twips = Twips::ofPrimaryScreen();
    Command1.resize(table.buttonCount);
    for (int i = 0; i < table.buttonCount; ++i) {
        const ToolbarButton& entry = table.buttons[i];
        auto* button = new QToolButton(Picture1);
        button->setObjectName(QStringLiteral("Command1_%1").arg(entry.index));
        button->setToolTip(text(entry.toolTip));
        button->setAccessibleName(button->toolTip());
        button->setIcon(QIcon(QStringLiteral(":/icons/%1.png").arg(text(entry.icon))));
        button->setIconSize(QSize(16, 16));
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setGeometry(twips.toPixelsX(entry.left), 0, twips.toPixelsX(entry.width),
                            twips.toPixelsY(ButtonHeight));
        const int index = entry.index;
        button->setEnabled(commandOfButton(index) != nullptr);
        connect(button, &QToolButton::clicked, this, [this, index] { Command1_Click(index); });
        Command1[index] = button;
    }
}

void Form1::Command1_Click(int index)
{
    if (const Command* command = commandOfButton(index))
        runCommand(*command);
}
