#pragma once

#include <QProgressDialog>
#include <memory>
#include <string_view>

#include "app/progress_monitor.h"

class QWidget;

namespace qv {

// The progress of a long load or save as the user sees it. While the command runs, every step
// lets the windows repaint (but takes no input); once it has run for half a second a progress
// dialog appears, modal to the whole program so that no other command can start in the middle
// (the title list window could otherwise open a second table). A load's dialog cancels with its
// button, Esc or its close box; a save's dialog has no button and ignores Esc and the close box.
// The dialog closes when the monitor is destroyed.
class ProgressDialog final : public ProgressMonitor {
public:
    static constexpr int kShowAfterMs = 500;

    ProgressDialog(QWidget* owner, std::string_view title, ProgressKind kind);
    ~ProgressDialog() override;
    ProgressDialog(const ProgressDialog&) = delete;
    ProgressDialog& operator=(const ProgressDialog&) = delete;

    bool Advance(uint64_t done, uint64_t total) override;

    // The dialog, shown or not yet; for tests.
    QProgressDialog& Dialog() { return *dialog_; }

private:
    std::unique_ptr<QProgressDialog> dialog_;
};

}  // namespace qv
