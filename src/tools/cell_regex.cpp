// PCRE2 is built for UTF-8 with the code unit width 8; the JIT compiles each pattern once, and
// the match limit and a bounded JIT stack stop a pattern that backtracks without end.
#define PCRE2_CODE_UNIT_WIDTH 8
#include "tools/cell_regex.h"

#include <pcre2.h>

#include <algorithm>

#include "platform/cp932.h"
#include "platform/failure.h"

namespace qv {

namespace {

// Enough for any pattern a person types over a cell; a catastrophic one stops within a second.
constexpr uint32_t kMatchLimit = 5'000'000;
constexpr std::size_t kJitStackStart = 32 * 1024;
constexpr std::size_t kJitStackMax = 1024 * 1024;

std::string ErrorText(int code) {
    PCRE2_UCHAR buffer[256];
    const int length = pcre2_get_error_message(code, buffer, sizeof buffer);
    return length > 0 ? std::string(reinterpret_cast<const char*>(buffer),
                                    static_cast<std::size_t>(length))
                      : "error " + std::to_string(code);
}

bool IsLimitError(int code) {
    return code == PCRE2_ERROR_MATCHLIMIT || code == PCRE2_ERROR_DEPTHLIMIT ||
           code == PCRE2_ERROR_HEAPLIMIT || code == PCRE2_ERROR_JIT_STACKLIMIT;
}

bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

struct CellRegex::Compiled {
    pcre2_code* code = nullptr;
    pcre2_match_data* match = nullptr;
    pcre2_match_context* context = nullptr;
    pcre2_jit_stack* jitStack = nullptr;
    std::string utf8;  // the cell converted, reused from cell to cell

    ~Compiled() {
        pcre2_jit_stack_free(jitStack);
        pcre2_match_context_free(context);
        pcre2_match_data_free(match);
        pcre2_code_free(code);
    }

    // Cells of ASCII only are UTF-8 as they stand: no conversion for most cells of most tables.
    std::string_view AsUtf8(std::string_view cp932) {
        if (IsAscii(cp932)) {
            return cp932;
        }
        utf8 = Cp932ToUtf8(cp932);
        return utf8;
    }
};

CellRegex::CellRegex(std::string_view utf8Pattern, RegexCase letterCase, RegexExtent extent)
    : compiled_(std::make_unique<Compiled>()) {
    uint32_t options = PCRE2_UTF | PCRE2_UCP;
    if (letterCase == RegexCase::Insensitive) {
        options |= PCRE2_CASELESS;
    }
    if (extent == RegexExtent::WholeText) {
        options |= PCRE2_ANCHORED | PCRE2_ENDANCHORED;
    }
    int error = 0;
    PCRE2_SIZE offset = 0;
    compiled_->code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(utf8Pattern.data()),
                                    utf8Pattern.size(), options, &error, &offset, nullptr);
    if (compiled_->code == nullptr) {
        throw Failure("正規表現が正しくありません: " + ErrorText(error) + " (" +
                      std::to_string(offset + 1) + " 文字目)");
    }
    // Without the JIT (an architecture that lacks it) the interpreter runs the same pattern.
    pcre2_jit_compile(compiled_->code, PCRE2_JIT_COMPLETE);
    compiled_->match = pcre2_match_data_create_from_pattern(compiled_->code, nullptr);
    compiled_->context = pcre2_match_context_create(nullptr);
    compiled_->jitStack = pcre2_jit_stack_create(kJitStackStart, kJitStackMax, nullptr);
    if (compiled_->match == nullptr || compiled_->context == nullptr ||
        compiled_->jitStack == nullptr) {
        throw std::bad_alloc();
    }
    pcre2_set_match_limit(compiled_->context, kMatchLimit);
    pcre2_jit_stack_assign(compiled_->context, nullptr, compiled_->jitStack);
}

CellRegex::~CellRegex() = default;
CellRegex::CellRegex(CellRegex&&) noexcept = default;
CellRegex& CellRegex::operator=(CellRegex&&) noexcept = default;

bool CellRegex::Matches(std::string_view cp932Cell) const {
    return MatchesUtf8(compiled_->AsUtf8(cp932Cell));
}

bool CellRegex::MatchesUtf8(std::string_view utf8) const {
    const int result = pcre2_match(compiled_->code, reinterpret_cast<PCRE2_SPTR>(utf8.data()),
                                   utf8.size(), 0, 0, compiled_->match, compiled_->context);
    if (result >= 0) {
        return true;
    }
    if (IsLimitError(result)) {
        throw Failure(kRegexLimitMessage);
    }
    return false;
}

std::optional<std::string> CellRegex::Replaced(std::string_view cp932Cell,
                                               std::string_view utf8Replacement) const {
    if (!IsValidCp932(cp932Cell) || !Matches(cp932Cell)) {
        return std::nullopt;
    }
    const std::string_view subject = compiled_->AsUtf8(cp932Cell);
    std::string out(subject.size() + utf8Replacement.size() + 16, '\0');
    for (;;) {
        PCRE2_SIZE length = out.size();
        const int result = pcre2_substitute(
            compiled_->code, reinterpret_cast<PCRE2_SPTR>(subject.data()), subject.size(), 0,
            PCRE2_SUBSTITUTE_GLOBAL | PCRE2_SUBSTITUTE_OVERFLOW_LENGTH, compiled_->match,
            compiled_->context, reinterpret_cast<PCRE2_SPTR>(utf8Replacement.data()),
            utf8Replacement.size(), reinterpret_cast<PCRE2_UCHAR*>(out.data()), &length);
        if (result == PCRE2_ERROR_NOMEMORY) {
            out.resize(length);  // the length needed
            continue;
        }
        if (IsLimitError(result)) {
            throw Failure(kRegexLimitMessage);
        }
        if (result < 0) {
            throw Failure("置換後の文字列が正しくありません: " + ErrorText(result));
        }
        out.resize(length);
        break;
    }
    std::optional<std::string> cp932 = Utf8ToCp932(out);
    if (!cp932) {
        throw Failure("置換の結果に Shift-JIS で表せない文字があります");
    }
    return cp932;
}

}  // namespace qv
