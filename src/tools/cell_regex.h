#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace qv {

enum class RegexCase { Sensitive, Insensitive };

// A regular expression (PCRE2 syntax) typed as UTF-8 and matched against CP932 cell texts: each
// cell is decoded to UTF-8 first (bytes that start no valid character read as U+FFFD), so that
// classes and dots see whole Japanese characters. Compiled once, with the JIT where the machine
// has one. A match that would run too long is stopped by a limit rather than freezing the
// window: it counts as no match, and StoppedAny() says it happened.
class CellRegex {
public:
    // Raises Failure with PCRE2's own message and the offset when the pattern does not compile
    // (or is not valid UTF-8).
    CellRegex(std::string_view patternUtf8, RegexCase letterCase);
    ~CellRegex();
    CellRegex(const CellRegex&) = delete;
    CellRegex& operator=(const CellRegex&) = delete;

    // Whether some part of the cell matches. Not safe to call from two threads at once (the
    // match data and the decoding buffer are the object's own).
    bool Matches(std::string_view cp932Cell) const;
    // Whether some match was given up at the limit since the regex was built.
    bool StoppedAny() const { return stopped_; }

private:
    struct Compiled;
    std::unique_ptr<Compiled> compiled_;
    mutable std::string utf8_;
    mutable bool stopped_ = false;
};

// The notice shown when the limit stopped a match.
inline constexpr const char* kRegexStoppedMessage =
    "正規表現の照合が長すぎるため、一部のセルで打ち切りました";

}  // namespace qv
