// kantelo-db format: formatting for slides over a bible or one book, without the window: the same
// walk and the same formatter as the window's runs.
#include "commands.h"

#include "jet/database.h"
#include "maintenance/format_run.h"
#include "texts/ui_texts.h"

#include <charconv>
#include <iostream>
#include <string>

namespace kantelo_db {

namespace {

constexpr const char* kUsage =
    "usage: kantelo-db format FILE --max-line N [--max-lines M] [--reflow] [--book B] [--dry-run] [--lang NL|UK|DE]\n"
    "  N >= 1 characters per line, M >= 0 lines per slide (0 = no limit), B a book number\n";

bool parseNumber(const std::string& text, int& value, int least) {
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && stop == end && value >= least;
}

void csvText(std::string& out, const QString& text) {
    out += '"';
    for (char c : text.toStdString()) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

} // namespace

int cmdFormat(const Args& args) {
    std::string file;
    // --lang after the command names the markers' language; by default that of --lang before it.
    std::string lang = texts::codeOf(messageLanguage()).toStdString();
    verse::SlideFormat format{0, 0, true};
    int book = 0;
    bool dryRun = false;
    bool ok = true;
    for (size_t i = 0; i < args.size() && ok; ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--max-line") ok = hasValue && parseNumber(args[++i], format.maxLineLength, 1);
        else if (a == "--max-lines") ok = hasValue && parseNumber(args[++i], format.maxSlideLines, 0);
        else if (a == "--book") ok = hasValue && parseNumber(args[++i], book, 1);
        else if (a == "--lang") ok = hasValue && !(lang = args[++i]).empty();
        else if (a == "--reflow") format.keepLineBreaks = false;
        else if (a == "--dry-run") dryRun = true;
        else if (file.empty() && a.rfind("--", 0) != 0) file = a;
        else ok = false;
    }
    if (!ok || file.empty() || format.maxLineLength < 1) {
        std::cerr << kUsage;
        return 2;
    }
    // The markers only matter for a verse line that equals one of them (the save stores such a
    // line as a marker): the run uses the language the window uses.
    const auto language = texts::textsForCode(QString::fromStdString(lang));
    if (!language) {
        std::cerr << "kantelo-db: unknown language '" << lang << "' (NL, UK or DE)\n";
        return 2;
    }
    const verse::Markers markers{language->newSlideMarker, language->emptyLineMarker};

    const QString path = QString::fromStdString(file);
    maintenance::FileRunOptions options;
    if (book > 0) {
        const int books = maintenance::bookCountOf(path, markers);
        if (book > books) {
            std::cerr << "kantelo-db: " << file << " has no book " << book << " (it has " << books << ")\n";
            return 2;
        }
        options.range = maintenance::WalkRange::book(book - 1);
    }
    if (!dryRun) {
        // Opening for writing refuses a damaged file or one another program has open; only then
        // is the file worth a backup. The run opens the file itself, as the window does.
        prepareChange(file);
        const maintenance::ApplyReport report = maintenance::formatBibleFile(path, format, markers, options);
        std::cout << report.rowsWritten << " verses changed\n";
        return 0;
    }
    const std::vector<maintenance::RowChange> changes = maintenance::formatChangesOf(path, format, markers, options);
    std::string out = "Book,Chapter,Verse,Before,After\n";
    for (const maintenance::RowChange& change : changes) {
        out += std::to_string(change.book) + "," + std::to_string(change.chapter) + "," +
               std::to_string(change.verse) + ",";
        csvText(out, change.before);
        out += ',';
        csvText(out, change.after);
        out += '\n';
    }
    std::cout << out;
    return 0;
}

} // namespace kantelo_db
