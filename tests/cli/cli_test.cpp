// quorvane-cli dump, stats and count, run as the real program on hand-made table files.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <random>
#include <set>
#include <sstream>
#include <tuple>

#include <nlohmann/json.hpp>

#include "table_file_examples.h"
#include "temp_folder.h"

namespace qv {
namespace {

using nlohmann::json;
using test::TableFileOf;

struct RunResult {
    int exitCode = -1;
    std::string out, err;
};

class CliTest : public ::testing::Test {
protected:
    // Runs quorvane-cli with the arguments, each passed as it is (single-quoted for the shell),
    // after the shell commands in `before`.
    RunResult Run(const std::vector<std::string>& args, const std::string& before = "") {
        std::string command = before + "'" QV_CLI_PATH "'";
        for (const std::string& arg : args) {
            command += " '" + arg + "'";
        }
        command += " >'" + (folder_ / "out") + "' 2>'" + (folder_ / "err") + "'";
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, test::ReadTestFile(folder_ / "out"),
                test::ReadTestFile(folder_ / "err")};
    }
    // What a shell command writes to stdout.
    static std::string Output(const std::string& command) {
        std::string out;
        if (FILE* pipe = popen(command.c_str(), "r")) {
            char buffer[4096];
            for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
                out.append(buffer, n);
            }
            pclose(pipe);
        }
        return out;
    }
    std::string File(const std::string& name, const std::string& contents) {
        test::WriteTestFile(folder_ / name, contents);
        return folder_ / name;
    }
    // A table file titled "T" with the lines from the counts on.
    std::string Table(const std::string& name, std::initializer_list<std::string_view> lines) {
        return File(name, TableFileOf({"Quorvane", "100", "1", "2", "3", "4", "-", "T"}) +
                              TableFileOf(lines));
    }
    // Column 1 holds the worked example of the statistics report, column 2 texts to count.
    std::string CountingTable() {
        const std::string ringo(test::kRingo);
        return Table("table.qvd",
                     {"3", "6", "80", "80", "-", "amount", "name", "\\1,200", ringo, "-\\300",
                      "  " + ringo + "\t", "abc", "x", "", "abc", "2.5e2", ""});
    }

    test::TempFolder folder_;
};

// Undecodable bytes show as U+FFFD; Ctrl+Z ends the file inside a cell, later cells are empty.
TEST_F(CliTest, DumpPrintsTheTableAsJson) {
    const std::pair<std::string, const char*> cases[] = {
        {test::ExampleTableFile(), R"({"left": 294, "top": 211, "width": 276, "height": 247,
            "title": "買い物", "colCount": 3, "rowCount": 3, "colWidths": [153, 69],
            "cells": [["品名", "数量"], ["りんご", "3"], ["みかん", ""]]})"},
        {TableFileOf({"Quorvane", "100", "0", "0", "9", "9", "-", "\xFF\x82", "2", "3", "40", "-",
                      "a\x81", "b\032c", "d"}),
         R"({"left": 0, "top": 0, "width": 9, "height": 9, "title": "\uFFFD\uFFFD", "colCount": 2,
            "rowCount": 3, "colWidths": [40], "cells": [["a\uFFFD"], ["b"], [""]]})"},
    };
    for (const auto& [file, dump] : cases) {
        const RunResult result = Run({"dump", File("t.qvd", file)});
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_EQ(result.err, "");
        EXPECT_EQ(json::parse(result.out), json::parse(dump));
    }
}

TEST_F(CliTest, FilesThatCannotBeReadFailWithTheMessageOnStderr) {
    const std::string fifo = folder_ / "fifo.qvd";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    // What the reader rejects or fails on is its own tests'; here each way it reaches stderr.
    const std::pair<std::string, const char*> cases[] = {
        {File("bom.qvd", "\xEF\xBB\xBF" + test::ExampleTableFile()),
         "このファイルは使用できません。\n"},
        {File("bad.qvd", TableFileOf({"Quorvane", "100", "12 "})), "'12 ' は整数ではありません.\n"},
        {folder_ / "missing.qvd", "ﾌｧｲﾙが見つかりません.\n"},
        {fifo, "ﾌｧｲﾙへのｱｸｾｽが拒否されました.\n"},  // at once, not waiting
    };
    for (const auto& [file, err] : cases) {
        SCOPED_TRACE(file);
        for (const RunResult& result :
             {Run({"dump", file}), Run({"stats", file, "1"}), Run({"count", file, "1", "a"})}) {
            EXPECT_EQ(result.exitCode, 1);
            EXPECT_EQ(result.out, "");
            EXPECT_EQ(result.err, err);
        }
    }
}

