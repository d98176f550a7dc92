// The compaction's file-system seam over the real file system, recording every compaction and
// able to make every rename fail (the step no test can make fail on a real disk as root).
#pragma once
#include "maintenance/compaction.h"

#include <QStringList>

namespace test_support {

class PassThroughFiles : public maintenance::FileOps {
public:
    QStringList compacted; // the source of every compaction, in order
    bool failRenames = false;
    bool exists(const QString& path) override { return maintenance::systemFileOps().exists(path); }
    bool remove(const QString& path) override { return maintenance::systemFileOps().remove(path); }
    bool rename(const QString& from, const QString& to) override {
        return !failRenames && maintenance::systemFileOps().rename(from, to);
    }
    void compact(const QString& source, const QString& destination) override {
        compacted << source;
        maintenance::systemFileOps().compact(source, destination);
    }
};

} // namespace test_support
