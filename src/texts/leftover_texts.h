// Messages about bible files left under the compaction's temporary name (path + "x"), in the
// interface language ("NL", "UK" or "DE"; anything else gives English).
#pragma once
#include <QString>
#include <QStringList>

namespace texts {

// Start-up: databases found only under their temporary name, listed in one message.
struct StrandedReport {
    QStringList restored;    // database paths now back in place
    QStringList notRestored; // temporary files still holding a database
};
QString strandedAtStartMessage(const QString& languageCode, const StrandedReport& report);

// Close: the database was not compacted because the temporary file of an earlier compaction is
// in the way.
QString compactionBlockedMessage(const QString& languageCode, const QString& database, const QString& leftover);

} // namespace texts
