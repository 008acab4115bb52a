#pragma once

#include <span>

namespace qv {

class MainForm;

// The pictures of the toolbar buttons.
enum class ToolbarPicture {
    None,  // a menu item
    OpenFolder,
    Floppy,
    InsertRow,
    DeleteRow,
    Calculator,
    Help,
    ExitDoor,
};

enum class CommandPlace { MenuItem, MenuSeparator, ToolbarButton };

// One row of the main window's command table: a menu item, a menu's separator or a toolbar
// button, and what it runs on MainForm.
struct MainCommand {
    CommandPlace place;
    // A menu item: the captions from the menu bar down to the item, joined by " > "; a separator:
    // the path of its menu; a toolbar button: its hint.
    const char* text;
    // The menu item's or button's name in the window's design, which its widget takes as object
    // name; the design's handler is this name with "Click" added ("K6" runs K6Click).
    const char* component;
    void (*run)(MainForm& form);  // nullptr for a separator
    ToolbarPicture picture;
    // Additions to the designed menus only: the item's keyboard shortcuts in Qt's portable text
    // form, separated by "; " (none when empty), and whether it can be chosen now (always when
    // nullptr).
    const char* shortcuts = "";
    bool (*enabled)(const MainForm&) = nullptr;
    // An added item that shows a check mark while this holds (none when nullptr).
    bool (*checked)(const MainForm&) = nullptr;
};

// Every menu item and separator in menu order, then the toolbar buttons from left to right.
// The window builds its menus and toolbar from this table alone.
std::span<const MainCommand> MainCommands();

}  // namespace qv
