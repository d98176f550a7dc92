// A consistency checker over every page of a Jet 4 file: what Jet relies on beyond what a plain
// export reads (global map against owned pages, free-space fields, slot flags and overflow
// pointers, long-value ownership and lengths). Used by tests after writes.
#pragma once
#include <string>
#include <vector>

namespace jet {

class PageFile;

// Every problem found, one sentence each naming the page (empty = consistent). Checks:
//  1. the file is a whole number of pages;
//  2. every in-use data page: slot count <= 255, row starts within the page and non-increasing,
//     free_space == lowest row start - (14 + 2 * slots);
//  3. no page a table, index or long-value column owns, no map host or bitmap page and no
//     definition page is marked free in the global map; free-space maps are subsets of the
//     owned maps; a table's owned data pages carry its definition page;
//  4. an overflow pointer (0x4000) leads to a 0x8000 row on a page the same table owns, and
//     every 0x8000 row is the target of exactly one pointer;
//  5. every out-of-line long value lies on LVAL pages its column owns, each LVAL row is used by
//     one value only, rows are <= 4076 bytes, single rows hold exactly the value, chain payloads
//     add up exactly; inline values are <= 64 bytes and fill their slot exactly.
std::vector<std::string> checkInvariants(const PageFile& file);
std::vector<std::string> checkInvariants(const std::string& path);

} // namespace jet
