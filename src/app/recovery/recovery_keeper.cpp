#include "app/recovery/recovery_keeper.h"

#include <exception>

namespace qv {

RecoveryKeeper::RecoveryKeeper(TableGrid& grid, const std::string& folder)
    : grid_(grid), session_(folder), writer_(session_.Paths()) {
    grid_.AddObserver(this);
}

RecoveryKeeper::~RecoveryKeeper() {
    grid_.RemoveObserver(this);
}

void RecoveryKeeper::WriteIfChanged(const std::string& title, const std::string& originalPath,
                                    const WindowGeometry& window) {
    if (ended_ || (haveCopy_ && !changed_ && title == copyTitle_ && originalPath == copyPath_) ||
        writer_.Busy()) {
        return;
    }
    RecoveryJob job;
    try {
        job.table = BuildTableFilePieces(grid_, title, window);
        job.info = RecoveryInfoBytes({originalPath, title});
    } catch (const std::exception&) {
        return;  // no memory for a copy now; the next call tries again
    }
    writer_.Write(std::move(job));
    Written(title, originalPath);
}

void RecoveryKeeper::Written(const std::string& title, const std::string& originalPath) {
    haveCopy_ = true;
    changed_ = false;
    copyTitle_ = title;
    copyPath_ = originalPath;
}

void RecoveryKeeper::Drop() {
    writer_.Remove();
    haveCopy_ = false;
}

void RecoveryKeeper::End() {
    writer_.Remove();
    writer_.WaitUntilIdle();
    session_.End();
    haveCopy_ = false;
    ended_ = true;
}

std::vector<LeftCopy> RecoveryKeeper::FindLeftCopies() const {
    return qv::FindLeftCopies(session_.Folder());
}

void RecoveryKeeper::Adopt(LeftCopy& copy, const std::string& title,
                           const std::string& originalPath) {
    writer_.WaitUntilIdle();  // nothing of ours may land on the adopted files afterwards
    copy.Adopt(session_);
    Written(title, originalPath);
}

}  // namespace qv
