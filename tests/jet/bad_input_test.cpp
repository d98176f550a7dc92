// Files the engine must refuse with a clear message naming the file, without changing them:
// missing paths, folders, empty/short/truncated files, other formats, Jet 3 and ACE files,
// password-protected and encrypted databases, damaged structures, missing tables and columns.
#include "jet/database.h"
#include "jet/header.h"
#include "support/bible_fixture.h"
#include "support/read_only_files.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

namespace fs = std::filesystem;

namespace {

jet::Bytes readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return jet::Bytes(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const fs::path& p, const jet::Bytes& b) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
}

fs::path sample() { return test_support::corpusDir() / "delTestV2000.mdb"; }

// Edits the decoded (unmasked) header region of page 0 and masks it again.
void editHeader(jet::Bytes& file, const std::function<void(jet::Bytes&)>& edit) {
    jet::Bytes page0(file.begin(), file.begin() + 4096);
    jet::applyHeaderMask(page0);
    edit(page0);
    jet::applyHeaderMask(page0);
    std::copy(page0.begin(), page0.end(), file.begin());
}

std::string openError(const fs::path& p, jet::OpenMode mode) {
    try {
        jet::Database::open(p.string(), mode);
    } catch (const jet::Error& e) {
        return e.what();
    }
    return "";
}

struct BadFile {
    const char* name;
    std::function<void(const fs::path&)> make; // creates the file (or not) at the path
    const char* expected;                      // part of the message
};

