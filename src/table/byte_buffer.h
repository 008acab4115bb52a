#pragma once

#include <cstddef>
#include <string_view>

namespace qv {

// A growable run of bytes for building big files. Its memory comes straight from the system in
// large pages where it can: it is never zero-filled by the program, and growing it moves pages,
// not bytes. Not copyable. Raises std::bad_alloc when the system gives no more memory.
class ByteBuffer {
public:
    ByteBuffer() = default;
    ~ByteBuffer();
    ByteBuffer(ByteBuffer&& other) noexcept;
    ByteBuffer& operator=(ByteBuffer&& other) noexcept;
    ByteBuffer(const ByteBuffer&) = delete;
    ByteBuffer& operator=(const ByteBuffer&) = delete;

    // Makes room for `more` bytes after the ones committed and returns where they go. The
    // place stays valid until the next call of Reserve.
    char* Reserve(std::size_t more);
    // The first `count` bytes of the room reserved are now part of the buffer.
    void Commit(std::size_t count) { size_ += count; }
    // Appends the bytes.
    void Append(std::string_view bytes);

    // Drops the bytes, keeping the memory for those to come.
    void Clear() { size_ = 0; }
    std::string_view View() const { return {data_, size_}; }
    std::size_t Size() const { return size_; }

private:
    char* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

}  // namespace qv
