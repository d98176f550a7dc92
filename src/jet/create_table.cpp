// One table of a new database. New tables get no indexes: nothing in this program looks rows up
// through an index, and readers (ours, mdbtools, Jet) scan a table through its owned-pages map.
#include "jet/create_table.h"

#include "jet/long_value_write.h"
#include "jet/text_codec.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace jet::create {

using namespace jet::format;

namespace {

// Pages with at least this much room go into the free-space maps (a hint for later inserts).
constexpr size_t kFreeMapMinimum = kPageSize / 10;

std::u16string asciiLower(const std::u16string& s) {
    std::u16string out = s;
    for (char16_t& c : out)
        if (c >= u'A' && c <= u'Z') c = char16_t(c - u'A' + u'a');
    return out;
}

void checkName(const std::string& name, const std::string& what) {
    const std::u16string n = fromUtf8(name);
    if (n.empty()) throw Error(what + " has an empty name");
    if (n.size() > kMaxNameChars)
        throw Error(what + " \"" + name + "\" has a name longer than " + std::to_string(kMaxNameChars) + " characters");
    if (n.front() == u' ') throw Error(what + " \"" + name + "\" starts with a blank");
    for (char16_t c : n)
        if (c < 0x20 || c == u'.' || c == u'!' || c == u'`' || c == u'[' || c == u']' || c == 0xFFFD)
            throw Error(what + " \"" + name + "\" contains a character a Jet name cannot hold");
}

uint16_t fixedSize(ColumnType type) {
    switch (type) {
    case ColumnType::Bool: return 0; // the null-mask bit is the value
    case ColumnType::Byte: return 1;
    case ColumnType::Int: return 2;
    case ColumnType::Long: return 4;
    case ColumnType::Float: return 4;
    case ColumnType::Money: return 8;
    case ColumnType::Double: return 8;
    case ColumnType::DateTime: return 8;
    case ColumnType::Guid: return 16;
    default: return 0;
    }
}

bool isFixedType(ColumnType type) {
    switch (type) {
    case ColumnType::Text:
    case ColumnType::Memo:
    case ColumnType::Ole:
    case ColumnType::Binary: return false;
    default: return true;
    }
}

void assignLayout(TableLayout& layout) {
    uint16_t var = 0;
    uint16_t offset = 0;
    for (size_t i = 0; i < layout.columns.size(); ++i) {
        ColumnLayout& c = layout.columns[i];
        c.number = uint16_t(i);
        if (c.fixed()) {
            c.fixedOffset = offset;
            c.varIndex = var; // Access leaves the running var count here; readers ignore it
            c.length = c.type == ColumnType::Bool ? 1 : fixedSize(c.type);
            offset = uint16_t(offset + fixedSize(c.type));
        } else {
            c.varIndex = var++;
            c.fixedOffset = 0;
        }
    }
    layout.varColumns = var;
    layout.fixedSize = offset;
}

ColumnLayout column(const std::string& name, ColumnType type, uint8_t flags, uint16_t length = 0) {
    ColumnLayout c;
    c.name = name;
    c.type = type;
    c.flags = flags;
    c.length = length;
    if (type == ColumnType::Text) c.maxChars = uint16_t(length / 2);
    return c;
}

} // namespace

TableLayout layoutUserTable(const NewTable& table) {
    TableLayout layout;
    checkName(table.name, "The table");
    layout.name = table.name;
    const std::u16string lowered = asciiLower(fromUtf8(table.name));
    if (lowered.rfind(u"msys", 0) == 0)
        throw Error("The table name \"" + table.name + "\" is reserved for system tables");
    if (table.columns.empty()) throw Error("The table \"" + table.name + "\" has no columns");
    if (table.columns.size() > kMaxColumns)
        throw Error("The table \"" + table.name + "\" has more than " + std::to_string(kMaxColumns) + " columns");
    std::vector<std::u16string> seen;
    for (const NewColumn& nc : table.columns) {
        const std::string what = "A column of table \"" + table.name + "\"";
        checkName(nc.name, what);
        const std::u16string key = asciiLower(fromUtf8(nc.name));
        if (std::find(seen.begin(), seen.end(), key) != seen.end())
            throw Error("The table \"" + table.name + "\" has two columns named \"" + nc.name + "\"");
        seen.push_back(key);
        ColumnLayout c;
        c.name = nc.name;
        c.type = nc.type;
        c.flags = kColFlagUpdatable | (isFixedType(nc.type) ? kColFlagFixed : 0);
        switch (nc.type) {
        case ColumnType::Text:
            if (nc.maxChars < 1 || nc.maxChars > 255)
                throw Error("Column \"" + nc.name + "\" of table \"" + table.name +
                            "\": a Text column holds 1 to 255 characters, not " + std::to_string(nc.maxChars));
            c.maxChars = uint16_t(nc.maxChars);
            c.length = uint16_t(2 * nc.maxChars);
            c.extFlags = kColExtCompressed;
            break;
        case ColumnType::Memo: c.extFlags = kColExtCompressed; break;
        case ColumnType::Binary: c.length = uint16_t(kMaxBinaryBytes); break;
        case ColumnType::Numeric:
            throw Error("Column \"" + nc.name + "\" of table \"" + table.name +
                        "\": new Decimal columns are not supported");
        default: break;
        }
        layout.columns.push_back(c);
    }
    assignLayout(layout);
    return layout;
}

