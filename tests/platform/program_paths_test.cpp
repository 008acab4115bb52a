#include "platform/program_paths.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "temp_folder.h"

namespace qv {
namespace {

bool IsFolder(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

TEST(ProgramPaths, ProgramPathNamesThisTestProgram) {
    std::string path = ProgramPath();
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(path.front(), '/');
    EXPECT_EQ(std::filesystem::path(path).filename(), "core_tests");
    EXPECT_TRUE(std::filesystem::equivalent(path, "/proc/self/exe"));
}

TEST(ProgramPaths, WritableFolderKeepsTheFilesBesideTheProgram) {
    test::TempFolder folder;
    struct Case {
        std::string program;
        std::string settings;
    };
    const Case cases[] = {
        {folder / "Quorvane.exe", folder / "Quorvane.ini"},
        {folder / "quorvane", folder / "quorvane.ini"},
        {folder / "my.tool.bin", folder / "my.tool.ini"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.program);
        StoreLocations where = ResolveStoreLocations(c.program, "/nonexistent-xdg", "/home/x");
        EXPECT_EQ(where.settingsFile, c.settings);
        EXPECT_EQ(where.historyFile, folder / "Quorvane.hst");
    }
    EXPECT_FALSE(IsFolder("/nonexistent-xdg"));

    // Only the last path component has an extension.
    std::string dotted = folder / "v1.2";
    ASSERT_EQ(mkdir(dotted.c_str(), 0755), 0);
    EXPECT_EQ(ResolveStoreLocations(dotted + "/quorvane", nullptr, nullptr).settingsFile,
              dotted + "/quorvane.ini");
}

TEST(ProgramPaths, InstalledOrReadOnlyCopiesUseTheConfigFolder) {
    test::TempFolder folder;
    std::string xdg = folder / "xdg";
    std::string home = folder / "home";

    StoreLocations installed = ResolveStoreLocations("/usr/bin/quorvane", xdg.c_str(), nullptr);
    EXPECT_EQ(installed.settingsFile, xdg + "/quorvane/quorvane.ini");
    EXPECT_EQ(installed.historyFile, xdg + "/quorvane/Quorvane.hst");
    EXPECT_TRUE(IsFolder(xdg + "/quorvane"));

    // XDG_CONFIG_HOME unset, empty or relative: $HOME/.config; the folders are made.
    for (const char* unusable : {static_cast<const char*>(nullptr), "", "relative/config"}) {
        StoreLocations where =
            ResolveStoreLocations("/opt/quorvane/Quorvane.exe", unusable, home.c_str());
        EXPECT_EQ(where.settingsFile, home + "/.config/quorvane/Quorvane.ini");
        EXPECT_EQ(where.historyFile, home + "/.config/quorvane/Quorvane.hst");
    }
    EXPECT_TRUE(IsFolder(home + "/.config/quorvane"));
    EXPECT_FALSE(IsFolder("relative"));

    // A folder that merely begins like a system one is not one.
    std::string usrlocal = folder / "usrx";
    ASSERT_EQ(mkdir(usrlocal.c_str(), 0755), 0);
    EXPECT_EQ(ResolveStoreLocations(usrlocal + "/q", xdg.c_str(), nullptr).settingsFile,
              usrlocal + "/q.ini");

    // A folder that cannot be written to (root can write anywhere, so a missing one stands in).
    EXPECT_EQ(ResolveStoreLocations(folder / "gone/q", xdg.c_str(), nullptr).settingsFile,
              xdg + "/quorvane/q.ini");
}

TEST(ProgramPaths, NoConfigFolderKnown) {
    StoreLocations where = ResolveStoreLocations("/usr/bin/quorvane", nullptr, nullptr);
    EXPECT_EQ(where.settingsFile, "/usr/bin/quorvane.ini");
    EXPECT_EQ(where.historyFile, "/usr/bin/Quorvane.hst");
}

}  // namespace
}  // namespace qv
