// The catalog (MSysObjects, TDEF page 2): the database's objects, and the lookup of user tables
// by name without regard to case.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace jet {

class PageFile;

struct CatalogEntry {
    std::string name;    // UTF-8
    std::u16string name16;
    int32_t id = 0;
    int32_t parentId = 0;
    int type = 0;        // 1 = local table
    uint32_t flags = 0;
    uint32_t tdefPage() const; // for tables: Id's low 24 bits
    bool isUserTable() const;  // a local table without the system/hidden flags
};

// Every row of MSysObjects, in storage order.
std::vector<CatalogEntry> readCatalog(const PageFile& file);

// The user table named `name` (compared without regard to case); nullopt if none.
std::optional<CatalogEntry> findUserTable(const std::vector<CatalogEntry>& catalog,
                                          const std::string& name);

// Case-insensitive comparison of UTF-8 names: ASCII and the Latin-1/Latin Extended letters fold.
bool sameName(const std::string& a, const std::string& b);

} // namespace jet
