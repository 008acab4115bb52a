#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace qv {

// How much of a cell's text the view works on, so that a cell of any length costs no more to
// show than one that just fills its width. Characters are counted as the CP932 decoder reads
// them: a lead byte (81-9F, E0-FC) with a trail byte (40-7E, 80-FC) is one character, any other
// byte is one on its own.

// The bytes of the first `count` characters of `cp932` (all of it when it has fewer). Never cuts
// a character in two. Costs in `count`, not in the text's length.
std::string_view Cp932Prefix(std::string_view cp932, std::size_t count);

// The bytes of a cell's text that a cell `width` pixels wide can show: every character takes at
// least a pixel, so the characters beyond the width's count (and one more, which may be cut by
// the border) are never decoded or laid out. A width of 0 or less shows nothing.
std::string_view ShownCellBytes(std::string_view cp932, int32_t width);

// The most characters the in-place editor holds; a longer text would be cut by it.
inline constexpr std::size_t kCellEditorMaxLength = 32767;

// Whether the in-place editor can hold the whole text. Costs in kCellEditorMaxLength at most.
bool FitsInCellEditor(std::string_view cp932);

}  // namespace qv
