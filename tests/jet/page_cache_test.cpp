// The page cache's budget: pages beyond it are dropped at refresh() only, never within an
// operation (references handed out stay valid until then) and never a held page (a write not yet
// on the disk); a dropped page reads again as the file holds it.
#include "jet/format.h"
#include "jet/page_file.h"

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

} // namespace
