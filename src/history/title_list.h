#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_set>
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

    // Adds an entry read from the history file at the end.
    void Append(std::string path, std::string title);
    // Adds an entry saved in this run at the top.
    void InsertAtTop(std::string path, std::string title);
    // An index at or beyond Size() is ignored.
    void Remove(std::size_t i);
    void Clear();
    // Takes in the entries that other copies of the program have stored in the history file
    // since this one read it (`stored` is what the file holds now): the entries saved in this run
    // stay at the top, the stored entries this list lacks follow in the file's order, then the
    // rest of this list. An entry removed in this run (by Remove or Clear, and not saved again
    // since) does not come back; for a path in both lists this list's title wins.
    void MergeFromOtherCopies(const TitleList& stored);
    // The index of the first entry whose path, trimmed of bytes <= 32 at both ends, equals
    // `path` trimmed the same way, byte for byte; Size() when there is none.
    std::size_t FindPath(std::string_view path) const;

private:
    std::vector<std::string> titles_;
    std::vector<std::string> paths_;
    // Trimmed paths removed and saved in this run.
    std::unordered_set<std::string> removed_;
    std::unordered_set<std::string> saved_;
};

}  // namespace qv
