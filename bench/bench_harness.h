#pragma once

// A small harness for the table of figures: timing by the best of several runs, child processes
// for what a whole process must show (peak memory, start-up), and the printed table where every
// figure stands beside the floor measured in the same run.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qv::bench {

// Milliseconds on the monotonic clock (the same clock in every process of the machine).
double NowMs();

// The shortest of `runs` runs of `run`, in milliseconds. `prepare` runs untimed before each.
template <class Prepare, class Run>
double BestOf(int runs, Prepare&& prepare, Run&& run) {
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        prepare();
        const double start = NowMs();
        run();
        const double took = NowMs() - start;
        best = took < best ? took : best;
    }
    return best;
}

template <class Run>
double BestOf(int runs, Run&& run) {
    return BestOf(
        runs, [] {}, run);
}

// Runs the program with its arguments and returns what it wrote to its standard output, or
// nothing when it could not start or ended with a failure. Its standard error is dropped.
std::optional<std::string> RunChild(const std::vector<std::string>& argv);

// The process's peak resident memory so far (VmHWM), in bytes; 0 when the system does not say.
uint64_t PeakResidentBytes();
// The resident memory now, once the allocator's free memory is handed back to the system; the
// peak is reset to it, so that PeakResidentBytes later tells the peak since.
uint64_t ResidentBytesResettingPeak();

// The folder of the running program, for the other benchmark programs built beside it.
std::string ProgramFolder();

// One line of the table. A figure with a goal is judged: the ratio must not exceed maxRatio.
struct Figure {
    std::string what;        // e.g. "load"
    std::string size;        // e.g. "1,000,000 x 8"
    std::string value;       // e.g. "212.4 ms  284 MB/s"
    std::string floorName;   // e.g. "read + split (memchr)"
    std::string floorValue;  // e.g. "80.1 ms"
    std::optional<double> ratio;
    std::optional<double> maxRatio;  // the goal on the ratio, when there is one
    std::optional<double> ms;        // the figure in milliseconds, when it has a time goal
    std::optional<double> maxMs;     // the goal on the time
    std::string note;                // said in place of a verdict, e.g. "not measured: ..."
};

class Report {
public:
    void Add(Figure figure) { figures_.push_back(std::move(figure)); }
    // Prints the table and, below it, the goals missed. Returns how many were missed.
    int Print() const;

private:
    std::vector<Figure> figures_;
};

std::string Ms(double ms);
std::string Megabytes(uint64_t bytes);
std::string WithCommas(int64_t n);

}  // namespace qv::bench
