// The data-access layer the window relies on: a connection to one bible file, a query with a
// static snapshot cursor, after-scroll events and edit/post of the current row's text column (the
// one its caller binds the memo to).
// It mirrors the connection/query/data-source/memo behaviour the window was designed around.
#pragma once
#include "jet/database.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace data {

// Raised for data-access misuse (e.g. reading a field of a closed query) and carrying engine
// errors; its text is what the user sees in the message box.
class DataError : public jet::Error {
public:
    using jet::Error::Error;
};

class Query;

class Connection {
public:
    Connection();
    ~Connection(); // closes its queries first; declare queries after their connection
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=<path>;Persist Security Info=False".
    void setConnectionString(const QString& text);
    QString connectionString() const;

    bool connected() const;
    // true: parses the string (another provider is an error), resolves the Windows path through
    // the path layer and opens the file (read access; writes open it for the update). false:
    // closes its queries (dropping pending edits) and the file. Setting the current value again
    // does nothing.
    void setConnected(bool value);
    void release(); // closes the file for good (the window's close handler)
    // Opens the file at `path` as it is named on this machine (no connection string, no Windows
    // path): the runs without a window. A connection already open is closed first.
    void connectToFile(const QString& path);

    QString databasePath() const;     // the Data Source as written in the string
    QString resolvedFilePath() const; // where it lives on this machine
    jet::Database& database();        // throws DataError when not connected

    // Reopens the read handle when the file changed since it was opened (a post through this or
    // another connection, or another program), so the next query sees the current rows.
    void refreshIfChanged();
    // Records that this process wrote the file: every connection on it refreshes before its
    // next query.
    void noteWritten();
    // Throws jet::InUseError when another program has this connection's file open (a write
    // would be refused); nothing when the connection is closed.
    void refuseWritesIfInUse() const;

    // Before this process writes the file: every open query on it (through any connection) reads
    // the long values it has not read yet, so its snapshot keeps the texts it was opened with.
    void loadPendingRowsOfFile();

    // While a BulkWrites object lives (the whole-bible run), posts to a file share one writer
    // that flushes to disk once at the end instead of opening and flushing the file per row.
    class BulkWrites {
    public:
        BulkWrites();
        ~BulkWrites(); // flushes and closes the shared writers (errors then: file closed as is)
        BulkWrites(const BulkWrites&) = delete;
        BulkWrites& operator=(const BulkWrites&) = delete;
    };

private:
    // The shared writer of this connection's file during bulk writes; nullptr otherwise.
    jet::Database* bulkWriter();
    friend class Query;
    struct FileStamp {
        std::uintmax_t size = 0;
        std::int64_t modified = 0;
        std::uint64_t generation = 0;
        bool operator==(const FileStamp&) const = default;
    };
    FileStamp currentStamp() const;
    void openResolved(const QString& resolved);

    QString connectionString_;
    QString resolved_;
    std::string fileKey_; // the file's canonical path: one per file, whatever path names it
    std::unique_ptr<jet::Database> db_;
    FileStamp stamp_;
    std::vector<Query*> queries_;
};

enum class DataSetState { Inactive, Browse, Edit };

class Field {
public:
    Field(std::optional<jet::Value> value, QString name);
    QString asString() const;   // "" on an empty result / NULL; integers as decimal text
    int asInteger() const;      // 0 on an empty result / NULL; text is converted (error if not a number)
private:
    std::optional<jet::Value> value_;
    QString name_;
};

class Query {
public:
    explicit Query(Connection& connection, QString name = "Query");
    ~Query();
    Query(const Query&) = delete;
    Query& operator=(const Query&) = delete;
    QString name() const { return name_; } // names the query in error messages

    // The statement: its lines, joined with CR LF (each line followed by CR LF). Any change
    // closes the query first without posting a pending edit.
    void sqlClear();
    void sqlAdd(const QString& line);
    QStringList sqlLines() const;
    QString sqlText() const;

    void open();                 // runs the statement; cursor on the first row; AfterScroll if a row
    void close();                // drops the snapshot and any pending edit
    void setActive(bool value);  // open() / close()
    bool active() const;

    // Cursor flags as the window's components keep them: Open and First set Bof, Last sets Eof,
    // an empty result has both. Next and Prior post a pending edit first; they move and fire
    // AfterScroll only while the flag of their direction is clear: on the last row Next does not
    // move but sets Eof and still fires AfterScroll once; later attempts fire nothing. Prior on
    // the first row alike with Bof. First and Last always fire AfterScroll, even when empty.
    void first();
    void last();
    void next();
    void prior();
    bool eof() const;
    bool bof() const;
    bool isEmpty() const;
    int recordCount() const;
    int recordNumber() const;    // 0-based position of the current row, -1 when none

    Field fieldByName(const QString& column) const; // without regard to case; unknown column: error

    // The column the data-bound memo shows and edits, named by the caller (the memo's DataField).
    // Until one is set, Edit starts from an empty text and Post refuses to write.
    void setTextField(const QString& column);
    QString textField() const { return textField_; }

    DataSetState state() const;
    void edit();                            // needs an open query
    void setEditText(const QString& text);  // what Post writes into the text field (the memo's text)
    QString editText() const;
    // Writes the pending text into the text field of the current row through the engine, updates the
    // snapshot and returns to browsing. With no current row nothing is written and DataError is
    // raised (a save must never add a row, nor fail silently). On an engine error the state
    // stays Edit with the text pending and the error propagates.
    // Without a current row the pending text is dropped (the query returns to browsing, so a
    // later move or close is not blocked) and the error says that the text was not saved.
    void post();
    void cancel();

    // Bound controls (the data-bound memo) are refreshed first, then AfterScroll runs.
    std::function<void()> onDataChange;
    std::function<void()> afterScroll;

private:
    friend class Connection;
    void checkActive(const char* operation) const;
    void postIfEditing();
    void notifyScroll();
    // The long values (the verse texts) of a row are read when the row is first used: a statement
    // over the whole table reads only what its first screen shows.
    void loadRow(int index) const;
    void loadAllRows() const;
    // The row as this query holds it from now on, its long values read: a post changes it here.
    jet::Row& ownRow(int index) const;
    std::string tableOfStatement() const;
    Connection* connection_;
    QString name_;
    QStringList sql_;
    bool active_ = false;
    // The snapshot: the statement's rows as the engine gave them (sharing the values it keeps,
    // long values left out), and every row whose long values were read or whose text was posted.
    jet::RowSet rows_;
    bool longColumns_ = false; // the statement's columns include Memo or OLE ones
    mutable std::map<int, jet::Row> ownRows_;
    bool readThroughBulkWriter_ = false;
    int current_ = -1;
    bool eof_ = false;
    bool bof_ = false;
    DataSetState state_ = DataSetState::Inactive;
    QString pendingText_;
    QString tableName_;
    QString textField_;
};

} // namespace data
