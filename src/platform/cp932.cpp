#include "platform/cp932.h"

#include "platform/utf8.h"

#include <iconv.h>

#include <cerrno>
#include <new>

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

std::string Utf8ToCp932Replacing(std::string_view utf8, std::string_view replacement,
                                 const std::function<void(std::size_t, char32_t)>& onReplaced) {
    std::string output;
    Convert(Encoder().Ready(), utf8, output, [&](char*& in, std::size_t& inLeft, std::string& out) {
        const Utf8Character character = DecodeUtf8At(std::string_view(in, inLeft), 0);
        onReplaced(out.size(), character.value);
        out += replacement;
        in += character.length;
        inLeft -= character.length;
        return true;
    });
    return output;
}

std::optional<std::string> TryCp932ToUtf8(std::string_view cp932) {
    std::string output;
    if (!Convert(Decoder().Ready(), cp932, output,
                 [](char*&, std::size_t&, std::string&) { return false; })) {
        return std::nullopt;
    }
    return output;
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
