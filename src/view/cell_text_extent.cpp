#include "view/cell_text_extent.h"

#include <algorithm>

namespace qv {

namespace {

bool IsLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool IsTrailByte(unsigned char byte) {
    return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);
}

unsigned char ByteAt(std::string_view text, std::size_t i) {
    return static_cast<unsigned char>(text[i]);
}

constexpr int32_t kSingleByteWidth = 8;
constexpr int32_t kDoubleByteWidth = 15;
constexpr int32_t kTextMargin = 2 + 2 + 1;  // the inset at either side, then the line

}  // namespace

std::string_view Cp932Prefix(std::string_view cp932, std::size_t count) {
    std::size_t end = 0;
    for (std::size_t n = 0; n < count && end < cp932.size(); ++n) {
        const bool pair = IsLeadByte(ByteAt(cp932, end)) && end + 1 < cp932.size() &&
                          IsTrailByte(ByteAt(cp932, end + 1));
        end += pair ? 2 : 1;
    }
    return cp932.substr(0, end);
}

std::string_view ShownCellBytes(std::string_view cp932, int32_t width) {
    if (width <= 0) {
        return {};
    }
    return Cp932Prefix(cp932, static_cast<std::size_t>(width) + 1);
}

std::vector<std::string_view> ShownCellLines(std::string_view cp932, int32_t width,
                                             int32_t lineCount) {
    std::vector<std::string_view> lines;
    std::string_view rest = cp932;
    // A line feed is never the trail byte of a CP932 pair, so a byte search finds line breaks.
    for (std::size_t breakAt = rest.find('\n');
         static_cast<int32_t>(lines.size()) + 1 < lineCount && breakAt != std::string_view::npos;
         breakAt = rest.find('\n')) {
        lines.push_back(ShownCellBytes(rest.substr(0, breakAt), width));
        rest.remove_prefix(breakAt + 1);
    }
    lines.push_back(ShownCellBytes(rest, width));
    return lines;
}

int32_t FittingColumnWidth(std::string_view cp932, int32_t cap) {
    int32_t widest = kTextMargin;
    int32_t line = kTextMargin;
    for (std::size_t i = 0; i < cp932.size() && widest < cap; ++i) {
        if (cp932[i] == '\n') {
            line = kTextMargin;
            continue;
        }
        const bool pair = IsLeadByte(ByteAt(cp932, i)) && i + 1 < cp932.size() &&
                          IsTrailByte(ByteAt(cp932, i + 1));
        line += pair ? kDoubleByteWidth : kSingleByteWidth;
        i += pair ? 1 : 0;
        widest = std::max(widest, line);
    }
    return std::min(widest, cap);
}

bool FitsInCellEditor(std::string_view cp932) {
    return Cp932Prefix(cp932, kCellEditorMaxLength).size() == cp932.size();
}

bool FitsInLongTextEditor(std::string_view cp932) {
    return Cp932Prefix(cp932, kLongTextEditorMaxLength).size() == cp932.size();
}

}  // namespace qv
