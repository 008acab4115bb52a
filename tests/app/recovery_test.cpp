// Recovery copies of unsaved tables: written when changed, kept from running programs by their
// locks, offered after a crash, restored as unsaved, removed by a save, a No or a normal end.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <numeric>
#include <set>

#include "app/fake_window_system.h"
#include "app/main_form.h"
#include "app/recovery/recovery_keeper.h"
#include "table/main_table_shape.h"
#include "table/table_file_writer.h"
#include "table_file_examples.h"
#include "temp_folder.h"

namespace qv {
namespace {

// The kinds of files in the folder, by extension, sorted: ".info;.lock;.qvd;".
std::string Kinds(const std::string& folder) {
    std::multiset<std::string> kinds;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        kinds.insert(entry.path().extension().string() + ";");
    }
    return std::accumulate(kinds.begin(), kinds.end(), std::string());
}

TEST(RecoveryKeeperTest, WritesOnlyChangesAndKeepsLiveCopiesFromOtherPrograms) {
    test::TempFolder root;
    const std::string state = root / "state/quorvane";  // made when missing
    TableGrid grid(kMainTableShape), other(kMainTableShape);
    auto running = std::make_unique<RecoveryKeeper>(grid, state);
    grid.SetCell(1, 1, "x");
    running->WriteIfChanged("T", "/d/t.qvd", {1, 2, 3, 4});
    running->WaitUntilWritten();
    const std::string table = BuildTableFile(grid, "T", {1, 2, 3, 4});

    RecoveryKeeper second(other, state);
    EXPECT_TRUE(second.FindLeftCopies().empty());  // its program still runs
    for (const auto& entry : std::filesystem::directory_iterator(state)) {
        if (entry.path().extension() == ".qvd") {
            EXPECT_EQ(test::ReadTestFile(entry.path()), table);
            std::filesystem::remove(entry.path());
        }
    }
    running->WriteIfChanged("T", "/d/t.qvd", {9, 9, 9, 9});  // nothing changed: not written
    running->WaitUntilWritten();
    running->WriteIfChanged("T2", "/d/t.qvd", {1, 2, 3, 4});  // the title changed
    running->WaitUntilWritten();
    running.reset();  // as in a crash: the lock goes with the program, the files stay

    std::vector<LeftCopy> copies = second.FindLeftCopies();
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(copies[0].Info().originalPath, "/d/t.qvd");
    EXPECT_EQ(copies[0].Info().title, "T2");
    EXPECT_EQ(test::ReadTestFile(copies[0].TablePath()), BuildTableFile(grid, "T2", {1, 2, 3, 4}));
    {
        RecoveryKeeper third(other, state);
        EXPECT_TRUE(third.FindLeftCopies().empty());  // the second holds the dead one's lock
    }  // the third ends without a copy: its lock file is cleaned up by the next look
    copies[0].Discard();
    EXPECT_TRUE(second.FindLeftCopies().empty());
    EXPECT_EQ(Kinds(state), ".lock;");  // the second's own
    other.SetCell(1, 1, "y");
    second.WriteIfChanged("", "", {});
    second.Drop();  // removed even while being written
    second.End();
    EXPECT_TRUE(std::filesystem::is_empty(state));
}

struct Program {
    Program(const StoreLocations& stores, const std::string& state) : form(windows, stores, ".") {
        form.FormCreate();
        form.Files().StartRecovery(state);
    }
    test::FakeWindowSystem windows;
    MainForm form;
};

TEST(RecoveryTest, ACrashedTableIsOfferedRestoredAsUnsavedAndRemovedBySaveOrEnd) {
    test::TempFolder folder, state;
    const StoreLocations stores{folder / "Quorvane.ini", folder / "Quorvane.hst"};
    const std::string example = folder / "example.qvd";
    test::WriteTestFile(example, test::ExampleTableFile());
    auto crashing = std::make_unique<Program>(stores, state.Path());
    crashing->windows.openDialogAnswers = {example};
    crashing->form.Files().LoadTableFile();
    crashing->form.Files().WriteRecoveryCopyIfDue();  // saved as loaded: no copy
    crashing->form.Document().UnrecordedTable().SetCell(2, 2, "42");
    crashing->form.SetEditTitle("edited");
    crashing->form.Files().WaitForRecoveryCopy();
    EXPECT_EQ(Kinds(state.Path()), ".lock;");
    crashing->form.Files().WriteRecoveryCopyIfDue();
    crashing->form.Files().WaitForRecoveryCopy();
    EXPECT_EQ(Kinds(state.Path()), ".info;.lock;.qvd;");

    Program restoring(stores, state.Path());  // a running program's copy: RecoveryKeeperTest
    crashing.reset();
    restoring.windows.messageAnswers = {MessageButton::Cancel, MessageButton::Yes};
    restoring.form.Files().OfferRecoveryCopies();  // the close box leaves it for later
    restoring.form.Files().OfferRecoveryCopies();
    const std::string question =
        "保存されないまま終了した表「 edited 」の編集内容が残っています。\nファイル: " + example +
        "\n復元しますか？「いいえ」を選ぶと、この編集内容は削除されます。";
    EXPECT_EQ(restoring.windows.messages.size(), 2u);
    restoring.windows.messages.pop_back();
    restoring.windows.ExpectOneMessage(question, MessageKind::Confirmation,
                                       MessageButton::Yes | MessageButton::No);
    const TableGrid& grid = restoring.form.StringGrid();
    EXPECT_EQ(grid.CellText(2, 2), "42");
    EXPECT_EQ(grid.CellText(1, 1), std::string(test::kRingo));
    EXPECT_EQ(grid.CellText(0, 2), "  2");
    EXPECT_EQ(restoring.form.EditTitle(), "edited");
    EXPECT_EQ(restoring.form.CurFileName(), example);
    EXPECT_TRUE(restoring.form.IsModified());
    EXPECT_EQ(Kinds(state.Path()), ".info;.lock;.qvd;");  // adopted: one program's files
    restoring.form.Files().SaveFile();
    restoring.form.Files().WaitForRecoveryCopy();
    EXPECT_EQ(Kinds(state.Path()), ".lock;");
    const std::string saved = test::ReadTestFile(example);
    EXPECT_NE(saved.find("\r\nedited\r\n"), std::string::npos);
    EXPECT_TRUE(saved.ends_with(std::string(test::kMikan) + "\r\n42\r\n"));

    // A No removes a left copy; a normal end removes everything.
    auto unsaved = std::make_unique<Program>(stores, state.Path());
    unsaved->form.Input().TypeInCurrentCell("z");  // typing in the current cell, (1, 1)
    unsaved->form.Files().WriteRecoveryCopyIfDue();
    unsaved.reset();
    restoring.windows.messageAnswers = {MessageButton::No};
    restoring.form.Files().OfferRecoveryCopies();
    restoring.windows.ExpectOneMessage(
        "保存されないまま終了した表「  "
        "」の編集内容が残っています。\n復元しますか？「いいえ」を選ぶと、"
        "この編集内容は削除されます。",
        MessageKind::Confirmation, MessageButton::Yes | MessageButton::No);
    EXPECT_EQ(grid.CellText(1, 1), std::string(test::kRingo));
    EXPECT_EQ(Kinds(state.Path()), ".lock;");
    restoring.form.Document().UnrecordedTable().SetCell(1, 1, "");
    restoring.form.Files().WriteRecoveryCopyIfDue();
    restoring.form.FormClose();
    EXPECT_EQ(Kinds(state.Path()), "");
}

}  // namespace
}  // namespace qv
