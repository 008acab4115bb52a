// quorvane-cli stats and count, run as a separate program on small table files.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include "platform/cp932.h"

extern char** environ;

namespace qv {
namespace {

namespace fs = std::filesystem;

struct RunResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class StatsCountTest : public ::testing::Test {
protected:
    StatsCountTest() {
        char pattern[] = "/tmp/qv-cli-stats-XXXXXX";
        dir_ = mkdtemp(pattern);
    }
    ~StatsCountTest() override { fs::remove_all(dir_); }

    // A table file of `columns` data columns whose rows are given cell by cell (UTF-8 texts,
    // written as CP932), the first row being the item names. Lines end with CR LF.
    fs::path WriteTable(const std::vector<std::vector<std::string>>& rows, int32_t columns) {
        std::string file = "Quorvane\r\n100\r\n294\r\n211\r\n276\r\n247\r\n----------\r\n";
        file += "title\r\n" + std::to_string(columns + 1) + "\r\n" + std::to_string(rows.size()) +
                "\r\n";
        for (int32_t col = 1; col <= columns; ++col) {
            file += "80\r\n";
        }
        file += "----------\r\n";
        for (const auto& row : rows) {
            for (const std::string& cell : row) {
                file += Cp932(cell) + "\r\n";
            }
        }
        return WriteBytes("table.qvd", file);
    }

    fs::path WriteBytes(const std::string& name, const std::string& bytes) {
        const fs::path path = dir_ / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    static std::string Cp932(const std::string& utf8) {
        const auto bytes = Utf8ToCp932(utf8);
        EXPECT_TRUE(bytes.has_value()) << utf8;
        return bytes.value_or("");
    }

    // Runs quorvane-cli with the arguments as they are, no shell in between.
    RunResult Run(std::initializer_list<std::string> args) {
        std::vector<std::string> argv{QV_CLI_PATH};
        argv.insert(argv.end(), args);
        std::vector<char*> pointers;
        for (std::string& arg : argv) {
            pointers.push_back(arg.data());
        }
        pointers.push_back(nullptr);
        const fs::path outPath = dir_ / "stdout";
        const fs::path errPath = dir_ / "stderr";
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        pid_t pid = 0;
        RunResult result;
        const int spawned =
            posix_spawn(&pid, QV_CLI_PATH, &actions, nullptr, pointers.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        EXPECT_EQ(spawned, 0);
        int status = 0;
        if (spawned == 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status)) {
            result.exitCode = WEXITSTATUS(status);
        }
        result.out = ReadFile(outPath);
        result.err = ReadFile(errPath);
        return result;
    }

    // The worked example in column 1 and texts to count in column 2.
    fs::path ExampleTable() {
        return WriteTable({{"金額", "品名"},
                           {"\\1,200", "りんご"},
                           {"-\\300", "  りんご "},
                           {"abc", "リンゴ"},
                           {"", "abc"},
                           {"2.5e2", ""}},
                          2);
    }

    fs::path dir_;
};

TEST_F(StatsCountTest, StatsPrintsTheReportOfTheWorkedExample) {
    const RunResult result = Run({"stats", ExampleTable(), "1"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out,
              "      合   計   :  1150\n"
              "      平   均   :  383.333333333333\n"
              "      最   大   :  1200\n"
              "      最   小   :  -300\n"
              "有効データ数 :  3\n"
              "   全データ数 :  4\n");
    EXPECT_EQ(result.err, "");
}

TEST_F(StatsCountTest, StatsOfAColumnWithoutNumbers) {
    const RunResult result = Run({"stats", ExampleTable(), "2"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, "データは、4件ありましたが、\n計算対象のデータはありませんでした。\n");
}

TEST_F(StatsCountTest, StatsOverflowIsAFailure) {
    const RunResult result = Run({"stats", WriteTable({{"n"}, {"1e308"}, {"1e308"}}, 1), "1"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "浮動小数点数のｵｰﾊﾞｰﾌﾛｰ.\n");
}

TEST_F(StatsCountTest, CountComparesTheTextConvertedToCp932) {
    const fs::path table = ExampleTable();
    const struct {
        const char* text;
        const char* out;
    } cases[] = {
        {"りんご", "2 件一致しました。\n"},
        {" りんご\t", "2 件一致しました。\n"},
        {"abc", "1 件一致しました。\n"},
        {"", "1 件一致しました。\n"},
        {"ABC", "0 件一致しました。\n"},
        {"é", "0 件一致しました。\n"},  // no CP932 code: equals no cell
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const RunResult result = Run({"count", table, "2", c.text});
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_EQ(result.out, c.out);
        EXPECT_EQ(result.err, "");
    }
}

TEST_F(StatsCountTest, CountRefusesATextThatIsNotUtf8) {
    const RunResult result = Run({"count", ExampleTable(), "2", Cp932("りんご")});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err, "");
}

TEST_F(StatsCountTest, FilesThatCannotBeReadAreFailures) {
    const struct {
        const char* name;
        fs::path file;
        const char* err;
    } cases[] = {
        {"not a table", WriteBytes("plain.txt", "Quorvane \r\n100\r\n"),
         "このファイルは使用できません。\n"},
        {"LF line ends", WriteBytes("lf.qvd", "Quorvane\n100\n"),
         "このファイルは使用できません。\n"},
        {"missing", dir_ / "missing.qvd", "ﾌｧｲﾙが見つかりません.\n"},
        {"bad number", WriteBytes("bad.qvd", "Quorvane\r\n100\r\n1x\r\n"),
         "'1x' は整数ではありません.\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (const RunResult& result :
             {Run({"stats", c.file, "1"}), Run({"count", c.file, "1", "a"})}) {
            EXPECT_EQ(result.exitCode, 1);
            EXPECT_EQ(result.out, "");
            EXPECT_EQ(result.err, c.err);
        }
    }
}

TEST_F(StatsCountTest, ColumnsOutsideTheDataColumnsAreUsageErrors) {
    const fs::path table = ExampleTable();  // data columns 1 and 2
    for (const char* col : {"0", "3", "2147483647"}) {
        SCOPED_TRACE(col);
        for (const RunResult& result :
             {Run({"stats", table, col}), Run({"count", table, col, "a"})}) {
            EXPECT_EQ(result.exitCode, 2);
            EXPECT_EQ(result.out, "");
            EXPECT_NE(result.err, "");
        }
    }
}

TEST_F(StatsCountTest, ANegativeColumnIsRefusedBeforeTheFileIsRead) {
    const RunResult result = Run({"stats", "--", (dir_ / "missing.qvd").string(), "-1"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err.find("ﾌｧｲﾙが見つかりません"), std::string::npos);
}

TEST_F(StatsCountTest, ATableWithoutDataColumnsHasNoColumnToReport) {
    const fs::path table = WriteBytes(
        "narrow.qvd", "Quorvane\r\n100\r\n0\r\n0\r\n0\r\n0\r\n-\r\nt\r\n1\r\n3\r\n-\r\n");
    const RunResult result = Run({"stats", table, "1"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err, "");
}

}  // namespace
}  // namespace qv
