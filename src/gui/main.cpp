#include <cstdio>
#include <cstring>
#include <string>

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

// The file to open: the first argument left once Qt has taken its own options ("--" may come
// first, for a file whose name starts with "-"); empty for none.
std::string FileArgument(int argc, char* argv[]) {
    int first = 1;
    if (first < argc && std::strcmp(argv[first], "--") == 0) {
        ++first;
    }
    return first < argc ? std::string(argv[first]) : std::string();
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
    program.Start(FileArgument(argc, argv));
    return QApplication::exec();
}
