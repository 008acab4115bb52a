#include "tools/reading_collation.h"

#include <unicode/coll.h>
#include <unicode/locid.h>
#include <unicode/unistr.h>

#include <vector>

#include "platform/failure.h"

namespace qv {

struct ReadingCollation::Collator {
    std::unique_ptr<icu::Collator> icu;
};

ReadingCollation::ReadingCollation() : collator_(std::make_unique<Collator>()) {
    UErrorCode status = U_ZERO_ERROR;
    collator_->icu.reset(icu::Collator::createInstance(icu::Locale::getJapanese(), status));
    if (U_FAILURE(status) || collator_->icu == nullptr) {
        throw Failure("日本語の照合順序を用意できませんでした");
    }
    // Kana of either kind tell apart at the fourth level: without it あ and ア would be one.
    collator_->icu->setAttribute(UCOL_STRENGTH, UCOL_QUATERNARY, status);
}

ReadingCollation::~ReadingCollation() = default;

void ReadingCollation::AppendSortKey(std::string_view utf8, std::string& out) const {
    const icu::UnicodeString text = icu::UnicodeString::fromUTF8(
        icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())));
    const std::size_t start = out.size();
    out.resize(start + 4 * utf8.size() + 16);
    int32_t length =
        collator_->icu->getSortKey(text, reinterpret_cast<uint8_t*>(out.data() + start),
                                   static_cast<int32_t>(out.size() - start));
    if (static_cast<std::size_t>(length) > out.size() - start) {
        out.resize(start + static_cast<std::size_t>(length));
        length = collator_->icu->getSortKey(text, reinterpret_cast<uint8_t*>(out.data() + start),
                                            length);
    }
    // The key ends in a zero byte, which no key holds elsewhere: keep it out, so that keys compare
    // as strings.
    out.resize(start + static_cast<std::size_t>(length > 0 ? length - 1 : 0));
}

}  // namespace qv
