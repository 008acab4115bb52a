#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "table/cell_handle.h"

namespace qv {

// The handles of one chunk's rows, with the vector operations the chunks use. One handle is
// kept in place, without a heap block: most columns of a wide table hold a single text. Lists
// longer than that live on the heap. Holds handles only; freeing the texts is the owner's work.
// A list of no handles may keep a pointer of its owner's instead (Hold), in the room of the
// handle in place, until a handle is added.
class HandleList {
public:
    HandleList() noexcept = default;
    HandleList(const HandleList& other) { CopyFrom(other); }
    HandleList(HandleList&& other) noexcept : size_(other.size_), capacity_(other.capacity_) {
        store_ = other.store_;
        other.Forget();
    }
    HandleList& operator=(const HandleList& other) {
        if (this != &other) {
            CopyFrom(other);
        }
        return *this;
    }
    HandleList& operator=(HandleList&& other) noexcept {
        if (this != &other) {
            Release();
            size_ = other.size_;
            capacity_ = other.capacity_;
            store_ = other.store_;
            other.Forget();
        }
        return *this;
    }
    ~HandleList() { Release(); }

    std::size_t size() const { return size_; }
    std::size_t capacity() const { return capacity_; }
    bool empty() const { return size_ == 0; }
    CellHandle* data() { return OnHeap() ? store_.heap : &store_.one; }
    const CellHandle* data() const { return OnHeap() ? store_.heap : &store_.one; }
    CellHandle* begin() { return data(); }
    CellHandle* end() { return data() + size_; }
    const CellHandle* begin() const { return data(); }
    const CellHandle* end() const { return data() + size_; }
    CellHandle& operator[](std::size_t i) { return data()[i]; }
    const CellHandle& operator[](std::size_t i) const { return data()[i]; }
    CellHandle& back() { return data()[size_ - 1]; }

    // Empties the list and keeps `p` in its place.
    void Hold(const void* p) {
        Release();
        size_ = 0;
        capacity_ = 0;
        store_.held = p;
    }
    // The pointer kept by Hold, while no handle was added since.
    const void* Held() const { return capacity_ == 0 ? store_.held : nullptr; }

    void reserve(std::size_t n) {
        if (n > capacity_) {
            Grow(n);
        }
    }
    void clear() { size_ = 0; }
    void push_back(CellHandle h) {
        if (size_ == capacity_) {
            Grow(2 * std::size_t{capacity_});
        }
        data()[size_++] = h;
    }
    // New rows read as the empty handle.
    void resize(std::size_t n) {
        reserve(n);
        if (n > size_) {
            std::fill(data() + size_, data() + n, CellHandle{0});
        }
        size_ = static_cast<uint32_t>(n);
    }
    void assign(std::size_t n, CellHandle h) {
        size_ = 0;
        reserve(n);
        std::fill(data(), data() + n, h);
        size_ = static_cast<uint32_t>(n);
    }
    // [first, last) must not lie in this list.
    void assign(const CellHandle* first, const CellHandle* last) {
        const auto n = static_cast<std::size_t>(last - first);
        size_ = 0;
        reserve(n);
        std::copy(first, last, data());
        size_ = static_cast<uint32_t>(n);
    }
    CellHandle* insert(const CellHandle* at, CellHandle h) {
        const auto offset = static_cast<std::size_t>(at - data());
        push_back(0);
        CellHandle* p = data();
        std::memmove(p + offset + 1, p + offset, (size_ - 1 - offset) * sizeof(CellHandle));
        p[offset] = h;
        return p + offset;
    }
    CellHandle* erase(const CellHandle* at) {
        const auto offset = static_cast<std::size_t>(at - data());
        CellHandle* p = data();
        std::memmove(p + offset, p + offset + 1, (size_ - 1 - offset) * sizeof(CellHandle));
        --size_;
        return p + offset;
    }

private:
    bool OnHeap() const { return capacity_ > 1; }
    void CopyFrom(const HandleList& other) {
        if (other.capacity_ == 0) {
            Hold(other.store_.held);
        } else {
            assign(other.begin(), other.end());
        }
    }
    void Grow(std::size_t n) {
        if (n <= 1) {
            // Only from a held pointer (capacity 0, no handle): the handle in place again.
            capacity_ = 1;
            store_.one = 0;
            return;
        }
        auto* grown = new CellHandle[n];
        std::copy(data(), data() + size_, grown);
        Release();
        store_.heap = grown;
        capacity_ = static_cast<uint32_t>(n);
    }
    void Release() {
        if (OnHeap()) {
            delete[] store_.heap;
        }
    }
    // After a move: empty, in place, owning nothing.
    void Forget() {
        size_ = 0;
        capacity_ = 1;
        store_.one = 0;
    }

    uint32_t size_ = 0;
    uint32_t capacity_ = 1;  // 1: the handle in place; 0: a held pointer
    union Store {
        CellHandle one;
        CellHandle* heap;
        const void* held;
    } store_{0};
};

}  // namespace qv
