// Starting Windows programs under Wine for the tests, without a shell.
#include "windows_program.h"

#include <chrono>
#include <csignal>
#include <fstream>
#include <poll.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace wine_test {

namespace {

// No debug output, and no installer dialogs for Mono and Gecko in a new prefix.
std::vector<std::string> wineEnvironment(const fs::path& prefix) {
    return {"WINEPREFIX=" + prefix.string(), "WINEDEBUG=-all", "WINEDLLOVERRIDES=mscoree,mshtml="};
}

} // namespace

std::string missingTools() {
    if (!*KANTELO_JET_USER_EXE || !*KANTELO_WINE64)
        return "needs x86_64-w64-mingw32-gcc (mingw-w64) and wine64 (scripts/deps.sh installs both)";
    return {};
}

std::string windowsPath(const fs::path& native) {
    std::string path = "Z:" + native.string();
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

WindowsProgram::WindowsProgram(const fs::path& prefix, const fs::path& database, const fs::path& stopFile)
    : prefix_(prefix), stopFile_(stopFile) {
    // Everything the child needs is made before the fork: the test process may have threads.
    std::vector<std::string> environment = wineEnvironment(prefix);
    const std::string db = windowsPath(database), stop = windowsPath(stopFile);
    int out[2];
    if (::pipe(out) != 0) throw std::runtime_error("pipe failed");
    pid_ = ::fork();
    if (pid_ == 0) {
        ::dup2(out[1], 1);
        ::dup2(out[1], 2);
        ::close_range(3, ~0u, 0); // files the test holds open stay with the test
        for (std::string& setting : environment) ::putenv(setting.data());
        ::execl(KANTELO_WINE64, KANTELO_WINE64, KANTELO_JET_USER_EXE, db.c_str(), stop.c_str(), nullptr);
        ::_exit(127);
    }
    ::close(out[1]);
    out_ = out[0];
}

WindowsProgram::~WindowsProgram() {
    std::ofstream(stopFile_) << "stop";
    if (pid_ > 0 && !waitForExit(10)) ::kill(pid_, SIGKILL), ::waitpid(pid_, nullptr, 0);
    ::close(out_);
    endWineServer(prefix_);
}

bool WindowsProgram::waitFor(const std::string& word, int seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (output_.find(word) == std::string::npos) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        pollfd p{out_, POLLIN, 0};
        if (::poll(&p, 1, int(left.count())) <= 0) continue;
        char buffer[512];
        const ssize_t n = ::read(out_, buffer, sizeof buffer);
        if (n <= 0) return false;
        output_.append(buffer, size_t(n));
    }
    return true;
}

bool WindowsProgram::stop() {
    std::ofstream(stopFile_) << "stop";
    return waitFor("closed", 60) && waitForExit(30);
}

bool WindowsProgram::waitForExit(int seconds) {
    for (int i = 0; i < seconds * 20; ++i) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            return true;
        }
        ::usleep(50000);
    }
    return false;
}

void endWineServer(const fs::path& prefix) {
    if (!*KANTELO_WINESERVER) return;
    std::vector<std::string> argv{"env"};
    for (const std::string& setting : wineEnvironment(prefix)) argv.push_back(setting);
    argv.push_back(KANTELO_WINESERVER);
    argv.push_back("-k");
    test_support::run(argv);
}

test_support::CommandResult runWindowsProgram(const fs::path& prefix, const std::vector<std::string>& argv) {
    std::vector<std::string> command{"env"};
    for (const std::string& setting : wineEnvironment(prefix)) command.push_back(setting);
    command.push_back(KANTELO_WINE64);
    command.insert(command.end(), argv.begin(), argv.end());
    return test_support::run(command);
}

} // namespace wine_test
