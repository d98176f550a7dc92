// The Wine tests' plumbing: jet_user.exe (a stand-in for a Jet client holding a bible) run under
// Wine in a prefix of its own, and one-shot runs of other Windows programs in that prefix.
#pragma once
#include "support/test_env.h"

#include <filesystem>
#include <string>
#include <sys/types.h>
#include <vector>

namespace wine_test {

// Wine's first start in a new prefix sets the prefix up; that takes seconds, on a slow machine
// a minute or more.
constexpr int kStartSeconds = 240;

// Empty when Wine and the cross-compiled jet_user.exe are there; else what is missing.
std::string missingTools();

// "Z:\dir\file" for /dir/file: how a Windows program under Wine names a Linux path.
std::string windowsPath(const std::filesystem::path& native);

// jet_user.exe holding `database` until `stopFile` appears, its output read line by line. The
// destructor stops it (killing it if need be) and ends the prefix's server.
class WindowsProgram {
public:
    WindowsProgram(const std::filesystem::path& prefix, const std::filesystem::path& database,
                   const std::filesystem::path& stopFile);
    ~WindowsProgram();
    WindowsProgram(const WindowsProgram&) = delete;
    WindowsProgram& operator=(const WindowsProgram&) = delete;

    // Waits for a line holding `word`; false when the program ended or the time ran out first.
    bool waitFor(const std::string& word, int seconds);
    // Asks the program to close the bible and waits until it has ended.
    bool stop();
    const std::string& output() const { return output_; }

private:
    bool waitForExit(int seconds);

    std::filesystem::path prefix_;
    std::filesystem::path stopFile_;
    pid_t pid_ = -1;
    int out_ = -1;
    std::string output_;
};

// Ends the prefix's server, which outlives its programs by a few seconds, and so its programs.
void endWineServer(const std::filesystem::path& prefix);

// Runs a Windows program to its end in the prefix (Wine's own messages switched off).
test_support::CommandResult runWindowsProgram(const std::filesystem::path& prefix, const std::vector<std::string>& argv);

} // namespace wine_test
