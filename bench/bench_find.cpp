// The Tools menu on a whole bible: reading every verse row and folding them for the search (what
// opening the Find box costs), searches of several kinds, the long-line scan, and in the real
// window, offscreen, Go to and the step to the next long verse.
//
//   bench_find FOLDER      (FOLDER holds KJV.mdb, e.g. demo/drive_c/Lumora/HolyBibles)
#include "app/tform1.h"
#include "bench_timing.h"
#include "bibledb/long_verses.h"
#include "bibledb/verse_search.h"
#include "jet/database.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <filesystem>

namespace fs = std::filesystem;
using bench::measure;
using bench::report;

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_find FOLDER-HOLDING-KJV.mdb\n");
        return 2;
    }
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir drive;
    const fs::path folder = fs::path(drive.path().toStdString()) / "Lumora" / "HolyBibles";
    fs::create_directories(folder);
    fs::copy_file(fs::path(argv[1]) / "KJV.mdb", folder / "KJV.mdb");
    fs::permissions(folder / "KJV.mdb", fs::perms::owner_read | fs::perms::owner_write);
    std::printf("bible: %s (%lld bytes)\n", (fs::path(argv[1]) / "KJV.mdb").c_str(),
                static_cast<long long>(fs::file_size(folder / "KJV.mdb")));

    // ---- Without the window ----
    const auto db = jet::Database::open((folder / "KJV.mdb").string());
    std::vector<bibledb::VerseRow> rows;
    report("read every verse row (first time)", measure(1, [&] { rows = bibledb::readVerseRows(*db); }));
    report("read every verse row", measure(7, [&] { rows = bibledb::readVerseRows(*db); }));
    std::printf("%zu verse rows\n", rows.size());
    std::unique_ptr<bibledb::VerseSearch> index;
    report("fold the verses for the search", measure(7, [&] { index = std::make_unique<bibledb::VerseSearch>(rows); }));

    const char* needles[] = {"jesus wept", "Love", "lord god of israel", "the", "\xC3\xA9sa\xC3\xAF", "zzzz"};
    for (const char* needle : needles) {
        bibledb::SearchResult result;
        const QString text = QString::fromUtf8(needle);
        const auto figures = measure(50, [&] { result = index->search(text, 1000); });
        const std::string what = "search \"" + std::string(needle) + "\" (" + std::to_string(result.total) + " verses)";
        report(what.c_str(), figures, 50);
    }
    report("long-line scan, maximum 40", measure(7, [&] { (void)bibledb::longVerses(rows, 40); }));

    // ---- In the window ----
    qputenv("KANTELO_DRIVE_C", QFile::encodeName(drive.path()));
    TForm1::settingsPathOverride = drive.path() + "/bench.INI";
    TForm1::messageSink = [](const QString& text) { std::fprintf(stderr, "message: %s\n", qPrintable(text)); };
    TForm1 form;
    form.show();
    QCoreApplication::processEvents();
    form.ComboBox1->setCurrentText("KJV");
    form.ComboBox1Change();
    for (const char* reference : {"Genesis 1:1", "Psalms 119:176", "Rev 22:21"}) {
        const std::string what = std::string("Go to ") + reference;
        report(what.c_str(), measure(5, [&] { form.GotoReference(QString::fromUtf8(reference)); }));
    }
    form.GotoReference("Genesis 1:1");
    form.maxLineLength = 60;
    report("next long verse (maximum 60)", measure(10, [&] { form.NextLongLine1Click(); }));
    TForm1::messageSink = nullptr;
    return 0;
}
