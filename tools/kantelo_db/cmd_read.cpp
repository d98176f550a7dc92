// Placeholder until this command is built; its owner replaces this file.
#include "commands.h"
#include <iostream>
namespace kantelo_db {
int cmdTables(const Args&) { std::cerr << "kantelo-db: not built yet\n"; return 2; }
int cmdSchema(const Args&) { std::cerr << "kantelo-db: not built yet\n"; return 2; }
int cmdExport(const Args&) { std::cerr << "kantelo-db: not built yet\n"; return 2; }
int cmdQuery(const Args&) { std::cerr << "kantelo-db: not built yet\n"; return 2; }
}
