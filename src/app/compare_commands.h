#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/compare_session.h"
#include "app/document_change.h"
#include "app/interchange_commands.h"

namespace qv {

// "表の比較": the current table compared with another table file (a .qvd, or a CSV/TSV file
// through the import dialog), in the compare window. The other file is only read.
class CompareCommands : private CommandGroup {
public:
    CompareCommands(TableDocument& document, WindowSystem& windows,
                    InterchangeCommands& interchange)
        : CommandGroup(document, windows), interchange_(interchange) {}
    // The window lets go of the comparison, which points into the document.
    ~CompareCommands();

    // The menu command: the open dialog, the file read, the pairing asked for, the window shown.
    void CompareWithFile();
    // Starts a comparison with a table already read (replacing any before) and shows it.
    void CompareWith(std::unique_ptr<TableGrid> other, std::string otherName,
                     std::vector<int32_t> keyColumns);
    // The comparison shown, if any.
    CompareSession* Session() { return session_.get(); }

private:
    InterchangeCommands& interchange_;
    std::unique_ptr<CompareSession> session_;
    std::string dialogFileName_;
};

}  // namespace qv
