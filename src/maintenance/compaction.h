// Compaction of a bible database at close: a compacted copy beside the file (path + "x"), then
// the copy takes the file's place. All file-system work goes through FileOps so that tests can
// make any step fail.
#pragma once
#include <QString>

namespace maintenance {

// The four file-system steps of a compaction, on native paths.
class FileOps {
public:
    virtual ~FileOps() = default;
    virtual bool exists(const QString& path) = 0;
    // Deletes the file; false when it could not.
    virtual bool remove(const QString& path) = 0;
    // Renames `from` to `to`; never replaces an existing `to` (false then).
    virtual bool rename(const QString& from, const QString& to) = 0;
    // Writes a verified compacted copy of `source` into the new file `destination`; throws on any
    // failure, including a `destination` that already exists, and leaves `source` unchanged.
    virtual void compact(const QString& source, const QString& destination) = 0;
    // Whether another program has the file open now (the engine's thorough check).
    virtual bool inUse(const QString& path);
};

// The real file system and the engine's compaction.
FileOps& systemFileOps();

struct CompactOutcome {
    // True when no step threw. Like the original it does not mean the file was replaced: a
    // failed delete leaves the database as it was and the copy beside it.
    bool completed = false;
    // Set when the database was deleted and the copy could not be renamed into its place, even
    // on a second attempt: the database now exists only under this (Windows) name.
    QString strandedAt;
    // Set when the temporary file of an earlier compaction was in the way: nothing was done.
    QString blockedBy;
};

// Compacts the database at the Windows path `path` (resolved through the path layer). The order
// is compact (which verifies the copy before returning and refuses a file that another program
// has open), a second in-use check, delete, rename: a file that came into use meanwhile keeps its
// place and the copy is removed. A leftover temporary file from an earlier close blocks the
// compaction (blockedBy) and is left where it is. Never throws.
CompactOutcome compactAndRepair(const QString& path, FileOps& ops = systemFileOps());

} // namespace maintenance