// Under 100 MB of address space: the JSON of a short file claiming two million rows is written
// as it goes, and a file too big for memory fails with the program's message, not an abort.
TEST_F(CliTest, DumpStreamsAndRunningOutOfMemoryIsAFailure) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer needs more address space than the limit";
#endif
    const std::string limit = "ulimit -v 100000; ";
    const RunResult tall =
        Run({"dump", Table("tall.qvd", {"2", "2000000", "10", "-", "a\"\\"})}, limit);
    ASSERT_EQ(tall.exitCode, 0) << tall.err;
    const json dump = json::parse(tall.out);
    EXPECT_EQ(dump["cells"].size(), 2'000'000u);
    EXPECT_EQ(dump["cells"][0][0], "a\"\\");
    const std::string huge = File("huge.qvd", TableFileOf({"Quorvane"}));
    std::filesystem::resize_file(huge, 1 << 30);  // sparse: costs no disk
    for (const RunResult& result : {Run({"dump", huge}, limit), Run({"stats", huge, "1"}, limit)}) {
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.err, "メモリが足りません.\n");
    }
}

// count compares the text converted to CP932 (how it trims and compares is match_count's).
TEST_F(CliTest, StatsAndCountPrintTheirReports) {
    const std::string table = CountingTable();
    const std::pair<std::vector<std::string>, const char*> cases[] = {
        {{"stats", table, "1"},
         "      合   計   :  1150\n"
         "      平   均   :  383.333333333333\n"
         "      最   大   :  1200\n"
         "      最   小   :  -300\n"
         "有効データ数 :  3\n"
         "   全データ数 :  4\n"},
        {{"stats", table, "2"},
         "データは、4件ありましたが、\n計算対象のデータはありませんでした。\n"},
        {{"count", table, "2", "りんご"}, "2 件一致しました。\n"},
        {{"count", table, "2", ""}, "1 件一致しました。\n"},
        {{"count", table, "2", "é"}, "0 件一致しました。\n"},  // no CP932 code: equals no cell
    };
    for (const auto& [args, out] : cases) {
        SCOPED_TRACE(testing::PrintToString(args));
        const RunResult result = Run(args);
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_EQ(result.out, out);
        EXPECT_EQ(result.err, "");
    }
    const RunResult overflow =
        Run({"stats", Table("big.qvd", {"2", "3", "80", "-", "n", "1e308", "1e308"}), "1"});
    EXPECT_EQ(overflow.exitCode, 1);
    EXPECT_EQ(overflow.err, "浮動小数点数のｵｰﾊﾞｰﾌﾛｰ.\n");
}

