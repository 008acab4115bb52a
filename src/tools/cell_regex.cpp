#include "tools/cell_regex.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <array>

#include "platform/cp932.h"
#include "platform/failure.h"

namespace qv {

namespace {

// Steps of the matcher a single cell may take: far beyond any sensible pattern on a long cell,
// and small enough that a catastrophic one gives up within a fraction of a second.
constexpr uint32_t kMatchLimit = 1'000'000;
constexpr uint32_t kDepthLimit = 100'000;

std::string ErrorText(int code) {
    std::array<PCRE2_UCHAR, 256> buffer{};
    pcre2_get_error_message(code, buffer.data(), buffer.size());
    return std::string(reinterpret_cast<const char*>(buffer.data()));
}

}  // namespace

struct CellRegex::Compiled {
    pcre2_code* code = nullptr;
    pcre2_match_data* data = nullptr;
    pcre2_match_context* context = nullptr;
    ~Compiled() {
        pcre2_match_context_free(context);
        pcre2_match_data_free(data);
        pcre2_code_free(code);
    }
};

CellRegex::CellRegex(std::string_view patternUtf8, RegexCase letterCase)
    : compiled_(std::make_unique<Compiled>()) {
    uint32_t options = PCRE2_UTF | PCRE2_UCP;
    if (letterCase == RegexCase::Insensitive) {
        options |= PCRE2_CASELESS;
    }
    int error = 0;
    PCRE2_SIZE offset = 0;
    compiled_->code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(patternUtf8.data()),
                                    patternUtf8.size(), options, &error, &offset, nullptr);
    if (compiled_->code == nullptr) {
        throw Failure("正規表現の誤り (" + std::to_string(offset + 1) +
                      " 文字目): " + ErrorText(error));
    }
    pcre2_jit_compile(compiled_->code, PCRE2_JIT_COMPLETE);  // without a JIT it interprets
    compiled_->data = pcre2_match_data_create_from_pattern(compiled_->code, nullptr);
    compiled_->context = pcre2_match_context_create(nullptr);
    if (compiled_->data == nullptr || compiled_->context == nullptr) {
        throw std::bad_alloc();
    }
    pcre2_set_match_limit(compiled_->context, kMatchLimit);
    pcre2_set_depth_limit(compiled_->context, kDepthLimit);
}

CellRegex::~CellRegex() = default;

bool CellRegex::Matches(std::string_view cp932Cell) const {
    utf8_ = Cp932ToUtf8(cp932Cell);
    const int result =
        pcre2_match(compiled_->code, reinterpret_cast<PCRE2_SPTR>(utf8_.data()), utf8_.size(), 0,
                    PCRE2_NO_UTF_CHECK, compiled_->data, compiled_->context);
    if (result == PCRE2_ERROR_MATCHLIMIT || result == PCRE2_ERROR_DEPTHLIMIT ||
        result == PCRE2_ERROR_JIT_STACKLIMIT) {
        stopped_ = true;
    }
    return result >= 0;
}

}  // namespace qv
