#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace qv {

// Said when a pattern runs past the match limit on some cell: the search stops there rather
// than freezing the window.
inline constexpr const char* kRegexLimitMessage =
    "正規表現の照合が長くかかりすぎるため、検索を中止しました";

enum class RegexCase { Sensitive, Insensitive };
enum class RegexExtent { PartOfText, WholeText };

// A regular expression (PCRE2, with its JIT) over the cells' text as Unicode: the pattern is
// UTF-8, the cells CP932, converted to UTF-8 before they are matched. A cell whose bytes are not
// valid CP932 is matched with U+FFFD in place of each bad byte, and is never rewritten. Not safe
// to share between threads (it keeps one block of match data).
class CellRegex {
public:
    // Raises Failure with PCRE2's own error text and the place in the pattern when it does not
    // compile, or when it is not UTF-8.
    CellRegex(std::string_view utf8Pattern, RegexCase letterCase, RegexExtent extent);
    ~CellRegex();
    CellRegex(CellRegex&&) noexcept;
    CellRegex& operator=(CellRegex&&) noexcept;

    // Whether the cell holds a match. Raises Failure kRegexLimitMessage past the match limit.
    bool Matches(std::string_view cp932Cell) const;
    bool MatchesUtf8(std::string_view utf8) const;
    // The cell with every match replaced by `utf8Replacement`, in which $1, ${name} and $$ take
    // the groups (PCRE2's substitution syntax), converted back to CP932; nothing when the cell
    // holds no match or is not valid CP932. Raises Failure for a replacement PCRE2 refuses and
    // for a result with a character CP932 cannot hold.
    std::optional<std::string> Replaced(std::string_view cp932Cell,
                                        std::string_view utf8Replacement) const;

private:
    struct Compiled;
    std::unique_ptr<Compiled> compiled_;
};

}  // namespace qv
