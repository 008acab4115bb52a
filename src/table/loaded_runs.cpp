#include "table/loaded_runs.h"

#include <iterator>

namespace qv {

LoadedLineRows::LoadedLineRows(const LineBounds* lineBounds, int32_t first, int32_t stride,
                               int32_t rowCount)
    : bounds(lineBounds), firstLine(first), lineStride(stride) {
    rows.resize(static_cast<std::size_t>(std::max(rowCount, 0)));
    for (std::size_t r = 0; r < rows.size(); ++r) {
        CellChunk& row = rows[r];
        row.kind = CellChunk::Kind::Lines;
        row.size = lineStride;
        row.firstLabel = firstLine + static_cast<int32_t>(r) * lineStride;
        row.lineStride = 1;
        row.cells.Hold(bounds);
    }
}

const LoadedRuns::Run* LoadedRuns::Find(int32_t col) const {
    auto it = std::upper_bound(runs_.begin(), runs_.end(), col,
                               [](int32_t c, const Run& run) { return c < run.firstCol; });
    if (it == runs_.begin()) {
        return nullptr;
    }
    --it;
    return col < it->EndCol() ? &*it : nullptr;
}

void LoadedRuns::Add(std::vector<Run>&& runs) {
    if (runs.empty()) {
        return;
    }
    runs_.insert(runs_.end(), std::make_move_iterator(runs.begin()),
                 std::make_move_iterator(runs.end()));
    std::stable_sort(runs_.begin(), runs_.end(),
                     [](const Run& a, const Run& b) { return a.firstCol < b.firstCol; });
}

std::size_t LoadedRuns::SplitAt(int32_t col) {
    auto it = std::lower_bound(runs_.begin(), runs_.end(), col,
                               [](const Run& run, int32_t c) { return run.firstCol < c; });
    if (it == runs_.begin() || (it - 1)->EndCol() <= col) {
        return static_cast<std::size_t>(it - runs_.begin());
    }
    Run& head = *(it - 1);
    Run tail = head;
    const int32_t headCols = col - head.firstCol;
    tail.firstCol = col;
    tail.cols = head.cols - headCols;
    tail.origin = head.origin + headCols;
    head.cols = headCols;
    const auto inserted = runs_.insert(it, std::move(tail));
    return static_cast<std::size_t>(inserted - runs_.begin());
}

std::vector<std::pair<int32_t, CellColumn>> LoadedRuns::Take(int32_t colBegin, int32_t colEnd) {
    std::vector<std::pair<int32_t, CellColumn>> taken;
    const std::size_t count = ColumnCount(colBegin, colEnd);
    if (count == 0) {
        return taken;
    }
    taken.reserve(count);  // before the runs are cut: it may fail
    const std::size_t first = SplitAt(colBegin);
    const std::size_t last = SplitAt(colEnd);
    for (std::size_t i = first; i < last; ++i) {
        for (int32_t col = runs_[i].firstCol; col < runs_[i].EndCol(); ++col) {
            taken.emplace_back(col, ColumnOf(runs_[i], col));
        }
    }
    runs_.erase(runs_.begin() + static_cast<std::ptrdiff_t>(first),
                runs_.begin() + static_cast<std::ptrdiff_t>(last));
    return taken;
}

void LoadedRuns::Drop(int32_t colBegin, int32_t colEnd) {
    if (!Any(colBegin, colEnd)) {
        return;
    }
    const std::size_t first = SplitAt(colBegin);
    const std::size_t last = SplitAt(colEnd);
    runs_.erase(runs_.begin() + static_cast<std::ptrdiff_t>(first),
                runs_.begin() + static_cast<std::ptrdiff_t>(last));
}

bool LoadedRuns::Any(int32_t colBegin, int32_t colEnd, int32_t rowEnd) const {
    return std::any_of(runs_.begin(), runs_.end(), [&](const Run& run) {
        return run.firstCol < colEnd && run.EndCol() > colBegin && run.rows > rowEnd;
    });
}

int32_t LoadedRuns::RowEnd(int32_t colBegin, int32_t colEnd) const {
    int32_t end = 0;
    for (const Run& run : runs_) {
        if (run.firstCol < colEnd && run.EndCol() > colBegin) {
            end = std::max(end, run.rows);
        }
    }
    return end;
}

std::size_t LoadedRuns::ColumnCount(int32_t colBegin, int32_t colEnd) const {
    std::size_t count = 0;
    for (const Run& run : runs_) {
        const int32_t first = std::max(colBegin, run.firstCol);
        const int32_t end = std::min(colEnd, run.EndCol());
        count += first < end ? static_cast<std::size_t>(end - first) : 0;
    }
    return count;
}

std::vector<int32_t> LoadedRuns::ColumnNumbers(int32_t colBegin, int32_t colEnd) const {
    std::vector<int32_t> numbers;
    for (const Run& run : runs_) {
        for (int32_t col = std::max(colBegin, run.firstCol); col < std::min(colEnd, run.EndCol());
             ++col) {
            numbers.push_back(col);
        }
    }
    return numbers;
}

void LoadedRuns::Move(int32_t from, int32_t to) {
    if (runs_.empty() || from == to) {
        return;
    }
    // Cut so that the moved column is a run of its own and every other run moves as a whole.
    SplitAt(from);
    SplitAt(from + 1);
    SplitAt(from < to ? to + 1 : to);
    for (Run& run : runs_) {
        if (run.firstCol == from) {
            run.firstCol = to;
        } else if (from < to && run.firstCol > from && run.firstCol <= to) {
            run.firstCol -= 1;
        } else if (from > to && run.firstCol >= to && run.firstCol < from) {
            run.firstCol += 1;
        }
    }
    std::sort(runs_.begin(), runs_.end(),
              [](const Run& a, const Run& b) { return a.firstCol < b.firstCol; });
    Join();
}

void LoadedRuns::Join() {
    std::size_t kept = 0;
    for (std::size_t i = 1; i < runs_.size(); ++i) {
        Run& last = runs_[kept];
        Run& next = runs_[i];
        if (last.EndCol() == next.firstCol && last.lines == next.lines && last.rows == next.rows &&
            last.origin + last.cols == next.origin) {
            last.cols += next.cols;
        } else if (++kept != i) {
            runs_[kept] = std::move(next);
        }
    }
    runs_.resize(kept + 1);
}

void LoadedRuns::CollectArenaPointers(std::vector<const char*>& out) const {
    for (const Run& run : runs_) {
        if (run.rows > 0) {
            out.push_back(run.Text(run.firstCol, 0).data());
        }
    }
}

CellColumn::Segment LoadedRuns::SegmentAt(const Run& run, int32_t col, int32_t row, int32_t limit) {
    if (row >= run.rows) {
        return {limit - row, 0, nullptr};
    }
    // One row at a time: the lines of a column's rows are a row of the file apart.
    return {1, run.lines->lineStride, nullptr, &run.lines->rows[static_cast<std::size_t>(row)],
            run.origin + col - run.firstCol};
}

CellColumn LoadedRuns::ColumnOf(const Run& run, int32_t col) {
    const LoadedLineRows& lines = *run.lines;
    return CellColumn::OfLines(lines.bounds, lines.firstLine + run.origin + col - run.firstCol,
                               lines.lineStride, run.rows);
}

}  // namespace qv
