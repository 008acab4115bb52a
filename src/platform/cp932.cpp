#include "platform/cp932.h"

#include "platform/utf8.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

namespace qv {

namespace {

// One converter for one direction, opened on first use in each thread and closed when the
// thread ends.
class Converter {
public:
    Converter(const char* to, const char* from) : to_(to), from_(from) {}
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    ~Converter() {
        if (cd_ != kNone) {
            iconv_close(cd_);
        }
    }

    // The descriptor in its initial shift state. Throws std::bad_alloc if it cannot be opened
    // (the C library's converter modules are part of the program's installation).
    iconv_t Ready() {
        if (cd_ == kNone) {
            cd_ = iconv_open(to_, from_);
            if (cd_ == kNone) {
                throw std::bad_alloc();
            }
        }
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        return cd_;
    }

private:
    static inline const iconv_t kNone = reinterpret_cast<iconv_t>(-1);
    const char* to_;
    const char* from_;
    iconv_t cd_ = kNone;
};

Converter& Decoder() {
    thread_local Converter converter("UTF-8", "CP932");
    return converter;
}

Converter& Encoder() {
    thread_local Converter converter("CP932", "UTF-8");
    return converter;
}

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

// Runs the converter over the input. `onBadInput` is called with the remaining input when a
// byte cannot be converted; it returns false to stop (the conversion then fails) or skips
// bytes and returns true to go on.
template <typename OnBadInput>
bool Convert(iconv_t cd, std::string_view input, std::string& output, OnBadInput onBadInput) {
    // CP932 never takes more than 3 UTF-8 bytes per byte; UTF-8 never grows in CP932.
    output.resize(input.size() * 3 / 2 + 16);
    std::size_t used = 0;
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    while (inLeft > 0) {
        char* out = output.data() + used;
        std::size_t outLeft = output.size() - used;
        std::size_t result = iconv(cd, &in, &inLeft, &out, &outLeft);
        used = output.size() - outLeft;
        if (result != static_cast<std::size_t>(-1)) {
            break;
        }
        if (errno == E2BIG) {
            output.resize(output.size() * 2);
        } else if (errno == EILSEQ || errno == EINVAL) {
            output.resize(used);
            if (!onBadInput(in, inLeft, output)) {
                return false;
            }
            used = output.size();
            output.resize(used + inLeft * 3 / 2 + 16);
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        } else {
            return false;
        }
    }
    output.resize(used);
    return true;
}

}  // namespace

std::string Cp932ToUtf8(std::string_view cp932) {
    std::string output;
    Convert(Decoder().Ready(), cp932, output, [](char*& in, std::size_t& inLeft, std::string& out) {
        out += kReplacement;
        ++in;
        --inLeft;
        return true;
    });
    return output;
}

std::optional<std::string> Utf8ToCp932(std::string_view utf8) {
    std::string output;
    if (!Convert(Encoder().Ready(), utf8, output,
                 [](char*&, std::size_t&, std::string&) { return false; })) {
        return std::nullopt;
    }
    return output;
}

namespace {

// Tables of the converters' answers, one per character, for the long texts of CSV files and
// the clipboard: asked of iconv once, then looked up instead of calling it per piece of text.
// Each entry holds the result's length (0: no character) and bytes.
struct Cp932Tables {
    struct Utf8Entry {
        uint8_t length = 0;
        char bytes[3] = {};
    };
    Utf8Entry single[256];
    std::vector<Utf8Entry> pairs = std::vector<Utf8Entry>(65536);  // lead << 8 | trail
    static constexpr uint16_t kNoCode = 0xFFFF;
    std::vector<uint16_t> codes = std::vector<uint16_t>(65536, kNoCode);  // BMP to CP932
    bool asciiSame = true;  // bytes below 0x80 stand for themselves both ways

    Cp932Tables() {
        std::string out;
        for (int b = 0; b < 256; ++b) {
            const char byte = static_cast<char>(b);
            if (auto utf8 = Decode({&byte, 1})) {
                Store(single[b], *utf8);
                continue;
            }
            for (int t = 0; t < 256; ++t) {
                const char two[2] = {byte, static_cast<char>(t)};
                if (auto pair = Decode({two, 2})) {
                    Store(pairs[static_cast<std::size_t>(b << 8 | t)], *pair);
                }
            }
        }
        for (char32_t c = 0; c < 0x10000; ++c) {
            if (c >= 0xD800 && c <= 0xDFFF) {
                continue;
            }
            std::string utf8;
            AppendUtf8(utf8, c);
            if (auto cp932 = Encode(utf8); cp932 && !cp932->empty() && cp932->size() <= 2) {
                codes[c] = static_cast<uint16_t>(
                    cp932->size() == 1 ? static_cast<unsigned char>((*cp932)[0])
                                       : static_cast<unsigned char>((*cp932)[0]) << 8 |
                                             static_cast<unsigned char>((*cp932)[1]));
            }
        }
        for (int b = 0; b < 0x80; ++b) {
            asciiSame = asciiSame && single[b].length == 1 && single[b].bytes[0] == b &&
                        codes[static_cast<std::size_t>(b)] == b;
        }
    }

