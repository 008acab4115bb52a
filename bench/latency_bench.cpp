// bench_latency TABLE: drives the real main window on the offscreen platform with
// TABLE loaded (settings and title list in files of its own beside TABLE). It opens the find bar
// and types a search text a key at a time, 100 ms apart, then, while the count of a new text runs,
// moves the cursor with PageDown ten times, 100 ms apart; last it opens the filter bar and types
// the same text there, 100 ms a key, until the rows containing it show. A 10 ms timer notes all
// along how late it fires: the longest time the window did not answer. Prints one line of numbers:
//   <longest wait while typing, ms> <longest wait during PageDown, ms>
//   <ms from the last key to the right count shown> <whether it came: 1 or 0>
//   <longest wait typing in the filter bar, ms> <ms from its last key to the right rows shown>
//   <whether they came: 1 or 0>
// With QV_LATENCY_TRACE set in the environment, each long wait is listed on stderr.
// Run on a small table, the same keys give the floor: what the window costs without big counts.

#include <time.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <string>

#include "app/filter_commands.h"
#include "app/find_state.h"
#include "app/main_form.h"
#include "app/search_commands.h"
#include "app/status_texts.h"
#include "gui/application.h"
#include "gui/filter_bar.h"
#include "gui/find_bar.h"
#include "gui/grid_view.h"
#include "gui/main_window.h"
#include "platform/decimal_separator.h"
#include "platform/program_paths.h"

namespace {

double NowMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

constexpr int kProbeMs = 10;
constexpr int kKeyGapMs = 100;
constexpr int kPageDowns = 10;
// A count that has not come right this long after the last key is taken as wrong.
constexpr double kCountTimeoutMs = 60'000;
// With QV_LATENCY_TRACE set, each wait longer than this is listed on stderr.
constexpr double kTracedMs = 30;

void PostKey(QWidget* to, Qt::Key key, const QString& text) {
    QCoreApplication::postEvent(to, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, text));
    QCoreApplication::postEvent(to, new QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier, text));
}

// The run, one step per 100 ms tick: the keys of the search text, a wait for its count, one
// more key (a new count) and the PageDowns; then the keys of the same text in the filter bar and
// a wait for its rows.
class LatencyRun : public QObject {
public:
    LatencyRun(qv::Application& program, QString typed) : program_(program), typed_(typed) {}

    void Begin() {
        program_.MainLogic().Search().OpenFindBar();
        connect(&probe_, &QTimer::timeout, this, [this] { Probe(); });
        // The count the bar must come to show, counted here before the clock starts.
        qv::FindState state = program_.MainLogic().Search().Find();
        state.text = typed_.toStdString();
        expected_ = QString::fromStdString(qv::MatchCountText(state, program_.MainLogic().Table()));
        const qv::TableGrid& table = program_.MainLogic().Table();
        const qv::RowFilter filter({{qv::kAnyFilterColumn, qv::FilterTest::Contains, state.text}},
                                   qv::FilterMatching::Exact);
        expectedFilter_ = "表示 " +
                          qv::GroupedNumber(static_cast<int64_t>(filter.ShownRows(table).size())) +
                          " / " + qv::GroupedNumber(table.RowCount() - 1) + " 行";
        connect(&keys_, &QTimer::timeout, this, [this] { NextKey(); });
        probe_.start(kProbeMs);
        keys_.start(kKeyGapMs);
        lastProbe_ = NowMs();
        begun_ = lastProbe_;
    }

private:
    qv::FindBar& Bar() { return *program_.Main().Find(); }

    void Probe() {
        const double now = NowMs();
        double& longest = filterKeys_ > 0   ? filterLongest_
                          : pagingFrom_ < 0 ? typingLongest_
                                            : pagingLongest_;
        longest = std::max(longest, now - lastProbe_ - kProbeMs);
        if (now - lastProbe_ - kProbeMs > kTracedMs &&
            qEnvironmentVariableIsSet("QV_LATENCY_TRACE")) {
            std::fprintf(stderr, "late %.1f ms at %.1f (keys %d, pages %d)\n",
                         now - lastProbe_ - kProbeMs, now - begun_, static_cast<int>(typedKeys_),
                         pageDowns_);
        }
        lastProbe_ = now;
        if (filterLastKeyAt_ > 0) {
            if (program_.MainLogic().Filter().StatusText() == expectedFilter_) {
                filterShownAfter_ = now - filterLastKeyAt_;
                Finish();
            } else if (now - filterLastKeyAt_ > kCountTimeoutMs) {
                std::fprintf(stderr, "the filter shows \"%s\", not \"%s\"\n",
                             program_.MainLogic().Filter().StatusText().c_str(),
                             expectedFilter_.c_str());
                Finish();  // the right rows never came
            }
            return;
        }
        if (lastKeyAt_ > 0 && countShownAfter_ < 0) {
            if (Bar().CountLabel()->text() == expected_) {
                countShownAfter_ = now - lastKeyAt_;
            } else if (now - lastKeyAt_ > kCountTimeoutMs) {
                Finish();  // the right count never came
            }
        }
    }

