#include "history/title_list.h"

#include <iterator>
#include <unordered_set>
#include <utility>

#include "platform/text.h"

namespace qv {

void TitleList::Append(std::string path, std::string title) {
    paths_.push_back(std::move(path));
    titles_.push_back(std::move(title));
}

void TitleList::InsertAtTop(std::string path, std::string title) {
    const std::string key(Trim(path));
    removed_.erase(key);
    saved_.insert(key);
    paths_.insert(paths_.begin(), std::move(path));
    titles_.insert(titles_.begin(), std::move(title));
}

void TitleList::Remove(std::size_t i) {
    if (i >= paths_.size()) {
        return;
    }
    removed_.emplace(Trim(paths_[i]));
    paths_.erase(paths_.begin() + static_cast<std::ptrdiff_t>(i));
    titles_.erase(titles_.begin() + static_cast<std::ptrdiff_t>(i));
}

void TitleList::Clear() {
    for (const std::string& path : paths_) {
        removed_.emplace(Trim(path));
    }
    titles_.clear();
    paths_.clear();
}

std::size_t TitleList::FindPath(std::string_view path) const {
    const std::string_view wanted = Trim(path);
    for (std::size_t i = 0; i < paths_.size(); ++i) {
        if (Trim(paths_[i]) == wanted) {
            return i;
        }
    }
    return paths_.size();
}

void TitleList::MergeFromOtherCopies(const TitleList& stored) {
    std::unordered_set<std::string> listed;
    for (const std::string& path : paths_) {
        listed.emplace(Trim(path));
    }
    TitleList merged;
    merged.removed_ = std::move(removed_);
    merged.saved_ = std::move(saved_);
    auto take = [&](const TitleList& from, std::size_t i) {
        merged.paths_.push_back(from.paths_[i]);
        merged.titles_.push_back(from.titles_[i]);
    };
    for (std::size_t i = 0; i < Size(); ++i) {
        if (merged.saved_.contains(std::string(Trim(paths_[i])))) {
            take(*this, i);
        }
    }
    for (std::size_t i = 0; i < stored.Size(); ++i) {
        const std::string key(Trim(stored.paths_[i]));
        if (!merged.removed_.contains(key) && listed.insert(key).second) {
            take(stored, i);
        }
    }
    for (std::size_t i = 0; i < Size(); ++i) {
        if (!merged.saved_.contains(std::string(Trim(paths_[i])))) {
            take(*this, i);
        }
    }
    *this = std::move(merged);
}

}  // namespace qv
