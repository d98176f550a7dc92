// The engine facade: opening and validating a file, the catalog, table reads and the SELECT subset.
#include "jet/database_impl.h"

#include "jet/completeness.h"
#include "jet/data_page.h"
#include "jet/format.h"
#include "jet/in_use.h"
#include "jet/row.h"
#include "jet/sql.h"
#include "jet/text_codec.h"
#include "jet/values.h"

#include <algorithm>
#include <cmath>

namespace jet {

// ---- small facade helpers --------------------------------------------------------------------------

std::string columnTypeName(ColumnType type) {
    switch (type) {
    case ColumnType::Bool: return "Yes/No";
    case ColumnType::Byte: return "Byte";
    case ColumnType::Int: return "Integer";
    case ColumnType::Long: return "Long Integer";
    case ColumnType::Money: return "Currency";
    case ColumnType::Float: return "Single";
    case ColumnType::Double: return "Double";
    case ColumnType::DateTime: return "Date/Time";
    case ColumnType::Binary: return "Binary";
    case ColumnType::Text: return "Text";
    case ColumnType::Ole: return "OLE Object";
    case ColumnType::Memo: return "Memo";
    case ColumnType::Guid: return "Replication ID";
    case ColumnType::Numeric: return "Decimal";
    }
    return "Unknown type " + std::to_string(int(type));
}

int columnIndexIn(const std::vector<ColumnInfo>& columns, const std::string& name) {
    for (size_t i = 0; i < columns.size(); ++i)
        if (sameName(columns[i].name, name)) return int(i);
    return -1;
}

int TableSchema::columnIndex(const std::string& n) const { return columnIndexIn(columns, n); }
int ResultSet::columnIndex(const std::string& n) const { return columnIndexIn(columns, n); }

// ---- Impl ------------------------------------------------------------------------------------------

Database::Impl::Impl(std::unique_ptr<PageFile> f, OpenMode m) : path(f->name()), mode(m), file(std::move(f)) {
    file->refresh();
    header = readFileHeader(*file);
    seenGeneration_ = file->generation();
    guarded([&] { return catalog(); }); // a file whose catalog cannot be read is not usable
    guarded([&] { requireAllPagesPresent(*file, catalog()); }); // nor one cut short
}

Database::Impl::~Impl() {
    try {
        if (file && file->holdingWrites()) sendHeldWrites(true);
    } catch (...) {
        // Closing must not throw; what was held is lost and the file keeps its last state.
    }
}

std::unique_ptr<Database> Database::Impl::wrap(std::unique_ptr<Impl> impl) {
    return std::unique_ptr<Database>(new Database(std::move(impl)));
}

void Database::Impl::refresh() {
    file->refresh();
    if (file->generation() == seenGeneration_) return;
    invalidate();
    header = readFileHeader(*file);
    seenGeneration_ = file->generation();
}

void Database::Impl::invalidate() {
    catalog_.reset();
    tables_.clear();
    snapshots_.clear();
}

const std::vector<CatalogEntry>& Database::Impl::catalog() {
    if (!catalog_) catalog_ = readCatalog(*file);
    return *catalog_;
}

const TableDef& Database::Impl::table(const std::string& name) {
    auto entry = findUserTable(catalog(), name);
    if (!entry) throw Error(ErrorKind::NoTable, {path, name}, path + ": there is no table '" + name + "'");
    auto& slot = tables_[entry->tdefPage()];
    if (!slot) slot = std::make_unique<TableDef>(readTableDef(*file, entry->tdefPage(), entry->name));
    return *slot;
}

void Database::Impl::scan(const TableDef& def, const std::function<void(const Row&)>& visit) {
    Row r;
    forEachRow(*file, def, [&](const RowLocation& loc, const CrackedRow& row) {
        r.id = loc.header;
        r.values.clear();
        for (size_t i = 0; i < def.columns.size(); ++i)
            r.values.push_back(decodeValue(*file, def.columns[i], row, row.columns[i]));
        visit(r);
    });
}

ResultSet Database::Impl::readAll(const TableDef& def) {
    ResultSet rs;
    rs.columns = def.infos();
    scan(def, [&](const Row& r) { rs.rows.push_back(r); });
    return rs;
}

Database::Impl::TableSnapshot& Database::Impl::snapshot(const TableDef& def) {
    auto& slot = snapshots_[def.firstPage];
    if (slot) return *slot;
    auto rows = std::make_shared<TableRows>(def.columns.size());
    forEachRow(*file, def, [&](const RowLocation& loc, const CrackedRow& row) {
        std::vector<Value> values(def.columns.size());
        for (size_t i = 0; i < def.columns.size(); ++i)
            if (!def.columns[i].isLongValue()) values[i] = decodeValue(*file, def.columns[i], row, row.columns[i]);
        rows->add(loc, std::move(values));
    });
    auto snap = std::make_unique<TableSnapshot>();
    snap->rows = std::move(rows);
    slot = std::move(snap);
    return *slot;
}

const std::vector<uint32_t>* Database::Impl::TableSnapshot::rowsWithValue(size_t column, int64_t wanted) {
    auto [slot, fresh] = byValue.try_emplace(column);
    // A column holding other values than whole numbers and NULL is compared by matches().
    if (fresh && rows->wholeNumbers(column)) {
        std::map<int64_t, std::vector<uint32_t>> index;
        for (size_t r = 0; r < rows->size(); ++r)
            if (const auto n = rows->wholeNumber(r, column)) index[*n].push_back(uint32_t(r));
        slot->second = std::move(index);
    }
    if (!slot->second) return nullptr;
    static const std::vector<uint32_t> noRows;
    const auto found = slot->second->find(wanted);
    return found == slot->second->end() ? &noRows : &found->second;
}

// ---- the SELECT subset --------------------------------------------------------------------------------

namespace {

// Numeric view of a value for "column = integer"; nullopt for NULL.
std::optional<long double> numberOf(const Value& v) {
    if (auto p = std::get_if<int64_t>(&v)) return (long double)*p;
    if (auto p = std::get_if<double>(&v)) return (long double)*p;
    if (auto p = std::get_if<bool>(&v)) return *p ? -1.0L : 0.0L; // Jet's True is -1
    if (auto p = std::get_if<Money>(&v)) return (long double)p->tenThousandths / 10000.0L;
    if (auto p = std::get_if<DateTime>(&v)) return (long double)p->days;
    if (auto p = std::get_if<Decimal>(&v)) return std::strtold(p->text.c_str(), nullptr);
    return std::nullopt;
}

bool matches(const Value& v, int64_t wanted) {
    if (auto p = std::get_if<int64_t>(&v)) return *p == wanted; // exact for every integer
    auto n = numberOf(v);
    return n && *n == (long double)wanted;
}

int foldCompare(const std::u16string& a, const std::u16string& b) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        char16_t x = a[i], y = b[i];
        if (x >= u'a' && x <= u'z') x = char16_t(x - 32);
        if (y >= u'a' && y <= u'z') y = char16_t(y - 32);
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

// Ordering for ORDER BY: NULL first, then by value.
int compareValues(const Value& a, const Value& b) {
    bool an = std::holds_alternative<Null>(a), bn = std::holds_alternative<Null>(b);
    if (an || bn) return an == bn ? 0 : an ? -1 : 1;
    if (auto x = std::get_if<int64_t>(&a))
        if (auto y = std::get_if<int64_t>(&b)) return *x == *y ? 0 : *x < *y ? -1 : 1;
    if (auto x = std::get_if<std::u16string>(&a))
        if (auto y = std::get_if<std::u16string>(&b)) return foldCompare(*x, *y);
    if (auto x = std::get_if<Bytes>(&a))
        if (auto y = std::get_if<Bytes>(&b)) return *x == *y ? 0 : *x < *y ? -1 : 1;
    auto x = numberOf(a), y = numberOf(b);
    if (x && y) return *x == *y ? 0 : *x < *y ? -1 : 1;
    return 0;
}


} // namespace

Database::Impl::Selection Database::Impl::select(const std::string& sql) {
    SelectStatement st = parseSelect(sql);
    refresh();
    const TableDef& def = table(st.table);
    auto column = [&](const std::string& name) {
        int i = def.columnIndex(name);
        if (i < 0) throw Error(path + ": table '" + def.name + "' has no column '" + name + "'");
        return size_t(i);
    };
    std::vector<std::pair<size_t, int64_t>> conditions;
    for (const auto& c : st.where) {
        size_t i = column(c.column);
        if (!holdsNumber(ColumnType(def.columns[i].typeCode)))
            throw Error(path + ": column '" + def.columns[i].nameUtf8 + "' of table '" + def.name +
                        "' holds " + columnTypeName(ColumnType(def.columns[i].typeCode)) +
                        " values and cannot be compared with the integer " + std::to_string(c.value));
        conditions.emplace_back(i, c.value);
    }
    std::optional<size_t> order;
    if (st.orderBy) order = column(*st.orderBy);

    TableSnapshot& snap = snapshot(def);
    const TableRows& rows = *snap.rows;
    // A statement of the window names a book (and a chapter): only the rows of that value are
    // tested, in storage order as a full scan would meet them.
    const std::vector<uint32_t>* candidates =
        conditions.empty() ? nullptr : snap.rowsWithValue(conditions.front().first, conditions.front().second);
    Selection selection;
    selection.def = &def;
    selection.rows = snap.rows;
    const size_t count = candidates ? candidates->size() : rows.size();
    for (size_t n = 0; n < count; ++n) {
        const uint32_t r = candidates ? (*candidates)[n] : uint32_t(n);
        bool ok = std::all_of(conditions.begin(), conditions.end(),
                              [&](const auto& c) { return matches(rows.value(r, c.first), c.second); });
        if (ok) selection.positions.push_back(r);
    }
    if (order) {
        // Stable: rows of equal values stay in storage order.
        std::vector<Value> keys;
        keys.reserve(selection.positions.size());
        for (uint32_t r : selection.positions) keys.push_back(rows.value(r, *order));
        std::vector<uint32_t> sorted(selection.positions.size());
        for (uint32_t i = 0; i < sorted.size(); ++i) sorted[i] = i;
        const bool desc = st.descending;
        std::stable_sort(sorted.begin(), sorted.end(), [&](uint32_t a, uint32_t b) {
            int c = compareValues(keys[a], keys[b]);
            return desc ? c > 0 : c < 0;
        });
        for (uint32_t& i : sorted) i = selection.positions[i];
        selection.positions = std::move(sorted);
    }
    return selection;
}

ResultSet Database::Impl::withLongValues(const Selection& selection) {
    const TableDef& def = *selection.def;
    const TableRows& rows = *selection.rows;
    ResultSet rs;
    rs.columns = def.infos();
    bool anyLongValue = std::any_of(def.columns.begin(), def.columns.end(),
                                    [](const ColumnDef& c) { return c.isLongValue(); });
    rs.rows.reserve(selection.positions.size());
    for (uint32_t r : selection.positions) {
        Row row;
        const RowLocation& loc = rows.location(r);
        row.id = loc.header;
        row.values.reserve(def.columns.size());
        for (size_t i = 0; i < def.columns.size(); ++i) row.values.push_back(rows.value(r, i));
        if (anyLongValue) {
            CrackedRow cracked = crackRow(def, DataPage(file->view(loc.data.page), loc.data.page).row(loc.data.slot));
            for (size_t i = 0; i < def.columns.size(); ++i)
                if (def.columns[i].isLongValue())
                    row.values[i] = decodeValue(*file, def.columns[i], cracked, cracked.columns[i]);
        }
        rs.rows.push_back(std::move(row));
    }
    return rs;
}

// ---- Database --------------------------------------------------------------------------------------

Database::Database(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
Database::~Database() = default;

std::unique_ptr<Database> Database::open(const std::string& path, OpenMode mode) {
    auto file = openPageFile(path, mode == OpenMode::ReadWrite);
    // A write session starts only when no other program has the file (updateText checks its
    // locks again before every write).
    if (mode == OpenMode::ReadWrite) refuseIfInUse(path, InUseCheck::Thorough);
    auto impl = std::make_unique<Impl>(std::move(file), mode);
    impl->onDisk = true;
    return Impl::wrap(std::move(impl));
}

std::unique_ptr<Database> openDatabase(std::unique_ptr<PageFile> file, OpenMode mode) {
    return Database::Impl::wrap(std::make_unique<Database::Impl>(std::move(file), mode));
}

std::unique_ptr<Database> openMemoryDatabase(Bytes contents, const std::string& name) {
    return Database::Impl::wrap(std::make_unique<Database::Impl>(memoryPageFile(std::move(contents), name, false),
                                                                 OpenMode::ReadOnly));
}

const std::string& Database::path() const { return impl_->path; }

std::vector<std::string> Database::tableNames() const {
    return impl_->guarded([&] {
        impl_->refresh();
        std::vector<std::string> names;
        for (const auto& e : impl_->catalog())
            if (e.isUserTable()) names.push_back(e.name);
        return names;
    });
}

TableSchema Database::schema(const std::string& table) const {
    return impl_->guarded([&] {
        impl_->refresh();
        return impl_->table(table).schema();
    });
}

ResultSet Database::readTable(const std::string& table) const {
    return impl_->guarded([&] {
        impl_->refresh();
        return impl_->readAll(impl_->table(table));
    });
}

void Database::scanTable(const std::string& table, const std::function<void(const Row&)>& visit) const {
    impl_->guarded([&] {
        impl_->refresh();
        impl_->scan(impl_->table(table), visit);
    });
}

ResultSet Database::query(const std::string& sql) const {
    return impl_->guarded([&] { return impl_->withLongValues(impl_->select(sql)); });
}

RowSet Database::queryWithoutLongValues(const std::string& sql) const {
    return impl_->guarded([&] {
        Impl::Selection selection = impl_->select(sql);
        return RowSet(selection.def->infos(), std::move(selection.rows), std::move(selection.positions));
    });
}

void Database::readLongValues(const std::string& table, Row& row) const {
    impl_->guarded([&] {
        impl_->refresh();
        const TableDef& def = impl_->table(table);
        const auto loc = locateRow(*impl_->file, row.id);
        if (!loc) throw Error("table '" + def.name + "': the row at page " + std::to_string(row.id.page) + " slot " +
                              std::to_string(row.id.slot) + " no longer exists");
        if (row.values.size() != def.columns.size())
            throw Error("internal: a row of table '" + def.name + "' read with another column count");
        const CrackedRow cracked =
            crackRow(def, DataPage(impl_->file->view(loc->data.page), loc->data.page).row(loc->data.slot));
        for (size_t i = 0; i < def.columns.size(); ++i)
            if (def.columns[i].isLongValue())
                row.values[i] = decodeValue(*impl_->file, def.columns[i], cracked, cracked.columns[i]);
    });
}

} // namespace jet
