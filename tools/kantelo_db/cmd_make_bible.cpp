// Placeholder until this command is built; its owner replaces this file.
#include "commands.h"
#include <iostream>
namespace kantelo_db {
int cmdMakeBible(const Args&) { std::cerr << "kantelo-db: not built yet\n"; return 2; }
std::string helpMakeBible() { return {}; }
}
