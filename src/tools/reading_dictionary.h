#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>

namespace qv {

// The Debian package whose dictionary gives the readings of kanji, and what is said without it.
inline constexpr const char* kReadingDictionaryPackage = "mecab-ipadic-utf8";
inline constexpr const char* kReadingDictionaryMissingMessage =
    "読みの辞書がありません。Debian のパッケージ mecab-ipadic-utf8 をインストールしてください";

// The readings of Japanese texts, in katakana, from MeCab and its IPA dictionary. The dictionary
// is loaded on the first reading asked for, never at start-up: it is large, and most sessions
// never need it. Readings are kept once made, so that a text met again costs a look-up.
class ReadingDictionary {
public:
    // `arguments` are MeCab's ("" reads /etc/mecabrc, "-d FOLDER" names the dictionary).
    explicit ReadingDictionary(std::string arguments = "");
    ~ReadingDictionary();
    ReadingDictionary(const ReadingDictionary&) = delete;
    ReadingDictionary& operator=(const ReadingDictionary&) = delete;

    // The dictionary of the system, shared by every caller.
    static ReadingDictionary& Shared();

    // Loads the dictionary if it is not loaded yet; false when it cannot be loaded.
    bool Available();
    bool Loaded() const { return tagger_ != nullptr; }

    // The reading of a UTF-8 text in katakana (UTF-8): each word as the dictionary reads it, a
    // word it does not know as it is written (hiragana turned to katakana). Raises Failure
    // kReadingDictionaryMissingMessage when the dictionary cannot be loaded.
    const std::string& Reading(const std::string& utf8);

private:
    struct TaggerDeleter {
        void operator()(void* tagger) const;
    };
    std::string arguments_;
    bool triedLoading_ = false;
    std::unique_ptr<void, TaggerDeleter> tagger_;
    std::unordered_map<std::string, std::string> readings_;
    std::mutex mutex_;
};

// The part of a CP932 cell text whose reading is made: its first 4,096 bytes (ending on a
// character boundary). A longer text is no name or word to read; reading it whole would only
// cost time and memory (a cell may hold megabytes). Texts alike that far sort by their bytes.
std::string_view PartToRead(std::string_view cp932);

// Whether a UTF-8 text needs the dictionary for its reading: it holds a character other than
// ASCII, kana of either width, full-width ASCII and Japanese punctuation (a kanji, mostly).
bool NeedsDictionary(std::string_view utf8);

// The text with its hiragana turned to katakana (UTF-8 in and out).
std::string HiraganaToKatakanaUtf8(std::string_view utf8);

}  // namespace qv
