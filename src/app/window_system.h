#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/delimited_file_settings.h"
#include "app/progress_monitor.h"
#include "table/window_geometry.h"
#include "tools/duplicate_rows.h"
#include "tools/multi_key_sort.h"
#include "tools/split_join.h"
#include "view/print_layout.h"

namespace qv {

struct FileFilter {
    std::string name;     // shown, e.g. "Quorvaneの表データ(*.qvd)"
    std::string pattern;  // e.g. "*.qvd"; "*.*" shows every file
};

// What an open or save dialog shows. Texts are UTF-8; the file name is a path as the file
// system spells it.
struct FileDialogRequest {
    std::string title;
    std::vector<FileFilter> filters;
    int selectedFilter = 0;
    std::string fileName;
    bool confirmOverwrite = false;  // save dialog: ask before replacing an existing file
};

enum class MessageKind { Warning, Error, Information, Confirmation };

// The buttons of the message dialog, in the order they stand in it.
enum class MessageButton : uint16_t {
    None = 0,
    Yes = 1 << 0,
    No = 1 << 1,
    OK = 1 << 2,
    Cancel = 1 << 3,
    Abort = 1 << 4,
    Retry = 1 << 5,
    Ignore = 1 << 6,
    All = 1 << 7,
    Help = 1 << 8,
};
using MessageButtons = uint16_t;
constexpr MessageButtons operator|(MessageButton a, MessageButton b) {
    return static_cast<MessageButtons>(static_cast<uint16_t>(a) | static_cast<uint16_t>(b));
}
constexpr MessageButtons operator|(MessageButtons a, MessageButton b) {
    return static_cast<MessageButtons>(a | static_cast<uint16_t>(b));
}
constexpr MessageButtons Buttons(MessageButton b) {
    return static_cast<MessageButtons>(b);
}

class TableGrid;

// What the print preview, the printer and the PDF work on: the table as it stands, its title
// and the data rows the selection covers, with the choices to start from.
struct PrintJob {
    const TableGrid* grid = nullptr;
    std::string title;  // CP932 bytes
    int32_t selectionFirstRow = 1;
    int32_t selectionEndRow = 1;
    std::optional<std::vector<int32_t>> shownRows;  // the data rows a filter shows, if one is on
    PrintChoices choices;
};
enum class PrintTarget { Printer, PdfFile };
enum class PreviewResult { Closed, Confirmed };
struct PreviewAnswer {
    PrintChoices choices;  // as the user left them, to be remembered
    PreviewResult result = PreviewResult::Closed;
};

enum class HelpPage { Contents, Search };

// What the sort dialog offers: the data columns' item names (UTF-8, column 1 first) and the
// column its first key starts on.
struct SortDialogRequest {
    std::vector<std::string> itemNames;
    int32_t currentCol = 1;
};

// The separator dialog of splitting a column and of joining columns: which it serves, and the
// first rows' cells (CP932 bytes; one per row for a split, the joined columns' for a join) for
// its preview. It answers with the separator (UTF-8) and, for a split, where to split.
enum class SeparatorUse { Split, Join };
struct SeparatorRequest {
    SeparatorUse use = SeparatorUse::Split;
    std::vector<std::vector<std::string>> previewRows;
};
struct SeparatorChoice {
    std::string separator;
    SplitAt at = SplitAt::EverySeparator;
};

// What the remove-duplicates dialog answers: the grid columns whose cells make a row's key, and
// how they are compared.
struct DuplicateRowsChoice {
    std::vector<int32_t> keyCols;
    KeyComparison comparison = KeyComparison::Exact;
};

class CompareSession;
// What the compare dialog asks: how the rows of the other table pair with the current one's.
struct CompareDialogRequest {
    std::string otherName;               // the other file's name (UTF-8)
    std::vector<std::string> itemNames;  // the current table's data columns (UTF-8), from 1
};
struct CompareSettings {
    std::vector<int32_t> keyColumns;  // the current table's key columns; none: by position
};

// Where the find bar puts the focus when it opens: its search box, or its replacement box.
enum class FindBarFocus { SearchText, Replacement };

// Everything the program's logic needs from the windowing system. The Qt windows implement it;
// tests use a scripted fake. Texts given here are UTF-8.
class WindowSystem {
public:
    virtual ~WindowSystem() = default;

    // The open and save dialogs: the full path confirmed, or nothing when cancelled.
    virtual std::optional<std::string> RunOpenDialog(const FileDialogRequest& request) = 0;
    virtual std::optional<std::string> RunSaveDialog(const FileDialogRequest& request) = 0;

    // The modal message dialog; returns the button pressed (Cancel for the close box).
    virtual MessageButton ShowMessage(std::string_view text, MessageKind kind,
                                      MessageButtons buttons) = 0;

    // Outer place and size of the main window and of the title list window.
    virtual WindowGeometry MainWindowGeometry() const = 0;
    virtual void SetMainWindowGeometry(const WindowGeometry& geometry) = 0;
    virtual WindowGeometry TitleListWindowGeometry() const = 0;
    virtual void SetTitleListWindowGeometry(const WindowGeometry& geometry) = 0;

