#include "maintenance/bible_apply.h"

#include "jet/database.h"
#include "verse/fill.h"
#include "verse/memory_line_view.h"
#include "verse/save.h"

#include <algorithm>
#include <map>
#include <set>

namespace maintenance {

namespace {

// A column value read as integer, as the data layer's AsInteger reads it (NULL: 0).
int asInteger(const jet::Value& value) {
    if (const auto* i = std::get_if<int64_t>(&value)) return int(*i);
    if (const auto* d = std::get_if<double>(&value)) return int(*d);
    if (const auto* b = std::get_if<bool>(&value)) return *b ? -1 : 0;
    if (const auto* s = std::get_if<std::u16string>(&value)) {
        bool ok = false;
        const int n = QString::fromStdU16String(*s).trimmed().toInt(&ok);
        if (!ok) throw jet::Error("'" + QString::fromStdU16String(*s).toStdString() + "' is not a valid integer value");
        return n;
    }
    return 0;
}

QString asText(const jet::Value& value) {
    if (const auto* s = std::get_if<std::u16string>(&value)) return QString::fromStdU16String(*s);
    return {};
}

// The window's walk without the window: one pane, a static snapshot of table `bible`, a cursor
// per chapter with the same edge rule as the data layer (the first Next on the last row shows
// the row again, later ones do nothing), and an in-memory view.
class BibleWalker : public RunDriver {
public:
    BibleWalker(jet::Database& db, OptionBoxes boxes, const verse::Markers& markers, const WalkOptions& options)
        : db_(db), boxes_(boxes), markers_(markers), options_(options) {
        table_ = db_.schema("bible").name;
        rows_ = db_.readTable(table_);
        book_ = column("Book");
        chapter_ = column("Chapter");
        verse_ = column("Verse");
        text_ = column("BIBLETEXT");
        for (size_t i = 0; i < rows_.rows.size(); ++i) {
            const auto& values = rows_.rows[i].values;
            const int book = asInteger(values[book_]);
            if (book == 0 && asInteger(values[chapter_]) == 10) ++bookCount_;
            rowsOfBook_[book].push_back(i);
        }
    }

    ApplyReport report() const { return {visits_, int(written_.size()), changes_, bookCount_}; }

    int bookCount() override { return bookCount_; }

    void chooseBook(int position) override {
        saveEditedPane();
        book_number_ = position + 1;
        bookPosition_ = position;
        chaptersDone_ = 0;
        lastChapter_ = 0;
        for (size_t i : rowsOfBook(book_number_))
            lastChapter_ = std::max(lastChapter_, asInteger(rows_.rows[i].values[chapter_]));
        openChapter(1);
        chapterLabel_ = "1";
    }

    int lastChapter() override { return lastChapter_; }

    int currentVerse() override { return hasRow() ? asInteger(current().values[verse_]) : 0; }

    void nextVerse() override {
        saveEditedPane();
        if (!hasRow()) return;
        if (position_ + 1 < int(chapterRows_.size())) {
            ++position_;
            fill();
        } else if (!triedPastEnd_) {
            triedPastEnd_ = true;
            fill();
        }
    }

    void nextChapter() override {
        saveEditedPane();
        ++chaptersDone_;
        const int chapter = hasRow() ? asInteger(current().values[chapter_]) : 0;
        if (chapter >= lastChapter_) return;
        bool ok = false;
        const int next = chapterLabel_.toInt(&ok) + 1;
        if (!ok)
            throw jet::Error("Book " + std::to_string(book_number_) + " has no rows for a chapter below " +
                             std::to_string(lastChapter_) + "; its chapter numbers have a gap");
        openChapter(next);
        chapterLabel_ = hasRow() ? QString::number(asInteger(current().values[chapter_])) : QString();
    }

    void letEventsRun() override {
        if (options_.progress) options_.progress(bookPosition_, bookCount_, chaptersDone_, lastChapter_);
        if (options_.letEventsRun) options_.letEventsRun();
    }
    bool stopRequested() override { return options_.stopRequested && options_.stopRequested(); }
    OptionBoxes boxes() override { return boxes_; }
    QString newSlideMarker() override { return markers_.newSlide; }
    bool paneInUse(int pane) override { return pane == 1; }
    verse::LineView& view(int) override { return view_; }
    bool edited(int) override { return edited_; }
    void setEdited(int) override { edited_ = true; }

    void save(int) override { write(); }
    void verseVisited() override { ++visits_; }

private:
    int column(const char* name) const {
        const int index = rows_.columnIndex(name);
        if (index < 0) throw jet::Error("Table '" + table_ + "' has no column '" + name + "'");
        return index;
    }

