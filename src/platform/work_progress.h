#pragma once

#include <cstdint>
#include <exception>
#include <functional>

namespace qv {

// Told how far a long computation over the table has come: `done` of `total` units (cells or
// rows, the computation's choice). Returns false to ask that the computation stop. An empty
// function is never called.
using WorkProgress = std::function<bool(int64_t done, int64_t total)>;

// Raised out of a computation whose progress function asked it to stop. It is no failure: the
// computation only reads the table, so the caller drops what it had made and changes nothing.
class WorkCancelled : public std::exception {
public:
    const char* what() const noexcept override { return "work cancelled"; }
};

// Passes progress on in coarse steps, about two hundred over the whole work and never closer
// than kMinimumStep units, so that a loop can report every unit at the cost of a comparison.
class WorkSteps {
public:
    static constexpr int64_t kMinimumStep = 4096;

    WorkSteps(const WorkProgress& progress, int64_t total)
        : progress_(progress),
          total_(total),
          step_(total / 200 > kMinimumStep ? total / 200 : kMinimumStep),
          next_(progress ? step_ : INT64_MAX) {}

    // Reports one more unit done; raises WorkCancelled when the answer is to stop.
    void Advance() { Reach(done_ + 1); }

    // Reports `done` units once a step has been passed; raises WorkCancelled when the answer is
    // to stop.
    void Reach(int64_t done) {
        done_ = done;
        if (done < next_) {
            return;
        }
        next_ = done + step_;
        if (!progress_(done, total_)) {
            throw WorkCancelled();
        }
    }

private:
    const WorkProgress& progress_;
    int64_t total_;
    int64_t step_;
    int64_t next_;
    int64_t done_ = 0;
};

}  // namespace qv
