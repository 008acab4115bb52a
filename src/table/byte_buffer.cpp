#include "table/byte_buffer.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>
#include <utility>

namespace qv {

namespace {

// Memory is taken in steps of a large page, so that a big buffer costs a few page faults
// rather than one per 4 KB.
constexpr std::size_t kLargePage = std::size_t{2} << 20;

std::size_t RoundUp(std::size_t bytes) {
    return (bytes + kLargePage - 1) / kLargePage * kLargePage;
}

char* Map(std::size_t bytes) {
    void* memory = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED) {
        throw std::bad_alloc();
    }
    madvise(memory, bytes, MADV_HUGEPAGE);  // only a wish: the buffer works without
    return static_cast<char*>(memory);
}

}  // namespace

ByteBuffer::~ByteBuffer() {
    if (data_ != nullptr) {
        munmap(data_, capacity_);
    }
}

ByteBuffer::ByteBuffer(ByteBuffer&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      capacity_(std::exchange(other.capacity_, 0)) {}

ByteBuffer& ByteBuffer::operator=(ByteBuffer&& other) noexcept {
    if (this != &other) {
        ByteBuffer old(std::move(*this));
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
        capacity_ = std::exchange(other.capacity_, 0);
    }
    return *this;
}

char* ByteBuffer::Reserve(std::size_t more) {
    if (more > capacity_ - size_) {
        if (more > SIZE_MAX / 2 - size_) {
            throw std::bad_alloc();
        }
        const std::size_t wanted = RoundUp(std::max(size_ + more, capacity_ * 2));
        if (data_ == nullptr) {
            data_ = Map(wanted);
        } else {
            void* moved = mremap(data_, capacity_, wanted, MREMAP_MAYMOVE);
            if (moved == MAP_FAILED) {
                throw std::bad_alloc();
            }
            data_ = static_cast<char*>(moved);
            madvise(data_, wanted, MADV_HUGEPAGE);
        }
        capacity_ = wanted;
    }
    return data_ + size_;
}

void ByteBuffer::Append(std::string_view bytes) {
    if (!bytes.empty()) {
        std::memcpy(Reserve(bytes.size()), bytes.data(), bytes.size());
        Commit(bytes.size());
    }
}

}  // namespace qv
