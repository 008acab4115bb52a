#include "table/cell_handle.h"

#include <array>
#include <cstring>

namespace qv {

namespace cell_handle {

namespace {

// An owned text: its length, then its bytes, in one block.
CellHandle MakeBlock(std::string_view text) {
    char* block = new char[sizeof(std::size_t) + text.size()];
    const std::size_t size = text.size();
    std::memcpy(block, &size, sizeof size);
    std::memcpy(block + sizeof size, text.data(), text.size());
    return reinterpret_cast<uintptr_t>(block);
}

using LabelTable = std::array<char, 3000>;

// Row labels are the last three characters of five blanks and the row number, so there are
// only 2000 different ones: rows below 1000 (padded with blanks) and the rest (zero-padded).
LabelTable MakeLabelTable(bool zeroPadded) {
    LabelTable table{};
    for (int n = 0; n < 1000; ++n) {
        char* out = &table[static_cast<std::size_t>(n) * 3];
        out[0] = static_cast<char>('0' + n / 100);
        out[1] = static_cast<char>('0' + n / 10 % 10);
        out[2] = static_cast<char>('0' + n % 10);
        if (!zeroPadded) {
            if (n < 100) {
                out[0] = ' ';
            }
            if (n < 10) {
                out[1] = ' ';
            }
        }
    }
    return table;
}

}  // namespace

CellHandle MakeOwned(std::string_view text) {
    return text.empty() ? 0 : MakeBlock(text);
}

CellHandle MakeArena(std::string_view text) {
    const auto address = reinterpret_cast<uintptr_t>(text.data());
    if (address == 0 || address >= kArenaAddressLimit) {
        return MakeOwned(text);
    }
    const uint64_t length = text.size() < kArenaLengthMask ? text.size() + 1 : 0;
    const uint64_t lineEnd = text.data()[text.size() + 1] == '\n' ? kArenaCrLf : 0;
    return kArena | lineEnd | (length << kArenaLengthShift) | address;
}

CellHandle MakeLabel(int32_t rowNumber) {
    return kLabel | static_cast<uint32_t>(rowNumber);
}

CellHandle Copy(CellHandle h) {
    if (h == 0 || Tag(h) != kHeap) {
        return h;
    }
    return MakeBlock(Text(h));
}

void Free(CellHandle h) {
    if (h != 0 && Tag(h) == kHeap) {
        delete[] reinterpret_cast<char*>(h);
    }
}

std::string_view LongArenaText(const char* text) {
    const char* end = static_cast<const char*>(rawmemchr(text, '\r'));
    return {text, static_cast<std::size_t>(end - text)};
}

std::string_view LabelText(int32_t n) {
    static const LabelTable small = MakeLabelTable(false);
    static const LabelTable padded = MakeLabelTable(true);
    const uint32_t number = static_cast<uint32_t>(n);
    const LabelTable& table = number < 1000 ? small : padded;
    return {&table[number % 1000 * 3], 3};
}

}  // namespace cell_handle

}  // namespace qv
