#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "tools/cell_regex.h"
#include "tools/cell_search.h"
#include "tools/loose_text.h"

namespace qv {

// How a search text is read: as the bytes to find, loosely (width, kana and case folded), or as
// a regular expression.
enum class PatternSyntax { Plain, Loose, Regex };

struct PatternOptions {
    PatternSyntax syntax = PatternSyntax::Plain;
    MatchExtent extent = MatchExtent::PartOfCell;
    LetterCase letterCase = LetterCase::Sensitive;  // Plain and Regex; Loose ignores case anyway
};

// A search text typed by the user (UTF-8), in whichever syntax, matched against cells.
class CellPattern final : public CellTest {
public:
    // Nothing when a plain or loose text holds a character CP932 cannot hold (it can match no
    // cell) or is not UTF-8. Raises Failure for a regular expression that does not compile.
    static std::optional<CellPattern> FromUtf8(std::string_view text,
                                               const PatternOptions& options);

    bool FindsNothing() const override;
    // Raises Failure kRegexLimitMessage when a regular expression runs past its match limit.
    bool Matches(std::string_view cell) const override;
    // The cell with each match replaced, left to right: by `cp932` for a plain or loose text
    // (only the matched characters change), by `utf8` with its groups ($1) for a regular
    // expression. Nothing when the cell holds no match.
    std::optional<std::string> Replaced(std::string_view cell, std::string_view cp932,
                                        std::string_view utf8) const;

private:
    std::optional<CellMatcher> plain_;
    std::optional<LooseMatcher> loose_;
    std::shared_ptr<CellRegex> regex_;
};

}  // namespace qv
