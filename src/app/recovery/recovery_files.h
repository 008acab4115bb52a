#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

// The recovery copies in the state folder. Each running program has an id of its own and
// keeps three files there: "<id>.lock", locked (flock) for as long as the program runs, so that
// another program never takes the copy of a live one; "<id>.qvd", the table as a table file;
// and "<id>.info", the table's original path and its title. Each is opened without following a
// symbolic link and used only when it is a regular file of the user's own.

// The table's original path (empty for a table never saved) and its title (CP932 bytes).
struct RecoveryInfo {
    std::string originalPath;
    std::string title;
};
// The bytes of an info file: a mark line, then the path and the title, each as a line holding
// its length in bytes followed by the bytes themselves and CR LF, so that any byte string (a
// name holding CR LF or 0x1A) comes back whole.
std::string RecoveryInfoBytes(const RecoveryInfo& info);
// The info in the bytes of an info file, also in those of the previous version (the mark, the
// path and the title on lines of their own); nullopt when they are not an info file or were
// cut short. A previous version's file whose path or title held a line end keeps no path, so
// that a restored table never names a file it did not come from.
std::optional<RecoveryInfo> ParseRecoveryInfo(std::string_view bytes);

// The file names of one program's copy.
struct RecoveryPaths {
    std::string lock;
    std::string table;
    std::string info;
};
RecoveryPaths RecoveryPathsOf(const std::string& folder, const std::string& id);

class LeftCopy;

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
    // The taken left copy becomes this program's own: the session goes on under the copy's id,
    // with its lock, and its own lock file goes. Nothing is renamed, so a kill at any moment
    // leaves the copy whole under its id for the next start.
    void Adopt(LeftCopy& copy);

private:
    std::string folder_;
    RecoveryPaths paths_;
    int lockFd_ = -1;
};

// The copy of a program that is no longer running, as a start found it. Take locks it for this
// program, so that no other program offers or removes it meanwhile; dropping the object
// releases the lock and leaves the files for a later start.
class LeftCopy {
public:
    LeftCopy(RecoveryPaths paths, std::optional<RecoveryInfo> info);
    ~LeftCopy();
    LeftCopy(LeftCopy&& other) noexcept;
    LeftCopy& operator=(LeftCopy&& other) noexcept;
    LeftCopy(const LeftCopy&) = delete;
    LeftCopy& operator=(const LeftCopy&) = delete;

    // Takes the copy's lock and opens its table file; false when another program took the copy
    // meanwhile, or it is gone or no longer a regular file of the user's own.
    bool Take();
    // Whether the info file could be read. When it could not, Info() holds no path and, once
    // the copy is taken, the table file's own title.
    bool InfoWasRead() const { return infoWasRead_; }
    const RecoveryInfo& Info() const { return info_; }
    const std::string& TablePath() const { return paths_.table; }
    const RecoveryPaths& Paths() const { return paths_; }
    // A path that reads the table file opened by Take, whatever is linked at its name since.
    std::string TakenTablePath() const;
    // Removes the taken copy and its lock file.
    void Discard();
    // The taken lock, handed to the session that adopts the copy.
    int GiveLockAway();

private:
    void Release();

    RecoveryPaths paths_;
    RecoveryInfo info_;
    bool infoWasRead_ = false;
    int lockFd_ = -1;
    int tableFd_ = -1;
};

// What a start finds in the state folder: the copies left by programs that no longer run,
// newest first, not yet taken; and how many copies it left alone, neither offered nor removed,
// because a piece could not be read or is not a regular file of the user's own (a link, say).
// A dead program's lock file alone (the program had no unsaved changes) is removed on the way;
// nothing else is. The scan keeps at most two files open at a time.
struct RecoveryScan {
    std::vector<LeftCopy> copies;
    int leftAlone = 0;
};
RecoveryScan FindLeftCopies(const std::string& folder);

}  // namespace qv
