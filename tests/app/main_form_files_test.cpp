// The main window's start-up, activation and close, its file commands with their progress, and
// the title list window, on settings, history and table files in a temp folder.
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <functional>

#include "app/fake_window_system.h"
#include "app/main_form.h"
#include "app/title_list_form.h"
#include "expect_failure.h"
#include "platform/cp932.h"
#include "platform/files_testing.h"
#include "table_file_examples.h"
#include "temp_folder.h"

namespace qv {
namespace {

using Texts = std::vector<std::string>;
namespace fs = std::filesystem;

// The main window and the title list window, created as the program creates them.
struct Windows {
    explicit Windows(const StoreLocations& stores) : form(windows, stores, ".") {
        form.AttachTitleListForm(&titleList);
        form.Start();
        titleList.Start();
        windows.calls.clear();
    }
    test::FakeWindowSystem windows;
    MainForm form;
    TitleListForm titleList{form.Files(), windows};
};

std::string Text(const WindowGeometry& g) {
    return std::to_string(g.left) + "," + std::to_string(g.top) + "," + std::to_string(g.width) +
           "," + std::to_string(g.height);
}

std::string Text(const FileDialogRequest& request) {
    std::string text = request.title + "|" + std::to_string(request.selectedFilter) + "|" +
                       request.fileName + (request.confirmOverwrite ? "|confirm" : "");
    for (const FileFilter& filter : request.filters) {
        text += "|" + filter.name + " " + filter.pattern;
    }
    return text;
}

class MainFormFilesTest : public ::testing::Test {
protected:
    TableGrid& Grid() { return form_.Document().UnrecordedTable(); }

    std::string Example(const std::string& name = "example.qvd") {
        test::WriteTestFile(folder_ / name, test::ExampleTableFile());
        return folder_ / name;
    }
    // A saved table that differs from the example everywhere, with a stale row label.
    void MakeOwnTable() {
        form_.SetEditTitle("mine");
        Grid().SetColCount(4);
        Grid().SetRowCount(6);
        Grid().SetColWidth(1, 99);
        Grid().SetCell(0, 3, "stale");
        windows_.mainGeometry = WindowGeometry{1, 2, 300, 200};
        form_.SetCurFileName(folder_ / "own.qvd");
        form_.Files().SaveFile();
    }
    // Everything a load may change but the row labels, named, in UTF-8; rows of cells are
    // separated by "/".
    std::string Snapshot() {
        std::string widths, cells;
        for (int32_t row = 0; row < Grid().RowCount(); ++row) {
            for (int32_t col = 1; col < Grid().ColCount(); ++col) {
                widths +=
                    row > 0 ? "" : (col > 1 ? "," : "") + std::to_string(Grid().ColWidth(col));
                cells.append(col > 1 ? "," : row > 0 ? "/" : "").append(Grid().Cell(col, row));
            }
        }
        return Cp932ToUtf8("title:" + form_.EditTitle() + " file:" + form_.CurFileName() +
                           " load:" + std::to_string(form_.Files().LoadRequest()) + " window:" +
                           Text(windows_.mainGeometry) + " widths:" + widths + " cells:" + cells);
    }