    static std::optional<std::string> Decode(std::string_view bytes) {
        std::string output;
        if (!Convert(Decoder().Ready(), bytes, output,
                     [](char*&, std::size_t&, std::string&) { return false; }) ||
            output.empty() || output.size() > 3) {
            return std::nullopt;
        }
        return output;
    }
    static std::optional<std::string> Encode(std::string_view utf8) {
        std::string output;
        if (!Convert(Encoder().Ready(), utf8, output,
                     [](char*&, std::size_t&, std::string&) { return false; })) {
            return std::nullopt;
        }
        return output;
    }
    static void Store(Utf8Entry& entry, const std::string& utf8) {
        entry.length = static_cast<uint8_t>(utf8.size());
        std::memcpy(entry.bytes, utf8.data(), utf8.size());
    }
};

const Cp932Tables& Tables() {
    static const Cp932Tables tables;
    return tables;
}

// Whether the eight bytes at `p` are all ASCII (which the tables map to themselves when
// asciiSame says so).
bool EightAscii(const char* p) {
    uint64_t word = 0;
    std::memcpy(&word, p, sizeof word);
    return (word & 0x8080808080808080ULL) == 0;
}

// The well-formed one-, two- and three-byte characters at `at`, which hold every character
// CP932 has, decoded inline; a length of 0 for anything else.
inline Utf8Character UpToThreeBytes(std::string_view utf8, std::size_t at) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(utf8[at + k]); };
    const std::size_t left = utf8.size() - at;
    const unsigned lead = byte(0);
    if (lead < 0x80) {
        return {lead, 1};
    }
    if (lead >= 0xE0 && lead < 0xF0 && left >= 3 && (byte(1) & 0xC0) == 0x80 &&
        (byte(2) & 0xC0) == 0x80) {
        const char32_t value = (lead & 0x0Fu) << 12 | (byte(1) & 0x3Fu) << 6 | (byte(2) & 0x3Fu);
        if (value >= 0x800 && (value < 0xD800 || value > 0xDFFF)) {
            return {value, 3};
        }
    } else if (lead >= 0xC2 && lead < 0xE0 && left >= 2 && (byte(1) & 0xC0) == 0x80) {
        return {(lead & 0x1Fu) << 6 | (byte(1) & 0x3Fu), 2};
    }
    return {0, 0};
}

}  // namespace

namespace {

// The conversion loop of both forms below: `replace(out, at, character)` writes the
// replacement of the character CP932 lacks that starts at input offset `at`, and returns where
// writing goes on.
template <class Replace>
char* ConvertUtf8(std::string_view utf8, char* out, Replace&& replace) {
    const Cp932Tables& tables = Tables();
    std::size_t i = 0;
    while (i < utf8.size()) {
        while (tables.asciiSame && utf8.size() - i >= 8 && EightAscii(utf8.data() + i)) {
            std::memcpy(out, utf8.data() + i, 8);
            out += 8;
            i += 8;
        }
        if (i == utf8.size()) {
            break;
        }
        Utf8Character character = UpToThreeBytes(utf8, i);
        uint16_t code = Cp932Tables::kNoCode;
        if (character.length != 0) {
            code = tables.codes[character.value];
        } else {
            character = DecodeUtf8At(utf8, i);
            const bool wellFormed =
                character.value != 0xFFFD || utf8.substr(i, 3) == "\xEF\xBF\xBD";
            if (wellFormed && character.value < 0x10000) {
                code = tables.codes[character.value];
            }
        }
        if (code == Cp932Tables::kNoCode) {
            out = replace(out, i, character.value);
        } else if (code < 0x100) {
            *out++ = static_cast<char>(code);
        } else {
            *out++ = static_cast<char>(code >> 8);
            *out++ = static_cast<char>(code & 0xFF);
        }
        i += character.length;
    }
    return out;
}

}  // namespace

