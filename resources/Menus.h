#pragma once

#include <QString>

#include <span>

// The soft-key menus of the program as tables, and the string table entries they and the
// shell use. A SoftKeyBar is built from one MenuBarTable.

/// One entry of a popup menu: a command, a separator or a submenu.
struct MenuEntry
{
    enum class Kind {
        Command,
        Separator,
        Submenu,
    };

    Kind kind;
    const char16_t* text; ///< "&" marks the mnemonic; null for a separator
    int command;          ///< 0 for separators and submenus
    std::span<const MenuEntry> submenu = {};
};

/// One soft key: a label (a string resource when stringId is non-zero), the command it
/// sends, and the popup it opens instead when it has one.
struct SoftKeyTable
{
    const char16_t* label; ///< null: no key on this side
    int stringId;
    int command;
    std::span<const MenuEntry> popup = {};
};

/// A soft-key bar: the left and the right key.
struct MenuBarTable
{
    int id;
    SoftKeyTable left;
    SoftKeyTable right;
};

/// The menu bar with identifier `id`, or null when there is none.
const MenuBarTable* FindMenuBar(int id);

/// The string table entry `id`; an empty string when there is none.
QString ResourceString(int id);
