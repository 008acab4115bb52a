#include "app/command_line.h"

#include <sys/stat.h>
#include <algorithm>
#include <array>
#include <cerrno>
#include <string_view>

#include "platform/failure.h"

namespace qv {

namespace {

// The toolkit's options that take the next argument as their value.
constexpr std::array<std::string_view, 13> kToolkitOptionsWithValue = {
    "platform",        "platformpluginpath", "platformtheme", "plugin",
    "qwindowgeometry", "qwindowicon",        "qwindowtitle",  "session",
    "display",         "geometry",           "title",         "style",
    "stylesheet"};
// The toolkit's options that stand alone, or carry their value after "=".
constexpr std::array<std::string_view, 6> kToolkitFlags = {"reverse", "widgetcount", "nograb",
                                                           "dograb",  "sync",        "testability"};
constexpr std::array<std::string_view, 3> kToolkitOptionsWithEquals = {
    "style=", "stylesheet=", "qmljsdebugger="};

bool IsOneOf(std::string_view name, const auto& names) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

bool StartsWithOneOf(std::string_view name, const auto& prefixes) {
    return std::any_of(prefixes.begin(), prefixes.end(),
                       [name](std::string_view prefix) { return name.starts_with(prefix); });
}

CommandLine BadUsage(std::string error) {
    return {StartRequest::BadUsage, {}, std::move(error)};
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine line;
    bool optionsEnded = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || !argument.starts_with('-') || argument == "-") {
            if (!line.file.empty()) {
                return BadUsage("開くファイルは一つだけ指定できます: " + argument);
            }
            line.file = argument;
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "-h" || argument == "--help") {
            line.request = StartRequest::Help;
        } else if (argument == "--version") {
            line.request = StartRequest::Version;
        } else {
            // The toolkit reads its options after one dash or two.
            std::string_view name(argument);
            name.remove_prefix(name.starts_with("--") ? 2 : 1);
            if (IsOneOf(name, kToolkitOptionsWithValue)) {
                if (++i == arguments.size()) {
                    return BadUsage("オプション " + argument + " には値が必要です");
                }
            } else if (!IsOneOf(name, kToolkitFlags) &&
                       !StartsWithOneOf(name, kToolkitOptionsWithEquals)) {
                return BadUsage("不明なオプションです: " + argument);
            }
        }
    }
    return line;
}

std::string UsageText() {
    return "使い方: quorvane [オプション] [ファイル]\n"
           "表を編集します。ファイル (.qvd、または .csv/.tsv/.txt) "
           "を指定すると、起動後に開きます。\n"
           "\n"
           "  -h, --help   この説明を表示して終了します\n"
           "  --version    バージョンを表示して終了します\n"
           "  --           これより後の引数をファイル名として扱います\n"
           "\n"
           "Qt のオプション (-platform、-style など) も指定できます。\n";
}

void CheckCommandLineFileExists(const std::string& path) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0 && (errno == ENOENT || errno == ENOTDIR)) {
        throw Failure(path + " が見つかりません");
    }
}

}  // namespace qv
