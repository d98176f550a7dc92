// Writing and compaction on a whole bible: one update per verse (each verse gains a CR LF at its
// end) in one process, the file's size after them and after compaction, and compaction's time
// against a plain copy of the same file.
//
// usage: bench_write [BIBLE.mdb] [--batched] [--keep]
//   BIBLE.mdb defaults to demo/drive_c/Lumora/HolyBibles/KJV.mdb (from the checkout's root); it
//   is copied first and the original is not changed. --batched turns the per-update disk flush
//   off and flushes once at the end (Database::setFlushEachUpdate), as bulk writers do. --keep
//   leaves the updated and the compacted file in the temporary folder it names.
#include "jet/database.h"

#include <chrono>
#include <cstdlib>
#include <unistd.h>
#include <filesystem>
#include <iostream>
#include <string>

namespace fs = std::filesystem;

namespace {

double seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
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
    fs::path work = dir / "bible.mdb", copied = dir / "copied.mdb", compacted = dir / "compacted.mdb";
    fs::copy_file(source, work);
    const auto original = fs::file_size(work);

    try {
        auto db = jet::Database::open(work.string(), jet::OpenMode::ReadWrite);
        jet::ResultSet rows = db->readTable("bible");
        int book = rows.columnIndex("Book"), text = rows.columnIndex("BIBLETEXT");
        auto start = std::chrono::steady_clock::now();
        if (batched) db->setFlushEachUpdate(false);
        size_t updates = 0;
        for (const jet::Row& row : rows.rows) {
            const auto* b = std::get_if<int64_t>(&row.values[size_t(book)]);
            if (!b || *b == 0) continue; // book-name rows
            const auto* t = std::get_if<std::u16string>(&row.values[size_t(text)]);
            db->updateText("bible", row.id, "BIBLETEXT", (t ? *t : std::u16string()) + u"\r\n");
            ++updates;
        }
        db->flush();
        double updateTime = seconds(start);
        db.reset();
        const auto afterUpdates = fs::file_size(work);

        start = std::chrono::steady_clock::now();
        fs::copy_file(work, copied);
        double copyTime = seconds(start);
        start = std::chrono::steady_clock::now();
        jet::compact(work.string(), compacted.string());
        double compactTime = seconds(start);
        const auto afterCompaction = fs::file_size(compacted);

        std::cout << (batched ? "batched (one flush at the end)" : "one flush per update") << "\n"
                  << "updates:            " << updates << " in " << updateTime << " s ("
                  << (updates ? updateTime * 1e6 / double(updates) : 0) << " us each; goal: all under 3 s)\n"
                  << "file size:          " << original << " bytes before, " << afterUpdates << " after the updates ("
                  << double(afterUpdates) / double(original) << " x)\n"
                  << "after compaction:   " << afterCompaction << " bytes (" << double(afterCompaction) / double(original)
                  << " x the original; goal <= 1.1)\n"
                  << "compaction:         " << compactTime << " s against " << copyTime << " s for a copy ("
                  << compactTime / copyTime << " x; goal <= 5)\n";
    } catch (const std::exception& e) {
        std::cerr << "bench_write: " << e.what() << "\n";
        fs::remove_all(dir);
        return 1;
    }
    if (keep) std::cout << "kept:               " << dir << "\n";
    else fs::remove_all(dir);
    return 0;
}
