#pragma once

#include <QIcon>
#include <QPixmap>

#include "app/main_commands.h"

namespace qv {

// A toolbar picture at 16 x 16 (and sharper on dense screens); Qt greys it for the disabled
// state.
QIcon ToolbarIcon(ToolbarPicture picture);
// The program's icon: a small table in a dark blue frame.
QIcon ProgramIcon();
// The program's icon drawn at size x size pixels.
QPixmap ProgramPixmap(int size);

}  // namespace qv
