// Recovery copies of unsaved tables: written when changed, kept from running programs by their
// locks, offered after a crash, restored as unsaved, removed by a save, a No or a normal end.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <numeric>
#include <set>

#include "app/fake_window_system.h"
#include "app/main_form.h"
#include "app/recovery/recovery_keeper.h"
#include "app/recovery/recovery_testing.h"
#include "platform/failure.h"
#include "table/main_table_shape.h"
#include "table/table_file_reader.h"
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

// The files a program that no longer runs left: its lock file (unlocked), info and table.
void PlantDeadCopy(const std::string& stem, std::string_view info, std::string_view table) {
    for (const auto& [extension, bytes] : {std::pair{".lock", std::string_view()},
                                           std::pair{".info", info}, std::pair{".qvd", table}}) {
        test::WriteTestFile(stem + extension, bytes);
    }
}

TEST(RecoveryInfoTest, AnInfoCutShortOrTornByItsLinesNamesNoFile) {
    const std::string bytes = RecoveryInfoBytes({"/d/a\r\nb\x1a.qvd", "t"});  // whole: RecoveryTest
    for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
        EXPECT_FALSE(ParseRecoveryInfo(bytes.substr(0, cut))) << cut;
    }
    // The previous version's lines, the path's own CR LF among them.
    EXPECT_EQ(ParseRecoveryInfo("QuorvaneRecovery\r\n/d/a\r\nb.qvd\r\nt\r\n")->originalPath, "");
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
    EXPECT_TRUE(second.FindLeftCopies().copies.empty());  // its program still runs
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

    std::vector<LeftCopy> copies = second.FindLeftCopies().copies;
    ASSERT_EQ(copies.size(), 1u);
    ASSERT_TRUE(copies[0].Take());
    EXPECT_EQ(copies[0].Info().originalPath, "/d/t.qvd");
    EXPECT_EQ(copies[0].Info().title, "T2");
    EXPECT_EQ(test::ReadTestFile(copies[0].TablePath()), BuildTableFile(grid, "T2", {1, 2, 3, 4}));
    {
        RecoveryKeeper third(other, state);
        EXPECT_TRUE(third.FindLeftCopies().copies.empty());  // the second took the dead one's
    }  // the third ends without a copy: its lock file is cleaned up by the next look
    copies[0].Discard();
    EXPECT_TRUE(second.FindLeftCopies().copies.empty());
    EXPECT_EQ(Kinds(state), ".lock;");  // the second's own
    other.SetCell(1, 1, "y");
    second.WriteIfChanged("", "", {});
    second.Drop();  // removed even while being written
    second.End();
    EXPECT_TRUE(std::filesystem::is_empty(state));
}

struct Program {
    Program(const StoreLocations& stores, const std::string& state) : form(windows, stores, ".") {
        form.Start();
        form.Files().StartRecovery(state);
    }
    test::FakeWindowSystem windows;
    MainForm form;
};

TEST(RecoveryTest, ACrashedTableIsOfferedRestoredAsUnsavedAndRemovedBySaveOrEnd) {
    test::TempFolder folder, state;
    const StoreLocations stores{folder / "Quorvane.ini", folder / "Quorvane.hst"};
    const std::string example = folder / "ex\r\nample.qvd";  // no line of a text file holds it
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
    for (const RecoveryFaults kill : {RecoveryFaults{1}, RecoveryFaults{2}}) {
        SetRecoveryFaultsForTesting(&kill);  // killed while it makes the copy its own
        Program adopting(stores, state.Path());
        adopting.windows.messageAnswers = {MessageButton::Yes};
        EXPECT_THROW(adopting.form.Files().OfferRecoveryCopies(), SimulatedKill);
        SetRecoveryFaultsForTesting(nullptr);
    }
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
    const TableGrid& grid = restoring.form.Table();
    EXPECT_EQ(grid.CellText(2, 2), "42");
    EXPECT_EQ(grid.CellText(1, 1), std::string(test::kRingo));
    EXPECT_EQ(grid.CellText(0, 2), "  2");
    EXPECT_EQ(restoring.form.EditTitle(), "edited");
    EXPECT_EQ(restoring.form.CurFileName(), example);
    EXPECT_TRUE(restoring.form.IsModified());
    EXPECT_EQ(Kinds(state.Path()), ".info;.lock;.qvd;");       // adopted: one program's files
    EXPECT_THROW(restoring.form.Files().SaveFile(), Failure);  // the name, as for the loaded file
    EXPECT_FALSE(std::filesystem::exists(folder / "ex"));
    restoring.windows.saveDialogAnswers = {folder / "saved.qvd"};
    restoring.form.Files().SaveFileAs();
    restoring.form.Files().WaitForRecoveryCopy();
    EXPECT_EQ(Kinds(state.Path()), ".lock;");
    const std::string saved = test::ReadTestFile(folder / "saved.qvd");
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
    restoring.form.Closing();
    EXPECT_EQ(Kinds(state.Path()), "");
}

