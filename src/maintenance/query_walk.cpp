#include "maintenance/query_walk.h"

#include "bibledb/bible_schema.h"
#include "bibledb/book_list.h"
#include "bibledb/navigation.h"
#include "bibledb/statements.h"
#include "texts/messages.h"
#include "verse/fill.h"
#include "verse/save.h"

namespace maintenance {

QueryWalk::QueryWalk(const QString& path1, const QString& path2, const verse::Markers& markers) : markers_(markers) {
    if (!path2.isEmpty()) openPane(2, path2);
    openPane(1, path1);
    data::Query& query1 = pane_[0].query;
    bibledb::openBookList(query1);
    bibledb::BookList books;
    bibledb::readBookNames(query1, books);
    bookCount_ = books.count();
}

void QueryWalk::openPane(int pane, const QString& path) {
    Pane& p = pane_[index(pane)];
    p.connection.connectToFile(path);
    p.query.setTextField(bibledb::kTextColumn);
    // The after-scroll handlers: the view shows the row's text and the pane is not edited.
    p.query.afterScroll = [this, &p] {
        verse::fillView(p.view, p.query.fieldByName(bibledb::kTextColumn).asString(), markers_);
        p.edited = false;
    };
    bibledb::setStatement(p.query, bibledb::openBibleStatement());
    p.query.open();
    p.query.first();
}

void QueryWalk::saveEditedPanes() {
    for (int pane : {1, 2})
        if (pane_[index(pane)].edited) save(pane);
}

void QueryWalk::chooseBook(int position) {
    saveEditedPanes();
    book_ = position + 1;
    lastChapter_ = bibledb::readHighestChapter(pane_[0].query, book_);
    bibledb::openFirstChapter(pane_[0].query, pane_[1].query, book_);
    chapterLabel_ = "1";
}

int QueryWalk::currentVerse() { return bibledb::verseOf(pane_[0].query); }

void QueryWalk::nextVerse() {
    saveEditedPanes();
    pane_[0].query.next();
    if (pane_[1].query.active()) pane_[1].query.next();
}

void QueryWalk::nextChapter() {
    saveEditedPanes();
    if (bibledb::chapterOf(pane_[0].query) < lastChapter_) {
        chapterLabel_ = bibledb::stepChapter(pane_[0].query, pane_[1].query, book_, chapterLabel_, +1);
        // Pane 2's bible lacks the chapter: its view must not keep the verse of the chapter before.
        Pane& second = pane_[1];
        if (second.query.active() && second.query.isEmpty()) {
            second.view.clear();
            second.edited = false;
        }
    }
}

void QueryWalk::verseVisited() {
    ++visits_;
    if (onVerse) onVerse(book_, bibledb::chapterOf(pane_[0].query), bibledb::verseOf(pane_[0].query));
}

// A pane on a chapter its bible lacks has no verse to change: the walk passes it by.
bool QueryWalk::paneInUse(int pane) {
    const data::Query& query = pane_[index(pane)].query;
    return query.active() && query.recordNumber() >= 0;
}

void QueryWalk::save(int pane) {
    Pane& p = pane_[index(pane)];
    if (!p.query.active()) {
        p.edited = false;
        return;
    }
    const QString text = verse::convertForSave(p.view, markers_);
    if (p.query.recordNumber() < 0) {
        // The window says so in a message and goes on; without a window the run ends here.
        p.edited = false;
        throw data::DataError(texts::noVerseRowMessage(languageCode).toStdString());
    }
    if (text == p.query.fieldByName(bibledb::kTextColumn).asString()) {
        p.query.cancel();
        return;
    }
    p.query.edit();
    p.query.setEditText(text);
    p.query.post();
    written_.insert({pane, book_, chapterLabel_, p.query.recordNumber()});
}

} // namespace maintenance
