#pragma once

#include <cstdint>
#include <string>

#include "app/clipboard_commands.h"
#include "app/column_tools.h"
#include "app/compare_commands.h"
#include "app/filter_commands.h"
#include "app/interchange_commands.h"
#include "app/japanese_text_commands.h"
#include "app/list_commands.h"
#include "app/print_commands.h"
#include "app/row_commands.h"
#include "app/search_commands.h"
#include "app/sort_commands.h"
#include "app/table_files.h"
#include "app/table_input.h"
#include "app/title_list_form.h"
#include "app/window_system.h"
#include "edit/table_document.h"
#include "platform/program_paths.h"

namespace qv {

// The main window's logic: the table document it owns and its wiring to the windowing system,
// through WindowSystem alone. The commands live in groups by concern (files, rows and columns,
// the clipboard, find and replace, sorting, CSV/TSV, printing, the column tools), each working on
// the document; every change of the table is a step applied to it. Commands raise Failure; the view
// shows it in the failure box and the program carries on with the state the command reached.
class MainForm {
public:
    // `stores` names the settings and history files; `decimalSeparator` is the locale's, read
    // once at start.
    MainForm(WindowSystem& windows, StoreLocations stores, std::string decimalSeparator);
    MainForm(const MainForm&) = delete;
    MainForm& operator=(const MainForm&) = delete;

    // The title list window's logic, which the exit button closes before the main window.
    void AttachTitleListForm(TitleListForm* titleList) { titleList_ = titleList; }

    // --- The table ---
    TableDocument& Document() { return document_; }
    const TableDocument& Document() const { return document_; }
    const TableGrid& Table() const { return document_.Table(); }
    const TableGrid& DeletedRowBuffer() const { return document_.DeletedRowBuffer(); }
    // What the grid view's user does to the table.
    TableInput& Input() { return input_; }
    // The title (CP932 bytes). SetEditTitle is how the view stores what the user types: one
    // step of the undo history until EndTitleEdit (the title box lost the focus).
    const std::string& EditTitle() const { return document_.Title(); }
    void SetEditTitle(std::string title);
    void EndTitleEdit() { document_.EndTyping(); }
    const std::string& CurFileName() const { return document_.FileName(); }
    void SetCurFileName(std::string path) { document_.SetFileName(std::move(path)); }
    // The locale's decimal separator, as the statistics write numbers.
    const std::string& DecimalSeparator() const { return decimalSeparator_; }

    // --- Undo and redo. Every change of the table made by a command, by typing in a cell or
    // the title, or by dragging in the grid is a step; loading a table starts a new history. ---
    void Undo();
    void Redo();
    // Whether the table (cells, title, item names, sizes, counts) differs from the one last
    // loaded or saved.
    bool IsModified() const { return document_.IsModified(); }
    const EditHistory& History() const { return document_.History(); }

    // --- The commands, by concern ---
    TableFiles& Files() { return files_; }
    RowCommands& Rows() { return rows_; }
    ClipboardCommands& Clipboard() { return clipboard_; }
    SearchCommands& Search() { return search_; }
    SortCommands& Sorting() { return sorting_; }
    ListCommands& Lists() { return lists_; }
    InterchangeCommands& Interchange() { return interchange_; }
    PrintCommands& Printing() { return printing_; }
    ColumnTools& Tools() { return tools_; }
    JapaneseTextCommands& JapaneseText() { return japaneseText_; }
    CompareCommands& Compare() { return compare_; }
    FilterCommands& Filter() { return filter_; }

    // --- Start-up, activation, close ---
    void Start();
    void Activated();
    // Raises Failure when the title list or the geometry cannot be written: the window stays.
    void Closing();
    // The title box's width for the window's outer width.
    static int32_t TitleBoxWidth(int32_t outerWidth) { return outerWidth - 65; }

    // --- Commands of the menus and the toolbar (their table: app/main_commands.cpp) of the
    // window itself ---
    // Shows the title list window without waiting, in front.
    void ShowTitleList();
    // The help viewer on its contents (the menu item) or on its finder (the toolbar button).
    void ShowHelpContents();
    void ShowHelpSearch();
    void ShowAbout();
    // Closes the main window; the title list window stays as it is.
    void Exit();
    // Closes the title list window first, storing its place even when it is hidden, then the
    // main window. A failure to store the place stops it before anything closes.
    void CloseTitleListAndExit();

private:
    WindowSystem& windows_;
    std::string decimalSeparator_;
    TitleListForm* titleList_ = nullptr;

    TableDocument document_;
    TableInput input_;
    // The groups after the document they work on; the files first, which the import uses.
    TableFiles files_;
    RowCommands rows_;
    ClipboardCommands clipboard_;
    SearchCommands search_;
    SortCommands sorting_;
    ListCommands lists_;
    InterchangeCommands interchange_;
    PrintCommands printing_;
    ColumnTools tools_;
    JapaneseTextCommands japaneseText_;
    CompareCommands compare_;
    FilterCommands filter_;
};

}  // namespace qv
