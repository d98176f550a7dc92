#include "maintenance/compaction.h"

#include "data/win_path.h"
#include "jet/database.h"

#include <QFile>
#include <QFileInfo>

namespace maintenance {

namespace {

class SystemFileOps : public FileOps {
public:
    bool exists(const QString& path) override { return QFileInfo(path).exists() || QFileInfo(path).isSymLink(); }
    bool remove(const QString& path) override { return QFile::remove(path); }
    bool rename(const QString& from, const QString& to) override {
        // QFile::rename refuses an existing destination, as MoveFileW does.
        if (exists(to)) return false;
        return QFile::rename(from, to);
    }
    void compact(const QString& source, const QString& destination) override {
        // The engine refuses an existing destination too; saying so here names the leftover file.
        if (exists(destination))
            throw jet::Error("Cannot compact into '" + destination.toStdString() + "': the file already exists");
        jet::compact(data::engineName(source), data::engineName(destination));
    }
};

} // namespace

bool FileOps::inUse(const QString& path) {
    return jet::inUseMessage(data::engineName(path), jet::InUseCheck::Thorough).has_value();
}

FileOps& systemFileOps() {
    static SystemFileOps ops;
    return ops;
}

CompactOutcome compactAndRepair(const QString& path, FileOps& ops) {
    CompactOutcome outcome;
    try {
        const QString temporaryName = path + "x";
        const QString database = data::resolveWindowsPath(path);
        const QString copy = data::resolveWindowsPath(temporaryName);
        if (ops.exists(copy)) {
            outcome.blockedBy = temporaryName;
            return outcome;
        }

        ops.compact(database, copy);
        if (!ops.exists(copy)) throw jet::Error("The compacted copy was not written");
        if (ops.inUse(database)) {
            // Another program opened the database while the copy was made: deleting it now would
            // leave that program writing into a file that no longer has a name.
            ops.remove(copy);
            return outcome;
        }

        ops.remove(database);
        if (!ops.rename(copy, database)) {
            // When the delete failed the database is still in place and the copy stays beside it.
            // When the delete succeeded the database now lives only under the temporary name: try
            // once more, and if that fails too the user has to be told where it is.
            if (!ops.exists(database) && ops.exists(copy) && !ops.rename(copy, database))
                outcome.strandedAt = temporaryName;
        }
        outcome.completed = true;
    } catch (...) {
        // Compaction never reports its own failures; the database is untouched unless the copy
        // was verified first.
        outcome.completed = false;
    }
    return outcome;
}

} // namespace maintenance
