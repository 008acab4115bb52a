#include "tools/cell_pattern.h"

#include "platform/cp932.h"
#include "tools/cell_replace.h"

namespace qv {

std::optional<CellPattern> CellPattern::FromUtf8(std::string_view text,
                                                 const PatternOptions& options) {
    CellPattern pattern;
    if (options.syntax == PatternSyntax::Regex) {
        pattern.regex_ = std::make_shared<CellRegex>(
            text,
            options.letterCase == LetterCase::Sensitive ? RegexCase::Sensitive
                                                        : RegexCase::Insensitive,
            options.extent == MatchExtent::WholeCell ? RegexExtent::WholeText
                                                     : RegexExtent::PartOfText);
        return pattern;
    }
    const std::optional<std::string> bytes = Utf8ToCp932(text);
    if (!bytes) {
        return std::nullopt;
    }
    if (options.syntax == PatternSyntax::Loose) {
        pattern.loose_.emplace(*bytes, options.extent == MatchExtent::WholeCell
                                           ? LooseExtent::WholeText
                                           : LooseExtent::PartOfText);
    } else {
        pattern.plain_.emplace(*bytes, SearchOptions{options.extent, options.letterCase});
    }
    return pattern;
}

bool CellPattern::FindsNothing() const {
    if (plain_) {
        return plain_->FindsNothing();
    }
    if (loose_) {
        return loose_->FindsNothing();
    }
    return false;
}

bool CellPattern::Matches(std::string_view cell) const {
    if (plain_) {
        return plain_->Matches(cell);
    }
    if (loose_) {
        return loose_->Matches(cell);
    }
    return regex_->Matches(cell);
}

std::optional<std::string> CellPattern::Replaced(std::string_view cell, std::string_view cp932,
                                                 std::string_view utf8) const {
    if (plain_) {
        return ReplacedCellText(cell, *plain_, cp932);
    }
    if (regex_) {
        return regex_->Replaced(cell, utf8);
    }
    LooseMatcher::Span span = loose_->Find(cell);
    if (span.begin == std::string_view::npos) {
        return std::nullopt;
    }
    std::string out;
    std::size_t copied = 0;
    while (span.begin != std::string_view::npos) {
        out.append(cell.substr(copied, span.begin - copied)).append(cp932);
        copied = span.end;
        // An empty match cannot happen (the empty text finds nothing), so this moves on.
        span = loose_->Find(cell, copied);
    }
    out.append(cell.substr(copied));
    return out;
}

}  // namespace qv
