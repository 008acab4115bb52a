#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace qv {

// The Japanese order of readings, from ICU's Japanese collation: kana in 五十音 order whatever
// their width (ｱ, ア) or kind (あ, ア), a long vowel mark as the vowel it lengthens, small kana
// and voiced marks just after the plain kana; those differences, and case and width, decide
// only between readings otherwise equal.
class ReadingCollation {
public:
    ReadingCollation();
    ~ReadingCollation();
    ReadingCollation(const ReadingCollation&) = delete;
    ReadingCollation& operator=(const ReadingCollation&) = delete;

    // Appends the sort key of a UTF-8 text: sort keys compare by their bytes as the texts do.
    void AppendSortKey(std::string_view utf8, std::string& out) const;

private:
    struct Collator;
    std::unique_ptr<Collator> collator_;
};

}  // namespace qv
