#include "platform/files.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <vector>

#include "platform/failure.h"
#include "platform/file_system_messages.h"
#include "platform/files_testing.h"
#include "temp_folder.h"

namespace qv {
namespace {

using ::testing::ThrowsMessage;
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

TEST(FilesTest, ReadsWholeFilesAndPrefixesOrTellsWhyNot) {
    test::TempFolder folder;
    const std::string binary("a\0b\r\n\x1A\xFF", 7);
    test::WriteTestFile(folder / "data", binary);
    EXPECT_EQ(ReadWholeFile(folder / "data"), binary);
    EXPECT_EQ(ReadFilePrefix(folder / "data", 3), binary.substr(0, 3));
    EXPECT_EQ(ReadFilePrefix("/proc/self/status", 5), "Name:");  // a size of 0 but contents
    EXPECT_TRUE(IsExistingFile(folder / "data"));
    EXPECT_FALSE(IsExistingFile(folder.Path()));
    EXPECT_THAT([&] { ReadWholeFile(folder / "missing"); },
                ThrowsMessage<Failure>("ﾌｧｲﾙが見つかりません"));
    EXPECT_THAT([&] { ReadWholeFile(folder / "no/missing"); },
                ThrowsMessage<Failure>(kBadFileName));
    EXPECT_THAT([&] { ReadFilePrefix(folder.Path(), 10); }, ThrowsMessage<Failure>(kAccessDenied));
    EXPECT_EQ((std::vector{DeleteFileQuietly(folder / "data"), DeleteFileQuietly(folder / "data")}),
              (std::vector{true, false}));
}

TEST(FilesTest, ReplacingKeepsTheModeAndRefusesFoldersAndReadOnlyFiles) {
    test::TempFolder folder;
    const std::string path = folder / "table.csv";
    test::WriteTestFile(path, "old");
    ASSERT_EQ(chmod(path.c_str(), 0604), 0);
    ReplaceFileAtomically(path, std::string("new\0", 4));
    EXPECT_EQ(test::ReadTestFile(path), std::string("new\0", 4));
    EXPECT_EQ(ModeOf(path), std::filesystem::perms(0604));
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    EXPECT_THAT([&] { ReplaceFileAtomically(path, "x"); }, ThrowsMessage<Failure>(kAccessDenied));
    EXPECT_THAT([&] { ReplaceFileAtomically(folder.Path(), "x"); },
                ThrowsMessage<Failure>(kAccessDenied));
    EXPECT_THAT([&] { ReplaceFileAtomically(folder / "nowhere/t.csv", "x"); },
                ThrowsMessage<Failure>(kBadFileName));
    EXPECT_EQ(test::ReadTestFile(path), std::string("new\0", 4));
    EXPECT_EQ(folder.Listing(), "table.csv;");
}

// Failures at each step of a replacement leave the old file as it was and no temporary file;
// without the fault the same call goes through.
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
    for (const auto& [faults, message] : cases) {
        test::TempFolder folder;
        const std::string path = folder / "table.csv";
        test::WriteTestFile(path, old);
        ASSERT_EQ(chmod(path.c_str(), 0640), 0);
        SetFileFaultsForTesting(&faults);
        EXPECT_THAT([&] { ReplaceFileAtomically(path, replacement); },
                    ThrowsMessage<Failure>(message));
        EXPECT_THAT([&] { ReplaceFileAtomically(folder / "new.csv", "x"); },
                    ThrowsMessage<Failure>(message));
        SetFileFaultsForTesting(nullptr);
        EXPECT_EQ(test::ReadTestFile(path), old) << message;
        EXPECT_EQ(ModeOf(path), std::filesystem::perms(0640));
        EXPECT_EQ(folder.Listing(), "table.csv;") << message;
        ReplaceFileAtomically(path, replacement);
        EXPECT_EQ(test::ReadTestFile(path), replacement);
    }
}

}  // namespace
}  // namespace qv
