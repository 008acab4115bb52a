#pragma once

#include <cstddef>

namespace qv {

// Failures that tests make ReplaceFileAtomically meet on purpose. Tests run as root, for whom
// permission bits stop nothing, and a full disk cannot be arranged on demand; these stand in
// for them. Errors given as 0 are not injected.
struct FileFaults {
    // The write call (counted from 1 in each ReplaceFileAtomically call) that fails; 0 for
    // none. That call still writes up to bytesBeforeWriteError bytes before it reports
    // writeErrno, so the temporary file is left part written.
    int failingWrite = 0;
    std::size_t bytesBeforeWriteError = 0;
    int writeErrno = 0;
    // Creating the temporary file fails with createErrno once createsBeforeError creations
    // have gone through; createsSeen counts the creations while the faults are installed.
    int createErrno = 0;
    int createsBeforeError = 0;
    mutable int createsSeen = 0;
    // Flushing the temporary file to the disk fails with this errno.
    int fsyncErrno = 0;
    // Only the flushes made while a big file is still being written fail, with this errno;
    // the flush at the end goes through.
    int earlyFlushErrno = 0;
    // Renaming the temporary file over the target fails with this errno: what a reader after a
    // crash just before the rename would find.
    int renameErrno = 0;
};

// Installs faults for the following ReplaceFileAtomically calls, in every thread; nullptr
// removes them. The object must outlive its installation. Without faults installed the file
// functions only read one pointer per system call.
void SetFileFaultsForTesting(const FileFaults* faults);

}  // namespace qv
