#include "tools/loose_text.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "platform/cp932.h"
#include "platform/utf8.h"
#include "tools/cp932_characters.h"

namespace qv {

namespace {

// A folded character: one byte when below 0x100, otherwise two (high byte first).
using FoldedCode = uint16_t;

constexpr unsigned char kVoicedMark = 0xDE;      // ﾞ
constexpr unsigned char kSemiVoicedMark = 0xDF;  // ﾟ

char32_t FoldCodePoint(char32_t c) {
    if (c >= U'A' && c <= U'Z') {
        return c - U'A' + U'a';
    }
    if (c >= 0xFF01 && c <= 0xFF5E) {  // full-width ASCII
        return FoldCodePoint(c - 0xFEE0);
    }
    if ((c >= 0x3041 && c <= 0x3096) || c == 0x309D || c == 0x309E) {  // hiragana
        return c + 0x60;
    }
    switch (c) {
        case 0xFFE5:  // ￥
            return U'\\';
        case 0x3000:  // full-width space
            return U' ';
        case 0x301C:  // wave dash
            return U'~';
        default:
            return c;
    }
}

FoldedCode CodeOf(std::string_view cp932) {
    return cp932.size() == 1 ? static_cast<unsigned char>(cp932[0])
                             : static_cast<FoldedCode>((static_cast<unsigned char>(cp932[0]) << 8) |
                                                       static_cast<unsigned char>(cp932[1]));
}

struct FoldTables {
    std::array<FoldedCode, 256> single{};
    std::array<FoldedCode, 65536> pair{};  // indexed by lead << 8 | trail