TableLayout layoutCatalog() {
    // Column numbers, var indexes and fixed offsets follow from this order, and match the ones
    // the engine gives MSysObjects in a database it creates.
    const uint8_t fixedFlags = kColFlagSystem | kColFlagUpdatable | kColFlagFixed;
    const uint8_t varFlags = kColFlagSystem | kColFlagUpdatable;
    TableLayout layout;
    layout.name = "MSysObjects";
    layout.system = true;
    layout.columns = {
        column("Id", ColumnType::Long, fixedFlags),
        column("ParentId", ColumnType::Long, fixedFlags),
        column("Name", ColumnType::Text, varFlags, 510),
        column("Type", ColumnType::Int, fixedFlags),
        column("DateCreate", ColumnType::DateTime, fixedFlags),
        column("DateUpdate", ColumnType::DateTime, fixedFlags),
        column("Owner", ColumnType::Binary, varFlags | 0x20, 510),
        column("Flags", ColumnType::Long, fixedFlags),
        column("Database", ColumnType::Memo, varFlags),
        column("Connect", ColumnType::Memo, varFlags),
        column("ForeignName", ColumnType::Text, varFlags, 510),
        column("RmtInfoShort", ColumnType::Binary, varFlags, 510),
        column("RmtInfoLong", ColumnType::Ole, varFlags),
        column("Lv", ColumnType::Ole, varFlags),
        column("LvProp", ColumnType::Ole, varFlags),
        column("LvModule", ColumnType::Ole, varFlags),
        column("LvExtra", ColumnType::Ole, varFlags),
    };
    assignLayout(layout);
    return layout;
}

// --- long values -----------------------------------------------------------------------------------

// The LVAL pages of one Memo or OLE column: values are added to the newest page while it has
// room; chain segments that fill a page get a page of their own.
struct TableWriter::LongValueColumn {
    std::vector<std::unique_ptr<EditablePage>> pages;
    EditablePage* current = nullptr;
    uint32_t ownedMapPointer = 0;
    uint32_t freeMapPointer = 0;
};

TableWriter::TableWriter(PageSet& file, TableLayout layout, uint32_t tdefPage)
    : file_(file), layout_(std::move(layout)), tdefPage_(tdefPage ? tdefPage : file.allocate()) {
    // Map rows: owned and free map of the table, then of each long-value column.
    size_t mapRows = 2;
    for (const ColumnLayout& c : layout_.columns) mapRows += c.longValue() ? 2 : 0;
    std::vector<uint32_t> pointers;
    for (size_t i = 0; i < mapRows; ++i) {
        if (hostPages_.empty() || !hostPages_.back()->fits(kMapRowSize))
            newPage(hostPages_, 0);
        EditablePage& host = *hostPages_.back();
        pointers.push_back(makePointer(host.number(), uint16_t(host.addRow(Bytes(kMapRowSize, 0)))));
    }
    ownedMapPointer_ = pointers[0];
    freeMapPointer_ = pointers[1];
    size_t next = 2;
    for (const ColumnLayout& c : layout_.columns) {
        if (!c.longValue()) {
            longValues_.push_back(nullptr);
            continue;
        }
        auto lv = std::make_unique<LongValueColumn>();
        lv->ownedMapPointer = pointers[next++];
        lv->freeMapPointer = pointers[next++];
        longValues_.push_back(std::move(lv));
    }
}

TableWriter::~TableWriter() = default;

EditablePage& TableWriter::newPage(std::vector<std::unique_ptr<EditablePage>>& list, uint32_t owner) {
    list.push_back(std::make_unique<EditablePage>(EditablePage::empty(file_.allocate(), owner)));
    return *list.back();
}

