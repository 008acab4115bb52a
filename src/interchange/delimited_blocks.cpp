#include "interchange/delimited_blocks.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "interchange/delimited_text.h"
#include "platform/cp932.h"

namespace qv {

namespace {

// Room for the worst case of a field (quoted, every quote doubled, in UTF-8 three bytes for a
// CP932 byte but one for a quote) and what follows it; and the bytes a short text copied as
// one 16-byte word may write beyond itself.
constexpr std::size_t kAround = 2 + kGetaMarkUtf8.size() + kDelimitedRecordEnd.size();
constexpr std::size_t kWordCopy = 16;

std::size_t RoomPerByte(TextEncoding encoding) {
    return encoding == TextEncoding::Cp932 ? 2 : 4;
}

template <class Word>
uint64_t CopyWord(const char* in, char* out) {
    Word word;
    std::memcpy(&word, in, sizeof word);
    std::memcpy(out, &word, sizeof word);
    return word;
}

// The field in double quotes, its quotes doubled, its bytes as they are.
char* Quoted(char* out, std::string_view text) {
    *out++ = '"';
    for (;;) {
        const std::size_t quote = text.find('"');
        const std::size_t piece = std::min(quote, text.size());
        std::memcpy(out, text.data(), piece);
        out += piece;
        if (quote == std::string_view::npos) {
            break;
        }
        *out++ = '"';
        *out++ = '"';
        text.remove_prefix(quote + 1);
    }
    *out++ = '"';
    return out;
}

// The field in double quotes, its quotes doubled, in UTF-8: converted piece by piece between
// its quotes (no CP932 character holds the quote's byte); nullptr when it is not valid CP932.
char* QuotedUtf8(char* out, std::string_view text) {
    *out++ = '"';
    for (;;) {
        const std::size_t quote = text.find('"');
        out = TryCp932ToUtf8Into(text.substr(0, quote), out);
        if (out == nullptr) {
            return nullptr;
        }
        if (quote == std::string_view::npos) {
            break;
        }
        *out++ = '"';
        *out++ = '"';
        text.remove_prefix(quote + 1);
    }
    *out++ = '"';
    return out;
}

void NoteInvalid(GridCell cell, DelimitedWriteReport& report) {
    if (report.invalidCells.size() < kUnencodableListed) {
        report.invalidCells.push_back(cell);
    }
    ++report.invalidCount;
}

// Ends a field: the delimiter after it, or the record's end after the last of a row.
char* EndField(char* out, char delimiter, bool lastOfRecord) {
    if (!lastOfRecord) {
        *out = delimiter;
        return out + 1;
    }
    std::memcpy(out, kDelimitedRecordEnd.data(), kDelimitedRecordEnd.size());
    return out + kDelimitedRecordEnd.size();
}

}  // namespace

char* TextBuffer::Grow(char* out, std::size_t bytes) {
    const auto used = out == nullptr ? 0 : static_cast<std::size_t>(out - data.get());
    if (capacity - used >= bytes) {
        return data.get() + used;
    }
    const std::size_t grown = 2 * (used + bytes);
    std::unique_ptr<char[]> larger(new char[grown]);
    if (used > 0) {
        std::memcpy(larger.get(), data.get(), used);
    }
    data = std::move(larger);
    capacity = grown;
    return data.get() + used;
}

BlockFormatter::BlockFormatter(CellRange range, char delimiter, TextEncoding encoding,
                               FieldQuoting quoting)
    : range_(range), delimiter_(delimiter), encoding_(encoding) {
    // The word tests look for six bytes either way; where only the delimiter counts, the other
    // two slots repeat it.
    const bool any = quoting == FieldQuoting::AnyDelimiter;
    const char first = any ? kCommaDelimiter : delimiter;
    const char second = any ? kTabDelimiter : delimiter;
    const char third = any ? kSemicolonDelimiter : delimiter;
    for (const char c : {'"', '\r', '\n', first, second, third}) {
        kind_[static_cast<unsigned char>(c)] |= kNeedsQuotes;
    }
    quoted_ = {'"',
               '\r',
               '\n',
               static_cast<unsigned char>(first),
               static_cast<unsigned char>(second),
               static_cast<unsigned char>(third)};
    for (std::size_t byte = 0x80; byte < kind_.size(); ++byte) {
        kind_[byte] |= kNotAscii;
    }
    if (encoding != TextEncoding::Cp932) {
        notPlain_ |= kNotAscii;
    }
}

FormattedBlock BlockFormatter::Format(DelimitedBlock block) const {
    FormattedBlock formatted;
    formatted.block = std::move(block);
    const DelimitedBlock& b = formatted.block;
    const std::size_t expected = b.lines.empty() ? 8 * b.handles.size() : 2 * b.lines.size();
    char* out = formatted.block.text.Grow(nullptr, expected + kAround + kWordCopy);
    char* end = b.lines.empty() ? FormatCells(formatted, out) : FormatLines(formatted, out);
    formatted.size = static_cast<std::size_t>(end - formatted.block.text.data.get());
    return formatted;
}

char* BlockFormatter::FormatCells(FormattedBlock& formatted, char* out) const {
    DelimitedBlock& block = formatted.block;
    TextBuffer& output = block.text;
    const auto columns = static_cast<std::size_t>(range_.colEnd - range_.colBegin);
    const std::size_t perByte = RoomPerByte(encoding_);
    char* limit = output.Limit();
    const CellHandle* cell = block.handles.data();
    for (int32_t r = 0; r < block.rows; ++r) {
        for (std::size_t k = 0; k < columns; ++k, ++cell) {
            const std::string_view text = cell_handle::Text(*cell);
            if (static_cast<std::size_t>(limit - out) < perByte * text.size() + kAround) {
                out = output.Grow(out, perByte * text.size() + kAround);
                limit = output.Limit();
            }
            out = WriteField(out, text,
                             {range_.colBegin + static_cast<int32_t>(k), block.rowBegin + r},
                             formatted.report);
            out = EndField(out, delimiter_, k + 1 == columns);
        }
    }
    return out;
}

// A loaded table's lines are read straight from the file's buffer, a line a cell, without
// visiting the grid: each line is found sixteen bytes at a time together with whether its text
// holds a byte that needs more than a copy (those few go through WriteField).
char* BlockFormatter::FormatLines(FormattedBlock& formatted, char* out) const {
    DelimitedBlock& block = formatted.block;
    TextBuffer& output = block.text;
    const int32_t columns = range_.colEnd - range_.colBegin;
    const std::size_t perByte = RoomPerByte(encoding_);
    char* limit = output.Limit();
    const char* p = block.lines.data();
    const char* const end = p + block.lines.size();
    int32_t k = 0;
    int32_t row = block.rowBegin;
    while (p < end) {
        const LineEnd line = FindLineEnd(p, end);
        const auto size = static_cast<std::size_t>(line.cr - p);
        if (static_cast<std::size_t>(limit - out) < perByte * size + kAround + kWordCopy) {
            out = output.Grow(out, perByte * size + kAround + kWordCopy);
            limit = output.Limit();
        }
        if ((line.kind & notPlain_) != 0) {
            out = WriteConverted(out, {p, size}, line.kind, {range_.colBegin + k, row},
                                 formatted.report);
        } else if (size <= kWordCopy && static_cast<std::size_t>(end - p) >= kWordCopy) {
            // Most texts are short: copied as one word, whatever follows them overwritten next.
            std::memcpy(out, p, kWordCopy);
            out += size;
        } else {
            std::memcpy(out, p, size);
            out += size;
        }
        ++k;
        out = EndField(out, delimiter_, k == columns);
        if (k == columns) {
            k = 0;
            ++row;
        }
        // The line end: its CR, and an LF right after it.
        p = line.cr + 1;
        if (p < end && *p == '\n') {
            ++p;
        }
    }
    return out;
}

BlockFormatter::LineEnd BlockFormatter::FindLineEnd(const char* p, const char* end) const {
    uint8_t kind = 0;
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i quote = _mm_set1_epi8('"');
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i delimiter = _mm_set1_epi8(static_cast<char>(quoted_[3]));
    const __m128i second = _mm_set1_epi8(static_cast<char>(quoted_[4]));
    const __m128i third = _mm_set1_epi8(static_cast<char>(quoted_[5]));
    uint32_t quoted = 0;
    uint32_t high = 0;
    for (; end - p >= 16; p += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const auto crs = static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, cr)));
        const __m128i special = _mm_or_si128(
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, quote), _mm_cmpeq_epi8(bytes, lf)),
                         _mm_cmpeq_epi8(bytes, delimiter)),
            _mm_or_si128(_mm_cmpeq_epi8(bytes, second), _mm_cmpeq_epi8(bytes, third)));
        // Only the bytes before the CR, when there is one here.
        const uint32_t before = crs != 0 ? (1u << __builtin_ctz(crs)) - 1 : 0xFFFF;
        quoted |= static_cast<uint32_t>(_mm_movemask_epi8(special)) & before;
        high |= static_cast<uint32_t>(_mm_movemask_epi8(bytes)) & before;
        if (crs != 0) {
            kind = static_cast<uint8_t>((quoted != 0 ? kNeedsQuotes : 0) |
                                        (high != 0 ? kNotAscii : 0));
            return {p + __builtin_ctz(crs), kind};
        }
    }
    kind = static_cast<uint8_t>((quoted != 0 ? kNeedsQuotes : 0) | (high != 0 ? kNotAscii : 0));
