// bench_table DATA_FOLDER: the table of figures printed by `make bench`. For each generated table
// (table-10000.qvd, table-100000.qvd, table-1000000.qvd in DATA_FOLDER) it measures loading,
// saving, the peak memory of a process that has loaded it, the column tools and the editing
// commands; then, when the windows are built, painting the grid view and the program's start-up
// (bench_paint and bench_startup beside this program). Every figure stands beside a floor
// measured in the same run on the same data, and the ratio between them is what the goals judge.
//
// A wide table (table-wide-1000000.qvd: one row of item names in 1,000,000 columns) shows what
// a column costs: the peak memory after loading it beside the file's size.
//
// bench_table --peak-memory FILE: the child process that loads FILE and prints its peak resident
// memory before and after.
//
// bench_table --cells FILE: the figures of one table that read its cells, on one line.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <sys/stat.h>

#include "app/main_form.h"
#include "app/status_texts.h"
#include "app/window_system.h"
#include "bench_clipboard.h"
#include "bench_compare.h"
#include "bench_filter.h"
#include "bench_floors.h"
#include "bench_harness.h"
#include "bench_interchange.h"
#include "bench_japanese.h"
#include "bench_lists.h"
#include "platform/cp932.h"
#include "platform/files.h"
#include "table/cell_text_list.h"
#include "table/main_table_shape.h"
#include "table/table_file_reader.h"
#include "table/table_file_writer.h"
#include "tools/cell_pattern.h"
#include "tools/cell_replace.h"
#include "tools/cell_search.h"
#include "tools/column_statistics.h"
#include "tools/match_count.h"
#include "tools/row_sort.h"
#include "tools/selection_figures.h"
#include "tools/statistics_number.h"

