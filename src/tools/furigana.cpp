#include "tools/furigana.h"

#include "platform/cp932.h"
#include "tools/character_conversion.h"
#include "tools/reading_dictionary.h"

namespace qv {

namespace {

constexpr int32_t kProgressRows = 4096;

// The item name of the furigana column (CP932): "<name>のふりがな", or "ふりがな" alone.
std::string FuriganaItemName(std::string_view name) {
    const std::string suffix = Utf8ToCp932(name.empty() ? "ふりがな" : "のふりがな").value();
    return std::string(name) + suffix;
}

}  // namespace

std::string KatakanaReading(std::string_view cp932, ReadingDictionary& dictionary) {
    std::string text(PartToRead(cp932));
    std::string converted;
    if (ConvertCharacters(text, CharacterConversion::ToFullWidthKana, converted)) {
        text = std::move(converted);
    }
    const std::string utf8 = Cp932ToUtf8(text);
    if (NeedsDictionary(utf8)) {
        return Utf8ToCp932Replacing(dictionary.Reading(utf8), "\x81\xA6",  // 〓
                                    [](std::size_t, char32_t) {});
    }
    if (ConvertCharacters(text, CharacterConversion::ToKatakana, converted)) {
        return converted;
    }
    return text;
}

std::optional<CellTextList> FuriganaCells(const TableGrid& grid, int32_t sourceCol,
                                          int32_t targetCol, const SortProgress& progress,
                                          ReadingDictionary* dictionary) {
    ReadingDictionary& readings = dictionary != nullptr ? *dictionary : ReadingDictionary::Shared();
    CellTextList cells;
    cells.Add(GridCell{targetCol, 0}, FuriganaItemName(grid.Cell(sourceCol, 0)));
    const int32_t end = grid.RowCount();
    for (int32_t row = 1; row < end; ++row) {
        if (progress && row % kProgressRows == 0 && !progress(row, end - 1)) {
            return std::nullopt;
        }
        const std::string_view text = grid.Cell(sourceCol, row);
        if (!text.empty()) {
            cells.Add(GridCell{targetCol, row}, KatakanaReading(text, readings));
        }
    }
    return cells;
}

}  // namespace qv
