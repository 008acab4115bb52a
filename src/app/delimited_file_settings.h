#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "interchange/delimited_import.h"
#include "interchange/delimited_text.h"
#include "interchange/text_encoding.h"

namespace qv {

// What the import and export dialogs show and answer, and the import dialog's preview.

struct ImportSettings {
    char delimiter = kCommaDelimiter;  // comma, tab or semicolon
    TextEncoding encoding = TextEncoding::Utf8;
    FirstRecord firstRecord = FirstRecord::ItemNames;
};

struct ExportSettings {
    char delimiter = kCommaDelimiter;  // comma (CSV) or tab (TSV)
    TextEncoding encoding = TextEncoding::Utf8WithBom;
};

// The import dialog's question: the file, its first lines for the preview (whole lines only,
// so that no character is cut), and the settings detected for it.
struct ImportDialogRequest {
    std::string path;
    std::string sample;
    ImportSettings detected;
};

// The settings detected for a file's bytes: its encoding, and its delimiter (tab wins a tie for
// a ".tsv" path, comma otherwise); the first record is taken for the item names.
ImportSettings DetectImportSettings(std::string_view bytes, const std::string& path);

// The first lines of `bytes` up to about kPreviewSampleSize bytes, ending at a line end unless
// the whole text is shorter.
inline constexpr std::size_t kPreviewSampleSize = 64 * 1024;
std::string PreviewSample(std::string_view bytes);

// The first records of the sample as the settings read them, in UTF-8 for display; characters
// the table cannot hold show as "〓", as the import would store them. The item names are empty
// unless the first record holds them; every row is as wide as the widest.
struct ImportPreview {
    std::vector<std::string> itemNames;
    std::vector<std::vector<std::string>> rows;
};
ImportPreview PreviewImport(std::string_view sample, const ImportSettings& settings,
                            std::size_t maxRows);

}  // namespace qv
