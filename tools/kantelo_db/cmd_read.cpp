// kantelo-db's reading commands: tables, schema, export and query. Rows are written as CSV in the
// dialect of mdb-export's defaults, so the two tools' output can be compared byte for byte:
// header line, commas, "\n" rows, text/memo/date/binary values in double quotes with inner quotes
// doubled, numbers bare, NULL (and an empty text, which mdb-export cannot tell apart) as nothing.
#include "commands.h"

#include "jet/database.h"
#include "jet/text_codec.h"

#include <cinttypes>
#include <cmath>
#include <cstring>
#include <cstdio>
#include <iostream>
#include <string>

namespace kantelo_db {

namespace {

bool wrongArgs(const Args& args, size_t count, const char* usage) {
    if (args.size() == count) return false;
    std::cerr << "kantelo-db: usage: kantelo-db " << usage << "\n";
    return true;
}

void quoted(std::string& out, const char* data, size_t length) {
    out.push_back('"');
    // Copy up to each inner quote in one piece, doubling the quote.
    const char* end = data + length;
    while (data < end) {
        const char* quote = static_cast<const char*>(std::memchr(data, '"', size_t(end - data)));
        const char* stop = quote ? quote + 1 : end;
        out.append(data, stop);
        if (quote) out.push_back('"');
        data = stop;
    }
    out.push_back('"');
}

// mdb-export prints dates with strftime("%x %X") in the C locale after its own day-count
// conversion; this repeats that conversion, rounding to whole seconds the same way (a time that
// rounds up to midnight shows as hour 24), and its output for values outside 0..1e6 days.
std::string dateText(double td) {
    static const int noLeap[] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365};
    static const int leap[] = {0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335, 366};
    long year = 1900, month = 0, mday = 0, hour = 0, minute = 0, second = 0;
    if (!(td < 0.0 || td > 1e6) && !std::isnan(td)) {
        long day = long(td);
        long time = long((td - double(day)) * 86400.0 + 0.5);
        hour = time / 3600;
        minute = (time / 60) % 60;
        second = time % 60;
        day += 693593;
        long yr = 1, q = day / 146097;
        yr += 400 * q;
        day -= q * 146097;
        q = day / 36524;
        if (q > 3) q = 3;
        yr += 100 * q;
        day -= q * 36524;
        q = day / 1461;
        yr += 4 * q;
        day -= q * 1461;
        q = day / 365;
        if (q > 3) q = 3;
        yr += q;
        day -= q * 365;
        const int* cal = (yr % 4 == 0 && (yr % 100 != 0 || yr % 400 == 0)) ? leap : noLeap;
        for (month = 0; month < 12; ++month)
            if (day < cal[month + 1]) break;
        year = yr;
        mday = day - cal[month] + 1;
    }
    char buf[64];
    std::snprintf(buf, sizeof buf, "%02ld/%02ld/%02ld %02ld:%02ld:%02ld", month + 1, mday, year % 100, hour, minute,
                  second);
    return buf;
}

std::string moneyText(int64_t tenThousandths) {
    bool negative = tenThousandths < 0;
    uint64_t magnitude = negative ? 0 - uint64_t(tenThousandths) : uint64_t(tenThousandths);
    char buf[48];
    std::snprintf(buf, sizeof buf, "%s%" PRIu64 ".%04" PRIu64, negative ? "-" : "", magnitude / 10000,
                  magnitude % 10000);
    return buf;
}

std::string guidText(const jet::Bytes& b) {
    if (b.size() != 16) return {};
    char buf[40];
    std::snprintf(buf, sizeof buf, "{%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X%02X%02X}", b[3], b[2],
                  b[1], b[0], b[5], b[4], b[7], b[6], b[8], b[9], b[10], b[11], b[12], b[13], b[14], b[15]);
    return buf;
}

void appendValue(std::string& out, const jet::ColumnInfo& column, const jet::Value& value) {
    using jet::ColumnType;
    char buf[64];
    if (std::holds_alternative<jet::Null>(value)) {
        if (column.type == ColumnType::Bool) out += "0";
        return;
    }
    if (auto b = std::get_if<bool>(&value)) {
        out += *b ? "1" : "0";
    } else if (auto i = std::get_if<int64_t>(&value)) {
        out += std::to_string(*i);
    } else if (auto d = std::get_if<double>(&value)) {
        std::snprintf(buf, sizeof buf, column.type == ColumnType::Float ? "%.8g" : "%.16g", *d);
        out += buf;
    } else if (auto m = std::get_if<jet::Money>(&value)) {
        out += moneyText(m->tenThousandths);
    } else if (auto t = std::get_if<jet::DateTime>(&value)) {
        std::string s = dateText(t->days);
        quoted(out, s.data(), s.size());
    } else if (auto n = std::get_if<jet::Decimal>(&value)) {
        out += n->text;
    } else if (auto s = std::get_if<std::u16string>(&value)) {
        // mdb-export handles text as C strings: it ends at the first U+0000, and an empty text
        // prints like NULL.
        std::string utf8 = jet::toUtf8(s->substr(0, s->find(u'\0')));
        if (!utf8.empty()) quoted(out, utf8.data(), utf8.size());
    } else if (auto bytes = std::get_if<jet::Bytes>(&value)) {
        if (column.type == ColumnType::Guid) {
            std::string g = guidText(*bytes);
            quoted(out, g.data(), g.size());
        } else if (column.type == ColumnType::Binary) {
            // Binary (not OLE) values also pass through a C string there.
            size_t n = 0;
            while (n < bytes->size() && (*bytes)[n] != 0) ++n;
            if (n > 0) quoted(out, reinterpret_cast<const char*>(bytes->data()), n);
        } else {
            quoted(out, reinterpret_cast<const char*>(bytes->data()), bytes->size());
        }
    }
}

// Writes CSV in blocks; rows come one at a time so that large tables need little memory.
class CsvWriter {
public:
    explicit CsvWriter(const std::vector<jet::ColumnInfo>& columns) : columns_(columns) {
        for (size_t i = 0; i < columns_.size(); ++i) {
            if (i) out_ += ',';
            out_ += columns_[i].name;
        }
        out_ += '\n';
    }
    ~CsvWriter() { flush(); }
    void row(const jet::Row& row) {
        for (size_t i = 0; i < columns_.size(); ++i) {
            if (i) out_ += ',';
            appendValue(out_, columns_[i], row.values[i]);
        }
        out_ += '\n';
        if (out_.size() > (1u << 16)) flush();
    }
    void flush() {
        std::fwrite(out_.data(), 1, out_.size(), stdout);
        std::fflush(stdout);
        out_.clear();
    }

private:
    const std::vector<jet::ColumnInfo>& columns_;
    std::string out_;
};

std::string typeText(const jet::ColumnInfo& c) {
    std::string t = jet::columnTypeName(c.type);
    if (c.type == jet::ColumnType::Text) t += " (" + std::to_string(c.length / 2) + ")";
    if (c.type == jet::ColumnType::Binary) t += " (" + std::to_string(c.length) + ")";
    if (c.type == jet::ColumnType::Numeric)
        t += " (" + std::to_string(c.precision) + ", " + std::to_string(c.scale) + ")";
    return t;
}

} // namespace