namespace {

// The LVAL rows of a new database: values are added to the newest page while it has room; a row
// longer than half a page that does not fit there (a full chain segment) gets a page of its own,
// so the newest page stays open for the values that follow.
class NewPagePlacer final : public LvalRowPlacer {
public:
    NewPagePlacer(std::vector<std::unique_ptr<EditablePage>>& pages, EditablePage*& current, PageSet& file)
        : pages_(pages), current_(current), file_(file) {}

    Place place(size_t length) override {
        if (current_ && current_->fits(length)) return {current_, current_->slotCount()};
        pages_.push_back(std::make_unique<EditablePage>(EditablePage::empty(file_.allocate(), kLvalOwner)));
        EditablePage* page = pages_.back().get();
        if (length <= kDataPageRoom / 2 || !current_) current_ = page;
        return {page, 0};
    }

private:
    std::vector<std::unique_ptr<EditablePage>>& pages_;
    EditablePage*& current_;
    PageSet& file_;
};

std::string describe(const TableLayout& t, int64_t row, const ColumnLayout& c) {
    return "Table \"" + t.name + "\", row " + std::to_string(row + 1) + ", column \"" + c.name + "\"";
}

int64_t integerValue(const Value& v, int64_t lo, int64_t hi, const std::string& where) {
    if (const auto* i = std::get_if<int64_t>(&v)) {
        if (*i < lo || *i > hi)
            throw Error(where + ": " + std::to_string(*i) + " is outside " + std::to_string(lo) + ".." + std::to_string(hi));
        return *i;
    }
    if (const auto* b = std::get_if<bool>(&v)) return *b ? 1 : 0;
    throw Error(where + ": expected a whole number");
}

double realValue(const Value& v, const std::string& where) {
    if (const auto* d = std::get_if<double>(&v)) return *d;
    if (const auto* i = std::get_if<int64_t>(&v)) return double(*i);
    if (const auto* t = std::get_if<DateTime>(&v)) return t->days;
    throw Error(where + ": expected a number");
}

Bytes encodedText(const std::u16string& text, const ColumnLayout& c, const std::string& where) {
    try {
        return encodeText(text, c.extFlags & kColExtCompressed);
    } catch (const Error& e) {
        throw Error(where + ": " + e.what());
    }
}

void putDouble(Bytes& b, size_t off, double d) {
    uint64_t bits = 0;
    std::memcpy(&bits, &d, sizeof bits);
    put32(b, off, uint32_t(bits));
    put32(b, off + 4, uint32_t(bits >> 32));
}

} // namespace

namespace {

// A fixed-size value into its place in the row's fixed area. Returns whether the column's
// null-mask bit is set: a Bool lives in that bit alone.
bool putFixedValue(Bytes& area, const ColumnLayout& c, const Value& v, const std::string& where) {
    const size_t off = c.fixedOffset;
    switch (c.type) {
    case ColumnType::Bool: return integerValue(v, 0, 1, where) != 0;
    case ColumnType::Byte: put8(area, off, uint8_t(integerValue(v, 0, 255, where))); break;
    case ColumnType::Int: put16(area, off, uint16_t(integerValue(v, INT16_MIN, INT16_MAX, where))); break;
    case ColumnType::Long: put32(area, off, uint32_t(integerValue(v, INT32_MIN, INT32_MAX, where))); break;
    case ColumnType::Money: {
        const auto* m = std::get_if<Money>(&v);
        if (!m) throw Error(where + ": expected a currency amount");
        const uint64_t u = uint64_t(m->tenThousandths);
        put32(area, off, uint32_t(u));
        put32(area, off + 4, uint32_t(u >> 32));
        break;
    }
    case ColumnType::Float: {
        const float f = float(realValue(v, where));
        uint32_t bits = 0;
        std::memcpy(&bits, &f, sizeof bits);
        put32(area, off, bits);
        break;
    }
    case ColumnType::Double: putDouble(area, off, realValue(v, where)); break;
    case ColumnType::DateTime: putDouble(area, off, realValue(v, where)); break;
    case ColumnType::Guid: {
        const auto* b = std::get_if<Bytes>(&v);
        if (!b || b->size() != 16) throw Error(where + ": expected 16 bytes");
        std::memcpy(area.data() + off, b->data(), 16);
        break;
    }
    default: throw Error(where + ": unsupported column type");
    }
    return true;
}

// The row: column count, fixed area, var data with its offset table, null mask.
Bytes assembleRow(const TableLayout& layout, const Bytes& fixedArea, const std::vector<Bytes>& varData,
                  const Bytes& nullMask) {
    Bytes row;
    append16(row, uint16_t(layout.columns.size()));
    row.insert(row.end(), fixedArea.begin(), fixedArea.end());
    if (layout.varColumns > 0) {
        std::vector<uint16_t> offsets;
        for (const Bytes& d : varData) {
            offsets.push_back(uint16_t(row.size()));
            row.insert(row.end(), d.begin(), d.end());
        }
        append16(row, uint16_t(row.size())); // end of the var data
        for (size_t k = offsets.size(); k-- > 0;) append16(row, offsets[k]);
        append16(row, layout.varColumns);
    }
    row.insert(row.end(), nullMask.begin(), nullMask.end());
    return row;
}

} // namespace

