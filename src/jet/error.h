// The one error type of the engine: a clear message naming the file, table or page where it helps.
// The errors a user can meet also carry their kind and facts, so that the program can word them
// in the user's language (src/texts/error_texts.h); what() stays the English technical text.
#pragma once
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

namespace jet {

enum class ErrorKind {
    Other,             // any other failure: only what() tells it
    FileMissing,       // path
    NotJet4,           // path: not a Jet 4 database (empty, too short, another format)
    NoTable,           // path, table
    NoColumn,          // table, column
    Damaged,           // path, page, pages: a page the file does not have
    ReadOnly,          // path: cannot be opened for writing
    Locked,            // path: a range stayed locked by another program
    InUse,             // path, holder (computer and user, when the lock file tells)
    DiskFull,          // path
    BackupFailed,      // path (the bible), reason
    CompactionRefused, // path, reason
};

struct ErrorFacts {
    std::string path;
    std::string table;
    std::string column;
    uint32_t page = 0;
    uint32_t pages = 0;
    std::string holder;
    std::string reason; // in English
};

class Error : public std::runtime_error {
public:
    explicit Error(const std::string& message) : std::runtime_error(message) {}
    Error(ErrorKind kind, ErrorFacts facts, const std::string& message)
        : std::runtime_error(message), kind_(kind), facts_(std::make_shared<const ErrorFacts>(std::move(facts))) {}

    ErrorKind kind() const { return kind_; }
    const ErrorFacts& facts() const {
        static const ErrorFacts none;
        return facts_ ? *facts_ : none;
    }

private:
    ErrorKind kind_ = ErrorKind::Other;
    std::shared_ptr<const ErrorFacts> facts_;
};

// A structure of the file names a page the file does not have: the file was cut short (an
// interrupted copy) or is damaged. Its own type so that checks can tell it from other damage.
class PageMissingError : public Error {
public:
    PageMissingError(const std::string& file, uint32_t page, uint32_t pageCount)
        : Error(ErrorKind::Damaged, ErrorFacts{file, {}, {}, page, pageCount, {}, {}},
                file + " is damaged or incomplete: page " + std::to_string(page) +
                    " lies past the end of the file (" + std::to_string(pageCount) + " pages)") {}
};

} // namespace jet
