#pragma once

#include <string>
#include <string_view>

#include "table/window_geometry.h"

namespace qv {

// Reads "Left", "Top", "Width" and "Height" of the section in the settings file. Each item that
// reads as a number other than -1 replaces the one in `geometry`; a missing file, section or
// key, a value that is no number, and the value -1 keep it. Never raises.
void RestoreGeometry(const std::string& settingsPath, std::string_view section,
                     WindowGeometry& geometry);

// Writes "Left", "Top", "Width" and "Height" to the section in that order. A failure raises
// Failure "<full path> に書き込めません" and leaves the keys after the failing one unwritten.
void StoreGeometry(const std::string& settingsPath, std::string_view section,
                   const WindowGeometry& geometry);

}  // namespace qv
