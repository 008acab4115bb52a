#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <optional>
#include <random>
#include <utility>
#include <vector>

#include "platform/background_flusher.h"
#include "platform/failure.h"
#include "platform/file_system_messages.h"
#include "platform/files_testing.h"
#include "platform/large_buffers.h"

namespace qv {

namespace {

std::atomic<const FileFaults*> g_faults{nullptr};

const FileFaults* Faults() {
    return g_faults.load(std::memory_order_acquire);
}

// Closes the descriptor when it goes out of scope, unless it was released.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }
    void reset() {
        if (fd_ >= 0) {
            close(std::exchange(fd_, -1));
        }
    }

private:
    int fd_;
};

}  // namespace

void SetFileFaultsForTesting(const FileFaults* faults) {
    g_faults.store(faults, std::memory_order_release);
}

RegularFile::RegularFile(const std::string& path) : path_(path) {
    // Without O_NONBLOCK, opening a FIFO waits for a writer; the check below refuses it anyway.
    do {
        fd_ = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    } while (fd_ < 0 && errno == EINTR);
    if (fd_ < 0) {
        ThrowFileSystemFailure(errno, path);
    }
    struct stat info {};
    if (fstat(fd_, &info) != 0) {
        const int err = errno;
        close(fd_);
        ThrowFileSystemFailure(err, path);
    }
    if (!S_ISREG(info.st_mode)) {
        // Folders, FIFOs, devices and sockets never end or never hold a table: access denied.
        close(fd_);
        ThrowFileSystemFailure(S_ISDIR(info.st_mode) ? EISDIR : EACCES, path);
    }
    size_ = info.st_size > 0 ? static_cast<std::size_t>(info.st_size) : 0;
}

RegularFile::~RegularFile() {
    close(fd_);
}

std::size_t RegularFile::Read(char* buffer, std::size_t limit) {
    limit = std::min(limit, size_ - offset_);
    while (limit > 0) {
        const ssize_t got = read(fd_, buffer, limit);
        if (got >= 0) {
            offset_ += static_cast<std::size_t>(got);
            return static_cast<std::size_t>(got);
        }
        if (errno != EINTR) {
            ThrowFileSystemFailure(errno, path_);
        }
    }
    return 0;
}

std::string ReadWholeFile(const std::string& path) {
    return ReadFilePrefix(path, std::string().max_size());
}

std::string ReadFilePrefix(const std::string& path, std::size_t maxBytes) {
    RegularFile file(path);
    std::string contents = LargeZeroedString(std::min(maxBytes, file.Size()));
    std::size_t used = 0;
    while (used < contents.size()) {
        const std::size_t got = file.Read(contents.data() + used, contents.size() - used);
        if (got == 0) {
            break;  // the file was cut short while it was read
        }
        used += got;
    }
    contents.resize(used);
    return contents;
}

