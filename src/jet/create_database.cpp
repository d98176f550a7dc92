// createDatabase: a new Jet 4 file holding the given user tables.
//
// Page order: 0 header, 1 global usage map, 2 MSysObjects' definition, then each user table
// (definition, map host, data and LVAL pages as they fill, bitmap pages of reference maps), then
// MSysObjects' map host and data pages. Every page of the file is in use, so the global map
// marks exactly the pages past the end as free.
#include "jet/create_table.h"
#include "jet/database.h"
#include "jet/disk_files.h"
#include "jet/page_file.h"
#include "jet/text_codec.h"

#include <chrono>
#include <cstdio>

namespace jet {

namespace {

using namespace jet::format;
using create::PageSet;
using create::TableWriter;

constexpr int64_t kFlagsSystem = int32_t(kObjectFlagSystem); // the flag as the signed column holds it

double nowAsJetDate() {
    using namespace std::chrono;
    const double seconds = duration<double>(system_clock::now().time_since_epoch()).count();
    return seconds / 86400.0 + 25569.0; // 1970-01-01 is day 25569 after 1899-12-30
}

std::vector<Value> catalogRow(int64_t id, int64_t parent, const std::string& name, int64_t type,
                              double date, int64_t flags) {
    std::vector<Value> row(create::layoutCatalog().columns.size(), Null{});
    row[0] = id;
    row[1] = parent;
    row[2] = fromUtf8(name);
    row[3] = type;
    row[4] = DateTime{date};
    row[5] = DateTime{date};
    row[7] = flags;
    return row;
}

// The pages go to a scratch file beside the target, are flushed, and only then take the target's
// name: the target never exists half written.
// The path stays the caller's UTF-8 text throughout (a std::filesystem round trip would read it in
// the ANSI code page on Windows).
void writeFile(const std::string& target, const PageSet& file) {
    const std::string temp = target + ".kantelo-new";
    removeFileQuietly(temp);
    std::unique_ptr<PageFile> out;
    try {
        out = createPageFile(temp);
    } catch (const Error&) {
        throw Error("Cannot create the file " + target + ": cannot write in its folder");
    }
    try {
        for (uint32_t p = 0; p < file.count(); ++p) out->writePages(p, 1, file.pages()[p].data());
        out->flush();
    } catch (const Error&) {
        out.reset();
        removeFileQuietly(temp);
        throw Error("Cannot write the file " + target + " (disk full?)");
    }
    out.reset();
    if (pathTaken(target)) {
        removeFileQuietly(temp);
        throw Error("The file " + target + " already exists; it is not overwritten");
    }
    try {
        publishFile(temp, target);
    } catch (const Error& e) {
        removeFileQuietly(temp);
        throw Error("Cannot create the file " + target + ": " + e.what());
    }
}

} // namespace

void createDatabase(const std::string& path, const std::vector<NewTable>& tables) {
    if (pathTaken(path))
        throw Error("The file " + path + " already exists; it is not overwritten");

    // Check every table before building anything, so that a bad request fails fast.
    std::vector<create::TableLayout> layouts;
    std::vector<std::u16string> names;
    for (const NewTable& t : tables) {
        layouts.push_back(create::layoutUserTable(t));
        std::u16string key = fromUtf8(t.name);
        for (char16_t& c : key)
            if (c >= u'A' && c <= u'Z') c = char16_t(c - u'A' + u'a');
        for (const std::u16string& other : names)
            if (other == key) throw Error("Two tables are named \"" + t.name + "\" (letter case aside)");
        names.push_back(key);
    }

    const double created = nowAsJetDate();
    PageSet file;
    file.allocate(); // 0: header, built last
    file.allocate(); // 1: global usage map, built last
    const uint32_t catalogPage = file.allocate();

    std::vector<uint32_t> definitionPages;
    for (size_t i = 0; i < tables.size(); ++i) {
        TableWriter writer(file, layouts[i]);
        for (const auto& row : tables[i].rows) writer.addRow(row);
        definitionPages.push_back(writer.finish());
    }

    TableWriter catalog(file, create::layoutCatalog(), catalogPage);
    catalog.addRow(catalogRow(kObjectIdTables, kObjectIdRootContainer, "Tables", kObjectTypeContainer, created, kFlagsSystem));
    catalog.addRow(catalogRow(kObjectIdDatabases, kObjectIdRootContainer, "Databases", kObjectTypeContainer, created, kFlagsSystem));
    catalog.addRow(catalogRow(kObjectIdRelationships, kObjectIdRootContainer, "Relationships", kObjectTypeContainer, created,
                              kFlagsSystem));
    catalog.addRow(catalogRow(kObjectIdMSysDb, kObjectIdDatabases, "MSysDb", kObjectTypeDatabase, created, kFlagsSystem));
    catalog.addRow(catalogRow(catalogPage, kObjectIdTables, "MSysObjects", kObjectTypeTable, created, kFlagsSystem));
    for (size_t i = 0; i < tables.size(); ++i)
        catalog.addRow(catalogRow(definitionPages[i], kObjectIdTables, tables[i].name, kObjectTypeTable, created, 0));
    catalog.finish();

    file[0] = create::buildHeaderPage(created);
    file[kGlobalMapPage] = create::buildGlobalMapPage(file.count());
    writeFile(path, file);
}

} // namespace jet
