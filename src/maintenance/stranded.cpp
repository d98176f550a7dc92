#include "maintenance/stranded.h"

#include "data/win_path.h"

namespace maintenance {

texts::StrandedReport restoreStrandedDatabases(const QString& windowsFolder, FileOps& ops) {
    texts::StrandedReport report;
    for (const QString& file : data::listFilesWithSuffix(windowsFolder, QStringLiteral(".mdbx"))) {
        const QString copy = windowsFolder + "\\" + file;
        const QString database = windowsFolder + "\\" + file.left(file.size() - 1);
        const QString databaseHere = data::resolveWindowsPath(database);
        if (ops.exists(databaseHere)) continue;
        if (ops.rename(data::resolveWindowsPath(copy), databaseHere)) report.restored << database;
        else report.notRestored << copy;
    }
    return report;
}

} // namespace maintenance
