#pragma once

#include <cstdint>
#include <exception>
#include <functional>

namespace qv {

// Told how far a long read or write of a table file has come: `done` of `total` (the units are
// the caller's: bytes for reading, rows for writing). Returns false to ask that a read stop; a
// write cannot be stopped and ignores the answer. An empty function is never called.
using FileProgress = std::function<bool(uint64_t done, uint64_t total)>;

// Raised by a read whose progress function asked it to stop. It is no failure: the caller drops
// what was read and shows nothing.
class ReadCancelled : public std::exception {
public:
    const char* what() const noexcept override { return "reading cancelled"; }
};

// Passes progress on in coarse steps: about a hundred per operation and at least `minimumStep`
// units apart, so that a window showing it is not asked to repaint for every line.
class ProgressSteps {
public:
    ProgressSteps(const FileProgress& progress, uint64_t total, uint64_t minimumStep)
        : progress_(progress),
          total_(total),
          step_(total / 100 > minimumStep ? total / 100 : minimumStep),
          next_(step_) {}

    // Reports `done` when a step has been passed, and always at the end. Returns what the
    // progress function answered, or true when it was not asked.
    bool Reach(uint64_t done) {
        if (!progress_ || (done < next_ && done < total_)) {
            return true;
        }
        next_ = done + step_;
        return progress_(done, total_);
    }

    // Reach, raising ReadCancelled when the answer is to stop.
    void ReachOrCancel(uint64_t done) {
        if (!Reach(done)) {
            throw ReadCancelled();
        }
    }

private:
    const FileProgress& progress_;
    uint64_t total_;
    uint64_t step_;
    uint64_t next_;
};

}  // namespace qv
