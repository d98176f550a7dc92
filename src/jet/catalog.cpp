// Reading MSysObjects and looking tables up by name.
#include "jet/catalog.h"

#include "jet/format.h"
#include "jet/page_file.h"
#include "jet/row.h"
#include "jet/table_def.h"
#include "jet/text_codec.h"
#include "jet/values.h"

namespace jet {

using namespace format;

uint32_t CatalogEntry::tdefPage() const { return uint32_t(id) & kObjectIdPageMask; }

bool CatalogEntry::isUserTable() const {
    return type == kObjectTypeTable && (flags & (kObjectFlagSystem | kObjectFlagHidden)) == 0;
}

namespace {

char16_t foldCase(char16_t c) {
    if (c >= u'a' && c <= u'z') return char16_t(c - 32);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return char16_t(c - 32); // Latin-1 letters
    if (c >= 0x100 && c <= 0x17F && (c & 1)) return char16_t(c - 1);   // Latin Extended-A pairs
    return c;
}

int columnOrThrow(const TableDef& def, const char* name, const std::string& file) {
    int i = def.columnIndex(name);
    if (i < 0) throw Error(file + ": the catalog has no column " + name + "; the file is damaged");
    return i;
}

int64_t integerOf(const Value& v) {
    if (auto p = std::get_if<int64_t>(&v)) return *p;
    return 0;
}

} // namespace

bool sameName(const std::string& a, const std::string& b) {
    std::u16string x = fromUtf8(a), y = fromUtf8(b);
    if (x.size() != y.size()) return false;
    for (size_t i = 0; i < x.size(); ++i)
        if (foldCase(x[i]) != foldCase(y[i])) return false;
    return true;
}

std::vector<CatalogEntry> readCatalog(const PageFile& file) {
    TableDef def = readTableDef(file, kCatalogTdefPage, "MSysObjects");
    int idCol = columnOrThrow(def, "Id", file.name());
    int parentCol = columnOrThrow(def, "ParentId", file.name());
    int nameCol = columnOrThrow(def, "Name", file.name());
    int typeCol = columnOrThrow(def, "Type", file.name());
    int flagsCol = columnOrThrow(def, "Flags", file.name());
    std::vector<CatalogEntry> entries;
    forEachRow(file, def, [&](const RowLocation&, const CrackedRow& row) {
        auto value = [&](int col) { return decodeValue(file, def.columns[size_t(col)], row, row.columns[size_t(col)]); };
        CatalogEntry e;
        Value name = value(nameCol);
        if (auto s = std::get_if<std::u16string>(&name)) e.name16 = *s;
        e.name = toUtf8(e.name16);
        e.id = int32_t(integerOf(value(idCol)));
        e.parentId = int32_t(integerOf(value(parentCol)));
        e.type = int(integerOf(value(typeCol)));
        e.flags = uint32_t(integerOf(value(flagsCol)));
        entries.push_back(std::move(e));
    });
    return entries;
}

std::optional<CatalogEntry> findUserTable(const std::vector<CatalogEntry>& catalog, const std::string& name) {
    for (const auto& e : catalog)
        if (e.isUserTable() && sameName(e.name, name)) return e;
    return std::nullopt;
}

} // namespace jet
