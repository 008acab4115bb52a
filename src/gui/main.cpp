#include "gui/application.h"
#include "gui/program_application.h"
#include "platform/decimal_separator.h"
#include "platform/program_paths.h"

int main(int argc, char* argv[]) {
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
