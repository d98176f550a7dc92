// Opening a bible and stepping through it in the real window, offscreen: choosing bible version
// 1 until its first verse shows, a chapter step and a verse step, with one pane and with both,
// for KJV and for WEB; then the peak memory of the window with KJV in pane 1 and WEB in pane 2.
//
//   bench_navigation [folder-with-KJV.mdb-and-WEB.mdb]
//   bench_navigation --peak-memory [folder]   only the peak memory (a fresh process: the peak of
//                                             a process never goes down)
//
// Without a folder it uses demo/drive_c/Lumora/HolyBibles below $KANTELO_SOURCE_DIR (or the
// current folder) when ./run.sh made it, else it writes a bible of the KJV's shape (66 books,
// 1,189 chapters, 31,102 verses) to a temporary folder. Without WEB.mdb a copy of KJV.mdb takes
// its place. Every step works on copies; the bibles given are not changed.
#include "app/rich_edit_view.h"
#include "app/tform1.h"
#include "bench_timing.h"
#include "bibledb/bible_schema.h"
#include "jet/database.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
using bench::measure;
using bench::report;

namespace {

// Chapters per book of the 66-book canon.
constexpr int kChapters[66] = {50, 40, 27, 36, 34, 24, 21, 4,  31, 24, 22, 25, 29, 36, 10, 13, 10,
                               42, 150, 31, 12, 8, 66, 52, 5,  48, 12, 14, 3,  9,  1,  4,  7,  3,
                               3,  3,  2,  14, 4,  28, 16, 24, 21, 28, 16, 16, 13, 6,  6,  4,  4,
                               5,  3,  6,  4,  3,  1,  13, 5,  5,  3,  5,  1,  1,  1,  22};
constexpr int kVerses = 31102;

void writeKjvShapedBible(const fs::path& file) {
    jet::NewTable table = bibledb::newBibleTable();
    const std::u16string words =
        u"And it came to pass in those days, that there went out a decree from Caesar Augustus, that all "
        u"the world should be taxed.";
    for (int b = 1; b <= 66; ++b)
        table.rows.push_back({int64_t(0), int64_t(10), int64_t(b),
                              u"Book " + QString::number(b).toStdU16String()});
    int chapterIndex = 0;
    const int perChapter = kVerses / 1189, extra = kVerses % 1189;
    for (int b = 1; b <= 66; ++b)
        for (int c = 1; c <= kChapters[b - 1]; ++c, ++chapterIndex) {
            const int verses = perChapter + (chapterIndex < extra ? 1 : 0);
            for (int v = 1; v <= verses; ++v)
                table.rows.push_back({int64_t(b), int64_t(c), int64_t(v), words});
        }
    jet::createDatabase(file.string(), {table});
}

// The largest resident set of this process so far, in MB of 1,024 KB: the "VmHWM" line of
// /proc/self/status, what `/usr/bin/time -v` reports as "Maximum resident set size". (getrusage
// would count the pages of the parent a started process was forked from.)
double peakMemoryMb() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0) return std::atof(line.c_str() + 6) / 1024.0;
    return 0;
}

// Chooses a bible in a selector as the user does: its name, then the selector's change.
void choose(TForm1& form, int pane, const char* bible) {
    if (pane == 1) {
        form.ComboBox1->setCurrentText(bible);
        form.ComboBox1Change();
    } else {
        form.ComboBox3->setCurrentText(bible);
        form.ComboBox3Change();
    }
}

// KJV in pane 1, then WEB in pane 2, in a window that did nothing before.
int reportPeakMemory() {
    const auto print = [](const char* what) { std::printf("%-42s peak memory %6.1f MB", what, peakMemoryMb()); };
    TForm1 form;
    form.show();
    QCoreApplication::processEvents();
    print("the window alone");
    std::printf("\n");
    choose(form, 1, "KJV");
    QCoreApplication::processEvents();
    print("KJV in pane 1");
    std::printf("\n");
    choose(form, 2, "WEB");
    QCoreApplication::processEvents();
    print("KJV in pane 1, WEB in pane 2");
    std::printf("  goal < 60 MB%s\n", peakMemoryMb() < 60 ? "" : " MISSED");
    return 0;
}

