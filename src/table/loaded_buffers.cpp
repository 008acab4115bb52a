#include "table/loaded_buffers.h"

#include <algorithm>
#include <functional>

namespace qv {

bool LoadedBuffers::Contain(const char* begin, const char* end) const {
    // Pointers into different buffers are compared through std::less_equal, which orders them.
    const std::less_equal<const char*> notAfter;
    return std::any_of(buffers_.begin(), buffers_.end(), [&](const auto& buffer) {
        const char* first = buffer->data();
        return notAfter(first, begin) && notAfter(begin, end) &&
               notAfter(end, first + buffer->size());
    });
}

void LoadedBuffers::KeepOnlyUsed(const std::vector<const char*>& used) {
    std::sort(buffers_.begin(), buffers_.end(),
              [](const auto& a, const auto& b) { return a->data() < b->data(); });
    std::vector<bool> keep(buffers_.size(), false);
    for (const char* p : used) {
        auto it = std::upper_bound(buffers_.begin(), buffers_.end(), p,
                                   [](const char* q, const auto& b) { return q < b->data(); });
        if (it != buffers_.begin()) {
            keep[static_cast<std::size_t>(it - buffers_.begin()) - 1] = true;
        }
    }
    std::vector<std::shared_ptr<const std::string>> kept;
    for (std::size_t b = 0; b < buffers_.size(); ++b) {
        if (keep[b]) {
            kept.push_back(std::move(buffers_[b]));
        }
    }
    buffers_ = std::move(kept);
}

}  // namespace qv
