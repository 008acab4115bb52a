#include "gui/activation_tracker.h"

#include <QGuiApplication>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace qv {

ActivationTracker::ActivationTracker(QWidget& mainWindow, QWidget& titleListWindow,
                                     std::function<void()> mainActivated,
                                     std::function<void()> titleListActivated, QObject* parent)
    : QObject(parent),
      main_(mainWindow),
      titleList_(titleListWindow),
      mainActivated_(std::move(mainActivated)),
      titleListActivated_(std::move(titleListActivated)),
      previous_(QGuiApplication::focusWindow()) {
    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this,
            &ActivationTracker::FocusWindowChanged);
}

void ActivationTracker::TitleListWindowHiding() {
    leavingTitleList_ = true;
}

bool ActivationTracker::Is(QWindow* window, QWidget& widget) const {
    return window != nullptr && window == widget.windowHandle();
}

void ActivationTracker::Later(const std::function<void()>& handler) {
    QTimer::singleShot(0, this, handler);
}

void ActivationTracker::FocusWindowChanged(QWindow* now) {
    const bool fromTitleList = Is(previous_, titleList_) || leavingTitleList_;
    previous_ = now;
    if (now == nullptr) {
        return;
    }
    leavingTitleList_ = false;
    if (Is(now, main_)) {
        if (!mainWasActivated_ || fromTitleList) {
            mainWasActivated_ = true;
            Later(mainActivated_);
        }
    } else if (Is(now, titleList_)) {
        Later(titleListActivated_);
    }
}

}  // namespace qv
