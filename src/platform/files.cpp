#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <random>
#include <utility>

#include "platform/failure.h"
#include "platform/file_system_messages.h"
#include "platform/files_testing.h"

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

int OpenForReading(const std::string& path) {
    int fd;
    do {
        fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        ThrowFileSystemFailure(errno, path);
    }
    return fd;
}

// Reads into buffer[0, limit) from the start and returns the count read. Stops at the end of
// the file or when the limit is reached.
std::size_t ReadUpTo(int fd, char* buffer, std::size_t limit, const std::string& path) {
    std::size_t done = 0;
    while (done < limit) {
        ssize_t got = read(fd, buffer + done, limit - done);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            ThrowFileSystemFailure(errno, path);
        }
        if (got == 0) {
            break;
        }
        done += static_cast<std::size_t>(got);
    }
    return done;
}

struct stat StatOpenFile(int fd, const std::string& path) {
    struct stat info;
    if (fstat(fd, &info) != 0) {
        ThrowFileSystemFailure(errno, path);
    }
    if (S_ISDIR(info.st_mode)) {
        ThrowFileSystemFailure(EISDIR, path);
    }
    return info;
}

}  // namespace

void SetFileFaultsForTesting(const FileFaults* faults) {
    g_faults.store(faults, std::memory_order_release);
}

std::string ReadWholeFile(const std::string& path) {
    FileDescriptor fd(OpenForReading(path));
    struct stat info = StatOpenFile(fd.get(), path);

    // Files whose size is not known in advance (those under /proc, pipes) report 0; they are
    // read in growing steps.
    std::string contents;
    contents.resize(info.st_size > 0 ? static_cast<std::size_t>(info.st_size) : 4096);
    std::size_t used = 0;
    for (;;) {
        used += ReadUpTo(fd.get(), contents.data() + used, contents.size() - used, path);
        if (used < contents.size()) {
            break;
        }
        // Full: the file may have grown since fstat; look for more.
        char probe;
        if (ReadUpTo(fd.get(), &probe, 1, path) == 0) {
            break;
        }
        contents.resize(std::max<std::size_t>(contents.size() * 2, 4096));
        contents[used++] = probe;
    }
    contents.resize(used);
    return contents;
}

std::string ReadFilePrefix(const std::string& path, std::size_t maxBytes) {
    FileDescriptor fd(OpenForReading(path));
    struct stat info = StatOpenFile(fd.get(), path);
    std::size_t limit = maxBytes;
    if (info.st_size > 0) {
        limit = std::min(limit, static_cast<std::size_t>(info.st_size));
    } else {
        limit = std::min<std::size_t>(limit, 4096);
    }
    std::string contents(limit, '\0');
    contents.resize(ReadUpTo(fd.get(), contents.data(), limit, path));
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

// Creates a new file "<path>.tmpXXXXXX" (six random letters and digits) for writing. The
// mode is handed to the kernel, which applies the umask (or the folder's default ACL).
int CreateTemporary(const std::string& path, mode_t mode, std::string& tempPath) {
    if (const FileFaults* faults = Faults(); faults != nullptr) {
        int seen = faults->createsSeen++;
        if (faults->createErrno != 0 && seen >= faults->createsBeforeError) {
            errno = faults->createErrno;
            return -1;
        }
    }
    static constexpr char kLetters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::minstd_rand random(std::random_device{}());
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = path + ".tmp";
        for (int i = 0; i < 6; ++i) {
            tempPath += kLetters[pick(random)];
        }
        int fd = open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || (errno != EEXIST && errno != EINTR)) {
            return fd;
        }
    }
    errno = EEXIST;
    return -1;
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

int Rename(const std::string& from, const std::string& to) {
    if (const FileFaults* faults = Faults(); faults != nullptr && faults->renameErrno != 0) {
        errno = faults->renameErrno;
        return -1;
    }
    return rename(from.c_str(), to.c_str());
}

void SyncFolderOf(const std::string& path) {
    std::string::size_type slash = path.find_last_of('/');
    std::string folder =
        slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
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

void ReplaceFileAtomically(const std::string& path, std::span<const std::string_view> pieces) {
    bool keepMode = false;
    mode_t mode = 0644;
    struct stat info;
    if (stat(path.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) {
            ThrowFileSystemFailure(EISDIR, path);
        }
        // A read-only file stays read-only, also for root, whom access() would let through.
        if ((info.st_mode & 0222) == 0) {
            ThrowFileSystemFailure(EACCES, path);
        }
        if (geteuid() != 0 && access(path.c_str(), W_OK) != 0) {
            ThrowFileSystemFailure(errno, path);
        }
        keepMode = true;
        mode = info.st_mode & 07777;
    } else if (errno != ENOENT) {
        ThrowFileSystemFailure(errno, path);
    }

    std::string tempPath;
    int rawFd = CreateTemporary(path, keepMode ? (mode & 0777) : mode, tempPath);
    if (rawFd < 0) {
        ThrowFileSystemFailure(errno, path);
    }
    FileDescriptor fd(rawFd);
    auto fail = [&](int err) {
        fd.reset();
        unlink(tempPath.c_str());
        ThrowFileSystemFailure(err, path);
    };

    int call = 0;
    for (std::string_view piece : pieces) {
        if (!WriteAll(fd.get(), piece, call)) {
            fail(errno);
        }
    }
    if (keepMode && fchmod(fd.get(), mode) != 0) {
        fail(errno);
    }
    if (Fsync(fd.get()) != 0) {
        fail(errno);
    }
    if (close(fd.release()) != 0) {
        fail(errno);
    }
    if (Rename(tempPath, path) != 0) {
        fail(errno);
    }
    SyncFolderOf(path);
}

}  // namespace qv
