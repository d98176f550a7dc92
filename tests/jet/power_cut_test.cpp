// Safety against power loss: a run of updates (and a compaction) is repeated with the power
// failing at each of its writes in turn. The disk keeps what was flushed and, of the write in
// progress, nothing or all of it. Afterwards every value reads old or new (an update that had
// returned is kept), the consistency checker finds nothing, and mdb-export reads what our
// reader reads. One state needs the next session: a row that moves to another page takes two
// page writes, and when only the first reached the disk the new copy is left over. Jet and our
// reader pass over it; the next change to the table deletes it, so that mdb-export agrees too.
#include "jet/compact.h"
#include "jet/database_impl.h"
#include "support/fault_page_file.h"
#include "support/bible_fixture.h"
#include "write_helpers.h"

#include <algorithm>
#include <fstream>
#include <functional>

namespace {

using namespace write_test;
using Texts = std::vector<std::u16string>;

std::u16string textOfLength(size_t units, char16_t seed) {
    std::u16string t;
    for (size_t i = 0; i < units; ++i) t += char16_t(seed + i % 23);
    return t;
}

struct Update {
    size_t row;
    std::u16string text;
};

struct Scenario {
    const char* name;
    bool textColumn;                 // BIBLETEXT as Text(255): growing rows move to other pages
    std::vector<Update> updates;
};

// Stored sizes from empty through inline, one LVAL row, and chains of two and three rows, then
// back to inline; Unicode text is stored uncompressed (two bytes a character).
Scenario memoScenario() {
    return {"memo values of every storage kind",
            false,
            {{0, u""},
             {1, textOfLength(12, u'a')},
             {2, textOfLength(60, u'\u03b1')},
             {3, textOfLength(1500, u'\u0430')},
             {1, textOfLength(2600, u'\u05d0')},
             {4, textOfLength(4500, u'\u4e00')},
             {3, u"short again"},
             {5, textOfLength(300, u'k')}}};
}

Scenario textScenario() {
    Scenario s{"text values that grow until rows move", true, {}};
    for (size_t r = 0; r < 20; ++r) s.updates.push_back({r, textOfLength(250, char16_t(u'a' + r))});
    s.updates.push_back({3, u"short"});
    return s;
}

jet::Bytes bytesOf(const std::filesystem::path& file) {
    std::string s = readBytes(file);
    return jet::Bytes(s.begin(), s.end());
}

jet::Bytes bibleBytes(bool textColumn) {
    test_support::TempDir dir;
    auto shape = test_support::simpleBible(1, 2, 12);
    shape.verseTextAsText255 = textColumn;
    return bytesOf(test_support::writeBible(dir / "b.mdb", shape));
}

Texts readTexts(const jet::Bytes& contents) {
    auto db = jet::openMemoryDatabase(contents, "after");
    jet::ResultSet rs = db->readTable("bible");
    int col = rs.columnIndex("BIBLETEXT");
    Texts out;
    for (const auto& r : rs.rows) out.push_back(std::get<std::u16string>(r.values[size_t(col)]));
    return out;
}

std::unique_ptr<jet::FaultPageFile> faultFile(const jet::Bytes& contents) {
    return std::make_unique<jet::FaultPageFile>(jet::memoryPageFile(contents, "bible.mdb"));
}

struct UpdateRun {
    const char* name;
    bool batched;   // one flush at the end
    bool tinyCache; // the page cache keeps no page but the held ones across updates
};

// Runs the updates on a fault file armed by `arm`. Returns how many updates returned; `after`
// gets what the disk holds, `writes` the writes made.
int runUpdates(const jet::Bytes& start, const Scenario& s, const UpdateRun& run,
               const std::function<void(jet::FaultPageFile&)>& arm, jet::Bytes& after, int& writes) {
    const bool batched = run.batched;
    auto owned = faultFile(start);
    jet::FaultPageFile& file = *owned;
    if (run.tinyCache) file.setCacheBudget(0); // every update reads its pages again, held ones excepted
    arm(file);
    int done = 0;
    std::unique_ptr<jet::Database> db;
    try {
        db = jet::openDatabase(std::move(owned), jet::OpenMode::ReadWrite);
        jet::ResultSet rows = db->readTable("bible");
        if (batched) {
            db->setFlushEachUpdate(false);
            jet::setHeldPagesLimit(*db, 3); // several groups of held writes within the run
        }
        for (const Update& u : s.updates) {
            db->updateText("bible", rows.rows[u.row].id, "BIBLETEXT", u.text);
            ++done;
        }
        if (batched) db->flush();
    } catch (const jet::PowerCut&) {
        EXPECT_TRUE(file.powerFailed());
    }
    after = file.contents();
    writes = file.writes();
    return done;
}

// The next session on the file after the power came back: its first change to the table (row 0
// gets a new text). Returns what the disk holds afterwards; `texts` gets the change.
jet::Bytes nextSession(const jet::Bytes& contents, Texts& texts) {
    auto owned = faultFile(contents);
    jet::FaultPageFile& file = *owned;
    auto db = jet::openDatabase(std::move(owned), jet::OpenMode::ReadWrite);
    jet::ResultSet rows = db->readTable("bible");
    texts[0] = u"after the power came back";
    db->updateText("bible", rows.rows[0].id, "BIBLETEXT", texts[0]);
    return file.contents();
}

Cells exportOf(const jet::Bytes& contents) {
    test_support::TempDir dir;
    auto file = dir / "after.mdb";
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(contents.data()), long(contents.size()));
    return mdbExport(file, "bible");
}

