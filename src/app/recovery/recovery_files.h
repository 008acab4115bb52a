#pragma once

#include <string>
#include <vector>

namespace qv {

// The recovery copies in the state folder. Each running program has an id of its own and
// keeps three files there: "<id>.lock", locked (flock) for as long as the program runs, so that
// another program never takes the copy of a live one; "<id>.qvd", the table as a table file;
// and "<id>.info", the table's original path and its title.

// The table's original path (empty for a table never saved) and its title (CP932 bytes).
struct RecoveryInfo {
    std::string originalPath;
    std::string title;
};
// The bytes of an info file: a mark line, the path and the title, each line ending with CR LF.
std::string RecoveryInfoBytes(const RecoveryInfo& info);
// Reads an info file; false when it is missing, unreadable or not an info file.
bool ReadRecoveryInfo(const std::string& path, RecoveryInfo& info);

// The file names of one program's copy.
struct RecoveryPaths {
    std::string lock;
    std::string table;
    std::string info;
};
RecoveryPaths RecoveryPathsOf(const std::string& folder, const std::string& id);

// This running program's place in the state folder: made with the folder (created when
// missing) and the lock taken; the lock goes with the object (as it goes with a crash), the
// files only with End.
class RecoverySession {
public:
    // Raises Failure when the folder or the lock file cannot be made.
    explicit RecoverySession(std::string folder);
    ~RecoverySession();
    RecoverySession(const RecoverySession&) = delete;
    RecoverySession& operator=(const RecoverySession&) = delete;

    const std::string& Folder() const { return folder_; }
    const RecoveryPaths& Paths() const { return paths_; }
    // The program ends normally: its copy and its lock file go.
    void End();

private:
    std::string folder_;
    RecoveryPaths paths_;
    int lockFd_ = -1;
};

// The copy of a program that is no longer running, with that program's lock now held by this
// one, so that no other program offers or removes it meanwhile. Dropping the object releases
// the lock and leaves the files for a later start.
class LeftCopy {
public:
    LeftCopy(RecoveryPaths paths, RecoveryInfo info, int lockFd);
    ~LeftCopy();
    LeftCopy(LeftCopy&& other) noexcept;
    LeftCopy& operator=(LeftCopy&& other) noexcept;
    LeftCopy(const LeftCopy&) = delete;
    LeftCopy& operator=(const LeftCopy&) = delete;

    const RecoveryInfo& Info() const { return info_; }
    const std::string& TablePath() const { return paths_.table; }
    // Removes the copy and its lock file.
    void Discard();
    // The copy becomes the session's own (renamed, so that it is never missing), and the dead
    // program's lock file goes. Raises Failure when it cannot be renamed.
    void Adopt(const RecoverySession& session);

private:
    void Release();

    RecoveryPaths paths_;
    RecoveryInfo info_;
    int lockFd_ = -1;
};

// The copies left by programs that no longer run, newest first, their locks taken. A dead
// program's lock file without a whole copy (the program had no unsaved changes) is removed on
// the way. The locks of running programs, this one's included, are never taken.
std::vector<LeftCopy> FindLeftCopies(const std::string& folder);

}  // namespace qv
