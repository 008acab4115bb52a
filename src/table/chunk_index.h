#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace qv {

// Finds the chunk of a list of chunks (runs of rows) that holds a row: a Fenwick tree over the
// chunk sizes, so that finding a row and growing or shrinking one chunk cost in the logarithm of
// the number of chunks. Built on the first search after chunks were added or removed; costs no
// memory until then, so that the many short columns of a wide table carry none.
class ChunkIndex {
public:
    struct Place {
        std::size_t chunk;
        int32_t offset;  // the row's place inside the chunk
    };

    // Chunks were added, removed or resized in ways Grew does not follow.
    void Forget() {
        if (state_) {
            state_->built = false;
            state_->hint = kNoHint;
        }
    }
    // Chunk `chunk` grew by `delta` rows (negative: shrank); the chunks stayed the same.
    void Grew(std::size_t chunk, int32_t delta);
    // The chunk holding `row` among `count` chunks, where chunkSize(i) gives chunk i's size.
    // Needs 0 <= row < the sum of the sizes; chunks of no rows are passed over.
    template <class ChunkSize>
    Place Find(int32_t row, std::size_t count, const ChunkSize& chunkSize);

private:
    static constexpr std::size_t kNoHint = ~std::size_t{0};
    struct State {
        std::vector<int32_t> tree;  // 1-based
        bool built = false;
        // The chunk found last and its first row: rows read one after another skip the search.
        std::size_t hint = kNoHint;
        int32_t hintStart = 0;
    };
    Place Search(int32_t row);

    std::unique_ptr<State> state_;
};

template <class ChunkSize>
ChunkIndex::Place ChunkIndex::Find(int32_t row, std::size_t count, const ChunkSize& chunkSize) {
    if (!state_) {
        state_ = std::make_unique<State>();
    }
    State& state = *state_;
    if (!state.built) {
        state.tree.assign(count + 1, 0);
        for (std::size_t i = 1; i <= count; ++i) {
            state.tree[i] += chunkSize(i - 1);
            const std::size_t parent = i + (i & (~i + 1));
            if (parent <= count) {
                state.tree[parent] += state.tree[i];
            }
        }
        state.built = true;
        state.hint = kNoHint;
    }
    if (state.hint != kNoHint && state.hintStart <= row &&
        row - state.hintStart < chunkSize(state.hint)) {
        return {state.hint, row - state.hintStart};
    }
    return Search(row);
}

}  // namespace qv