TEST(BadInput, RefusedWithAClearMessageAndLeftUnchanged) {
    const jet::Bytes good = readFile(sample());
    ASSERT_GT(good.size(), 8 * 4096u);
    auto modified = [&](std::function<void(jet::Bytes&)> edit) {
        return [=](const fs::path& p) {
            jet::Bytes b = good;
            edit(b);
            writeFile(p, b);
        };
    };
    const std::vector<BadFile> cases = {
        {"missing", [](const fs::path&) {}, "does not exist"},
        {"folder", [](const fs::path& p) { fs::create_directory(p); }, "folder"},
        {"empty", [](const fs::path& p) { writeFile(p, {}); }, "empty"},
        {"shorter than a page", modified([](jet::Bytes& b) { b.resize(1000); }), "too short"},
        {"plain text", [](const fs::path& p) { writeFile(p, jet::Bytes(3 * 4096, 'a')); }, "not a Jet database"},
        {"zeroed header", modified([](jet::Bytes& b) { std::fill(b.begin(), b.begin() + 4096, 0); }), "not a Jet database"},
        {"Jet 3 version byte", modified([](jet::Bytes& b) { b[0x14] = 0x00; }), "Jet 3"},
        {"ACE version byte", modified([](jet::Bytes& b) { b[0x14] = 0x02; }), "Access 2007"},
        {"ACE engine name", modified([](jet::Bytes& b) { std::copy_n("Standard ACE DB", 15, b.begin() + 4); }), "Access 2007"},
        {"cut inside a page", modified([](jet::Bytes& b) { b.resize(b.size() - 100); }), "whole number of pages"},
        {"cut to two pages", modified([](jet::Bytes& b) { b.resize(2 * 4096); }), "page"},
        {"password", modified([](jet::Bytes& b) { editHeader(b, [](jet::Bytes& h) { h[0x42] ^= 'p'; }); }), "password"},
        {"database key", modified([](jet::Bytes& b) { editHeader(b, [](jet::Bytes& h) { h[0x3E] = 0x5A; }); }), "encrypted"},
        {"catalog definition zeroed", modified([](jet::Bytes& b) { std::fill_n(b.begin() + 2 * 4096, 4096, 0); }), "page 2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test_support::TempDir dir;
        fs::path file = dir / "bad.mdb";
        c.make(file);
        bool exists = fs::exists(file);
        jet::Bytes before = exists && fs::is_regular_file(file) ? readFile(file) : jet::Bytes{};
        for (auto mode : {jet::OpenMode::ReadOnly, jet::OpenMode::ReadWrite}) {
            std::string message = openError(file, mode);
            EXPECT_NE(message.find(c.expected), std::string::npos) << "message: " << message;
            EXPECT_NE(message.find(file.string()), std::string::npos) << "message does not name the file: " << message;
        }
        EXPECT_EQ(fs::exists(file), exists);
        if (exists && fs::is_regular_file(file)) {
            EXPECT_EQ(readFile(file), before);
        }
    }
}

// Damage inside a table (not the header) surfaces as a jet::Error when the table is read, or at
// open when a map names a page the file does not have.
TEST(BadInput, DamagedTableStructuresGiveErrors) {
    auto db = jet::Database::open(sample().string());
    const std::string table = db->tableNames().at(0);
    const uint32_t tdef = db->schema(table).definitionPage;
    const uint32_t dataPage = db->readTable(table).rows.at(0).id.page;
    const jet::Bytes good = readFile(sample());

    struct Damage {
        const char* name;
        std::function<void(jet::Bytes&)> apply;
    };
    const std::vector<Damage> damages = {
        {"definition page type", [&](jet::Bytes& b) { b[tdef * 4096] = 0x07; }},
        {"column count huge", [&](jet::Bytes& b) { b[tdef * 4096 + 45] = 0xFF; b[tdef * 4096 + 46] = 0x7F; }},
        {"owned map pointer past the end", [&](jet::Bytes& b) { b[tdef * 4096 + 58] = 0x7F; }},
        {"slot count overflows the page", [&](jet::Bytes& b) { b[dataPage * 4096 + 12] = 0xFF; b[dataPage * 4096 + 13] = 0x0F; }},
        {"row offsets garbage", [&](jet::Bytes& b) { std::fill_n(b.begin() + dataPage * 4096 + 14, 8, 0x1F); }},
    };
    for (const auto& d : damages) {
        SCOPED_TRACE(d.name);
        test_support::TempDir dir;
        jet::Bytes bytes = good;
        d.apply(bytes);
        fs::path file = dir / "damaged.mdb";
        writeFile(file, bytes);
        try {
            auto damaged = jet::Database::open(file.string());
            damaged->readTable(table);
            ADD_FAILURE() << "no error";
        } catch (const jet::Error& e) {
            EXPECT_NE(std::string(e.what()).find(file.string()), std::string::npos) << e.what();
        }
        EXPECT_EQ(readFile(file), bytes);
    }
}

TEST(BadInput, MissingTableOrColumnNamesIt) {
    auto db = jet::Database::open(sample().string());
    const std::string table = db->tableNames().at(0);
    try {
        db->schema("NoSuchTable");
        ADD_FAILURE() << "no error";
    } catch (const jet::Error& e) {
        EXPECT_NE(std::string(e.what()).find("NoSuchTable"), std::string::npos);
    }
    try {
        db->query("SELECT * FROM [" + table + "] WHERE NoSuchColumn = 1");
        ADD_FAILURE() << "no error";
    } catch (const jet::Error& e) {
        EXPECT_NE(std::string(e.what()).find("NoSuchColumn"), std::string::npos);
    }
    // System tables are not user tables.
    EXPECT_THROW(db->schema("MSysObjects"), jet::Error);
}

// A file cut short at a page boundary (an interrupted copy) keeps a valid header, but its
// definitions and maps name pages it no longer has: it is refused as damaged or incomplete,
// never read as a smaller database.
TEST(BadInput, TruncatedFileIsRefusedAtOpenWhereverItWasCut) {
    test_support::TempDir dir;
    const fs::path whole = test_support::writeBible(dir / "whole.mdb", test_support::simpleBible(3, 20, 30));
    const jet::Bytes good = readFile(whole);
    const uint32_t pages = uint32_t(good.size() / 4096);
    ASSERT_GT(pages, 8u);
    for (const uint32_t kept : {3u, 5u, pages / 2, pages - 1}) {
        SCOPED_TRACE("first " + std::to_string(kept) + " pages");
        const fs::path cut = dir / ("cut" + std::to_string(kept) + ".mdb");
        writeFile(cut, jet::Bytes(good.begin(), good.begin() + kept * 4096));
        for (auto mode : {jet::OpenMode::ReadOnly, jet::OpenMode::ReadWrite}) {
            const std::string message = openError(cut, mode);
            EXPECT_EQ(message.rfind(cut.string() + " is damaged or incomplete: page ", 0), 0u) << message;
            EXPECT_NE(message.find(" lies past the end of the file (" + std::to_string(kept) + " pages)"),
                      std::string::npos)
                << message;
        }
        EXPECT_EQ(fs::file_size(cut), kept * 4096u);
    }
}

// Every command of the tool that reads a file refuses a truncated one with the same message and
// changes nothing (no output file either).
TEST(BadInput, ToolRefusesATruncatedFileInEveryCommand) {
    test_support::TempDir dir;
    const fs::path file = test_support::writeBible(dir / "cut.mdb", test_support::simpleBible(3, 20, 30));
    fs::resize_file(file, fs::file_size(file) / 4096 / 2 * 4096);
    const jet::Bytes before = readFile(file);
    const std::string tool = test_support::kanteloDbTool().string(), path = file.string();
    const std::vector<std::vector<std::string>> commands = {
        {tool, "tables", path},
        {tool, "schema", path, "bible"},
        {tool, "export", path, "bible"},
        {tool, "query", path, "SELECT * FROM bible WHERE Book = 1"},
        {tool, "set", path, "bible", "BIBLETEXT", "0", "changed"},
        {tool, "compact", path, (dir / "copy.mdb").string()},
        {tool, "apply", path, "force"},
    };
    for (const auto& argv : commands) {
        SCOPED_TRACE(argv[1]);
        const auto r = test_support::run(argv);
        EXPECT_NE(r.exitCode, 0);
        EXPECT_TRUE(r.out.empty()) << r.out;
        EXPECT_NE(r.err.find(path + " is damaged or incomplete: page "), std::string::npos) << r.err;
        EXPECT_EQ(readFile(file), before);
    }
    EXPECT_FALSE(fs::exists(dir / "copy.mdb"));
}

TEST(BadInput, ToolReportsErrorsOnStderrWithNonZeroExit) {
    const std::string tool = test_support::kanteloDbTool().string();
    const std::string file = sample().string();
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{tool, "export", "/nonexistent/x.mdb", "t"}, "/nonexistent/x.mdb"},
        {{tool, "export", file, "NoSuchTable"}, "NoSuchTable"},
        {{tool, "schema", file, "NoSuchTable"}, "NoSuchTable"},
        {{tool, "query", file, "SELECT name FROM t"}, "unexpected 'name'"},
        {{tool, "tables"}, "usage"},
    };
    for (const auto& [argv, expected] : cases) {
        SCOPED_TRACE(argv[1] + " " + expected);
        auto r = test_support::run(argv);
        EXPECT_NE(r.exitCode, 0);
        EXPECT_TRUE(r.out.empty()) << r.out;
        EXPECT_NE(r.err.find(expected), std::string::npos) << r.err;
    }
}

TEST(BadInput, ReadOnlyFileOpensForReadingOnly) {
    test_support::TempDir dir;
    fs::path file = test_support::copyInto(sample(), dir.path());
    test_support::ReadOnlyFiles readOnly({file});
    EXPECT_NE(openError(file, jet::OpenMode::ReadWrite).find("for writing"), std::string::npos);
    EXPECT_NO_THROW(jet::Database::open(file.string(), jet::OpenMode::ReadOnly));
}

} // namespace
