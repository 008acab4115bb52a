#include "platform/line_reader.h"

#include <cstring>

namespace qv {

LineReader::LineReader(std::string_view text) : text_(text), end_(text.size()) {
    if (!text.empty()) {
        if (const void* eof = std::memchr(text.data(), 0x1A, text.size())) {
            end_ = static_cast<std::size_t>(static_cast<const char*>(eof) - text.data());
        }
    }
}

std::string_view LineReader::Next() {
    if (pos_ >= end_) {
        return {};
    }
    const char* begin = text_.data() + pos_;
    const void* cr = std::memchr(begin, '\r', end_ - pos_);
    if (cr == nullptr) {
        std::string_view line(begin, end_ - pos_);
        pos_ = end_;
        return line;
    }
    std::size_t length = static_cast<std::size_t>(static_cast<const char*>(cr) - begin);
    std::string_view line(begin, length);
    pos_ += length + 1;
    if (pos_ < end_ && text_[pos_] == '\n') {
        ++pos_;
    }
    return line;
}

}  // namespace qv
