#include "data/dataset.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <type_traits>

namespace data {

namespace {

QString fromU16(const std::u16string& s) {
    return QString::fromUtf16(s.data(), qsizetype(s.size()));
}

std::u16string toU16(const QString& s) {
    return std::u16string(reinterpret_cast<const char16_t*>(s.utf16()), size_t(s.size()));
}

[[noreturn]] void notAnInteger(const QString& text) {
    throw DataError("'" + text.toStdString() + "' is not a valid integer value");
}

int toIntChecked(const QString& text) {
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    if (!ok) notAnInteger(text);
    return v;
}

} // namespace

// --- Field ------------------------------------------------------------------------------------

Field::Field(std::optional<jet::Value> value, QString name) : value_(std::move(value)), name_(std::move(name)) {}

QString Field::asString() const {
    if (!value_) return {};
    return std::visit(
        [](const auto& v) -> QString {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, jet::Null>) return {};
            else if constexpr (std::is_same_v<T, bool>) return v ? "True" : "False";
            else if constexpr (std::is_same_v<T, int64_t>) return QString::number(v);
            else if constexpr (std::is_same_v<T, double>) return QString::number(v, 'g', 15);
            else if constexpr (std::is_same_v<T, jet::Money>) return QString::number(double(v.tenThousandths) / 10000.0, 'f', 4);
            else if constexpr (std::is_same_v<T, jet::DateTime>) return QString::number(v.days, 'g', 15);
            else if constexpr (std::is_same_v<T, jet::Decimal>) return QString::fromStdString(v.text);
            else if constexpr (std::is_same_v<T, std::u16string>) return fromU16(v);
            else return QString::fromLatin1(reinterpret_cast<const char*>(v.data()), qsizetype(v.size()));
        },
        *value_);
}

int Field::asInteger() const {
    if (!value_) return 0;
    return std::visit(
        [this](const auto& v) -> int {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, jet::Null>) return 0;
            else if constexpr (std::is_same_v<T, bool>) return v ? -1 : 0;
            else if constexpr (std::is_same_v<T, int64_t>) {
                if (v < INT32_MIN || v > INT32_MAX) notAnInteger(QString::number(v));
                return int(v);
            } else if constexpr (std::is_same_v<T, double>) {
                if (!std::isfinite(v) || v < INT32_MIN || v > INT32_MAX) notAnInteger(asString());
                return int(std::lround(v));
            } else return toIntChecked(asString());
        },
        *value_);
}

// --- Query ------------------------------------------------------------------------------------

Query::Query(Connection& connection, QString name) : connection_(&connection), name_(std::move(name)) {
    connection_->queries_.push_back(this);
}

Query::~Query() {
    if (connection_) {
        auto& qs = connection_->queries_;
        qs.erase(std::remove(qs.begin(), qs.end(), this), qs.end());
    }
}

void Query::sqlClear() {
    close();
    sql_.clear();
}

void Query::sqlAdd(const QString& line) {
    close();
    sql_.append(line);
}

QStringList Query::sqlLines() const { return sql_; }

QString Query::sqlText() const {
    QString text;
    for (const QString& line : sql_) text += line + "\r\n";
    return text;
}

std::string Query::tableOfStatement() const {
    static const QRegularExpression from(R"(\bfrom\s+(\[[^\]]+\]|[^\s;]+))",
                                         QRegularExpression::CaseInsensitiveOption);
    const auto m = from.match(sqlText());
    if (!m.hasMatch()) return {};
    QString t = m.captured(1);
    if (t.startsWith('[')) t = t.mid(1, t.size() - 2);
    return t.toStdString();
}

