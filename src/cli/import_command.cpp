// quorvane-cli import CSV OUT.qvd: a CSV or TSV file as a new table file, as the program's import
// command reads it and its save writes it. The file is written atomically, and an existing
// OUT.qvd is left alone unless --force is given.
#include <filesystem>
#include <ostream>

#include "cli/cli_commands.h"
#include "cli/cli_table_loading.h"
#include "interchange/delimited_import.h"
#include "platform/cp932.h"
#include "platform/failure.h"
#include "platform/files.h"
#include "table/table_file_format.h"
#include "table/table_file_writer.h"

namespace qv::cli {

namespace {

char PreferredDelimiter(const std::string& path) {
    const std::string extension = std::filesystem::path(path).extension().string();
    return extension == ".tsv" || extension == ".TSV" ? '\t' : ',';
}

}  // namespace

int RunImport(const ImportArguments& args, std::ostream& err) {
    try {
        if (IsExistingFile(args.out) && !args.force) {
            throw Failure(args.out + " は既にあります (上書きするには --force)");
        }
        // A given title must be exact; a file name's characters that CP932 lacks become "〓".
        // Either way control characters become blanks, as the window's import has them.
        std::optional<std::string> title =
            args.title ? Utf8ToCp932(*args.title) : TitleFromFileName(args.csv);
        if (!title) {
            err << "TITLE must be UTF-8 text that Shift-JIS (CP932) can hold\n";
            return kExitUsage;
        }
        DelimitedImportOptions options;
        options.encoding = args.encoding;
        options.delimiter = args.delimiter;
        options.firstRecord = args.header ? FirstRecord::ItemNames : FirstRecord::Data;
        options.preferredDelimiter = PreferredDelimiter(args.csv);
        DelimitedImport imported = ImportDelimitedText(ReadWholeFile(args.csv), options);
        if (imported.unencodableCount > 0 && !args.replaceUnencodable) {
            throw Failure(UnencodableMessage(imported) +
                          " (「〓」で読み込むには --replace-unencodable)");
        }
        LoadedTable table;
        const WindowGeometry window = imported.content.window;
        ApplyTableFile(std::move(imported.content), table.grid, table.title);
        table.title = TitleForTableFile(std::move(*title));
        SaveTableFile(args.out, table.grid, table.title, window);
        return kExitOk;
    } catch (const std::exception& failure) {
        return ReportFailure(failure, err);
    }
}

}  // namespace qv::cli
