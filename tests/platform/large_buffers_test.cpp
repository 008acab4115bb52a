#include "platform/large_buffers.h"

#include <unistd.h>

#include <gtest/gtest.h>

namespace qv {
namespace {

std::string Pattern(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>('a' + i % 23);
    }
    return bytes;
}

// Faulting pages in is for speed only: whatever range is asked for, every byte stays.
TEST(LargeBuffersTest, FaultingInKeepsEveryByte) {
    const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    std::string bytes = Pattern(16 * page);
    const std::string before = bytes;
    const std::pair<std::size_t, std::size_t> ranges[] = {
        {0, bytes.size()}, {1, 3 * page}, {page - 1, 2}, {5 * page, 0}, {7, 11 * page + 13}};
    for (const auto& [from, size] : ranges) {
        FaultInPages(bytes.data() + from, size);
        ASSERT_EQ(bytes, before) << from << " + " << size;
    }
}

// Only the pages wholly inside the range are handed back; the bytes sharing a page with what
// lies outside it are kept.
TEST(LargeBuffersTest, ReleasingTakesOnlyWholePagesInside) {
    const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    std::string bytes = Pattern(12 * page);
    const std::string before = bytes;
    const auto misalignment = reinterpret_cast<uintptr_t>(bytes.data()) % page;
    const std::size_t firstWhole = misalignment == 0 ? 0 : page - misalignment;
    // From 10 bytes into the first whole page to 10 bytes before the end of the sixth.
    const std::size_t from = firstWhole + 10;
    const std::size_t to = firstWhole + 6 * page - 10;
    ReleasePages(bytes.data() + from, to - from);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const bool released = i >= firstWhole + page && i < firstWhole + 5 * page;
        ASSERT_EQ(bytes[i], released ? '\0' : before[i]) << "byte " << i;
    }
}

}  // namespace
}  // namespace qv