void Query::open() {
    if (active_) return;
    if (!connection_) throw DataError(name_.toStdString() + ": the query has no connection.");
    if (sql_.isEmpty()) throw DataError(name_.toStdString() + ": the query has no statement.");
    if (!connection_->connected()) connection_->setConnected(true);
    // During bulk writes the shared writer answers the statements too: it keeps its table cache
    // across its own writes, where the read handle would re-read the whole table after each.
    jet::Database* bulk = nullptr;
    try {
        bulk = connection_->bulkWriter();
    } catch (const jet::Error&) {
        bulk = nullptr; // not writable: read as usual; a post reports the engine's message
    }
    if (!bulk) connection_->refreshIfChanged();
    jet::RowSet rows = (bulk ? *bulk : connection_->database()).queryWithoutLongValues(sqlText().toStdString());
    rows_ = std::move(rows);
    ownRows_.clear();
    longColumns_ = std::any_of(rows_.columns().begin(), rows_.columns().end(), [](const jet::ColumnInfo& c) {
        return c.type == jet::ColumnType::Memo || c.type == jet::ColumnType::Ole;
    });
    readThroughBulkWriter_ = bulk != nullptr;
    tableName_ = QString::fromStdString(tableOfStatement());
    active_ = true;
    state_ = DataSetState::Browse;
    pendingText_.clear();
    current_ = rows_.empty() ? -1 : 0;
    // Bof and Eof are set only by a Prior or Next that found no further row (or an empty
    // result), so the first such attempt at either end still fires AfterScroll.
    bof_ = eof_ = rows_.empty();
    // The bound memo follows every open; AfterScroll only when there is a row to stand on.
    if (onDataChange) onDataChange();
    if (current_ >= 0 && afterScroll) afterScroll();
}

void Query::close() {
    if (!active_) return;
    active_ = false;
    state_ = DataSetState::Inactive;
    pendingText_.clear();
    rows_ = {};
    ownRows_.clear();
    current_ = -1;
    bof_ = eof_ = false;
    if (onDataChange) onDataChange();
}

void Query::setActive(bool value) {
    if (value) open();
    else close();
}

bool Query::active() const { return active_; }

void Query::checkActive(const char* operation) const {
    if (!active_)
        throw DataError(name_.toStdString() + ": cannot " + operation + " while the query is closed.");
}

void Query::loadRow(int index) const {
    if (!longColumns_ || index < 0 || size_t(index) >= rows_.size() || ownRows_.count(index)) return;
    // The rows are read from where the statement read them; the file has not been written by this
    // process since (loadPendingRowsOfFile runs before every write).
    jet::Database* bulk = readThroughBulkWriter_ ? connection_->bulkWriter() : nullptr;
    const jet::Database& db = bulk ? *bulk : connection_->database();
    jet::Row row = rows_.row(size_t(index));
    db.readLongValues(tableName_.toStdString(), row);
    ownRows_.emplace(index, std::move(row));
}

void Query::loadAllRows() const {
    for (size_t i = 0; i < rows_.size(); ++i) loadRow(int(i));
}

jet::Row& Query::ownRow(int index) const {
    loadRow(index);
    auto it = ownRows_.find(index);
    if (it == ownRows_.end()) it = ownRows_.emplace(index, rows_.row(size_t(index))).first;
    return it->second;
}

void Query::postIfEditing() {
    if (state_ == DataSetState::Edit) post();
}

void Query::notifyScroll() {
    // Handlers may run events and change this query again; nothing here reads state after them.
    if (onDataChange) onDataChange();
    if (afterScroll) afterScroll();
}

void Query::first() {
    checkActive("move to the first row");
    postIfEditing();
    current_ = rows_.empty() ? -1 : 0;
    bof_ = eof_ = rows_.empty();
    notifyScroll();
}

void Query::last() {
    checkActive("move to the last row");
    postIfEditing();
    current_ = int(rows_.size()) - 1;
    bof_ = eof_ = rows_.empty();
    notifyScroll();
}

void Query::next() {
    checkActive("move to the next row");
    postIfEditing();
    if (eof_) return;
    bof_ = false;
    if (current_ + 1 < int(rows_.size())) ++current_;
    else eof_ = true;
    notifyScroll();
}

void Query::prior() {
    checkActive("move to the previous row");
    postIfEditing();
    if (bof_) return;
    eof_ = false;
    if (current_ > 0) --current_;
    else bof_ = true;
    notifyScroll();
}

