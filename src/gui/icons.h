#pragma once

#include <QIcon>
#include <QPixmap>

#include "app/main_commands.h"

namespace qv {

// A toolbar picture, drawn from its SVG at whatever size and pixel density it is shown; Qt
// greys it for the disabled state.
QIcon ToolbarIcon(ToolbarPicture picture);
// The program's icon: a small table in a dark blue frame.
QIcon ProgramIcon();
// The program's icon drawn at size x size pixels of a screen with that device pixel ratio.
QPixmap ProgramPixmap(int size, qreal devicePixelRatio);

}  // namespace qv
