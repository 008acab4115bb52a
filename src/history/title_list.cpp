#include "history/title_list.h"

#include <iterator>
#include <utility>

#include "platform/text.h"

namespace qv {

void TitleList::Append(std::string path, std::string title) {
    paths_.push_back(std::move(path));
    titles_.push_back(std::move(title));
}

void TitleList::InsertAtTop(std::string path, std::string title) {
    paths_.insert(paths_.begin(), std::move(path));
    titles_.insert(titles_.begin(), std::move(title));
}

void TitleList::Remove(std::size_t i) {
    if (i >= paths_.size()) {
        return;
    }
    paths_.erase(paths_.begin() + static_cast<std::ptrdiff_t>(i));
    titles_.erase(titles_.begin() + static_cast<std::ptrdiff_t>(i));
}

void TitleList::Clear() {
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

}  // namespace qv