TEST_F(CliTest, BadArgumentsAreUsageErrors) {
    const std::string table = CountingTable();  // data columns 1 and 2
    const std::string narrow = Table("narrow.qvd", {"1", "3", "-"}), csv = File("a.csv", "a\r\n");
    const std::string out = folder_ / "out.qvd";
    // clang-format off
    const std::vector<std::vector<std::string>> cases = {
        {}, {"stats", table}, {"stats", table, "0"}, {"stats", table, "3"},
        {"count", table, "2147483647", "a"},
        {"stats", "--", folder_ / "missing.qvd", "-1"},    // refused before the file is read
        {"stats", narrow, "1"},                            // a table without data columns
        {"count", table, "2", std::string(test::kRingo)},  // the text is no UTF-8
        {"export", table, "--format", "xls"}, {"export", table, "--encoding", "latin1"},
        {"import", csv, out, "--encoding", "sjis"}, {"import", csv},
        {"import", csv, out, "--delimiter", "pipe"},
        {"import", csv, out, "--force", "--title", "\xF0\x9F\x98\x80"},
        {"sort", table, out}, {"sort", table, out, "--key", "0"}, {"sort", table, out, "--key", "3"},
        {"sort", table, out, "--key", "1:reading:number"}, {"sort", table, out, "--key", "1:up"},
        {"sort", table, out, "--key", "1:reading=3"}, {"convert", table, out, "--to", "romaji"},
        {"convert", table, out}, {"convert", table, out, "--to", "trim", "--cols", "1,3"},
        {"diff", table}, {"diff", table, table, "--key", "x"}, {"diff", table, table, "--key", "3"},
        {"diff", narrow, csv},
        {"filter", table, out}, {"filter", table, out, "--col", "0", "--empty"},
        {"filter", table, out, "--col", "3", "--empty"}, {"filter", table, out, "--regex", "(a"},
        {"filter", table, out, "--equals", "\xF0\x9F\x98\x80"},
        {"filter", table, out, "--number-op", "~", "--number", "1"},
        {"filter", table, out, "--number-op", ">", "--number", "x"}};
    // clang-format on
    for (const std::vector<std::string>& args : cases) {
        SCOPED_TRACE(testing::PrintToString(args));
        const RunResult result = Run(args);
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_EQ(result.out, "");
        EXPECT_NE(result.err, "");
        EXPECT_EQ(result.err.find("ﾌｧｲﾙが見つかりません"), std::string::npos);
    }
    const RunResult version = Run({"--version"});  // the one call that needs no command
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "quorvane-cli 1.00\n");
}

// filter: the rows meeting every condition, renumbered, in a table file of their own.
TEST_F(CliTest, FilterWritesTheMatchingRows) {
    const std::string table = CountingTable();
    const std::string out = folder_ / "f.qvd";
    const std::pair<std::vector<std::string>, const char*> cases[] = {
        {{"--contains", "abc"}, R"([["abc", "x"], ["", "abc"]])"},
        {{"--col", "1", "--number-op", ">", "--number", "0"},
         R"([["\\1,200", "りんご"], ["2.5e2", ""]])"},
        {{"--col", "2", "--starts", "りんご"}, R"([["\\1,200", "りんご"]])"},
        {{"--col", "2", "--equals", "ABC", "--loose"}, R"([["", "abc"]])"},
        {{"--col", "1", "--not-empty", "--not-contains", "\\"}, R"([["abc", "x"], ["2.5e2", ""]])"},
        {{"--regex", "^[x2]", "--not-contains", "b"}, R"([["2.5e2", ""]])"},
        {{"--col", "2", "--ends", "zzz"}, R"([["", ""]])"},  // no match: one empty row
    };
    for (const auto& [conditions, cells] : cases) {
        SCOPED_TRACE(testing::PrintToString(conditions));
        std::vector<std::string> args = {"filter", table, out, "--force"};
        args.insert(args.end(), conditions.begin(), conditions.end());
        const RunResult result = Run(args);
        ASSERT_EQ(result.exitCode, 0) << result.err;
        const json dumped = json::parse(Run({"dump", out}).out);
        json expected = json::parse(cells);
        expected.insert(expected.begin(), json::parse(R"(["amount", "name"])"));
        EXPECT_EQ(dumped["cells"], expected);
        EXPECT_EQ(dumped["title"], "T");
        EXPECT_EQ(dumped["colWidths"], json::parse("[80, 80]"));
    }
    EXPECT_EQ(Run({"filter", table, out, "--empty"}).exitCode, 1);  // exists: no --force
}

