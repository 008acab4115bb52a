// quorvane-cli: the headless companion. It reads table files through the same code as the
// program and prints what the program would show.
#include <CLI/CLI.hpp>

#include <iostream>
#include <string>

#include "cli/cli_commands.h"
#include "cli/cli_table_loading.h"

namespace {

int Run(int argc, char** argv) {
    CLI::App app{"quorvane-cli: reads Quorvane table files (.qvd) without a window"};
    app.require_subcommand(1);

    std::string file;
    int32_t col = 0;
    std::string text;

    CLI::App* dump = app.add_subcommand("dump", "print a table file as JSON");
    dump->add_option("FILE", file, "table file")->required();

    CLI::App* stats = app.add_subcommand("stats", "print the statistics report of a column");
    stats->add_option("FILE", file, "table file")->required();
    stats->add_option("COL", col, "grid column (1 is the first data column)")->required();

    CLI::App* count = app.add_subcommand("count", "count the cells of a column equal to TEXT");
    count->add_option("FILE", file, "table file")->required();
    count->add_option("COL", col, "grid column (1 is the first data column)")->required();
    count->add_option("TEXT", text, "the text to look for (UTF-8)")->required();

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        app.exit(e);
        return qv::cli::kExitUsage;
    }

    if (*dump) {
        return qv::cli::RunDump(file, std::cout, std::cerr);
    }
    if (*stats) {
        return qv::cli::RunStats(file, col, std::cout, std::cerr);
    }
    return qv::cli::RunCount(file, col, text, std::cout, std::cerr);
}

}  // namespace

// Every exception ends here as a failure with exit status 1; none reaches std::terminate.
int main(int argc, char** argv) {
    try {
        return Run(argc, argv);
    } catch (const std::exception& failure) {
        return qv::cli::ReportFailure(failure, std::cerr);
    } catch (...) {
        std::cerr << qv::cli::kUnexpectedFailureMessage << '\n';
        return qv::cli::kExitFailure;
    }
}
