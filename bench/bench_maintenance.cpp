// Whole-bible forcing run: through the window (offscreen, both panes open) and without it (the
// code behind `kantelo-db apply`), on copies of two bibles.
//
// usage: bench_maintenance [FOLDER] [--window-only|--apply-only]
//   FOLDER holds KJV.mdb and WEB.mdb (default: demo/drive_c/Lumora/HolyBibles, from the
//   checkout's root). The files are copied first; the originals are not changed.
#include "app/tform1.h"

#include "jet/database.h"
#include "maintenance/bible_apply.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QTextEdit>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

double windowRun() {
    TForm1 form;
    form.show();
    TForm1::processPendingEvents();
    form.ComboBox1->setCurrentText("KJV");
    form.ComboBox1Change();
    form.ComboBox3->setCurrentText("WEB");
    form.ComboBox3Change();
    if (!form.RE2->isEnabled()) throw std::runtime_error("bible version 2 did not open");
    form.CheckBox1->click();
    QElapsedTimer timer;
    timer.start();
    form.BitBtn2Click();
    return double(timer.elapsed()) / 1000.0;
}

double applyRun(const fs::path& file, maintenance::ApplyReport& report) {
    QElapsedTimer timer;
    timer.start();
    report = maintenance::applyToBible(QString::fromStdString(file.string()), {true, false},
                                       {"<New slide>", "<Empty line>"});
    return double(timer.elapsed()) / 1000.0;
}

} // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    fs::path source = fs::path("demo") / "drive_c" / "Lumora" / "HolyBibles";
    bool window = true, apply = true;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--window-only") apply = false;
        else if (arg == "--apply-only") window = false;
        else source = arg;
    }
    for (const char* name : {"KJV.mdb", "WEB.mdb"})
        if (!fs::exists(source / name)) {
            std::cerr << "bench_maintenance: " << (source / name) << " not found (run ./run.sh once, or pass a folder)\n";
            return 2;
        }

    const fs::path drive = fs::temp_directory_path() / ("kantelo-bench-maintenance-" + std::to_string(::getpid()));
    const fs::path folder = drive / "Lumora" / "HolyBibles";
    fs::create_directories(folder);
    setenv("KANTELO_DRIVE_C", drive.c_str(), 1);
    setenv("KANTELO_BACKUP_DIR", (drive / "backups").c_str(), 1);

    QApplication app(argc, argv);
    TForm1::settingsPathOverride = QString::fromStdString((drive / "kantelo.INI").string());
    TForm1::messageSink = [](const QString&) {};
    int status = 0;
    try {
        if (window) {
            fs::copy_file(source / "KJV.mdb", folder / "KJV.mdb");
            fs::copy_file(source / "WEB.mdb", folder / "WEB.mdb");
            const double seconds = windowRun();
            std::printf("window run, force, KJV + WEB (both panes): %.1f s (goal: under 10 s)\n", seconds);
        }
        if (apply) {
            const fs::path file = drive / "KJV-apply.mdb";
            fs::copy_file(source / "KJV.mdb", file);
            maintenance::ApplyReport report;
            const double seconds = applyRun(file, report);
            std::printf("kantelo-db apply force, KJV: %.2f s, %d verses visited, %d rows changed (goal: under 3 s)\n",
                        seconds, report.versesVisited, report.rowsWritten);
        }
    } catch (const std::exception& e) {
        std::cerr << "bench_maintenance: " << e.what() << "\n";
        status = 1;
    }
    fs::remove_all(drive);
    return status;
}
