#include "view/cell_text_extent.h"

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

bool FitsInCellEditor(std::string_view cp932) {
    return Cp932Prefix(cp932, kCellEditorMaxLength).size() == cp932.size();
}

}  // namespace qv
