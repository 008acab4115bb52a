#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace qv {

// Whole-file reading and writing. Paths are file system paths (UTF-8 on this system). Every
// failure raises Failure with the text of FileSystemMessage for the error met, for example
// "ﾌｧｲﾙが見つかりません" for a missing file or "不正なﾌｧｲﾙ名です" for a missing folder.

// The file's whole contents. A folder fails as access denied.
std::string ReadWholeFile(const std::string& path);

// At most the first maxBytes bytes of the file (fewer when the file is shorter), without
// reading the rest. A folder fails as access denied.
std::string ReadFilePrefix(const std::string& path, std::size_t maxBytes);

// True when the path names an existing file that is not a folder (links are followed). Any
// failure to look gives false.
bool IsExistingFile(const std::string& path);

// Removes the file. Returns whether it was removed; nothing is raised.
bool DeleteFileQuietly(const std::string& path);

// Replaces the file's contents, or creates the file, so that a reader sees either the old or
// the new contents in full, even if the machine stops half way. The text goes to a temporary
// file next to the target, is flushed to the disk and renamed over the target. An existing
// file keeps its permission bits; a new one gets 0644 less the umask. On any failure the old
// file is left as it was, the temporary file is removed, and Failure is raised. A target that
// is a folder, or a file without any write permission bit, fails as access denied and is left
// alone.
void ReplaceFileAtomically(const std::string& path, std::string_view contents);
// The same with the new contents given as pieces written one after the other, so that a caller
// need not first copy them into one buffer.
void ReplaceFileAtomically(const std::string& path, std::span<const std::string_view> pieces);

}  // namespace qv
