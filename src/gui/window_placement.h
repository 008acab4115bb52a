#pragma once

#include <QObject>
#include <cstdint>

#include "table/window_geometry.h"

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

// A window's outer place and size, frame included.
WindowGeometry OuterGeometry(const QWidget& window);
// Places a window so that its frame has this place and size. While the window has no frame yet
// (never shown), the size is taken for its inside until the frame is known.
void SetOuterGeometry(QWidget& window, const WindowGeometry& geometry);

// The same size in the middle of a screen: each of Left and Top is half the room left,
// truncated toward zero and never below 0.
WindowGeometry CentredOnScreen(const WindowGeometry& geometry, int screenWidth, int screenHeight);
// Moves a window to the middle of the primary screen, keeping its size.
void CentreOnScreen(QWidget& window);
// The primary screen's full size; 1024 x 768 when there is no screen.
void PrimaryScreenSize(int& width, int& height);

}  // namespace qv
