#pragma once

#include <cstddef>
#include <string_view>

namespace qv {

// Reads lines from an in-memory text in one pass, with the line discipline of the table and
// history files: a line ends at CR, and one LF right after that CR belongs to the line end;
// an LF alone is an ordinary byte; the byte 0x1A ends the text; past the end every line reads
// as the empty text (never a failure); lines have no length limit.
class LineReader {
public:
    explicit LineReader(std::string_view text);

    // The next line, without its end. A view into the text given to the constructor.
    std::string_view Next();

    // True once every line of the text has been read.
    bool AtEnd() const { return pos_ >= end_; }

    // The text not read yet, up to its end.
    std::string_view Rest() const { return text_.substr(pos_, end_ - pos_); }

    // Offset in the text just past the last line end consumed.
    std::size_t Position() const { return pos_; }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;  // the offset of the first 0x1A, or the text's size
};

}  // namespace qv
