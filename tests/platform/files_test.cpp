#include "platform/files.h"

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "expect_failure.h"
#include "platform/file_system_messages.h"
#include "platform/files_testing.h"
#include "temp_folder.h"

namespace qv {
namespace {

constexpr char kAccessDenied[] = "ﾌｧｲﾙへのｱｸｾｽが拒否されました";
constexpr char kBadFileName[] = "不正なﾌｧｲﾙ名です";

std::filesystem::perms ModeOf(const std::string& path) {
    return std::filesystem::status(path).permissions();
}

TEST(FilesTest, ErrnoValuesMapToTheSystemNumbersAndTheirTexts) {
    // clang-format off
    const std::pair<int, int> numbers[] = {
        {ENOENT, 2}, {ENOTDIR, 3}, {EMFILE, 4}, {ENFILE, 4}, {EACCES, 5}, {EPERM, 5}, {EROFS, 5},
        {EISDIR, 5}, {ENOSPC, 112}, {EDQUOT, 112}, {EIO, 1117}, {ENETDOWN, 1117},
        {EHOSTDOWN, 1117}, {EINVAL, EINVAL}};
    // clang-format on
    for (auto [err, number] : numbers) {
        EXPECT_EQ(SystemErrorNumber(err), number) << err;
    }
    // clang-format off
    const std::pair<int, const char*> texts[] = {
        {2, "ﾌｧｲﾙが見つかりません"}, {3, kBadFileName}, {4, "ｵｰﾌﾟﾝしたﾌｧｲﾙが多すぎます"},
        {5, kAccessDenied}, {100, "ﾌｧｲﾙの末尾以降を読み込みました"}, {101, "ﾃﾞｨｽｸがいっぱいです"},
        {106, "入力値が数値ではありません"}, {112, "I/O ｴﾗｰ (112)"}, {-1, "I/O ｴﾗｰ (-1)"}};
    // clang-format on
    for (auto [number, text] : texts) {
        EXPECT_EQ(FileSystemMessage(number), text) << number;
    }
}

TEST(FilesTest, ReadsAndReplacesWholeFilesOrTellsWhyNot) {
    test::TempFolder folder;
    const std::string binary("a\0b\r\n\x1A\xFF", 7), path = folder / "data";
    ReplaceFileAtomically(path, binary);
    EXPECT_EQ(test::ReadTestFile(path), binary);
    EXPECT_EQ(ReadWholeFile(path), binary);
    EXPECT_EQ(ReadFilePrefix(path, 3), binary.substr(0, 3));
    EXPECT_TRUE(IsExistingFile(path));
    EXPECT_FALSE(IsExistingFile(folder.Path()));
    EXPECT_FAILS(ReadWholeFile(folder / "missing"), "ﾌｧｲﾙが見つかりません");
    EXPECT_FAILS(ReadWholeFile(folder / "no/missing"), kBadFileName);
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);  // neither a read-only file nor a folder is replaced
    EXPECT_FAILS(ReplaceFileAtomically(path, "x"), kAccessDenied);
    EXPECT_FAILS(ReplaceFileAtomically(folder.Path(), "x"), kAccessDenied);
    EXPECT_FAILS(ReplaceFileAtomically(folder / "nowhere/t.csv", "x"), kBadFileName);
    EXPECT_EQ(test::ReadTestFile(path), binary);
    EXPECT_EQ(folder.Listing(), "data;");
    EXPECT_EQ((std::vector{DeleteFileQuietly(path), DeleteFileQuietly(path)}),
              (std::vector{true, false}));
}

// Failures at each step of a replacement leave the old file as it was and no temporary file;
// without the fault the same call goes through and keeps the file's mode.
TEST(FilesTest, FailuresLeaveTheOldFileAndNoTemporary) {
    // clang-format off
    const std::pair<FileFaults, const char*> cases[] = {
        {{.failingWrite = 1, .bytesBeforeWriteError = 3000, .writeErrno = ENOSPC}, "I/O ｴﾗｰ (112)"},
        {{.failingWrite = 1, .bytesBeforeWriteError = 1, .writeErrno = EFBIG}, "I/O ｴﾗｰ (27)"},
        {{.failingWrite = 1, .writeErrno = EDQUOT}, "I/O ｴﾗｰ (112)"},
        {{.createErrno = EROFS}, kAccessDenied}, {{.fsyncErrno = ENOSPC}, "I/O ｴﾗｰ (112)"},
        {{.createErrno = EMFILE}, "ｵｰﾌﾟﾝしたﾌｧｲﾙが多すぎます"},
        {{.renameErrno = EXDEV}, "I/O ｴﾗｰ (18)"}};  // as after a crash just before the rename
    // clang-format on
    const std::string old = "old contents\r\n" + std::string(10000, 'o'), replacement(6000, 'n');
    // The same replacement written in two pieces as they are made.
    const auto streamed = [&](const std::string& path) {
        AtomicFileWriter file(path);
        file.Write(std::string_view(replacement).substr(0, 100));
        file.Write(std::string_view(replacement).substr(100));
        file.Commit();
    };
    for (const auto& [faults, message] : cases) {
        test::TempFolder folder;
        const std::string path = folder / "table.csv";
        test::WriteTestFile(path, old);
        ASSERT_EQ(chmod(path.c_str(), 0640), 0);
        SetFileFaultsForTesting(&faults);
        EXPECT_FAILS(ReplaceFileAtomically(path, replacement), message);
        EXPECT_FAILS(ReplaceFileAtomically(folder / "new.csv", "x"), message);
        EXPECT_FAILS(streamed(path), message);
        SetFileFaultsForTesting(nullptr);
        {
            AtomicFileWriter abandoned(path);  // an export that failed half way
            abandoned.Write(replacement);
        }
        EXPECT_EQ(test::ReadTestFile(path), old) << message;
        EXPECT_EQ(ModeOf(path), std::filesystem::perms(0640));
        EXPECT_EQ(folder.Listing(), "table.csv;") << message;
        streamed(path);
        EXPECT_EQ(test::ReadTestFile(path), replacement);
        EXPECT_EQ(ModeOf(path), std::filesystem::perms(0640));
    }
}

// A big file is flushed to the disk while it is written; a flush that fails then fails the
// replacement, although the flush at the end, which the system no longer tells of that error,
// would go through.
TEST(FilesTest, AFlushFailingWhileABigFileIsWrittenFailsTheReplacement) {
    test::TempFolder folder;
    const std::string path = folder / "export.csv";
    test::WriteTestFile(path, "old");
    const auto writeBigFile = [&] {
        AtomicFileWriter file(path);
        const std::string megabyte(1 << 20, 'x');
        // Long enough for the flush's failure to be heard, however slowly its thread starts.
        for (int i = 0; i < 200; ++i) {
            file.Write(megabyte);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        file.Commit();
    };
    const FileFaults faults{.earlyFlushErrno = EIO};
    SetFileFaultsForTesting(&faults);
    EXPECT_FAILS(writeBigFile(), "I/O ｴﾗｰ (1117)");
    SetFileFaultsForTesting(nullptr);
    EXPECT_EQ(test::ReadTestFile(path), "old");
    EXPECT_EQ(folder.Listing(), "export.csv;");
}

// Nothing but a regular file is read, and opening never waits: a FIFO without a writer, a device
// of endless bytes, each also behind a link, fail at once as access denied.
TEST(FilesTest, ReadsOnlyRegularFilesAndOnlyWhatTheyHeldWhenOpened) {
    test::TempFolder folder;
    ASSERT_EQ(mkfifo((folder / "fifo").c_str(), 0644), 0);
    std::filesystem::create_symlink(folder / "fifo", folder / "fifo-link");
    std::filesystem::create_symlink("/dev/zero", folder / "zero-link");
    for (const std::string& path : {folder / "fifo", folder / "fifo-link", folder / "zero-link",
                                    std::string("/dev/null"), folder.Path()}) {
        EXPECT_FAILS(ReadWholeFile(path), kAccessDenied) << path;
        EXPECT_FAILS(ReadFilePrefix(path, 10), kAccessDenied);
    }
    test::WriteTestFile(folder / "growing", "abc");
    RegularFile file(folder / "growing");
    std::ofstream(folder / "growing", std::ios::app) << "def";
    std::string read(10, '\0');
    read.resize(file.Read(read.data(), read.size()));
    EXPECT_EQ(read + "|" + std::to_string(file.Read(read.data(), 1)), "abc|0");
}

// A save writes the file the user meant: through symbolic links (also dangling ones) to their
// target, over a hard-linked file in place, keeping the owner and group, and in place when the
// folder takes no new file.
TEST(FilesTest, ReplacingKeepsLinksOwnersAndIdentity) {
    test::TempFolder folder;
    std::filesystem::create_directory(folder / "real");
    const std::string target = folder / "real/t.qvd";
    test::WriteTestFile(target, "old");
    std::filesystem::create_symlink("real/t.qvd", folder / "rel-link");
    std::filesystem::create_symlink(folder / "rel-link", folder / "link-to-link");
    std::filesystem::create_symlink("real/new.qvd", folder / "dangling");
    for (const char* link : {"rel-link", "link-to-link", "dangling"}) {
        ReplaceFileAtomically(folder / link, link);
        EXPECT_TRUE(std::filesystem::is_symlink(folder / link)) << link;
        EXPECT_EQ(test::ReadTestFile(folder / link), link);
    }
    EXPECT_EQ(test::ReadTestFile(target), "link-to-link");
    EXPECT_EQ(folder.Listing(), "dangling;link-to-link;real;rel-link;");
    EXPECT_EQ(test::TempFolderListing(folder / "real"), "new.qvd;t.qvd;");

    ASSERT_EQ(chown(target.c_str(), 1234, 5678), 0);  // the tests run as root
    std::filesystem::create_hard_link(target, folder / "hard");
    struct stat before {
    }, after{}, other{};
    ASSERT_EQ(stat(target.c_str(), &before), 0);
    const std::string longer(100000, 'h');
    ReplaceFileAtomically(target, longer);
    ASSERT_EQ(stat(target.c_str(), &after), 0);
    ASSERT_EQ(stat((folder / "hard").c_str(), &other), 0);
    EXPECT_EQ(test::ReadTestFile(folder / "hard"), longer);
    EXPECT_EQ(std::vector({after.st_ino, other.st_ino, after.st_nlink}),
              std::vector({before.st_ino, before.st_ino, nlink_t{2}}));
    ReplaceFileAtomically(target, "short");
    EXPECT_EQ(test::ReadTestFile(folder / "hard"), "short");

    std::filesystem::remove(folder / "hard");
    ReplaceFileAtomically(target, "renamed");
    ASSERT_EQ(stat(target.c_str(), &after), 0);
    EXPECT_NE(after.st_ino, before.st_ino);  // the atomic way
    EXPECT_EQ(std::vector({after.st_uid, after.st_gid}), std::vector({1234u, 5678u}));

    // A folder that takes no new file (what EACCES on creation means): the file is rewritten
    // where it is, and a new file is refused.
    const FileFaults lockedFolder{.createErrno = EACCES};
    SetFileFaultsForTesting(&lockedFolder);
    ReplaceFileAtomically(target, "in place");
    EXPECT_FAILS(ReplaceFileAtomically(folder / "real/other.qvd", "x"), kAccessDenied);
    SetFileFaultsForTesting(nullptr);
    EXPECT_EQ(test::ReadTestFile(target), "in place");
    ASSERT_EQ(stat(target.c_str(), &before), 0);
    EXPECT_EQ(before.st_ino, after.st_ino);
}

// A save killed at any moment leaves the old or the new file and nothing else.
TEST(FilesTest, ASaveKilledHalfWayLeavesNoTemporaryFile) {
    test::TempFolder folder;
    const std::string path = folder / "t.qvd";
    const std::string big(std::size_t{32} << 20, 'x');
    for (int delayMs : {5, 20, 60}) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (;;) {
                ReplaceFileAtomically(path, big);
            }
        }
        usleep(static_cast<useconds_t>(delayMs * 1000));
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        const std::string listing = folder.Listing();
        EXPECT_TRUE(listing == "" || listing == "t.qvd;") << listing;
    }
}

}  // namespace
}  // namespace qv