    FoldTables() {
        for (std::size_t b = 0; b < 256; ++b) {
            single[b] = static_cast<FoldedCode>(b >= 'A' && b <= 'Z' ? b - 'A' + 'a' : b);
        }
        std::size_t at = 0;
        for (std::size_t b = 0xA1; b <= 0xDF; ++b) {
            const std::size_t length = 3;  // each full-width kana is three bytes of UTF-8
            single[b] = CodeOf(*Utf8ToCp932(kFullWidthOfHalfWidthKana.substr(at, length)));
            at += length;
        }
        for (std::size_t code = 0; code < 65536; ++code) {
            pair[code] = static_cast<FoldedCode>(code);
            const char bytes[2] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
            if (!IsCp932LeadByte(bytes[0])) {
                continue;
            }
            const auto utf8 = TryCp932ToUtf8(std::string_view(bytes, 2));
            if (!utf8 || utf8->empty()) {
                continue;
            }
            const auto folded = Utf8ToCp932(Utf8Text(FoldCodePoint(FirstUtf8Character(*utf8))));
            if (folded && !folded->empty()) {
                pair[code] = CodeOf(*folded);
            }
        }
    }
};

const FoldTables& Tables() {
    static const FoldTables tables;
    return tables;
}

// The full-width kana with the mark that follows a half-width one joined, or 0 when they do not
// join.
FoldedCode JoinMark(unsigned char kana, unsigned char mark, FoldedCode fullWidth) {
    const bool voiceable = (kana >= 0xB6 && kana <= 0xC4) || (kana >= 0xCA && kana <= 0xCE);
    if (mark == kVoicedMark) {
        if (kana == 0xB3) {
            return 0x8394;  // ヴ
        }
        return voiceable ? static_cast<FoldedCode>(fullWidth + 1) : 0;
    }
    if (mark == kSemiVoicedMark && kana >= 0xCA && kana <= 0xCE) {
        return static_cast<FoldedCode>(fullWidth + 2);
    }
    return 0;
}

// Calls emit(code, sourceBegin) for each folded character of `text`.
template <typename Emit>
void FoldEach(std::string_view text, Emit&& emit) {
    const FoldTables& tables = Tables();
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t size = text.size();
    std::size_t i = 0;
    while (i < size) {
        const unsigned char b = bytes[i];
        if (b < 0x80) {
            emit(tables.single[b], i);
            ++i;
        } else if (IsCp932LeadByte(static_cast<char>(b)) && i + 1 < size) {
            emit(tables.pair[(b << 8) | bytes[i + 1]], i);
            i += 2;
        } else if (b >= 0xA1 && b <= 0xDF) {
            const FoldedCode fullWidth = tables.single[b];
            const FoldedCode joined = i + 1 < size ? JoinMark(b, bytes[i + 1], fullWidth) : 0;
            emit(joined != 0 ? joined : fullWidth, i);
            i += joined != 0 ? 2 : 1;
        } else {
            emit(b, i);
            ++i;
        }
    }
}

}  // namespace

namespace {

constexpr uint64_t kEveryByte = 0x0101010101010101;
constexpr uint64_t kHighBits = 0x80 * kEveryByte;

bool IsAscii(std::string_view text) {
    std::size_t i = 0;
    uint64_t high = 0;
    for (; i + 8 <= text.size(); i += 8) {
        uint64_t word = 0;
        std::memcpy(&word, text.data() + i, 8);
        high |= word;
    }
    for (; i < text.size(); ++i) {
        high |= static_cast<unsigned char>(text[i]);
    }
    return (high & kHighBits) == 0;
}

// Eight ASCII bytes with their capitals made small: a byte gains its high bit from adding
// 0x80 - 'A' when it is 'A' or above, and from adding 0x80 - 'Z' - 1 when it is above 'Z'; no
// byte carries into the next one, each being below 0x80.
uint64_t SmallAsciiLetters(uint64_t ascii) {
    const uint64_t fromA = ascii + (0x80 - 'A') * kEveryByte;
    const uint64_t aboveZ = ascii + (0x80 - 'Z' - 1) * kEveryByte;
    return ascii | ((fromA & ~aboveZ & kHighBits) >> 2);  // 0x80 >> 2 is the 0x20 of the case
}

// Writes the fold of `text` at `out`, which has room for two bytes per byte of `text`; returns
// the end written.
char* FoldInto(std::string_view text, char* out) {
    // A run of ASCII at the start, the whole of many cells, folds eight bytes at a time.
    std::size_t ascii = 0;
    for (; ascii + 8 <= text.size(); ascii += 8) {
        uint64_t word = 0;
        std::memcpy(&word, text.data() + ascii, 8);
        if ((word & kHighBits) != 0) {
            break;
        }
        word = SmallAsciiLetters(word);
        std::memcpy(out, &word, 8);
        out += 8;
    }
    FoldEach(text.substr(ascii), [&](FoldedCode code, std::size_t) {
        if (code >= 0x100) {
            *out++ = static_cast<char>(code >> 8);
        }
        *out++ = static_cast<char>(code & 0xFF);
    });
    return out;
}

}  // namespace

void AppendLooseFold(std::string_view text, std::string& out) {
    const std::size_t start = out.size();
    out.resize(start + 2 * text.size());
    char* end = FoldInto(text, out.data() + start);
    out.resize(static_cast<std::size_t>(end - out.data()));
}

std::string LooseFold(std::string_view text) {
    std::string out;
    AppendLooseFold(text, out);
    return out;
}

FoldedText LooseFoldWithOffsets(std::string_view text) {
    FoldedText folded;
    folded.bytes.reserve(text.size());
    folded.sourceOffsets.reserve(text.size() + 1);
    FoldEach(text, [&](FoldedCode code, std::size_t source) {
        if (code >= 0x100) {
            folded.bytes += static_cast<char>(code >> 8);
            folded.sourceOffsets.push_back(static_cast<uint32_t>(source));
        }
        folded.bytes += static_cast<char>(code & 0xFF);
        folded.sourceOffsets.push_back(static_cast<uint32_t>(source));
    });
    folded.sourceOffsets.push_back(static_cast<uint32_t>(text.size()));
    return folded;
}

bool LooseEqual(std::string_view a, std::string_view b) {
    return LooseFold(a) == LooseFold(b);
}

namespace {

// The first place of `pattern` (not empty) in `text` at or after `at`, as memmem finds it. Most
// cells are a few bytes long, where memmem's set-up costs more than the search: those are
// searched for the first byte, then compared.
const char* FindBytes(std::string_view text, std::size_t at, std::string_view pattern) {
    constexpr std::size_t kShortText = 64;
    const std::size_t n = pattern.size();
    if (n > 1 && text.size() - at >= kShortText) {
        return static_cast<const char*>(
            memmem(text.data() + at, text.size() - at, pattern.data(), n));
    }
    while (text.size() - at >= n) {
        const void* first = std::memchr(text.data() + at, pattern[0], text.size() - at - n + 1);
        if (first == nullptr) {
            return nullptr;
        }
        const auto* hit = static_cast<const char*>(first);
        if (std::memcmp(hit + 1, pattern.data() + 1, n - 1) == 0) {
            return hit;
        }
        at = static_cast<std::size_t>(hit - text.data()) + 1;
    }
    return nullptr;
}

// Whether `position` starts a character of `text`, given a character start at or before it.
// Lead bytes pair off from the start of the run of them just before `position` (the byte before
// that run ends a character), so only that run is read: a hit costs the bytes since the last
// one at most, never a walk from the start of a long text.
bool StartsCharacter(std::string_view text, std::size_t knownStart, std::size_t position) {
    std::size_t run = position;
    while (run > knownStart && IsCp932LeadByte(text[run - 1])) {
        --run;
    }
    return (position - run) % 2 == 0;
}

}  // namespace

std::size_t FindAtCharacterBoundary(std::string_view text, std::string_view pattern,
                                    std::size_t from) {
    const std::size_t n = pattern.size();
    if (n == 0 || from > text.size() || text.size() - from < n) {
        return std::string_view::npos;
    }
    std::size_t at = from;  // a character start
    while (text.size() - at >= n) {
        const char* hit = FindBytes(text, at, pattern);
        if (hit == nullptr) {
            break;
        }
        const auto position = static_cast<std::size_t>(hit - text.data());
        if (StartsCharacter(text, at, position)) {
            return position;
        }
        at = position + 1;  // the hit began on a second byte: go on from the character after it
    }
    return std::string_view::npos;
}

// The pairs of bytes (one and the byte after it) at which a character starts whose fold is the
// pattern's first folded character, a bit each, and the bytes that do so at a text's end.
class LooseMatcher::Starts {
public:
    explicit Starts(std::string_view foldedPattern) {
        const std::size_t length = NextCp932Boundary(foldedPattern, 0);
        const FoldedCode first = CodeOf(foldedPattern.substr(0, length));
        const FoldTables& tables = Tables();
        for (unsigned b = 0; b < 256; ++b) {
            const bool lead = IsCp932LeadByte(static_cast<char>(b));
            const bool kana = b >= 0xA1 && b <= 0xDF;
            // What b folds to when it ends the text, as FoldEach reads it.
            const FoldedCode alone =
                b < 0x80 || kana ? tables.single[b] : static_cast<FoldedCode>(b);
            if (alone == first) {
                last_[b] = true;
            }
            if (!lead && !kana) {
                if (alone == first) {
                    SetEvery(b);
                }
                continue;
            }
            for (unsigned next = 0; next < 256; ++next) {
                FoldedCode code = tables.pair[(b << 8) | next];
                if (kana) {
                    const FoldedCode joined =
                        JoinMark(static_cast<unsigned char>(b), static_cast<unsigned char>(next),
                                 tables.single[b]);
                    code = joined != 0 ? joined : tables.single[b];
                }
                if (code == first) {
                    Set((b << 8) | next);
                }
            }
        }
    }