// A variable-length value's bytes in the row; a Memo or OLE value too long to stay inline goes
// into LVAL rows on the column's pages.
Bytes TableWriter::varValue(size_t column, const ColumnLayout& c, const Value& v, const std::string& where) {
    switch (c.type) {
    case ColumnType::Binary: {
        const auto* b = std::get_if<Bytes>(&v);
        if (!b) throw Error(where + ": expected bytes");
        if (b->size() > c.length) throw Error(where + ": more than " + std::to_string(c.length) + " bytes");
        return *b;
    }
    case ColumnType::Text: {
        const auto* s = std::get_if<std::u16string>(&v);
        if (!s) throw Error(where + ": expected text");
        if (s->size() > c.maxChars)
            throw Error(where + ": " + std::to_string(s->size()) + " characters, more than the column's " +
                        std::to_string(c.maxChars));
        return encodedText(*s, c, where);
    }
    case ColumnType::Memo:
    case ColumnType::Ole: {
        Bytes data;
        if (c.type == ColumnType::Memo) {
            const auto* s = std::get_if<std::u16string>(&v);
            if (!s) throw Error(where + ": expected text");
            data = encodedText(*s, c, where);
        } else {
            const auto* b = std::get_if<Bytes>(&v);
            if (!b) throw Error(where + ": expected bytes");
            data = *b;
        }
        if (longValueStorageFor(data.size()) == kLongValueInline) return inlineLongValue(data);
        LongValueColumn& lv = *longValues_[column];
        NewPagePlacer placer(lv.pages, lv.current, file_);
        return writeLvalRows(data, placer);
    }
    default: throw Error(where + ": unsupported column type");
    }
}

Bytes TableWriter::encodeRow(const std::vector<Value>& values) {
    const auto& cols = layout_.columns;
    if (values.size() != cols.size())
        throw Error("Table \"" + layout_.name + "\", row " + std::to_string(rowCount_ + 1) + ": " +
                    std::to_string(values.size()) + " values for " + std::to_string(cols.size()) + " columns");
    const size_t columnCount = cols.size();
    Bytes nullMask((columnCount + 7) / 8, 0);
    Bytes fixedArea(layout_.fixedSize, 0);
    std::vector<Bytes> varData(layout_.varColumns);

    for (size_t i = 0; i < columnCount; ++i) {
        const ColumnLayout& c = cols[i];
        const Value& v = values[i];
        if (std::holds_alternative<Null>(v)) continue; // bit stays 0; fixed bytes stay zero
        const std::string where = describe(layout_, rowCount_, c);
        bool present = true;
        switch (c.type) {
        case ColumnType::Binary:
        case ColumnType::Text:
        case ColumnType::Memo:
        case ColumnType::Ole: varData[c.varIndex] = varValue(i, c, v, where); break;
        default: present = putFixedValue(fixedArea, c, v, where);
        }
        if (present) nullMask[c.number / 8] |= uint8_t(1u << (c.number % 8));
    }

    Bytes row = assembleRow(layout_, fixedArea, varData, nullMask);
    if (row.size() > kMaxRowSize)
        throw Error("Table \"" + layout_.name + "\", row " + std::to_string(rowCount_ + 1) + " needs " +
                    std::to_string(row.size()) + " bytes, more than a row can hold (" +
                    std::to_string(kMaxRowSize) + ")");
    return row;
}

void TableWriter::addRow(const std::vector<Value>& values) {
    Bytes row = encodeRow(values);
    if (dataPages_.empty() || !dataPages_.back()->fits(row.size())) newPage(dataPages_, tdefPage_);
    dataPages_.back()->addRow(std::move(row));
    ++rowCount_;
}

