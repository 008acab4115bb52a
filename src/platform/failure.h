#pragma once

#include <stdexcept>
#include <string>

namespace qv {

// The one failure type of the program. Its message is the user-visible text (UTF-8) that the
// failure box shows, followed by a full stop that the box adds.
class Failure : public std::runtime_error {
public:
    explicit Failure(const std::string& message) : std::runtime_error(message) {}
    std::string message() const { return what(); }
};

// What the program says when the system gives it no more memory (std::bad_alloc).
inline constexpr char kOutOfMemoryMessage[] = "メモリが足りません";

}  // namespace qv
