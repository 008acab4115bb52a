#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "app/find_state.h"
#include "app/recovery/recovery_keeper.h"
#include "app/title_list_form.h"
#include "app/window_system.h"
#include "edit/edit_history.h"
#include "history/title_list.h"
#include "platform/program_paths.h"
#include "table/table_grid.h"
#include "tools/row_sort.h"

namespace qv {

// The main window's logic: the table it owns, its three fields, every handler and command.
// It reaches the windowing system only through WindowSystem. Commands raise Failure; the view
// shows it in the failure box and the program carries on with the state the command reached.
class MainForm : private TableGridObserver, public TitleListHost {
public:
    // `stores` names the settings and history files; `decimalSeparator` is the locale's, read
    // once at start.
    MainForm(WindowSystem& windows, StoreLocations stores, std::string decimalSeparator);
    ~MainForm() override;
    MainForm(const MainForm&) = delete;
    MainForm& operator=(const MainForm&) = delete;

    // The title list window's logic, which the exit button closes before the main window.
    void AttachTitleListForm(TitleListForm* titleList) { titleList_ = titleList; }

    // --- The table ---
    TableGrid& StringGrid() { return grid_; }
    const TableGrid& StringGrid() const { return grid_; }
    TableGrid& StringGrid_Buff() { return buffer_; }
    const TableGrid& StringGrid_Buff() const { return buffer_; }
    // The title (CP932 bytes). SetEditTitle is how the view stores what the user types: one
    // step of the undo history until EndTitleEdit (the title box lost the focus).
    const std::string& EditTitle() const { return title_; }
    void SetEditTitle(std::string title);
    void EndTitleEdit() { titleTyping_ = false; }
    // The title list shown by the title list window (titles) and its hidden path list.
    TitleList& Titles() override { return titles_; }
    const TitleList& Titles() const { return titles_; }

    // --- Fields ---
    const std::string& CurFileName() const { return curFileName_; }
    void SetCurFileName(std::string path) { curFileName_ = std::move(path); }
    bool LoadRequest() const { return loadRequest_; }
    // Clearing the request also drops a path that RequestLoad left pending.
    void SetLoadRequest(bool request) override {
        loadRequest_ = request;
        if (!request) {
            pendingLoadPath_.reset();
        }
    }
    // Asks the next LoadTableFile to read `path` without the open dialog (the title list's
    // reopen). CurFileName takes the path only once the file has loaded; until then it keeps
    // naming the table shown. With no pending path, LoadRequest alone reads CurFileName.
    void RequestLoad(std::string path) override {
        pendingLoadPath_ = std::move(path);
        loadRequest_ = true;
    }
    bool FirstActivate() const { return firstActivate_; }
    void ClearFirstActivate() override { firstActivate_ = false; }
    // The file names the open and save dialogs open with.
    const std::string& OpenDialogFileName() const { return openDialogFileName_; }
    const std::string& SaveDialogFileName() const { return saveDialogFileName_; }
    void SetSaveDialogFileName(std::string path) override { saveDialogFileName_ = std::move(path); }
    const StoreLocations& Stores() const override { return stores_; }

    // --- Undo and redo (main_form_undo.cpp). Every change of the table made by a command, by
    // typing in a cell or the title, or by dragging in the grid is a step; loading a table starts
    // a new history. ---
    void Undo();
    void Redo();
    bool CanUndo() const;
    bool CanRedo() const;
    // Whether the table (cells, title, item names, sizes, counts) differs from the one last
    // loaded or saved.
    bool IsModified() const;
    // The view's in-place editor opened or closed on the current cell: what is typed in between
    // is one step.
    void BeginCellEdit();
    void EndCellEdit();
    const EditHistory& History() const { return history_; }

    // When the table is modified, asks whether to save it before it is dropped; Yes saves as
    // SaveFile does. Returns whether the caller goes on (No, or Yes and saved); false leaves
    // everything as it was. The title list window asks before it reopens a table.
    bool AskBeforeReplacingTable() override;
    // The same before the main window closes; after a No, closing asks nothing more until the
    // table changes again.
    bool AskBeforeClosing();

    // --- Start-up, activation, close ---
    void FormCreate();
    void FormActivate();
    // Raises Failure when the title list or the geometry cannot be written: the window stays.
    void FormClose();
    // The title box's width for the window's outer width.
    static int32_t TitleBoxWidth(int32_t outerWidth) { return outerWidth - 65; }

