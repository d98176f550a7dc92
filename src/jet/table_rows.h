// The values of a table's rows as the engine keeps them between statements (long values left
// out), stored column by column so that a bible's 31,000 rows take a few bytes per value. A
// statement's RowSet shares them instead of copying them.
#pragma once
#include "jet/database.h"
#include "jet/row.h"

#include <cstdint>
#include <vector>

namespace jet {

class TableRows {
public:
    explicit TableRows(size_t columns) : columns_(columns) {}

    // Appends a row (one value per column; long values Null). Only while the rows are built.
    void add(const RowLocation& location, std::vector<Value> values);

    size_t size() const { return locations_.size(); }
    size_t columnCount() const { return columns_.size(); }
    const RowLocation& location(size_t row) const { return locations_[row]; }
    Value value(size_t row, size_t column) const;
    // Whether the column holds nothing but whole numbers and NULL; then wholeNumber() reads it.
    bool wholeNumbers(size_t column) const { return !columns_[column].general; }
    // The row's whole number in such a column; nullopt for NULL.
    std::optional<int64_t> wholeNumber(size_t row, size_t column) const;

private:
    // Whole numbers and NULL (a bible's book, chapter and verse) in 9 bytes a value; a column
    // that holds anything else keeps every value as it is.
    struct Column {
        bool general = false;
        std::vector<int64_t> numbers;
        std::vector<bool> nulls;
        std::vector<Value> values; // the general column's values
    };
    std::vector<RowLocation> locations_;
    std::vector<Column> columns_;
};

} // namespace jet
