// What the program takes from its environment: its own path, where its files live, the
// decimal separator of the user's number format.
#include "platform/program_paths.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>

#include "platform/decimal_separator.h"
#include "temp_folder.h"

namespace qv {
namespace {

using std::filesystem::is_directory;

TEST(ProgramPathsTest, ProgramPathNamesThisTestProgram) {
    EXPECT_TRUE(std::filesystem::equivalent(ProgramPath(), "/proc/self/exe"));
    EXPECT_EQ(std::filesystem::path(ProgramPath()).filename(), "core_tests");
}

// A copy in a folder the user may write to keeps its files beside itself; an installed one, or
// one in a folder it cannot write to, in $XDG_CONFIG_HOME/quorvane or else $HOME/.config/quorvane.
TEST(ProgramPathsTest, FilesLiveBesideTheProgramOrInTheConfigFolder) {
    test::TempFolder folder;
    const std::string xdg = folder / "xdg", home = folder / "home", dotted = folder / "v1.2";
    ASSERT_EQ(mkdir(dotted.c_str(), 0755), 0);
    const std::tuple<std::string, const char*, const char*, std::string> cases[] = {
        {folder / "Quorvane.exe", "/nonexistent-xdg", "/home/x", folder / "Quorvane.ini"},
        {folder / "my.tool.bin", nullptr, nullptr, folder / "my.tool.ini"},
        {dotted + "/quorvane", nullptr, nullptr, dotted + "/quorvane.ini"},
        {"/usr/bin/quorvane", xdg.c_str(), nullptr, xdg + "/quorvane/quorvane.ini"},
        {folder / "gone/q", xdg.c_str(), nullptr, xdg + "/quorvane/q.ini"},
        {"/opt/q/Q.exe", nullptr, home.c_str(), home + "/.config/quorvane/Q.ini"},
        {"/opt/q/Q.exe", "", home.c_str(), home + "/.config/quorvane/Q.ini"},
        {"/opt/q/Q.exe", "relative/config", home.c_str(), home + "/.config/quorvane/Q.ini"},
        {"/usr/bin/quorvane", nullptr, nullptr, "/usr/bin/quorvane.ini"}};
    for (const auto& [program, xdgConfigHome, homeFolder, settings] : cases) {
        const StoreLocations where = ResolveStoreLocations(program, xdgConfigHome, homeFolder);
        EXPECT_EQ(where.settingsFile, settings) << program;
        EXPECT_EQ(std::filesystem::path(where.historyFile),
                  std::filesystem::path(settings).replace_filename("Quorvane.hst"));
    }
    EXPECT_TRUE(is_directory(xdg + "/quorvane") && is_directory(home + "/.config/quorvane"));
    EXPECT_FALSE(is_directory("/nonexistent-xdg") || is_directory("relative"));
    // The state folder (recovery copies) is never beside the program.
    EXPECT_EQ(ResolveStateFolder("/s", "/h"), "/s/quorvane");
    EXPECT_EQ(ResolveStateFolder("rel", "/h/"), "/h/.local/state/quorvane");
    EXPECT_EQ(ResolveStateFolder("", nullptr), "");
}

// A locale that is not installed gives the point; the program's separator is read once.
TEST(ProgramPathsTest, DecimalSeparatorFollowsTheLocaleAndIsReadOnce) {
    const std::string& programSeparator = ProgramDecimalSeparator();
    const char* old = getenv("LC_ALL");
    const std::string saved = old ? old : "";
    setenv("LC_ALL", "xx_NOWHERE.UTF-8", 1);
    EXPECT_EQ(LocaleDecimalSeparator(), ".");
    EXPECT_EQ(&ProgramDecimalSeparator(), &programSeparator);
    old ? setenv("LC_ALL", saved.c_str(), 1) : unsetenv("LC_ALL");
}

}  // namespace
}  // namespace qv