// export and import: the round trip gives back the cells byte for byte, and every outcome has
// its exit status.
TEST_F(CliTest, ExportAndImportRoundTripAndExitStatuses) {
    const std::string table = CountingTable();
    const RunResult dump = Run({"dump", table});
    for (const char* format : {"csv", "tsv"}) {
        for (const char* encoding : {"utf-8", "utf-8-bom", "cp932"}) {
            SCOPED_TRACE(std::string(format) + " " + encoding);
            const RunResult exported =
                Run({"export", table, "--format", format, "--encoding", encoding});
            ASSERT_EQ(exported.exitCode, 0) << exported.err;
            const std::string csv = File("t.csv", exported.out);
            const std::string back = folder_ / "back.qvd";
            const RunResult imported = Run({"import", csv, back, "--header", "--force"});
            ASSERT_EQ(imported.exitCode, 0) << imported.err;
            EXPECT_EQ(json::parse(Run({"dump", back}).out)["cells"],
                      json::parse(dump.out)["cells"]);
        }
    }
    EXPECT_EQ(Run({"export", File("e.qvd", test::ExampleTableFile())}).out,
              "\xEF\xBB\xBF品名,数量\r\nりんご,3\r\nみかん,\r\n");

    const std::string csv = File("名簿.csv", "a,b\r\nc,\xF0\x9F\x98\x80\r\n");
    const std::string out = folder_ / "out.qvd";
    const RunResult refused = Run({"import", csv, out});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find("2 行 2 列「😀」"), std::string::npos) << refused.err;
    EXPECT_FALSE(std::filesystem::exists(out));
    EXPECT_EQ(Run({"import", csv, out, "--replace-unencodable"}).exitCode, 0);
    const json imported = json::parse(Run({"dump", out}).out);
    EXPECT_EQ(imported["title"], "名簿");
    EXPECT_EQ(imported["cells"], json::parse(R"([["", ""], ["a", "b"], ["c", "〓"]])"));
    const RunResult exists = Run({"import", csv, out, "--replace-unencodable"});
    EXPECT_EQ(exists.exitCode, 1);
    EXPECT_NE(exists.err.find("--force"), std::string::npos);
    EXPECT_EQ(
        Run({"import", csv, out, "--replace-unencodable", "--force", "--title", "T"}).exitCode, 0);
    EXPECT_EQ(json::parse(Run({"dump", out}).out)["title"], "T");
    // A title with a line end or 0x1A is blanked, so that the file loads again; the delimiter
    // may be named.
    const std::string odd = File(
        "e\x1A"
        "f.csv",
        "a;b\r\n");
    for (const auto& [title, delimiter, cells] :
         {std::tuple{"x\ry", "semicolon", R"([["", ""], ["a", "b"]])"},
          {"", "comma", R"([[""], ["a;b"]])"}}) {
        std::vector<std::string> args = {"import", odd, out, "--force", "--delimiter", delimiter};
        if (*title != '\0') {
            args.insert(args.end(), {"--title", title});
        }
        ASSERT_EQ(Run(args).exitCode, 0);
        const RunResult dumped = Run({"dump", out});
        ASSERT_EQ(dumped.exitCode, 0) << dumped.err;
        EXPECT_EQ(json::parse(dumped.out)["title"], *title != '\0' ? "x y" : "e f");
        EXPECT_EQ(json::parse(dumped.out)["cells"], json::parse(cells));
    }

    EXPECT_EQ(Run({"import", folder_ / "missing.csv", out, "--force"}).err,
              "ﾌｧｲﾙが見つかりません.\n");
    EXPECT_EQ(Run({"export", folder_ / "missing.qvd"}).exitCode, 1);
}

