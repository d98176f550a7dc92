// The subcommands of kantelo-db. Each returns the process exit code; errors go to stderr.
#pragma once
#include "texts/language.h"

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
int cmdLongLines(const Args& args);
int cmdFormat(const Args& args);
int cmdCompare(const Args& args);

// Help text of one subcommand (usage line and what it does), used by --help.
std::string helpMakeBible();

} // namespace kantelo_db
