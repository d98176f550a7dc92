#include "data/connection_string.h"
#include "data/dataset.h"
#include "data/win_path.h"

#include <QFile>

#include <algorithm>
#include <filesystem>
#include <map>

namespace data {

namespace {

std::string nativeName(const QString& path) { return engineName(path); }

// Writes made by this process, per file. A write within the timestamp's resolution that keeps
// the size would otherwise go unnoticed by the other connection on the same file.
std::map<std::string, std::uint64_t>& writeGenerations() {
    static std::map<std::string, std::uint64_t> generations;
    return generations;
}

std::string generationKey(const QString& resolved) {
    std::error_code ec;
    const auto canonical = std::filesystem::weakly_canonical(fsPath(resolved), ec);
    return ec ? nativeName(resolved) : engineName(fromFsPath(canonical));
}

// Every connection of the process, to find the queries on one file.
std::vector<Connection*>& allConnections() {
    static std::vector<Connection*> connections;
    return connections;
}

} // namespace

Connection::Connection() { allConnections().push_back(this); }

Connection::~Connection() {
    auto& all = allConnections();
    all.erase(std::remove(all.begin(), all.end(), this), all.end());
    for (Query* q : queries_) {
        q->close();
        q->connection_ = nullptr;
    }
}

void Connection::setConnectionString(const QString& text) {
    if (text == connectionString_) return;
    // Like the platform's connection, the string names the file; a new one applies at the next
    // connect, so an open connection is closed first.
    setConnected(false);
    connectionString_ = text;
}

QString Connection::connectionString() const { return connectionString_; }

bool Connection::connected() const { return db_ != nullptr; }

void Connection::setConnected(bool value) {
    if (value == connected()) return;
    if (!value) {
        for (Query* q : queries_) q->close();
        db_.reset();
        return;
    }
    if (connectionString_.isEmpty()) throw DataError("No connection string was set; cannot open a database.");
    const ConnectionSettings settings = parseConnectionString(connectionString_);
    const QString resolved = resolveWindowsPath(settings.dataSource);
    if (!QFile::exists(resolved))
        throw DataError(jet::ErrorKind::FileMissing, {settings.dataSource.toStdString()},
                        "Could not find file '" + settings.dataSource.toStdString() + "'.");
    openResolved(resolved);
}

void Connection::connectToFile(const QString& path) {
    setConnected(false);
    connectionString_.clear();
    if (!QFile::exists(path))
        throw DataError(jet::ErrorKind::FileMissing, {path.toStdString()}, "Could not find file '" + path.toStdString() + "'.");
    openResolved(path);
}

void Connection::openResolved(const QString& resolved) {
    auto db = jet::Database::open(nativeName(resolved), jet::OpenMode::ReadOnly);
    resolved_ = resolved;
    // Resolving the links of a path costs a system call per folder: once per connect.
    fileKey_ = generationKey(resolved);
    db_ = std::move(db);
    stamp_ = currentStamp();
}

void Connection::release() { setConnected(false); }

QString Connection::databasePath() const {
    try {
        return parseConnectionString(connectionString_).dataSource;
    } catch (const DataError&) {
        return {};
    }
}

QString Connection::resolvedFilePath() const { return resolved_; }

jet::Database& Connection::database() {
    if (!db_) throw DataError("The connection is closed; no database is open.");
    return *db_;
}

Connection::FileStamp Connection::currentStamp() const {
    FileStamp s;
    // Through UTF-16: a narrow name would be read in the ANSI code page on Windows.
    const std::filesystem::path path = fsPath(resolved_);
    std::error_code ec;
    s.size = std::filesystem::file_size(path, ec);
    const auto time = std::filesystem::last_write_time(path, ec);
    if (!ec) s.modified = time.time_since_epoch().count();
    const auto& generations = writeGenerations();
    const auto it = generations.find(fileKey_);
    s.generation = it == generations.end() ? 0 : it->second;
    return s;
}

void Connection::refreshIfChanged() {
    if (!db_) return;
    const FileStamp now = currentStamp();
    if (now == stamp_) return;
    auto db = jet::Database::open(nativeName(resolved_), jet::OpenMode::ReadOnly);
    db_ = std::move(db);
    stamp_ = now;
}

void Connection::loadPendingRowsOfFile() {
    for (Connection* other : allConnections())
        if (other->fileKey_ == fileKey_)
            for (Query* q : other->queries_)
                if (q->active()) q->loadAllRows();
}

void Connection::noteWritten() { ++writeGenerations()[fileKey_]; }

void Connection::refuseWritesIfInUse() const {
    if (db_) jet::refuseIfInUse(nativeName(resolved_), jet::InUseCheck::Thorough);
}

namespace {

// The writers shared during bulk writes, one per file (both panes may hold the same file, and
// two writing handles on one file would not see each other's cached pages).
struct BulkState {
    int depth = 0;
    std::map<std::string, std::unique_ptr<jet::Database>> writers;
};

BulkState& bulkState() {
    static BulkState state;
    return state;
}

} // namespace

Connection::BulkWrites::BulkWrites() { ++bulkState().depth; }

Connection::BulkWrites::~BulkWrites() {
    BulkState& state = bulkState();
    if (--state.depth > 0) return;
    for (auto& [key, writer] : state.writers) {
        try {
            writer->setFlushEachUpdate(true);
        } catch (...) {
            // Closing the file below still hands the writes to the system.
        }
    }
    state.writers.clear();
}

jet::Database* Connection::bulkWriter() {
    BulkState& state = bulkState();
    if (state.depth == 0 || resolved_.isEmpty()) return nullptr;
    const std::string& key = fileKey_;
    auto it = state.writers.find(key);
    if (it == state.writers.end()) {
        auto writer = jet::Database::open(nativeName(resolved_), jet::OpenMode::ReadWrite);
        writer->setFlushEachUpdate(false);
        it = state.writers.emplace(key, std::move(writer)).first;
    }
    return it->second.get();
}

} // namespace data