    test::TempFolder folder_;
    StoreLocations stores_{folder_ / "Quorvane.ini", folder_ / "Quorvane.hst"};
    Windows main_{stores_};
    test::FakeWindowSystem& windows_ = main_.windows;
    MainForm& form_ = main_.form;
    TitleListForm& titleList_ = main_.titleList;
};

// --- Start-up, activation, close ---

TEST_F(MainFormFilesTest, CreationActivationAndClose) {
    EXPECT_EQ(Snapshot(),
              "title: file: load:0 window:294,211,276,247 widths:153,69 cells:,/,/,/,/,/,");
    EXPECT_EQ(Text(windows_.titleListGeometry), "254,147,335,177");
    // Activation renumbers, reads an empty title list and shows its window once.
    test::WriteTestFile(stores_.historyFile, Example() + "\r\nT\r\n");
    form_.Activated();
    EXPECT_EQ(Grid().CellText(0, 5), "  5");
    EXPECT_EQ(form_.Files().Titles().Titles(), Texts{"T"});
    EXPECT_EQ(windows_.calls, (Texts{"TitleListChanged", "ShowTitleListWindow"}));
    form_.Activated();  // a list with entries is not read again
    EXPECT_EQ(form_.Files().Titles().Size(), 1u);
    form_.Files().Titles().Clear();
    form_.Activated();
    EXPECT_EQ(form_.Files().Titles().Size(), 1u);
    EXPECT_EQ(windows_.CallCount("ShowTitleListWindow"), 1);

    // Close writes the history, then the main window's place.
    form_.Files().Titles().Clear();
    form_.Closing();  // an empty list writes no history
    EXPECT_EQ(test::ReadTestFile(stores_.historyFile), Example() + "\r\nT\r\n");
    form_.Files().Titles().Append("/t.qvd", "T");
    windows_.mainGeometry = WindowGeometry{-3, 4, 500, 600};
    form_.Closing();
    EXPECT_EQ(test::ReadTestFile(stores_.historyFile), "/t.qvd\r\nT\r\n");
    EXPECT_EQ(test::ReadTestFile(stores_.settingsFile),
              "[Main]\r\nLeft=-3\r\nTop=4\r\nWidth=500\r\nHeight=600\r\n");

    // Items that are missing, no number or -1 keep the design value.
    test::WriteTestFile(stores_.settingsFile,
                        "[Title]\nWidth=1\n[main]\nWidth=0x1F4\nLeft=-1\nTop=-8\n");
    Windows stored(stores_);
    EXPECT_EQ(Text(stored.windows.mainGeometry), "294,-8,500,247");
    EXPECT_EQ(Text(stored.windows.titleListGeometry), "254,147,1,177");
}

TEST_F(MainFormFilesTest, StoresThatFailStopActivationAndClosing) {
    ASSERT_EQ(mkfifo((folder_ / "fifo.hst").c_str(), 0644), 0);  // exists, but is no file
    Windows unreadable({stores_.settingsFile, folder_ / "fifo.hst"});
    EXPECT_THROW(unreadable.form.Activated(), Failure);
    EXPECT_EQ(unreadable.form.Table().CellText(0, 1), "  1");
    fs::remove(folder_ / "fifo.hst");
    EXPECT_EQ(unreadable.windows.CallCount("ShowTitleListWindow"), 0);
    EXPECT_TRUE(unreadable.form.Files().FirstActivate());

    Windows noHistoryFolder({stores_.settingsFile, folder_ / "no/such.hst"});
    noHistoryFolder.form.Files().Titles().Append("/t.qvd", "T");
    EXPECT_FAILS(noHistoryFolder.form.Closing(), "不正なﾌｧｲﾙ名です");
    EXPECT_EQ(folder_.Listing(), "");  // nor the settings

    const std::string settings = folder_ / "no/Quorvane.ini";
    Windows noSettingsFolder({settings, stores_.historyFile});
    EXPECT_FAILS(noSettingsFolder.form.Closing(), settings + " に書き込めません");
    // The exit button and the close button keep a title list window that cannot store its place.
    noSettingsFolder.windows.titleListVisible = true;
    EXPECT_THROW(noSettingsFolder.form.CloseTitleListAndExit(), Failure);
    EXPECT_THROW(noSettingsFolder.titleList.Close(), Failure);
    EXPECT_TRUE(noSettingsFolder.windows.titleListVisible);
    EXPECT_EQ(noSettingsFolder.windows.CallCount("CloseMainWindow"), 0);
}

// --- Opening and saving ---

TEST_F(MainFormFilesTest, OnlyASuccessfulOpenChangesTheTable) {
    MakeOwnTable();
    const std::string before = Snapshot();
    windows_.openDialogAnswers = {std::nullopt, folder_ / "notes.txt"};
    test::WriteTestFile(folder_ / "notes.txt", "Quorvane\n100\n");
    form_.Files().LoadTableFile();  // cancelled: the rows are renumbered, nothing else changes
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(Grid().CellText(0, 3), "  3");
    Grid().SetCell(0, 3, "stale");
    form_.Files().LoadTableFile();  // rejected: one error box, not even the labels change
    windows_.ExpectOneMessage("このファイルは使用できません。", MessageKind::Error,
                              Buttons(MessageButton::OK));
    EXPECT_EQ(windows_.progress.back().messagesBeforeEnd, 0u);  // its progress was gone first
    windows_.openDialogAnswers.push_back(folder_ / "missing.qvd");
    EXPECT_FAILS(form_.Files().LoadTableFile(), "ﾌｧｲﾙが見つかりません");
    // A file that fails half-way through its cells (the other failures are the reader's tests).
    test::WriteTestFile(
        folder_ / "bad.qvd",
        test::TableFileOf({"Quorvane", "100", "5", "6", "7", "8", "-", "T", "3", "9", "10", "x"}));
    windows_.openDialogAnswers.push_back(folder_ / "bad.qvd");
    EXPECT_FAILS(form_.Files().LoadTableFile(), "'x' は整数ではありません");
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(Grid().CellText(0, 3), "stale");
    EXPECT_TRUE(windows_.messages.empty());

    windows_.openDialogAnswers = {Example(), std::nullopt};
    form_.Files().LoadTableFile();
    EXPECT_EQ(Snapshot(), "title:買い物 file:" + Example() +
                              " load:0 window:294,211,276,247 widths:153,69"
                              " cells:品名,数量/りんご,3/みかん,");
    EXPECT_EQ(Grid().CellText(0, 2), "  2");
    form_.Files().LoadTableFile();
    EXPECT_EQ(Text(windows_.openDialogRequests.front()),
              "データの読み込み|0||Quorvaneの表データ(*.qvd) *.qvd|すべてのファイル(*.*) *.*");
    EXPECT_EQ(windows_.openDialogRequests.back().fileName, Example());  // the name confirmed last
}

TEST_F(MainFormFilesTest, SavingAsksForANameAppendsQvdOnlyWithoutAnExtensionAndListsTheFile) {
    fs::create_directory(folder_ / "dir.x");
    // clang-format off
    const std::pair<const char*, const char*> cases[] = {{"list1", "list1.qvd"},
        {"list1.txt", "list1.txt"}, {"list1.", "list1."}, {"dir.x/list1", "dir.x/list1.qvd"},
        {"l\nf", "l\nf.qvd"}};
    // clang-format on
    for (const auto& [chosen, written] : cases) {
        windows_.saveDialogAnswers.push_back(folder_ / chosen);
        form_.CurFileName().empty() ? form_.Files().SaveFile()
                                    : form_.Files().SaveFileAs();  // the first asks too
        EXPECT_EQ(form_.CurFileName(), folder_ / written);
        EXPECT_TRUE(fs::is_regular_file(folder_ / written));
    }
    EXPECT_EQ(Text(windows_.saveDialogRequests.at(0)),
              "データの保存|0||confirm|Quorvaneのデータ(*.qvd) *.qvd|すべてのファイル(*.*) *.*");
    EXPECT_EQ(windows_.saveDialogRequests.at(1).fileName, folder_ / "list1");  // as chosen
    Grid().SetCell(1, 1, "changed");
    form_.Files().SaveFile();  // no dialog once the table has a file
    EXPECT_EQ(windows_.saveDialogRequests.size(), 5u);
    EXPECT_NE(test::ReadTestFile(folder_ / "l\nf.qvd").find("changed"), std::string::npos);

    // The save dialog asked about "list1" only: replacing "list1.qvd" needs a Yes of its own.
    form_.SetEditTitle("replaced");
    for (MessageButton answer : {MessageButton::No, MessageButton::Yes}) {
        windows_.saveDialogAnswers.push_back(folder_ / "list1");
        windows_.messageAnswers.push_back(answer);
        form_.Files().SaveFileAs();
        windows_.ExpectOneMessage(folder_ / "list1.qvd" + " は既に存在します。\n上書きしますか？",
                                  MessageKind::Confirmation,
                                  MessageButton::Yes | MessageButton::No);
        const bool yes = answer == MessageButton::Yes;
        EXPECT_EQ(test::ReadTestFile(folder_ / "list1.qvd").find("changed") != std::string::npos,
                  yes);
        EXPECT_EQ(form_.CurFileName(), folder_ / (yes ? "list1.qvd" : "l\nf.qvd"));
    }
    // Every file saved stands once in the title list, the last saved at the top.
    EXPECT_EQ(form_.Files().Titles().Paths(),
              (Texts{folder_ / "list1.qvd", folder_ / "l\nf.qvd", folder_ / "dir.x/list1.qvd",
                     folder_ / "list1.", folder_ / "list1.txt"}));
    EXPECT_EQ(form_.Files().Titles().Title(0), "replaced");

    // A name the title list's file cannot hold is refused before anything is written, also for
    // a table opened under it.
    const std::string refusal =
        "ファイル名に改行文字(CR)または Ctrl+Z "
        "の文字が含まれているため、この名前では保存できません";
    const std::string listing = folder_.Listing();
    windows_.saveDialogAnswers = {folder_ / "c\rr", folder_ / "z\x1A.qvd"};
    EXPECT_FAILS(form_.Files().SaveFileAs(), refusal);
    EXPECT_FAILS(form_.Files().SaveFileAs(), refusal);
    windows_.openDialogAnswers = {Example("o\rpened.qvd")};
    form_.Files().LoadTableFile();
    EXPECT_FAILS(form_.Files().SaveFile(), refusal);
    EXPECT_EQ(folder_.Listing(), listing + "o\rpened.qvd;");
    EXPECT_EQ(form_.Files().Titles().Size(), 5u);
}

// The messages of the other failures, and the old file kept, are files_test's.
TEST_F(MainFormFilesTest, AFailedWriteKeepsTheOldFileButTheTitleListIsUpdated) {
    const FileFaults halfWay{.failingWrite = 1, .bytesBeforeWriteError = 20, .writeErrno = ENOSPC};
    form_.SetCurFileName(Example("full.qvd"));
    form_.SetEditTitle("full");
    SetFileFaultsForTesting(&halfWay);
    EXPECT_FAILS(form_.Files().SaveFile(), "I/O ｴﾗｰ (112)");
    SetFileFaultsForTesting(nullptr);
    EXPECT_EQ(form_.Files().Titles().Paths(), Texts{folder_ / "full.qvd"});
    EXPECT_EQ(form_.Files().Titles().Title(0), "full");
    EXPECT_EQ(test::ReadTestFile(folder_ / "full.qvd"), test::ExampleTableFile());
}

TEST_F(MainFormFilesTest, ASaveReportsItsProgressAndACancelledLoadChangesNothing) {
    constexpr int32_t kRows = 60'000;  // some megabytes: a load reports several steps
    Grid().SetColCount(9);
    Grid().SetRowCount(kRows);
    for (int32_t cell = 0; cell < 9 * kRows; ++cell) {
        Grid().SetCell(cell % 9, cell / 9, "cell " + std::to_string(cell));
    }
    const std::string big = folder_ / "big.qvd";
    form_.SetCurFileName(big);
    windows_.cancelProgressAtCall = 1;  // a save cannot be cancelled
    form_.Files().SaveFile();
    const test::RecordedProgress save = windows_.progress.at(0);
    EXPECT_EQ(save.title, "データの保存");
    EXPECT_EQ(save.kind, ProgressKind::Save);
    EXPECT_EQ(save.steps.back(), std::make_pair(uint64_t{kRows}, uint64_t{kRows}));
    EXPECT_TRUE(
        test::ReadTestFile(big).ends_with("cell " + std::to_string(9 * kRows - 1) + "\r\n"));

    MakeOwnTable();
    form_.SetCurFileName(folder_ / "own.qvd");
    const std::string before = Snapshot();
    for (int cancelAt : {1, 3}) {  // while reading, and while parsing
        windows_.progressCalls = 0;
        windows_.cancelProgressAtCall = cancelAt;
        form_.Files().RequestLoad(big);
        form_.Files().LoadTableFile();
        EXPECT_EQ(windows_.progress.back().steps.size(), static_cast<std::size_t>(cancelAt));
        EXPECT_TRUE(windows_.progress.back().ended);
        EXPECT_EQ(Snapshot(), before);
    }
}

// --- Asking before changes are dropped ---

TEST_F(MainFormFilesTest, ChangesAreSavedOrDroppedOnlyAfterAYesOrANoBeforeClosingOrReplacing) {
    // How each way out or replacement is reached, as the windows reach it.
    const std::function<void(Windows&)> commands[] = {
        [](Windows& w) { w.windows.CloseMainWindow(); },  // the close box and "終了(&X)"
        [](Windows& w) { w.form.CloseTitleListAndExit(); },
        [](Windows& w) { w.form.Files().LoadTableFile(); },
        [](Windows& w) { w.titleList.ReopenSelected(0); },
    };
    const std::string example = Example();
    for (int command = 0; command < 4; ++command) {
        for (MessageButton answer :
             {MessageButton::Cancel, MessageButton::No, MessageButton::Yes, MessageButton::None}) {
            SCOPED_TRACE(command * 10 + static_cast<int>(answer));
            test::TempFolder folder;
            Windows w({folder / "Quorvane.ini", folder / "Quorvane.hst"});
            w.windows.onCloseMainWindow = [&w] {  // as the main window's close handler does
                if (w.form.Files().AskBeforeClosing()) {
                    w.form.Closing();
                    w.windows.titleListVisible = false;
                }
            };
            w.form.Files().Titles().Append(example, "T");
            w.windows.titleListVisible = true;
            w.windows.openDialogAnswers = {example};
            const bool changed = answer != MessageButton::None;  // None: nothing to save
            if (changed) {
                w.form.SetEditTitle("typed");
                w.windows.messageAnswers = {answer};
                w.windows.saveDialogAnswers = {folder / "saved"};
            }
            commands[command](w);

            if (changed) {
                w.windows.ExpectOneMessage(
                    "表「 typed 」の変更を保存しますか？", MessageKind::Confirmation,
                    MessageButton::Yes | MessageButton::No | MessageButton::Cancel);
            }
            EXPECT_TRUE(w.windows.messages.empty());
            const bool goesOn = answer != MessageButton::Cancel;
            const bool closes = command < 2;
            EXPECT_EQ(w.windows.titleListVisible, !(closes && goesOn));
            EXPECT_EQ(folder.Listing(),
                      std::string(closes && goesOn ? "Quorvane.hst;Quorvane.ini;" : "") +
                          (answer == MessageButton::Yes ? "saved.qvd;" : ""));
            EXPECT_EQ(w.form.EditTitle(),
                      closes || !goesOn ? (changed ? "typed" : "") : test::kKaimono);
            EXPECT_EQ(w.form.IsModified(),
                      (answer == MessageButton::No && closes) || answer == MessageButton::Cancel);
            EXPECT_EQ(w.form.Files().LoadRequest(), false);
        }
    }
}

// How the mark follows saves through undo and redo is the undo model run's; typing and undoing
// with the editor open are the main window test's.
TEST_F(MainFormFilesTest, ANewChangeDropsTheSavedTableFromRedoAndALoadStartsANewHistory) {
    windows_.saveDialogAnswers = {folder_ / "a"};
    form_.SetEditTitle("a");
    form_.Files().SaveFile();
    form_.Undo();  // back beyond the save
    EXPECT_TRUE(form_.IsModified());
    form_.Tools().SetItemName("new");  // drops what could be redone, the saved table too
    EXPECT_TRUE(form_.IsModified());
    form_.Undo();
    EXPECT_TRUE(form_.Document().CanRedo());
    form_.Files().RequestLoad(Example());
    form_.Files().LoadTableFile();
    EXPECT_FALSE(form_.IsModified() || form_.Document().CanUndo() || form_.Document().CanRedo());
}

// A wide table loaded from its file keeps its columns as the file's lines; every change of its
// columns, undone, must save the file's very bytes again.
TEST_F(MainFormFilesTest, AWideTableSavesItsOwnBytesAfterAnyChangeIsUndone) {
    Grid().SetColCount(400);
    Grid().SetRowCount(2);
    for (int32_t col = 1; col < 400; ++col) {
        Grid().SetColWidth(col, 40 + col % 7);
        Grid().SetCell(col, 0, "n" + std::to_string(col));
        Grid().SetCell(col, col % 3, col % 2 ? "x" : "");
    }
    form_.SetCurFileName(folder_ / "wide.qvd");
    form_.Files().SaveFile();
    const std::string saved = test::ReadTestFile(folder_ / "wide.qvd");
    const auto select = [&](int32_t col) { form_.Document().Select({col, 1}); };
    const std::function<void()> changes[] = {
        [&] { select(5), form_.Tools().SetItemName("new"); },
        [&] { select(7), form_.Rows().AddColumn(); },
        [&] { select(7), form_.Rows().DeleteColumn(); },
        [&] { form_.Input().MoveColumn(3, 300); },
        [&] { form_.Input().MoveColumn(300, 3); },
        [&] { form_.Rows().ClearAll(); },
    };
    for (const auto& change : changes) {
        form_.Files().RequestLoad(folder_ / "wide.qvd");
        form_.Files().LoadTableFile();
        change();
        form_.Undo();
        form_.Files().SaveFile();
        ASSERT_EQ(test::ReadTestFile(folder_ / "wide.qvd"), saved) << &change - changes;
    }
}

// --- The title list window ---

TEST_F(MainFormFilesTest, TheTitleListReopensTheSelectedTableAndClosesStoringItsPlace) {
    form_.Files().Titles().Append(Example("a.qvd"), "A");
    titleList_.ReopenSelected(-1);  // nothing selected
    titleList_.ReopenSelected(1);   // nor a line beyond the list
    EXPECT_TRUE(windows_.calls.empty());
    form_.Files().Titles().Append(Example("b.qvd"), "B");
    titleList_.ReopenSelected(1);
    EXPECT_EQ(form_.EditTitle(), test::kKaimono);
    EXPECT_EQ(form_.CurFileName(), folder_ / "b.qvd");
    EXPECT_TRUE(windows_.openDialogRequests.empty());
    windows_.saveDialogAnswers.push_back(std::nullopt);
    form_.Files().SaveFileAs();
    EXPECT_EQ(windows_.saveDialogRequests.back().fileName, folder_ / "b.qvd");  // save as offers it

    // Closing drops a pending load request and stores the window's place.
    form_.Files().RequestLoad(Example());
    windows_.titleListVisible = true;
    windows_.titleListGeometry = WindowGeometry{1, 2, 3, 4};
    titleList_.Close();
    EXPECT_FALSE(form_.Files().LoadRequest());
    EXPECT_FALSE(windows_.titleListVisible);
    EXPECT_EQ(test::ReadTestFile(stores_.settingsFile),
              "[Title]\r\nLeft=1\r\nTop=2\r\nWidth=3\r\nHeight=4\r\n");
    windows_.titleListVisible = true;
    windows_.calls.clear();
    form_.CloseTitleListAndExit();  // the exit button closes it first
    EXPECT_EQ(windows_.calls, (Texts{"HideTitleListWindow", "CloseMainWindow"}));
}

TEST_F(MainFormFilesTest, DeletingEntriesDeletesOnlyTableFilesAndErasingTheHistoryFile) {
    const std::string table = Example("table.qvd"), notes = folder_ / "notes.txt";
    test::WriteTestFile(notes, "Quorvane\n100\n");  // not a table file
    const std::string fifo = folder_ / "fifo.qvd";  // neither reopening nor deleting waits on it
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    form_.Files().Titles().Append(table, std::string(test::kKaimono));
    form_.Files().Titles().Append(notes, "N");
    form_.Files().Titles().Append(folder_ / "gone.qvd", "G");
    form_.Files().Titles().Append(fifo, "F");
    EXPECT_FAILS(titleList_.ReopenSelected(3), "ﾌｧｲﾙへのｱｸｾｽが拒否されました");
    windows_.messageAnswers = {MessageButton::Yes, MessageButton::No, MessageButton::Yes,
                               MessageButton::Yes};
    titleList_.DeleteSelected(3);
    titleList_.DeleteSelected(0);  // No changes nothing
    EXPECT_EQ(form_.Files().Titles().Size(), 3u);
    windows_.messages.erase(windows_.messages.begin());
    windows_.ExpectOneMessage("選択された表「 買い物 」を\n本当に削除しますか？",
                              MessageKind::Confirmation, MessageButton::Yes | MessageButton::No);
    titleList_.DeleteSelected(2);  // the file is gone: the entry goes all the same
    titleList_.DeleteSelected(1);  // the entry goes, the file that is no table stays
    EXPECT_EQ(folder_.Listing(), "Quorvane.hst;fifo.qvd;notes.txt;table.qvd;");
    const std::string second = Example("second.qvd");
    form_.Files().Titles().InsertAtTop(second, "S");
    windows_.messageAnswers = {MessageButton::Yes};
    titleList_.DeleteSelected(0);  // a table file goes to the trash
    EXPECT_EQ(windows_.trashed, Texts{second});
    EXPECT_EQ(windows_.CallCount("MoveToTrash"), 1);
    EXPECT_EQ(test::ReadTestFile(stores_.historyFile),
              table + "\r\n" + std::string(test::kKaimono) + "\r\n");
    windows_.trashAvailable = false;
    windows_.messageAnswers = {MessageButton::Yes, MessageButton::No, MessageButton::Yes};
    titleList_.DeleteSelected(0);  // no trash: the table file is deleted (see the listing below)
    EXPECT_EQ(windows_.trashed, Texts{second});

    windows_.messages.clear();
    titleList_.EraseAll();  // erasing asks even when the list is empty
    windows_.ExpectOneMessage("本当にタイトル一覧を全て消去しますか？", MessageKind::Confirmation,
                              MessageButton::Yes | MessageButton::No);
    form_.Files().Titles().Append(notes, "N");
    titleList_.EraseAll();
    EXPECT_TRUE(form_.Files().Titles().Empty());
    EXPECT_EQ(folder_.Listing(), "fifo.qvd;notes.txt;");
}

}  // namespace
}  // namespace qv