    // Shows the title list window without waiting, in front; only raises it when shown.
    virtual void ShowTitleListWindow() = 0;
    // Hides the title list window (its closing logic has already run).
    virtual void HideTitleListWindow() = 0;
    // Closes the main window as its close box would (the close logic runs, and may refuse).
    virtual void CloseMainWindow() = 0;

    // Queues `task` to run on the window's thread once the events before it are handled. May be
    // called from any thread.
    virtual void PostToWindowThread(std::function<void()> task) = 0;

    // Modal windows; each returns when closed.
    virtual void ShowAboutBox() = 0;
    // The item name dialog, its box filled with `shown` (CP932): the name confirmed with OK
    // (CP932), or nothing on Cancel.
    virtual std::optional<std::string> AskItemName(const std::string& shown) = 0;
    // The match count dialog: each OK hands the typed text (CP932) to `count`, whose report
    // shows over the dialog before it closes.
    virtual void ShowMatchCountDialog(const std::function<void(const std::string&)>& count) = 0;
    // The go-to-row dialog: each OK hands the typed text (UTF-8) to `go`; the dialog closes when
    // it answers true and stays open, for the text to be mended, when it answers false.
    virtual void ShowGoToRowDialog(const std::function<bool(const std::string&)>& go) = 0;

    // The help viewer on the program's help file.
    virtual void ShowHelp(HelpPage command) = 0;

    // Moves the file (a file system path) to the desktop's trash, from where the user can
    // restore it. Returns false, leaving the file where it was, when there is no trash for it.
    virtual bool MoveToTrash(const std::string& path) = 0;

    // The logic changed the title or the title list: show them again.
    virtual void TitleChanged() = 0;
    virtual void TitleListChanged() = 0;
    // The modified mark, or what can be undone or redone, may have changed.
    virtual void EditStateChanged() {}

    // The system clipboard's text in UTF-8 (empty when it holds no text), and setting it. The
    // defaults keep the text here, for window systems without a clipboard.
    virtual std::string ClipboardText() { return clipboard_; }
    virtual void SetClipboardText(std::string utf8) { clipboard_ = std::move(utf8); }
    // The find bar, shown (or brought forward) with the focus in the box asked for.
    virtual void ShowFindBar(FindBarFocus /*focus*/) {}
    // Opens the filter bar above the grid (see FilterCommands).
    virtual void ShowFilterBar() {}
    // A short note (UTF-8) in the status bar, shown for a while or until the next; empty clears it.
    virtual void ShowStatusNote(std::string_view /*note*/) {}

    // A long load or save is starting; `title` (UTF-8) names it. The monitor hears its progress
    // and ends with it. Nothing (the default) when the window system shows no progress.
    virtual std::unique_ptr<ProgressMonitor> StartProgress(std::string_view /*title*/,
                                                           ProgressKind /*kind*/) {
        return nullptr;
    }

    // The CSV/TSV import dialog (the detected settings, changeable, with a preview of the
    // file's first rows) and the export dialog (format and encoding): the settings confirmed,
    // or nothing when cancelled (the default).
    virtual std::optional<ImportSettings> RunImportDialog(const ImportDialogRequest& /*request*/) {
        return std::nullopt;
    }
    virtual std::optional<ExportSettings> RunExportDialog(const ExportSettings& /*offered*/) {
        return std::nullopt;
    }

    // The remove-duplicates dialog, listing the data columns by their item names (UTF-8), all
    // checked at first: the choice confirmed, or nothing when cancelled (the default).
    virtual std::optional<DuplicateRowsChoice> RunDuplicateRowsDialog(
        const std::vector<std::string>& /*itemNames*/) {
        return std::nullopt;
    }

    // The separator dialog: the choice confirmed, or nothing when cancelled (the default).
    virtual std::optional<SeparatorChoice> RunSeparatorDialog(const SeparatorRequest& /*request*/) {
        return std::nullopt;
    }

    // The print preview with its page setup; Confirmed when the user asked to print (or to
    // write the PDF). The default closes at once.
    virtual PreviewAnswer RunPrintPreview(const PrintJob& job, PrintTarget /*target*/) {
        return {job.choices, PreviewResult::Closed};
    }
    // The sort dialog: up to three keys, or nothing when cancelled (the default).
    virtual std::optional<std::vector<SortKey>> RunSortDialog(
        const SortDialogRequest& /*request*/) {
        return std::nullopt;
    }
    // Prints the pages on a printer the user picks in the system's print dialog.
    virtual void PrintPages(const PrintJob& /*job*/) {}
    // Writes the pages as a PDF file, atomically, with progress and cancel; false when the user
    // cancelled (the old file, if any, stays). Raises Failure when it cannot be written.
    virtual bool WritePdf(const PrintJob& /*job*/, const std::string& /*path*/) { return false; }

    // The compare dialog: the pairing chosen, or nothing when cancelled (the default).
    virtual std::optional<CompareSettings> RunCompareDialog(
        const CompareDialogRequest& /*request*/) {
        return std::nullopt;
    }
    // Shows the compare window on `session` without waiting, in front; nullptr: the session
    // shown so far is about to end, the window must let go of it.
    virtual void ShowCompareWindow(CompareSession* /*session*/) {}

private:
    std::string clipboard_;
};

}  // namespace qv
