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
#include "platform/utf8.h"
#include "tools/match_count.h"

namespace qv::cli {

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
