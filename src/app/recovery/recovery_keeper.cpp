#include "app/recovery/recovery_keeper.h"

#include <chrono>
#include <exception>

namespace qv {

namespace {

// The window waits at most about this long for one slice of a copy being built.
constexpr std::chrono::milliseconds kSlice{15};
// Rows built between two looks at the clock (a fraction of a millisecond of work).
constexpr int32_t kRowsPerStep = 1024;

}  // namespace

RecoveryKeeper::RecoveryKeeper(TableGrid& grid, const std::string& folder)
    : grid_(grid), session_(folder), writer_(session_.Paths()) {
    grid_.AddObserver(this);
}

RecoveryKeeper::~RecoveryKeeper() {
    grid_.RemoveObserver(this);
}

bool RecoveryKeeper::WriteIfChanged(const std::string& title, const std::string& originalPath,
                                    const WindowGeometry& window) {
    if (building_ && (changed_ || title != buildTitle_ || originalPath != buildPath_)) {
        building_.reset();  // changed between slices: what was built no longer holds
    }
    if (!building_) {
        if (ended_ ||
            (haveCopy_ && !changed_ && title == copyTitle_ && originalPath == copyPath_) ||
            writer_.Busy()) {
            return false;
        }
        building_ = std::make_unique<TableFilePiecesBuilder>(grid_, title, window);
        buildTitle_ = title;
        buildPath_ = originalPath;
        changed_ = false;
    }
    RecoveryJob job;
    try {
        const auto sliceEnd = std::chrono::steady_clock::now() + kSlice;
        while (!building_->Step(kRowsPerStep)) {
            if (std::chrono::steady_clock::now() >= sliceEnd) {
                return true;
            }
        }
        job.table = building_->Take();
        job.info = RecoveryInfoBytes({originalPath, title});
    } catch (const std::exception&) {
        building_.reset();
        return false;  // no memory for a copy now; the next call tries again
    }
    building_.reset();
    writer_.Write(std::move(job));
    Written(title, originalPath);
    return false;
}

void RecoveryKeeper::Written(const std::string& title, const std::string& originalPath) {
    haveCopy_ = true;
    changed_ = false;
    copyTitle_ = title;
    copyPath_ = originalPath;
}

void RecoveryKeeper::Drop() {
    building_.reset();
    writer_.Remove();
    haveCopy_ = false;
}

void RecoveryKeeper::End() {
    building_.reset();
    writer_.Remove();
    writer_.WaitUntilIdle();
    session_.End();
    haveCopy_ = false;
    ended_ = true;
}

RecoveryScan RecoveryKeeper::FindLeftCopies() const {
    return qv::FindLeftCopies(session_.Folder());
}

void RecoveryKeeper::Adopt(LeftCopy& copy, const std::string& title,
                           const std::string& originalPath) {
    building_.reset();
    writer_.WaitUntilIdle();  // nothing of ours may land on the adopted files afterwards
    session_.Adopt(copy);
    writer_.SetPaths(session_.Paths());
    Written(title, originalPath);
}

}  // namespace qv
