#include "app/command_line.h"

#include <gtest/gtest.h>

#include "expect_failure.h"
#include "temp_folder.h"

namespace qv {
namespace {

// Each command line, what it asks for and the file it names (or the start of the error).
TEST(CommandLineTest, HelpVersionToolkitOptionsAndBadUsage) {
    const struct {
        std::vector<std::string> arguments;
        StartRequest request;
        std::string fileOrError;
    } cases[] = {
        {{}, StartRequest::Run, ""},
        {{"a.qvd"}, StartRequest::Run, "a.qvd"},
        {{"--", "-a.qvd"}, StartRequest::Run, "-a.qvd"},
        {{"-platform", "offscreen", "--style=Fusion", "-reverse", "a.qvd"},
         StartRequest::Run,
         "a.qvd"},
        {{"--help"}, StartRequest::Help, ""},
        {{"a.qvd", "-h"}, StartRequest::Help, "a.qvd"},
        {{"--version"}, StartRequest::Version, ""},
        {{"--helpme"}, StartRequest::BadUsage, "不明なオプションです: --helpme"},
        {{"-x", "--help"}, StartRequest::BadUsage, "不明なオプションです: -x"},
        {{"a.qvd", "-platform"}, StartRequest::BadUsage, "オプション -platform には値が必要です"},
        {{"a.qvd", "b.qvd"}, StartRequest::BadUsage, "開くファイルは一つだけ指定できます: b.qvd"},
    };
    for (const auto& c : cases) {
        const CommandLine line = ParseCommandLine(c.arguments);
        EXPECT_EQ(line.request, c.request) << c.fileOrError;
        EXPECT_EQ(line.request == StartRequest::BadUsage ? line.error : line.file, c.fileOrError);
    }
    EXPECT_TRUE(UsageText().starts_with("使い方: quorvane [オプション] [ファイル]\n"));
}

TEST(CommandLineTest, AMissingFileIsNamed) {
    const test::TempFolder folder;
    const std::string missing = folder / "nothing.qvd";
    EXPECT_FAILS(CheckCommandLineFileExists(missing), missing + " が見つかりません");
    EXPECT_NO_THROW(
        CheckCommandLineFileExists(folder.Path()));  // a folder fails later, as opening it
}

}  // namespace
}  // namespace qv
