#include "app/delimited_file_settings.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "platform/cp932.h"

namespace qv {

namespace {

bool IsTsvPath(const std::string& path) {
    std::string extension = std::filesystem::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".tsv";
}

}  // namespace

ImportSettings DetectImportSettings(std::string_view bytes, const std::string& path) {
    ImportSettings settings;
    settings.encoding = DetectTextEncoding(bytes);
    // The delimiters and line ends are ASCII in every encoding offered, so the raw bytes tell
    // (after a BOM, which would put the first field's opening quote out of place).
    if (bytes.starts_with(kUtf8Bom)) {
        bytes.remove_prefix(kUtf8Bom.size());
    }
    settings.delimiter = DetectDelimiter(bytes, IsTsvPath(path) ? kTabDelimiter : kCommaDelimiter);
    return settings;
}

std::string PreviewSample(std::string_view bytes) {
    if (bytes.size() <= kPreviewSampleSize) {
        return std::string(bytes);
    }
    const std::string_view head = bytes.substr(0, kPreviewSampleSize);
    const std::size_t lineEnd = head.find_last_of("\r\n");
    return std::string(lineEnd == std::string_view::npos ? head : head.substr(0, lineEnd + 1));
}

ImportPreview PreviewImport(std::string_view sample, const ImportSettings& settings,
                            std::size_t maxRows) {
    const Cp932Text text = ToCp932(std::string(sample), settings.encoding);
    const bool names = settings.firstRecord == FirstRecord::ItemNames;
    const std::vector<std::vector<std::string>> records =
        ParseDelimitedRecords(text.cp932, settings.delimiter, maxRows + (names ? 1 : 0));
    ImportPreview preview;
    for (std::size_t i = 0; i < records.size(); ++i) {
        std::vector<std::string> shown;
        for (const std::string& field : records[i]) {
            shown.push_back(Cp932ToUtf8(field));
        }
        (names && i == 0 ? preview.itemNames : preview.rows.emplace_back()) = std::move(shown);
    }
    return preview;
}

}  // namespace qv