    const std::vector<size_t>& rowsOfBook(int book) const {
        static const std::vector<size_t> none;
        const auto it = rowsOfBook_.find(book);
        return it == rowsOfBook_.end() ? none : it->second;
    }

    void openChapter(int chapter) {
        chapterRows_.clear();
        for (size_t i : rowsOfBook(book_number_))
            if (asInteger(rows_.rows[i].values[chapter_]) == chapter) chapterRows_.push_back(i);
        std::stable_sort(chapterRows_.begin(), chapterRows_.end(), [this](size_t a, size_t b) {
            return asInteger(rows_.rows[a].values[verse_]) < asInteger(rows_.rows[b].values[verse_]);
        });
        triedPastEnd_ = false;
        position_ = chapterRows_.empty() ? -1 : 0;
        if (hasRow()) fill(); // opening an empty result moves nothing, so the view stays as it was
    }

    bool hasRow() const { return position_ >= 0; }
    jet::Row& current() { return rows_.rows[chapterRows_[size_t(position_)]]; }

    void fill() {
        verse::fillView(view_, asText(current().values[text_]), markers_);
        edited_ = false;
    }

    // The saving step every navigation handler runs first.
    void saveEditedPane() {
        if (edited_) write();
    }

    void write() {
        const QString text = verse::convertForSave(view_, markers_);
        if (!hasRow()) throw jet::Error("There is no current row to save the verse into");
        jet::Row& row = current();
        // The window writes the same text again; leaving such a row alone gives the same file.
        const jet::Value& stored = row.values[text_];
        if (std::holds_alternative<jet::Null>(stored) ? text.isEmpty() : asText(stored) == text) return;
        const size_t index = chapterRows_[size_t(position_)];
        if (options_.collectChanges) {
            const auto [it, added] = changeOfRow_.try_emplace(index, changes_.size());
            if (added)
                changes_.push_back({book_number_, asInteger(row.values[chapter_]), asInteger(row.values[verse_]),
                                    asText(stored), {}});
            changes_[it->second].after = text;
        }
        if (!options_.dryRun) db_.updateText(table_, row.id, rows_.columns[size_t(text_)].name, text.toStdU16String());
        row.values[text_] = text.toStdU16String();
        written_.insert(index);
    }

    jet::Database& db_;
    OptionBoxes boxes_;
    verse::Markers markers_;
    const WalkOptions& options_;
    std::string table_;
    jet::ResultSet rows_;
    int book_ = -1, chapter_ = -1, verse_ = -1, text_ = -1;
    int bookCount_ = 0;
    std::map<int, std::vector<size_t>> rowsOfBook_;

    int book_number_ = 0;
    int bookPosition_ = 0;
    int chaptersDone_ = 0;
    int lastChapter_ = 0;
    QString chapterLabel_;
    std::vector<size_t> chapterRows_;
    int position_ = -1;
    bool triedPastEnd_ = false;

    verse::MemoryLineView view_;
    bool edited_ = false;
    int visits_ = 0;
    std::set<size_t> written_;
    std::vector<RowChange> changes_;          // in the order of the walk
    std::map<size_t, size_t> changeOfRow_;    // row -> its entry in changes_
};

// One flush at the end instead of one per row: a run writes up to every verse of the bible.
class FlushAtEnd {
public:
    FlushAtEnd(jet::Database& db, bool writes) : db_(writes ? &db : nullptr) {
        if (db_) db_->setFlushEachUpdate(false);
    }
    ~FlushAtEnd() {
        try {
            if (db_) db_->setFlushEachUpdate(true);
        } catch (...) {
            // Already failing; the writes reach the disk when the file is closed.
        }
    }
    void done() {
        if (db_) db_->setFlushEachUpdate(true);
        db_ = nullptr;
    }

private:
    jet::Database* db_;
};

} // namespace

ApplyReport walkBible(jet::Database& db, const VerseStep& step, const verse::Markers& markers,
                      const WalkOptions& options, bool* stopped) {
    FlushAtEnd flush(db, !options.dryRun);
    BibleWalker walker(db, {}, markers, options);
    const bool completed = runOverBible(walker, step, options.books);
    if (stopped) *stopped = !completed;
    flush.done();
    return walker.report();
}

ApplyReport applyToBible(jet::Database& db, OptionBoxes boxes, const verse::Markers& markers) {
    FlushAtEnd flush(db, true);
    const WalkOptions options;
    BibleWalker walker(db, boxes, markers, options);
    runOverBible(walker);
    flush.done();
    return walker.report();
}

} // namespace maintenance
