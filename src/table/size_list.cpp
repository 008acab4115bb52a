#include "table/size_list.h"

#include <algorithm>

namespace qv {

namespace {

// Items below this many are never kept dense: the exceptions of a short list cost little.
constexpr int32_t kLeastDenseCount = 64;

}  // namespace

std::vector<SizeList::Exception>::iterator SizeList::Find(int32_t i) {
    return std::lower_bound(exceptions_.begin(), exceptions_.end(), i,
                            [](const Exception& e, int32_t index) { return e.first < index; });
}

int32_t SizeList::GetException(int32_t i) const {
    auto it = std::lower_bound(exceptions_.begin(), exceptions_.end(), i,
                               [](const Exception& e, int32_t index) { return e.first < index; });
    return it != exceptions_.end() && it->first == i ? it->second : default_;
}

int32_t SizeList::Get(int32_t i) const {
    if (i < 0 || i >= count_) {
        return default_;
    }
    if (Dense()) {
        const int16_t size = dense_[static_cast<std::size_t>(i)];
        return size != kInExceptions ? size : GetException(i);
    }
    return GetException(i);
}

void SizeList::EraseException(int32_t i) {
    auto it = Find(i);
    if (it != exceptions_.end() && it->first == i) {
        exceptions_.erase(it);
    }
}

void SizeList::SetException(int32_t i, int32_t size) {
    auto it = Find(i);
    if (it != exceptions_.end() && it->first == i) {
        it->second = size;
        return;
    }
    if (exceptions_.size() == exceptions_.capacity()) {
        // Grown by an eighth rather than doubled: a wide table's widths keep little room
        // unused.
        const auto at = it - exceptions_.begin();
        exceptions_.reserve(exceptions_.size() + exceptions_.size() / 8 + 4);
        it = exceptions_.begin() + at;
    }
    exceptions_.insert(it, {i, size});
}

void SizeList::Set(int32_t i, int32_t size) {
    if (Dense()) {
        int16_t& slot = dense_[static_cast<std::size_t>(i)];
        if (slot == kInExceptions) {
            EraseException(i);
        }
        slot = FitsDense(size) ? static_cast<int16_t>(size) : kInExceptions;
        if (slot == kInExceptions) {
            SetException(i, size);
        }
        return;
    }
    if (size == default_) {
        EraseException(i);
        return;
    }
    SetException(i, size);
    if (count_ >= kLeastDenseCount && exceptions_.size() > static_cast<std::size_t>(count_ / 4) &&
        FitsDense(default_)) {
        MakeDense();
    }
}

// Two bytes an item now cost less than the exceptions: every size moves into the dense list,
// and the exceptions keep only those that do not fit it.
void SizeList::MakeDense() {
    dense_.assign(static_cast<std::size_t>(count_), static_cast<int16_t>(default_));
    std::vector<Exception> wide;
    for (const auto& [index, size] : exceptions_) {
        if (FitsDense(size)) {
            dense_[static_cast<std::size_t>(index)] = static_cast<int16_t>(size);
        } else {
            dense_[static_cast<std::size_t>(index)] = kInExceptions;
            wide.emplace_back(index, size);
        }
    }
    exceptions_ = std::move(wide);
}

void SizeList::Resize(int32_t count) {
    if (count < count_) {
        exceptions_.erase(Find(count), exceptions_.end());
        if (Dense()) {
            dense_.resize(static_cast<std::size_t>(count));
            if (dense_.capacity() / 2 > dense_.size()) {
                dense_.shrink_to_fit();
            }
        }
    } else if (count > count_) {
        Set(count_ - 1, default_);
        if (Dense()) {
            dense_.resize(static_cast<std::size_t>(count), static_cast<int16_t>(default_));
        }
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
    if (Dense()) {
        const auto first = dense_.begin() + low;
        const auto last = dense_.begin() + high + 1;
        if (from < to) {
            std::rotate(first, first + 1, last);
        } else {
            std::rotate(first, last - 1, last);
        }
    }
    Set(to, moved);
}

}  // namespace qv
