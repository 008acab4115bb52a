#include "gui/progress_dialog.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QString>

namespace qv {

namespace {

// The bar's range: progress in thousandths.
constexpr int kBarSteps = 1000;

int BarValue(uint64_t done, uint64_t total) {
    if (total == 0 || done >= total) {
        return kBarSteps;
    }
    return static_cast<int>(static_cast<double>(done) / static_cast<double>(total) * kBarSteps);
}

// A progress dialog that either cancels on every way of closing it or cannot be closed at all:
// hidden halfway, it would let the user start other commands while the work goes on.
class ProgressWindow final : public QProgressDialog {
public:
    ProgressWindow(QWidget* owner, bool cancellable)
        : QProgressDialog(owner), cancellable_(cancellable) {}

    void reject() override {
        if (cancellable_) {
            cancel();
        }
    }

protected:
    void closeEvent(QCloseEvent* event) override {
        if (cancellable_) {
            QProgressDialog::closeEvent(event);
        } else {
            event->ignore();
        }
    }

private:
    bool cancellable_;
};

}  // namespace

ProgressDialog::ProgressDialog(QWidget* owner, std::string_view title, ProgressKind kind)
    : dialog_(std::make_unique<ProgressWindow>(owner, kind == ProgressKind::Load)) {
    const QString text = QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size()));
    dialog_->setWindowTitle(text);
    dialog_->setLabelText(text);
    dialog_->setRange(0, kBarSteps);
    dialog_->setAutoReset(false);
    dialog_->setAutoClose(false);
    dialog_->setWindowModality(Qt::ApplicationModal);
    if (kind == ProgressKind::Save) {
        dialog_->setCancelButton(nullptr);
    } else {
        dialog_->setCancelButtonText(QStringLiteral("ｷｬﾝｾﾙ"));
    }
    // The dialog's own timer shows it once this much time has passed.
    dialog_->setMinimumDuration(kShowAfterMs);
    dialog_->setValue(0);
}

ProgressDialog::~ProgressDialog() {
    dialog_->hide();
}

bool ProgressDialog::Advance(uint64_t done, uint64_t total) {
    // Once shown, the modal dialog lets the events through itself in setValue; before that only
    // painting and timers run, so that a click meant for the busy window does nothing.
    const bool shown = dialog_->isVisible();
    dialog_->setValue(BarValue(done, total));
    if (!shown) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    return !dialog_->wasCanceled();
}

}  // namespace qv
