#include "bench_floors.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <memory>
#include <stdexcept>

namespace qv::bench {

namespace {

struct FileBytes {
    std::unique_ptr<char[]> data;
    std::size_t size = 0;
};

FileBytes ReadRaw(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        throw std::runtime_error("cannot open " + path);
    }
    struct stat info {};
    fstat(fd, &info);
    FileBytes bytes;
    bytes.size = static_cast<std::size_t>(info.st_size);
    bytes.data.reset(new char[bytes.size]);
    std::size_t done = 0;
    while (done < bytes.size) {
        const ssize_t got = read(fd, bytes.data.get() + done, bytes.size - done);
        if (got <= 0) {
            break;
        }
        done += static_cast<std::size_t>(got);
    }
    close(fd);
    bytes.size = done;
    return bytes;
}

// Calls f(line) for every line: a line ends at CR, and an LF right after it belongs to the end.
template <class F>
void SplitLines(const char* p, const char* end, F&& f) {
    while (p < end) {
        const char* cr = static_cast<const char*>(std::memchr(p, '\r', end - p));
        if (cr == nullptr) {
            f(std::string_view(p, end - p));
            return;
        }
        f(std::string_view(p, cr - p));
        p = cr + 1;
        if (p < end && *p == '\n') {
            ++p;
        }
    }
}

}  // namespace

std::size_t ReadAndSplit(const std::string& path) {
    const FileBytes bytes = ReadRaw(path);
    std::size_t lines = 0;
    SplitLines(bytes.data.get(), bytes.data.get() + bytes.size,
               [&lines](std::string_view) { ++lines; });
    return lines;
}

void ReadSplitCopy(const std::string& path, std::vector<std::string>& lines) {
    const FileBytes bytes = ReadRaw(path);
    SplitLines(bytes.data.get(), bytes.data.get() + bytes.size,
               [&lines](std::string_view line) { lines.emplace_back(line); });
}

void WriteAndRename(const std::string& path, std::string_view bytes) {
    const std::string temp = path + ".floor";
    const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        throw std::runtime_error("cannot create " + temp);
    }
    while (!bytes.empty()) {
        const ssize_t written = write(fd, bytes.data(), bytes.size());
        if (written <= 0) {
            close(fd);
            throw std::runtime_error("cannot write " + temp);
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    fsync(fd);
    close(fd);
    if (rename(temp.c_str(), path.c_str()) != 0) {
        throw std::runtime_error("cannot rename " + temp);
    }
    // The rename itself is made durable, as the atomic replace does.
    const std::string folder = path.substr(0, path.find_last_of('/') + 1) + ".";
    const int folderFd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        fsync(folderFd);
        close(folderFd);
    }
}

BareStatistics BareStatisticsLoop(const std::vector<std::string_view>& texts) {
    BareStatistics stats;
    char buffer[64];
    for (std::string_view text : texts) {
        if (text.empty()) {
            continue;
        }
        ++stats.data;
        std::size_t used = 0;
        for (char c : text) {
            if (c != '\x5C' && c != ',' && used < sizeof buffer) {
                buffer[used++] = c;
            }
        }
        double v = 0;
        const auto result = std::from_chars(buffer, buffer + used, v);
        if (result.ec != std::errc() || result.ptr != buffer + used) {
            continue;
        }
        if (stats.numbers++ == 0) {
            stats.max = stats.min = v;
        }
        stats.max = v > stats.max ? v : stats.max;
        stats.min = v < stats.min ? v : stats.min;
        stats.sum += v;
    }
    return stats;
}

int64_t BareMatchLoop(const std::vector<std::string_view>& texts, std::string_view wanted) {
    int64_t count = 0;
    for (std::string_view text : texts) {
        while (!text.empty() && static_cast<unsigned char>(text.front()) <= 32) {
            text.remove_prefix(1);
        }
        while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32) {
            text.remove_suffix(1);
        }
        count += text == wanted ? 1 : 0;
    }
    return count;
}

int64_t BareMemmemLoop(const std::vector<std::string_view>& texts, std::string_view pattern) {
    int64_t count = 0;
    for (std::string_view text : texts) {
        count +=
            memmem(text.data(), text.size(), pattern.data(), pattern.size()) != nullptr ? 1 : 0;
    }
    return count;
}

void StableSortPairs(std::vector<std::pair<double, int32_t>>& pairs) {
    std::stable_sort(pairs.begin(), pairs.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
}

void StableSortPairs(std::vector<std::pair<std::string_view, int32_t>>& pairs) {
    std::stable_sort(pairs.begin(), pairs.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
}

}  // namespace qv::bench
