#include "app/recovery/recovery_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <random>
#include <set>
#include <utility>

#include "app/recovery/recovery_testing.h"
#include "platform/failure.h"
#include "platform/file_system_messages.h"
#include "platform/files.h"
#include "platform/line_reader.h"

namespace qv {

namespace {

std::atomic<const RecoveryFaults*> g_faults{nullptr};

void AdoptionStepDone(int step) {
    if (const RecoveryFaults* faults = g_faults.load(std::memory_order_acquire);
        faults != nullptr && faults->killAfterAdoptionStep == step) {
        throw SimulatedKill{};
    }
}

constexpr std::string_view kInfoMark = "QuorvaneRecovery 2";   // the fields length-prefixed
constexpr std::string_view kOldInfoMark = "QuorvaneRecovery";  // lines of their own
constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kExtensions[] = {".lock", ".qvd", ".info"};
constexpr std::size_t kInfoSizeLimit = 1 << 20;
// Enough of a table file for its title (its eighth line) in all but freak cases.
constexpr std::size_t kTitlePrefix = 64 * 1024;

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
    return fstat(fd, &open) == 0 && lstat(path.c_str(), &linked) == 0 &&
           open.st_dev == linked.st_dev && open.st_ino == linked.st_ino;
}

// Takes the bytes before the next CR LF, and the CR LF; nullopt when there is none.
std::optional<std::string_view> TakeLine(std::string_view& text) {
    const std::string_view::size_type end = text.find(kLineEnd);
    if (end == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(end + kLineEnd.size());
    return line;
}

// Takes a field written as its length on a line, its bytes and CR LF.
std::optional<std::string> TakeField(std::string_view& text) {
    const std::optional<std::string_view> digits = TakeLine(text);
    std::size_t size = 0;
    if (!digits || digits->empty() ||
        std::from_chars(digits->data(), digits->data() + digits->size(), size).ptr !=
            digits->data() + digits->size() ||
        size > text.size() || !text.substr(size).starts_with(kLineEnd)) {
        return std::nullopt;
    }
    std::string field(text.substr(0, size));
    text.remove_prefix(size + kLineEnd.size());
    return field;
}

// The previous version's lines: the path and the title. More lines mean that one of them held
// a line end, and which one cannot be told: the path is then left out.
std::optional<RecoveryInfo> ParseOldInfo(std::string_view text) {
    std::vector<std::string_view> lines;
    while (const std::optional<std::string_view> line = TakeLine(text)) {
        lines.push_back(*line);
    }
    if (lines.size() < 2) {
        return std::nullopt;
    }
    return RecoveryInfo{lines.size() == 2 ? std::string(lines[0]) : std::string(),
                        std::string(lines.back())};
}

int64_t ModifiedNanoseconds(const std::string& path) {
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0) {
        return 0;
    }
    return int64_t{info.st_mtim.tv_sec} * 1'000'000'000 + info.st_mtim.tv_nsec;
}

// Up to `limit` bytes from the start of an open file; nullopt when reading fails.
std::optional<std::string> ReadPrefix(int fd, std::size_t limit) {
    struct stat info {};
    if (fstat(fd, &info) != 0) {
        return std::nullopt;
    }
    limit = std::min(limit, static_cast<std::size_t>(std::max<off_t>(info.st_size, 0)));
    std::string bytes(limit, '\0');
    std::size_t used = 0;
    while (used < limit) {
        const ssize_t got = pread(fd, bytes.data() + used, limit - used, static_cast<off_t>(used));
        if (got == 0) {
            break;
        }
        if (got < 0 && errno != EINTR) {
            return std::nullopt;
        }
        used += got > 0 ? static_cast<std::size_t>(got) : 0;
    }
    bytes.resize(used);
    return bytes;
}

// What a start finds at one of a copy's names.
enum class Found { kNothing, kOwnFile, kRefused };

Found LookAt(const std::string& path) {
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0) {
        return errno == ENOENT ? Found::kNothing : Found::kRefused;
    }
    return S_ISREG(info.st_mode) && info.st_uid == geteuid() ? Found::kOwnFile : Found::kRefused;
}

