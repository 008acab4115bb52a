#pragma once

#include <cstdint>

namespace qv {

// What a long command shows while it runs: a load, and any long command that reads the table
// before it changes it, may be cancelled; a save only shows how far it has come (the old file
// stays as it was until the new one is complete, but a save the user started is seen through).
enum class ProgressKind { Load, Save };

// The window system's side of a long command: told how far the command has come, it keeps the
// windows painting and shows a progress dialog once the command has run for a moment. Ends
// (the dialog closes) when destroyed.
class ProgressMonitor {
public:
    virtual ~ProgressMonitor() = default;
    // `done` of `total` units. Returns false when the user asked to cancel (a load only).
    virtual bool Advance(uint64_t done, uint64_t total) = 0;
};

}  // namespace qv
