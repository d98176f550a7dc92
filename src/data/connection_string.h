// Parsing of an OLE DB connection string ("Provider=...;Data Source=...;..."): keys compared
// without regard to case, the Jet 4 provider required, the Data Source taken as written.
#pragma once
#include <QString>

namespace data {

// The provider every bible file is opened with.
inline constexpr const char* kJetProvider = "Microsoft.Jet.OLEDB.4.0";

struct ConnectionSettings {
    QString provider;   // as written
    QString dataSource; // the database file, as written (a Windows path)
};

// Splits "key=value" pairs at ";" (a value may be quoted with " or ' to hold ";"), ignores empty
// pairs and keys it does not use. Throws DataError when the provider is missing or another than
// Microsoft.Jet.OLEDB.4.0, when Data Source is missing or empty, or when a pair has no "=".
ConnectionSettings parseConnectionString(const QString& text);

} // namespace data
