// Databases stranded under the compaction's temporary name: a NAME.mdbx without a NAME.mdb beside
// it is the verified compacted copy of a bible whose rename back failed at an earlier close.
#pragma once
#include "maintenance/compaction.h"
#include "texts/leftover_texts.h"

#include <QString>

namespace maintenance {

// Renames every such copy in the (Windows) folder back to NAME.mdb. A NAME.mdbx beside an
// existing NAME.mdb (letter case ignored) is left alone: the database is in place. Reports the
// Windows paths: the databases put back, and the copies that could not be renamed.
texts::StrandedReport restoreStrandedDatabases(const QString& windowsFolder, FileOps& ops = systemFileOps());

} // namespace maintenance
