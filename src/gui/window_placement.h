#pragma once

#include <QObject>
#include <cstdint>

#include "table/window_geometry.h"

class QRect;
class QWidget;

namespace qv {

// An outer size asked for while the window had no frame yet: once the window shows and its
// frame is known, its inside is sized so that the frame has that size. It goes when applied, or
// soon after showing when the window gets no frame.
class PendingOuterSize : public QObject {
    Q_OBJECT
public:
    PendingOuterSize(QWidget& window, int32_t outerWidth, int32_t outerHeight);
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Apply();

    QWidget& window_;
    int32_t outerWidth_;
    int32_t outerHeight_;
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
// where SetOuterGeometry fitted it.
WindowGeometry OuterGeometry(const QWidget& window);
// Places a window so that its frame has this place and size, fitted to the screen (FitToScreen)
// that holds its corner, else the primary one. While the window has no frame yet (never shown),
// the size is taken for its inside until the frame is known.
void SetOuterGeometry(QWidget& window, const WindowGeometry& geometry);

// The same size in the middle of a screen: each of Left and Top is half the room left,
// truncated toward zero and never below 0.
WindowGeometry CentredOnScreen(const WindowGeometry& geometry, int screenWidth, int screenHeight);
// Moves a window to the middle of the primary screen, keeping its size.
void CentreOnScreen(QWidget& window);
// The primary screen's full size; 1024 x 768 when there is no screen.
void PrimaryScreenSize(int& width, int& height);

}  // namespace qv
