#include "platform/file_system_messages.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "platform/failure.h"
#include "temp_folder.h"

namespace qv {
namespace {

TEST(FilesMessages, TextForEachNumber) {
    struct Case {
        int number;
        const char* text;
    };
    const Case cases[] = {
        {2, "ﾌｧｲﾙが見つかりません"},
        {3, "不正なﾌｧｲﾙ名です"},
        {4, "ｵｰﾌﾟﾝしたﾌｧｲﾙが多すぎます"},
        {5, "ﾌｧｲﾙへのｱｸｾｽが拒否されました"},
        {100, "ﾌｧｲﾙの末尾以降を読み込みました"},
        {101, "ﾃﾞｨｽｸがいっぱいです"},
        {106, "入力値が数値ではありません"},
        {112, "I/O ｴﾗｰ (112)"},
        {0, "I/O ｴﾗｰ (0)"},
        {6, "I/O ｴﾗｰ (6)"},
        {-1, "I/O ｴﾗｰ (-1)"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FileSystemMessage(c.number), c.text) << c.number;
    }
}

TEST(FilesMessages, ErrnoToSystemNumber) {
    struct Case {
        int err;
        int number;
    };
    const Case cases[] = {
        {ENOENT, 2}, {ENOTDIR, 3},     {EMFILE, 4},       {ENFILE, 4},      {EACCES, 5},
        {EPERM, 5},  {EROFS, 5},       {EISDIR, 5},       {ENOSPC, 112},    {EDQUOT, 112},
        {EIO, 1117}, {ENETDOWN, 1117}, {EHOSTDOWN, 1117}, {EINVAL, EINVAL},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SystemErrorNumber(c.err), c.number) << c.err;
    }
}

TEST(FilesMessages, MissingParentFolderIsABadFileName) {
    test::TempFolder folder;
    auto messageFor = [](int err, const std::string& path) {
        try {
            ThrowFileSystemFailure(err, path);
        } catch (const Failure& failure) {
            return failure.message();
        }
        return std::string("no failure");
    };
    EXPECT_EQ(messageFor(ENOENT, folder / "missing.csv"), "ﾌｧｲﾙが見つかりません");
    EXPECT_EQ(messageFor(ENOENT, folder / "nowhere/missing.csv"), "不正なﾌｧｲﾙ名です");
    EXPECT_EQ(messageFor(ENOENT, "relative-missing.csv"), "ﾌｧｲﾙが見つかりません");
    EXPECT_EQ(messageFor(ENOSPC, folder / "nowhere/x"), "I/O ｴﾗｰ (112)");
    EXPECT_EQ(messageFor(EACCES, folder / "x"), "ﾌｧｲﾙへのｱｸｾｽが拒否されました");
}

}  // namespace
}  // namespace qv