    void NextKey() {
        if (typedKeys_ < typed_.size()) {
            PostKey(Bar().SearchBox(), Qt::Key_unknown, typed_.mid(typedKeys_++, 1));
            if (typedKeys_ == typed_.size()) {
                lastKeyAt_ = NowMs();
            }
            return;
        }
        if (countShownAfter_ < 0) {
            return;  // waiting for the count
        }
        if (pagingFrom_ < 0) {
            pagingFrom_ = NowMs();
            PostKey(Bar().SearchBox(), Qt::Key_unknown, QStringLiteral("0"));  // a new count
            program_.Main().Grid()->setFocus();
        }
        if (pageDowns_ < kPageDowns) {
            PostKey(program_.Main().Grid(), Qt::Key_PageDown, QString());
            ++pageDowns_;
            return;
        }
        TypeInFilterBar();
    }

    void TypeInFilterBar() {
        if (filterKeys_ == 0) {
            program_.MainLogic().Filter().OpenFilterBar();
        }
        if (filterKeys_ < typed_.size()) {
            PostKey(program_.Main().Filter()->ValueBox(), Qt::Key_unknown,
                    typed_.mid(filterKeys_++, 1));
            if (filterKeys_ == typed_.size()) {
                filterLastKeyAt_ = NowMs();
            }
        }
    }

    void Finish() {
        keys_.stop();
        probe_.stop();
        std::printf("%.1f %.1f %.1f %d %.1f %.1f %d\n", typingLongest_, pagingLongest_,
                    countShownAfter_, countShownAfter_ >= 0 ? 1 : 0, filterLongest_,
                    filterShownAfter_, filterShownAfter_ >= 0 ? 1 : 0);
        std::fflush(stdout);
        QCoreApplication::exit(0);
    }

    qv::Application& program_;
    QString typed_;
    QTimer probe_;
    QTimer keys_;
    qsizetype typedKeys_ = 0;
    int pageDowns_ = 0;
    double lastProbe_ = 0;
    double begun_ = 0;
    double lastKeyAt_ = -1;
    double countShownAfter_ = -1;
    double pagingFrom_ = -1;
    double typingLongest_ = 0;
    double pagingLongest_ = 0;
    qsizetype filterKeys_ = 0;
    double filterLastKeyAt_ = -1;
    double filterShownAfter_ = -1;
    double filterLongest_ = 0;
    QString expected_;
    std::string expectedFilter_;
};

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_latency TABLE\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication qtApplication(argc, argv);
    qv::PrepareApplication(qtApplication);
    QApplication::setQuitOnLastWindowClosed(false);
    // Settings and the title list of its own beside the table: the user's stay as they were.
    const std::string table = argv[1];
    const std::string folder = table.substr(0, table.find_last_of('/') + 1);
    qv::Application program(
        qv::StoreLocations{folder + "latency-bench.ini", folder + "latency-bench.hst"},
        qv::ProgramDecimalSeparator());
    program.Start(table);
    // Found in many yen amounts and numbers, so that the count has something to count.
    LatencyRun run(program, QStringLiteral("1,2"));
    // Typing starts a second after the table is shown, as a person's would; the first paint of
    // a fresh window is not what is measured here. A load long enough to show its progress lets
    // timers run meanwhile: the run waits for the table to be there.
    constexpr int kSettleMs = 1000;
    QTimer loaded;
    QObject::connect(&loaded, &QTimer::timeout, &run, [&] {
        if (program.MainLogic().CurFileName().empty()) {
            return;
        }
        loaded.stop();
        QTimer::singleShot(kSettleMs, &run, [&run] { run.Begin(); });
    });
    loaded.start(kKeyGapMs);
    return QApplication::exec();
}