TEST(RecoveryTest, AStartDeletesNoCopyItDidNotOfferEvenWithFewFilesToOpen) {
    test::TempFolder folder, state;
    const std::string table = BuildTableFile(TableGrid(kMainTableShape), "T", {1, 2, 3, 4});
    for (int i = 0; i < 1100; ++i) {  // as the previous version wrote them
        PlantDeadCopy(state / std::to_string(i), "QuorvaneRecovery\r\n/d/t.qvd\r\nT\r\n", table);
    }
    PlantDeadCopy(state / "cut", "QuorvaneRecover", table);
    std::filesystem::last_write_time(
        state / "cut.qvd",
        std::chrono::file_clock::now() + std::chrono::hours(1));  // offered first
    Program starting({folder / "Quorvane.ini", folder / "Quorvane.hst"}, state.Path());
    rlimit usual{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &usual), 0);
    const rlimit few{64, usual.rlim_max};
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &few), 0);
    starting.windows.messageAnswers = {MessageButton::No, MessageButton::Cancel};
    starting.form.Files().OfferRecoveryCopies();
    setrlimit(RLIMIT_NOFILE, &usual);
    // Three files for each copy left, and the program's own lock file.
    EXPECT_EQ(std::ranges::distance(std::filesystem::directory_iterator(state.Path())), 3301);
    ASSERT_EQ(starting.windows.messages.size(), 2u);  // the first refused: it alone went
    EXPECT_EQ(
        starting.windows.messages[0].text,
        "保存されないまま終了した表「 T 」の編集内容が残っています。\n元のファイル名は読み取れ"
        "ませんでした。\n復元しますか？「いいえ」を選ぶと、この編集内容は削除されます。");
    EXPECT_NE(starting.windows.messages[1].text.find("ファイル: /d/t.qvd\n"), std::string::npos);
}

TEST(RecoveryTest, LinksAndOthersFilesAreNeitherReadNorWrittenAsCopies) {
    test::TempFolder folder, state, ownState;
    const StoreLocations stores{folder / "Quorvane.ini", folder / "Quorvane.hst"};
    const std::string victim = folder / "v.qvd";  // what every link leads to
    test::WriteTestFile(victim, test::ExampleTableFile());
    for (const std::string piece : {".qvd", ".info", ".lock", "owner"}) {
        PlantDeadCopy(state / piece, RecoveryInfoBytes({victim, "V"}), test::ExampleTableFile());
        if (piece != "owner") {
            std::filesystem::remove(state / (piece + piece));
            std::filesystem::create_symlink(victim, state / (piece + piece));
        } else if (chown((state / "owner.qvd").c_str(), 4242, 4242) != 0) {
            std::filesystem::remove(state / "owner.qvd");  // only root gives a file away
        }
    }
    Program starting(stores, state.Path());
    starting.form.Files().OfferRecoveryCopies();
    starting.windows.ExpectOneMessage(
        "保存されないまま終了した表の編集内容のうち " + std::string(geteuid() == 0 ? "4" : "3") +
            " 件は読み込めなかったため、削除せずに残してあります。\n場所: " + state.Path(),
        MessageKind::Warning, Buttons(MessageButton::OK));

    Program running(stores, ownState.Path());
    const std::string own = std::filesystem::directory_iterator(ownState.Path())->path().stem();
    std::filesystem::create_symlink(victim, ownState / (own + ".qvd"));
    std::filesystem::create_symlink(victim, ownState / (own + ".info"));
    running.form.SetEditTitle("x");
    running.form.Files().WriteRecoveryCopyIfDue();
    running.form.Files().WaitForRecoveryCopy();
    EXPECT_EQ(test::ReadTestFile(victim), test::ExampleTableFile());
    EXPECT_EQ(ParseTableFile(test::ReadTestFile(ownState / (own + ".qvd")))->title, "x");
}

}  // namespace
}  // namespace qv
