// Linked into every test executable: the process keeps its backups in a temporary folder of its
// own, so that no test (nor a program a test starts) writes into the user's backup folder.
#include "support/test_env.h"

#include <cstdlib>

namespace {

struct OwnBackupFolder {
    test_support::TempDir folder;
#ifdef _WIN32
    // Set wide, as the path is: a narrow value is read in the ANSI code page.
    OwnBackupFolder() { _wputenv_s(L"KANTELO_BACKUP_DIR", (folder / "backups").c_str()); }
#else
    OwnBackupFolder() { setenv("KANTELO_BACKUP_DIR", (folder / "backups").c_str(), 1); }
#endif
};

const OwnBackupFolder ownBackupFolder;

} // namespace
