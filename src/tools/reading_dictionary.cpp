// Readings through MeCab's C interface. With the IPA dictionary a word's features are
// "品詞,細分類1,細分類2,細分類3,活用型,活用形,原形,読み,発音": the reading is the eighth field.
#include "tools/reading_dictionary.h"

#include <mecab.h>

#include <vector>

#include "platform/failure.h"
#include "platform/utf8.h"
#include "tools/cp932_characters.h"

namespace qv {

namespace {

constexpr std::size_t kReadingField = 7;

char32_t NextCodePoint(std::string_view utf8, std::size_t& at) {
    const Utf8Character character = DecodeUtf8At(utf8, at);
    at += character.length;
    return character.value;
}

bool ReadsAsWritten(char32_t c) {
    return c < 0x80 || (c >= 0x3000 && c <= 0x30FF) || (c >= 0xFF01 && c <= 0xFF9F);
}

// The field of a comma-separated feature string, or an empty view.
std::string_view Field(std::string_view feature, std::size_t index) {
    for (std::size_t i = 0; i < index; ++i) {
        const std::size_t comma = feature.find(',');
        if (comma == std::string_view::npos) {
            return {};
        }
        feature.remove_prefix(comma + 1);
    }
    return feature.substr(0, feature.find(','));
}

}  // namespace

std::string_view PartToRead(std::string_view cp932) {
    constexpr std::size_t kLongestRead = 4096;
    if (cp932.size() <= kLongestRead) {
        return cp932;
    }
    std::size_t end = 0;
    while (end < cp932.size()) {
        const std::size_t next = NextCp932Boundary(cp932, end);
        if (next > kLongestRead) {
            break;
        }
        end = next;
    }
    return cp932.substr(0, end);
}

bool NeedsDictionary(std::string_view utf8) {
    std::size_t at = 0;
    while (at < utf8.size()) {
        if (!ReadsAsWritten(NextCodePoint(utf8, at))) {
            return true;
        }
    }
    return false;
}

std::string HiraganaToKatakanaUtf8(std::string_view utf8) {
    std::string out(utf8);
    // Hiragana U+3041-U+3096 are E3 81 81 - E3 82 96; katakana are 0x60 above them.
    for (std::size_t i = 0; i + 2 < out.size(); ++i) {
        if (static_cast<unsigned char>(out[i]) != 0xE3) {
            continue;
        }
        std::size_t at = i;
        const char32_t c = NextCodePoint(out, at);
        if ((c >= 0x3041 && c <= 0x3096) || c == 0x309D || c == 0x309E) {
            const char32_t k = c + 0x60;
            out[i + 1] = static_cast<char>(0x80 | ((k >> 6) & 0x3F));
            out[i + 2] = static_cast<char>(0x80 | (k & 0x3F));
        }
        i += 2;
    }
    return out;
}

void ReadingDictionary::TaggerDeleter::operator()(void* tagger) const {
    mecab_destroy(static_cast<mecab_t*>(tagger));
}

ReadingDictionary::ReadingDictionary(std::string arguments) : arguments_(std::move(arguments)) {}

ReadingDictionary::~ReadingDictionary() = default;

ReadingDictionary& ReadingDictionary::Shared() {
    static ReadingDictionary dictionary;
    return dictionary;
}

bool ReadingDictionary::Available() {
    std::lock_guard lock(mutex_);
    if (!triedLoading_) {
        triedLoading_ = true;
        tagger_.reset(mecab_new2(arguments_.c_str()));
    }
    return tagger_ != nullptr;
}

const std::string& ReadingDictionary::Reading(const std::string& utf8) {
    if (!Available()) {
        throw Failure(kReadingDictionaryMissingMessage);
    }
    std::lock_guard lock(mutex_);
    if (const auto found = readings_.find(utf8); found != readings_.end()) {
        return found->second;
    }
    std::string reading;
    auto* tagger = static_cast<mecab_t*>(tagger_.get());
    for (const mecab_node_t* node = mecab_sparse_tonode2(tagger, utf8.data(), utf8.size());
         node != nullptr; node = node->next) {
        if (node->stat == MECAB_BOS_NODE || node->stat == MECAB_EOS_NODE) {
            continue;
        }
        const std::string_view surface(node->surface, node->length);
        const std::string_view read = Field(node->feature ? node->feature : "", kReadingField);
        if (read.empty() || read == "*") {
            reading += HiraganaToKatakanaUtf8(surface);
        } else {
            reading += read;
        }
    }
    return readings_.emplace(utf8, std::move(reading)).first->second;
}

}  // namespace qv
