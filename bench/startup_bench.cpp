// bench_startup --program | --floor: starts the program the way its main() does (--program), or a
// bare Qt window of the main window's size (--floor), and at the first paint of that window
// prints the monotonic clock in milliseconds and ends at once. bench_table takes the time just
// before it starts this process, so the difference holds loading the program, Qt and the fonts.

#include <time.h>
#include <unistd.h>

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "gui/application.h"
#include "gui/main_window.h"
#include "platform/decimal_separator.h"
#include "platform/program_paths.h"

namespace {

double NowMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// Waits for the first paint of the window, lets it finish, then prints the time and ends the
// process without tearing anything down.
class FirstPaint : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            QTimer::singleShot(0, [] {
                std::printf("%.3f\n", NowMs());
                std::fflush(stdout);
                _exit(0);
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool seen_ = false;
};

}  // namespace

int main(int argc, char* argv[]) {
    const bool floor = argc == 2 && std::string_view(argv[1]) == "--floor";
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_FONTDIR")) {
        qputenv("QT_QPA_FONTDIR", "/usr/share/fonts");
    }
    QApplication qtApplication(argc, argv);
    FirstPaint firstPaint;
    if (floor) {
        QWidget window;
        window.resize(276, 247);
        window.installEventFilter(&firstPaint);
        window.show();
        return QApplication::exec();
    }
    // As src/gui/main.cpp does.
    qv::PrepareApplication(qtApplication);
    QApplication::setQuitOnLastWindowClosed(false);
    qv::Application program(qv::ProgramStoreLocations(), qv::ProgramDecimalSeparator());
    program.EndEventLoopWithMainWindow();
    program.Main().installEventFilter(&firstPaint);
    program.Start();
    return QApplication::exec();
}
