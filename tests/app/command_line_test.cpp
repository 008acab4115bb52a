#include "app/command_line.h"

#include "expect_failure.h"
#include "temp_folder.h"

namespace qv {
namespace {

// Each command line, what it asks for and the file it names or the error; a missing file is named.
TEST(CommandLineTest, HelpVersionToolkitOptionsBadUsageAndMissingFiles) {
    using R = StartRequest;
    const std::tuple<std::vector<std::string>, R, std::string> cases[] = {
        {{}, R::Run, ""},
        {{"--", "-a.qvd"}, R::Run, "-a.qvd"},
        {{"-platform", "offscreen", "--style=Fusion", "-reverse", "a.qvd"}, R::Run, "a.qvd"},
        {{"a.qvd", "-h"}, R::Help, "a.qvd"},
        {{"--version"}, R::Version, ""},
        {{"--helpme"}, R::BadUsage, "不明なオプションです: --helpme"},
        {{"a.qvd", "-platform"}, R::BadUsage, "オプション -platform には値が必要です"},
        {{"a.qvd", "b.qvd"}, R::BadUsage, "開くファイルは一つだけ指定できます: b.qvd"}};
    for (const auto& [arguments, request, fileOrError] : cases) {
        const CommandLine line = ParseCommandLine(arguments);
        EXPECT_EQ(line.request, request) << fileOrError;
        EXPECT_EQ(request == R::BadUsage ? line.error : line.file, fileOrError);
    }
    const test::TempFolder folder;
    EXPECT_FAILS(CheckCommandLineFileExists(folder / "no.qvd"), folder / "no.qvd が見つかりません");
    EXPECT_NO_THROW(CheckCommandLineFileExists(folder.Path()));  // a folder fails when opened
}

}  // namespace
}  // namespace qv
