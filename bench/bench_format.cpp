// Formatting for slides: how good the breaks are and how fast the runs are, against plain greedy
// wrapping (each line filled as far as it goes, a slide change after every M lines, the way a
// projector wraps), on the demo KJV and WEB.
//
// usage: bench_format [FOLDER] [--quality-only|--time-only] [--runs K]
//   FOLDER holds KJV.mdb and WEB.mdb (default: demo/drive_c/Lumora/HolyBibles, from the
//   checkout's root); the files are copied before anything writes. kantelo-db is taken from the
//   build this benchmark belongs to (../tools/kantelo_db/kantelo-db beside bench/).
#include "app/format_dialog.h"
#include "app/tform1.h"
#include "bibledb/verse_rows.h"
#include "jet/database.h"
#include "verse/blanks.h"
#include "verse/long_lines.h"
#include "verse/slide_format.h"
#include "verse/stored_text.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTextEdit>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

// ---- Greedy wrapping ---------------------------------------------------------------------

// The verse's own lines stay; a verse-text line longer than N is filled word by word; then every
// stretch between slide changes gets a slide change after each M lines.
QString greedy(const QString& stored, int n, int m) {
    const verse::StoredVerse verse = verse::splitStored(stored);
    QStringList lines;
    for (const QString& line : verse.lines) {
        if (verse::kindOf(line) != verse::LineKind::VerseText || verse::characterCount(line) <= n) {
            lines << line;
            continue;
        }
        QString current;
        for (const QString& word : line.split(QRegularExpression("[\\x00-\\x20]+"), Qt::SkipEmptyParts)) {
            if (current.isEmpty()) current = word;
            else if (verse::characterCount(current) + 1 + verse::characterCount(word) <= n) current += ' ' + word;
            else {
                lines << current;
                current = word;
            }
        }
        if (!current.isEmpty()) lines << current;
    }
    if (m > 0) {
        QStringList split;
        int inSlide = 0;
        for (const QString& line : lines) {
            if (line.isEmpty()) {
                inSlide = 0;
            } else if (inSlide == m) {
                split << QString();
                inSlide = 0;
            }
            if (!line.isEmpty()) ++inSlide;
            split << line;
        }
        lines = split;
    }
    QString text = lines.join("\r\n");
    if (verse.trailingSlideChange) text += "\r\n";
    return text;
}

// ---- The quality figures -----------------------------------------------------------------

struct Quality {
    long linesOverN = 0;     // lines longer than N that hold more than one word
    long slidesOverM = 0;    // slides of more than M lines
    long newBreaks = 0;      // line breaks and slide changes the text did not have
    long afterPunctuation = 0;
    long lines = 0;          // verse-text lines and empty lines
    long loneShortWords = 0; // slides whose last line is one word of 4 characters or fewer
};

// For each word of the text, what follows it: 0 blanks, 1 a line break, 2 a slide change.
struct Words {
    QStringList words;
    std::vector<int> after;
};

Words wordsOf(const QString& stored) {
    Words w;
    const verse::StoredVerse verse = verse::splitStored(stored);
    for (const QString& line : verse.lines) {
        const verse::LineKind kind = verse::kindOf(line);
        if (kind != verse::LineKind::VerseText) {
            if (kind == verse::LineKind::SlideChange && !w.after.empty()) w.after.back() = 2;
            continue;
        }
        if (!w.after.empty() && w.after.back() == 0) w.after.back() = 1;
        for (const QString& word : line.split(QRegularExpression("[\\x00-\\x20]+"), Qt::SkipEmptyParts)) {
            w.words << word;
            w.after.push_back(0);
        }
    }
    return w;
}

bool punctuated(const QString& word) {
    qsizetype end = word.size();
    static const QString closers = QStringLiteral(")]}\"'\u201D\u2019\u00BB\u00AB\u203A\u2039");
    while (end > 0 && closers.contains(word[end - 1])) --end;
    return end > 0 && QStringLiteral(".,;:!?\u2026").contains(word[end - 1]);
}

