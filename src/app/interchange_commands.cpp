// CSV and TSV files in and out of the main table, and files the desktop hands the program (a
// command-line argument, a file dropped on the main window).
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <memory>
#include <system_error>

#include "app/command_progress.h"
#include "app/interchange_commands.h"
#include "interchange/delimited_export.h"
#include "platform/cp932.h"
#include "platform/files.h"
#include "table/table_file_format.h"

namespace qv {

namespace {

constexpr const char* kImportTitle = "CSV/TSVの読み込み";
constexpr const char* kExportTitle = "CSV/TSVへの書き出し";
constexpr const char* kReplaceUnencodableQuestion =
    "\nこれらの文字を「〓」に置き換えて読み込みますか？";
// How many cells an export's message names.
constexpr std::size_t kCellsNamed = 5;

FileDialogRequest ImportOpenRequest(const std::string& fileName) {
    FileDialogRequest request;
    request.title = kImportTitle;
    request.filters = {{"CSV・TSVファイル(*.csv;*.tsv;*.txt)", "*.csv *.tsv *.txt"},
                       {"すべてのファイル(*.*)", "*.*"}};
    request.fileName = fileName;
    return request;
}

FileDialogRequest ExportSaveRequest(bool tsv, const std::string& fileName) {
    FileDialogRequest request;
    request.title = kExportTitle;
    request.filters = {
        tsv ? FileFilter{"TSVファイル(*.tsv)", "*.tsv"} : FileFilter{"CSVファイル(*.csv)", "*.csv"},
        {"すべてのファイル(*.*)", "*.*"}};
    request.fileName = fileName;
    request.confirmOverwrite = true;
    return request;
}

std::string LowerExtension(const std::string& path) {
    std::string extension = std::filesystem::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

bool HasDelimitedExtension(const std::string& path) {
    const std::string extension = LowerExtension(path);
    return extension == ".csv" || extension == ".tsv" || extension == ".txt";
}

// Whether line 1 of the file is the table file's mark (a table may be saved under any name).
// Raises Failure when the file cannot be read, as opening it would.
bool IsTableFile(const std::string& path) {
    return StartsWithTableFileMark(ReadFilePrefix(path, kTableFileMarkPrefixLength));
}

std::string ReplacedCellsMessage(const DelimitedWriteReport& report) {
    std::string message = "Shift-JIS として正しくない文字を含むセルが " +
                          std::to_string(report.invalidCount) +
                          " 個あり、「〓」として書き出しました: ";
    for (std::size_t i = 0; i < report.invalidCells.size() && i < kCellsNamed; ++i) {
        const GridCell cell = report.invalidCells[i];
        message += (i > 0 ? "、" : "") +
                   (cell.row == 0 ? std::string("項目名") : std::to_string(cell.row) + " 行") +
                   " " + std::to_string(cell.col) + " 列";
    }
    return message + (report.invalidCount > kCellsNamed ? " ほか" : "");
}

}  // namespace

void InterchangeCommands::ImportDelimitedFile() {
    if (!files_.AskBeforeReplacingTable()) {
        return;
    }
    const std::optional<std::string> chosen =
        windows_.RunOpenDialog(ImportOpenRequest(importDialogFileName_));
    if (chosen) {
        importDialogFileName_ = *chosen;
        ImportFileThroughDialog(*chosen);
    }
}

void InterchangeCommands::OpenFile(const std::string& path) {
    if (!files_.AskBeforeReplacingTable()) {
        return;
    }
    std::error_code error;
    std::string full = std::filesystem::absolute(path, error).string();
    if (error || path.empty()) {
        full = path;
    }
    if (HasDelimitedExtension(full) && !IsTableFile(full)) {
        ImportFileThroughDialog(full);
        return;
    }
    files_.RequestLoad(full);
    files_.LoadTableFile();
}

std::optional<DelimitedImport> InterchangeCommands::ImportThroughDialog(const std::string& path) {
    // The file is read only as a regular file, so a FIFO or a folder fails here at once.
    std::string bytes = ConvertUtf16File(ReadWholeFile(path));
    const ImportDialogRequest request{path, PreviewSample(bytes),
                                      DetectImportSettings(bytes, path)};
    const std::optional<ImportSettings> settings = windows_.RunImportDialog(request);
    if (!settings) {
        return std::nullopt;
    }
    DelimitedImportOptions options;
    options.delimiter = settings->delimiter;
    options.encoding = settings->encoding;
    options.firstRecord = settings->firstRecord;
    std::optional<DelimitedImport> read =
        ComputeWithProgress(windows_, kImportTitle, [&](const WorkProgress& progress) {
            options.progress = progress;
            return ImportDelimitedText(std::move(bytes), options);
        });
    if (!read) {
        return std::nullopt;
    }
    DelimitedImport& imported = *read;
    if (imported.unencodableCount > 0) {
        const std::string question = UnencodableMessage(imported) + kReplaceUnencodableQuestion;
        if (windows_.ShowMessage(question, MessageKind::Confirmation,
                                 MessageButton::Yes | MessageButton::No) != MessageButton::Yes) {
            return std::nullopt;
        }
    }
    return read;
}

void InterchangeCommands::ImportFileThroughDialog(const std::string& path) {
    std::optional<DelimitedImport> imported = ImportThroughDialog(path);
    if (!imported) {
        return;
    }
    // Like a load, the table is replaced and its history starts anew; unlike one, it is not
    // saved anywhere yet.
    std::string title = TitleFromFileName(path);
    document_.Replace([&imported, &title](TableGrid& grid, std::string& tableTitle) {
        ApplyTableFile(std::move(imported->content), grid, tableTitle);
        tableTitle = std::move(title);
    });
    document_.SetFileName("");
    // Saving offers a table file beside the imported one rather than the last table saved.
    files_.SetSaveDialogFileName(
        std::filesystem::path(path).replace_extension(kTableExtension).string());
    document_.MarkUnsaved();
    windows_.TitleChanged();
    document_.RenumberRows();
    windows_.EditStateChanged();
}

std::optional<TableFileContent> InterchangeCommands::ReadTableForReading(const std::string& path) {
    if (HasDelimitedExtension(path) && !IsTableFile(path)) {
        std::optional<DelimitedImport> imported = ImportThroughDialog(path);
        return imported ? std::optional<TableFileContent>(std::move(imported->content))
                        : std::nullopt;
    }
    std::optional<TableFileContent> content = ReadTableFile(path);
    if (!content) {
        windows_.ShowMessage(kUnusableFileMessage, MessageKind::Error, Buttons(MessageButton::OK));
    }
    return content;
}

void InterchangeCommands::ExportDelimitedFile() {
    exportShownOnly_ = false;
    if (document_.Shown().Filtered()) {
        const MessageButton answer = windows_.ShowMessage(
            "フィルターで表示中の行だけを書き出しますか？\n"
            "「いいえ」を選ぶと、すべての行を書き出します。",
            MessageKind::Confirmation,
            MessageButton::Yes | MessageButton::No | MessageButton::Cancel);
        if (answer == MessageButton::Cancel) {
            return;
        }
        exportShownOnly_ = answer == MessageButton::Yes;
    }
    const std::optional<ExportSettings> settings = windows_.RunExportDialog(exportSettings_);
    if (!settings) {
        return;
    }
    exportSettings_ = *settings;
    const bool tsv = settings->delimiter == kTabDelimiter;
    const char* extension = tsv ? ".tsv" : ".csv";
    std::string offered = exportDialogFileName_;
    if (offered.empty() && !document_.FileName().empty()) {
        offered = std::filesystem::path(document_.FileName()).replace_extension(extension).string();
    }
    std::optional<std::string> chosen = windows_.RunSaveDialog(ExportSaveRequest(tsv, offered));
    if (!chosen) {
        return;
    }
    exportDialogFileName_ = *chosen;
    std::string path = std::move(*chosen);
    if (!std::filesystem::path(path).has_extension()) {
        path += extension;
        // The dialog asked about the name as typed; the file actually replaced needs its own yes.
        if (IsExistingFile(path) && !files_.ConfirmReplacing(path)) {
            return;
        }
    }
    WriteDelimitedFile(path, *settings);
}

void InterchangeCommands::WriteDelimitedFile(const std::string& path,
                                             const ExportSettings& settings) {
    std::unique_ptr<ProgressMonitor> monitor =
        windows_.StartProgress(kExportTitle, ProgressKind::Save);
    const int32_t rows = Grid().RowCount();
    const DelimitedWriteReport report =
        exportShownOnly_
            ? ExportDelimitedRows(path, Grid(), document_.Shown().Rows(), settings.delimiter,
                                  settings.encoding)
            : qv::ExportDelimitedFile(path, Grid(), TableCellRange(Grid()), settings.delimiter,
                                      settings.encoding, [&monitor, rows](int32_t done) {
                                          if (monitor) {
                                              monitor->Advance(static_cast<uint64_t>(done),
                                                               static_cast<uint64_t>(rows));
                                          }
                                      });
    monitor.reset();
    if (report.invalidCount > 0) {
        windows_.ShowMessage(ReplacedCellsMessage(report), MessageKind::Warning,
                             Buttons(MessageButton::OK));
    }
}

}  // namespace qv
