#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace qv {

// The texts the find bar's boxes offer again: the last ones searched for and replaced with,
// newest first (UTF-8).
inline constexpr std::size_t kSearchHistoryLength = 20;

struct SearchHistory {
    std::vector<std::string> texts;
    std::vector<std::string> replacements;
    bool operator==(const SearchHistory&) const = default;
};

// Puts `text` first, taking an equal older entry away and the oldest beyond
// kSearchHistoryLength; an empty text is not remembered. Returns whether the list changed.
bool RememberText(std::vector<std::string>& list, const std::string& text);

// The history lives between runs in a file of its own ("search_history.txt" in the program's
// configuration folder), never in the settings file: UTF-8, a line per text, "F " before a
// search text and "R " before a replacement, newest first; a backslash and a line feed inside a
// text are written "\\" and "\n".
std::string SearchHistoryPath();
// A missing or unreadable file gives an empty history; lines the program does not know are
// skipped, and each list is cut at kSearchHistoryLength.
SearchHistory ReadSearchHistory(const std::string& path);
// Replaces the file atomically; raises Failure when it cannot be written.
void WriteSearchHistory(const std::string& path, const SearchHistory& history);

}  // namespace qv
