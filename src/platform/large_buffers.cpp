#include "platform/large_buffers.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

namespace qv {

namespace {

// Below this a buffer holds too few huge pages for the advice to matter.
constexpr std::size_t kAdvisedFrom = std::size_t{4} << 20;

}  // namespace

void AdviseLargeBuffer(void* data, std::size_t size) {
    if (size < kAdvisedFrom) {
        return;
    }
    // The advice takes whole pages: those lying wholly inside the buffer.
    const auto page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto begin = reinterpret_cast<uintptr_t>(data);
    const uintptr_t first = (begin + page - 1) / page * page;
    const uintptr_t end = (begin + size) / page * page;
    if (end > first) {
        // Refused where huge pages are off, or for memory the system will not give them to.
        madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
    }
}

std::string LargeZeroedString(std::size_t size) {
    std::string bytes;
    bytes.reserve(size);
    AdviseLargeBuffer(bytes.data(), size);
    bytes.resize(size);
    return bytes;
}

}  // namespace qv
