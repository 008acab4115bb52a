#pragma once

#include <string>
#include <vector>

namespace qv {

// What `quorvane [options] [FILE]` asks for.
enum class StartRequest { Run, Help, Version, BadUsage };

struct CommandLine {
    StartRequest request = StartRequest::Run;
    std::string file;   // the file to open once started; empty for none
    std::string error;  // what is wrong, for BadUsage
};

// Reads the arguments (without the program's name). The window toolkit's own options
// ("-platform offscreen", "-style=Fusion", "--reverse" ...) are let through for the toolkit;
// "--" ends the options, so that a file whose name starts with "-" can be given. -h and --help
// ask for the usage, --version for the version; any other option, a toolkit option without its
// value and a second file are bad usage. Nothing here needs a display.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The usage text, lines ending in "\n".
std::string UsageText();

// Fails with "<path> が見つかりません" when nothing of that name exists: the file named on the
// command line is named in the failure, as the user may have mistyped it.
void CheckCommandLineFileExists(const std::string& path);

}  // namespace qv
