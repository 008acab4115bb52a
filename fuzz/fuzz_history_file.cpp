// The history file reader on any bytes: never crashes, and the list it builds writes back to a
// file that reads to the same list.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "history/history_file.h"
#include "history/title_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qv::TitleList list;
    qv::ParseHistoryFile(std::string_view(reinterpret_cast<const char*>(data), size), list);
    if (list.Titles().size() != list.Paths().size()) {
        std::abort();
    }
    qv::TitleList again;
    qv::ParseHistoryFile(qv::BuildHistoryFile(list), again);
    const std::size_t kept = std::min(list.Size(), qv::kHistoryFileMaxEntries);
    if (again.Size() > kept) {
        std::abort();
    }
    return 0;
}
