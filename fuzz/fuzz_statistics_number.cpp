// The statistics number syntax: never crashes, never gives an infinite or NaN value.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/failure.h"
#include "tools/number_format.h"
#include "tools/statistics_number.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        const std::optional<double> value = qv::ParseStatisticsNumber(text);
        if (value) {
            if (!std::isfinite(*value)) {
                std::abort();
            }
            if (qv::FormatStatisticsNumber(*value, ".").empty()) {
                std::abort();
            }
        }
    } catch (const qv::Failure&) {
        // overflow is reported, not a crash
    }
    return 0;
}
