#include "platform/large_buffers.h"

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

namespace qv {

namespace {

// Below this a buffer holds too few huge pages for the advice to matter.
constexpr std::size_t kAdvisedFrom = std::size_t{4} << 20;

// Gives `advice` for the pages lying wholly inside the range; the advice takes whole pages.
void AdviseWholePages(void* data, std::size_t size, int advice) {
    const auto page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto begin = reinterpret_cast<uintptr_t>(data);
    const uintptr_t first = (begin + page - 1) / page * page;
    const uintptr_t end = (begin + size) / page * page;
    if (end > first) {
        madvise(reinterpret_cast<void*>(first), end - first, advice);
    }
}

}  // namespace

void AdviseLargeBuffer(void* data, std::size_t size) {
    if (size >= kAdvisedFrom) {
        // Refused where huge pages are off, or for memory the system will not give them to.
        AdviseWholePages(data, size, MADV_HUGEPAGE);
    }
}

void FaultInPages(void* data, std::size_t size) {
#ifdef MADV_POPULATE_WRITE
    AdviseWholePages(data, size, MADV_POPULATE_WRITE);
#else
    (void)data;
    (void)size;
#endif
}

void ReleasePages(void* data, std::size_t size) {
    AdviseWholePages(data, size, MADV_DONTNEED);
}

void ReturnFreeMemory() {
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

std::string LargeZeroedString(std::size_t size) {
    std::string bytes;
    bytes.reserve(size);
    AdviseLargeBuffer(bytes.data(), size);
    bytes.resize(size);
    return bytes;
}

}  // namespace qv
