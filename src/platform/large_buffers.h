#pragma once

#include <cstddef>
#include <string>

namespace qv {

// Asks the system to back a large buffer's memory with huge pages, before the buffer is first
// written: a fresh page costs a fault when first touched, and on some machines (virtual ones
// above all) a table's tens of megabytes take longer to fault in than to fill. Buffers of less
// than a few megabytes are left alone; a system that declines (or has huge pages switched off)
// changes nothing but the speed.
void AdviseLargeBuffer(void* data, std::size_t size);

// Has the system give the whole pages inside `size` bytes from `data` their memory now, leaving
// what they hold as it is: a thread with nothing else to do takes the faults that writing them
// would cost another later. Safe while other threads write the same bytes. Does nothing where
// the system cannot (before Linux 5.14, or out of memory: the faults then come when written).
void FaultInPages(void* data, std::size_t size);

// Hands back the memory of the whole pages inside `size` bytes from `data`, which then read as
// zero: for reserved room that will not be written after all.
void ReleasePages(void* data, std::size_t size);

// Hands the memory the allocator holds free back to the system, after work that freed much of
// it in many small pieces: the allocator keeps such memory for reuse, and the next large
// allocations, which are mapped on their own, cannot reuse it.
void ReturnFreeMemory();

// A string of `size` zero bytes whose memory was advised as above before it was filled: the
// buffer a whole file is read into.
std::string LargeZeroedString(std::size_t size);

}  // namespace qv
