#pragma once

#include <QFont>

namespace qv {

// Maps the font names the windows were designed with (program_info.h) to the installed fonts
// drawn to the same measures. Safe to call any number of times.
void MapDesignFonts();

// The grid's font: "ＭＳ 明朝" at 15 pixels, mapped as MapDesignFonts does.
QFont GridFont();

}  // namespace qv
