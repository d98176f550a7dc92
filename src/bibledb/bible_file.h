// Where a bible's database file is and the connection string that opens it.
#pragma once
#include <QString>

namespace bibledb {

// baseFolder + "\HolyBibles\" + name + ".mdb" (a Windows path; an empty name gives "\.mdb").
QString bibleFilePath(const QString& baseFolder, const QString& name);

// "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + path + ";Persist Security Info=False".
QString bibleConnectionString(const QString& path);

} // namespace bibledb