#endif
    for (; p < end && *p != '\r'; ++p) {
        kind |= kind_[static_cast<unsigned char>(*p)];
    }
    return {p, kind};
}

// Writes a field. Most are copied a word at a time while their bytes are looked at (short
// texts, where a call of memcpy costs more than the copy); only a field that needs quotes, or
// one that is not ASCII and goes out in UTF-8, is written again.
char* BlockFormatter::WriteField(char* out, std::string_view text, GridCell cell,
                                 DelimitedWriteReport& report) const {
    const uint8_t kind = CopyAndClassify(out, text);
    if ((kind & notPlain_) == 0) {
        return out + text.size();
    }
    return WriteConverted(out, text, kind, cell, report);
}

// Writes a field of the kind given that is not copied as it is: quoted, or converted to UTF-8,
// or both.
char* BlockFormatter::WriteConverted(char* out, std::string_view text, uint8_t kind, GridCell cell,
                                     DelimitedWriteReport& report) const {
    const bool keptAsItIs = (kind & notPlain_ & kNotAscii) == 0;
    char* end = keptAsItIs                   ? Quoted(out, text)
                : (kind & kNeedsQuotes) != 0 ? QuotedUtf8(out, text)
                                             : TryCp932ToUtf8Into(text, out);
    if (end != nullptr) {
        return end;
    }
    // A cell whose bytes are not valid CP932: reported, and written as "〓".
    NoteInvalid(cell, report);
    std::memcpy(out, kGetaMarkUtf8.data(), kGetaMarkUtf8.size());
    return out + kGetaMarkUtf8.size();
}