// sort and convert write a new table: the first column of each result, and convert's count.
TEST_F(CliTest, SortAndConvertWriteTheTableAnew) {
    const std::string csv =
        File("list.csv",
             "名前,ふりがな,金額,日付\n渡辺,わたなべ,\"1,200円\",R6.4.1\n佐藤,さとう,"
             "▲100,2024/3/31\nｱｵｷ,,１２００,x\n鈴木,すずき,1.2万,令和6年4月1日\n");
    const std::string table = folder_ / "list.qvd", out = folder_ / "out.qvd";
    ASSERT_EQ(Run({"import", csv, table, "--header"}).exitCode, 0);
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
        {{"sort", table, out, "--key", "1:reading"}, "ｱｵｷ 佐藤 鈴木 渡辺 "},
        {{"sort", table, out, "--key", "1:desc:reading=2"}, "渡辺 鈴木 佐藤 ｱｵｷ "},
        {{"sort", table, out, "--key", "3:number:desc", "--key", "1"}, "鈴木 渡辺 ｱｵｷ 佐藤 "},
        {{"sort", table, out, "--key", "4:date", "--key", "1:desc:text"}, "佐藤 鈴木 渡辺 ｱｵｷ "},
        {{"convert", table, out, "--to", "katakana", "--cols", "2"}, "ワタナベ サトウ  スズキ "},
        {{"convert", table, out, "--to", "fullwidth-kana"}, "渡辺 佐藤 アオキ 鈴木 "}};
    for (const auto& [args, column] : cases) {
        SCOPED_TRACE(testing::PrintToString(args));
        std::vector<std::string> forced = args;
        forced.push_back("--force");
        const RunResult result = Run(forced);
        ASSERT_EQ(result.exitCode, 0) << result.err;
        std::string texts;
        const std::size_t shown = args[0] == "convert" && args.size() > 5 ? 1 : 0;
        const json dumped = json::parse(Run({"dump", out}).out);
        for (const json& row : dumped["cells"]) {
            texts += row[shown].get<std::string>() + (row[0] == "名前" ? "" : " ");
        }
        EXPECT_EQ(texts, shown == 1 ? "ふりがな" + column : "名前" + column);
    }
    EXPECT_EQ(Run({"convert", table, out, "--to", "trim", "--force"}).err,
              "0 個のセルを変換しました。\n");
    EXPECT_EQ(Run({"sort", table, out, "--key", "1"}).exitCode, 1);  // OUT exists: no --force
}

// find prints each matching cell as grep would; dedupe writes the table without the rows whose
// keys came before and says how many went.
TEST_F(CliTest, FindAndDedupeListAndRemoveRows) {
    const std::string table = CountingTable();
    const std::pair<std::vector<std::string>, const char*> found[] = {
        {{"find", table, "abc"}, "3\t1\tabc\n4\t2\tabc\n"},
        {{"find", table, "ABC", "--case"}, ""},
        {{"find", table, "りんご", "--whole"}, "1\t2\tりんご\n"},
        {{"find", table, "ﾘﾝｺﾞ", "--loose"}, "1\t2\tりんご\n2\t2\t  りんご\t\n"},
        {{"find", table, "^-?\\\\(\\d)", "--regex", "--col", "1"}, "1\t1\t\\1,200\n2\t1\t-\\300\n"},
    };
    for (const auto& [args, out] : found) {
        SCOPED_TRACE(testing::PrintToString(args));
        const RunResult result = Run(args);
        EXPECT_EQ(result.exitCode, *out == '\0' ? 1 : 0);
        EXPECT_EQ(result.out, out);
    }
    EXPECT_EQ(Run({"find", table, "(", "--regex"}).exitCode, 2);
    EXPECT_EQ(Run({"find", folder_ / "missing.qvd", "a"}).exitCode, 2);

    const std::string keys = Table("d.qvd", {"3", "5", "80", "80", "-", "k", "v", "a", "1", "A",
                                             "2", "a", "3", "\x82\x81", "4"});
    const std::string out = folder_ / "out.qvd";
    const std::tuple<std::vector<std::string>, const char*, const char*> removed[] = {
        {{"--cols", "1"}, "1\n", R"([["k", "v"], ["a", "1"], ["A", "2"], ["ａ", "4"]])"},
        {{"--cols", "1", "--loose"}, "3\n", R"([["k", "v"], ["a", "1"]])"},
        {{}, "0\n", R"([["k", "v"], ["a", "1"], ["A", "2"], ["a", "3"], ["ａ", "4"]])"},
    };
    for (const auto& [options, err, cells] : removed) {
        std::vector<std::string> args{"dedupe", keys, out, "--force"};
        args.insert(args.end(), options.begin(), options.end());
        const RunResult result = Run(args);
        ASSERT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(result.err, err);
        EXPECT_EQ(json::parse(Run({"dump", out}).out)["cells"], json::parse(cells));
    }
    EXPECT_EQ(Run({"dedupe", keys, out}).exitCode, 1);  // OUT exists
    EXPECT_EQ(Run({"dedupe", keys, out, "--force", "--cols", "3"}).exitCode, 2);
}

