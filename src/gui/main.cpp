#include <cstdio>
#include <cstring>

#include "gui/application.h"
#include "gui/program_application.h"
#include "platform/decimal_separator.h"
#include "platform/program_paths.h"

namespace {

// `quorvane --version` answers before Qt starts, so that it needs no display.
bool AskedForVersion(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            return true;
        }
    }
    return false;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (AskedForVersion(argc, argv)) {
        std::puts("quorvane " QV_VERSION);
        return 0;
    }
    qv::ProgramApplication qtApplication(argc, argv);
    qv::PrepareApplication(qtApplication);
    // The program ends when its main window has closed, whatever other window is still open.
    QApplication::setQuitOnLastWindowClosed(false);

    qv::Application program(qv::ProgramStoreLocations(), qv::ProgramDecimalSeparator(),
                            qv::ProgramStateFolder());
    program.EndEventLoopWithMainWindow();
    program.Start();
    return QApplication::exec();
}
