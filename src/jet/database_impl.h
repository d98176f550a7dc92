// The state behind jet::Database: the page file, the validated header, and what was parsed from
// the file (catalog, table definitions), dropped whenever the file changes.
#pragma once
#include "jet/catalog.h"
#include "jet/database.h"
#include "jet/header.h"
#include "jet/page_file.h"
#include "jet/row.h"
#include "jet/table_def.h"
#include "jet/table_rows.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace jet {

struct Database::Impl {
    std::string path;
    OpenMode mode = OpenMode::ReadOnly;
    std::unique_ptr<PageFile> file;
    bool onDisk = false; // a file other programs may open (not a memory file)
    FileHeader header;

    // Opens a page file (path or memory) and validates it.
    Impl(std::unique_ptr<PageFile> file, OpenMode mode);
    // Sends writes still held to the file (errors then are lost: the file stays as it was).
    ~Impl();
    // Wraps an Impl into the facade object (Impl may use Database's private constructor).
    static std::unique_ptr<Database> wrap(std::unique_ptr<Impl> impl);

    // Runs `f`, adding the file's path to the message of a jet::Error that does not name it yet
    // (the structures below the facade name pages, rows and columns, not the file).
    template <typename F>
    auto guarded(F&& f) -> decltype(f()) {
        try {
            return f();
        } catch (const Error& e) {
            std::string message = e.what();
            if (message.find(path) != std::string::npos) throw;
            throw Error(path + ": " + message);
        }
    }

    // Re-reads what changed when the file changed on disk; call at the start of every operation.
    void refresh();
    const std::vector<CatalogEntry>& catalog();
    // The user table's definition (name without regard to case); throws naming the table and file
    // when there is no such table.
    const TableDef& table(const std::string& name);
    // Every live row of a table, all columns, in storage order.
    ResultSet readAll(const TableDef& def);
    void scan(const TableDef& def, const std::function<void(const Row&)>& visit);
    // Runs a statement of the SELECT subset (parse, filter, order) on the current file content:
    // the table's kept rows and the positions of the statement's rows among them, in its order.
    struct Selection {
        const TableDef* def = nullptr;
        std::shared_ptr<const TableRows> rows;
        std::vector<uint32_t> positions;
    };
    Selection select(const std::string& sql);
    // The selected rows with every value, Memo and OLE read from the file.
    ResultSet withLongValues(const Selection& selection);
    // Drops every parsed structure (after a write that changed definitions or maps). Writes made
    // through `file` are noticed without this (its generation changes).
    void invalidate();

    // A table's live rows with every value but the long ones (Memo/OLE are read on demand), kept
    // while the file does not change so that repeated statements do not re-crack every row. The
    // rows are never changed once built: statements' row sets share them.
    struct TableSnapshot {
        std::shared_ptr<const TableRows> rows;
        // Per column, built on the first statement that compares it: the rows (ascending) of each
        // value, when the column holds only whole numbers and NULL; nullopt when it holds others.
        std::map<size_t, std::optional<std::map<int64_t, std::vector<uint32_t>>>> byValue;
        // The rows (ascending) whose value in `column` may equal `wanted`; nullptr: any row may.
        const std::vector<uint32_t>* rowsWithValue(size_t column, int64_t wanted);
    };
    TableSnapshot& snapshot(const TableDef& def);

    // What the writer keeps between updates (free space of long-value pages); see update.cpp.
    std::shared_ptr<struct WriteCache> writeCache;
    bool flushEachUpdate = true; // Database::setFlushEachUpdate
    // Pages a bulk run holds before sending them to the disk: each stage of the held writes then
    // costs one flush for a few hundred updates. Space freed within a group is reused only after
    // it reached the disk, so new values of a group go elsewhere: small groups keep the file from
    // growing (a whole bible grows by about one group's values).
    size_t heldPagesLimit = 32;
    // Sends the writes held by the page file to the disk and frees the rows whose freeing waited
    // for them; with `flushAll` those frees reach the disk as well (update.cpp).
    void sendHeldWrites(bool flushAll);
    // After this object's own update of table `tablePage` (update.cpp): keeps what the update did
    // not change, so the next operation does not re-read the catalog and definitions.
    void acceptOwnWrite(uint32_t tablePage, bool rowValuesChanged, bool pageMapsChanged);

private:
    uint64_t seenGeneration_ = 0;
    std::optional<std::vector<CatalogEntry>> catalog_;
    std::map<uint32_t, std::unique_ptr<TableDef>> tables_; // by TDEF page
    std::map<uint32_t, std::unique_ptr<TableSnapshot>> snapshots_; // by TDEF page
};

// Opens a database held in memory (fuzzing, tests); validates it like a file.
std::unique_ptr<Database> openMemoryDatabase(Bytes contents, const std::string& name);
// How many pages a bulk run holds at most before sending them to the disk (tests use small ones).
void setHeldPagesLimit(Database& db, size_t pages);

// Opens a database over any page file (tests pass failing ones).
std::unique_ptr<Database> openDatabase(std::unique_ptr<PageFile> file, OpenMode mode);

} // namespace jet