    // --- File commands ---
    void LoadTableFile() override;
    void SaveFile();
    void SaveFileAs();
    // A file name holding a CR or 0x1A is refused with Failure before anything is changed.
    void WriteTableFile();

    // --- CSV and TSV files, and files given by the desktop (main_form_interchange.cpp) ---
    // The import command: asks about unsaved edits, then the open dialog, then the import
    // dialog. The table becomes the file's as a new, unsaved table titled with the file's base
    // name, with no CurFileName (so saving asks for a name); the undo history starts anew.
    void ImportDelimitedFile();
    // The export command: the export dialog, the save dialog, then the item names and data
    // cells written atomically. The table, its file and the title list stay as they were.
    void ExportDelimitedFile();
    // A file given on the command line or dropped on the window, after asking about unsaved
    // edits: a .csv, .tsv or .txt file that is not a table file goes through the import
    // dialog; any other opens as the open command opens it. A relative path is taken from the
    // current folder.
    void OpenFile(const std::string& path);

    // --- Printing (main_form_print.cpp): the preview with its page setup, then the printer or
    // a PDF file; the choices are remembered in a file of their own. ---
    void PrintTable();
    void ExportPdf();

    // --- Recovery copies of unsaved changes (app/recovery/) ---
    // From now on keeps a recovery copy in `folder` while the table has unsaved changes; none
    // when the folder is empty or its lock file cannot be made.
    void StartRecovery(const std::string& folder);
    // The window's timer: a copy of the table when it has unsaved changes made since the last
    // copy. The copy is built a slice of a few milliseconds at a time; true means that it is
    // not built yet and the window calls again soon. The disk is written on a thread of its own.
    bool WriteRecoveryCopyIfDue();
    // The table's edits were saved or given up (a save, a load, a No to saving): its copy goes.
    void DropRecoveryCopy();
    // At start: offers the copies that programs no longer running left, newest first, until
    // one is restored. Yes restores it as an unsaved table that names its original file; No
    // removes it; closing the question leaves it for the next start. Copies that cannot be read
    // are left as they are, and said so once.
    void OfferRecoveryCopies();
    // Returns when the copies asked for are on the disk (tests, benchmarks).
    void WaitForRecoveryCopy();

    // --- Title list ---
    void UpdateHistory();
    void LoadHistory();
    // Writes the title list, first taking in what other copies of the program saved meanwhile.
    void SaveHistory() override;

    // --- Table-wide operations ---
    void RenumberRows();
    void ClearAll();

    // --- Row and column editing ---
    void DeleteRow();
    void InsertRow(int32_t index);
    void PasteRow(int32_t row);
    void CopyRowToBuff(int32_t row);
    void AddColumn();
    void DeleteColumn();
    void ClearAllAfterConfirmation();
    void StringGridRowMoved(int32_t from, int32_t to);

    // --- Column tools ---
    void CalcColumn();
    // Item name dialog: the text its box shows when it opens, and what OK stores.
    std::string ItemNameForDialog() const;
    void SetItemName(std::string_view name);
    // Match count dialog's OK: counts the current column's cells equal to the text and shows it.
    void CountMatches(std::string_view searchText);
    // Go-to-row dialog's OK: makes the row the text names current in the same column (see
    // RowToGoTo); a text that names no row changes nothing, says so and returns false.
    bool GoToRow(std::string_view typed);
    // The locale's decimal separator, as the statistics write numbers.
    const std::string& DecimalSeparator() const { return decimalSeparator_; }

    // --- Find and replace (main_form_find.cpp): the find bar writes its texts and options into
    // Find(); each command is one step of the undo history, and says in the status bar when it
    // wrapped around, found nothing or how many cells it changed. ---
    FindState& Find() { return find_; }
    const FindState& Find() const { return find_; }
    void OpenFindBar();
    void OpenReplaceBar();
    // The current cell moves to the next (previous) matching cell in row order, going on from
    // the other end of the area; with no search text yet, the find bar opens instead.
    void FindNext();
    void FindPrevious();
    // Replaces the matches in the current cell when it matches, then moves to the next match;
    // when it does not match, only moves. Raises Failure, changing nothing, for a replacement
    // that CP932 cannot hold or that holds a CR or 0x1A.
    void ReplaceCurrent();
    // Replaces the matches in every cell of the area; returns the count of cells changed.
    std::size_t ReplaceAll();
    // What the find bar shows of the matches now.
    std::string FindCountText() const { return MatchCountText(find_, grid_); }

