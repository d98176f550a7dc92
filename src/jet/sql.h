// The statement subset the program sends:
//   SELECT * FROM table [WHERE column = integer [AND column = integer ...]]
//   [ORDER BY column [ASC|DESC]]
// Keywords and names without regard to case; any white space (CR LF included) between tokens.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace jet {

struct Condition {
    std::string column;
    int64_t value = 0;
};

struct SelectStatement {
    std::string table;
    std::vector<Condition> where;
    std::optional<std::string> orderBy;
    bool descending = false;
};

// Parses a statement; throws jet::Error saying what was unexpected and where (line and column).
SelectStatement parseSelect(const std::string& sql);

} // namespace jet
