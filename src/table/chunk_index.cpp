#include "table/chunk_index.h"

namespace qv {

void ChunkIndex::Grew(std::size_t chunk, int32_t delta) {
    if (!state_ || !state_->built) {
        return;
    }
    State& state = *state_;
    if (state.hint != kNoHint && chunk < state.hint) {
        state.hintStart += delta;
    }
    for (std::size_t i = chunk + 1; i < state.tree.size(); i += i & (~i + 1)) {
        state.tree[i] += delta;
    }
}

// The last chunk whose first row is at or before `row`.
ChunkIndex::Place ChunkIndex::Search(int32_t row) {
    State& state = *state_;
    std::size_t position = 0;
    int32_t rest = row;
    std::size_t step = 1;
    while (step * 2 < state.tree.size()) {
        step *= 2;
    }
    for (; step > 0; step /= 2) {
        if (position + step < state.tree.size() && state.tree[position + step] <= rest) {
            position += step;
            rest -= state.tree[position];
        }
    }
    state.hint = position;
    state.hintStart = row - rest;
    return {position, rest};
}

}  // namespace qv
