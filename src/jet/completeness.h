// The check that a file holds every page its tables name: a file cut short (an interrupted copy)
// would otherwise read as one with fewer rows, because usage-map bits past the end are dropped.
#pragma once
#include "jet/catalog.h"

namespace jet {

class PageFile;

// Throws PageMissingError for the first page past the end of the file that a table definition
// chain, an owned or free-space map, or a long-value column map of the catalog or of a table
// names. Other damage is left to the reads that meet it.
void requireAllPagesPresent(const PageFile& file, const std::vector<CatalogEntry>& catalog);

} // namespace jet