int cmdTables(const Args& args) {
    if (wrongArgs(args, 1, "tables FILE")) return 2;
    auto db = jet::Database::open(args[0]);
    for (const auto& name : db->tableNames()) std::cout << name << "\n";
    return 0;
}

int cmdSchema(const Args& args) {
    if (wrongArgs(args, 2, "schema FILE TABLE")) return 2;
    auto db = jet::Database::open(args[0]);
    jet::TableSchema s = db->schema(args[1]);
    std::cout << "TABLE " << s.name << " (" << s.rowCount << " rows)\n";
    for (const auto& c : s.columns) {
        std::cout << "  " << c.name << "\t" << typeText(c);
        if (c.autoNumber) std::cout << " AUTONUMBER";
        if (c.compressedUnicode) std::cout << " UNICODE-COMPRESSION";
        if (c.indexed) std::cout << " INDEXED";
        std::cout << "\n";
    }
    return 0;
}

int cmdExport(const Args& args) {
    if (wrongArgs(args, 2, "export FILE TABLE")) return 2;
    auto db = jet::Database::open(args[0]);
    jet::TableSchema schema = db->schema(args[1]);
    CsvWriter csv(schema.columns);
    db->scanTable(args[1], [&](const jet::Row& row) { csv.row(row); });
    return 0;
}

int cmdQuery(const Args& args) {
    if (wrongArgs(args, 2, "query FILE 'SELECT ...'")) return 2;
    auto db = jet::Database::open(args[0]);
    jet::ResultSet rs = db->query(args[1]);
    CsvWriter csv(rs.columns);
    for (const auto& row : rs.rows) csv.row(row);
    return 0;
}

} // namespace kantelo_db
