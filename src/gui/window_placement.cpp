#include "gui/window_placement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QMargins>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace qv {

namespace {

constexpr int kFrameWaitMilliseconds = 3000;
constexpr int kFramePollMilliseconds = 20;
// How much of a window's title bar, across and down, stays on the screen at least.
constexpr int64_t kTitleBarGrip = 100;
constexpr int64_t kTitleBarHeight = 30;

// Whether a window is still where it was put: the window system may nudge a window it frames or
// keeps clear of its panels, but only the user changes its size or moves it further.
bool Unmoved(const WindowGeometry& shown, const WindowGeometry& put) {
    constexpr int64_t kNudge = 50;
    return shown.width == put.width && shown.height == put.height &&
           std::abs(int64_t{shown.left} - put.left) <= kNudge &&
           std::abs(int64_t{shown.top} - put.top) <= kNudge;
}

// The free area of the screen that holds the point, else of the primary screen.
QRect ScreenAreaAt(int32_t left, int32_t top) {
    const QScreen* screen = QGuiApplication::screenAt(QPoint(left, top));
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    return screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

// An outer length less the frame, at least 1 and within what a widget can be.
int InsideLength(int32_t outer, int frame) {
    const int64_t inside = int64_t{outer} - frame;
    return static_cast<int>(std::clamp<int64_t>(inside, 1, QWIDGETSIZE_MAX));
}

FrameProbe& TestingFrameProbe() {
    static FrameProbe probe;
    return probe;
}

QMargins FrameMargins(const QWidget& window) {
    if (TestingFrameProbe()) {
        return TestingFrameProbe()(window);
    }
    const QRect frame = window.frameGeometry();
    const QRect inside = window.geometry();
    return QMargins(inside.left() - frame.left(), inside.top() - frame.top(),
                    frame.right() - inside.right(), frame.bottom() - inside.bottom());
}

// Places the window's inside so that a frame of these margins has the outer place and size.
void PlaceInside(QWidget& window, const WindowGeometry& outer, const QMargins& frame) {
    window.setGeometry(static_cast<int>(std::clamp<int64_t>(int64_t{outer.left} + frame.left(),
                                                            INT32_MIN, INT32_MAX)),
                       static_cast<int>(std::clamp<int64_t>(int64_t{outer.top} + frame.top(),
                                                            INT32_MIN, INT32_MAX)),
                       InsideLength(outer.width, frame.left() + frame.right()),
                       InsideLength(outer.height, frame.top() + frame.bottom()));
}

}  // namespace

void SetFrameProbeForTesting(FrameProbe probe) {
    TestingFrameProbe() = std::move(probe);
}

PendingFramePlacement::PendingFramePlacement(QWidget& window, const WindowGeometry& outer,
                                             const QRect& inside)
    : QObject(&window), window_(window), outer_(outer), inside_(inside) {
    window.installEventFilter(this);
    if (window.isVisible()) {
        StartWaiting();
    }
}

std::optional<WindowGeometry> PendingFramePlacement::Outer() const {
    return window_.geometry() == inside_ ? std::optional(outer_) : std::nullopt;
}

bool PendingFramePlacement::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &window_) {
        return false;
    }
    switch (event->type()) {
        case QEvent::Show:
            StartWaiting();
            [[fallthrough]];
        case QEvent::Move:
        case QEvent::Resize:
            // Not from inside the event: the frame may be known only once it has been handled.
            QTimer::singleShot(0, this, &PendingFramePlacement::ApplyOnceFramed);
            break;
        default:
            break;
    }
    return false;
}

// A window manager tells of the frame it gives in its own time, not always with an event that
// reaches the window: the frame is looked for until it comes or the wait is over.
void PendingFramePlacement::StartWaiting() {
    if (poll_ == nullptr) {
        poll_ = new QTimer(this);
        poll_->setInterval(kFramePollMilliseconds);
        connect(poll_, &QTimer::timeout, this, [this] {
            ApplyOnceFramed();
            if (++polls_ * kFramePollMilliseconds >= kFrameWaitMilliseconds) {
                deleteLater();
            }
        });
    }
    polls_ = 0;
    poll_->start();
}

