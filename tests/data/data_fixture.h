// A bible file in a temporary folder with a connection and a query on it, for the data tests.
#pragma once
#include "data/dataset.h"
#include "support/bible_fixture.h"
#include "support/test_env.h"

#include <QFile>

#include <memory>

namespace data_test {

// A path as a QString: its bytes decoded as Qt decodes file names; on Windows its UTF-16.
inline QString qtPath(const std::filesystem::path& file) {
#ifdef _WIN32
    return QString::fromStdWString(file.native());
#else
    return QFile::decodeName(file.c_str());
#endif
}

inline QString connectionStringFor(const std::filesystem::path& file) {
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + qtPath(file) + ";Persist Security Info=False";
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
