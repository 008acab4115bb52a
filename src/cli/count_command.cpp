// quorvane-cli count FILE COL TEXT: how many data cells of one column equal TEXT, blanks at
// either end not counting, as the program's "計数" command reports it.
//
// The cells hold CP932 bytes, so TEXT (UTF-8, as the shell passes it) is converted to CP932
// before it is compared. A TEXT that is valid UTF-8 but holds a character CP932 has no code for
// can equal no cell: the count is 0. A TEXT that is not valid UTF-8 is a usage error, since it
// cannot be told what text it means.
#include <optional>
#include <ostream>

#include "cli/cli_commands.h"
#include "cli/cli_table_loading.h"
#include "platform/cp932.h"
#include "platform/failure.h"
#include "tools/match_count.h"

namespace qv::cli {

namespace {

// Bytes 0x80..0xBF continue a UTF-8 sequence.
bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// Whether `text` is well-formed UTF-8: no stray or missing continuation bytes, no overlong
// form, no surrogate, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        char32_t value = 0;
        char32_t smallest = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if ((lead & 0xE0) == 0xC0) {
            length = 2, value = lead & 0x1F, smallest = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3, value = lead & 0x0F, smallest = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4, value = lead & 0x07, smallest = 0x10000;
        } else {
            return false;
        }
        if (text.size() - i < length) {
            return false;
        }
        for (std::size_t k = 1; k < length; ++k) {
            const auto byte = static_cast<unsigned char>(text[i + k]);
            if (!IsContinuation(byte)) {
                return false;
            }
            value = (value << 6) | (byte & 0x3F);
        }
        if (value < smallest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
            return false;
        }
        i += length;
    }
    return true;
}

}  // namespace

int RunCount(const std::string& file, int32_t col, const std::string& textUtf8, std::ostream& out,
             std::ostream& err) {
    if (const int usage = CheckColumnArgument(col, err); usage != kExitOk) {
        return usage;
    }
    if (!IsValidUtf8(textUtf8)) {
        err << "TEXT is not valid UTF-8\n";
        return kExitUsage;
    }
    // Nothing when TEXT holds a character without a CP932 code: it then matches no cell.
    const std::optional<std::string> searchText = Utf8ToCp932(textUtf8);
    return RunOnColumn(file, col, err, [&](const TableGrid& grid) {
        const int32_t matches = searchText ? CountMatchingCells(grid, col, *searchText) : 0;
        out << MatchCountMessage(matches) << '\n';
    });
}

}  // namespace qv::cli