// Sixty rows of kanji and half-width katakana: A4 upright holds 38 rows of 24 pixels under the
// item names, so two pages, each with the headings repeated and its own page number.
// The fields of diff's lines: tab-separated, a field quoted as in CSV when it starts with a quote.
std::vector<std::vector<std::string>> DiffLines(const std::string& out) {
    std::vector<std::vector<std::string>> lines(1, std::vector<std::string>(1));
    for (std::size_t i = 0; i < out.size(); ++i) {
        std::string& field = lines.back().back();
        if (out[i] == '"' && field.empty()) {
            for (++i; out[i] != '"' || out[i + 1] == '"'; ++i) {
                field += out[i];
                i += out[i] == '"' ? 1 : 0;
            }
        } else if (out[i] == '\t') {
            lines.back().emplace_back();
        } else if (out[i] == '\n') {
            lines.emplace_back(1);
        } else {
            field += out[i];
        }
    }
    lines.pop_back();
    return lines;
}

// Applies diff's lines to the cells of A (as dump gives them): rows not named are paired in order.
json Applied(json cells, const std::vector<std::vector<std::string>>& lines) {
    json result = json::array({cells[0]});
    std::size_t next = 1;  // A's next row not yet taken over
    const auto copyUpTo = [&](std::size_t rowA) {
        for (; next < rowA && next < cells.size(); ++next) {
            result.push_back(cells[next]);
        }
    };
    for (const std::vector<std::string>& line : lines) {
        const std::size_t row = std::stoul(line[1]);
        if (line[0] == "-") {
            copyUpTo(row);
            next = row + 1;
        } else if (line[0] == "+") {
            for (; result.size() < row; ++next) {
                result.push_back(cells[next]);
            }
            result.push_back(std::vector<std::string>(line.begin() + 2, line.end()));
        } else {
            copyUpTo(row + 1);
            result[std::stoul(line[2])][std::stoul(line[3]) - 1] = line[5];
        }
    }
    copyUpTo(cells.size());
    return result;
}

