// kantelo-db backups / restore, and the backup that every changing command makes first.
#include "commands.h"

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
    maintenance::BackupRun::program().beforeChange(std::filesystem::path(file));
}

int cmdBackups(const Args& args) {
    if (args.size() != 1) {
        std::cerr << "usage: kantelo-db backups FILE\n";
        return 2;
    }
    const std::filesystem::path folder = maintenance::backupFolder();
    for (const maintenance::BackupEntry& entry :
         maintenance::listBackups(folder, maintenance::bibleNameOf(std::filesystem::path(args[0]))))
        std::cout << utf8(std::filesystem::absolute(entry.path)) << "\n";
    return 0;
}

int cmdRestore(const Args& args) {
    if (args.size() != 2) {
        std::cerr << "usage: kantelo-db restore FILE BACKUP\n";
        return 2;
    }
    const std::filesystem::path replaced =
        maintenance::BackupRun::program().restore(std::filesystem::path(args[0]), std::filesystem::path(args[1]));
    if (!replaced.empty()) std::cout << "the replaced file was backed up as " << utf8(replaced) << "\n";
    return 0;
}

} // namespace kantelo_db
