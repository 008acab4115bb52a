#pragma once

#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace qv {

// Builds the text of a table or history file line by line; every line ends with CR LF. The
// text is written as given: a CR or LF inside it is not checked for.
class LineWriter {
public:
    // Appends the text and a line end.
    void Line(std::string_view text) {
        buffer_.append(text);
        buffer_.append("\r\n");
    }

    // Appends the number in plain decimal ("-" in front when negative) and a line end.
    void Number(int64_t value) {
        char digits[24];
        auto result = std::to_chars(digits, digits + sizeof digits, value);
        buffer_.append(digits, result.ptr);
        buffer_.append("\r\n");
    }

    // The text built so far, for reserving room or appending to it directly.
    std::string& Buffer() { return buffer_; }

    // Hands the text over and leaves the writer empty.
    std::string Take() {
        std::string text = std::move(buffer_);
        buffer_.clear();
        return text;
    }

private:
    std::string buffer_;
};

}  // namespace qv
