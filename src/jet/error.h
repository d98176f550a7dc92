// The one error type of the engine: a clear message naming the file, table or page where it helps.
#pragma once
#include <stdexcept>
#include <string>

namespace jet {

class Error : public std::runtime_error {
public:
    explicit Error(const std::string& message) : std::runtime_error(message) {}
};

} // namespace jet
