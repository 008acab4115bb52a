#include "app/recovery/recovery_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <random>
#include <string_view>
#include <utility>

#include "platform/failure.h"
#include "platform/file_system_messages.h"
#include "platform/files.h"

namespace qv {

namespace {

constexpr std::string_view kInfoMark = "QuorvaneRecovery";
constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kLockExtension = ".lock";

// mkdir -p; the first folder that cannot be made raises Failure.
void MakeFolders(const std::string& folder) {
    for (std::string::size_type slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            ThrowFileSystemFailure(errno, part);
        }
        if (slash == std::string::npos) {
            return;
        }
    }
}

// "<pid>-<16 hex digits>": unique even when a crashed program's number is given again.
std::string NewId() {
    std::random_device random;
    const uint64_t bits = (uint64_t{random()} << 32) | random();
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string id = std::to_string(getpid()) + "-";
    for (int shift = 60; shift >= 0; shift -= 4) {
        id += kDigits[(bits >> shift) & 0xF];
    }
    return id;
}

// Whether the open descriptor is still the file linked at `path` (another program may have
// removed that lock file between our open and our lock).
bool IsLinkedAs(int fd, const std::string& path) {
    struct stat open {};
    struct stat linked {};
    return fstat(fd, &open) == 0 && stat(path.c_str(), &linked) == 0 &&
           open.st_dev == linked.st_dev && open.st_ino == linked.st_ino;
}

std::string TakeLine(std::string_view& text) {
    const std::string_view::size_type end = text.find(kLineEnd);
    const std::string line(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + kLineEnd.size());
    return line;
}

int64_t ModifiedNanoseconds(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        return 0;
    }
    return int64_t{info.st_mtim.tv_sec} * 1'000'000'000 + info.st_mtim.tv_nsec;
}

}  // namespace

std::string RecoveryInfoBytes(const RecoveryInfo& info) {
    std::string bytes;
    for (std::string_view line :
         {kInfoMark, std::string_view(info.originalPath), std::string_view(info.title)}) {
        bytes.append(line).append(kLineEnd);
    }
    return bytes;
}

bool ReadRecoveryInfo(const std::string& path, RecoveryInfo& info) {
    std::string bytes;
    try {
        bytes = ReadFilePrefix(path, 1 << 20);
    } catch (const Failure&) {
        return false;
    }
    std::string_view text = bytes;
    if (TakeLine(text) != kInfoMark) {
        return false;
    }
    info.originalPath = TakeLine(text);
    info.title = TakeLine(text);
    return true;
}

RecoveryPaths RecoveryPathsOf(const std::string& folder, const std::string& id) {
    const std::string stem = folder + "/" + id;
    return {stem + std::string(kLockExtension), stem + ".qvd", stem + ".info"};
}

RecoverySession::RecoverySession(std::string folder) : folder_(std::move(folder)) {
    MakeFolders(folder_);
    paths_ = RecoveryPathsOf(folder_, NewId());
    // Locked under another name first, so that no program ever finds the lock file unlocked.
    const std::string making = paths_.lock + ".new";
    lockFd_ = open(making.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (lockFd_ < 0) {
        ThrowFileSystemFailure(errno, making);
    }
    if (flock(lockFd_, LOCK_EX | LOCK_NB) != 0 ||
        rename(making.c_str(), paths_.lock.c_str()) != 0) {
        const int err = errno;
        unlink(making.c_str());
        close(lockFd_);
        lockFd_ = -1;
        ThrowFileSystemFailure(err, paths_.lock);
    }
}

RecoverySession::~RecoverySession() {
    if (lockFd_ >= 0) {
        close(lockFd_);
    }
}

void RecoverySession::End() {
    DeleteFileQuietly(paths_.table);
    DeleteFileQuietly(paths_.info);
    DeleteFileQuietly(paths_.lock);
}

LeftCopy::LeftCopy(RecoveryPaths paths, RecoveryInfo info, int lockFd)
    : paths_(std::move(paths)), info_(std::move(info)), lockFd_(lockFd) {}

LeftCopy::~LeftCopy() {
    Release();
}

LeftCopy::LeftCopy(LeftCopy&& other) noexcept
    : paths_(std::move(other.paths_)),
      info_(std::move(other.info_)),
      lockFd_(std::exchange(other.lockFd_, -1)) {}

LeftCopy& LeftCopy::operator=(LeftCopy&& other) noexcept {
    if (this != &other) {
        Release();
        paths_ = std::move(other.paths_);
        info_ = std::move(other.info_);
        lockFd_ = std::exchange(other.lockFd_, -1);
    }
    return *this;
}

void LeftCopy::Release() {
    if (lockFd_ >= 0) {
        close(std::exchange(lockFd_, -1));
    }
}

void LeftCopy::Discard() {
    DeleteFileQuietly(paths_.table);
    DeleteFileQuietly(paths_.info);
    DeleteFileQuietly(paths_.lock);  // while still locked, so that no one takes it meanwhile
    Release();
}

void LeftCopy::Adopt(const RecoverySession& session) {
    if (rename(paths_.info.c_str(), session.Paths().info.c_str()) != 0) {
        ThrowFileSystemFailure(errno, paths_.info);
    }
    if (rename(paths_.table.c_str(), session.Paths().table.c_str()) != 0) {
        const int err = errno;
        rename(session.Paths().info.c_str(), paths_.info.c_str());
        ThrowFileSystemFailure(err, paths_.table);
    }
    paths_.table = session.Paths().table;
    paths_.info = session.Paths().info;
    DeleteFileQuietly(paths_.lock);
    Release();
}

std::vector<LeftCopy> FindLeftCopies(const std::string& folder) {
    std::vector<std::string> ids;
    if (DIR* dir = opendir(folder.c_str()); dir != nullptr) {
        while (const dirent* entry = readdir(dir)) {
            const std::string_view name = entry->d_name;
            if (name.size() > kLockExtension.size() && name.ends_with(kLockExtension)) {
                ids.emplace_back(name.substr(0, name.size() - kLockExtension.size()));
            }
        }
        closedir(dir);
    }
    std::vector<std::pair<int64_t, LeftCopy>> found;
    for (const std::string& id : ids) {
        const RecoveryPaths paths = RecoveryPathsOf(folder, id);
        const int fd = open(paths.lock.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
        if (fd < 0) {
            continue;
        }
        // A running program holds its lock; this program's own lock is a separate open file,
        // which flock refuses as well.
        if (flock(fd, LOCK_EX | LOCK_NB) != 0 || !IsLinkedAs(fd, paths.lock)) {
            close(fd);
            continue;
        }
        RecoveryInfo info;
        if (!IsExistingFile(paths.table) || !ReadRecoveryInfo(paths.info, info)) {
            LeftCopy(paths, RecoveryInfo{}, fd).Discard();  // nothing whole to offer
            continue;
        }
        found.emplace_back(ModifiedNanoseconds(paths.table), LeftCopy(paths, std::move(info), fd));
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<LeftCopy> copies;
    for (auto& entry : found) {
        copies.push_back(std::move(entry.second));
    }
    return copies;
}

}  // namespace qv
