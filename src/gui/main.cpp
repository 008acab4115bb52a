#include <cstdio>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "gui/application.h"
#include "gui/program_application.h"
#include "platform/decimal_separator.h"
#include "platform/program_paths.h"

int main(int argc, char* argv[]) {
    // The command line is read before Qt starts, so that help, the version and a mistyped
    // option need no display.
    const qv::CommandLine line =
        qv::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    switch (line.request) {
        case qv::StartRequest::Help:
            std::fputs(qv::UsageText().c_str(), stdout);
            return 0;
        case qv::StartRequest::Version:
            std::puts("quorvane " QV_VERSION);
            return 0;
        case qv::StartRequest::BadUsage:
            std::fprintf(stderr, "quorvane: %s\n\n%s", line.error.c_str(), qv::UsageText().c_str());
            return 2;
        case qv::StartRequest::Run:
            break;
    }
    qv::ProgramApplication qtApplication(argc, argv);
    qv::PrepareApplication(qtApplication);
    // The program ends when its main window has closed, whatever other window is still open.
    QApplication::setQuitOnLastWindowClosed(false);

    qv::Application program(qv::ProgramStoreLocations(), qv::ProgramDecimalSeparator(),
                            qv::ProgramStateFolder());
    program.EndEventLoopWithMainWindow();
    program.Start(line.file);
    return QApplication::exec();
}
