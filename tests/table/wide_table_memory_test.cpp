// What a wide table costs: every heap block of this test program is counted (its usable size),
// so that the memory a column takes is measured, not guessed from the code.
#include <gtest/gtest.h>
#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "table/main_table_shape.h"
#include "table/table_file_reader.h"

// The replacements below pair malloc with free; g++ sees only the names new and free.
// The library's sized delete calls the plain one replaced below.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#pragma GCC diagnostic ignored "-Wsized-deallocation"

namespace {
std::atomic<long long> liveHeapBytes{0};
std::atomic<long long> peakHeapBytes{0};  // the most liveHeapBytes reached since last reset
}  // namespace

// The other forms of new and delete call these two; the sanitizer's allocator keeps its own.
#if !defined(__SANITIZE_ADDRESS__)
void* operator new(std::size_t size) {
    void* p = std::malloc(size == 0 ? 1 : size);
    if (p == nullptr) {
        throw std::bad_alloc();
    }
    const long long live = liveHeapBytes += static_cast<long long>(malloc_usable_size(p));
    long long peak = peakHeapBytes;
    while (live > peak && !peakHeapBytes.compare_exchange_weak(peak, live)) {
    }
    return p;
}
void operator delete(void* p) noexcept {
    if (p != nullptr) {
        liveHeapBytes -= static_cast<long long>(malloc_usable_size(p));
        std::free(p);
    }
}
#endif

namespace qv {
namespace {

constexpr int32_t kColumns = 20000;

TEST(WideTableMemory, OneTextPerColumnCostsTensOfBytes) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer's allocator is not counted";
#endif
    // A loaded column costs its width (2 bytes, as the file's widths differ from the default)
    // and its line's bounds (about 2) after the load, and the reader's copy of the widths
    // besides at the peak: the columns stay one run of the file's lines. A typed one costs its
    // grid entry (48 bytes) and its text's block, and the grid's list of columns grows ahead by
    // an eighth.
    enum class Fill { LoadedFromFile, TypedCellByCell };
    const struct {
        Fill fill;
        long long bytesPerColumn, peakBytesPerColumn;
    } cases[] = {{Fill::LoadedFromFile, 6, 10}, {Fill::TypedCellByCell, 80, 130}};
    for (const auto [fill, bytesPerColumn, peakBytesPerColumn] : cases) {
        std::string widths, cells;
        for (int32_t col = 0; col < kColumns && fill == Fill::LoadedFromFile; ++col) {
            widths += "64\r\n";
            cells += "ab\r\n";
        }
        std::string file = "Quorvane\r\n100\r\n0\r\n0\r\n9\r\n9\r\n-\r\nT\r\n" +
                           std::to_string(kColumns + 1) + "\r\n1\r\n" + widths + "-\r\n" + cells;
        widths = cells = std::string();
        TableGrid grid(kMainTableShape);
        std::string title;
        const long long before = peakHeapBytes = liveHeapBytes.load();
        if (fill == Fill::LoadedFromFile) {
            ApplyTableFile(std::move(*ParseTableFile(std::move(file))), grid, title);
        } else {
            for (int32_t col = 1; col <= kColumns; ++col) {
                grid.SetCell(col, 0, "ab");
            }
        }
        const long long perColumn = (liveHeapBytes - before) / kColumns;
        const long long peakPerColumn = (peakHeapBytes - before) / kColumns;
        EXPECT_LT(perColumn, bytesPerColumn) << "fill " << static_cast<int>(fill);
        EXPECT_LT(peakPerColumn, peakBytesPerColumn) << "fill " << static_cast<int>(fill);
        EXPECT_EQ(grid.Cell(kColumns, 0), "ab");
    }
}

}  // namespace
}  // namespace qv