    std::size_t First(std::string_view text, std::size_t from) const {
        const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
        const std::size_t size = text.size();
        if (from >= size) {
            return std::string_view::npos;
        }
        for (std::size_t i = from; i + 1 < size; ++i) {
            if (leads_[bytes[i]] && Has((bytes[i] << 8) | bytes[i + 1])) {
                return i;
            }
        }
        return last_[bytes[size - 1]] ? size - 1 : std::string_view::npos;
    }

private:
    void Set(unsigned pair) {
        bits_[pair >> 6] |= uint64_t{1} << (pair & 63);
        leads_[pair >> 8] = true;
    }
    void SetEvery(unsigned b) {
        for (unsigned next = 0; next < 256; ++next) {
            Set((b << 8) | next);
        }
    }
    bool Has(unsigned pair) const { return ((bits_[pair >> 6] >> (pair & 63)) & 1) != 0; }

    std::array<uint64_t, 65536 / 64> bits_{};
    std::array<bool, 256> leads_{};  // the first bytes of the pairs set: most bytes stop here
    std::array<bool, 256> last_{};
};

LooseMatcher::LooseMatcher(std::string_view searchText, LooseExtent extent)
    : pattern_(LooseFold(searchText)), extent_(extent) {
    if (pattern_.empty()) {
        return;
    }
    starts_ = std::make_shared<const Starts>(pattern_);
    plainAscii_ = std::all_of(pattern_.begin(), pattern_.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return b < 0x80 && !(b >= 'a' && b <= 'z');
    });
}

