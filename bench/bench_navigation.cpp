// Opening a bible and stepping through it in the real window, offscreen: choosing bible version
// 1 until its first verse shows, a chapter step and a verse step, with one pane and with both.
//
//   bench_navigation [folder-with-KJV.mdb]
//
// Without a folder it uses demo/drive_c/Lumora/HolyBibles/KJV.mdb below $KANTELO_SOURCE_DIR (or
// the current folder) when ./run.sh made it, else
// it writes a bible of the KJV's shape (66 books, 1,189 chapters, 31,102 verses) to a
// temporary folder.
#include "app/rich_edit_view.h"
#include "app/tform1.h"
#include "bench_timing.h"
#include "jet/database.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
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
    jet::NewTable table;
    table.name = "bible";
    table.columns = {{"Book", jet::ColumnType::Long},
                     {"Chapter", jet::ColumnType::Long},
                     {"Verse", jet::ColumnType::Long},
                     {"BIBLETEXT", jet::ColumnType::Memo}};
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

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TForm1::messageSink = [](const QString& text) { std::fprintf(stderr, "message: %s\n", qPrintable(text)); };

    QTemporaryDir drive;
    fs::path folder;
    if (argc > 1) {
        folder = argv[1];
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
    // Both panes on copies of the same bible, below a drive of our own.
    const fs::path benchFolder = fs::path(drive.path().toStdString()) / "bench" / "Lumora" / "HolyBibles";
    fs::create_directories(benchFolder);
    fs::copy_file(folder / "KJV.mdb", benchFolder / "KJV.mdb");
    fs::copy_file(folder / "KJV.mdb", benchFolder / "KJV2.mdb");
    qputenv("KANTELO_DRIVE_C", QFile::encodeName(QString::fromStdString((benchFolder.parent_path().parent_path()).string())));
    TForm1::settingsPathOverride = drive.path() + "/bench.INI";
    qputenv("KANTELO_BACKUP_DIR", QFile::encodeName(drive.path() + "/backups"));
    std::printf("bible: %s (%lld bytes)\n", (folder / "KJV.mdb").c_str(),
                static_cast<long long>(fs::file_size(folder / "KJV.mdb")));

    TForm1 form;
    form.show();
    QCoreApplication::processEvents();
    constexpr int runs = 15;

    for (int panes = 1; panes <= 2; ++panes) {
        std::printf("-- %d pane%s open\n", panes, panes == 1 ? "" : "s");
        if (panes == 2) {
            form.ComboBox3->setCurrentText("KJV2");
            form.ComboBox3Change();
        }
        form.ComboBox1->setCurrentText("KJV");
        report("choose bible 1 until its first verse shows",
               measure(runs, [&] { form.ComboBox1Change(); }), 50);
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
    TForm1::messageSink = nullptr;
    return 0;
}
