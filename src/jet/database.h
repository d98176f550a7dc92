// The engine's facade: open a Jet 4 (.mdb) file, list and read its tables, run the small SELECT
// subset the program sends, replace a text value in place, compact into a new file, and create
// new single-table databases. Everything above src/jet uses only this header.
#pragma once
#include "jet/bytes.h"
#include "jet/error.h"
#include "jet/in_use.h" // part of the facade: the in-use check and its error

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace jet {

enum class OpenMode { ReadOnly, ReadWrite };

// Column type codes as stored in a table definition.
enum class ColumnType : uint8_t {
    Bool = 0x01,
    Byte = 0x02,
    Int = 0x03,
    Long = 0x04,
    Money = 0x05,
    Float = 0x06,
    Double = 0x07,
    DateTime = 0x08,
    Binary = 0x09,
    Text = 0x0A,
    Ole = 0x0B,
    Memo = 0x0C,
    Guid = 0x0F,
    Numeric = 0x10,
};

std::string columnTypeName(ColumnType type); // "Long Integer", "Memo", "Text", ...
// Whether a column of this type holds a number (a yes/no, a date and money count too): those
// are fixed-length and compare with a whole number.
bool holdsNumber(ColumnType type);

struct ColumnInfo {
    std::string name;          // as stored (UTF-8)
    ColumnType type{};
    int number = 0;            // column number in the row layout
    int length = 0;            // stored length in bytes (Text: 2 x characters; 0 for Memo/OLE)
    int precision = 0;         // Numeric only
    int scale = 0;             // Numeric only
    bool fixedLength = false;
    bool autoNumber = false;
    bool compressedUnicode = false; // the column allows Unicode compression
    bool indexed = false;           // part of any index of the table
};

// Index of the column named `name` in `columns`, compared without regard to ASCII case; -1 when absent.
int columnIndexIn(const std::vector<ColumnInfo>& columns, const std::string& name);

struct TableSchema {
    std::string name;
    std::vector<ColumnInfo> columns;  // in definition (display) order
    uint32_t definitionPage = 0;
    int64_t rowCount = 0;            // the definition's live-row counter
    // Index of the column named `name`, compared without regard to ASCII case; -1 when absent.
    int columnIndex(const std::string& name) const;
};

// Where a row lives: the page and slot of its header row (the one indexes point at; an
// overflow pointer there is followed when reading).
struct RowId {
    uint32_t page = 0;
    uint16_t slot = 0;
    bool operator==(const RowId&) const = default;
};

// One column value. Text and Memo values are UTF-16 (exactly the stored code units); numbers
// are widened; Money is the stored count of 1/10,000; DateTime is the stored day count;
// Numeric keeps its exact decimal text; Binary, OLE and GUID keep their raw bytes.
struct Null {
    bool operator==(const Null&) const = default;
};
struct Money {
    int64_t tenThousandths = 0;
    bool operator==(const Money&) const = default;
};
struct DateTime {
    double days = 0;
    bool operator==(const DateTime&) const = default;
};
struct Decimal {
    std::string text; // e.g. "-12.3400"
    bool operator==(const Decimal&) const = default;
};
using Value = std::variant<Null, bool, int64_t, double, Money, DateTime, Decimal, std::u16string, Bytes>;

struct Row {
    RowId id;
    std::vector<Value> values; // one per column of the result, in its column order
};

// A static snapshot: nothing in it changes when the file changes afterwards.
struct ResultSet {
    std::vector<ColumnInfo> columns;
    std::vector<Row> rows;
    int columnIndex(const std::string& name) const; // without regard to ASCII case; -1 if none
};

class TableRows; // the values the engine keeps of a table (jet/table_rows.h)

// The rows of a statement with their Memo and OLE values left Null, sharing the values the
// engine keeps of the table instead of copying them. Static like ResultSet: nothing in it
// changes when the file changes afterwards.
class RowSet {
public:
    RowSet();
    RowSet(std::vector<ColumnInfo> columns, std::shared_ptr<const TableRows> table, std::vector<uint32_t> rows);
    ~RowSet();
    RowSet(RowSet&&) noexcept;
    RowSet& operator=(RowSet&&) noexcept;

    const std::vector<ColumnInfo>& columns() const { return columns_; }
    int columnIndex(const std::string& name) const; // without regard to ASCII case; -1 if none
    size_t size() const { return rows_.size(); }
    bool empty() const { return rows_.empty(); }
    RowId id(size_t row) const;
    Value value(size_t row, size_t column) const;
    Row row(size_t row) const; // its id and every value

private:
    std::vector<ColumnInfo> columns_;
    std::shared_ptr<const TableRows> table_;
    std::vector<uint32_t> rows_; // positions in table_, in the statement's order
};

class Database {
public:
    // Opens and validates the file. ReadOnly never writes; ReadWrite fails with a clear message
    // when the file cannot be opened for writing, and with InUseError when another program has it
    // open. Throws jet::Error naming the file. On Windows a ReadWrite database holds the file with
    // share mode 0 until it is destroyed: no other program can open it meanwhile, and this
    // program's ReadOnly databases of the file read through it (page_file_windows.cpp).
    static std::unique_ptr<Database> open(const std::string& path, OpenMode mode = OpenMode::ReadOnly);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    const std::string& path() const;

    std::vector<std::string> tableNames() const;           // user tables, catalog order
    TableSchema schema(const std::string& table) const;     // name without regard to case
    ResultSet readTable(const std::string& table) const;    // every live row, storage order
    // The same rows one at a time, without holding the whole table (exports of large tables).
    // `visit` must not call back into this Database.
    void scanTable(const std::string& table, const std::function<void(const Row&)>& visit) const;
    // SELECT * FROM t [WHERE c = n [AND c = n ...]] [ORDER BY c [ASC|DESC]]
    ResultSet query(const std::string& sql) const;
    // The same rows with their Memo and OLE values left Null, for a reader that needs the long
    // values of a few rows only: readLongValues() reads them for one row.
    RowSet queryWithoutLongValues(const std::string& sql) const;
    // Reads the Memo and OLE values of `row`, a row of table `table` with one value per table
    // column (a result of the statements above), from the file as it is now.
    void readLongValues(const std::string& table, Row& row) const;

    // Replaces the value of a Text or Memo column of an existing row (the only write the
    // program makes). Needs ReadWrite. Refuses, changing nothing, an indexed column, a column
    // of another type, a text longer than a Text column, a row that no longer exists.
    void updateText(const std::string& table, RowId row, const std::string& column,
                    const std::u16string& text);

    // Each updateText reaches the disk before it returns (on by default), its writes ordered and
    // flushed so that a power cut leaves the old or the new value. A bulk writer that changes
    // thousands of rows turns this off and calls flush() at the end: the writes of many updates
    // are then held in memory (readable through this object) and sent to the file in groups,
    // each stage of a group with one flush. Turning it back on flushes; so does closing.
    void setFlushEachUpdate(bool on);
    void flush(); // the writes made so far to disk (nothing for a read-only database)

    struct Impl;

private:
    friend void setHeldPagesLimit(Database& db, size_t pages);
    explicit Database(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

// Writes a compacted copy of `source` into the new file `destination` (which must not exist),
// verifies it by reading it back in full against the source, and removes it if it does not
// verify. The copy is written as `destination` + ".part" and renamed once it is verified and
// flushed, so `destination` never exists incomplete. The source is left unchanged. Throws
// jet::Error on any failure.
void compact(const std::string& source, const std::string& destination);

// --- creating new databases -------------------------------------------------------------------

struct NewColumn {
    std::string name;
    ColumnType type = ColumnType::Long;
    int maxChars = 255; // Text only
};

struct NewTable {
    std::string name;
    std::vector<NewColumn> columns;
    std::vector<std::vector<Value>> rows; // each row one value per column (Null allowed)
};

// Writes a new Jet 4 database file holding the given user tables (the file must not exist).
void createDatabase(const std::string& path, const std::vector<NewTable>& tables);

} // namespace jet