namespace {

std::vector<uint32_t> pageNumbers(const std::vector<std::unique_ptr<EditablePage>>& pages, bool onlyRoomy) {
    std::vector<uint32_t> out;
    for (const auto& p : pages)
        if (!onlyRoomy || size_t(p->freeSpace()) >= kFreeMapMinimum) out.push_back(p->number());
    std::sort(out.begin(), out.end());
    return out;
}

void setMapRow(std::vector<std::unique_ptr<EditablePage>>& hosts, uint32_t pointer, Bytes row) {
    for (auto& h : hosts)
        if (h->number() == pointerPage(pointer)) return h->setRow(pointerSlot(pointer), std::move(row));
    throw Error("internal: no map host page " + std::to_string(pointerPage(pointer)));
}

} // namespace

uint32_t TableWriter::finish() {
    setMapRow(hostPages_, ownedMapPointer_, encodeOwnedMap(pageNumbers(dataPages_, false), file_));
    setMapRow(hostPages_, freeMapPointer_, encodeOwnedMap(pageNumbers(dataPages_, true), file_));
    for (auto& lv : longValues_) {
        if (!lv) continue;
        setMapRow(hostPages_, lv->ownedMapPointer, encodeOwnedMap(pageNumbers(lv->pages, false), file_));
        setMapRow(hostPages_, lv->freeMapPointer, encodeOwnedMap(pageNumbers(lv->pages, true), file_));
        for (const auto& p : lv->pages) file_[p->number()] = p->serialize();
    }
    for (const auto& p : dataPages_) file_[p->number()] = p->serialize();
    for (const auto& p : hostPages_) file_[p->number()] = p->serialize();

    // The definition.
    Bytes t(kTdefHeaderSize, 0);
    t[0] = kPageTableDef;
    t[1] = 0x01;
    put32(t, kTdefNextPage, 0);
    put32(t, kTdefMagic, kColumnMagic);
    put32(t, kTdefRowCount, uint32_t(rowCount_));
    put32(t, kTdefAutoNumber, 0);
    t[kTdefUnknown24] = 0x01;
    t[kTdefTableType] = layout_.system ? 'S' : 'N';
    put16(t, kTdefMaxCols, uint16_t(layout_.columns.size()));
    put16(t, kTdefVarCols, layout_.varColumns);
    put16(t, kTdefNumCols, uint16_t(layout_.columns.size()));
    put32(t, kTdefNumIdx, 0);
    put32(t, kTdefNumRealIdx, 0);
    put32(t, kTdefOwnedMap, ownedMapPointer_);
    put32(t, kTdefFreeMap, freeMapPointer_);
    for (const ColumnLayout& c : layout_.columns) {
        Bytes b(kColumnBlockSize, 0);
        b[kColType] = uint8_t(c.type);
        put32(b, kColMagic, kColumnMagic);
        put16(b, kColNumber, c.number);
        put16(b, kColVarIndex, c.varIndex);
        put16(b, kColNumberAgain, c.number);
        put16(b, kColPrecision, kSortGeneral);
        b[kColFlags] = c.flags;
        b[kColExtFlags] = c.extFlags;
        put16(b, kColFixedOffset, c.fixedOffset);
        put16(b, kColLength, c.length);
        t.insert(t.end(), b.begin(), b.end());
    }
    for (const ColumnLayout& c : layout_.columns) {
        const std::u16string name = fromUtf8(c.name);
        append16(t, uint16_t(name.size() * 2));
        for (char16_t ch : name) append16(t, ch);
    }
    for (size_t i = 0; i < layout_.columns.size(); ++i) {
        if (!longValues_[i]) continue;
        append16(t, layout_.columns[i].number);
        append32(t, longValues_[i]->ownedMapPointer);
        append32(t, longValues_[i]->freeMapPointer);
    }
    append16(t, kLvMapEnd);
    if (t.size() > kPageSize - kTdefContinuationHeader)
        throw Error("The definition of table \"" + layout_.name + "\" needs " + std::to_string(t.size()) +
                    " bytes, more than one page; use fewer columns or shorter names");
    put32(t, kTdefLength, uint32_t(t.size()));
    put16(t, kTdefFreeBytes, uint16_t(kPageSize - kTdefContinuationHeader - t.size()));
    t.resize(kPageSize, 0);
    file_[tdefPage_] = std::move(t);
    return tdefPage_;
}

} // namespace jet::create
