// The data-access layer the window relies on: a connection to one bible file, a query with a
// static snapshot cursor, after-scroll events and edit/post of the current row's BIBLETEXT.
// It mirrors the connection/query/data-source/memo behaviour the window was designed around.
#pragma once
#include "jet/database.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

namespace data {

// Raised for data-access misuse (e.g. reading a field of a closed query) and carrying engine
// errors; its text is what the user sees in the message box.
class DataError : public jet::Error {
public:
    using jet::Error::Error;
};

class Connection {
public:
    Connection();
    ~Connection();

    // "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=<path>;Persist Security Info=False".
    void setConnectionString(const QString& text);
    QString connectionString() const;

    bool connected() const;
    // true: parses the string (another provider is an error), resolves the Windows path through
    // the path layer and opens the file (read access; writes open it for the update). false:
    // closes it. Setting the current value again does nothing.
    void setConnected(bool value);
    void release(); // closes the file for good (the window's close handler)

    QString databasePath() const;     // the Data Source as written in the string
    QString resolvedFilePath() const; // where it lives on this machine
    jet::Database& database();        // throws DataError when not connected

private:
    QString connectionString_;
    QString resolved_;
    std::unique_ptr<jet::Database> db_;
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
    explicit Query(Connection& connection);

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

    void first();   // post a pending edit, move, fire AfterScroll
    void last();
    void next();    // on the last row: no move, Eof; the first such attempt still fires AfterScroll
    void prior();   // on the first row likewise (Bof)
    bool eof() const;
    bool bof() const;
    bool isEmpty() const;
    int recordCount() const;
    int recordNumber() const;    // 0-based position of the current row, -1 when none

    Field fieldByName(const QString& column) const; // without regard to case; unknown column: error

    DataSetState state() const;
    void edit();                            // needs an open query
    void setEditText(const QString& text);  // what Post writes into BIBLETEXT (the memo's text)
    QString editText() const;
    // Writes the pending text into BIBLETEXT of the current row through the engine, updates the
    // snapshot and returns to browsing. With no current row nothing is written and DataError is
    // raised (a save must never add a row, nor fail silently). On an engine error the state
    // stays Edit with the text pending and the error propagates.
    void post();
    void cancel();

    // Bound controls (the data-bound memo) are refreshed first, then AfterScroll runs.
    std::function<void()> onDataChange;
    std::function<void()> afterScroll;

private:
    void moveTo(int index, bool fire);
    Connection& connection_;
    QStringList sql_;
    bool active_ = false;
    jet::ResultSet snapshot_;
    int current_ = -1;
    bool eof_ = false;
    bool bof_ = false;
    int edgeAttempts_ = 0;
    DataSetState state_ = DataSetState::Inactive;
    QString pendingText_;
    QString tableName_;
};

} // namespace data