bool Query::eof() const { return eof_; }
bool Query::bof() const { return bof_; }
bool Query::isEmpty() const { return rows_.empty(); }
int Query::recordCount() const { return int(rows_.size()); }
int Query::recordNumber() const { return current_; }

Field Query::fieldByName(const QString& column) const {
    checkActive(("read field \"" + column.toStdString() + "\"").c_str());
    const int index = rows_.columnIndex(column.toStdString());
    if (index < 0)
        throw DataError(jet::ErrorKind::NoColumn, {{}, tableName_.toStdString(), column.toStdString()},
                        name_.toStdString() + ": field '" + column.toStdString() + "' not found.");
    if (current_ < 0) return Field(std::nullopt, column);
    const jet::ColumnType type = rows_.columns()[size_t(index)].type;
    if (type == jet::ColumnType::Memo || type == jet::ColumnType::Ole) loadRow(current_);
    const auto own = ownRows_.find(current_);
    if (own == ownRows_.end()) return Field(rows_.value(size_t(current_), size_t(index)), column);
    const auto& values = own->second.values;
    if (size_t(index) >= values.size()) return Field(std::nullopt, column);
    return Field(values[size_t(index)], column);
}

void Query::setTextField(const QString& column) { textField_ = column; }

DataSetState Query::state() const { return state_; }

void Query::edit() {
    checkActive("edit");
    if (state_ == DataSetState::Edit) return;
    pendingText_ = current_ >= 0 && !textField_.isEmpty() && rows_.columnIndex(textField_.toStdString()) >= 0
                       ? fieldByName(textField_).asString()
                       : QString();
    state_ = DataSetState::Edit;
}

void Query::setEditText(const QString& text) {
    // Like typing into the bound memo: a browsing query goes into the edit state first.
    edit();
    pendingText_ = text;
}

QString Query::editText() const { return pendingText_; }

void Query::post() {
    checkActive("post");
    if (state_ != DataSetState::Edit) return;
    if (current_ < 0) {
        // The platform would append a row here; a bible never gets rows from this program.
        state_ = DataSetState::Browse;
        pendingText_.clear();
        throw DataError(name_.toStdString() +
                        ": the verse text was not saved, because the query holds no verse row "
                        "(no rows for this book and chapter).");
    }
    const int column = textField_.isEmpty() ? -1 : rows_.columnIndex(textField_.toStdString());
    if (column < 0)
        throw DataError(jet::ErrorKind::NoColumn, {{}, tableName_.toStdString(), textField_.toStdString()},
                        name_.toStdString() + ": field '" + textField_.toStdString() +
                            "' not found; the text was not saved.");
    if (tableName_.isEmpty())
        throw DataError(name_.toStdString() + ": the statement names no table; the text was not saved.");
    jet::Row& row = ownRow(current_);
    const std::u16string text = toU16(pendingText_);
    if (size_t(column) < row.values.size() && row.values[size_t(column)] == jet::Value(text)) {
        // The row holds this text already (a save right after a save): nothing to write.
        state_ = DataSetState::Browse;
        pendingText_.clear();
        if (onDataChange) onDataChange();
        return;
    }
    connection_->loadPendingRowsOfFile();
    {
        // Reads go through a read-only handle; the write opens the file for writing only for
        // this update, so a read-only or locked file fails here with the engine's message.
        if (jet::Database* bulk = connection_->bulkWriter()) {
            bulk->updateText(tableName_.toStdString(), row.id, rows_.columns()[size_t(column)].name, text);
        } else {
            auto writer = jet::Database::open(connection_->database().path(), jet::OpenMode::ReadWrite);
            writer->updateText(tableName_.toStdString(), row.id, rows_.columns()[size_t(column)].name, text);
        }
    }
    connection_->noteWritten();
    if (size_t(column) < row.values.size()) row.values[size_t(column)] = text;
    state_ = DataSetState::Browse;
    pendingText_.clear();
    if (onDataChange) onDataChange();
}

void Query::cancel() {
    if (state_ != DataSetState::Edit) return;
    state_ = DataSetState::Browse;
    pendingText_.clear();
    if (onDataChange) onDataChange();
}

} // namespace data
