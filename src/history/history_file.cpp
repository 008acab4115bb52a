#include "history/history_file.h"

#include <algorithm>

#include "platform/files.h"
#include "platform/line_reader.h"
#include "platform/line_writer.h"

namespace qv {

void LoadHistoryFile(const std::string& path, TitleList& list) {
    if (!IsExistingFile(path)) {
        return;
    }
    ParseHistoryFile(ReadWholeFile(path), list);
}

void ParseHistoryFile(std::string_view text, TitleList& list) {
    LineReader lines(text);
    while (!lines.AtEnd()) {
        std::string entryPath(lines.Next());
        std::string_view title = lines.Next();
        if (IsExistingFile(entryPath)) {
            list.Append(std::move(entryPath), std::string(title));
        }
    }
}

std::string BuildHistoryFile(const TitleList& list) {
    LineWriter out;
    const std::size_t count = std::min(list.Size(), kHistoryFileMaxEntries);
    for (std::size_t i = 0; i < count; ++i) {
        out.Line(list.Path(i));
        out.Line(list.Title(i));
    }
    return out.Take();
}

void SaveHistoryFile(const std::string& path, TitleList& list) {
    if (list.Empty()) {
        return;
    }
    TitleList stored;
    LoadHistoryFile(path, stored);
    list.MergeFromOtherCopies(stored);
    ReplaceFileAtomically(path, BuildHistoryFile(list));
}

bool FitsHistoryFile(std::string_view path) {
    return path.find_first_of(std::string_view("\r\x1A", 2)) == std::string_view::npos;
}

}  // namespace qv
