#pragma once

#include <string>

#include "app/stored_window_geometry.h"
#include "app/window_system.h"
#include "history/title_list.h"
#include "platform/program_paths.h"

namespace qv {

// What the title list window uses of the main window, which keeps the title list and loads the
// tables; the main window's files (TableFiles) implement it, so that this window's logic needs
// nothing else of it.
class TitleListHost {
public:
    virtual ~TitleListHost() = default;

    // The title list shown (titles shown, paths hidden, paired by index).
    virtual TitleList& Titles() = 0;
    virtual const StoreLocations& Stores() const = 0;
    // false drops a pending load request.
    virtual void SetLoadRequest(bool request) = 0;
    // Opens the table file `path` in place of the table shown, without the open dialog, after
    // asking whether to save the shown table's changes; the save dialog then offers `path`.
    virtual void ReopenTable(const std::string& path) = 0;
    // The title list window has been activated: the main window no longer opens it by itself.
    virtual void ClearFirstActivate() = 0;
    // Writes the title list to the history file.
    virtual void SaveTitleList() = 0;
};

// The title list window's logic. The list it shows is the main window's title list (titles
// shown, paths hidden, paired by index); the view passes the selected line's index to the
// handlers, -1 when no line is selected. Handlers raise Failure; the view shows it.
class TitleListForm {
public:
    // Where the window stands when the settings file holds nothing for it.
    static constexpr WindowGeometry kDesignGeometry{254, 147, 335, 177};

    TitleListForm(TitleListHost& main, WindowSystem& windows);
    TitleListForm(const TitleListForm&) = delete;
    TitleListForm& operator=(const TitleListForm&) = delete;

    // The title list the window shows.
    const TitleList& Titles() const { return main_.Titles(); }

    // Window created: restores its place and size from the settings section "Title".
    void Start();
    // Window activated: the main window no longer opens it by itself.
    void Activated();
    // Window closing: stores its place and size under "Title". Raises Failure when the
    // settings cannot be written, and the view then keeps the window shown.
    void Closing();

    // The buttons and the list, by what they do (the design's handler in brackets).
    // "選択(&S)" (Button1Click) and a double click in the list (ListBox_TiTleDblClick): loads the
    // table of the selected entry through the main window; nothing without a selection.
    void ReopenSelected(int selectedIndex);
    // "削除(&D)" (Button4Click): after a Yes, deletes the selected entry, moves its table file to
    // the trash (deletes it where there is none), then saves the history file.
    void DeleteSelected(int selectedIndex);
    // "消去(&E)" (Button3Click): after a Yes, empties the list and deletes the history file.
    void EraseAll();
    // "閉じる(&X)" (Button2Click): drops a pending load request, then closes (Closing, then
    // hide).
    void Close();

private:
    bool IsEntry(int index) const;

    TitleListHost& main_;
    WindowSystem& windows_;
};

}  // namespace qv
