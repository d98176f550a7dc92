// Writing and compaction on a whole bible: one update per verse (each verse gains a CR LF at its
// end) in one process, the file's size after them and after compaction, and compaction's time
// against a plain copy of the same file: the `cp` command, and (for reference) the in-process
// std::filesystem::copy_file, which copies inside the kernel. Compaction is timed on the bible as
// it came and on the updated one, each from one run.
//
// usage: bench_write [BIBLE.mdb] [--batched] [--keep]
//   BIBLE.mdb defaults to demo/drive_c/Lumora/HolyBibles/KJV.mdb (from the checkout's root); it
//   is copied first and the original is not changed. --batched turns the per-update disk flush
//   off and flushes once at the end (Database::setFlushEachUpdate), as bulk writers do. --keep
//   leaves the updated and the compacted file in the temporary folder it names.
#include "bibledb/bible_schema.h"
#include "jet/database.h"

#include <chrono>
#include <cstdlib>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <filesystem>
#include <iostream>
#include <stdexcept>
#include <string>

namespace fs = std::filesystem;

namespace {

double seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

extern "C" char** environ;

// Runs `cp from to` and returns its wall time.
double timeCp(const fs::path& from, const fs::path& to) {
    std::string a = from.string(), b = to.string();
    char* args[] = {const_cast<char*>("cp"), a.data(), b.data(), nullptr};
    auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (::posix_spawnp(&pid, "cp", nullptr, nullptr, args, environ) != 0) throw std::runtime_error("cannot run cp");
    int status = 0;
    ::waitpid(pid, &status, 0);
    double t = seconds(start);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) throw std::runtime_error("cp failed");
    return t;
}

struct CompactionFigures {
    double cp = 0, copyFile = 0, compact = 0;
    uintmax_t size = 0;
};

// One copy with cp, one with copy_file, one compaction of `file`, in that order.
CompactionFigures timeCompaction(const fs::path& file, const fs::path& dir, const std::string& tag) {
    CompactionFigures f;
    f.cp = timeCp(file, dir / ("cp-" + tag + ".mdb"));
    auto start = std::chrono::steady_clock::now();
    fs::copy_file(file, dir / ("copied-" + tag + ".mdb"));
    f.copyFile = seconds(start);
    fs::path compacted = dir / ("compacted-" + tag + ".mdb");
    start = std::chrono::steady_clock::now();
    jet::compact(file.string(), compacted.string());
    f.compact = seconds(start);
    f.size = fs::file_size(compacted);
    return f;
}

void printCompaction(const char* what, const CompactionFigures& f) {
    std::cout << "compaction " << what << f.compact * 1e3 << " ms; cp " << f.cp * 1e3 << " ms ("
              << f.compact / f.cp << " x; goal <= 5); copy_file " << f.copyFile * 1e3 << " ms ("
              << f.compact / f.copyFile << " x)\n";
}

} // namespace

int main(int argc, char** argv) {
    fs::path source = fs::path("demo") / "drive_c" / "Lumora" / "HolyBibles" / "KJV.mdb";
    bool batched = false, keep = false;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--batched") batched = true;
        else if (a == "--keep") keep = true;
        else source = a;
    }
    if (!fs::exists(source)) {
        std::cerr << "bench_write: " << source << " not found (./run.sh makes the demo bibles)\n";
        return 2;
    }
    fs::path dir = fs::temp_directory_path() / ("kantelo-bench-write-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    fs::path work = dir / "bible.mdb";
    fs::copy_file(source, work);
    const auto original = fs::file_size(work);

    try {
        auto db = jet::Database::open(work.string(), jet::OpenMode::ReadWrite);
        jet::ResultSet rows = db->readTable(bibledb::kBibleTable);
        int book = rows.columnIndex(bibledb::kBookColumn), text = rows.columnIndex(bibledb::kTextColumn);
        auto start = std::chrono::steady_clock::now();
        if (batched) db->setFlushEachUpdate(false);
        size_t updates = 0;
        for (const jet::Row& row : rows.rows) {
            const auto* b = std::get_if<int64_t>(&row.values[size_t(book)]);
            if (!b || *b == bibledb::kBookNameBook) continue; // book-name rows
            const auto* t = std::get_if<std::u16string>(&row.values[size_t(text)]);
            db->updateText(bibledb::kBibleTable, row.id, bibledb::kTextColumn, (t ? *t : std::u16string()) + u"\r\n");
            ++updates;
        }
        db->flush();
        double updateTime = seconds(start);
        db.reset();
        const auto afterUpdates = fs::file_size(work);

        CompactionFigures asItCame = timeCompaction(source, dir, "original");
        CompactionFigures updated = timeCompaction(work, dir, "updated");

        std::cout << (batched ? "batched (one flush at the end)" : "one flush per update") << "\n"
                  << "updates:            " << updates << " in " << updateTime << " s ("
                  << (updates ? updateTime * 1e6 / double(updates) : 0) << " us each; goal: all under 3 s)\n"
                  << "file size:          " << original << " bytes before, " << afterUpdates << " after the updates ("
                  << double(afterUpdates) / double(original) << " x)\n"
                  << "after compaction:   " << updated.size << " bytes (" << double(updated.size) / double(original)
                  << " x the original; goal <= 1.1)\n";
        printCompaction("of the bible as it came: ", asItCame);
        printCompaction("after the updates:       ", updated);
    } catch (const std::exception& e) {
        std::cerr << "bench_write: " << e.what() << "\n";
        fs::remove_all(dir);
        return 1;
    }
    if (keep) std::cout << "kept:               " << dir << "\n";
    else fs::remove_all(dir);
    return 0;
}
