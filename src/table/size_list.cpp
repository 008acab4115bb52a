#include "table/size_list.h"

#include <vector>

namespace qv {

int32_t SizeList::Get(int32_t i) const {
    if (i < 0 || i >= count_) {
        return default_;
    }
    auto it = exceptions_.find(i);
    return it == exceptions_.end() ? default_ : it->second;
}

void SizeList::Set(int32_t i, int32_t size) {
    if (size == default_) {
        exceptions_.erase(i);
    } else {
        exceptions_[i] = size;
    }
}

void SizeList::Resize(int32_t count) {
    if (count < count_) {
        exceptions_.erase(exceptions_.lower_bound(count), exceptions_.end());
    } else if (count > count_) {
        exceptions_.erase(count_ - 1);
    }
    count_ = count;
}

void SizeList::Move(int32_t from, int32_t to) {
    if (from == to) {
        return;
    }
    const int32_t moved = Get(from);
    const int32_t low = from < to ? from : to;
    const int32_t high = from < to ? to : from;
    const int32_t shift = from < to ? -1 : 1;
    std::vector<std::pair<int32_t, int32_t>> shifted;
    for (auto it = exceptions_.lower_bound(low); it != exceptions_.end() && it->first <= high;) {
        if (it->first != from) {
            shifted.emplace_back(it->first + shift, it->second);
        }
        it = exceptions_.erase(it);
    }
    for (const auto& [index, size] : shifted) {
        exceptions_[index] = size;
    }
    Set(to, moved);
}

}  // namespace qv
