#pragma once

// Floors: the least a program must do for the same job, written plainly, measured on the same
// data in the same run so that ratios to them say how much the real code adds.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qv::bench {

// Reads the whole file with one read() into an uninitialised buffer and finds every line end
// (CR, then an LF after it) with memchr. Returns the number of lines.
std::size_t ReadAndSplit(const std::string& path);

// The same, copying every line into a std::string of its own, as a plain reader would.
void ReadSplitCopy(const std::string& path, std::vector<std::string>& lines);

// Writes the bytes the way the atomic replace does: a new file beside the target, write, fsync,
// close, rename over the target, fsync of the folder. `path` must name a folder ("dir/name").
void WriteAndRename(const std::string& path, std::string_view bytes);

// The statistics loop with nothing around it: for each non-empty text, drop the yen mark and
// commas into a small buffer and convert with std::from_chars; count, sum, maximum, minimum.
struct BareStatistics {
    int64_t data = 0;
    int64_t numbers = 0;
    double sum = 0;
    double max = 0;
    double min = 0;
};
BareStatistics BareStatisticsLoop(const std::vector<std::string_view>& texts);

// The match count loop with nothing around it: trim each text and compare it with `wanted`.
int64_t BareMatchLoop(const std::vector<std::string_view>& texts, std::string_view wanted);

// The search loop with nothing around it: how many texts memmem finds `pattern` in.
int64_t BareMemmemLoop(const std::vector<std::string_view>& texts, std::string_view pattern);

// Sorting with nothing around it: std::stable_sort of (key, row) pairs already extracted.
void StableSortPairs(std::vector<std::pair<double, int32_t>>& pairs);
void StableSortPairs(std::vector<std::pair<std::string_view, int32_t>>& pairs);

}  // namespace qv::bench
