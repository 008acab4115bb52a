#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "history/title_list.h"

namespace qv {

// The history file keeps the title list between runs: for each entry from the top, its path
// on one line and its title on the next, every line ending with CR LF, bytes unconverted.

// At most this many entries, the top ones, are written.
inline constexpr std::size_t kHistoryFileMaxEntries = 51;

// Appends the entries of the history file at `path` to `list`, in the file's order, skipping
// those whose path names no existing file (a folder does not count). A path on the last line
// gets the empty title. A missing history file leaves the list as it was; a file that cannot
// be read raises Failure with the file system's message and adds nothing.
void LoadHistoryFile(const std::string& path, TitleList& list);

// LoadHistoryFile on the history file's bytes already in memory.
void ParseHistoryFile(std::string_view text, TitleList& list);

// The bytes of the history file for the list's first kHistoryFileMaxEntries entries.
std::string BuildHistoryFile(const TitleList& list);

// Replaces the history file at `path` by the list, atomically: on failure (Failure with the
// file system's message, also when the file there cannot be read) the old file stays as it was.
// The list first takes in what other copies of the program stored meanwhile
// (TitleList::MergeFromOtherCopies, with the entries whose files still exist). An empty list
// writes nothing at all and takes in nothing.
void SaveHistoryFile(const std::string& path, TitleList& list);

// False for a path the history file cannot hold: a CR would end its line there and an
// end-of-file byte (0x1A) would end the whole file. An LF is an ordinary byte of a line.
bool FitsHistoryFile(std::string_view path);

}  // namespace qv