// Reads the info file into `info`: nothing when it is missing or no info file; refused when it
// cannot be read (too many open files, say) or is not a regular file of the user's own.
Found ReadInfo(const std::string& path, std::optional<RecoveryInfo>& info) {
    const int fd = OpenOwnFile(path, O_RDONLY);
    if (fd < 0) {
        return errno == ENOENT ? Found::kNothing : Found::kRefused;
    }
    const std::optional<std::string> bytes = ReadPrefix(fd, kInfoSizeLimit);
    close(fd);
    if (!bytes) {
        return Found::kRefused;
    }
    info = ParseRecoveryInfo(*bytes);
    return info ? Found::kOwnFile : Found::kNothing;
}

// Whether the lock at `path` is held by a running program; refused when it cannot be looked at.
enum class Lock { kNone, kFree, kHeld, kRefused };

Lock LookAtLock(const std::string& path) {
    const int fd = OpenOwnFile(path, O_RDWR);
    if (fd < 0) {
        return errno == ENOENT ? Lock::kNone : Lock::kRefused;
    }
    // A running program holds its lock; this program's own lock is a separate open file, which
    // flock refuses as well.
    const bool free = flock(fd, LOCK_EX | LOCK_NB) == 0;
    close(fd);
    return free ? Lock::kFree : Lock::kHeld;
}

// Removes a dead program's lock file that guards nothing, unless a copy came meanwhile.
void RemoveLoneLock(const RecoveryPaths& paths) {
    const int fd = OpenOwnFile(paths.lock, O_RDWR);
    if (fd < 0) {
        return;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) == 0 && IsLinkedAs(fd, paths.lock) &&
        LookAt(paths.table) == Found::kNothing && LookAt(paths.info) == Found::kNothing) {
        DeleteFileQuietly(paths.lock);  // while still locked, so that no one takes it meanwhile
    }
    close(fd);
}

// The ids that name a file in the folder, sorted.
std::set<std::string> IdsIn(const std::string& folder) {
    std::set<std::string> ids;
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) {
        return ids;
    }
    while (const dirent* entry = readdir(dir)) {
        const std::string_view name = entry->d_name;
        for (std::string_view extension : kExtensions) {
            if (name.size() > extension.size() && name.ends_with(extension)) {
                ids.emplace(name.substr(0, name.size() - extension.size()));
            }
        }
    }
    closedir(dir);
    return ids;
}

// The title line of the table file open at `fd` (empty when it cannot be read).
std::string TitleOfTableFile(int fd) {
    const std::optional<std::string> prefix = ReadPrefix(fd, kTitlePrefix);
    if (!prefix) {
        return {};
    }
    LineReader lines(*prefix);
    for (int line = 1; line < 8; ++line) {  // mark, version, the window's four, separator
        lines.Next();
    }
    return std::string(lines.Next());
}

void CloseIfOpen(int& fd) {
    if (fd >= 0) {
        close(std::exchange(fd, -1));
    }
}

}  // namespace

void SetRecoveryFaultsForTesting(const RecoveryFaults* faults) {
    g_faults.store(faults, std::memory_order_release);
}

std::string RecoveryInfoBytes(const RecoveryInfo& info) {
    std::string bytes(kInfoMark);
    bytes.append(kLineEnd);
    for (const std::string* field : {&info.originalPath, &info.title}) {
        bytes.append(std::to_string(field->size())).append(kLineEnd);
        bytes.append(*field).append(kLineEnd);
    }
    return bytes;
}

std::optional<RecoveryInfo> ParseRecoveryInfo(std::string_view bytes) {
    const std::optional<std::string_view> mark = TakeLine(bytes);
    if (mark == kOldInfoMark) {
        return ParseOldInfo(bytes);
    }
    if (mark != kInfoMark) {
        return std::nullopt;
    }
    std::optional<std::string> path = TakeField(bytes);
    std::optional<std::string> title = path ? TakeField(bytes) : std::nullopt;
    if (!title) {
        return std::nullopt;
    }
    return RecoveryInfo{std::move(*path), std::move(*title)};
}

RecoveryPaths RecoveryPathsOf(const std::string& folder, const std::string& id) {
    const std::string stem = folder + "/" + id;
    return {stem + ".lock", stem + ".qvd", stem + ".info"};
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
        CloseIfOpen(lockFd_);
        ThrowFileSystemFailure(err, paths_.lock);
    }
}

RecoverySession::~RecoverySession() {
    CloseIfOpen(lockFd_);
}