std::string Utf8ToCp932Replacing(std::string_view utf8, std::string_view replacement,
                                 const std::function<void(std::size_t, char32_t)>& onReplaced) {
    // A character never takes more bytes in CP932 than in UTF-8, except when replaced.
    std::string output;
    output.resize(utf8.size());
    char* end = ConvertUtf8(utf8, output.data(), [&](char* out, std::size_t at, char32_t c) {
        const auto used = static_cast<std::size_t>(out - output.data());
        onReplaced(used, c);
        output.resize(std::max(output.size(), used + replacement.size() + (utf8.size() - at)));
        out = output.data() + used;
        std::memcpy(out, replacement.data(), replacement.size());
        return out + replacement.size();
    });
    output.resize(static_cast<std::size_t>(end - output.data()));
    return output;
}

char* Utf8ToCp932Into(std::string_view utf8, char* out, std::string_view replacement,
                      const std::function<void(std::size_t, char32_t)>& onReplaced) {
    char* const start = out;
    return ConvertUtf8(utf8, out, [&](char* at, std::size_t, char32_t c) {
        onReplaced(static_cast<std::size_t>(at - start), c);
        std::memcpy(at, replacement.data(), replacement.size());
        return at + replacement.size();
    });
}

char* TryCp932ToUtf8Into(std::string_view cp932, char* out) {
    const Cp932Tables& tables = Tables();
    const auto* p = reinterpret_cast<const unsigned char*>(cp932.data());
    const unsigned char* const end = p + cp932.size();
    while (p < end) {
        // A run of ASCII is copied as it is, eight bytes at a time where it is long.
        if (tables.asciiSame && *p < 0x80) {
            while (end - p >= 8 && EightAscii(reinterpret_cast<const char*>(p))) {
                std::memcpy(out, p, 8);
                out += 8;
                p += 8;
            }
            while (p < end && *p < 0x80) {
                *out++ = static_cast<char>(*p++);
            }
            continue;
        }
        const Cp932Tables::Utf8Entry* entry = &tables.single[*p];
        if (entry->length != 0) {
            ++p;
        } else {
            if (end - p < 2) {
                return nullptr;
            }
            entry = &tables.pairs[static_cast<std::size_t>(p[0] << 8 | p[1])];
            if (entry->length == 0) {
                return nullptr;
            }
            p += 2;
        }
        std::memcpy(out, entry->bytes, 3);
        out += entry->length;
    }
    return out;
}

std::optional<std::string> TryCp932ToUtf8(std::string_view cp932) {
    std::string output;
    output.resize(cp932.size() * 3);  // a byte gives at most three
    char* end = TryCp932ToUtf8Into(cp932, output.data());
    if (end == nullptr) {
        return std::nullopt;
    }
    output.resize(static_cast<std::size_t>(end - output.data()));
    return output;
}

bool IsValidCp932(std::string_view cp932) {
    const Cp932Tables& tables = Tables();
    const auto* p = reinterpret_cast<const unsigned char*>(cp932.data());
    const unsigned char* const end = p + cp932.size();
    while (p < end) {
        while (tables.asciiSame && end - p >= 8 && EightAscii(reinterpret_cast<const char*>(p))) {
            p += 8;
        }
        if (p == end) {
            break;
        }
        if (tables.single[*p].length != 0) {
            ++p;
            continue;
        }
        if (end - p < 2 || tables.pairs[static_cast<std::size_t>(p[0] << 8 | p[1])].length == 0) {
            return false;
        }
        p += 2;
    }
    return true;
}

bool IsCp932Representable(char32_t character) {
    if (character > 0x10FFFF || (character >= 0xD800 && character <= 0xDFFF)) {
        return false;
    }
    char utf8[4];
    std::size_t length;
    if (character < 0x80) {
        utf8[0] = static_cast<char>(character);
        length = 1;
    } else if (character < 0x800) {
        utf8[0] = static_cast<char>(0xC0 | (character >> 6));
        utf8[1] = static_cast<char>(0x80 | (character & 0x3F));
        length = 2;
    } else if (character < 0x10000) {
        utf8[0] = static_cast<char>(0xE0 | (character >> 12));
        utf8[1] = static_cast<char>(0x80 | ((character >> 6) & 0x3F));
        utf8[2] = static_cast<char>(0x80 | (character & 0x3F));
        length = 3;
    } else {
        utf8[0] = static_cast<char>(0xF0 | (character >> 18));
        utf8[1] = static_cast<char>(0x80 | ((character >> 12) & 0x3F));
        utf8[2] = static_cast<char>(0x80 | ((character >> 6) & 0x3F));
        utf8[3] = static_cast<char>(0x80 | (character & 0x3F));
        length = 4;
    }
    return Utf8ToCp932(std::string_view(utf8, length)).has_value();
}

}  // namespace qv