LooseMatcher::~LooseMatcher() = default;
LooseMatcher::LooseMatcher(const LooseMatcher&) = default;
LooseMatcher& LooseMatcher::operator=(const LooseMatcher&) = default;

std::size_t LooseMatcher::FirstPossibleStart(std::string_view text, std::size_t from) const {
    return starts_ ? starts_->First(text, from) : std::string_view::npos;
}

bool LooseMatcher::Matches(std::string_view text) const {
    const std::size_t start = FirstPossibleStart(text);
    if (start == std::string_view::npos || (extent_ == LooseExtent::WholeText && start != 0)) {
        return false;
    }
    if (plainAscii_ && IsAscii(text)) {
        return extent_ == LooseExtent::WholeText ? text == pattern_
                                                 : ContainsAtCharacterBoundary(text, pattern_);
    }
    // Most cells are short: their fold goes on the stack, the rare long one to a buffer kept.
    constexpr std::size_t kShortText = 256;
    char onStack[2 * kShortText];
    thread_local std::string buffer;
    char* begin = onStack;
    if (text.size() > kShortText) {
        buffer.resize(2 * text.size());
        begin = buffer.data();
    }
    const std::string_view folded(begin, static_cast<std::size_t>(FoldInto(text, begin) - begin));
    if (extent_ == LooseExtent::WholeText) {
        return folded == pattern_;
    }
    return FindAtCharacterBoundary(folded, pattern_) != std::string_view::npos;
}

LooseMatcher::Span LooseMatcher::Find(std::string_view text, std::size_t from) const {
    constexpr Span kNone{std::string_view::npos, std::string_view::npos};
    if (pattern_.empty() || from > text.size() ||
        FirstPossibleStart(text, from) == std::string_view::npos) {
        return kNone;
    }
    const FoldedText folded = LooseFoldWithOffsets(text);
    std::size_t start = 0;
    while (start < folded.bytes.size() && folded.sourceOffsets[start] < from) {
        start = NextCp932Boundary(folded.bytes, start);
    }
    const std::size_t hit =
        extent_ == LooseExtent::WholeText
            ? (start == 0 && folded.bytes == pattern_ ? 0 : std::string_view::npos)
            : FindAtCharacterBoundary(folded.bytes, pattern_, start);
    if (hit == std::string_view::npos) {
        return kNone;
    }
    return Span{folded.SourceOffset(hit), folded.SourceOffset(hit + pattern_.size())};
}

}  // namespace qv