// The steps of one bible in pane 1 (pane 2 as it is).
void measureSteps(TForm1& form, const char* bible) {
    constexpr int runs = 15;
    form.ComboBox1->setCurrentText(bible);
    report("choose bible 1 until its first verse shows", measure(runs, [&] { form.ComboBox1Change(); }), 50);
    // Genesis: 50 chapters; each run steps on from chapter 1 as far as it goes.
    report("next chapter", measure(40, [&] { form.SpeedButton4Click(); }), 10);
    report("previous chapter", measure(40, [&] { form.SpeedButton3Click(); }), 10);
    report("next verse", measure(25, [&] { form.SpeedButton2Click(); }), 5);
    report("previous verse", measure(25, [&] { form.SpeedButton1Click(); }), 5);
    // The save writes the row (a text equal to the row's would not be written); the next
    // statement then reads a changed file.
    const auto edit = [&] {
        app::RichEditView& view = form.paneLines(1);
        view.replaceLine(0, view.line(0) + " ");
        form.edited1 = true;
    };
    report("next verse after an edit (save + step)", measure(10, [&] {
               edit();
               form.SpeedButton2Click();
           }));
    report("next chapter after an edit (save + step)", measure(5, [&] {
               edit();
               form.SpeedButton4Click();
           }));
    form.ComboBox2->setCurrentIndex(18); // Psalms: the book with the most rows
    report("choose a book (Psalms)", measure(runs, [&] { form.ComboBox2Change(); }));
}

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TForm1::messageSink = [](const QString& text) { std::fprintf(stderr, "message: %s\n", qPrintable(text)); };
    std::vector<std::string> args(argv + 1, argv + argc);
    const bool peakOnly = std::erase(args, std::string("--peak-memory")) > 0;

    QTemporaryDir drive;
    fs::path folder;
    if (!args.empty()) {
        folder = args.front();
    } else if (const fs::path demo = fs::path(std::getenv("KANTELO_SOURCE_DIR") ? std::getenv("KANTELO_SOURCE_DIR") : ".") /
                                     "demo/drive_c/Lumora/HolyBibles";
               fs::exists(demo / "KJV.mdb")) {
        folder = demo;
    } else {
        folder = fs::path(drive.path().toStdString()) / "Lumora" / "HolyBibles";
        fs::create_directories(folder);
        std::printf("writing a bible of %d verses...\n", kVerses);
        writeKjvShapedBible(folder / "KJV.mdb");
    }
    // Copies below a drive of our own: the steps write, and closing would compact.
    const fs::path benchFolder = fs::path(drive.path().toStdString()) / "bench" / "Lumora" / "HolyBibles";
    fs::create_directories(benchFolder);
    fs::copy_file(folder / "KJV.mdb", benchFolder / "KJV.mdb");
    fs::copy_file(fs::exists(folder / "WEB.mdb") ? folder / "WEB.mdb" : folder / "KJV.mdb", benchFolder / "WEB.mdb");
    // The copies get the age of a bible that has lain in its folder: the engine re-reads a file
    // changed within the last two seconds at every statement (another program may have written
    // it within the same clock tick), which a user sees only right after a save ("after an edit").
    for (const char* name : {"KJV.mdb", "WEB.mdb"}) {
        fs::permissions(benchFolder / name, fs::perms::owner_write, fs::perm_options::add);
        fs::last_write_time(benchFolder / name, fs::file_time_type::clock::now() - std::chrono::hours(1));
    }
    qputenv("KANTELO_DRIVE_C", QFile::encodeName(QString::fromStdString((benchFolder.parent_path().parent_path()).string())));
    TForm1::settingsPathOverride = drive.path() + "/bench.INI";
    qputenv("KANTELO_BACKUP_DIR", QFile::encodeName(drive.path() + "/backups"));
    if (peakOnly) return reportPeakMemory();

    for (const char* name : {"KJV.mdb", "WEB.mdb"})
        std::printf("bible: %s (%lld bytes)\n", (benchFolder / name).c_str(),
                    static_cast<long long>(fs::file_size(benchFolder / name)));
    {
        TForm1 form;
        form.show();
        QCoreApplication::processEvents();
        for (const char* bible : {"KJV", "WEB"}) {
            const char* other = std::string(bible) == "KJV" ? "WEB" : "KJV";
            // Each section starts two seconds after the last save of the one before (see above).
            std::printf("-- %s in pane 1, pane 2 closed\n", bible);
            choose(form, 2, "");
            std::this_thread::sleep_for(std::chrono::milliseconds(2100));
            measureSteps(form, bible);
            std::printf("-- %s in pane 1, %s in pane 2\n", bible, other);
            choose(form, 2, other);
            std::this_thread::sleep_for(std::chrono::milliseconds(2100));
            measureSteps(form, bible);
        }
    }
    TForm1::messageSink = nullptr;
    // The peak of this process counts the steps above: a fresh one measures the window alone.
    std::printf("-- peak memory (a fresh process: %s --peak-memory FOLDER)\n", argv[0]);
    std::fflush(stdout);
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QString::fromLocal8Bit(argv[0]), {"--peak-memory", QString::fromStdString(folder.string())});
    child.waitForFinished(-1);
    return child.exitCode();
}
