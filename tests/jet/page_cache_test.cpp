// The page cache's budget: pages beyond it are dropped at refresh() only, never within an
// operation (references handed out stay valid until then) and never a held page (a write not yet
// on the disk); a dropped page reads again as the file holds it. Table scans read past the cache
// but see the pages written or held through it.
#include "jet/database_impl.h"
#include "jet/format.h"
#include "jet/page_file.h"
#include "support/bible_fixture.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

namespace {

using jet::format::kPageSize;

constexpr uint32_t kPages = 40;

jet::Bytes filled(uint8_t value) { return jet::Bytes(kPageSize, value); }

std::unique_ptr<jet::PageFile> numberedFile() {
    jet::Bytes contents;
    for (uint32_t p = 0; p < kPages; ++p) contents.insert(contents.end(), kPageSize, uint8_t(p));
    auto file = jet::memoryPageFile(std::move(contents), "pages.mdb");
    file->refresh();
    file->setCacheBudget(4);
    return file;
}

TEST(PageCache, ReferencesStayValidUntilRefreshThenPagesBeyondTheBudgetGo) {
    auto file = numberedFile();
    const jet::Bytes& first = file->page(0);
    const uint8_t* firstBytes = first.data();
    for (uint32_t p = 1; p < kPages; ++p) EXPECT_EQ(file->page(p), filled(uint8_t(p)));
    // Within the operation nothing was dropped: the first reference still holds its page.
    EXPECT_EQ(file->cachedPages(), size_t(kPages));
    EXPECT_EQ(first.data(), firstBytes);
    EXPECT_EQ(first, filled(0));

    // A page written while cached keeps its buffer: views into it stay valid.
    file->writePage(5, filled(205));
    const uint8_t* fifth = file->page(5).data();
    file->writePage(5, filled(105));
    EXPECT_EQ(file->page(5).data(), fifth);
    EXPECT_EQ(fifth[0], 105);

    EXPECT_FALSE(file->refresh());
    EXPECT_EQ(file->cachedPages(), 4u);
    // The pages used last stay; the others are read again, as the file holds them.
    for (uint32_t p = 0; p < kPages; ++p) EXPECT_EQ(file->page(p)[0], p == 5 ? 105 : p) << "page " << p;
}

TEST(PageCache, HeldPagesAreNeverDroppedAndReachTheFile) {
    auto file = numberedFile();
    file->holdWrites(true);
    for (uint32_t p : {3u, 17u, 30u}) file->writePage(p, filled(uint8_t(100 + p)), jet::WriteStage::Data);
    file->writePage(kPages, filled(99), jet::WriteStage::Data); // appended, only in the cache so far
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        for (uint32_t p = 0; p < kPages; ++p) file->page(p); // more pages than the budget
        file->setCacheBudget(round == 0 ? 4 : 0);
        EXPECT_FALSE(file->refresh());
        EXPECT_EQ(file->heldPages(), 4u);
        EXPECT_EQ(file->pageCount(), kPages + 1);
        for (uint32_t p : {3u, 17u, 30u}) EXPECT_EQ(file->page(p), filled(uint8_t(100 + p))) << "page " << p;
        EXPECT_EQ(file->page(kPages), filled(99));
    }
    file->writeHeld();
    EXPECT_EQ(file->heldPages(), 0u);
    EXPECT_FALSE(file->refresh());
    EXPECT_EQ(file->cachedPages(), 0u);
    // Read back from the file itself.
    for (uint32_t p = 0; p <= kPages; ++p) {
        const uint8_t expected = p == kPages ? 99 : p == 3 || p == 17 || p == 30 ? uint8_t(100 + p) : uint8_t(p);
        EXPECT_EQ(file->page(p), filled(expected)) << "page " << p;
    }
}

TEST(PageCache, AScanKeepsNoPageButSeesTheWrittenAndHeldOnes) {
    auto file = numberedFile();
    jet::PageFile::ScanBuffer buffer;
    EXPECT_EQ(file->scanView(10, buffer).u8(0), 10); // reads a run of pages from 10 on
    EXPECT_EQ(file->cachedPages(), 0u);
    file->writePage(12, filled(112));
    file->holdWrites(true);
    file->writePage(14, filled(114));
    for (uint32_t p = 10; p < kPages; ++p) {
        const uint8_t expected = p == 12 ? 112 : p == 14 ? 114 : uint8_t(p);
        EXPECT_EQ(file->scanView(p, buffer).u8(kPageSize - 1), expected) << "page " << p;
    }
    EXPECT_EQ(file->cachedPages(), 2u);
    EXPECT_THROW(file->scanView(kPages, buffer), jet::Error);
}

// A bulk run changes Text(255) verse texts (values the engine keeps of the table, so each change
// makes the next statement scan the table again) with a cache that keeps nothing but the held
// pages: every statement shows the texts written so far, though most are not on the disk yet.
TEST(PageCache, StatementsOfABulkRunSeeItsHeldWrites) {
    test_support::TempDir dir;
    test_support::BibleSpec bibleSpec = test_support::simpleBible(2, 3, 12);
    bibleSpec.verseTextAsText255 = true;
    const auto path = test_support::writeBible(dir / "b.mdb", bibleSpec);
    auto owned = jet::openPageFile(path.string(), true);
    jet::PageFile& file = *owned;
    file.setCacheBudget(0);
    auto db = jet::openDatabase(std::move(owned), jet::OpenMode::ReadWrite);
    db->setFlushEachUpdate(false);
    jet::setHeldPagesLimit(*db, 1000); // nothing reaches the disk before the flush
    const auto texts = [&](int book, int chapter) {
        const jet::RowSet rows = db->queryWithoutLongValues("select * from bible where book = " + std::to_string(book) +
                                                            " and chapter = " + std::to_string(chapter) + " order by verse");
        std::vector<std::u16string> out;
        for (size_t r = 0; r < rows.size(); ++r) out.push_back(std::get<std::u16string>(rows.value(r, size_t(rows.columnIndex("BIBLETEXT")))));
        return out;
    };
    std::vector<std::u16string> expected = texts(2, 2);
    for (size_t v = 0; v < expected.size(); ++v) {
        const jet::RowSet rows = db->queryWithoutLongValues("select * from bible where book = 2 and chapter = 2 order by verse");
        expected[v] = u"changed in the bulk run, verse " + std::u16string(1, char16_t(u'a' + v));
        db->updateText("bible", rows.id(v), "BIBLETEXT", expected[v]);
        ASSERT_GT(file.heldPages(), 0u);
        ASSERT_EQ(texts(2, 2), expected) << "after verse " << v;
    }
    db->flush();
    db.reset();
    const auto stored = test_support::readVerseTexts(path);
    for (size_t v = 0; v < expected.size(); ++v) EXPECT_EQ(stored.at({2, 2, int(v + 1)}), expected[v]);
}

} // namespace
