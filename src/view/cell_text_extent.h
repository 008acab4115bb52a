#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

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

// The lines a cell `width` pixels wide shows when it has room for `lineCount` lines (at least
// one): the text up to each line break (LF), each cut as ShownCellBytes cuts it. The last line
// shown runs on over the line breaks left, which stay in it for the painter to mark, so that a
// cell of one line still shows that its text has more lines. Looks for a line break only as far
// as the lines before the last need.
std::vector<std::string_view> ShownCellLines(std::string_view cp932, int32_t width,
                                             int32_t lineCount);

// The width a column needs to show `cp932` whole, its longest line counting, with the text's
// inset and the cell's line, in the grid's design font: 15 pixels high and fixed-pitch, so that
// a single-byte character takes 8 pixels and a double-byte one 15. Never more than `cap`; costs
// in the characters counted up to it.
int32_t FittingColumnWidth(std::string_view cp932, int32_t cap);

// The most characters the in-place editor holds; a longer text would be cut by it.
inline constexpr std::size_t kCellEditorMaxLength = 32767;

// Whether the in-place editor can hold the whole text. Costs in kCellEditorMaxLength at most.
bool FitsInCellEditor(std::string_view cp932);

// The most characters the dialog for long texts is given: a text box lays a line out whole, and
// one line of two million characters already takes seconds.
inline constexpr std::size_t kLongTextEditorMaxLength = 2'000'000;

// Whether the dialog for long texts takes the whole text. Costs in kLongTextEditorMaxLength at
// most.
bool FitsInLongTextEditor(std::string_view cp932);

}  // namespace qv
