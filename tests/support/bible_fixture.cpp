// Bible databases for tests, written with the engine's createDatabase.
#include "support/bible_fixture.h"

#include "jet/database.h"
#include "jet/text_codec.h"

#include <random>

namespace test_support {

BibleSpec simpleBible(int books, int chapters, int verses) {
    BibleSpec bibleSpec;
    for (int b = 1; b <= books; ++b) {
        bibleSpec.bookNames.emplace_back(b, jet::fromUtf8("Book " + std::to_string(b)));
        for (int c = 1; c <= chapters; ++c)
            for (int v = 1; v <= verses; ++v)
                bibleSpec.verses.push_back({b, c, v,
                                       jet::fromUtf8("Verse " + std::to_string(b) + ":" + std::to_string(c) +
                                                     ":" + std::to_string(v))});
    }
    return bibleSpec;
}

std::filesystem::path writeBible(const std::filesystem::path& file, const BibleSpec& bibleSpec) {
    jet::NewTable table;
    table.name = bibleSpec.tableName;
    if (bibleSpec.extraColumns) table.columns.push_back({"ID", jet::ColumnType::Long});
    table.columns.push_back({"Book", jet::ColumnType::Long});
    table.columns.push_back({"Chapter", jet::ColumnType::Long});
    table.columns.push_back({"Verse", jet::ColumnType::Long});
    if (bibleSpec.verseTextAsText255)
        table.columns.push_back({"BIBLETEXT", jet::ColumnType::Text, 255});
    else
        table.columns.push_back({"BIBLETEXT", jet::ColumnType::Memo});
    if (bibleSpec.extraColumns) table.columns.push_back({"Notes", jet::ColumnType::Text, 50});

    auto addRow = [&](int book, int chapter, int verse, const std::u16string& text) {
        std::vector<jet::Value> row;
        if (bibleSpec.extraColumns) row.emplace_back(int64_t(table.rows.size() + 1));
        row.emplace_back(int64_t(book));
        row.emplace_back(int64_t(chapter));
        row.emplace_back(int64_t(verse));
        row.emplace_back(text);
        if (bibleSpec.extraColumns) {
            // Every third row has a note; the others leave it NULL.
            if (table.rows.size() % 3 == 0)
                row.emplace_back(jet::fromUtf8("note " + std::to_string(table.rows.size() + 1)));
            else
                row.emplace_back(jet::Null{});
        }
        table.rows.push_back(std::move(row));
    };
    for (const auto& [number, name] : bibleSpec.bookNames) addRow(0, 10, number, name);
    for (const BibleVerse& v : bibleSpec.verses) addRow(v.book, v.chapter, v.verse, v.text);

    if (bibleSpec.shuffleRows) {
        // A fixed order on every platform: mt19937's output is specified, std::shuffle's use of
        // it is not.
        std::mt19937 random(20240229u);
        for (size_t i = table.rows.size(); i > 1; --i) std::swap(table.rows[i - 1], table.rows[random() % i]);
        if (bibleSpec.extraColumns) // keep ID = position in the file
            for (size_t i = 0; i < table.rows.size(); ++i) table.rows[i][0] = int64_t(i + 1);
    }
    jet::createDatabase(file.string(), {table});
    return file;
}

VerseTexts readVerseTexts(const std::filesystem::path& file) {
    auto db = jet::Database::open(file.string());
    const jet::ResultSet rs = db->readTable("bible");
    const int b = rs.columnIndex("Book"), c = rs.columnIndex("Chapter"), v = rs.columnIndex("Verse"),
              t = rs.columnIndex("BIBLETEXT");
    auto integer = [](const jet::Value& value) {
        return std::holds_alternative<int64_t>(value) ? int(std::get<int64_t>(value)) : -1;
    };
    VerseTexts texts;
    for (const jet::Row& row : rs.rows) {
        const auto* text = std::get_if<std::u16string>(&row.values[size_t(t)]);
        texts[{integer(row.values[size_t(b)]), integer(row.values[size_t(c)]), integer(row.values[size_t(v)])}] =
            text ? *text : u"<null>";
    }
    return texts;
}

} // namespace test_support
