// Where a memo value is stored, by its stored size, the same whether the database is created
// with it or the value is written by an update: inline up to 34 bytes, one LVAL row up to the
// longest row, chains of 4072-byte segments beyond.
#include "jet/catalog.h"
#include "jet/format.h"
#include "jet/long_value.h"
#include "jet/page_file.h"
#include "jet/row.h"
#include "jet/table_def.h"
#include "write_helpers.h"

namespace {

using namespace write_test;
using jet::format::kLongValueChain;
using jet::format::kLongValueInline;
using jet::format::kLongValueSingle;

struct Stored {
    uint8_t kind;
    size_t rows; // LVAL rows holding it
    bool operator==(const Stored&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Stored& s) {
    return out << "kind 0x" << std::hex << int(s.kind) << std::dec << " in " << s.rows << " rows";
}

// How each row's "Body" value is stored, in storage order.
std::vector<Stored> storageOf(const std::filesystem::path& file) {
    auto pf = jet::openPageFile(file.string(), false);
    uint32_t tdef = 0;
    for (const jet::CatalogEntry& e : jet::readCatalog(*pf))
        if (e.name == "Texts") tdef = e.tdefPage();
    jet::TableDef def = jet::readTableDef(*pf, tdef, "Texts");
    std::vector<Stored> out;
    jet::forEachRow(*pf, def, [&](const jet::RowLocation&, const jet::CrackedRow& row) {
        const jet::ColumnSlice& s = row.columns[1];
        jet::ByteView slot = row.bytes.sub(s.offset, s.length);
        out.push_back({jet::parseLongValueHeader(slot).storage, jet::longValueSegments(*pf, slot).size()});
    });
    return out;
}

jet::NewTable textsTable(const std::vector<std::u16string>& texts) {
    jet::NewTable t{"Texts", {{"N", jet::ColumnType::Long}, {"Body", jet::ColumnType::Memo}}, {}};
    for (size_t i = 0; i < texts.size(); ++i) t.rows.push_back({int64_t(i), texts[i]});
    return t;
}

TEST(LongValueStorage, StoredSizeDecidesTheKindWhenCreatingAndWhenUpdating) {
    struct Case {
        size_t bytes; // stored (encoded) size
        Stored expected;
    };
    const Case cases[] = {
        {0, {kLongValueInline, 0}},    {5, {kLongValueInline, 0}},    {34, {kLongValueInline, 0}},
        {35, {kLongValueSingle, 1}},   {1026, {kLongValueSingle, 1}}, {4076, {kLongValueSingle, 1}},
        {4078, {kLongValueChain, 2}},  {8144, {kLongValueChain, 2}},  {8146, {kLongValueChain, 3}},
    };
    std::mt19937 rng(11);
    std::vector<std::u16string> texts;
    for (const Case& c : cases) texts.push_back(c.bytes == 0 ? u"" : textOfStoredSize(rng, c.bytes, c.bytes <= 1026));
    for (size_t i = 0; i < texts.size(); ++i)
        ASSERT_EQ(jet::encodeText(texts[i], true).size(), cases[i].bytes) << "the fixture's text " << i;

    test_support::TempDir dir;
    const auto created = dir / "created.mdb";
    jet::createDatabase(created.string(), {textsTable(texts)});

    const auto updated = dir / "updated.mdb";
    jet::createDatabase(updated.string(), {textsTable(std::vector<std::u16string>(texts.size(), u"before"))});
    {
        auto db = jet::Database::open(updated.string(), jet::OpenMode::ReadWrite);
        jet::ResultSet rows = db->readTable("Texts");
        for (size_t i = 0; i < texts.size(); ++i) db->updateText("Texts", rows.rows[i].id, "Body", texts[i]);
    }
    for (const auto& file : {created, updated}) {
        SCOPED_TRACE(file.filename().string());
        std::vector<Stored> stored = storageOf(file);
        ASSERT_EQ(stored.size(), std::size(cases));
        for (size_t i = 0; i < stored.size(); ++i) EXPECT_EQ(stored[i], cases[i].expected) << cases[i].bytes << " bytes";
        expectConsistent(file);
    }
}

} // namespace
