#pragma once

#include <QString>

class Form1;

/**
 * The window's commands, each defined once. One row per menu-bar entry, in menu order; the same
 * row says which toolbar button and which context-menu entry run the same handler. The menu bar,
 * the toolbar and the context menu are all built from this table.
 */
struct Command {
    using Handler = void (*)(Form1&);

    const char* menu;    ///< objectName of the menu or submenu the entry sits in
    const char* name;    ///< the action's objectName; a separator's name when caption is null
    const char* caption; ///< menu-bar caption with its access key; null for a separator
    Handler handler;     ///< what the entry, its button and its context entry run
    /** Toolbar button (Command1 index) that runs the handler; -1 when none. */
    int button = -1;
    /**
     * Position in the context menu (MnuHideMnu), counted from 11 in groups of ten: a new group
     * starts after a separator. 0 when the entry is not in the context menu.
     */
    int contextSlot = 0;
    /** The context entry's caption; its name is the menu-bar name followed by "Hide". */
    const char* contextCaption = nullptr;
    /**
     * Shortcuts in QKeySequence's portable text form, several separated by "; " ("Ctrl+Y;
     * Ctrl+Shift+Z"); null when none.
     */
    const char* shortcut = nullptr;
};

/** A menu of the menu bar or a submenu. Menus of the bar appear in this order. */
struct MenuDefinition {
    const char* name;
    const char* caption;
    const char* parent; ///< the menu a submenu sits in; null for a menu of the menu bar
};

/** The toolbar's buttons, from left to right (geometry in twips). */
struct ToolbarButton {
    int index;
    int left;
    int width;
    const char* toolTip;
    const char* icon;
};

/** The tables, in the order they are shown. */
struct CommandTable {
    const Command* commands;
    int commandCount;
    const MenuDefinition* menus;
    int menuCount;
    const ToolbarButton* buttons;
    int buttonCount;
};

/** The window's one command table. */
const CommandTable& windowCommands();

/**
 * What the Edit menu's undo and redo call the step a command makes: its context entry's caption
 * ("行削除(空白で残す)"), else its toolbar button's tooltip ("セルの内容を上のセルと入替"), else
 * its caption without access key and dots ("切り取り"). No two commands share a name.
 */
QString stepName(const Command& command);