// Copies the text to `out` and says what its bytes hold: eight bytes at a time (the last word,
// or two half words for a short text, overlapping what went before), the bytes that call for
// quotes found by the usual test for a zero byte in the word XOR each of them.
uint8_t BlockFormatter::CopyAndClassify(char* out, std::string_view text) const {
    const char* in = text.data();
    const std::size_t n = text.size();
    if (n >= 8) {
        uint8_t kind = 0;
        for (std::size_t i = 0; i + 8 <= n; i += 8) {
            kind |= Classify(CopyWord<uint64_t>(in + i, out + i));
        }
        if (n % 8 != 0) {
            kind |= Classify(CopyWord<uint64_t>(in + n - 8, out + n - 8));
        }
        return kind;
    }
    if (n >= 4) {
        // The two halves side by side in one word; OR-ing them would mix their bytes.
        return Classify(CopyWord<uint32_t>(in, out) | CopyWord<uint32_t>(in + n - 4, out + n - 4)
                                                          << 32);
    }
    uint8_t kind = 0;
    for (std::size_t i = 0; i < n; ++i) {
        out[i] = in[i];
        kind |= kind_[static_cast<unsigned char>(in[i])];
    }
    return kind;
}

// The kind of the bytes of a word whose bytes are all from the text (zero bytes are ASCII and
// need no quotes).
uint8_t BlockFormatter::Classify(uint64_t word) const {
    constexpr uint64_t kOnes = 0x0101010101010101;
    constexpr uint64_t kHigh = 0x8080808080808080;
    uint64_t special = 0;
    for (const uint64_t c : quoted_) {
        const uint64_t v = word ^ (c * kOnes);
        special |= (v - kOnes) & ~v & kHigh;
    }
    return static_cast<uint8_t>((special != 0 ? kNeedsQuotes : 0) |
                                ((word & kHigh) != 0 ? kNotAscii : 0));
}

}  // namespace qv
