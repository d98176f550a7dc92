// Test helpers: where the shared inputs and the build are, temporary folders, running commands.
#pragma once
#include <filesystem>
#include <string>
#include <vector>

namespace test_support {

std::filesystem::path sharedDir();     // $KANTELO_SHARED_DIR or the configured default
std::filesystem::path corpusDir();     // sharedDir()/jet4-corpus
std::vector<std::filesystem::path> corpusFiles(); // every .mdb in the corpus, sorted; throws when none
std::filesystem::path buildDir();      // $KANTELO_BUILD_DIR or the configured default
std::filesystem::path kanteloDbTool(); // buildDir()/tools/kantelo_db/kantelo-db (kantelo-db.exe on Windows)
// The folder of the demo bibles KJV.mdb and WEB.mdb: $KANTELO_DEMO_BIBLES, or
// demo/drive_c/Lumora/HolyBibles in the checkout (made by scripts/make-demo-bibles.sh). Throws
// when either bible is missing there.
std::filesystem::path demoBiblesDir();

// A fresh folder below the system temp folder, removed (with its contents) on destruction.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
private:
    std::filesystem::path path_;
};

// Sets an environment variable while it lives; the old value (or its absence) comes back after.
class ScopedEnv {
public:
    ScopedEnv(std::string name, const std::string& value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;
private:
    std::string name_;
    bool had_ = false;
    std::string old_;
};

// The whole content of a file ("" when there is none; throws when it is there but cannot be
// opened, e.g. on Windows while a write session holds it).
std::string readBytes(const std::filesystem::path& file);

// Copies a file into `dir`, writable, and returns the copy's path.
std::filesystem::path copyInto(const std::filesystem::path& file, const std::filesystem::path& dir);

struct CommandResult {
    int exitCode = -1;
    std::string out; // standard output
    std::string err; // standard error
};
// Runs argv[0] with the arguments (no shell), optionally feeding `input` on standard input.
// Arguments are UTF-8. On Windows a program that is not a Windows one (a bare name that PATH does
// not have as NAME.exe, or a file that is not an .exe) runs under Wine as a program of the Linux
// host, found on the host's PATH; it sees the environment Wine started with.
CommandResult run(const std::vector<std::string>& argv, const std::string& input = {});

// A file's name for a program of the host system: on Windows under Wine, the Linux path of a
// Windows path (mdbtools run there as Linux programs; throws without Wine); elsewhere the path
// itself.
std::string hostPath(const std::filesystem::path& path);

} // namespace test_support
