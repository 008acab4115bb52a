// "表の比較": choosing the other table and how its rows pair with the current one's.
#include "app/compare_commands.h"

#include <filesystem>

#include "platform/cp932.h"
#include "table/main_table_shape.h"
#include "table/table_file_reader.h"

namespace qv {

namespace {

FileDialogRequest CompareOpenRequest(const std::string& fileName) {
    FileDialogRequest request;
    request.title = "比較する表";
    request.filters = {{"Quorvaneの表データ(*.qvd)", "*.qvd"},
                       {"CSV・TSVファイル(*.csv;*.tsv;*.txt)", "*.csv *.tsv *.txt"},
                       {"すべてのファイル(*.*)", "*.*"}};
    request.fileName = fileName;
    return request;
}

}  // namespace

CompareCommands::~CompareCommands() {
    if (session_) {
        windows_.ShowCompareWindow(nullptr);
    }
}

void CompareCommands::CompareWithFile() {
    const std::optional<std::string> chosen =
        windows_.RunOpenDialog(CompareOpenRequest(dialogFileName_));
    if (!chosen) {
        return;
    }
    dialogFileName_ = *chosen;
    std::optional<TableFileContent> content = interchange_.ReadTableForReading(*chosen);
    if (!content) {
        return;
    }
    CompareDialogRequest request;
    request.otherName = std::filesystem::path(*chosen).filename().string();
    for (int32_t col = 1; col < Grid().ColCount(); ++col) {
        request.itemNames.push_back(Cp932ToUtf8(Grid().Cell(col, 0)));
    }
    const std::optional<CompareSettings> settings = windows_.RunCompareDialog(request);
    if (!settings) {
        return;
    }
    auto other = std::make_unique<TableGrid>(kMainTableShape);
    std::string title;
    ApplyTableFile(std::move(*content), *other, title);
    CompareWith(std::move(other), request.otherName, settings->keyColumns);
}

void CompareCommands::CompareWith(std::unique_ptr<TableGrid> other, std::string otherName,
                                  std::vector<int32_t> keyColumns) {
    session_.reset();  // the window lets go of the comparison before the next one starts
    windows_.ShowCompareWindow(nullptr);
    session_ = std::make_unique<CompareSession>(document_, windows_, std::move(other),
                                                std::move(otherName), std::move(keyColumns));
    windows_.ShowCompareWindow(session_.get());
}

}  // namespace qv
