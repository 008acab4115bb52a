#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace qv {

// Column widths or row heights: a default plus the exceptions, so that a count of millions costs
// nothing per row, and a size that differs costs eight bytes. Once more than a quarter of the
// items differ (a wide table's widths), every size is kept in two bytes instead, and only those
// that need more keep eight. Index i is in [0, Count()).
class SizeList {
public:
    SizeList(int32_t defaultSize, int32_t count) : default_(defaultSize), count_(count) {}

    int32_t DefaultSize() const { return default_; }
    int32_t Count() const { return count_; }
    // The size of item i; the default for an index outside [0, Count()).
    int32_t Get(int32_t i) const;
    // Stores a size; the caller has checked that i is inside the count.
    void Set(int32_t i, int32_t size);
    // Shrinking drops the sizes of the removed items. Growing gives the new items and the item
    // that was last before the growth the default size.
    void Resize(int32_t count);
    // The size at `from` moves to `to`; the sizes in between shift by one toward `from`.
    void Move(int32_t from, int32_t to);
    // The memory the sizes that differ from the default take, in bytes.
    std::size_t StoredBytes() const {
        return exceptions_.capacity() * sizeof(Exception) + dense_.capacity() * sizeof(int16_t);
    }

private:
    using Exception = std::pair<int32_t, int32_t>;  // index, size
    // In the dense form: the size is among the exceptions.
    static constexpr int16_t kInExceptions = INT16_MIN;
    static bool FitsDense(int32_t size) { return size > kInExceptions && size <= INT16_MAX; }
    bool Dense() const { return !dense_.empty(); }
    std::vector<Exception>::iterator Find(int32_t i);
    int32_t GetException(int32_t i) const;
    void SetException(int32_t i, int32_t size);
    void EraseException(int32_t i);
    void MakeDense();

    int32_t default_;
    int32_t count_;
    std::vector<Exception> exceptions_;  // sorted by index
    // Empty, or the size of every item, kInExceptions for those kept among the exceptions.
    std::vector<int16_t> dense_;
};

}  // namespace qv
