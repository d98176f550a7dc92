// kantelo-db backups / restore, and the backup that every changing command makes first.
#include "commands.h"

#include "data/program_io.h"

#include "jet/database.h"
#include "maintenance/backup_run.h"

#include <filesystem>
#include <iostream>

namespace kantelo_db {

namespace {

std::string utf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

} // namespace

void backupBeforeChange(const std::string& file) {
    maintenance::BackupRun::program().beforeChange(data::pathFromUtf8(file));
}

void prepareChange(const std::string& file) {
    // Opening for writing refuses a damaged or read-only file, or one another program has open;
    // only then is the file worth a backup. The write session is closed before the copy: on
    // Windows it holds the file with share mode 0, and the copy could not read it then.
    jet::Database::open(file, jet::OpenMode::ReadWrite).reset();
    backupBeforeChange(file);
}

std::unique_ptr<jet::Database> openForChange(const std::string& file) {
    prepareChange(file);
    return jet::Database::open(file, jet::OpenMode::ReadWrite);
}

int cmdBackups(const Args& args) {
    if (args.size() != 1) {
        std::cerr << "usage: kantelo-db backups FILE\n";
        return 2;
    }
    const std::filesystem::path folder = maintenance::backupFolder();
    for (const maintenance::BackupEntry& entry :
         maintenance::listBackups(folder, maintenance::bibleNameOf(data::pathFromUtf8(args[0]))))
        std::cout << utf8(std::filesystem::absolute(entry.path)) << "\n";
    return 0;
}

int cmdRestore(const Args& args) {
    if (args.size() != 2) {
        std::cerr << "usage: kantelo-db restore FILE BACKUP\n";
        return 2;
    }
    const std::filesystem::path replaced =
        maintenance::BackupRun::program().restore(data::pathFromUtf8(args[0]), data::pathFromUtf8(args[1]));
    if (!replaced.empty()) std::cout << "the replaced file was backed up as " << utf8(replaced) << "\n";
    return 0;
}

} // namespace kantelo_db