void RecoverySession::End() {
    DeleteFileQuietly(paths_.table);
    DeleteFileQuietly(paths_.info);
    DeleteFileQuietly(paths_.lock);
}

void RecoverySession::Adopt(LeftCopy& copy) {
    const RecoveryPaths own = std::exchange(paths_, copy.Paths());
    struct Closing {
        int fd;
        ~Closing() { close(fd); }  // also when a test stops the adoption half way
    } const ownLock{std::exchange(lockFd_, copy.GiveLockAway())};
    AdoptionStepDone(1);
    DeleteFileQuietly(own.table);  // a copy of the table the restored one replaced
    DeleteFileQuietly(own.info);
    AdoptionStepDone(2);
    DeleteFileQuietly(own.lock);  // while still locked, so that no one takes it meanwhile
}

LeftCopy::LeftCopy(RecoveryPaths paths, std::optional<RecoveryInfo> info)
    : paths_(std::move(paths)),
      info_(info.value_or(RecoveryInfo{})),
      infoWasRead_(info.has_value()) {}

LeftCopy::~LeftCopy() {
    Release();
}

LeftCopy::LeftCopy(LeftCopy&& other) noexcept
    : paths_(std::move(other.paths_)),
      info_(std::move(other.info_)),
      infoWasRead_(other.infoWasRead_),
      lockFd_(std::exchange(other.lockFd_, -1)),
      tableFd_(std::exchange(other.tableFd_, -1)) {}

LeftCopy& LeftCopy::operator=(LeftCopy&& other) noexcept {
    if (this != &other) {
        Release();
        paths_ = std::move(other.paths_);
        info_ = std::move(other.info_);
        infoWasRead_ = other.infoWasRead_;
        lockFd_ = std::exchange(other.lockFd_, -1);
        tableFd_ = std::exchange(other.tableFd_, -1);
    }
    return *this;
}

void LeftCopy::Release() {
    CloseIfOpen(tableFd_);
    CloseIfOpen(lockFd_);
}

bool LeftCopy::Take() {
    Release();
    // A copy whose lock file went (a kill while a copy was removed) gets a new one.
    lockFd_ = OpenOwnFile(paths_.lock, O_RDWR | O_CREAT);
    if (lockFd_ < 0 || flock(lockFd_, LOCK_EX | LOCK_NB) != 0 ||
        !IsLinkedAs(lockFd_, paths_.lock) || (tableFd_ = OpenOwnFile(paths_.table, O_RDONLY)) < 0) {
        Release();
        return false;
    }
    if (!infoWasRead_) {
        info_.title = TitleOfTableFile(tableFd_);
    }
    return true;
}

std::string LeftCopy::TakenTablePath() const {
    return "/proc/self/fd/" + std::to_string(tableFd_);
}

void LeftCopy::Discard() {
    DeleteFileQuietly(paths_.table);
    DeleteFileQuietly(paths_.info);
    DeleteFileQuietly(paths_.lock);  // while still locked, so that no one takes it meanwhile
    Release();
}

int LeftCopy::GiveLockAway() {
    CloseIfOpen(tableFd_);
    return std::exchange(lockFd_, -1);
}

RecoveryScan FindLeftCopies(const std::string& folder) {
    RecoveryScan scan;
    std::vector<std::pair<int64_t, LeftCopy>> found;
    for (const std::string& id : IdsIn(folder)) {
        const RecoveryPaths paths = RecoveryPathsOf(folder, id);
        const Lock lock = LookAtLock(paths.lock);
        if (lock == Lock::kHeld) {
            continue;  // a running program's
        }
        const Found table = LookAt(paths.table);
        std::optional<RecoveryInfo> info;
        if (lock == Lock::kRefused || table == Found::kRefused ||
            (table == Found::kOwnFile && ReadInfo(paths.info, info) == Found::kRefused)) {
            ++scan.leftAlone;
        } else if (table == Found::kOwnFile) {
            found.emplace_back(ModifiedNanoseconds(paths.table), LeftCopy(paths, std::move(info)));
        } else if (lock == Lock::kFree && LookAt(paths.info) == Found::kNothing) {
            RemoveLoneLock(paths);
        }  // an info file alone holds no edits, and is left as it is
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    for (auto& entry : found) {
        scan.copies.push_back(std::move(entry.second));
    }
    return scan;
}

}  // namespace qv