void measure(const QString& before, const QString& after, int n, int m, Quality& q) {
    const verse::StoredVerse verse = verse::splitStored(after);
    int inSlide = 0;
    QString last;
    auto endSlide = [&] {
        if (m > 0 && inSlide > m) ++q.slidesOverM;
        const QString t = verse::trimmed(last);
        if (inSlide > 0 && !t.isEmpty() && !t.contains(' ') && verse::characterCount(t) <= 4) ++q.loneShortWords;
        inSlide = 0;
        last.clear();
    };
    for (const QString& line : verse.lines) {
        const verse::LineKind kind = verse::kindOf(line);
        if (kind == verse::LineKind::SlideChange) {
            endSlide();
            continue;
        }
        ++q.lines;
        ++inSlide;
        last = kind == verse::LineKind::VerseText ? line : QString();
        if (kind == verse::LineKind::VerseText && verse::characterCount(line) > n &&
            verse::trimmed(line).contains(QRegularExpression("[\\x00-\\x20]")))
            ++q.linesOverN;
    }
    endSlide();
    const Words was = wordsOf(before), is = wordsOf(after);
    for (size_t i = 0; i + 1 < is.after.size() && i + 1 < was.after.size(); ++i)
        if (is.after[i] > 0 && was.after[i] == 0) {
            ++q.newBreaks;
            if (punctuated(is.words[qsizetype(i)])) ++q.afterPunctuation;
        }
}

void qualityTable(const fs::path& file) {
    const auto db = jet::Database::open(file.string());
    const std::vector<bibledb::VerseRow> rows = bibledb::readVerseRows(*db);
    std::printf("\n%s (%zu verses)\n", file.filename().string().c_str(), rows.size());
    std::printf("%-7s %-7s | %-15s | %-15s | %-17s | %-17s | %-15s | %s\n", "N, M", "", "lines over N", "slides over M",
                "breaks after punct.", "total lines", "lone short words", "format time");
    std::printf("%-15s | %7s %7s | %7s %7s | %8s %8s | %8s %8s | %7s %7s | (ours, cpu)\n", "", "ours", "greedy",
                "ours", "greedy", "ours", "greedy", "ours", "greedy", "ours", "greedy");
    for (int n : {32, 40, 50})
        for (int m : {0, 3, 4}) {
            Quality ours, plain;
            const verse::SlideFormat format{n, m, true};
            const double start = double(clock()) / CLOCKS_PER_SEC;
            std::vector<QString> formatted;
            formatted.reserve(rows.size());
            for (const bibledb::VerseRow& row : rows) formatted.push_back(verse::formatForSlides(row.text, format));
            const double seconds = double(clock()) / CLOCKS_PER_SEC - start;
            for (size_t i = 0; i < rows.size(); ++i) {
                measure(rows[i].text, formatted[i], n, m, ours);
                measure(rows[i].text, greedy(rows[i].text, n, m), n, m, plain);
            }
            auto share = [](const Quality& q) { return q.newBreaks ? 100.0 * double(q.afterPunctuation) / double(q.newBreaks) : 0.0; };
            std::printf("N %2d, M %d       | %7ld %7ld | %7ld %7ld | %7.1f%% %7.1f%% | %8ld %8ld | %7ld %7ld | %.2f s\n", n, m,
                        ours.linesOverN, plain.linesOverN, ours.slidesOverM, plain.slidesOverM, share(ours),
                        share(plain), ours.lines, plain.lines, ours.loneShortWords, plain.loneShortWords, seconds);
        }
}

// ---- Timing of the runs ------------------------------------------------------------------

struct Timed {
    double wall = 0;
    double cpu = 0; // user + system of the child
};

