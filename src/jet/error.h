// The one error type of the engine: a clear message naming the file, table or page where it helps.
#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>

namespace jet {

class Error : public std::runtime_error {
public:
    explicit Error(const std::string& message) : std::runtime_error(message) {}
};

// A structure of the file names a page the file does not have: the file was cut short (an
// interrupted copy) or is damaged. Its own type so that checks can tell it from other damage.
class PageMissingError : public Error {
public:
    PageMissingError(const std::string& file, uint32_t page, uint32_t pageCount)
        : Error(file + " is damaged or incomplete: page " + std::to_string(page) +
                " lies past the end of the file (" + std::to_string(pageCount) + " pages)") {}
};

} // namespace jet
