#pragma once

#include <memory>
#include <optional>
#include <string_view>
#include <type_traits>

#include "app/window_system.h"
#include "platform/work_progress.h"

namespace qv {

// Runs `compute`, a long reading of the table that hears a WorkProgress (see
// platform/work_progress.h), with `monitor` showing how far it has come and offering to cancel
// it; with no monitor it just runs. Returns the result, or nothing when the user cancelled: the
// table is then as it was, since the computation only reads it. The monitor has ended (its
// dialog closed) by the time this returns, before the result is applied.
template <class Compute>
auto ComputeWithMonitor(std::unique_ptr<ProgressMonitor> monitor, Compute compute)
    -> std::optional<std::invoke_result_t<Compute, const WorkProgress&>> {
    WorkProgress progress;
    if (monitor != nullptr) {
        progress = [&monitor](int64_t done, int64_t total) {
            return monitor->Advance(static_cast<uint64_t>(done), static_cast<uint64_t>(total));
        };
    }
    try {
        return compute(progress);
    } catch (const WorkCancelled&) {
        return std::nullopt;
    }
}

// The same under the window system's progress dialog titled `title`: shown once the work has
// run for half a second, with a button that cancels it.
template <class Compute>
auto ComputeWithProgress(WindowSystem& windows, std::string_view title, Compute compute) {
    return ComputeWithMonitor(windows.StartProgress(title, ProgressKind::Load), compute);
}

}  // namespace qv