    // --- Sorting (main_form_sort.cpp): the data rows by the current column; the row labels and
    // the item names stay. One step of the undo history. ---
    void SortAscending();
    void SortDescending();

    // --- Commands of the menus and the toolbar (their table: app/main_commands.cpp) that have no
    // operation of their own above ---
    // Shows the title list window without waiting, in front.
    void ShowTitleList();
    // The help viewer on its contents (the menu item) or on its finder (the toolbar button).
    void ShowHelpContents();
    void ShowHelpFinder();
    void ShowAbout();
    // Closes the main window; the title list window stays as it is.
    void Exit();
    // Closes the title list window first, storing its place even when it is hidden, then the
    // main window. A failure to store the place stops it before anything closes.
    void CloseTitleListAndExit();
    // An empty row before or after the current row; the last deleted row over the current row.
    void InsertRowBefore();
    void InsertRowAfter();
    void PasteDeletedRow();
    // The match count dialog and the item name dialog, modal.
    void OpenMatchCountDialog();
    void OpenItemNameDialog();
    void OpenGoToRowDialog();

    // --- The clipboard and the selected cells (main_form_clipboard.cpp) ---
    // The selected range (or the current cell) as the spreadsheets' tab-separated text.
    void CopySelection();
    // Copies, then empties the selected cells as ClearSelection does.
    void CutSelection();
    // Pastes the clipboard's tab-separated text with its top-left at the current cell (in
    // column 1 when the current cell is in column 0, the row labels), adding rows and columns
    // as needed; the pasted block is selected afterwards. All or nothing: a character CP932
    // cannot hold is named, with its row and column, and nothing changes.
    void PasteClipboard();
    // Empties the selected cells; column 0, the row labels, stays.
    void ClearSelection();

private:
    class ChangeScope;
    struct CellEdit {
        GridCell cell;
        std::string before;
        std::string after;
    };

    // TableGridObserver: the user's changes made in the grid view.
    void CellChanged(int32_t col, int32_t row) override;
    void RowMoved(int32_t from, int32_t to) override;
    void ColumnMoved(int32_t from, int32_t to) override;
    void SizeChanged(Axis axis, int32_t index, int32_t previous) override;

    bool ConfirmReplacing(const std::string& path);
    // Raises Failure for a file name the title list's file cannot hold, before anything is
    // written.
    void RefuseNameTheHistoryCannotHold(const std::string& path);
    EditTarget Target() { return EditTarget{grid_, buffer_, title_}; }
    void Record(std::unique_ptr<TableChange> change);
    bool HasTyped() const;
    void FlushCellEdit();
    void ReopenCellEdit();
    void EditStateChanged();
    enum class AskReason { Replacing, Closing };
    bool AskToSave(AskReason reason);
    void RestoreRecoveryCopy(LeftCopy& copy);
    void ImportFileThroughDialog(const std::string& path);
    void WriteDelimitedFile(const std::string& path, const ExportSettings& settings);
    std::optional<CellMatcher> MatcherForCommand(FindBarFocus barFocus);
    void FindFrom(SearchDirection direction);
    void SortRowsBy(SortOrder order);

    WindowSystem& windows_;
    StoreLocations stores_;
    std::string decimalSeparator_;
    TitleListForm* titleList_ = nullptr;

    TableGrid grid_;
    TableGrid buffer_;
    std::string title_;
    TitleList titles_;

    std::string curFileName_;
    bool loadRequest_ = false;
    std::optional<std::string> pendingLoadPath_;
    bool firstActivate_ = true;
    std::string openDialogFileName_;
    std::string saveDialogFileName_;

    EditHistory history_;
    FindState find_;
    // The program itself is changing the table: grid notifications are not the user's.
    bool changing_ = false;
    std::optional<CellEdit> cellEdit_;  // while the in-place editor is open
    bool titleTyping_ = false;          // the last step is the title being typed
    bool dropConfirmed_ = false;        // the user said No to saving before closing
    // After the grid: it watches the grid, and goes first.
    std::unique_ptr<RecoveryKeeper> recovery_;
    // The CSV/TSV dialogs open as last confirmed in this run.
    std::string importDialogFileName_;
    std::string exportDialogFileName_;
    std::string pdfDialogFileName_;
    ExportSettings exportSettings_;
};

}  // namespace qv
