// The whole-bible walk without a window: the window's query steps (bibledb/navigation.h) on one
// or two bible files, in-memory views filled at every cursor move as the window's after-scroll
// handlers fill theirs, and the window's save (a text equal to the row's is not written).
#pragma once
#include "data/dataset.h"
#include "maintenance/bible_walk.h"
#include "verse/markers.h"
#include "verse/memory_line_view.h"

#include <QString>

#include <functional>
#include <set>
#include <tuple>

namespace maintenance {

class QueryWalk : public WalkDriver {
public:
    // Opens `path1` in pane 1 and, unless empty, `path2` in pane 2, as the window opens them (the
    // whole table, then the book list of pane 1). Throws on a missing file, table or column.
    QueryWalk(const QString& path1, const QString& path2, const verse::Markers& markers);
    QueryWalk(const QueryWalk&) = delete;
    QueryWalk& operator=(const QueryWalk&) = delete;

    int versesVisited() const { return visits_; }
    int rowsWritten() const { return int(written_.size()); } // distinct rows whose text changed

    // The language of the walk's own message (an edited verse with no row to save it into).
    QString languageCode = "UK";
    // Asked before and after every verse; the walk then ends after the verse in progress.
    std::function<bool()> stop;
    std::function<void(const WalkProgress&)> onProgress;
    // Called at every verse visit with pane 1's book, chapter and verse, before the steps.
    std::function<void(int book, int chapter, int verse)> onVerse;

    int bookCount() override { return bookCount_; }
    void chooseBook(int position) override;
    int lastChapter() override { return lastChapter_; }
    int currentVerse() override;
    void nextVerse() override;
    void nextChapter() override;
    void letEventsRun() override {}
    bool stopRequested() override { return stop && stop(); }
    bool paneInUse(int pane) override;
    verse::LineView& view(int pane) override { return pane_[index(pane)].view; }
    bool edited(int pane) override { return pane_[index(pane)].edited; }
    void setEdited(int pane) override { pane_[index(pane)].edited = true; }
    void save(int pane) override;
    void verseVisited() override;
    void progressed(const WalkProgress& progress) override {
        if (onProgress) onProgress(progress);
    }

private:
    struct Pane {
        data::Connection connection;
        data::Query query{connection};
        verse::MemoryLineView view;
        bool edited = false;
    };
    static size_t index(int pane) { return pane == 2 ? 1 : 0; }
    void openPane(int pane, const QString& path);
    void saveEditedPanes();

    verse::Markers markers_;
    Pane pane_[2];
    int bookCount_ = 0;
    int book_ = 0;
    int lastChapter_ = 0;
    QString chapterLabel_;
    int visits_ = 0;
    // A row written: pane, book, chapter label, position in the chapter's rows.
    std::set<std::tuple<int, int, QString, int>> written_;
};

} // namespace maintenance