bool IsExistingFile(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool DeleteFileQuietly(const std::string& path) {
    return unlink(path.c_str()) == 0;
}

namespace {

std::string FolderOf(const std::string& path) {
    const std::string::size_type slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
}

// "<path>.tmpXXXXXX" with six random letters and digits.
std::string TemporaryName(const std::string& path) {
    static constexpr char kLetters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::minstd_rand random(std::random_device{}());
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
    std::string name = path + ".tmp";
    for (int i = 0; i < 6; ++i) {
        name += kLetters[pick(random)];
    }
    return name;
}

// The file that receives the new contents before it replaces the target. Preferably unnamed
// (O_TMPFILE), so that a save killed half way leaves nothing behind; it gets a name only just
// before the rename. File systems without unnamed files get a named one at once.
struct TemporaryFile {
    int fd = -1;
    std::string name;  // empty while the file is unnamed
};

// Creates the temporary file beside `path`; -1 with errno on failure. The mode is handed to the
// kernel, which applies the umask (or the folder's default ACL).
int CreateTemporary(const std::string& path, mode_t mode, TemporaryFile& temp) {
    if (const FileFaults* faults = Faults(); faults != nullptr) {
        int seen = faults->createsSeen++;
        if (faults->createErrno != 0 && seen >= faults->createsBeforeError) {
            errno = faults->createErrno;
            return -1;
        }
    }
    temp.fd = open(FolderOf(path).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
    if (temp.fd >= 0 || (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)) {
        return temp.fd;
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp.name = TemporaryName(path);
        temp.fd = open(temp.name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (temp.fd >= 0 || (errno != EEXIST && errno != EINTR)) {
            return temp.fd;
        }
    }
    errno = EEXIST;
    return -1;
}

// Gives an unnamed temporary file a fresh name beside `path`; false with errno on failure.
bool NameTemporary(const std::string& path, TemporaryFile& temp) {
    if (!temp.name.empty()) {
        return true;
    }
    const std::string self = "/proc/self/fd/" + std::to_string(temp.fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = TemporaryName(path);
        if (linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            temp.name = std::move(name);
            return true;
        }
        if (errno != EEXIST) {
            return false;
        }
    }
    errno = EEXIST;
    return false;
}

// The file a save through `path` is meant for: a symbolic link is followed to its target, also
// when the target does not exist yet, so that the link stays a link.
std::string FollowLinks(const std::string& path) {
    std::string target = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info {};
        if (lstat(target.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            return target;
        }
        std::string link(std::max<std::size_t>(static_cast<std::size_t>(info.st_size), 255) + 1,
                         '\0');
        const ssize_t length = readlink(target.c_str(), link.data(), link.size());
        if (length < 0 || static_cast<std::size_t>(length) >= link.size() || length == 0) {
            ThrowFileSystemFailure(length < 0 ? errno : EINVAL, path);
        }
        link.resize(static_cast<std::size_t>(length));
        target = link.front() == '/' ? link : FolderOf(target) + "/" + link;
    }
    ThrowFileSystemFailure(ELOOP, path);
}

// Writes everything; on failure returns false with errno set. `call` counts the write calls
// of one replacement, for the faults tests install.
bool WriteAll(int fd, std::string_view data, int& call) {
    const FileFaults* faults = Faults();
    while (!data.empty()) {
        // Linux moves at most about 2 GB in one call.
        std::size_t chunk = std::min<std::size_t>(data.size(), 1u << 30);
        ++call;
        if (faults != nullptr && faults->failingWrite == call) {
            std::size_t part = std::min(chunk, faults->bytesBeforeWriteError);
            if (part > 0 && write(fd, data.data(), part) < 0) {
                return false;
            }
            errno = faults->writeErrno;
            return false;
        }
        ssize_t written = write(fd, data.data(), chunk);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

int Fsync(int fd) {
    if (const FileFaults* faults = Faults(); faults != nullptr && faults->fsyncErrno != 0) {
        errno = faults->fsyncErrno;
        return -1;
    }
    return fsync(fd);
}

// The data only, as the flushes made while a file is still being written need.
int EarlyFlush(int fd) {
    if (const FileFaults* faults = Faults(); faults != nullptr) {
        if (const int err = faults->fsyncErrno != 0 ? faults->fsyncErrno : faults->earlyFlushErrno;
            err != 0) {
            errno = err;
            return -1;
        }
    }
    return fdatasync(fd);
}

int Rename(const std::string& from, const std::string& to) {
    if (const FileFaults* faults = Faults(); faults != nullptr && faults->renameErrno != 0) {
        errno = faults->renameErrno;
        return -1;
    }
    return rename(from.c_str(), to.c_str());
}

void SyncFolderOf(const std::string& path) {
    int fd = open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        // The new file is in place already; a folder that cannot be flushed (some file
        // systems refuse) changes nothing for the caller.
        fsync(fd);
        close(fd);
    }
}

}  // namespace

void ReplaceFileAtomically(const std::string& path, std::string_view contents) {
    ReplaceFileAtomically(path, std::span<const std::string_view>(&contents, 1));
}

namespace {

std::size_t TotalSize(std::span<const std::string_view> pieces) {
    std::size_t total = 0;
    for (std::string_view piece : pieces) {
        total += piece.size();
    }
    return total;
}

// Rewrites an existing file in place, keeping its identity (its other hard links, its owner,
// its place in a folder the program may not write). The room for the new contents is reserved
// first, so that a full disk or quota fails before a byte of the old contents is touched.
void ReplaceInPlace(const std::string& target, std::span<const std::string_view> pieces,
                    const std::string& path) {
    FileDescriptor fd(open(target.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0) {
        ThrowFileSystemFailure(errno, path);
    }
    const auto total = static_cast<off_t>(TotalSize(pieces));
    if (total > 0 && fallocate(fd.get(), FALLOC_FL_KEEP_SIZE, 0, total) != 0 &&
        (errno == ENOSPC || errno == EDQUOT || errno == EFBIG)) {
        ThrowFileSystemFailure(errno, path);
    }
    int call = 0;
    for (std::string_view piece : pieces) {
        if (!WriteAll(fd.get(), piece, call)) {
            ThrowFileSystemFailure(errno, path);
        }
    }
    if (ftruncate(fd.get(), total) != 0 || Fsync(fd.get()) != 0 || close(fd.release()) != 0) {
        ThrowFileSystemFailure(errno, path);
    }
}

}  // namespace

namespace {

// What a replacement finds at its target before it writes: the file a link leads to, whether it
// exists, and its status.
struct ReplacedTarget {
    std::string file;
    bool exists = false;
    mode_t mode = 0644;
    struct stat info {};
};

ReplacedTarget InspectTarget(const std::string& path) {
    ReplacedTarget t;
    t.file = FollowLinks(path);
    if (stat(t.file.c_str(), &t.info) == 0) {
        if (S_ISDIR(t.info.st_mode)) {
            ThrowFileSystemFailure(EISDIR, path);
        }
        // A FIFO or a device is no place for a table. A read-only file stays read-only, also
        // for root, whom access() would let through.
        if (!S_ISREG(t.info.st_mode) || (t.info.st_mode & 0222) == 0) {
            ThrowFileSystemFailure(EACCES, path);
        }
        if (geteuid() != 0 && access(t.file.c_str(), W_OK) != 0) {
            ThrowFileSystemFailure(errno, path);
        }
        t.exists = true;
        t.mode = t.info.st_mode & 07777;
    } else if (errno != ENOENT) {
        ThrowFileSystemFailure(errno, path);
    }
    return t;
}

}  // namespace

// One replacement: through a temporary file beside the target, or, for the two kinds of file
// rewritten where they are, with the pieces held until the end.
struct AtomicFileWriter::State {
    explicit State(const std::string& givenPath) : path(givenPath), target(InspectTarget(path)) {
        if (target.exists && target.info.st_nlink > 1) {
            inPlace = true;
            return;
        }
        if (CreateTemporary(target.file, target.exists ? (target.mode & 0777) : target.mode, temp) <
            0) {
            // A file the user may write in a folder the program may not: rewritten where it is.
            if (target.exists && (errno == EACCES || errno == EPERM)) {
                inPlace = true;
                return;
            }
            ThrowFileSystemFailure(errno, path);
        }
        fd = temp.fd;
        flusher.emplace(fd, EarlyFlush);
    }
    State(const State&) = delete;
    State& operator=(const State&) = delete;
    ~State() { Discard(); }

    void Discard() {
        flusher.reset();  // before the descriptor it flushes is closed
        if (fd >= 0) {
            close(std::exchange(fd, -1));
        }
        if (!temp.name.empty()) {
            unlink(temp.name.c_str());
            temp.name.clear();
        }
    }

    [[noreturn]] void Fail(int err) {
        Discard();
        ThrowFileSystemFailure(err, path);
    }

    void Write(std::string_view piece) {
        if (!WriteAll(fd, piece, call)) {
            Fail(errno);
        }
        written += static_cast<off_t>(piece.size());
        // The disk starts on each megabyte now rather than at the flush; a refusal changes
        // nothing.
        if (written - started >= kStartWritingEvery) {
            sync_file_range(fd, started, written - started, SYNC_FILE_RANGE_WRITE);
            started = written;
        }
        if (const int err = flusher->Written(written); err != 0) {
            Fail(err);
        }
    }

    void Commit() {
        if (target.exists) {
            // The owner and group stay as they were where the system allows (root may give both,
            // an owner may give a group it belongs to); a refusal leaves the saver's own.
            if (fchown(fd, target.info.st_uid, target.info.st_gid) != 0) {
                [[maybe_unused]] int ignored =
                    fchown(fd, static_cast<uid_t>(-1), target.info.st_gid);
            }
            // After fchown, which clears the set-user and set-group bits.
            if (fchmod(fd, target.mode) != 0) {
                Fail(errno);
            }
        }
        if (const int err = flusher->Stop(); err != 0) {
            Fail(err);
        }
        if (Fsync(fd) != 0 || !NameTemporary(target.file, temp) ||
            close(std::exchange(fd, -1)) != 0 || Rename(temp.name, target.file) != 0) {
            Fail(errno);
        }
        temp.name.clear();
        SyncFolderOf(target.file);
    }

    std::string path;
    ReplacedTarget target;
    bool inPlace = false;
    std::vector<std::string> held;  // the pieces of an in-place rewrite
    TemporaryFile temp;
    int fd = -1;
    // Flushes the temporary file while it is written (see BackgroundFlusher).
    std::optional<BackgroundFlusher> flusher;
    int call = 0;  // write calls so far, for the faults tests install
    off_t written = 0;
    off_t started = 0;  // the bytes before this have been handed to the disk
    static constexpr off_t kStartWritingEvery = off_t{1} << 20;
};

void ReplaceFileAtomically(const std::string& path, std::span<const std::string_view> pieces) {
    AtomicFileWriter::State state(path);
    if (state.inPlace) {
        ReplaceInPlace(state.target.file, pieces, path);
        return;
    }
    for (std::string_view piece : pieces) {
        state.Write(piece);
    }
    state.Commit();
}

int OpenOwnFile(const std::string& path, int flags) {
    int fd = -1;
    do {
        fd = open(path.c_str(), flags | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0600);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        return -1;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != geteuid()) {
        close(fd);
        errno = EPERM;
        return -1;
    }
    return fd;
}

void ReplaceOwnFile(const std::string& path, std::span<const std::string_view> pieces) {
    TemporaryFile temp;
    if (CreateTemporary(path, 0600, temp) < 0) {
        ThrowFileSystemFailure(errno, path);
    }
    FileDescriptor fd(temp.fd);
    int call = 0;
    bool written = true;
    for (std::string_view piece : pieces) {
        written = written && WriteAll(fd.get(), piece, call);
    }
    if (!written || Fsync(fd.get()) != 0 || !NameTemporary(path, temp) ||
        close(fd.release()) != 0 || Rename(temp.name, path) != 0) {
        const int err = errno;
        if (!temp.name.empty()) {
            unlink(temp.name.c_str());
        }
        ThrowFileSystemFailure(err, path);
    }
    SyncFolderOf(path);
}

AtomicFileWriter::AtomicFileWriter(const std::string& path)
    : state_(std::make_unique<State>(path)) {}

AtomicFileWriter::~AtomicFileWriter() = default;

void AtomicFileWriter::Write(std::string_view piece) {
    if (state_->inPlace) {
        state_->held.emplace_back(piece);
    } else {
        state_->Write(piece);
    }
}

void AtomicFileWriter::Commit() {
    if (state_->inPlace) {
        const std::vector<std::string_view> pieces(state_->held.begin(), state_->held.end());
        ReplaceInPlace(state_->target.file, pieces, state_->path);
        state_->held.clear();
    } else {
        state_->Commit();
    }
}

}  // namespace qv
