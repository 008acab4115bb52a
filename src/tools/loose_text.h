#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "tools/cp932_characters.h"

namespace qv {

// Loose matching of CP932 texts ("全角/半角・かな・大小を区別しない"): texts a Japanese reader
// takes for the same fold to the same bytes. The one rule, used by every command that offers it:
// - ASCII letters lose their case; full-width letters, digits and symbols become their ASCII
//   forms (￥ becomes "\", the code Japanese systems show as a yen sign);
// - half-width katakana become full-width, a following voiced or semi-voiced mark joined to the
//   kana before it (ｶﾞ = ガ, ﾊﾟ = パ); half-width 。「」、・ー become full-width;
// - hiragana become katakana;
// - the full-width space becomes a space, the wave dash and the full-width tilde become "~";
// - a character with two CP932 codes (the NEC and IBM extensions) takes its standard one.
// Everything else stays as it is, and bytes that start no valid CP932 character are kept one by
// one, so they match only themselves. The fold of a text is itself valid CP932 wherever the text
// was, and folding twice changes nothing.

// The folded bytes of `text`, appended to `out`.
void AppendLooseFold(std::string_view text, std::string& out);
std::string LooseFold(std::string_view text);

// A folded text that remembers where each of its characters came from, so that a match found
// in the fold can be shown and replaced in the text's own bytes.
struct FoldedText {
    std::string bytes;
    // For each byte of `bytes`, then once more for its end: the offset in the source text of the
    // character that byte was folded from (the source's size at the end).
    std::vector<uint32_t> sourceOffsets;

    // Where the folded character starting at `foldedOffset` (a character boundary of `bytes`, or
    // its size) begins in the source.
    std::size_t SourceOffset(std::size_t foldedOffset) const { return sourceOffsets[foldedOffset]; }
};
FoldedText LooseFoldWithOffsets(std::string_view text);

// Whether the two texts fold to the same bytes.
bool LooseEqual(std::string_view a, std::string_view b);

enum class LooseExtent { PartOfText, WholeText };

// A search text compared loosely with cell texts. Matches start on character boundaries of the
// fold. The empty text finds nothing. Safe to share between threads once built.
class LooseMatcher {
public:
    LooseMatcher(std::string_view searchText, LooseExtent extent);
    ~LooseMatcher();
    LooseMatcher(const LooseMatcher&);
    LooseMatcher& operator=(const LooseMatcher&);

    bool FindsNothing() const { return pattern_.empty(); }
    bool Matches(std::string_view text) const;

    struct Span {
        std::size_t begin = 0;
        std::size_t end = 0;
    };
    // The first match in the text's own bytes starting at or after `from` (a character boundary
    // of the text); nothing found gives begin == end == npos.
    Span Find(std::string_view text, std::size_t from = 0) const;

    // Where the bytes of `text` from `from` on first hold a character whose fold begins like the
    // pattern's, counting from any byte, character start or not; npos when nowhere. No match
    // starts before it, so a text without one is passed over without being folded.
    std::size_t FirstPossibleStart(std::string_view text, std::size_t from = 0) const;

private:
    class Starts;

    std::string pattern_;
    LooseExtent extent_;
    // The pattern is ASCII without letters: in a text of ASCII alone it matches the bytes as
    // they are, the fold changing only letters there.
    bool plainAscii_ = false;
    std::shared_ptr<const Starts> starts_;
};

// The offset of the first match of `pattern` in `text` that starts on a CP932 character boundary
// of `text`, at or after `from` (itself a boundary); npos when there is none.
std::size_t FindAtCharacterBoundary(std::string_view text, std::string_view pattern,
                                    std::size_t from = 0);

// Whether `pattern` occurs in `text` starting on a character boundary. Most cells are a few bytes
// long, where the call and set-up of a general search cost more than the search: a single byte is
// looked for here, and its first hit taken when no lead byte stands before it.
inline bool ContainsAtCharacterBoundary(std::string_view text, std::string_view pattern) {
    if (pattern.size() != 1) {
        return FindAtCharacterBoundary(text, pattern) != std::string_view::npos;
    }
    const void* hit = std::memchr(text.data(), pattern[0], text.size());
    if (hit == nullptr) {
        return false;
    }
    const auto at = static_cast<std::size_t>(static_cast<const char*>(hit) - text.data());
    return at == 0 || !IsCp932LeadByte(text[at - 1]) ||
           FindAtCharacterBoundary(text, pattern, 0) != std::string_view::npos;
}

}  // namespace qv
