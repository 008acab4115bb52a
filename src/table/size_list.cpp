#include "table/size_list.h"

#include <algorithm>

namespace qv {

std::vector<SizeList::Exception>::iterator SizeList::Find(int32_t i) {
    return std::lower_bound(exceptions_.begin(), exceptions_.end(), i,
                            [](const Exception& e, int32_t index) { return e.first < index; });
}

int32_t SizeList::Get(int32_t i) const {
    if (i < 0 || i >= count_) {
        return default_;
    }
    auto it = std::lower_bound(exceptions_.begin(), exceptions_.end(), i,
                               [](const Exception& e, int32_t index) { return e.first < index; });
    return it != exceptions_.end() && it->first == i ? it->second : default_;
}

void SizeList::Set(int32_t i, int32_t size) {
    auto it = Find(i);
    const bool stored = it != exceptions_.end() && it->first == i;
    if (size == default_) {
        if (stored) {
            exceptions_.erase(it);
        }
    } else if (stored) {
        it->second = size;
    } else {
        if (exceptions_.size() == exceptions_.capacity()) {
            // Grown by an eighth rather than doubled: a wide table's widths keep little room
            // unused.
            const auto at = it - exceptions_.begin();
            exceptions_.reserve(exceptions_.size() + exceptions_.size() / 8 + 4);
            it = exceptions_.begin() + at;
        }
        exceptions_.insert(it, {i, size});
    }
}

void SizeList::Resize(int32_t count) {
    if (count < count_) {
        exceptions_.erase(Find(count), exceptions_.end());
    } else if (count > count_) {
        Set(count_ - 1, default_);
    }
    count_ = count;
}

void SizeList::Move(int32_t from, int32_t to) {
    if (from == to) {
        return;
    }
    const int32_t moved = Get(from);
    Set(from, default_);
    // The sizes between the two places shift by one toward `from`; their order stays.
    const int32_t low = std::min(from, to);
    const int32_t high = std::max(from, to);
    const int32_t shift = from < to ? -1 : 1;
    for (auto it = Find(low); it != exceptions_.end() && it->first <= high; ++it) {
        it->first += shift;
    }
    Set(to, moved);
}

}  // namespace qv