void PendingFramePlacement::ApplyOnceFramed() {
    const QMargins frame = FrameMargins(window_);
    if (frame.isNull() || !window_.isVisible()) {
        return;
    }
    PlaceInside(window_, outer_, frame);
    poll_->stop();
    deleteLater();
}

FittedPlacement::FittedPlacement(QWidget& window, const WindowGeometry& wanted,
                                 const WindowGeometry& fitted)
    : QObject(&window), wanted_(wanted), fitted_(fitted) {}

WindowGeometry FitToScreen(const WindowGeometry& wanted, const QRect& area) {
    // In 64 bits: a stored place or size may be any 32-bit number.
    const int64_t width = std::clamp<int64_t>(wanted.width, 1, std::max(area.width(), 1));
    const int64_t height = std::clamp<int64_t>(wanted.height, 1, std::max(area.height(), 1));
    const int64_t grip = std::min(width, kTitleBarGrip);
    const int64_t leftmost = int64_t{area.left()} + grip - width;
    const int64_t rightmost = int64_t{area.left()} + area.width() - grip;
    const int64_t lowest =
        std::max<int64_t>(area.top(), int64_t{area.top()} + area.height() - kTitleBarHeight);
    return WindowGeometry{
        static_cast<int32_t>(std::clamp<int64_t>(wanted.left, leftmost, rightmost)),
        static_cast<int32_t>(std::clamp<int64_t>(wanted.top, area.top(), lowest)),
        static_cast<int32_t>(width), static_cast<int32_t>(height)};
}

WindowGeometry OuterGeometry(const QWidget& window) {
    const auto* pending =
        window.findChild<PendingFramePlacement*>(QString(), Qt::FindDirectChildrenOnly);
    const QRect frame = window.geometry().marginsAdded(FrameMargins(window));
    const WindowGeometry shown =
        (pending != nullptr ? pending->Outer() : std::nullopt)
            .value_or(WindowGeometry{frame.x(), frame.y(), frame.width(), frame.height()});
    const auto* placement =
        window.findChild<FittedPlacement*>(QString(), Qt::FindDirectChildrenOnly);
    return placement != nullptr && Unmoved(shown, placement->Fitted()) ? placement->Wanted()
                                                                       : shown;
}

void SetOuterGeometry(QWidget& window, const WindowGeometry& wanted) {
    delete window.findChild<PendingFramePlacement*>(QString(), Qt::FindDirectChildrenOnly);
    delete window.findChild<FittedPlacement*>(QString(), Qt::FindDirectChildrenOnly);
    const WindowGeometry geometry = FitToScreen(wanted, ScreenAreaAt(wanted.left, wanted.top));
    if (geometry.left != wanted.left || geometry.top != wanted.top ||
        geometry.width != wanted.width || geometry.height != wanted.height) {
        new FittedPlacement(window, wanted, geometry);
    }
    const QMargins frame = FrameMargins(window);
    PlaceInside(window, geometry, frame);
    if (frame.isNull()) {
        new PendingFramePlacement(window, geometry, window.geometry());
    }
}

WindowGeometry CentredOnScreen(const WindowGeometry& geometry, int screenWidth, int screenHeight) {
    WindowGeometry centred = geometry;
    // In 64 bits: a stored size may be any 32-bit number.
    const int64_t left = (int64_t{screenWidth} - geometry.width) / 2;
    const int64_t top = (int64_t{screenHeight} - geometry.height) / 2;
    centred.left = static_cast<int32_t>(std::max<int64_t>(0, left));
    centred.top = static_cast<int32_t>(std::max<int64_t>(0, top));
    return centred;
}

void PrimaryScreenSize(int& width, int& height) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    width = screen != nullptr ? screen->geometry().width() : 1024;
    height = screen != nullptr ? screen->geometry().height() : 768;
}

void CentreOnScreen(QWidget& window) {
    int screenWidth = 0;
    int screenHeight = 0;
    PrimaryScreenSize(screenWidth, screenHeight);
    const WindowGeometry centred =
        CentredOnScreen(OuterGeometry(window), screenWidth, screenHeight);
    window.move(centred.left, centred.top);
}

}  // namespace qv
