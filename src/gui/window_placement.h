#pragma once

#include <QMargins>
#include <QObject>
#include <QRect>
#include <cstdint>
#include <functional>
#include <optional>

#include "table/window_geometry.h"

class QTimer;
class QWidget;

namespace qv {

// A place and size asked for while the window had no frame yet: never shown, or shown but not
// yet framed by the window manager, which frames a window some moments after it maps it. Until
// the frame is known the window is placed as if it had none; once it is, the frame is put at the
// place and size asked for, so that the window ends where it would had the frame come first. It
// goes when applied, or when no frame has come a while after showing (no window manager).
class PendingFramePlacement : public QObject {
    Q_OBJECT
public:
    // `outer` is asked for; the window's inside has been put at `inside` meanwhile.
    PendingFramePlacement(QWidget& window, const WindowGeometry& outer, const QRect& inside);
    // The place and size the frame will get, while the window's inside stays where it was put
    // (a window manager without frames may still place it otherwise).
    std::optional<WindowGeometry> Outer() const;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void StartWaiting();
    void ApplyOnceFramed();

    QWidget& window_;
    WindowGeometry outer_;
    QRect inside_;
    QTimer* poll_ = nullptr;
    int polls_ = 0;
};

// A place and size asked for (from a table file or the settings file) and the one a window was
// given to fit the screen. Until the window moves or changes size, the place asked for is its
// place, so that it is stored again unchanged.
class FittedPlacement : public QObject {
    Q_OBJECT
public:
    FittedPlacement(QWidget& window, const WindowGeometry& wanted, const WindowGeometry& fitted);
    const WindowGeometry& Wanted() const { return wanted_; }
    const WindowGeometry& Fitted() const { return fitted_; }

private:
    WindowGeometry wanted_;
    WindowGeometry fitted_;
};

// The outer place and size a window is shown with when `wanted` is asked for on a screen whose
// free area (without panels) is `area`: no larger than the area, and with its title bar's top
// edge inside it and at least a grip's width of the title bar on it. A window that fits keeps
// its place and size.
WindowGeometry FitToScreen(const WindowGeometry& wanted, const QRect& area);

// A window's outer place and size, frame included; the one asked for while the window stays
// where SetOuterGeometry fitted it, or waits for its frame.
WindowGeometry OuterGeometry(const QWidget& window);
// Places a window so that its frame has this place and size, fitted to the screen (FitToScreen)
// that holds its corner, else the primary one. While the window has no frame yet (never shown,
// or not yet framed), it is placed as if it had none until the frame is known.
void SetOuterGeometry(QWidget& window, const WindowGeometry& geometry);

// How a window's frame is learnt: by default from the window system. Tests set one that stands
// in for a window manager, which may frame a window only a while after showing it.
using FrameProbe = std::function<QMargins(const QWidget&)>;
void SetFrameProbeForTesting(FrameProbe probe);

// The same size in the middle of a screen: each of Left and Top is half the room left,
// truncated toward zero and never below 0.
WindowGeometry CentredOnScreen(const WindowGeometry& geometry, int screenWidth, int screenHeight);
// Moves a window to the middle of the primary screen, keeping its size.
void CentreOnScreen(QWidget& window);
// The primary screen's full size; 1024 x 768 when there is no screen.
void PrimaryScreenSize(int& width, int& height);

}  // namespace qv
