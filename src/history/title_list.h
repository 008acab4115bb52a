#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

// The title list: pairs of (title, path) of the saved tables, the most recently saved first.
// Titles and paths are byte strings kept exactly as given. The two lists always have the same
// length and are changed at the same index together.
class TitleList {
public:
    std::size_t Size() const { return paths_.size(); }
    bool Empty() const { return paths_.empty(); }
    const std::string& Title(std::size_t i) const { return titles_.at(i); }
    const std::string& Path(std::size_t i) const { return paths_.at(i); }
    const std::vector<std::string>& Titles() const { return titles_; }
    const std::vector<std::string>& Paths() const { return paths_; }

    void Append(std::string path, std::string title);
    void InsertAtTop(std::string path, std::string title);
    // An index at or beyond Size() is ignored.
    void Remove(std::size_t i);
    void Clear();
    // The index of the first entry whose path, trimmed of bytes <= 32 at both ends, equals
    // `path` trimmed the same way, byte for byte; Size() when there is none.
    std::size_t FindPath(std::string_view path) const;

private:
    std::vector<std::string> titles_;
    std::vector<std::string> paths_;
};

}  // namespace qv
