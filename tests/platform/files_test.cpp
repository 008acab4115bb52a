#include "platform/files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/failure.h"
#include "platform/files_testing.h"
#include "temp_folder.h"

namespace qv {
namespace {

template <typename Action>
std::string FailureOf(Action action) {
    try {
        action();
    } catch (const Failure& failure) {
        return failure.message();
    }
    return "no failure";
}

mode_t ModeOf(const std::string& path) {
    struct stat info;
    EXPECT_EQ(stat(path.c_str(), &info), 0);
    return info.st_mode & 07777;
}

// Installs faults for the scope of one test.
class ScopedFaults {
  public:
    explicit ScopedFaults(const FileFaults& faults) : faults_(faults) {
        SetFileFaultsForTesting(&faults_);
    }
    ~ScopedFaults() { SetFileFaultsForTesting(nullptr); }

  private:
    FileFaults faults_;
};

constexpr char kAccessDenied[] = "ﾌｧｲﾙへのｱｸｾｽが拒否されました";
constexpr char kBadFileName[] = "不正なﾌｧｲﾙ名です";

TEST(FilesRead, WholeFileAndPrefix) {
    test::TempFolder folder;
    std::string binary("a\0b\r\n\x1A\xFF", 7);
    test::WriteTestFile(folder / "data", binary);
    test::WriteTestFile(folder / "empty", "");
    EXPECT_EQ(ReadWholeFile(folder / "data"), binary);
    EXPECT_EQ(ReadWholeFile(folder / "empty"), "");
    EXPECT_EQ(ReadFilePrefix(folder / "data", 3), binary.substr(0, 3));
    EXPECT_EQ(ReadFilePrefix(folder / "data", 100), binary);
    EXPECT_EQ(ReadFilePrefix(folder / "data", 0), "");

    std::string big(3 << 20, 'q');
    big[big.size() - 1] = 'z';
    test::WriteTestFile(folder / "big", big);
    EXPECT_EQ(ReadWholeFile(folder / "big"), big);
    EXPECT_EQ(ReadFilePrefix(folder / "big", 2), "qq");
}

TEST(FilesRead, FilesOfUnknownSize) {
    // /proc files report size 0 but have contents.
    std::string status = ReadWholeFile("/proc/self/status");
    EXPECT_NE(status.find("Name:"), std::string::npos);
    EXPECT_EQ(ReadFilePrefix("/proc/self/status", 5), "Name:");
}

TEST(FilesRead, Failures) {
    test::TempFolder folder;
    EXPECT_EQ(FailureOf([&] { ReadWholeFile(folder / "missing"); }), "ﾌｧｲﾙが見つかりません");
    EXPECT_EQ(FailureOf([&] { ReadWholeFile(folder / "no/missing"); }), kBadFileName);
    EXPECT_EQ(FailureOf([&] { ReadWholeFile(folder.Path()); }), kAccessDenied);
    EXPECT_EQ(FailureOf([&] { ReadFilePrefix(folder.Path(), 10); }), kAccessDenied);
    test::WriteTestFile(folder / "file", "x");
    EXPECT_EQ(FailureOf([&] { ReadWholeFile(folder / "file/inside"); }), kBadFileName);
}

TEST(FilesExistence, FilesFoldersAndDeletion) {
    test::TempFolder folder;
    test::WriteTestFile(folder / "file", "x");
    EXPECT_TRUE(IsExistingFile(folder / "file"));
    EXPECT_FALSE(IsExistingFile(folder.Path()));
    EXPECT_FALSE(IsExistingFile(folder / "missing"));
    EXPECT_FALSE(IsExistingFile(""));
    EXPECT_TRUE(DeleteFileQuietly(folder / "file"));
    EXPECT_FALSE(IsExistingFile(folder / "file"));
    EXPECT_FALSE(DeleteFileQuietly(folder / "file"));
    EXPECT_FALSE(DeleteFileQuietly(folder.Path()));
}

TEST(FilesReplace, CreatesAndReplaces) {
    test::TempFolder folder;
    std::string path = folder / "table.csv";
    ReplaceFileAtomically(path, "first");
    EXPECT_EQ(test::ReadTestFile(path), "first");
    ReplaceFileAtomically(path, std::string("second\0", 7));
    EXPECT_EQ(test::ReadTestFile(path), std::string("second\0", 7));
    ReplaceFileAtomically(path, "");
    EXPECT_EQ(test::ReadTestFile(path), "");
    EXPECT_EQ(folder.Listing(), "table.csv;");
}

TEST(FilesReplace, NewFilesFollowTheUmaskAndOldFilesKeepTheirMode) {
    test::TempFolder folder;
    mode_t old = umask(027);
    ReplaceFileAtomically(folder / "new", "x");
    umask(old);
    EXPECT_EQ(ModeOf(folder / "new"), 0640u);

    test::WriteTestFile(folder / "kept", "old");
    ASSERT_EQ(chmod((folder / "kept").c_str(), 0604), 0);
    ReplaceFileAtomically(folder / "kept", "new");
    EXPECT_EQ(ModeOf(folder / "kept"), 0604u);
    EXPECT_EQ(test::ReadTestFile(folder / "kept"), "new");
}

TEST(FilesReplace, ReadOnlyFilesAndFoldersAreRefused) {
    test::TempFolder folder;
    std::string path = folder / "locked";
    test::WriteTestFile(path, "old");
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    EXPECT_EQ(FailureOf([&] { ReplaceFileAtomically(path, "new"); }), kAccessDenied);
    EXPECT_EQ(test::ReadTestFile(path), "old");
    EXPECT_EQ(FailureOf([&] { ReplaceFileAtomically(folder.Path(), "new"); }), kAccessDenied);
    EXPECT_EQ(folder.Listing(), "locked;");
}

TEST(FilesReplace, MissingFolderIsABadFileName) {
    test::TempFolder folder;
    EXPECT_EQ(FailureOf([&] { ReplaceFileAtomically(folder / "nowhere/t.csv", "x"); }),
              kBadFileName);
    EXPECT_EQ(folder.Listing(), "");
}

TEST(FilesReplace, FailuresLeaveTheOldFileAndNoTemporary) {
    struct Case {
        const char* name;
        FileFaults faults;
        const char* message;
    };
    const Case cases[] = {
        {"disk full half way",
         {.failingWrite = 1, .bytesBeforeWriteError = 3000, .writeErrno = ENOSPC},
         "I/O ｴﾗｰ (112)"},
        {"quota at once", {.failingWrite = 1, .writeErrno = EDQUOT}, "I/O ｴﾗｰ (112)"},
        {"file too large",
         {.failingWrite = 1, .bytesBeforeWriteError = 1, .writeErrno = EFBIG},
         "I/O ｴﾗｰ (27)"},
        {"read-only place", {.createErrno = EACCES}, kAccessDenied},
        {"read-only file system", {.createErrno = EROFS}, kAccessDenied},
        {"too many files", {.createErrno = EMFILE}, "ｵｰﾌﾟﾝしたﾌｧｲﾙが多すぎます"},
        {"space runs out on flush", {.fsyncErrno = ENOSPC}, "I/O ｴﾗｰ (112)"},
        {"crash before rename", {.renameErrno = EXDEV}, "I/O ｴﾗｰ (18)"},
    };
    std::string old = "old contents\r\n" + std::string(10000, 'o');
    std::string replacement(6000, 'n');
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempFolder folder;
        std::string path = folder / "table.csv";
        test::WriteTestFile(path, old);
        ASSERT_EQ(chmod(path.c_str(), 0640), 0);
        {
            ScopedFaults faults(c.faults);
            EXPECT_EQ(FailureOf([&] { ReplaceFileAtomically(path, replacement); }), c.message);
        }
        EXPECT_EQ(test::ReadTestFile(path), old);
        EXPECT_EQ(ModeOf(path), 0640u);
        EXPECT_EQ(folder.Listing(), "table.csv;");
        // Without the fault the same call goes through.
        ReplaceFileAtomically(path, replacement);
        EXPECT_EQ(test::ReadTestFile(path), replacement);
    }
}

TEST(FilesReplace, FailureCreatingANewFileLeavesNothing) {
    test::TempFolder folder;
    ScopedFaults faults({.failingWrite = 1, .bytesBeforeWriteError = 2, .writeErrno = ENOSPC});
    EXPECT_EQ(FailureOf([&] { ReplaceFileAtomically(folder / "new.csv", "contents"); }),
              "I/O ｴﾗｰ (112)");
    EXPECT_EQ(folder.Listing(), "");
}

TEST(FilesReplace, PermissionsStopOrdinaryUsers) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "root passes permission bits; the fault tests cover this case";
    }
    test::TempFolder folder;
    std::string sub = folder / "closed";
    ASSERT_EQ(mkdir(sub.c_str(), 0555), 0);
    EXPECT_EQ(FailureOf([&] { ReplaceFileAtomically(sub + "/t.csv", "x"); }), kAccessDenied);
}

}  // namespace
}  // namespace qv