Timed runTool(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    QElapsedTimer timer;
    timer.start();
    const pid_t pid = fork();
    if (pid == 0) {
        freopen("/dev/null", "w", stdout);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) throw std::runtime_error("kantelo-db failed: " + args[1]);
    const double cpu = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                       double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    return {double(timer.elapsed()) / 1000.0, cpu};
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void toolTimes(const fs::path& kjv, const fs::path& tool, const fs::path& work, int runs) {
    std::vector<double> applyWall, applyCpu, formatWall, formatCpu;
    for (int i = 0; i < runs; ++i) {
        // Side by side: each round copies the bible afresh for both and runs them one after the other.
        for (const char* which : {"apply", "format"}) {
            const fs::path copy = work / (std::string(which) + ".mdb");
            fs::remove(copy);
            fs::copy_file(kjv, copy);
            fs::permissions(copy, fs::perms::owner_write, fs::perm_options::add);
            const bool apply = std::string(which) == "apply";
            const Timed t = apply ? runTool({tool.string(), "apply", copy.string(), "force"})
                                  : runTool({tool.string(), "format", copy.string(), "--max-line", "40", "--max-lines", "4"});
            (apply ? applyWall : formatWall).push_back(t.wall);
            (apply ? applyCpu : formatCpu).push_back(t.cpu);
        }
    }
    std::printf("\nkantelo-db on KJV, median of %d rounds side by side:\n", runs);
    std::printf("  apply KJV force                 wall %.2f s  cpu %.2f s\n", median(applyWall), median(applyCpu));
    std::printf("  format KJV --max-line 40 --max-lines 4   wall %.2f s  cpu %.2f s\n", median(formatWall), median(formatCpu));
    std::printf("  ratio format / apply            wall %.2f    cpu %.2f   (goal: at most 1.5)\n",
                median(formatWall) / median(applyWall), median(formatCpu) / median(applyCpu));
}

double windowRun(const fs::path& folder) {
    TForm1 form;
    form.show();
    TForm1::processPendingEvents();
    form.ComboBox1->setCurrentText("KJV");
    form.ComboBox1Change();
    form.ComboBox3->setCurrentText("WEB");
    form.ComboBox3Change();
    if (!form.RE2->isEnabled()) throw std::runtime_error("bible version 2 did not open in " + folder.string());
    TForm1::dialogSink = [](QDialog& dialog) { dialog.done(QMessageBox::Yes); };
    QElapsedTimer timer;
    timer.start();
    form.formatBibles({40, 4, true}, false);
    const double seconds = double(timer.elapsed()) / 1000.0;
    TForm1::dialogSink = nullptr;
    return seconds;
}

} // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    fs::path source = fs::path("demo") / "drive_c" / "Lumora" / "HolyBibles";
    bool quality = true, timing = true;
    int runs = 5;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--quality-only") timing = false;
        else if (arg == "--time-only") quality = false;
        else if (arg == "--runs" && i + 1 < argc) runs = std::max(1, std::atoi(argv[++i]));
        else source = arg;
    }
    for (const char* name : {"KJV.mdb", "WEB.mdb"})
        if (!fs::exists(source / name)) {
            std::cerr << "bench_format: " << (source / name) << " not found (run ./run.sh once, or pass a folder)\n";
            return 2;
        }
    const fs::path tool = fs::canonical("/proc/self/exe").parent_path().parent_path() / "tools" / "kantelo_db" / "kantelo-db";

    const fs::path drive = fs::temp_directory_path() / ("kantelo-bench-format-" + std::to_string(::getpid()));
    const fs::path folder = drive / "Lumora" / "HolyBibles";
    fs::create_directories(folder);
    setenv("KANTELO_DRIVE_C", drive.c_str(), 1);
    setenv("KANTELO_BACKUP_DIR", (drive / "backups").c_str(), 1);

    QApplication app(argc, argv);
    TForm1::settingsPathOverride = QString::fromStdString((drive / "kantelo.INI").string());
    QStringList messages;
    TForm1::messageSink = [&messages](const QString& text) { messages << text; };
    int status = 0;
    try {
        if (quality)
            for (const char* name : {"KJV.mdb", "WEB.mdb"}) qualityTable(source / name);
        if (timing) {
            if (!fs::exists(tool)) throw std::runtime_error(tool.string() + " not found");
            toolTimes(source / "KJV.mdb", tool, drive, runs);
            for (const char* name : {"KJV.mdb", "WEB.mdb"}) {
                fs::copy_file(source / name, folder / name);
                fs::permissions(folder / name, fs::perms::owner_write, fs::perm_options::add);
            }
            const double seconds = windowRun(folder);
            std::printf("\nwindow run, format the whole bible (N 40, M 4), KJV + WEB: %.1f s (goal: under 10 s)\n", seconds);
            std::printf("  its message: %s\n", messages.join(" | ").replace('\n', ' ').toStdString().c_str());
        }
    } catch (const std::exception& e) {
        std::cerr << "bench_format: " << e.what() << "\n";
        status = 1;
    }
    fs::remove_all(drive);
    return status;
}
