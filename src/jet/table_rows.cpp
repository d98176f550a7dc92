// The kept values of a table, column by column, and the statements' row sets over them.
#include "jet/table_rows.h"

namespace jet {

// ---- TableRows ---------------------------------------------------------------------------------

void TableRows::add(const RowLocation& location, std::vector<Value> values) {
    const size_t row = locations_.size();
    locations_.push_back(location);
    for (size_t c = 0; c < columns_.size(); ++c) {
        Column& column = columns_[c];
        Value& v = values[c];
        if (!column.general) {
            if (const auto* n = std::get_if<int64_t>(&v)) {
                column.numbers.push_back(*n);
                column.nulls.push_back(false);
                continue;
            }
            if (std::holds_alternative<Null>(v)) {
                column.numbers.push_back(0);
                column.nulls.push_back(true);
                continue;
            }
            // The first value of another kind: the column keeps every value as it is from now on.
            column.general = true;
            column.values.reserve(row + 1);
            for (size_t r = 0; r < row; ++r) {
                if (column.nulls[r]) column.values.emplace_back(Null{});
                else column.values.emplace_back(column.numbers[r]);
            }
            column.numbers = {};
            column.nulls = {};
        }
        column.values.push_back(std::move(v));
    }
}

Value TableRows::value(size_t row, size_t column) const {
    const Column& c = columns_[column];
    if (c.general) return c.values[row];
    if (c.nulls[row]) return Null{};
    return c.numbers[row];
}

std::optional<int64_t> TableRows::wholeNumber(size_t row, size_t column) const {
    const Column& c = columns_[column];
    if (c.nulls[row]) return std::nullopt;
    return c.numbers[row];
}

// ---- RowSet ------------------------------------------------------------------------------------

RowSet::RowSet() = default;
RowSet::RowSet(std::vector<ColumnInfo> columns, std::shared_ptr<const TableRows> table, std::vector<uint32_t> rows)
    : columns_(std::move(columns)), table_(std::move(table)), rows_(std::move(rows)) {}
RowSet::~RowSet() = default;
RowSet::RowSet(RowSet&&) noexcept = default;
RowSet& RowSet::operator=(RowSet&&) noexcept = default;

int RowSet::columnIndex(const std::string& name) const { return columnIndexIn(columns_, name); }

RowId RowSet::id(size_t row) const { return table_->location(rows_[row]).header; }

Value RowSet::value(size_t row, size_t column) const { return table_->value(rows_[row], column); }

Row RowSet::row(size_t row) const {
    Row r;
    r.id = id(row);
    r.values.reserve(columns_.size());
    for (size_t c = 0; c < columns_.size(); ++c) r.values.push_back(value(row, c));
    return r;
}

} // namespace jet
