// A bible file in a temporary folder with a connection and a query on it, for the data tests.
#pragma once
#include "data/dataset.h"
#include "support/bible_fixture.h"
#include "support/test_env.h"

#include <QFile>

#include <memory>

namespace data_test {

inline QString connectionStringFor(const std::filesystem::path& file) {
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + QFile::decodeName(file.c_str()) +
           ";Persist Security Info=False";
}

// Opens `connection` on `file`.
inline void connect(data::Connection& connection, const std::filesystem::path& file) {
    connection.setConnectionString(connectionStringFor(file));
    connection.setConnected(true);
}

inline void setStatement(data::Query& query, std::initializer_list<QString> lines) {
    query.sqlClear();
    for (const QString& line : lines) query.sqlAdd(line);
}

} // namespace data_test
