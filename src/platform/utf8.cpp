#include "platform/utf8.h"

#include <cstring>

namespace qv {

namespace {

constexpr char32_t kReplacementCharacter = 0xFFFD;

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// The first byte at or after `at` that is not ASCII, or the text's size; eight bytes at a time,
// since interchange texts are mostly ASCII.
std::size_t SkipAscii(std::string_view text, std::size_t at) {
    constexpr uint64_t kHighBits = 0x8080808080808080ULL;
    while (text.size() - at >= 8) {
        uint64_t word = 0;
        std::memcpy(&word, text.data() + at, sizeof word);
        if ((word & kHighBits) != 0) {
            break;
        }
        at += 8;
    }
    while (at < text.size() && static_cast<unsigned char>(text[at]) < 0x80) {
        ++at;
    }
    return at;
}

}  // namespace

Utf8Character DecodeUtf8At(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = 0;
    char32_t value = 0;
    char32_t smallest = 0;
    if (lead < 0x80) {
        return {lead, 1};
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, value = lead & 0x1Fu, smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, value = lead & 0x0Fu, smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, value = lead & 0x07u, smallest = 0x10000;
    } else {
        return {kReplacementCharacter, 1};
    }
    if (text.size() - at < length) {
        return {kReplacementCharacter, 1};
    }
    for (std::size_t k = 1; k < length; ++k) {
        const auto byte = static_cast<unsigned char>(text[at + k]);
        if (!IsContinuation(byte)) {
            return {kReplacementCharacter, 1};
        }
        value = (value << 6) | (byte & 0x3Fu);
    }
    if (value < smallest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        return {kReplacementCharacter, 1};
    }
    return {value, length};
}

// Checks the lead bytes and the range of the byte after each (RFC 3629's table) without
// decoding, so that a whole file is checked at about the speed of reading it.
bool IsValidUtf8(std::string_view text) {
    const auto byte = [text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    // Whether the character at `at` has `count` bytes after its lead, the first of them in
    // [low, high] and the others continuation bytes.
    const auto follows = [&](std::size_t at, std::size_t count, unsigned char low,
                             unsigned char high) {
        if (text.size() - at <= count || byte(at + 1) < low || byte(at + 1) > high) {
            return false;
        }
        for (std::size_t k = 2; k <= count; ++k) {
            if (!IsContinuation(byte(at + k))) {
                return false;
            }
        }
        return true;
    };
    std::size_t at = SkipAscii(text, 0);
    while (at < text.size()) {
        const unsigned char lead = byte(at);
        const std::size_t count = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : 1;
        const bool valid = (lead >= 0xE1 && lead <= 0xEC) || lead == 0xEE || lead == 0xEF
                               ? follows(at, 2, 0x80, 0xBF)
                           : lead >= 0xC2 && lead <= 0xDF ? follows(at, 1, 0x80, 0xBF)
                           : lead == 0xE0                 ? follows(at, 2, 0xA0, 0xBF)
                           : lead == 0xED                 ? follows(at, 2, 0x80, 0x9F)
                           : lead == 0xF0                 ? follows(at, 3, 0x90, 0xBF)
                           : lead >= 0xF1 && lead <= 0xF3 ? follows(at, 3, 0x80, 0xBF)
                           : lead == 0xF4                 ? follows(at, 3, 0x80, 0x8F)
                                                          : false;
        if (!valid) {
            return false;
        }
        at = SkipAscii(text, at + count + 1);
    }
    return true;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        c = kReplacementCharacter;
    }
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace qv
