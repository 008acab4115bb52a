// Text-to-integer conversion: never crashes, and whatever it accepts writes back to a text that
// converts to the same value.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::optional<int32_t> value = qv::ParseInt(text);
    if (value && qv::ParseInt(qv::IntToStr(*value)) != value) {
        std::abort();
    }
    return 0;
}
