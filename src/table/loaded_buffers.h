#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace qv {

// The read-only buffers of loaded files that a grid's arena handles point into, kept alive
// while any cell points into them.
class LoadedBuffers {
public:
    void Add(std::shared_ptr<const std::string> buffer) { buffers_.push_back(std::move(buffer)); }
    std::size_t Count() const { return buffers_.size(); }
    // The buffers, shared: holding them keeps their bytes readable whatever the grid does.
    const std::vector<std::shared_ptr<const std::string>>& Shared() const { return buffers_; }
    // Whether the bytes [begin, end) lie inside one of the buffers.
    bool Contain(const char* begin, const char* end) const;
    // Drops the buffers that none of the pointers `used` points into.
    void KeepOnlyUsed(const std::vector<const char*>& used);

private:
    std::vector<std::shared_ptr<const std::string>> buffers_;
};

}  // namespace qv
