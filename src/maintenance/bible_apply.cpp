#include "maintenance/bible_apply.h"

#include "data/dataset.h"
#include "maintenance/query_walk.h"

namespace maintenance {

ApplyReport runOverBibleFile(const QString& path, const std::vector<VerseStep>& steps, const verse::Markers& markers,
                             const FileRunOptions& options) {
    // One flush at the end instead of one per row: a run writes up to every verse of the bible.
    const data::Connection::BulkWrites bulkWrites;
    QueryWalk walk(path, QString(), markers);
    walk.languageCode = options.languageCode;
    walk.stop = options.stopRequested;
    walk.onProgress = options.onProgress;
    walk.onVerse = options.onVerse;
    const bool completed = walkBible(walk, steps, options.range);
    return {walk.versesVisited(), walk.rowsWritten(), !completed};
}

ApplyReport applyToBible(const QString& path, OptionBoxes boxes, const verse::Markers& markers) {
    return runOverBibleFile(path, slideOptionSteps([boxes] { return boxes; }, [markers] { return markers.newSlide; }),
                            markers);
}

} // namespace maintenance
