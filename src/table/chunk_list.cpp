#include "table/chunk_list.h"

#include <iterator>
#include <memory>
#include <utility>

namespace qv {

ChunkList::ChunkList(std::size_t count) {
    if (count == 1) {
        new (&one_) CellChunk();
    } else {
        new (&head_) Head{};
        if (count > 1) {
            head_.many = new Many{std::vector<CellChunk>(count), ChunkIndex()};
        }
    }
}

ChunkList::ChunkList(const ChunkList& other) {
    if (other.InPlace()) {
        new (&one_) CellChunk(other.one_);
    } else {
        new (&head_) Head{};
        if (other.head_.many != nullptr) {
            head_.many = new Many{other.Vector(), ChunkIndex()};
        }
    }
}

ChunkList::ChunkList(ChunkList&& other) noexcept {
    if (other.InPlace()) {
        new (&one_) CellChunk(std::move(other.one_));
    } else {
        new (&head_) Head{kNotInPlace, other.head_.many};
        other.head_.many = nullptr;
    }
    other.clear();
}

ChunkList& ChunkList::operator=(const ChunkList& other) {
    if (this != &other) {
        ChunkList copy(other);
        swap(copy);
    }
    return *this;
}

ChunkList& ChunkList::operator=(ChunkList&& other) noexcept {
    if (this != &other) {
        MoveFrom(other);
    }
    return *this;
}

void ChunkList::clear() noexcept {
    if (InPlace()) {
        one_.~CellChunk();
        new (&head_) Head{};
    } else {
        delete head_.many;
        head_.many = nullptr;
    }
}

void ChunkList::swap(ChunkList& other) noexcept {
    if (this == &other) {
        return;
    }
    // Through a third list: either side may hold its chunk in place.
    ChunkList held;
    held.MoveFrom(*this);
    MoveFrom(other);
    other.MoveFrom(held);
}

void ChunkList::MoveFrom(ChunkList& other) noexcept {
    clear();
    if (other.InPlace()) {
        head_.~Head();
        new (&one_) CellChunk(std::move(other.one_));
        other.clear();
    } else {
        head_.many = other.head_.many;
        other.head_.many = nullptr;
    }
}

void ChunkList::Spread() {
    if (!InPlace()) {
        if (head_.many == nullptr) {
            head_.many = new Many();
        }
        return;
    }
    auto many = std::make_unique<Many>();
    many->chunks.reserve(2);
    many->chunks.push_back(std::move(one_));
    one_.~CellChunk();
    new (&head_) Head{kNotInPlace, many.release()};
}

void ChunkList::Settle() noexcept {
    if (InPlace() || head_.many == nullptr || head_.many->chunks.size() > 1) {
        return;
    }
    Many* many = head_.many;
    if (many->chunks.empty()) {
        head_.many = nullptr;
    } else {
        head_.~Head();
        new (&one_) CellChunk(std::move(many->chunks.front()));
    }
    delete many;
}

void ChunkList::insert(const CellChunk* at, CellChunk&& chunk) {
    if (empty()) {
        head_.~Head();
        new (&one_) CellChunk(std::move(chunk));
        return;
    }
    const auto offset = at - data();
    Spread();
    Vector().insert(Vector().begin() + offset, std::move(chunk));
}

void ChunkList::insert(const CellChunk* at, CellChunk* first, CellChunk* last) {
    if (first == last) {
        return;
    }
    if (empty() && last - first == 1) {
        insert(at, std::move(*first));
        return;
    }
    const auto offset = at - data();
    Spread();
    Vector().insert(Vector().begin() + offset, std::make_move_iterator(first),
                    std::make_move_iterator(last));
}

void ChunkList::erase(const CellChunk* first, const CellChunk* last) {
    if (first == last) {
        return;
    }
    if (InPlace()) {
        clear();  // [first, last) is the one chunk
        return;
    }
    const auto begin = first - data();
    Vector().erase(Vector().begin() + begin, Vector().begin() + (last - data()));
    Settle();
}

std::size_t ChunkList::HeapBytes() const {
    if (InPlace() || head_.many == nullptr) {
        return 0;
    }
    return sizeof(Many) + Vector().capacity() * sizeof(CellChunk);
}

}  // namespace qv
