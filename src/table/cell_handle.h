#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

namespace qv {

// A stored cell text in eight bytes. The two top bits say what the rest is:
//  - 0 with value 0: the empty text;
//  - heap: a pointer to an owned block holding the length and the bytes;
//  - arena: a pointer into a shared read-only buffer (a loaded file) where the text runs up to
//    the next CR byte; loaded tables cost no allocation per cell. The pointer takes the low 48
//    bits, the text's length plus one the 13 bits above (0 there: a text too long for the field,
//    measured up to its CR), and the bit above those says that the text's CR is followed by an
//    LF in the buffer, so that a writer can copy the line with its end from there;
//  - label: a row label, stored as the row number it was written for.
using CellHandle = uint64_t;

namespace cell_handle {
inline constexpr uint64_t kTagMask = uint64_t{3} << 62;
inline constexpr uint64_t kHeap = 0;
inline constexpr uint64_t kArena = uint64_t{1} << 62;
inline constexpr uint64_t kLabel = uint64_t{2} << 62;

// Arena handles: the address, the length plus one, the line-end bit.
inline constexpr int kArenaLengthShift = 48;
inline constexpr uint64_t kArenaAddressLimit = uint64_t{1} << kArenaLengthShift;
inline constexpr uint64_t kArenaAddressMask = kArenaAddressLimit - 1;
inline constexpr uint64_t kArenaLengthMask = 0x1FFF;  // after the shift
inline constexpr uint64_t kArenaCrLf = uint64_t{1} << 61;

inline uint64_t Tag(CellHandle h) {
    return h & kTagMask;
}
// An owned copy of `text`; the empty text gives the empty handle.
CellHandle MakeOwned(std::string_view text);
// A handle to a text inside an arena buffer; the byte after the text there must be CR, and the
// byte after that must be readable too. The empty text gets a handle of its own, so that a
// loaded table's lines stay one run in the buffer (see FollowedByLineEnd). An address above the
// 48 bits a handle keeps gives an owned copy instead.
CellHandle MakeArena(std::string_view text);
CellHandle MakeLabel(int32_t rowNumber);
// The handle of a loaded line's text, followed by CR LF in a buffer at an address below the
// 48 bits a handle keeps (as LineBounds checks).
inline CellHandle MakeLine(std::string_view text) {
    const uint64_t length = text.size() < kArenaLengthMask ? text.size() + 1 : 0;
    return kArena | kArenaCrLf | (length << kArenaLengthShift) |
           reinterpret_cast<uintptr_t>(text.data());
}
// A handle of the same text that can be stored separately (owned blocks are copied).
CellHandle Copy(CellHandle h);
void Free(CellHandle h);
// The text of the row label of n: the last three characters of five blanks and n's digits.
std::string_view LabelText(int32_t n);
// The text of an arena handle whose length did not fit its field.
std::string_view LongArenaText(const char* text);

// Whether the text lies in an arena buffer followed there by CR LF: the text and its line end
// as a file holds them are the bytes [Text(h).data(), Text(h).data() + Text(h).size() + 2).
inline bool FollowedByLineEnd(CellHandle h) {
    return (h & (kTagMask | kArenaCrLf)) == (kArena | kArenaCrLf);
}

inline std::string_view Text(CellHandle h) {
    switch (Tag(h)) {
        case kHeap: {
            if (h == 0) {
                return {};
            }
            const char* block = reinterpret_cast<const char*>(h);
            std::size_t size = 0;
            std::memcpy(&size, block, sizeof size);
            return {block + sizeof size, size};
        }
        case kArena: {
            const char* text = reinterpret_cast<const char*>(h & kArenaAddressMask);
            const uint64_t length = (h >> kArenaLengthShift) & kArenaLengthMask;
            if (length == 0) {
                return LongArenaText(text);
            }
            return {text, static_cast<std::size_t>(length - 1)};
        }
        default:
            return LabelText(static_cast<int32_t>(h & 0xFFFFFFFFu));
    }
}
}  // namespace cell_handle

}  // namespace qv
