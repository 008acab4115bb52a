#include "app/window_geometry.h"

#include <gtest/gtest.h>

#include "platform/failure.h"
#include "platform/files_testing.h"
#include "platform/ini_file.h"
#include "platform/temp_folder.h"

namespace qv {
namespace {

bool operator==(const WindowGeometry& a, const WindowGeometry& b) {
    return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
}

TEST(GeometryStore, RoundTripsThroughTheSettingsFile) {
    test::TempFolder folder;
    std::string path = folder / "Quorvane.ini";
    test::WriteTestFile(path, "[Other]\r\nLeft=1\r\n");
    const WindowGeometry stored{-8, 20, 1024, 768};
    StoreGeometry(path, "MainForm", stored);
    EXPECT_EQ(
        test::ReadTestFile(path),
        "[Other]\r\nLeft=1\r\n[MainForm]\r\nLeft=-8\r\nTop=20\r\nWidth=1024\r\nHeight=768\r\n");
    WindowGeometry restored{1, 2, 3, 4};
    RestoreGeometry(path, "mainform", restored);
    EXPECT_TRUE(restored == stored);
}

TEST(GeometryRestore, KeepsItemsThatAreMissingBadOrMinusOne) {
    test::TempFolder folder;
    std::string path = folder / "s.ini";
    test::WriteTestFile(path, "[Main]\nLeft=-1\nTop=abc\nWidth=0x1F4\n");
    WindowGeometry geometry{10, 20, 30, 40};
    RestoreGeometry(path, "Main", geometry);
    EXPECT_TRUE(geometry == (WindowGeometry{10, 20, 500, 40}));

    WindowGeometry untouched{10, 20, 30, 40};
    RestoreGeometry(folder / "missing.ini", "Main", untouched);
    EXPECT_TRUE(untouched == (WindowGeometry{10, 20, 30, 40}));
}

TEST(GeometryStore, AFailureStopsAtTheFailingKey) {
    test::TempFolder folder;
    std::string path = folder / "s.ini";
    test::WriteTestFile(path, "[Main]\r\nLeft=0\r\nTop=0\r\nWidth=0\r\nHeight=0\r\n");
    StoreGeometry(path, "Main", WindowGeometry{1, 2, 3, 4});
    // Every key is one file replacement: Left and Top go through, Width fails.
    FileFaults faults{.createErrno = ENOSPC, .createsBeforeError = 2};
    SetFileFaultsForTesting(&faults);
    std::string message;
    try {
        StoreGeometry(path, "Main", WindowGeometry{5, 6, 7, 8});
    } catch (const Failure& failure) {
        message = failure.message();
    }
    SetFileFaultsForTesting(nullptr);
    EXPECT_EQ(message, path + " に書き込めません");
    EXPECT_EQ(test::ReadTestFile(path), "[Main]\r\nLeft=5\r\nTop=6\r\nWidth=3\r\nHeight=4\r\n");
}

}  // namespace
}  // namespace qv
