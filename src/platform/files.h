#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace qv {

// Whole-file reading and writing. Paths are file system paths (UTF-8 on this system). Every
// failure raises Failure with the text of FileSystemMessage for the error met, for example
// "ﾌｧｲﾙが見つかりません" for a missing file or "不正なﾌｧｲﾙ名です" for a missing folder.

// A regular file opened for reading. Opening never waits (a FIFO without a writer, a device);
// anything that is not a regular file (a folder, a FIFO, a device such as /dev/zero, also
// through a link) fails as access denied. Reading stops at the size the file had when it was
// opened: bytes appended while it is read are not part of it.
class RegularFile {
public:
    explicit RegularFile(const std::string& path);
    ~RegularFile();
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;

    // The size when opened (0 for a file, such as those under /proc, that does not say).
    std::size_t Size() const { return size_; }
    // Reads up to `limit` bytes; 0 once the size at opening is reached, or at the file's end.
    std::size_t Read(char* buffer, std::size_t limit);

private:
    std::string path_;
    int fd_ = -1;
    std::size_t size_ = 0;
    std::size_t offset_ = 0;
};

// The file's whole contents, as RegularFile reads them.
std::string ReadWholeFile(const std::string& path);

// At most the first maxBytes bytes of the file (fewer when the file is shorter), without
// reading the rest; as RegularFile reads them.
std::string ReadFilePrefix(const std::string& path, std::size_t maxBytes);

// True when the path names an existing file that is not a folder (links are followed). Any
// failure to look gives false.
bool IsExistingFile(const std::string& path);

// Removes the file. Returns whether it was removed; nothing is raised.
bool DeleteFileQuietly(const std::string& path);

// Replaces the file's contents, or creates the file, so that a reader sees either the old or
// the new contents in full, even if the machine stops half way. A symbolic link (also one whose
// target is missing) is followed and its target replaced, so the link stays. The text goes to
// an unnamed temporary file beside the target (a named "<target>.tmpXXXXXX" where the file
// system has no unnamed files), is flushed to the disk, named and renamed over the target, so a
// save killed half way leaves nothing behind. An existing file keeps its permission bits and,
// where the system allows, its owner and group; a new one gets 0644 less the umask. Two kinds
// of existing file are rewritten in place instead, after room for the new contents has been
// reserved: one with other hard links (which then see the new contents too), and one in a
// folder that takes no new file. On a failure before the old contents are touched, the old
// file is left as it was, the temporary file is gone, and Failure is raised; an in-place
// rewrite that fails while writing leaves the file part written. A target that is a folder, a
// FIFO or device, or a file without any write permission bit, fails as access denied and is
// left alone.
void ReplaceFileAtomically(const std::string& path, std::string_view contents);
// The same with the new contents given as pieces written one after the other, so that a caller
// need not first copy them into one buffer.
void ReplaceFileAtomically(const std::string& path, std::span<const std::string_view> pieces);

// Files the program keeps for itself in a folder of its own (the recovery copies), which must
// never lead elsewhere: a name there that is a symbolic link, or anything but a regular file of
// the user's own, is never read nor written through.

// Opens such a file: open(2) with the flags given, never following a link at the name, never
// waiting (a FIFO), made with mode 0600 under O_CREAT. Returns the descriptor, or -1 with errno
// set: ELOOP for a link, EPERM for anything else that is not a regular file of the user's own.
int OpenOwnFile(const std::string& path, int flags);

// Puts the new contents under the name as ReplaceFileAtomically does, but always through a
// temporary file renamed over the name itself, with mode 0600: a link or a file with other
// hard links found there is replaced, and what it leads to or shares is never written.
void ReplaceOwnFile(const std::string& path, std::span<const std::string_view> pieces);

// ReplaceFileAtomically for contents made while they are written: the pieces go to the
// temporary file as they come (the disk starts writing them at once, and a big file is flushed
// a stretch at a time meanwhile, so that Commit waits for the last stretch only; a flush that
// fails is raised by the next Write or by Commit), and Commit puts the file in place. The same
// checks, the same messages and the same guarantees: the constructor fails at once for a target
// that can take no file; until Commit has returned, the old file is as it was; a writer destroyed
// without Commit (a failure, an exception while the contents were made) removes its temporary file.
// The two kinds of file that are rewritten in place keep their pieces in memory until Commit, which
// reserves the room and writes them.
class AtomicFileWriter {
public:
    explicit AtomicFileWriter(const std::string& path);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    void Write(std::string_view piece);
    // Flushes the file to the disk and puts it in place of the target. Call once.
    void Commit();

    // The replacement's own data, shared with ReplaceFileAtomically.
    struct State;

private:
    std::unique_ptr<State> state_;
};

}  // namespace qv
