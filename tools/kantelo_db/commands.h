// The subcommands of kantelo-db. Each returns the process exit code; errors go to stderr.
#pragma once
#include "jet/database.h"
#include "texts/language.h"

#include <memory>
#include <string>
#include <vector>

namespace kantelo_db {

// The language of the messages, from --lang before the command (English by default).
texts::Language& messageLanguage();

using Args = std::vector<std::string>; // the arguments after the subcommand name

int cmdTables(const Args& args);
int cmdSchema(const Args& args);
int cmdExport(const Args& args);
int cmdQuery(const Args& args);
int cmdMakeBible(const Args& args);
int cmdSet(const Args& args);
int cmdCompact(const Args& args);
int cmdApply(const Args& args);
int cmdBackups(const Args& args);
int cmdRestore(const Args& args);

// The backup of FILE before this run's first change to it; throws (the change must not go
// ahead) when it cannot be made.
void backupBeforeChange(const std::string& file);
// The checks that a write session makes (a damaged or read-only file, another program holding
// it), then the backup above, with no write session left open; throws as they do.
void prepareChange(const std::string& file);
// FILE opened for writing after prepareChange.
std::unique_ptr<jet::Database> openForChange(const std::string& file);
int cmdLongLines(const Args& args);
int cmdFormat(const Args& args);
int cmdCompare(const Args& args);

// Help text of one subcommand (usage line and what it does), used by --help.
std::string helpMakeBible();

} // namespace kantelo_db