// mdb-export lists the same texts (a moved row where it lies now, so in another order).
void expectExportShows(const jet::Bytes& contents, const Texts& texts) {
    std::vector<std::string> shown, expected;
    for (const auto& row : exportOf(contents)) shown.push_back(row[3]);
    for (const auto& t : texts) expected.push_back(asMdbExportShows(t));
    std::sort(shown.begin(), shown.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(shown, expected);
}

TEST(PowerCut, EveryWritePointOfUpdatesLeavesOldOrNewValues) {
    for (const Scenario& s : {memoScenario(), textScenario()}) {
        const jet::Bytes start = bibleBytes(s.textColumn);
        // The states the file may be in: after 0, 1, .. n updates.
        std::vector<Texts> states{readTexts(start)};
        for (const Update& u : s.updates) {
            states.push_back(states.back());
            states.back()[u.row] = u.text;
        }
        for (const UpdateRun& run : {UpdateRun{"one update at a time", false, false}, UpdateRun{"batched", true, false},
                               UpdateRun{"batched, no cache beyond the held pages", true, true}}) {
            const bool batched = run.batched;
            SCOPED_TRACE(std::string(s.name) + ", " + run.name);
            jet::Bytes after;
            int writes = 0, ignored = 0, strandedCopies = 0;
            ASSERT_EQ(runUpdates(start, s, run, [](jet::FaultPageFile&) {}, after, writes), int(s.updates.size()));
            ASSERT_EQ(readTexts(after), states.back());
            ASSERT_GE(writes, 3); // data, switch and free stages at the least
            for (int cut = 1; cut <= writes; ++cut) {
                for (size_t sectors : {size_t(0), size_t(8)}) {
                    SCOPED_TRACE("power cut at write " + std::to_string(cut) + ", " + std::to_string(sectors) + " sectors of it landed");
                    int done = runUpdates(start, s, run,
                                          [&](jet::FaultPageFile& f) { f.cutPowerAtWrite(cut, sectors); }, after, ignored);
                    Texts now = readTexts(after);
                    // Returned updates are on the disk unless batched; the one in progress is old or new.
                    size_t first = batched ? 0 : size_t(done);
                    bool matches = false;
                    for (size_t k = first; k <= size_t(done) + 1 && k < states.size() && !matches; ++k) matches = now == states[k];
                    ASSERT_TRUE(matches) << done << " updates had returned";
                    auto problems = jet::checkInvariants(*jet::memoryPageFile(after, "after", false));
                    // A moved row's new copy reached the disk, the pointer to it did not: the only
                    // fault the file may show, and the next session clears it.
                    size_t leftOver = 0;
                    for (const std::string& p : problems) leftOver += p.find("target of 0 pointers") != std::string::npos;
                    ASSERT_EQ(leftOver, problems.size()) << problems.front();
                    if (leftOver > 0) {
                        ASSERT_TRUE(s.textColumn) << "memo updates never move rows";
                        strandedCopies += int(leftOver);
                    } else {
                        expectExportShows(after, now); // moved rows are listed where they lie
                    }
                    jet::Bytes later = nextSession(after, now);
                    ASSERT_EQ(readTexts(later), now);
                    problems = jet::checkInvariants(*jet::memoryPageFile(later, "next session", false));
                    ASSERT_TRUE(problems.empty()) << problems.front();
                    expectExportShows(later, now);
                }
            }
            if (s.textColumn) {
                EXPECT_GT(strandedCopies, 0) << "no cut fell between the two writes of a move";
            }
            RecordProperty(std::string(s.name) + ", " + run.name + ": moved copies left for the next session",
                           std::to_string(strandedCopies));
        }
    }
}

// A compaction cut short leaves the source as it was and no copy; one that finished has a copy
// that survives the power failing right after it (it was flushed before it was handed over).
TEST(PowerCut, CompactionCopyIsCompleteOrAbsent) {
    // A bible whose long values are worth repacking: long verses, every other one cut short.
    jet::Bytes start;
    {
        test_support::TempDir dir;
        auto file = test_support::writeBible(dir / "b.mdb", test_support::simpleBible(1, 3, 20));
        {
            auto db = jet::Database::open(file.string(), jet::OpenMode::ReadWrite);
            jet::ResultSet rows = db->readTable("bible");
            db->setFlushEachUpdate(false);
            for (size_t r = 0; r < rows.rows.size(); ++r)
                db->updateText("bible", rows.rows[r].id, "BIBLETEXT", textOfLength(700, u'a'));
            for (size_t r = 1; r < rows.rows.size(); r += 2)
                db->updateText("bible", rows.rows[r].id, "BIBLETEXT", textOfLength(20, u'a'));
            db->flush();
        }
        start = bytesOf(file);
    }
    const Texts expected = readTexts(start);
    auto compactOnto = [&](int cut, jet::Bytes& copy) {
        auto source = jet::memoryPageFile(start, "source.mdb", false);
        jet::FaultPageFile destination(jet::memoryPageFile({}, "copy.mdb"));
        if (cut) destination.cutPowerAtWrite(cut);
        bool finished = false;
        try {
            jet::compactFile(*source, destination, "copy.mdb");
            finished = true;
            destination.cutPowerAtWrite(1); // the power fails right after the copy was handed over
            destination.writePages(0, 1, start.data());
        } catch (const jet::PowerCut&) {
        }
        copy = destination.contents();
        return std::make_pair(finished, destination.writes());
    };
    jet::Bytes copy;
    auto [finished, writes] = compactOnto(0, copy);
    ASSERT_TRUE(finished);
    ASSERT_LT(copy.size(), start.size()) << "nothing was reclaimed";
    ASSERT_EQ(readTexts(copy), expected);
    ASSERT_TRUE(jet::checkInvariants(*jet::memoryPageFile(copy, "copy", false)).empty());
    for (int cut = 1; cut < writes; ++cut) {
        SCOPED_TRACE("power cut at write " + std::to_string(cut));
        auto [done, n] = compactOnto(cut, copy);
        EXPECT_FALSE(done); // not handed over: compact() removes the scratch file
    }
}

} // namespace