namespace qv::bench {

namespace {

constexpr int32_t kTableSizes[] = {10'000, 100'000, 1'000'000};
constexpr int32_t kFlatBaseRows = 10'000;
constexpr int32_t kHugeRowCount = 10'000'000;
// The columns the tools run on: 単価 (yen amounts) and 備考 (remarks).
constexpr int32_t kStatisticsColumn = 4;
constexpr int32_t kMatchColumn = 7;
// Sorted by: 単価 (yen amounts, numbers) and 品名 (words in kana and kanji).
constexpr int32_t kNumberSortColumn = 4;
constexpr int32_t kTextSortColumn = 1;
// Found once, in the last row; and found in many cells, some of them only as a second byte.
constexpr std::string_view kRareText = "ZQX";
constexpr std::string_view kCommonText = "\x5C";
constexpr double kEditingGoalMs = 10.0;
constexpr double kClearAllGoalMs = 1.0;  // undo and redo of clear all, at any size
// The peak memory after a load, beside the file's size: a table of 8 columns, one of a row only.
constexpr double kLoadedMemoryGoal = 1.4;
constexpr double kWideMemoryGoal = 4.0;

// A window system that shows nothing and answers nothing: the commands run as they would in the
// program, without windows.
class SilentWindowSystem final : public WindowSystem {
public:
    std::optional<std::string> RunOpenDialog(const FileDialogRequest&) override { return {}; }
    std::optional<std::string> RunSaveDialog(const FileDialogRequest&) override { return {}; }
    MessageButton ShowMessage(std::string_view, MessageKind, MessageButtons) override {
        return MessageButton::OK;
    }
    WindowGeometry MainWindowGeometry() const override { return geometry_; }
    void SetMainWindowGeometry(const WindowGeometry& geometry) override { geometry_ = geometry; }
    WindowGeometry TitleListWindowGeometry() const override { return {}; }
    void SetTitleListWindowGeometry(const WindowGeometry&) override {}
    void ShowTitleListWindow() override {}
    void HideTitleListWindow() override {}
    void CloseMainWindow() override {}
    void ShowAboutBox() override {}
    void PostToWindowThread(std::function<void()>) override {}
    std::optional<std::string> AskItemName(const std::string&) override { return std::nullopt; }
    void ShowMatchCountDialog(const std::function<void(const std::string&)>&) override {}
    void ShowGoToRowDialog(const std::function<bool(const std::string&)>&) override {}
    void ShowHelp(HelpPage) override {}
    bool MoveToTrash(const std::string&) override { return false; }
    void TitleChanged() override {}
    void TitleListChanged() override {}

private:
    WindowGeometry geometry_{};
};

uint64_t FileSize(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 ? static_cast<uint64_t>(info.st_size) : 0;
}

std::string TableSize(int32_t rows) {
    return WithCommas(rows) + " x 8";
}

// How often each measurement runs; the best run counts.
int Runs(int32_t rows, int smallRuns) {
    return rows >= 1'000'000 ? 5 : rows >= 100'000 ? std::max(5, smallRuns / 3) : smallRuns;
}

struct TableFigures {
    int32_t rows = 0;
    uint64_t fileBytes = 0;
    double loadMs = 0, readSplitMs = 0, readSplitCopyMs = 0;
    double saveMs = 0, writeMs = 0, saveEditedMs = 0;
    uint64_t peakBytes = 0, baselineBytes = 0;
    double statisticsMs = 0, bareStatisticsMs = 0;
    double matchMs = 0, bareMatchMs = 0;
    double insertMs = 0, deleteMs = 0, renumberMs = 0, rowCountMs = 0;
    InterchangeFigures csv;
    std::optional<ClipboardFigures> clipboard;  // 100,000 rows of the largest table
    std::optional<ListFigures> lists;           // the largest table
    FilterFigures filter;
    double findNextMs = 0, countMs = 0, bareFindMs = 0, bareCountMs = 0, looseCountMs = 0;
    double sortNumbersMs = 0, sortTextsMs = 0, bareSortNumbersMs = 0, bareSortTextsMs = 0;
    double unsortMs = 0, bareUnsortMs = 0, replaceAllMs = 0, replacedCells = 0;
    JapaneseFigures japanese;
    double selectionMs = 0;
    // Undo and redo of a command, each timed right after the command (or its undo).
    double undoClearMs = 0, redoClearMs = 0, undoDeleteColumnMs = 0, redoDeleteColumnMs = 0;
    double undoInsertMs = 0, redoInsertMs = 0, undoDeleteMs = 0, redoDeleteMs = 0;
    uint64_t historyBytes = 0;
    std::size_t historySteps = 0;
    double recoveryEditedMs = 0, recoveryMovedMs = 0;
};

void MeasureLoad(const std::string& path, TableFigures& f) {
    const int runs = Runs(f.rows, 15);
    f.loadMs = f.readSplitMs = f.readSplitCopyMs = 1e300;
    // The figure and its floors take turns, so that a busy moment of the machine hits all.
    for (int i = 0; i < runs; ++i) {
        auto grid = std::make_unique<TableGrid>(kMainTableShape);
        std::string title;
        f.loadMs = std::min(f.loadMs, BestOf(1, [&] {
                                std::optional<TableFileContent> content = ReadTableFile(path);
                                ApplyTableFile(std::move(*content), *grid, title);
                            }));
        grid.reset();
        f.readSplitMs = std::min(f.readSplitMs, BestOf(1, [&] { ReadAndSplit(path); }));
        std::vector<std::string> lines;
        f.readSplitCopyMs =
            std::min(f.readSplitCopyMs, BestOf(1, [&] { ReadSplitCopy(path, lines); }));
    }
}

void MeasureSave(MainForm& form, const std::string& folder, TableFigures& f) {
    const int runs = Runs(f.rows, 10);
    const std::string target = folder + "/saved.qvd";
    const std::string floorTarget = folder + "/written.qvd";
    // The save command as the user runs it.
    form.SetCurFileName(target);
    form.Files().SaveFile();
    const std::string bytes = ReadWholeFile(target);
    f.saveMs = f.writeMs = f.saveEditedMs = 1e300;
    for (int i = 0; i < runs; ++i) {
        f.saveMs = std::min(f.saveMs, BestOf(1, [&] { form.Files().SaveFile(); }));
        f.writeMs = std::min(f.writeMs, BestOf(1, [&] { WriteAndRename(floorTarget, bytes); }));
    }
    // The usual case: a cell changed in the middle of a loaded table, the same size when saved.
    TableGrid& grid = form.Document().UnrecordedTable();
    const GridCell middle{3, grid.RowCount() / 2};
    const std::string text = grid.CellText(middle.col, middle.row);
    std::string edited = text;
    std::reverse(edited.begin(), edited.end());
    grid.SetCell(middle.col, middle.row, edited);
    for (int i = 0; i < runs; ++i) {
        f.saveEditedMs = std::min(f.saveEditedMs, BestOf(1, [&] { form.Files().SaveFile(); }));
    }
    grid.SetCell(middle.col, middle.row, text);
    DeleteFileQuietly(target);
    DeleteFileQuietly(floorTarget);
}

// The longest the window waits when the recovery copy is brought up to date (its pieces are
// built in slices; the writer's thread writes them): after one cell was edited, and after a
// column move, when no line of the loaded file can be left in place and every cell is copied.
double LongestRecoverySlice(MainForm& form, int runs, const std::function<void()>& edit) {
    double longest = 0;
    for (int i = 0; i < runs; ++i) {
        form.Files().WaitForRecoveryCopy();
        edit();
        bool more = true;
        while (more) {
            longest =
                std::max(longest, BestOf(1, [&] { more = form.Files().WriteRecoveryCopyIfDue(); }));
        }
    }
    return longest;
}

void MeasureRecovery(MainForm& form, const std::string& folder, TableFigures& f) {
    const int runs = Runs(f.rows, 10);
    form.Files().StartRecovery(folder + "/state");
    TableGrid& grid = form.Document().UnrecordedTable();
    const GridCell middle{3, grid.RowCount() / 2};
    const std::string text = grid.CellText(middle.col, middle.row);
    int edits = 0;
    const auto edit = [&] { grid.SetCell(middle.col, middle.row, text + std::to_string(++edits)); };
    f.recoveryEditedMs = LongestRecoverySlice(form, runs, edit);
    form.Input().MoveColumn(1, 2);
    f.recoveryMovedMs = LongestRecoverySlice(form, runs, edit);
    form.Input().MoveColumn(2, 1);
    grid.SetCell(middle.col, middle.row, text);
    form.Files().WaitForRecoveryCopy();
    form.Files().DropRecoveryCopy();
    form.Files().WaitForRecoveryCopy();
}

std::vector<std::string_view> ColumnTexts(const TableGrid& grid, int32_t col) {
    std::vector<std::string_view> texts;
    grid.VisitColumn(col, 1, grid.RowCount(), [&texts](std::string_view t) { texts.push_back(t); });
    return texts;
}

void MeasureTools(const TableGrid& grid, TableFigures& f) {
    const int runs = Runs(f.rows, 30);
    const std::vector<std::string_view> amounts = ColumnTexts(grid, kStatisticsColumn);
    ColumnStatistics stats;
    BareStatistics bare;
    f.statisticsMs = BestOf(runs, [&] { stats = CalcColumnStatistics(grid, kStatisticsColumn); });
    f.bareStatisticsMs = BestOf(runs, [&] { bare = BareStatisticsLoop(amounts); });
    if (stats.numberCount != bare.numbers || stats.sum != bare.sum) {
        std::fprintf(stderr, "warning: the statistics and their floor disagree\n");
    }
    const std::string wanted = Utf8ToCp932("済").value();
    const std::vector<std::string_view> remarks = ColumnTexts(grid, kMatchColumn);
    int32_t matches = 0;
    int64_t bareMatches = 0;
    f.matchMs = BestOf(runs, [&] { matches = CountMatchingCells(grid, kMatchColumn, wanted); });
    f.bareMatchMs = BestOf(runs, [&] { bareMatches = BareMatchLoop(remarks, wanted); });
    if (matches != bareMatches) {
        std::fprintf(stderr, "warning: the match count and its floor disagree\n");
    }
}

void MeasureEditing(MainForm& form, TableFigures& f) {
    TableGrid& grid = form.Document().UnrecordedTable();
    grid.SetCurrentCell(GridCell{1, 1});
    constexpr int kRuns = 30;
    f.insertMs = f.deleteMs = 1e300;
    for (int i = 0; i < kRuns; ++i) {
        double start = NowMs();
        form.Rows().InsertRowBefore();  // insert before the current row, row 1
        f.insertMs = std::min(f.insertMs, NowMs() - start);
        start = NowMs();
        form.Rows().DeleteRow();
        f.deleteMs = std::min(f.deleteMs, NowMs() - start);
    }
    // These take well under a microsecond: timed in batches, so that the clock's own cost
    // does not count.
    constexpr int kBatch = 100;
    f.renumberMs = BestOf(kRuns,
                          [&] {
                              for (int i = 0; i < kBatch; ++i) {
                                  form.Rows().RenumberRows();
                              }
                          }) /
                   kBatch;
    const int32_t rows = grid.RowCount();
    f.rowCountMs = BestOf(kRuns,
                          [&] {
                              for (int i = 0; i < kBatch; ++i) {
                                  grid.SetRowCount(kHugeRowCount);
                                  grid.SetRowCount(rows);
                              }
                          }) /
                   kBatch;
}

// Find-next across the whole table to its last row, and counting matches, beside memmem over
// the same cells.
void MeasureFind(TableGrid& grid, TableFigures& f) {
    const int runs = Runs(f.rows, 30);
    const int32_t last = grid.RowCount() - 1;
    const std::string saved = grid.CellText(kMatchColumn, last);
    grid.SetCell(kMatchColumn, last, std::string(kRareText));
    std::vector<std::string_view> texts;
    for (int32_t col = 1; col < grid.ColCount(); ++col) {
        grid.VisitColumn(col, 1, grid.RowCount(),
                         [&texts](std::string_view t) { texts.push_back(t); });
    }
    const CellMatcher rare(kRareText, {});
    const CellMatcher common(kCommonText, {});
    std::optional<FoundCell> found;
    int64_t count = 0;
    int64_t bare = 0;
    f.findNextMs = BestOf(runs, [&] {
        found = FindNextCell(grid, rare, WholeTableArea(grid), {1, 1}, SearchDirection::Forward);
    });
    f.bareFindMs = BestOf(runs, [&] { bare = BareMemmemLoop(texts, kRareText); });
    if (!found || found->cell.row != last || bare != 1) {
        std::fprintf(stderr, "warning: find-next missed the last row\n");
    }
    f.countMs =
        BestOf(runs, [&] { count = CountMatchingCellsIn(grid, common, WholeTableArea(grid)); });
    f.bareCountMs = BestOf(runs, [&] { bare = BareMemmemLoop(texts, kCommonText); });
    if (count > bare || count == 0) {
        std::fprintf(stderr, "warning: the match count and memmem disagree\n");
    }
    // The same count, loose: width, kana and case folded ("\" also finds "￥").
    const std::optional<CellPattern> loose =
        CellPattern::FromUtf8("\\", PatternOptions{PatternSyntax::Loose});
    int64_t looseCount = 0;
    f.looseCountMs = BestOf(
        runs, [&] { looseCount = CountMatchingCellsIn(grid, *loose, WholeTableArea(grid)); });
    if (looseCount < count) {
        std::fprintf(stderr, "warning: the loose count found fewer cells than the exact one\n");
    }
    grid.SetCell(kMatchColumn, last, saved);
}

// What the sort floors sort: each data row's key with its row, the number column read as the
// statistics read it.
std::vector<std::pair<double, int32_t>> NumberSortKeys(const TableGrid& grid) {
    std::vector<std::pair<double, int32_t>> keys;
    std::string buffer;
    int32_t row = 1;
    grid.VisitColumn(kNumberSortColumn, 1, grid.RowCount(), [&](std::string_view t) {
        double value = 0;
        ReadCellNumber(t, buffer, value);
        keys.emplace_back(value, row++);
    });
    return keys;
}

std::vector<std::pair<std::string_view, int32_t>> TextSortKeys(const TableGrid& grid) {
    std::vector<std::pair<std::string_view, int32_t>> keys;
    int32_t row = 1;
    grid.VisitColumn(kTextSortColumn, 1, grid.RowCount(),
                     [&](std::string_view t) { keys.emplace_back(t, row++); });
    return keys;
}

// Sorting by a column, beside std::stable_sort of the column's (key, row) pairs; and undoing
// the sort command's step of the undo history, as Ctrl+Z does.
void MeasureSort(MainForm& form, TableFigures& f) {
    TableGrid& grid = form.Document().UnrecordedTable();
    const int runs = Runs(f.rows, 10);
    const std::vector<std::pair<double, int32_t>> numbers = NumberSortKeys(grid);
    const std::vector<std::pair<std::string_view, int32_t>> texts = TextSortKeys(grid);
    std::vector<std::pair<double, int32_t>> numbersToSort;
    std::vector<std::pair<std::string_view, int32_t>> textsToSort;
    f.bareSortNumbersMs = BestOf(
        runs, [&] { numbersToSort = numbers; }, [&] { StableSortPairs(numbersToSort); });
    f.bareSortTextsMs = BestOf(
        runs, [&] { textsToSort = texts; }, [&] { StableSortPairs(textsToSort); });
    RowOrder order;
    const auto undo = [&] {
        if (!order.sources.empty()) {
            ApplyRowOrder(grid, InverseRowOrder(order));
            order = {};
        }
    };
    f.sortNumbersMs = BestOf(
        runs, undo, [&] { order = SortRows(grid, kNumberSortColumn, SortOrder::Ascending); });
    f.sortTextsMs =
        BestOf(runs, undo, [&] { order = SortRows(grid, kTextSortColumn, SortOrder::Descending); });
    undo();
    // The step's undo beside the rows' moving back alone, taking turns.
    f.unsortMs = f.bareUnsortMs = 1e300;
    grid.SetCurrentCell(GridCell{kNumberSortColumn, 1});
    const std::string first = grid.CellText(kNumberSortColumn, 1);
    for (int i = 0; i < runs; ++i) {
        form.Sorting().SortDescending();
        f.unsortMs = std::min(f.unsortMs, BestOf(1, [&] { form.Undo(); }));
        order = SortRows(grid, kNumberSortColumn, SortOrder::Descending);
        const RowOrder inverse = InverseRowOrder(order);
        f.bareUnsortMs = std::min(f.bareUnsortMs, BestOf(1, [&] { ApplyRowOrder(grid, inverse); }));
        order = {};
    }
    if (grid.CellText(kNumberSortColumn, 1) != first || !form.Document().CanRedo()) {
        std::fprintf(stderr, "warning: undoing the sort left the table changed\n");
    }
}

// Replace-all over a whole column of yen amounts, and the status bar's texts while a whole column
// is selected: the current cell's place and the selection's figures.
void MeasureReplaceAndSelection(TableGrid& grid, TableFigures& f) {
    const int runs = Runs(f.rows, 10);
    const CellMatcher yen(kCommonText, {});
    CellTextList changes;
    const auto undo = [&] {
        grid.ExchangeCellTexts(changes);
        changes.Clear();
    };
    f.replaceAllMs = BestOf(runs, undo, [&] {
        changes = ReplaceInCells(grid, yen, ColumnArea(grid, kStatisticsColumn), "Y");
    });
    f.replacedCells = static_cast<double>(changes.Size());
    undo();
    grid.SetCurrentCell(GridCell{kStatisticsColumn, 1});
    grid.SetCurrentCell(GridCell{kStatisticsColumn, grid.RowCount() - 1},
                        TableGrid::Selection::Extend);
    std::string status;
    f.selectionMs = BestOf(Runs(f.rows, 30), [&] {
        status = PositionStatusText(grid) + SelectionStatusText(grid, ".");
    });
    const SelectionFigures figures =
        CalcSelectionFigures(grid, kStatisticsColumn, kStatisticsColumn + 1, 1, grid.RowCount());
    if (status.find("数値 " + GroupedNumber(figures.numberCount)) == std::string::npos ||
        figures.numberCount != CalcColumnStatistics(grid, kStatisticsColumn).numberCount) {
        std::fprintf(stderr, "warning: the selection figures and the statistics disagree\n");
    }
}

// Runs the command, then times its undo and its redo; a last undo leaves the table as it was.
void MeasureUndoRedo(MainForm& form, void (RowCommands::*command)(), double& undoMs,
                     double& redoMs) {
    constexpr int kRuns = 10;
    undoMs = redoMs = 1e300;
    for (int i = 0; i < kRuns; ++i) {
        (form.Rows().*command)();
        double start = NowMs();
        form.Undo();
        undoMs = std::min(undoMs, NowMs() - start);
        start = NowMs();
        form.Redo();
        redoMs = std::min(redoMs, NowMs() - start);
        form.Undo();
    }
}

void MeasureUndo(MainForm& form, TableFigures& f) {
    form.Document().UnrecordedTable().SetCurrentCell(GridCell{1, 1});
    MeasureUndoRedo(form, &RowCommands::ClearAll, f.undoClearMs, f.redoClearMs);
    MeasureUndoRedo(form, &RowCommands::DeleteColumn, f.undoDeleteColumnMs, f.redoDeleteColumnMs);
    MeasureUndoRedo(form, &RowCommands::InsertRowBefore, f.undoInsertMs, f.redoInsertMs);
    MeasureUndoRedo(form, &RowCommands::DeleteRow, f.undoDeleteMs, f.redoDeleteMs);
}

// The undo history's memory after 1,000 edits of every kind, as a user makes them.
void MeasureHistoryMemory(MainForm& form, TableFigures& f) {
    TableGrid& grid = form.Document().UnrecordedTable();
    uint32_t seed = 12345;
    const auto pick = [&seed](int32_t n) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int32_t>((seed >> 8) % static_cast<uint32_t>(n));
    };
    for (int edit = 0; edit < 1000; ++edit) {
        grid.SetCurrentCell(GridCell{1 + pick(grid.ColCount() - 1), 1 + pick(grid.RowCount() - 1)});
        switch (pick(100)) {
            case 0:
                form.Rows().ClearAll();
                break;
            case 1:
            case 2:
                form.Rows().AddColumn();
                break;
            case 3:
            case 4:
                form.Rows().DeleteColumn();
                break;
            case 5:
            case 6:
            case 7:
                form.SetEditTitle("title " + std::to_string(edit));
                break;
            case 8:
            case 9:
            case 10:
                form.Tools().SetItemName("item " + std::to_string(edit));
                break;
            case 11:
            case 12:
            case 13:
            case 14:
            case 15:
                form.Rows().InsertRowAfter();
                break;
            case 16:
            case 17:
            case 18:
            case 19:
            case 20:
                form.Rows().DeleteRow();
                break;
            case 21:
            case 22:
            case 23:
                form.Rows().PasteDeletedRow();
                break;
            case 24:
            case 25:
                form.Input().MoveRow(1 + pick(grid.RowCount() - 1), 1 + pick(grid.RowCount() - 1));
                break;
            default:
                form.Input().EditorOpened();
                form.Input().TypeInCurrentCell("typed " + std::to_string(edit));
                form.Input().EditorClosed();
                break;
        }
    }
    f.historyBytes = form.History().Bytes();
    f.historySteps = form.History().Steps();
}

void MeasurePeakMemory(const std::string& path, TableFigures& f) {
    const std::optional<std::string> output =
        RunChild({ProgramFolder() + "/bench_table", "--peak-memory", path});
    if (output) {
        std::istringstream(*output) >> f.baselineBytes >> f.peakBytes;
    }
}

TableFigures MeasureTable(const std::string& folder, int32_t rows) {
    const std::string path = folder + "/table-" + std::to_string(rows) + ".qvd";
    TableFigures f;
    f.rows = rows;
    f.fileBytes = FileSize(path);
    MeasureLoad(path, f);
    MeasurePeakMemory(path, f);
    SilentWindowSystem windows;
    MainForm form(windows, StoreLocations{folder + "/bench.ini", folder + "/bench.hst"}, ".");
    form.Files().RequestLoad(path);
    form.Files().LoadTableFile();
    MeasureSave(form, folder, f);
    f.csv = MeasureInterchange(form.Document().UnrecordedTable(), folder, rows, Runs(rows, 5));
    MeasureTools(form.Document().UnrecordedTable(), f);
    MeasureEditing(form, f);
    MeasureFind(form.Document().UnrecordedTable(), f);
    f.filter = MeasureFilter(form, Runs(rows, 10));
    MeasureSort(form, f);
    f.japanese = MeasureJapanese(form, Runs(rows, 5));
    MeasureReplaceAndSelection(form.Document().UnrecordedTable(), f);
    if (rows == 1'000'000) {
        f.clipboard = MeasureClipboard(form, 100'000, Runs(rows, 5));
    }
    if (rows >= 100'000) {
        f.lists = MeasureLists(form, Runs(rows, 5));
    }
    MeasureUndo(form, f);
    if (rows == 1'000'000) {
        MeasureHistoryMemory(form, f);
    }
    MeasureRecovery(form, folder, f);
    return f;
}

std::string MegabytesPerSecond(uint64_t bytes, double ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%.0f MB/s", static_cast<double>(bytes) / 1e3 / ms);
    return text;
}

std::optional<double> GoalFor(const TableFigures& f, double goal) {
    return f.rows == 1'000'000 ? std::optional<double>(goal) : std::nullopt;
}

// A figure beside its floor.
Figure Compared(std::string what, std::string size, std::string value, std::string floorName,
                double figureMs, double floorMs, std::optional<double> maxRatio) {
    Figure line;
    line.what = std::move(what);
    line.size = std::move(size);
    line.value = std::move(value);
    line.floorName = std::move(floorName);
    line.floorValue = Ms(floorMs);
    line.ratio = figureMs / floorMs;
    line.maxRatio = maxRatio;
    return line;
}

Figure NotMeasured(std::string what, std::string why) {
    Figure line;
    line.what = std::move(what);
    line.note = "not measured: " + std::move(why);
    return line;
}

void ReportLoadAndSave(const std::vector<TableFigures>& all, Report& report) {
    for (const TableFigures& f : all) {
        const std::string size = TableSize(f.rows);
        const std::string value = Ms(f.loadMs) + " " + MegabytesPerSecond(f.fileBytes, f.loadMs);
        report.Add(Compared("load", size, value, "read + split lines (memchr)", f.loadMs,
                            f.readSplitMs, GoalFor(f, 3.0)));
        report.Add(Compared("load", size, value, "read + split + copy to strings", f.loadMs,
                            f.readSplitCopyMs, GoalFor(f, 1.0)));
    }
    for (const TableFigures& f : all) {
        Figure line;
        line.what = "peak memory after load";
        line.size = TableSize(f.rows);
        line.value = Megabytes(f.peakBytes);
        line.floorName = "file size (process at start)";
        line.floorValue = Megabytes(f.fileBytes) + " (" + Megabytes(f.baselineBytes) + ")";
        line.ratio = static_cast<double>(f.peakBytes) / static_cast<double>(f.fileBytes);
        line.maxRatio = GoalFor(f, kLoadedMemoryGoal);
        report.Add(line);
    }
    for (const TableFigures& f : all) {
        report.Add(Compared("save", TableSize(f.rows),
                            Ms(f.saveMs) + " " + MegabytesPerSecond(f.fileBytes, f.saveMs),
                            "write, fsync, rename, fsync folder", f.saveMs, f.writeMs,
                            GoalFor(f, 2.0)));
    }
    for (const TableFigures& f : all) {
        report.Add(Compared("save, one cell edited", TableSize(f.rows), Ms(f.saveEditedMs),
                            "write, fsync, rename, fsync folder", f.saveEditedMs, f.writeMs,
                            GoalFor(f, 2.0)));
    }
}

void ReportInterchange(const std::vector<TableFigures>& all, Report& report) {
    for (const TableFigures& f : all) {
        report.Add(Compared("CSV import (UTF-8)", TableSize(f.rows), Ms(f.csv.importMs),
                            "load of the same table as .qvd", f.csv.importMs, f.csv.loadMs,
                            GoalFor(f, 3.0)));
    }
    for (const TableFigures& f : all) {
        if (f.csv.sqliteMs) {
            report.Add(Compared("CSV import (UTF-8)", TableSize(f.rows), Ms(f.csv.importMs),
                                "sqlite3 .import into memory", f.csv.importMs, *f.csv.sqliteMs,
                                GoalFor(f, 1.0 / 3.0)));
        }
    }
    for (const TableFigures& f : all) {
        report.Add(Compared("CSV export (UTF-8 BOM)", TableSize(f.rows), Ms(f.csv.exportMs),
                            "write, fsync, rename (.qvd)", f.csv.exportMs, f.writeMs,
                            GoalFor(f, 2.0)));
        report.Add(Compared("CSV export (UTF-8 BOM)", TableSize(f.rows), Ms(f.csv.exportMs),
                            "the same of the CSV bytes", f.csv.exportMs, f.csv.writeCsvMs,
                            std::nullopt));
        report.Add(Compared("CSV export (CP932)", TableSize(f.rows), Ms(f.csv.exportCp932Ms),
                            "write, fsync, rename (.qvd)", f.csv.exportCp932Ms, f.writeMs,
                            GoalFor(f, 2.0)));
    }
}

void ReportRecovery(const std::vector<TableFigures>& all, Report& report) {
    for (const auto& [what, figure] :
         {std::pair{"recovery copy: longest wait, one cell edited",
                    &TableFigures::recoveryEditedMs},
          std::pair{"recovery copy: longest wait, column moved", &TableFigures::recoveryMovedMs}}) {
        for (const TableFigures& f : all) {
            Figure line =
                Compared(what, TableSize(f.rows), Ms(f.*figure),
                         "write, fsync, rename, fsync folder", f.*figure, f.writeMs, std::nullopt);
            line.ms = f.*figure;
            if (f.rows == 1'000'000) {
                line.maxMs = 50.0;
            }
            report.Add(line);
        }
    }
}

void ReportTools(const std::vector<TableFigures>& all, Report& report) {
    for (const TableFigures& f : all) {
        report.Add(Compared("statistics (yen column)", TableSize(f.rows), Ms(f.statisticsMs),
                            "strip + from_chars loop", f.statisticsMs, f.bareStatisticsMs,
                            GoalFor(f, 2.0)));
    }
    for (const TableFigures& f : all) {
        report.Add(Compared("match count", TableSize(f.rows), Ms(f.matchMs), "trim + compare loop",
                            f.matchMs, f.bareMatchMs, GoalFor(f, 2.0)));
    }
}

// A figure with a time goal as well as a goal on its ratio (the time goal for the largest table).
Figure Timed(Figure line, const TableFigures& f, double figureMs, double maxMs) {
    if (f.rows == 1'000'000) {
        line.ms = figureMs;
        line.maxMs = maxMs;
    }
    return line;
}

void ReportFindSort(const std::vector<TableFigures>& all, Report& report) {
    for (const TableFigures& f : all) {
        report.Add(Compared("find-next to last row", TableSize(f.rows), Ms(f.findNextMs),
                            "memmem loop over the cells", f.findNextMs, f.bareFindMs,
                            GoalFor(f, 2.0)));
    }
    for (const TableFigures& f : all) {
        report.Add(Compared("count part-of-cell (\\)", TableSize(f.rows), Ms(f.countMs),
                            "memmem loop over the cells", f.countMs, f.bareCountMs,
                            GoalFor(f, 2.0)));
    }
    for (const TableFigures& f : all) {
        report.Add(Compared("count, loose (\\ or ￥)", TableSize(f.rows), Ms(f.looseCountMs),
                            "memmem loop over the cells", f.looseCountMs, f.bareCountMs,
                            GoalFor(f, 3.0)));
    }
    for (const TableFigures& f : all) {
        report.Add(Timed(Compared("sort by numbers", TableSize(f.rows), Ms(f.sortNumbersMs),
                                  "stable_sort of (double, row)", f.sortNumbersMs,
                                  f.bareSortNumbersMs, GoalFor(f, 3.0)),
                         f, f.sortNumbersMs, 1000.0));
    }
    for (const TableFigures& f : all) {
        report.Add(Timed(Compared("sort by texts", TableSize(f.rows), Ms(f.sortTextsMs),
                                  "stable_sort of (text, row)", f.sortTextsMs, f.bareSortTextsMs,
                                  GoalFor(f, 3.0)),
                         f, f.sortTextsMs, 1000.0));
    }
    for (const TableFigures& f : all) {
        const JapaneseFigures& j = f.japanese;
        report.Add(Timed(Compared("sort by reading, first time", TableSize(f.rows),
                                  Ms(j.readingFirstMs), "stable_sort of (collation key, row)",
                                  j.readingFirstMs, j.bareCollationMs, std::nullopt),
                         f, j.readingFirstMs, 5000.0));
        report.Add(Compared("sort by reading, readings known", TableSize(f.rows),
                            Ms(j.readingKnownMs), "stable_sort of (collation key, row)",
                            j.readingKnownMs, j.bareCollationMs, GoalFor(f, 3.0)));
        report.Add(Compared("sort by two keys (number, text)", TableSize(f.rows), Ms(j.twoKeysMs),
                            "stable_sort of the extracted keys", j.twoKeysMs, j.bareTwoKeysMs,
                            GoalFor(f, 3.0)));
        Figure line;
        line.what = "convert a column (半角カナ→全角カナ)";
        line.size = TableSize(f.rows);
        line.value =
            Ms(j.convertMs) + " " + WithCommas(static_cast<int64_t>(j.convertedCells)) + " cells";
        report.Add(Timed(line, f, j.convertMs, 500.0));
    }
    for (const TableFigures& f : all) {
        report.Add(
            Timed(Compared("undo a sort (Ctrl+Z)", TableSize(f.rows), Ms(f.unsortMs),
                           "the rows moved back alone", f.unsortMs, f.bareUnsortMs, std::nullopt),
                  f, f.unsortMs, 50.0));
    }
    for (const TableFigures& f : all) {
        Figure line;
        line.what = "replace-all";
        line.size = TableSize(f.rows);
        line.value =
            Ms(f.replaceAllMs) + " " + WithCommas(static_cast<int64_t>(f.replacedCells)) + " cells";
        report.Add(Timed(line, f, f.replaceAllMs, 1000.0));
    }
    for (const TableFigures& f : all) {
        report.Add(Timed(
            Compared("status text, whole column selected", TableSize(f.rows), Ms(f.selectionMs),
                     "strip + from_chars loop", f.selectionMs, f.bareStatisticsMs, std::nullopt),
            f, f.selectionMs, 100.0));
    }
}

// Figures that must not grow with the table: judged against the same figure at 10,000 rows.
// Whether a figure must stay flat from 10,000 rows up (within twice its time there), or only
// under its time goal.
enum class Flatness { Compared, TimeGoalOnly };

void ReportFlat(const std::vector<TableFigures>& all, const char* what,
                double TableFigures::*figure, Report& report,
                Flatness flatness = Flatness::Compared, double maxMs = kEditingGoalMs) {
    const TableFigures* base = nullptr;
    for (const TableFigures& f : all) {
        if (f.rows == kFlatBaseRows) {
            base = &f;
        }
    }
    for (const TableFigures& f : all) {
        Figure line;
        if (base != nullptr && &f != base && flatness == Flatness::Compared) {
            line = Compared(what, TableSize(f.rows), Ms(f.*figure), "the same at 10,000 rows",
                            f.*figure, base->*figure, 2.0);
        } else {
            line.what = what;
            line.size = TableSize(f.rows);
            line.value = Ms(f.*figure);
        }
        line.ms = f.*figure;
        line.maxMs = maxMs;
        report.Add(line);
    }
}

// The undo history after 1,000 mixed edits of the largest table, beside the table's file.
void ReportHistoryMemory(const std::vector<TableFigures>& all, Report& report) {
    for (const TableFigures& f : all) {
        if (f.historySteps == 0) {
            continue;
        }
        Figure line;
        line.what = "undo history, 1,000 edits";
        line.size = TableSize(f.rows);
        char kilobytes[32];
        std::snprintf(kilobytes, sizeof kilobytes, "%.1f kB",
                      static_cast<double>(f.historyBytes) / 1e3);
        line.value = std::string(kilobytes) + " in " + std::to_string(f.historySteps) + " steps";
        line.floorName = "file size";
        line.floorValue = Megabytes(f.fileBytes);
        line.ratio = static_cast<double>(f.historyBytes) / static_cast<double>(f.fileBytes);
        line.note = "bound: 100 steps or 256 MB";
        report.Add(line);
    }
}

// bench_paint's figures, from Google Benchmark's CSV output: the best repetition of each case.
std::optional<std::vector<double>> PaintFigures() {
    const std::vector<std::string> cases = {"rows:10",    "rows:61",     "rows:10000000",
                                            "cell_mb:50", "rows:500000", "filtered_rows:1000001",
                                            "filtered:0", "filtered:1"};
    const std::optional<std::string> csv =
        RunChild({ProgramFolder() + "/bench_paint", "--benchmark_format=csv",
                  "--benchmark_repetitions=5", "--benchmark_min_time=0.2"});
    if (!csv) {
        return std::nullopt;
    }
    std::vector<double> best(cases.size(), 1e300);
    std::istringstream lines(*csv);
    std::string line;
    while (std::getline(lines, line)) {
        // "BM_PaintFullScreen/rows:10",iterations,real_time,cpu_time,time_unit,...
        std::istringstream fields(line);
        std::string name, iterations, realTime;
        std::getline(fields, name, ',');
        std::getline(fields, iterations, ',');
        std::getline(fields, realTime, ',');
        for (std::size_t i = 0; i < cases.size(); ++i) {
            if (name.ends_with("/" + cases[i] + "\"") || name.ends_with("/" + cases[i])) {
                best[i] = std::min(best[i], std::stod(realTime));
            }
        }
    }
    for (double figure : best) {
        if (figure == 1e300) {
            return std::nullopt;
        }
    }
    return best;
}

void ReportPaint(Report& report) {
    const char* what = "paint 1920 x 1080 view";
    if (!IsExistingFile(ProgramFolder() + "/bench_paint")) {
        report.Add(NotMeasured(what, "the windows are not built (QV_BUILD_GUI=OFF)"));
        return;
    }
    const std::optional<std::vector<double>> ms = PaintFigures();
    if (!ms) {
        report.Add(NotMeasured(what, "bench_paint failed"));
        return;
    }
    const double tenRows = (*ms)[0], screenful = (*ms)[1], huge = (*ms)[2];
    Figure line;
    line.what = what;
    line.size = "10 rows";
    line.value = Ms(tenRows);
    report.Add(line);
    line.size = "61 rows (fills it)";
    line.value = Ms(screenful);
    report.Add(line);
    // The 10-row table paints a sixth of the cells: beside it the huge table is shown for
    // information; the table that fills the view is the floor that judges.
    line = Compared(what, "10,000,000 rows", Ms(huge), "the 10-row table", huge, tenRows, {});
    line.note = "(the 10-row view paints 1/6 of the cells)";
    report.Add(line);
    line = Compared(what, "10,000,000 rows", Ms(huge), "the table that fills the view", huge,
                    screenful, 1.2);
    line.ms = huge;
    line.maxMs = 10.0;
    report.Add(line);
    const double hugeCell = (*ms)[3];
    report.Add(Compared(what, "10 rows, a 50 MB cell", Ms(hugeCell), "the 10-row table", hugeCell,
                        tenRows, 1.2));
    const double shownHalf = (*ms)[4], filtered = (*ms)[5];
    report.Add(Compared(what, "1,000,000 rows, a filter showing 500,000", Ms(filtered),
                        "a table of 500,000 rows", filtered, shownHalf, 1.2));
    const double moveAll = (*ms)[6], moveFiltered = (*ms)[7];
    report.Add(Compared("Down and PageDown, each painted",
                        "1,000,000 rows, a filter showing 500,000", Ms(moveFiltered),
                        "a table of 500,000 rows", moveFiltered, moveAll, 1.2));
}

// bench_startup prints the monotonic time of the first paint; the start is taken here just
// before the process is made, so the figure holds loading the program and its libraries.
std::optional<double> StartupMs(const std::string& mode) {
    const double start = NowMs();
    const std::optional<std::string> output = RunChild({ProgramFolder() + "/bench_startup", mode});
    if (!output || output->empty()) {
        return std::nullopt;
    }
    return std::stod(*output) - start;
}

void ReportStartup(Report& report) {
    const char* what = "start-up to first paint";
    if (!IsExistingFile(ProgramFolder() + "/bench_startup")) {
        report.Add(NotMeasured(what, "the windows are not built (QV_BUILD_GUI=OFF)"));
        return;
    }
    double program = 1e300, floor = 1e300;
    for (int i = 0; i < 5; ++i) {
        const std::optional<double> a = StartupMs("--program");
        const std::optional<double> b = StartupMs("--floor");
        if (!a || !b) {
            report.Add(NotMeasured(what, "bench_startup failed"));
            return;
        }
        program = std::min(program, *a);
        floor = std::min(floor, *b);
    }
    Figure line = Compared(what, "empty table", Ms(program), "bare Qt window, first paint", program,
                           floor, std::nullopt);
    line.ms = program;
    line.maxMs = 300.0;
    report.Add(line);
}

// bench_print's time and peak memory of writing the PDF of one table.
std::optional<std::pair<double, double>> PrintFigures(const std::string& mode,
                                                      const std::string& table) {
    const std::string out = table + ".bench.pdf";
    const std::optional<std::string> output =
        RunChild({ProgramFolder() + "/bench_print", mode, table, out});
    std::remove(out.c_str());
    if (!output || output->empty()) {
        return std::nullopt;
    }
    std::istringstream numbers(*output);
    double ms = 0, peak = 0;
    numbers >> ms >> peak;
    return std::pair{ms, peak};
}

// The PDF of the 10,000-row table against the bare drawing of its texts, and the peak memory
// of the 10,000 and the 100,000-row tables' PDFs (pages go to the disk as they are made).
void ReportPrint(const std::string& folder, Report& report) {
    const char* what = "PDF of the printed pages";
    if (!IsExistingFile(ProgramFolder() + "/bench_print")) {
        report.Add(NotMeasured(what, "the windows are not built (QV_BUILD_GUI=OFF)"));
        return;
    }
    double pages = 1e300, floor = 1e300;
    for (int i = 0; i < 3; ++i) {
        const auto a = PrintFigures("--pages", folder + "/table-10000.qvd");
        const auto b = PrintFigures("--floor", folder + "/table-10000.qvd");
        if (!a || !b) {
            report.Add(NotMeasured(what, "bench_print failed"));
            return;
        }
        pages = std::min(pages, a->first);
        floor = std::min(floor, b->first);
    }
    Figure line = Compared(what, "10,000 x 8", Ms(pages), "QPdfWriter, the same texts bare", pages,
                           floor, std::nullopt);
    line.ms = pages;
    line.maxMs = 3000.0;
    report.Add(line);
    const auto small = PrintFigures("--pages", folder + "/table-10000.qvd");
    const auto large = PrintFigures("--pages", folder + "/table-100000.qvd");
    if (small && large) {
        Figure memory;
        memory.what = "PDF: peak memory / time";
        memory.size = "100,000 x 8";
        memory.value = Megabytes(static_cast<uint64_t>(large->second)) + " / " + Ms(large->first);
        memory.floorName = "the same at 10,000 x 8";
        memory.floorValue = Megabytes(static_cast<uint64_t>(small->second));
        memory.ratio = large->second / small->second;
        memory.ms = large->first;
        memory.maxMs = 30000.0;
        report.Add(memory);
    }
}

void ReportPeakMemory(const std::string& path, const char* size, double goal, Report& report);

// Sorting 10,000,000 rows by numbers and by texts beside std::stable_sort of the extracted keys,
// the memory the sort takes beyond the loaded table, and loading plus the text sort beside GNU
// sort's whole process on the same table as TSV (bytes compared, LC_ALL=C).
void ReportBigSort(const std::string& folder, Report& report) {
    const std::string path = folder + "/table-10000000.qvd";
    const char* size = "10,000,000 x 8";
    if (!IsExistingFile(path)) {
        report.Add(
            NotMeasured("sort, 10,000,000 x 8", "no table (less than 3 GB free to make it)"));
        return;
    }
    std::fprintf(stderr, "measuring sorts of 10,000,000 rows...\n");
    TableGrid grid(kMainTableShape);
    std::string title;
    const double loadMs = BestOf(1, [&] {
        std::optional<TableFileContent> content = ReadTableFile(path);
        ApplyTableFile(std::move(*content), grid, title);
    });
    // The load's own peak (its reader's working room) is not the sort's.
    const uint64_t loadedPeak = ResidentBytesResettingPeak();
    RowOrder order;
    const auto undo = [&] {
        ApplyRowOrder(grid, InverseRowOrder(order));
        order = {};
    };
    const double numbersMs =
        BestOf(1, [&] { order = SortRows(grid, kNumberSortColumn, SortOrder::Ascending); });
    undo();
    const double textsMs =
        BestOf(1, [&] { order = SortRows(grid, kTextSortColumn, SortOrder::Ascending); });
    undo();
    const uint64_t sortPeak = PeakResidentBytes();

    // One column's keys at a time, so that the floors never hold both.
    std::vector<std::pair<double, int32_t>> numbers = NumberSortKeys(grid);
    const double bareNumbersMs = BestOf(1, [&] { StableSortPairs(numbers); });
    numbers = {};
    std::vector<std::pair<std::string_view, int32_t>> texts = TextSortKeys(grid);
    const double bareTextsMs = BestOf(1, [&] { StableSortPairs(texts); });
    texts = {};

    Figure line = Compared("sort by numbers", size, Ms(numbersMs), "stable_sort of (double, row)",
                           numbersMs, bareNumbersMs, 3.0);
    report.Add(line);
    line = Compared("sort by texts", size, Ms(textsMs), "stable_sort of (text, row)", textsMs,
                    bareTextsMs, 3.0);
    report.Add(line);
    const double perRow = static_cast<double>(sortPeak - std::min(sortPeak, loadedPeak)) / 1e7;
    Figure memory;
    memory.what = "sort: peak memory beyond the loaded table";
    memory.size = size;
    memory.value = Megabytes(sortPeak - std::min(sortPeak, loadedPeak));
    memory.floorName = "24 bytes a row";
    memory.floorValue = Megabytes(240'000'000);
    memory.ratio = perRow / 24.0;
    memory.maxRatio = 1.0;
    report.Add(memory);

    const std::string tsv = folder + "/table-10000000.tsv";
    if (!IsExistingFile(tsv)) {
        ExportTsv(grid, tsv);
    }
    const double sortStart = NowMs();
    const bool sorted = RunChild({"/usr/bin/env", "LC_ALL=C", "sort", "-s", "-t", "\t", "-k1,1",
                                  "-o", "/dev/null", tsv})
                            .has_value();
    const double gnuSortMs = NowMs() - sortStart;
    if (!sorted) {
        report.Add(NotMeasured("load + sort by texts", "GNU sort failed"));
        return;
    }
    report.Add(Compared("load + sort by texts", size, Ms(loadMs + textsMs),
                        "GNU sort of the same TSV, whole process", loadMs + textsMs, gnuSortMs,
                        0.5));
}

// bench_latency's figures on one table: the longest waits of the window while typing and while
// paging during a count, the time from the last key to the count, and whether it was right.
struct LatencyFigures {
    double typingMs = 0;
    double pagingMs = 0;
    double countAfterMs = 0;
    bool countRight = false;
    double filterTypingMs = 0;
    double filterAfterMs = 0;
    bool filterRight = false;
};

std::optional<LatencyFigures> LatencyOf(const std::string& table) {
    const std::optional<std::string> output = RunChild({ProgramFolder() + "/bench_latency", table});
    LatencyFigures f;
    int right = 0;
    int filterRight = 0;
    if (!output || !(std::istringstream(*output) >> f.typingMs >> f.pagingMs >> f.countAfterMs >>
                     right >> f.filterTypingMs >> f.filterAfterMs >> filterRight)) {
        return std::nullopt;
    }
    f.countRight = right == 1;
    f.filterRight = filterRight == 1;
    return f;
}

// The window's longest waits at 1,000,000 and 10,000,000 rows beside the same keys on the
// 10,000-row table; the 10,000,000-row table is there only when the disk had room for it.
void ReportLatency(const std::string& folder, Report& report) {
    const char* what = "longest wait, typing in the find bar";
    if (!IsExistingFile(ProgramFolder() + "/bench_latency")) {
        report.Add(NotMeasured(what, "the windows are not built (QV_BUILD_GUI=OFF)"));
        return;
    }
    const std::optional<LatencyFigures> floor = LatencyOf(folder + "/table-10000.qvd");
    if (!floor) {
        report.Add(NotMeasured(what, "bench_latency failed"));
        return;
    }
    for (const char* rows : {"1000000", "10000000"}) {
        const std::string table = folder + "/table-" + rows + ".qvd";
        const std::string size = std::string(rows).size() == 7 ? "1,000,000 x 8" : "10,000,000 x 8";
        if (!IsExistingFile(table)) {
            report.Add(NotMeasured(what, size + ": no table (less than 3 GB free to make it)"));
            continue;
        }
        const std::optional<LatencyFigures> f = LatencyOf(table);
        if (!f) {
            report.Add(NotMeasured(what, "bench_latency failed on " + size));
            continue;
        }
        // The longest wait of the window beside the same keys on 10,000 rows (goal < 100 ms),
        // and how long after the last key the right result showed.
        const auto wait = [&](const char* waitWhat, double ms, double floorMs) {
            Figure line =
                Compared(waitWhat, size, Ms(ms), "the same keys, 10,000 rows", ms, floorMs, {});
            line.ms = ms;
            line.maxMs = 100.0;
            report.Add(line);
        };
        const auto result = [&](const char* resultWhat, double ms, bool right, double floorMs,
                                const char* wrongNote) {
            Figure line;
            line.what = resultWhat;
            line.size = size;
            line.value = Ms(ms) + (right ? ", right" : ", WRONG");
            line.floorName = "the same, 10,000 rows";
            line.floorValue = Ms(floorMs);
            if (!right) {
                line.note = wrongNote;
            }
            report.Add(line);
        };
        wait(what, f->typingMs, floor->typingMs);
        wait("longest wait, PageDown during a count", f->pagingMs, floor->pagingMs);
        result("find bar count after the last key", f->countAfterMs, f->countRight,
               floor->countAfterMs, "the count shown differs from a direct count");
        wait("longest wait, typing in the filter bar", f->filterTypingMs, floor->filterTypingMs);
        result("filter bar rows after the last key", f->filterAfterMs, f->filterRight,
               floor->filterAfterMs, "the rows shown differ from a direct filter");
    }
}

// The peak memory of loading the 10,000,000-row table, when the disk had room for it.
void ReportBigTableMemory(const std::string& folder, Report& report) {
    const std::string path = folder + "/table-10000000.qvd";
    if (!IsExistingFile(path)) {
        report.Add(NotMeasured("peak memory after load, 10,000,000 x 8",
                               "no table (less than 3 GB free to make it)"));
        return;
    }
    ReportPeakMemory(path, "10,000,000 x 8", kLoadedMemoryGoal, report);
}

// The peak memory of loading the wide table, beside its file's size.
void ReportWideTable(const std::string& folder, Report& report) {
    ReportPeakMemory(folder + "/table-wide-1000000.qvd", "1 x 1,000,000", kWideMemoryGoal, report);
}

// The peak memory of loading one table, beside its file's size.
void ReportPeakMemory(const std::string& path, const char* size, double goal, Report& report) {
    TableFigures f;
    f.fileBytes = FileSize(path);
    MeasurePeakMemory(path, f);
    Figure line;
    line.what = "peak memory after load";
    line.size = size;
    line.value = Megabytes(f.peakBytes);
    line.floorName = "file size (process at start)";
    line.floorValue = Megabytes(f.fileBytes) + " (" + Megabytes(f.baselineBytes) + ")";
    line.ratio = static_cast<double>(f.peakBytes) / static_cast<double>(f.fileBytes);
    line.maxRatio = goal;
    report.Add(line);
}

// Editing the 10,000,000-row table in the window: a fill of one whole column, and the undo and
// redo of clear all.
void ReportBigFill(const std::string& folder, Report& report) {
    const std::string path = folder + "/table-10000000.qvd";
    if (!IsExistingFile(path)) {
        report.Add(NotMeasured("fill down one whole column, 10,000,000 rows",
                               "no table (less than 3 GB free to make it)"));
        return;
    }
    std::fprintf(stderr, "measuring a fill of 10,000,000 cells...\n");
    SilentWindowSystem windows;
    MainForm form(windows, StoreLocations{folder + "/bench.ini", folder + "/bench.hst"}, ".");
    form.Files().RequestLoad(path);
    form.Files().LoadTableFile();
    ReportWholeColumnFill(form, report);
    form.Document().UnrecordedTable().SetCurrentCell(GridCell{1, 1});
    double undoMs = 0, redoMs = 0;
    MeasureUndoRedo(form, &RowCommands::ClearAll, undoMs, redoMs);
    for (const auto& [what, ms] :
         {std::pair{"undo clear all", undoMs}, {"redo clear all", redoMs}}) {
        Figure line;
        line.what = what;
        line.size = "10,000,000 x 8";
        line.value = Ms(ms);
        line.ms = ms;
        line.maxMs = kClearAllGoalMs;
        report.Add(line);
    }
}

int RunAll(const std::string& folder) {
    std::vector<TableFigures> all;
    for (int32_t rows : kTableSizes) {
        if (!IsExistingFile(folder + "/table-" + std::to_string(rows) + ".qvd")) {
            std::fprintf(stderr, "bench_table: %s/table-%d.qvd is missing\n", folder.c_str(), rows);
            return 2;
        }
        std::fprintf(stderr, "measuring the table of %d rows...\n", rows);
        all.push_back(MeasureTable(folder, rows));
    }
    if (!IsExistingFile(folder + "/table-wide-1000000.qvd")) {
        std::fprintf(stderr, "bench_table: %s/table-wide-1000000.qvd is missing\n", folder.c_str());
        return 2;
    }
    Report report;
    ReportLoadAndSave(all, report);
    ReportRecovery(all, report);
    ReportWideTable(folder, report);
    ReportBigTableMemory(folder, report);
    ReportBigSort(folder, report);
    ReportBigFill(folder, report);
    ReportInterchange(all, report);
    ReportTools(all, report);
    ReportFindSort(all, report);
    std::fprintf(stderr, "measuring comparisons...\n");
    ReportCompare(folder + "/table-1000000.qvd", report);
    for (const TableFigures& f : all) {
        ReportFilter(f.filter, f.rows == 1'000'000, report);
    }
    for (const TableFigures& f : all) {
        if (f.clipboard) {
            ReportClipboard(*f.clipboard, report);
        }
        if (f.lists) {
            ReportLists(*f.lists, report);
        }
    }
    ReportFlat(all, "insert row 1", &TableFigures::insertMs, report);
    ReportFlat(all, "delete row 1", &TableFigures::deleteMs, report);
    ReportFlat(all, "RenumberRows (activate)", &TableFigures::renumberMs, report);
    ReportFlat(all, "RowCount 10M and back", &TableFigures::rowCountMs, report);
    // Their time is a few microseconds at any size, so the ratio says nothing; the 10,000,000-row
    // table's are among the lines of that table.
    ReportFlat(all, "undo clear all", &TableFigures::undoClearMs, report, Flatness::TimeGoalOnly,
               kClearAllGoalMs);
    ReportFlat(all, "redo clear all", &TableFigures::redoClearMs, report, Flatness::TimeGoalOnly,
               kClearAllGoalMs);
    ReportFlat(all, "undo delete column", &TableFigures::undoDeleteColumnMs, report);
    ReportFlat(all, "redo delete column", &TableFigures::redoDeleteColumnMs, report);
    ReportFlat(all, "undo insert row 1", &TableFigures::undoInsertMs, report);
    ReportFlat(all, "redo insert row 1", &TableFigures::redoInsertMs, report);
    ReportFlat(all, "undo delete row 1", &TableFigures::undoDeleteMs, report);
    ReportFlat(all, "redo delete row 1", &TableFigures::redoDeleteMs, report);
    ReportHistoryMemory(all, report);
    std::fprintf(stderr, "measuring painting and start-up...\n");
    ReportPaint(report);
    ReportStartup(report);
    std::fprintf(stderr, "measuring the PDF...\n");
    ReportPrint(folder, report);
    std::fprintf(stderr, "measuring the window's waits while typing...\n");
    ReportLatency(folder, report);
    std::printf("Quorvane benchmarks: best of several runs; ratio = value / floor\n\n");
    report.Print();
    return 0;
}

// The Japanese text figures alone, of one table: for checking them without the whole run.
int JapaneseOnly(const std::string& path) {
    SilentWindowSystem windows;
    const std::string folder = std::filesystem::path(path).parent_path().string();
    MainForm form(windows, StoreLocations{folder + "/bench.ini", folder + "/bench.hst"}, ".");
    form.Files().RequestLoad(path);
    form.Files().LoadTableFile();
    const JapaneseFigures j = MeasureJapanese(form, 5);
    std::printf(
        "reading first %.1f ms, known %.1f ms, floor %.1f ms; two keys %.1f ms, floor "
        "%.1f ms; convert %.1f ms (%.0f cells)\n",
        j.readingFirstMs, j.readingKnownMs, j.bareCollationMs, j.twoKeysMs, j.bareTwoKeysMs,
        j.convertMs, j.convertedCells);
    return 0;
}

// The find, count and filter lines of one table alone: for checking them without the whole run.
int SearchOnly(const std::string& path) {
    SilentWindowSystem windows;
    const std::string folder = std::filesystem::path(path).parent_path().string();
    MainForm form(windows, StoreLocations{folder + "/bench.ini", folder + "/bench.hst"}, ".");
    form.Files().RequestLoad(path);
    form.Files().LoadTableFile();
    TableFigures f;
    f.rows = form.Table().RowCount();  // as the file's name counts them, item names included
    MeasureFind(form.Document().UnrecordedTable(), f);
    f.filter = MeasureFilter(form, Runs(f.rows, 10));
    Report report;
    const std::string size = TableSize(f.rows);
    report.Add(Compared("count part-of-cell (\\)", size, Ms(f.countMs),
                        "memmem loop over the cells", f.countMs, f.bareCountMs, GoalFor(f, 2.0)));
    report.Add(Compared("count, loose (\\ or ￥)", size, Ms(f.looseCountMs),
                        "memmem loop over the cells", f.looseCountMs, f.bareCountMs,
                        GoalFor(f, 3.0)));
    ReportFilter(f.filter, f.rows == 1'000'000, report);
    return report.Print();
}

// The CSV import and export lines of one table alone, for a check without the whole run.
int InterchangeOnly(const std::string& path) {
    TableGrid grid(kMainTableShape);
    std::string title;
    ApplyTableFile(std::move(*ReadTableFile(path)), grid, title);
    TableFigures f;
    f.rows = grid.RowCount();  // as the file's name counts them, item names included
    const std::string folder = std::filesystem::path(path).parent_path().string();
    f.csv = MeasureInterchange(grid, folder, f.rows, Runs(f.rows, 5));
    // The exports' floor, as the save's lines measure it.
    const std::string bytes = ReadWholeFile(path);
    const std::string floorTarget = folder + "/written.qvd";
    f.writeMs = 1e300;
    for (int i = 0; i < Runs(f.rows, 10); ++i) {
        f.writeMs = std::min(f.writeMs, BestOf(1, [&] { WriteAndRename(floorTarget, bytes); }));
    }
    DeleteFileQuietly(floorTarget);
    Report report;
    ReportInterchange({f}, report);
    return report.Print();
}

// The lines of the 10,000,000-row table alone, for a check without the whole run.
int RunBigTable(const std::string& folder) {
    Report report;
    ReportBigTableMemory(folder, report);
    ReportBigSort(folder, report);
    ReportBigFill(folder, report);
    ReportLatency(folder, report);
    report.Print();
    return 0;
}

// The sorts of one table by a column alone, beside their floors, measured in turn with them
// (bench_table --sorts FILE), for a check without the whole run.
int RunSorts(const std::string& path) {
    TableGrid grid(kMainTableShape);
    std::string title;
    std::optional<TableFileContent> content = ReadTableFile(path);
    ApplyTableFile(std::move(*content), grid, title);
    const int32_t rows = grid.RowCount() - 1;
    const int runs = Runs(rows, 10);
    const std::vector<std::pair<double, int32_t>> numbers = NumberSortKeys(grid);
    const std::vector<std::pair<std::string_view, int32_t>> texts = TextSortKeys(grid);
    std::vector<std::pair<double, int32_t>> numbersToSort;
    std::vector<std::pair<std::string_view, int32_t>> textsToSort;
    RowOrder order;
    const auto undo = [&] {
        if (!order.sources.empty()) {
            ApplyRowOrder(grid, InverseRowOrder(order));
            order = {};
        }
    };
    double numbersMs = 1e300, textsMs = 1e300, bareNumbersMs = 1e300, bareTextsMs = 1e300;
    for (int i = 0; i < runs; ++i) {
        bareNumbersMs = std::min(bareNumbersMs, BestOf(
                                                    1, [&] { numbersToSort = numbers; },
                                                    [&] { StableSortPairs(numbersToSort); }));
        numbersMs = std::min(numbersMs, BestOf(1, undo, [&] {
                                 order = SortRows(grid, kNumberSortColumn, SortOrder::Ascending);
                             }));
        bareTextsMs = std::min(bareTextsMs, BestOf(
                                                1, [&] { textsToSort = texts; },
                                                [&] { StableSortPairs(textsToSort); }));
        textsMs = std::min(textsMs, BestOf(1, undo, [&] {
                               order = SortRows(grid, kTextSortColumn, SortOrder::Descending);
                           }));
    }
    Report report;
    const std::string size = TableSize(rows);
    report.Add(Compared("sort by numbers", size, Ms(numbersMs), "stable_sort of (double, row)",
                        numbersMs, bareNumbersMs, 3.0));
    report.Add(Compared("sort by texts", size, Ms(textsMs), "stable_sort of (text, row)", textsMs,
                        bareTextsMs, 3.0));
    return report.Print();
}

// The lines of one table that read its cells (load, memory, save, statistics, find, sort), for
// comparing a change of the cell storage without the whole run.
int CellLines(const std::string& path) {
    const std::string folder = std::filesystem::path(path).parent_path().string();
    TableFigures f;
    f.fileBytes = FileSize(path);
    MeasureLoad(path, f);
    MeasurePeakMemory(path, f);
    SilentWindowSystem windows;
    MainForm form(windows, StoreLocations{folder + "/bench.ini", folder + "/bench.hst"}, ".");
    form.Files().RequestLoad(path);
    form.Files().LoadTableFile();
    f.rows = form.Document().UnrecordedTable().RowCount() - 1;
    MeasureSave(form, folder, f);
    MeasureTools(form.Document().UnrecordedTable(), f);
    MeasureFind(form.Document().UnrecordedTable(), f);
    MeasureEditing(form, f);
    MeasureSort(form, f);
    std::printf(
        "load %.1f ms (floor %.1f); peak %.1f MB (file %.1f MB, %.2fx); save %.1f ms, edited "
        "%.1f ms (floor %.1f); statistics %.1f ms (floor %.1f); match count %.1f ms (floor "
        "%.1f); find-next %.1f ms (floor %.1f); count %.1f ms (floor %.1f); sort numbers %.1f "
        "ms, texts %.1f ms, undo %.1f ms; insert / delete row 1 %.1f / %.1f us\n",
        f.loadMs, f.readSplitMs, static_cast<double>(f.peakBytes) / 1e6,
        static_cast<double>(f.fileBytes) / 1e6,
        static_cast<double>(f.peakBytes) / static_cast<double>(f.fileBytes), f.saveMs,
        f.saveEditedMs, f.writeMs, f.statisticsMs, f.bareStatisticsMs, f.matchMs, f.bareMatchMs,
        f.findNextMs, f.bareFindMs, f.countMs, f.bareCountMs, f.sortNumbersMs, f.sortTextsMs,
        f.unsortMs, f.insertMs * 1e3, f.deleteMs * 1e3);
    return 0;
}

int PeakMemoryChild(const std::string& path) {
    const uint64_t baseline = PeakResidentBytes();
    TableGrid grid(kMainTableShape);
    std::string title;
    std::optional<TableFileContent> content = ReadTableFile(path);
    ApplyTableFile(std::move(*content), grid, title);
    std::printf("%llu %llu\n", static_cast<unsigned long long>(baseline),
                static_cast<unsigned long long>(PeakResidentBytes()));
    return 0;
}

}  // namespace

}  // namespace qv::bench

