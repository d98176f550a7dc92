// kantelo-db: command-line access to the Jet engine, for scripts, demo data and checks.
#include "commands.h"

#include "data/program_io.h"
#include "jet/in_use.h"
#include "texts/error_texts.h"

#include <cstring>
#include <iostream>
#include <map>

namespace {

struct Command {
    int (*run)(const kantelo_db::Args&);
    const char* usage;
};

const std::map<std::string, Command>& commands() {
    static const std::map<std::string, Command> table = {
        {"tables", {kantelo_db::cmdTables, "tables FILE                      list the user tables"}},
        {"schema", {kantelo_db::cmdSchema, "schema FILE TABLE                list a table's columns"}},
        {"export", {kantelo_db::cmdExport, "export FILE TABLE                every row as CSV (mdb-export's dialect)"}},
        {"query", {kantelo_db::cmdQuery, "query FILE 'SELECT ...'          run a statement, rows as CSV"}},
        {"make-bible", {kantelo_db::cmdMakeBible, "make-bible OUT.mdb SOURCE        make a bible for trying Kantelo and for tests (see below)"}},
        {"set", {kantelo_db::cmdSet, "set FILE TABLE COLUMN ROW TEXT   replace a text value (ROW: 0-based export position; TEXT - reads stdin)"}},
        {"compact", {kantelo_db::cmdCompact, "compact SOURCE DESTINATION       write a compacted copy"}},
        {"apply", {kantelo_db::cmdApply, "apply FILE force|remove [--lang NL|UK|DE]   add or remove the slide change at the end of every verse"}},
        {"backups", {kantelo_db::cmdBackups, "backups FILE                     list the backups of FILE's bible, newest first"}},
        {"restore", {kantelo_db::cmdRestore, "restore FILE BACKUP              put a backup back in place of FILE (FILE backed up first)"}},
        {"long-lines", {kantelo_db::cmdLongLines, "long-lines FILE --max N          verses with a line longer than N characters, as CSV"}},
        {"format", {kantelo_db::cmdFormat, "format FILE --max-line N [--max-lines M] [--reflow] [--book B] [--dry-run] [--lang NL|UK|DE]\n"
                                           "                                   format for slides (--dry-run: the verses that would change, as CSV)"}},
        {"compare", {kantelo_db::cmdCompare, "compare A.mdb B.mdb              chapters whose verse count differs, or that one bible lacks, as CSV"}},
    };
    return table;
}

void usage(std::ostream& out) {
    out << "usage: kantelo-db [--lang NL|UK|DE] COMMAND ARGS...\n\n"
           "--lang: the language of the messages (English by default)\n\ncommands:\n";
    for (const auto& [name, cmd] : commands()) out << "  " << cmd.usage << "\n";
    out << "\nexit status: 0 done, 1 error, 2 wrong arguments, 3 refused because another program\n"
           "(Lumora, another Kantelo) has the bible open or locked: set, apply, format and compact\n"
           "write nothing then; close the bible there and run the command again.\n";
    out << "\n" << kantelo_db::helpMakeBible();
}

// An error as the user reads it, in the language of --lang.
std::string message(const std::exception& error) {
    return texts::errorMessage(error, kantelo_db::messageLanguage()).toStdString();
}

} // namespace

texts::Language& kantelo_db::messageLanguage() {
    static texts::Language language = texts::Language::UK;
    return language;
}

int main(int argc, char** argv) {
    // Paths and values arrive in UTF-8 and output leaves as bytes on every platform, so an
    // export is the same file on Windows as elsewhere.
    data::useBinaryStandardStreams();
    std::vector<std::string> arguments = data::programArguments(argc, argv);
    // One option for every command, given before it.
    if (!arguments.empty() && arguments[0] == "--lang") {
        const auto language = arguments.size() >= 2 ? texts::languageOfCode(QString::fromStdString(arguments[1])) : std::nullopt;
        if (!language) {
            std::cerr << "kantelo-db: --lang takes NL, UK or DE\n";
            return 2;
        }
        kantelo_db::messageLanguage() = *language;
        arguments.erase(arguments.begin(), arguments.begin() + 2);
    }
    if (arguments.empty() || arguments[0] == "--help" || arguments[0] == "-h") {
        usage(arguments.empty() ? std::cerr : std::cout);
        return arguments.empty() ? 2 : 0;
    }
    auto it = commands().find(arguments[0]);
    if (it == commands().end()) {
        std::cerr << "kantelo-db: unknown command '" << arguments[0] << "'\n";
        usage(std::cerr);
        return 2;
    }
    kantelo_db::Args args(arguments.begin() + 1, arguments.end());
    try {
        return it->second.run(args);
    } catch (const jet::InUseError& e) {
        std::cerr << "kantelo-db: " << message(e) << "\n";
        return 3;
    } catch (const std::exception& e) {
        std::cerr << "kantelo-db: " << message(e) << "\n";
        return 1;
    }
}
