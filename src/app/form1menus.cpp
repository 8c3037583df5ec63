// The main window's commands: one action per menu item, the menus, the context menu and the
// toolbar buttons that run the same handlers.
#include "form1.h"
#include "twips.h"

#include <QAction>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>

namespace {

struct ToolbarButton {
    int index;
    int left;  ///< twips
    int width; ///< twips
    const char* toolTip;
    const char* command; ///< the menu item whose handler the button runs; none for the merge
    const char* icon;
};

// From left to right. The gaps after button 3 and after button 14 separate the groups.
constexpr ToolbarButton ToolbarButtons[] = {
    {0, 0, 390, "新規作成", "MnuFileNew", "new"},
    {1, 375, 405, "開く", "MnuFileOpen", "open"},
    {2, 765, 390, "名前を付けて保存", "MnuFileSaveAs", "save"},
    {15, 1140, 390, "テキストファイルのインポート", "MnuFileTxtInport", "import-text"},
    {3, 1515, 390, "ファイルのマージ", nullptr, "merge"},
    {4, 2010, 390, "セル挿入後下へ移動", "MnuCellInsDown", "cell-insert-down"},
    {5, 2385, 390, "セル挿入後右へ移動", "MnuCellInsRight", "cell-insert-right"},
    {6, 2760, 390, "セル削除後上へ移動", "MnuCellDeleteUp", "cell-delete-up"},
    {7, 3135, 390, "セル削除後左へ移動", "MnuCellDeleteLeft", "cell-delete-left"},
    {8, 3510, 390, "セルの削除(Del)", "MnuCellDeleteNormal", "cell-clear"},
    {9, 3885, 390, "行の挿入", "MnuEditLineIns", "row-insert"},
    {10, 4260, 390, "行の削除", "MnuEditLineDelete", "row-delete"},
    {11, 4635, 390, "行の削除(シフトなし)", "MnuRowDeleteNormal", "row-clear"},
    {12, 5010, 390, "列の挿入", "MnuClumIns", "column-insert"},
    {13, 5385, 390, "列の削除", "MnuClumDeleteLeft", "column-delete"},
    {14, 5760, 390, "列の削除(シフトなし)", "MnuClumDeleteNormal", "column-clear"},
    {16, 6315, 390, "セルの内容を左のセルと入替", "MnuCellLeft", "cell-swap-left"},
    {17, 6690, 390, "セルの内容を右のセルと入替", "MnuCellRight", "cell-swap-right"},
    {18, 7065, 390, "セルの内容を上のセルと入替", "MnuCellUp", "cell-swap-up"},
    {19, 7440, 390, "セルの内容を下のセルと入替", "MnuCellDown", "cell-swap-down"},
    {20, 7815, 390, "行の内容を上の行と入替", "MnuEditUp", "row-swap-up"},
    {21, 8190, 390, "行の内容を下の行と入替", "MnuEditDown", "row-swap-down"},
    {22, 8565, 390, "列の内容を左の列と入替", "MnuClumLeft", "column-swap-left"},
    {23, 8940, 375, "列の内容を右の列と入替", "MnuClumRight", "column-swap-right"},
};
constexpr int ButtonCount = 24;
constexpr int ButtonHeight = 345; // twips

struct ContextEntry {
    const char* caption; ///< empty for a separator
    const char* name;
    const char* twin; ///< the menu-bar item whose handler the entry runs
};

constexpr ContextEntry ContextEntries[] = {
    {"セルの挿入(挿入後下へシフト)", "MnuCellInsDownHide", "MnuCellInsDown"},
    {"セルの挿入(挿入後右へシフト)", "MnuCellInsRightHide", "MnuCellInsRight"},
    {"セルの削除(空白で残す)", "MnuCellDeleteNormalHide", "MnuCellDeleteNormal"},
    {"セルの削除(削除後上へシフト)", "MnuCellDeleteUpHide", "MnuCellDeleteUp"},
    {"セルの削除(削除後左へシフト)", "MnuCellDeleteLeftHide", "MnuCellDeleteLeft"},
    {"", "MnuBdrHide1", nullptr},
    {"行挿入", "MnuEditLineInsHide", "MnuEditLineIns"},
    {"行単位コピー", "MnuEditLineCopyHide", "MnuEditLineCopy"},
    {"行単位貼り付け", "MnuEditLinePasteHide", "MnuEditLinePaste"},
    {"行削除(空白で残す)", "MnuRowDeleteNormalHide", "MnuRowDeleteNormal"},
    {"行削除(上にシフト)", "MnuEditLineDeleteHide", "MnuEditLineDelete"},
    {"", "MnuBdrHide2", nullptr},
    {"列挿入", "MnuClumInsHide", "MnuClumIns"},
    {"列単位コピー", "MnuEditClumCopyHide", "MnuEditClumCopy"},
    {"列単位貼り付け", "MnuEditClumPasteHide", "MnuEditClumPaste"},
    {"列削除(空白で残す)", "MnuClumDeleteNormalHide", "MnuClumDeleteNormal"},
    {"列削除(左にシフト)", "MnuClumDeleteLeftHide", "MnuClumDeleteLeft"},
};

QString text(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

QMenu* addMenu(QWidget* parent, const char* name, const char* title)
{
    auto* menu = new QMenu(text(title), parent);
    menu->setObjectName(text(name));
    return menu;
}

void addSeparator(QMenu* menu, const char* name)
{
    menu->addSeparator()->setObjectName(text(name));
}

} // namespace

QAction* Form1::addCommand(const QString& name, const QString& caption, Handler handler)
{
    auto* command = new QAction(caption, this);
    command->setObjectName(name);
    m_actions.insert(name, command);
    m_handlers.insert(name, handler);
    connect(command, &QAction::triggered, this, [handler] { handler(); });
    return command;
}

void Form1::runHandler(const QString& name)
{
    const Handler handler = m_handlers.value(name);
    if (handler)
        handler();
}

void Form1::createActions()
{
    addCommand(QStringLiteral("MnuFileNew"), text("新規作成(&N)"), this, &Form1::MnuFileNew);
    addCommand(QStringLiteral("MnuFileOpen"), text("開く(&O)"), this, &Form1::MnuFileOpen);
    addCommand(QStringLiteral("MnuFileSaveAs"), text("保存(&A)"), this, &Form1::MnuFileSaveAs);
    addCommand(QStringLiteral("MnuFileTxtInport"), text("テキストファイルのインポート(&I)"), this,
               &Form1::MnuFileTxtInport);
    addCommand(QStringLiteral("MnuFileSaveTxt"), text("テキストで保存(&T)"), this,
               &Form1::MnuFileSaveTxt);
    addCommand(QStringLiteral("MnuFileExit"), text("終了(&X)"), this, &Form1::MnuFileExit);

    EditCommands* edit = &m_edit;
    addCommand(QStringLiteral("MnuCellInsRight"), text("右にシフト(&R)"), edit,
               &EditCommands::MnuCellInsRight);
    addCommand(QStringLiteral("MnuCellInsDown"), text("下にシフト(&D)"), edit,
               &EditCommands::MnuCellInsDown);
    addCommand(QStringLiteral("MnuCellDeleteNormal"), text("空白で残す(&N)"), edit,
               &EditCommands::MnuCellDeleteNormal);
    addCommand(QStringLiteral("MnuCellDeleteLeft"), text("左にシフト(&L)"), edit,
               &EditCommands::MnuCellDeleteLeft);
    addCommand(QStringLiteral("MnuCellDeleteUp"), text("上にシフト(&U)"), edit,
               &EditCommands::MnuCellDeleteUp);
    addCommand(QStringLiteral("MnuCellUp"), text("上へ移動(&U)"), edit, &EditCommands::MnuCellUp);
    addCommand(QStringLiteral("MnuCellDown"), text("下へ移動(&W)"), edit,
               &EditCommands::MnuCellDown);
    addCommand(QStringLiteral("MnuCellLeft"), text("左へ移動(&L)"), edit,
               &EditCommands::MnuCellLeft);
    addCommand(QStringLiteral("MnuCellRight"), text("右へ移動(&R)"), edit,
               &EditCommands::MnuCellRight);

    addCommand(QStringLiteral("MnuEditLineCopy"), text("行単位コピー(&L)"), edit,
               &EditCommands::MnuEditLineCopy);
    QAction* rowPaste = addCommand(QStringLiteral("MnuEditLinePaste"), text("行単位貼り付け(&A)"),
                                   edit, &EditCommands::MnuEditLinePaste);
    rowPaste->setEnabled(m_edit.rowPasteEnabled());
    connect(&m_edit, &EditCommands::rowPasteEnabledChanged, rowPaste, &QAction::setEnabled);
    addCommand(QStringLiteral("MnuEditLineIns"), text("行挿入(&S)"), edit,
               &EditCommands::MnuEditLineIns);
    addCommand(QStringLiteral("MnuRowDeleteNormal"), text("空白で残す(&N)"), edit,
               &EditCommands::MnuRowDeleteNormal);
    addCommand(QStringLiteral("MnuEditLineDelete"), text("上にシフト(&U)"), edit,
               &EditCommands::MnuEditLineDelete);
    addCommand(QStringLiteral("MnuEditUp"), text("上へ移動(&U)"), edit, &EditCommands::MnuEditUp);
    addCommand(QStringLiteral("MnuEditDown"), text("下へ移動(&W)"), edit,
               &EditCommands::MnuEditDown);

    addCommand(QStringLiteral("MnuEditClumCopy"), text("列単位コピー(&U)"), edit,
               &EditCommands::MnuEditClumCopy);
    addCommand(QStringLiteral("MnuEditClumPaste"), text("列単位貼り付け(&T)"), edit,
               &EditCommands::MnuEditClumPaste);
    addCommand(QStringLiteral("MnuClumIns"), text("列挿入(&I)"), edit, &EditCommands::MnuClumIns);
    addCommand(QStringLiteral("MnuClumDeleteNormal"), text("空白で残す(&N)"), edit,
               &EditCommands::MnuClumDeleteNormal);
    addCommand(QStringLiteral("MnuClumDeleteLeft"), text("左へシフト(&L)"), edit,
               &EditCommands::MnuClumDeleteLeft);
    addCommand(QStringLiteral("MnuClumRight"), text("右へ移動(&R)"), edit,
               &EditCommands::MnuClumRight);
    addCommand(QStringLiteral("MnuClumLeft"), text("左へ移動(&L)"), edit,
               &EditCommands::MnuClumLeft);

    addCommand(QStringLiteral("MnuHelpVersion"), text("バージョン情報（&V)"), this,
               &Form1::MnuHelpVersion);
}

void Form1::createMenus()
{
    QMenuBar* bar = menuBar();

    QMenu* file = addMenu(this, "MnuFile", "ファイル(&F)");
    for (const char* name : {"MnuFileNew", "MnuFileOpen", "MnuFileSaveAs", "MnuFileTxtInport",
                             "MnuFileSaveTxt", "MnuFileExit"})
        file->addAction(action(text(name)));
    bar->addMenu(file);

    QMenu* cell = addMenu(this, "MnuCell", "セル(&L)");
    QMenu* cellIns = addMenu(cell, "MnuCellIns", "セルの挿入(&I)");
    cellIns->addAction(action(QStringLiteral("MnuCellInsRight")));
    cellIns->addAction(action(QStringLiteral("MnuCellInsDown")));
    cell->addMenu(cellIns);
    QMenu* cellDelete = addMenu(cell, "MnuCellDelete", "セルの削除(&D)");
    for (const char* name : {"MnuCellDeleteNormal", "MnuCellDeleteLeft", "MnuCellDeleteUp"})
        cellDelete->addAction(action(text(name)));
    cell->addMenu(cellDelete);
    addSeparator(cell, "MnuCellBdr1");
    for (const char* name : {"MnuCellUp", "MnuCellDown", "MnuCellLeft", "MnuCellRight"})
        cell->addAction(action(text(name)));
    bar->addMenu(cell);

    MnuRow = addMenu(this, "MnuRow", "行(&R)");
    for (const char* name : {"MnuEditLineCopy", "MnuEditLinePaste", "MnuEditLineIns"})
        MnuRow->addAction(action(text(name)));
    QMenu* rowDelete = addMenu(MnuRow, "MnuRowDelete", "行削除(&D)");
    rowDelete->addAction(action(QStringLiteral("MnuRowDeleteNormal")));
    rowDelete->addAction(action(QStringLiteral("MnuEditLineDelete")));
    MnuRow->addMenu(rowDelete);
    addSeparator(MnuRow, "MnuBdr3");
    MnuRow->addAction(action(QStringLiteral("MnuEditUp")));
    MnuRow->addAction(action(QStringLiteral("MnuEditDown")));
    bar->addMenu(MnuRow);

    MnuRetsu = addMenu(this, "MnuRetsu", "列(&C)");
    for (const char* name : {"MnuEditClumCopy", "MnuEditClumPaste", "MnuClumIns"})
        MnuRetsu->addAction(action(text(name)));
    QMenu* columnDelete = addMenu(MnuRetsu, "MnuClumDelete", "列削除(&D)");
    columnDelete->addAction(action(QStringLiteral("MnuClumDeleteNormal")));
    columnDelete->addAction(action(QStringLiteral("MnuClumDeleteLeft")));
    MnuRetsu->addMenu(columnDelete);
    MnuRetsu->addAction(action(QStringLiteral("MnuClumRight")));
    MnuRetsu->addAction(action(QStringLiteral("MnuClumLeft")));
    bar->addMenu(MnuRetsu);

    QMenu* help = addMenu(this, "MnuHelp", "ヘルプ(&H)");
    help->addAction(action(QStringLiteral("MnuHelpVersion")));
    bar->addMenu(help);
}

void Form1::createContextMenu()
{
    // Never in the menu bar; its entries stay enabled whatever the Row and Column menus show.
    MnuHideMnu = addMenu(this, "MnuHideMnu", "HideMenu");
    for (const ContextEntry& entry : ContextEntries) {
        if (!entry.twin) {
            addSeparator(MnuHideMnu, entry.name);
            continue;
        }
        auto* item = new QAction(text(entry.caption), MnuHideMnu);
        item->setObjectName(text(entry.name));
        const QString twin = text(entry.twin);
        connect(item, &QAction::triggered, this, [this, twin] { runHandler(twin); });
        MnuHideMnu->addAction(item);
    }
}

void Form1::createToolBar()
{
    const Twips twips = Twips::ofPrimaryScreen();
    Command1.resize(ButtonCount);
    for (const ToolbarButton& entry : ToolbarButtons) {
        auto* button = new QToolButton(Picture1);
        button->setObjectName(QStringLiteral("Command1_%1").arg(entry.index));
        button->setToolTip(text(entry.toolTip));
        button->setIcon(QIcon(QStringLiteral(":/icons/%1.png").arg(text(entry.icon))));
        button->setIconSize(QSize(16, 16));
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setGeometry(twips.toPixelsX(entry.left), 0, twips.toPixelsX(entry.width),
                            twips.toPixelsY(ButtonHeight));
        if (entry.command) {
            const int index = entry.index;
            connect(button, &QToolButton::clicked, this, [this, index] { Command1_Click(index); });
        } else {
            button->setEnabled(false); // the merge: shown, bound to nothing
        }
        Command1[entry.index] = button;
    }
}

void Form1::Command1_Click(int index)
{
    for (const ToolbarButton& entry : ToolbarButtons) {
        if (entry.index == index) {
            if (entry.command)
                runHandler(text(entry.command));
            return;
        }
    }
}