int main(int argc, char** argv) {
    try {
        if (argc == 3 && std::string_view(argv[1]) == "--japanese") {
            return qv::bench::JapaneseOnly(argv[2]);
        }
        if (argc == 3 && std::string_view(argv[1]) == "--search") {
            return qv::bench::SearchOnly(argv[2]);
        }
        if (argc == 3 && std::string_view(argv[1]) == "--interchange") {
            return qv::bench::InterchangeOnly(argv[2]);
        }
        if (argc == 3 && std::string_view(argv[1]) == "--big-table") {
            return qv::bench::RunBigTable(argv[2]);
        }
        if (argc == 3 && std::string_view(argv[1]) == "--big-sort") {  // those lines alone
            qv::bench::Report report;
            qv::bench::ReportBigSort(argv[2], report);
            return report.Print();
        }
        if (argc == 3 && std::string_view(argv[1]) == "--sorts") {
            return qv::bench::RunSorts(argv[2]);
        }
        if (argc == 3 && std::string_view(argv[1]) == "--cells") {
            return qv::bench::CellLines(argv[2]);
        }
        if (argc == 3 && std::string_view(argv[1]) == "--peak-memory") {
            return qv::bench::PeakMemoryChild(argv[2]);
        }
        if (argc == 4 && std::string_view(argv[1]) == "--compare-memory") {
            return qv::bench::CompareMemoryChild(argv[2], std::string_view(argv[3]) == "key");
        }
        if (argc == 3 && std::string_view(argv[1]) == "--compare") {  // those lines alone
            qv::bench::Report report;
            qv::bench::ReportCompare(argv[2], report);
            return report.Print();
        }
        if (argc == 2) {
            return qv::bench::RunAll(argv[1]);
        }
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "bench_table: %s\n", failure.what());
        return 1;
    }
    std::fprintf(stderr, "usage: bench_table DATA_FOLDER\n");
    return 2;
}
