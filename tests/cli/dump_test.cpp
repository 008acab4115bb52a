// quorvane-cli dump, run as the real program on hand-made table files.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include <nlohmann/json.hpp>

#include "data/table_file_examples.h"
#include "platform/temp_folder.h"

namespace qv {
namespace {

using nlohmann::json;
using test::TableFileOf;

struct RunResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

class DumpTest : public ::testing::Test {
protected:
    RunResult Dump(const std::string& file) {
        std::string command = std::string("'") + QV_CLI_PATH + "' dump '" + file + "' >'" +
                              (folder_ / "out") + "' 2>'" + (folder_ / "err") + "'";
        int status = std::system(command.c_str());
        RunResult result;
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.out = test::ReadTestFile(folder_ / "out");
        result.err = test::ReadTestFile(folder_ / "err");
        return result;
    }

    RunResult DumpContents(const std::string& contents) {
        std::string path = folder_ / "t.qvd";
        test::WriteTestFile(path, contents);
        return Dump(path);
    }

    // The JSON of a run that must succeed.
    json DumpJson(const std::string& contents) {
        RunResult result = DumpContents(contents);
        EXPECT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(result.err, "");
        return json::parse(result.out);
    }

    test::TempFolder folder_;
};

TEST_F(DumpTest, PrintsTheExampleTable) {
    json table = DumpJson(test::ExampleTableFile());
    EXPECT_EQ(table, json::parse(R"({
        "left": 294, "top": 211, "width": 276, "height": 247,
        "title": "買い物", "colCount": 3, "rowCount": 3, "colWidths": [153, 69],
        "cells": [["品名", "数量"], ["りんご", "3"], ["みかん", ""]]
    })"));
}

TEST_F(DumpTest, RefusedFilesPrintTheRefusal) {
    std::string lfOnly;
    for (char c : test::ExampleTableFile()) {
        if (c != '\r') {
            lfOnly += c;
        }
    }
    for (const std::string& contents : {lfOnly, "\xEF\xBB\xBF" + test::ExampleTableFile()}) {
        RunResult result = DumpContents(contents);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err, "このファイルは使用できません。\n");
    }
}

TEST_F(DumpTest, FailuresPrintTheMessageAndAFullStop) {
    RunResult bad = DumpContents(TableFileOf({"Quorvane", "100", "12 "}));
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_EQ(bad.out, "");
    EXPECT_EQ(bad.err, "'12 ' は整数ではありません.\n");

    RunResult missing = Dump(folder_ / "missing.qvd");
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err, "ﾌｧｲﾙが見つかりません.\n");
}

TEST_F(DumpTest, AFileCutAfterTheSecondSeparatorHasEmptyCells) {
    json table = DumpJson(
        TableFileOf({"Quorvane", "100", "1", "2", "3", "4", "-", "T", "3", "2", "10", "20", "-"}));
    EXPECT_EQ(table["cells"], json::parse(R"([["", ""], ["", ""]])"));
    EXPECT_EQ(table["colWidths"], json::parse("[10, 20]"));
}

TEST_F(DumpTest, CtrlZInsideACellEndsTheFile) {
    std::string file =
        TableFileOf({"Quorvane", "100", "1", "2", "3", "4", "-", "T", "2", "3", "10", "-", "n"});
    file +=
        "ab\x1A"
        "cd\r\nef\r\n";
    EXPECT_EQ(DumpJson(file)["cells"], json::parse(R"([["n"], ["ab"], [""]])"));
}

TEST_F(DumpTest, ColCountOfOneOrZeroHasNoDataColumns) {
    for (const char* count : {"1", "0"}) {
        json table = DumpJson(
            TableFileOf({"Quorvane", "100", "1", "2", "3", "4", "-", "T", count, "2", "-"}));
        EXPECT_EQ(table["colCount"], 1);
        EXPECT_EQ(table["rowCount"], 2);
        EXPECT_EQ(table["colWidths"], json::array());
        EXPECT_EQ(table["cells"], json::parse("[[], []]"));
    }
}

TEST_F(DumpTest, BytesThatAreNotCp932ShowAsReplacementCharacters) {
    std::string file =
        TableFileOf({"Quorvane", "100", "1", "2", "3", "4", "-", "\x82", "2", "2", "10", "-",
                     "a\xFF"
                     "b",
                     "c"});
    json table = DumpJson(file);
    EXPECT_EQ(table["title"], "\xEF\xBF\xBD");
    EXPECT_EQ(table["cells"], json::parse(R"([["a\ufffdb"], ["c"]])"));
}

}  // namespace
}  // namespace qv
