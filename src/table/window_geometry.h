#pragma once

#include <cstdint>

namespace qv {

// A window's place and size on the screen, in pixels: what a table file stores for the main
// window and the settings file for each window.
struct WindowGeometry {
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;
};

}  // namespace qv
