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

}  // namespace qv
