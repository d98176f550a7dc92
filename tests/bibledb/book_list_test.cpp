#include "bibledb/bible_file.h"
#include "bibledb/book_list.h"
#include "bibledb/statements.h"
#include "data/dataset.h"

#include <gtest/gtest.h>

namespace {

using bibledb::BookList;

TEST(BookKey, KeepsTheLastThreeCharactersOfZeroPaddedNumber) {
    const struct {
        const char* number;
        const char* key;
    } cases[] = {{"1", "001"}, {"27", "027"}, {"150", "150"}, {"1234", "234"}, {"", "000"}, {"0", "000"}};
    for (const auto& c : cases) EXPECT_EQ(bibledb::bookKey(c.number), c.key) << c.number;
}

TEST(SelectorName, TakesTheTextBetweenTheFirstAndTheNextSemicolon) {
    const struct {
        const char* entry;
        const char* name;
    } cases[] = {{"001;Genesis", "Genesis"}, {"002;Ex;odus", "Ex"}, {"003;", ""}, {"004;;x", ""},
                 {"no separator", ""}, {"005; Psalm 1 ", " Psalm 1 "}};
    for (const auto& c : cases) EXPECT_EQ(bibledb::selectorName(c.entry), c.name) << c.entry;
}

TEST(BookListOrder, SortsByBookNumberWhateverTheNamesAndTheAddingOrder) {
    BookList list;
    // Names in reverse alphabetical order of their numbers, added out of order, and numbers
    // whose plain decimal text would sort 10 before 9 and 100 before 11.
    for (int n : {11, 9, 100, 1, 10, 2})
        list.add(bibledb::bookEntry(QString::number(n), QString(QChar('Z' - n % 26))));
    QStringList keys;
    for (const QString& e : list.entries()) keys << e.left(3);
    EXPECT_EQ(keys, (QStringList{"001", "002", "009", "010", "011", "100"}));
    EXPECT_EQ(list.selectorNames().first(), QString(QChar('Z' - 1)));
}

TEST(BookListOrder, SharedNumbersOrderByNameAndClearEmpties) {
    BookList list;
    list.add("002;Beta");
    list.add("002;Alpha");
    list.add("001;Zeta");
    list.add("002;Alpha");
    EXPECT_EQ(list.entries(), (QStringList{"001;Zeta", "002;Alpha", "002;Alpha", "002;Beta"}));
    list.clear();
    EXPECT_EQ(list.count(), 0);
    EXPECT_TRUE(list.selectorNames().isEmpty());
}

TEST(Statements, AreTheExactLinesSentToTheEngine) {
    EXPECT_EQ(bibledb::openBibleStatement(), QStringList{"Select * from bible"});
    EXPECT_EQ(bibledb::bookListStatement(),
              (QStringList{"Select * from bible", "Where Book = 0 and Chapter = 10"}));
    EXPECT_EQ(bibledb::highestChapterStatement(3),
              (QStringList{"Select * from bible", "where BOOK = 3", "ORDER BY chapter ASC"}));
    EXPECT_EQ(bibledb::firstChapterStatement(66),
              (QStringList{"Select * from bible", "where BOOK = 66", "and CHAPTER = 1", "ORDER BY Verse ASC"}));
    EXPECT_EQ(bibledb::chapterStatement(0, "12"),
              (QStringList{"Select * from bible", "where BOOK = 0", "and CHAPTER = 12", "ORDER BY Verse ASC"}));
}

TEST(BibleFile, PathAndConnectionStringAreBuiltFromTheBaseFolder) {
    EXPECT_EQ(bibledb::bibleFilePath("c:\\Lumora", "KJV"), "c:\\Lumora\\HolyBibles\\KJV.mdb");
    EXPECT_EQ(bibledb::bibleFilePath("c:\\Lumora", ""), "c:\\Lumora\\HolyBibles\\.mdb");
    EXPECT_EQ(bibledb::bibleConnectionString("c:\\x.mdb"),
              "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=c:\\x.mdb;Persist Security Info=False");
}

TEST(ToInteger, AcceptsDecimalTextOnly) {
    EXPECT_EQ(bibledb::toInteger("12"), 12);
    EXPECT_EQ(bibledb::toInteger(" 7 "), 7);
    EXPECT_EQ(bibledb::toInteger("-3"), -3);
    for (const char* bad : {"", "x", "1.5", "12a"}) {
        try {
            bibledb::toInteger(bad);
            ADD_FAILURE() << "accepted '" << bad << "'";
        } catch (const data::DataError& e) {
            EXPECT_EQ(std::string(e.what()), "'" + std::string(bad) + "' is not a valid integer value");
        }
    }
}

} // namespace
