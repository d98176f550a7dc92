// A Windows program, cross-compiled with the engine for the Wine test: it checks the engine's
// Windows page file against a real Windows file API (Wine's). No test framework: every failed
// check prints "FAILED: ..." and the exit status is 1; all passed prints "passed" and exits 0.
//
//   page_file_check.exe held DATABASE.mdb COPY.mdb   while another program holds the bible open:
//       writing and compacting are refused with the in-use message naming that program's user,
//       reading works (before and after the refused write)
//   page_file_check.exe free DATABASE.mdb COPY.mdb   after it has closed the bible: a write
//       session next to this program's own read handles, then a compaction into COPY.mdb
#include "jet/database.h"
#include "jet/page_file.h"

#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>

namespace {

int failures = 0;

void check(bool ok, const std::string& what) {
    if (ok) return;
    std::printf("FAILED: %s\n", what.c_str());
    std::fflush(stdout);
    ++failures;
}

// The message of the jet::InUseError that `action` throws; "" (a failed check) when it throws
// nothing or another error.
std::string inUseMessageOf(const std::function<void()>& action, const std::string& what) {
    try {
        action();
    } catch (const jet::InUseError& e) {
        return e.what();
    } catch (const std::exception& e) {
        check(false, what + " threw another error: " + e.what());
        return {};
    }
    check(false, what + " was not refused");
    return {};
}

int verseIndex(const jet::ResultSet& rows) { return rows.columnIndex("BIBLETEXT"); }

std::u16string firstText(const jet::Database& db) {
    const jet::ResultSet rows = db.query("SELECT * FROM bible WHERE Book = 1 AND Chapter = 1 AND Verse = 1");
    if (rows.rows.size() != 1) throw std::runtime_error("verse 1:1:1 not found");
    return std::get<std::u16string>(rows.rows[0].values[size_t(verseIndex(rows))]);
}

bool exists(const std::string& path) {
    const std::wstring wide(path.begin(), path.end());
    return ::GetFileAttributesW(wide.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void whileHeld(const std::string& file, const std::string& copy) {
    auto reader = jet::Database::open(file, jet::OpenMode::ReadOnly);
    const size_t rowCount = reader->readTable("bible").rows.size();
    check(rowCount > 0, "the read-only open reads the rows");
    const std::string who = "the file is open in another program (computer WINEBOX, user Admin)";
    const std::string write = inUseMessageOf([&] { jet::Database::open(file, jet::OpenMode::ReadWrite); },
                                             "opening for writing");
    check(write.find(file) != std::string::npos && write.find(who) != std::string::npos,
          "the refusal to write names the file and the other program's user: " + write);
    std::printf("refused write: %s\n", write.c_str());
    // The sharing violation itself, without the lock-file checks that Database::open adds.
    const std::string shared = inUseMessageOf([&] { jet::openPageFile(file, true); }, "opening the page file for writing");
    check(shared == write, "the sharing violation gives the same message: " + shared);
    const std::string compact = inUseMessageOf([&] { jet::compact(file, copy); }, "compacting");
    check(compact.find(who) != std::string::npos, "the refusal to compact names the other user: " + compact);
    check(!exists(copy) && !exists(copy + ".part"), "a refused compaction leaves no copy");
    // The refused write session closed this program's read handle for a moment; it reads on.
    check(reader->readTable("bible").rows.size() == rowCount, "the reader reads on after the refused write");
    check(jet::Database::open(file, jet::OpenMode::ReadOnly)->readTable("bible").rows.size() == rowCount,
          "a new read-only open works while the other program holds the file");
}

void whenFree(const std::string& file, const std::string& copy) {
    const std::u16string newText = u"Written under Wine\r\nthrough the Windows page file";
    auto reader = jet::Database::open(file, jet::OpenMode::ReadOnly);
    check(firstText(*reader) == u"Verse 1:1:1", "the reader sees the original text");
    {
        auto writer = jet::Database::open(file, jet::OpenMode::ReadWrite);
        const jet::ResultSet rows = writer->query("SELECT * FROM bible WHERE Book = 1 AND Chapter = 1 AND Verse = 1");
        writer->updateText("bible", rows.rows.at(0).id, "BIBLETEXT", newText);
        check(firstText(*writer) == newText, "the writer reads its own text back");
        // The session holds the file with share mode 0: this program's readers read through it.
        check(firstText(*reader) == newText, "the reader opened before the session sees the new text");
        auto lateReader = jet::Database::open(file, jet::OpenMode::ReadOnly);
        check(firstText(*lateReader) == newText, "a reader opened during the session sees the new text");
        auto secondWriter = jet::Database::open(file, jet::OpenMode::ReadWrite);
        check(firstText(*secondWriter) == newText, "a second write session of this program opens and reads");
        // Another program cannot open the file meanwhile, not even to read it.
        const std::wstring wide(file.begin(), file.end());
        HANDLE other = ::CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        check(other == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_SHARING_VIOLATION,
              "the write session keeps every other open out");
        if (other != INVALID_HANDLE_VALUE) ::CloseHandle(other);
    }
    check(firstText(*reader) == newText, "the reader reads on with its own handle after the session");
    jet::compact(file, copy);
    check(firstText(*jet::Database::open(copy, jet::OpenMode::ReadOnly)) == newText, "the compacted copy holds the text");
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::printf("usage: page_file_check.exe held|free DATABASE.mdb COPY.mdb\n");
        return 2;
    }
    const std::string mode = argv[1], file = argv[2], copy = argv[3];
    try {
        if (mode == "held") whileHeld(file, copy);
        else if (mode == "free") whenFree(file, copy);
        else check(false, "unknown mode " + mode);
    } catch (const std::exception& e) {
        check(false, std::string("unexpected error: ") + e.what());
    }
    if (failures == 0) std::printf("passed\n");
    else std::printf("%d checks failed\n", failures);
    return failures == 0 ? 0 : 1;
}
