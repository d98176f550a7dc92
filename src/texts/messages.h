// The program's messages beyond the interface-text slots, in the interface languages: a language
// code "NL", "UK" or "DE" (anything else gives English).
#pragma once
#include <QString>

namespace texts {

// An edited verse could not be saved because no verse row lies at the cursor.
QString noVerseRowMessage(const QString& languageCode);

// The database `path` was removed for compaction and its copy could not take its name: it now
// lives only as `strandedAt`.
QString strandedDatabaseMessage(const QString& languageCode, const QString& path, const QString& strandedAt);

} // namespace texts