TEST_F(CliTest, DiffListsWhatDiffersAndApplyingItToAGivesB) {
    const std::string ringo(test::kRingo);
    const std::string a = Table("a.qvd", {"3", "5", "80", "80", "-", "name", "n", ringo, "1",
                                          "pear", "2", "plum", "3", "fig", "4"});
    const std::string b = Table("b.qvd", {"3", "5", "80", "80", "-", "name", "count", ringo, "1",
                                          "kiwi", "9", "pear", "2", "fig", "x\ty"});
    const std::string reordered = Table("c.qvd", {"3", "5", "80", "80", "-", "name", "n", "pear",
                                                  "2", "fig", "4", ringo, "1", "plum", "3"});
    const std::string loose =
        Table("l.qvd", {"3", "5", "80", "80", "-", "name", "n", ringo, "1", "pear", "2", "PLUM",
                        "3", "\x82\x65\x82\x68\x82\x66", "4"});
    const struct {
        std::vector<std::string> args;
        int exitCode;
        const char* out;
    } cases[] = {
        {{"diff", a, b},
         1,
         "~\t0\t0\t2\tn\tcount\n+\t2\tkiwi\t9\n-\t3\tplum\t3\n~\t4\t4\t2\t4\t\"x\ty\"\n"},
        {{"diff", a, reordered, "--key", "1"}, 0, ""},
        {{"diff", a, reordered}, 1, "+\t1\tpear\t2\n+\t2\tfig\t4\n-\t2\tpear\t2\n-\t4\tfig\t4\n"},
        {{"diff", a, a}, 0, ""},
        {{"diff", loose, a, "--loose"}, 0, ""},  // PLUM and ＦＩＧ fold as plum and fig
        {{"diff", loose, a}, 1, "~\t3\t3\t1\tPLUM\tplum\n~\t4\t4\t1\tＦＩＧ\tfig\n"},
        {{"diff", a, folder_ / "missing.qvd"}, 2, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        const RunResult result = Run(c.args);
        EXPECT_EQ(result.exitCode, c.exitCode);
        EXPECT_EQ(result.out, c.out);
    }
    // Random edits of a random table, with texts that need quoting.
    std::mt19937 random(27);
    const std::string texts[] = {"a", "b", "", "\\1,200", ringo, "x\ty", "p\nq", "\"q", "a\"b"};
    const auto tableOf = [&](const std::string& name, const std::vector<std::string>& cells) {
        std::string file = TableFileOf({"Quorvane", "100", "1", "2", "3", "4", "-", "T", "4",
                                        std::to_string(cells.size() / 3), "80", "80", "80", "-"});
        for (const std::string& cell : cells) {
            file += cell + "\r\n";
        }
        return File(name, file);
    };
    for (int round = 0; round < 20; ++round) {
        std::vector<std::string> cellsA;
        for (int k = 0; k < 3 * 40; ++k) {
            cellsA.push_back(texts[random() % std::size(texts)]);
        }
        std::vector<std::string> cellsB = cellsA;
        for (int edit = 0; edit < 8; ++edit) {
            const auto at =
                cellsB.begin() + 3 * (1 + static_cast<long>(random() % (cellsB.size() / 3 - 1)));
            switch (random() % 3) {
                case 0:
                    cellsB.erase(at, at + 3);
                    break;
                case 1:
                    cellsB.insert(at, {texts[random() % 9], texts[random() % 9], "new"});
                    break;
                default:
                    at[random() % 3] = texts[random() % std::size(texts)];
            }
        }
        const std::string fileA = tableOf("ra.qvd", cellsA), fileB = tableOf("rb.qvd", cellsB);
        const RunResult result = Run({"diff", fileA, fileB});
        EXPECT_EQ(Applied(json::parse(Run({"dump", fileA}).out)["cells"], DiffLines(result.out)),
                  json::parse(Run({"dump", fileB}).out)["cells"])
            << result.out;
    }
}

TEST_F(CliTest, PdfPagesHoldTheCellsTextsAndRepeatTheHeadings) {
    std::string file = TableFileOf({"Quorvane", "100", "1", "2", "3", "4", "-", "\x95\x5C", "3",
                                    "61", "120", "120", "-", test::kHinmei, "\xCC\xD8"});
    std::vector<std::string> texts;
    for (int row = 1; row <= 60; ++row) {
        texts.push_back("漢字" + std::to_string(row));
        texts.push_back("ｶﾅ" + std::to_string(row));
        file += TableFileOf(
            {"\x8A\xBF\x8E\x9A" + std::to_string(row), "\xB6\xC5" + std::to_string(row)});
    }
    const std::string table = File("t.qvd", file);
    const std::string pdf = folder_ / "t.pdf";
    ASSERT_EQ(Run({"pdf", table, pdf}).exitCode, 0);
    EXPECT_NE(Output("pdfinfo '" + pdf + "'").find("Pages:           2"), std::string::npos);
    const std::string text = Output("pdftotext -layout '" + pdf + "' -");
    const std::size_t pageBreak = text.find('\f');
    ASSERT_NE(pageBreak, std::string::npos);
    for (const std::string& page : {text.substr(0, pageBreak), text.substr(pageBreak)}) {
        EXPECT_NE(page.find("品名"), std::string::npos);
        EXPECT_NE(page.find("ﾌﾘ"), std::string::npos);
    }
    EXPECT_NE(text.find("ページ 1 / 2"), std::string::npos);
    EXPECT_NE(text.find("ページ 2 / 2"), std::string::npos);
    std::istringstream words(text);
    const std::set<std::string> printed{std::istream_iterator<std::string>(words), {}};
    for (const std::string& cell : texts) {
        EXPECT_TRUE(printed.contains(cell)) << cell;
    }
    EXPECT_NE(Output("pdffonts '" + pdf + "'").find("IPAMincho"), std::string::npos);

    EXPECT_EQ(Run({"pdf", table, pdf}).exitCode, 1);  // an existing file needs --force
    ASSERT_EQ(Run({"pdf", table, pdf, "--force", "--paper", "b5", "--landscape"}).exitCode, 0);
    EXPECT_NE(Output("pdfinfo '" + pdf + "'").find("729 x 516 pts"), std::string::npos);
    EXPECT_EQ(Run({"pdf", table, pdf, "--force", "--paper", "A5"}).exitCode, 2);
}

}  // namespace
}  // namespace qv
