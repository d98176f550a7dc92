// Writing one table of a new database: its column layout, rows packed onto data pages, long
// values on the column's own LVAL pages, usage maps on a host page, and the definition (TDEF).
#pragma once
#include "jet/create_pages.h"
#include "jet/database.h"
#include "jet/page_edit.h"

#include <memory>
#include <string>
#include <vector>

namespace jet::create {

struct ColumnLayout {
    std::string name;
    ColumnType type{};
    uint16_t number = 0;
    uint16_t varIndex = 0;
    uint16_t fixedOffset = 0;
    uint16_t length = 0;     // bytes: fixed size, Text 2 x characters, Binary 255, long values 0
    uint16_t maxChars = 0;   // Text only
    uint8_t flags = 0;
    uint8_t extFlags = 0;
    bool fixed() const { return flags & format::kColFlagFixed; }
    bool longValue() const { return type == ColumnType::Memo || type == ColumnType::Ole; }
};

struct TableLayout {
    std::string name;
    bool system = false;
    std::vector<ColumnLayout> columns; // definition order = column-number order
    uint16_t varColumns = 0;
    uint16_t fixedSize = 0;
};

// Checks a requested table (names, types, lengths) and assigns column numbers, var indexes and
// fixed offsets in the order given. Throws jet::Error with a clear message.
TableLayout layoutUserTable(const NewTable& table);

// The catalog table MSysObjects with the columns and layout Jet itself gives it.
TableLayout layoutCatalog();

class TableWriter {
public:
    // `tdefPage` 0 = allocate the definition page now (the next page of `file`).
    TableWriter(PageSet& file, TableLayout layout, uint32_t tdefPage = 0);
    ~TableWriter();
    TableWriter(const TableWriter&) = delete;
    TableWriter& operator=(const TableWriter&) = delete;

    uint32_t definitionPage() const { return tdefPage_; }
    void addRow(const std::vector<Value>& values);
    // Builds every page of the table into `file` and returns the TDEF page.
    uint32_t finish();

private:
    struct LongValueColumn;
    Bytes encodeRow(const std::vector<Value>& values);
    Bytes varValue(size_t column, const ColumnLayout& c, const Value& v, const std::string& where);
    EditablePage& newPage(std::vector<std::unique_ptr<EditablePage>>& list, uint32_t owner);

    PageSet& file_;
    TableLayout layout_;
    uint32_t tdefPage_;
    int64_t rowCount_ = 0;
    std::vector<std::unique_ptr<EditablePage>> hostPages_;
    std::vector<std::unique_ptr<EditablePage>> dataPages_;
    std::vector<std::unique_ptr<LongValueColumn>> longValues_; // one per column; null if none
    uint32_t ownedMapPointer_ = 0;
    uint32_t freeMapPointer_ = 0;
};

} // namespace jet::create
