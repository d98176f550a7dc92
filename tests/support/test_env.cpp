#include "support/test_env.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <utility>
#ifndef _WIN32
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace test_support {

namespace {
#ifdef _WIN32
// Read wide: a narrow value would come in the ANSI code page.
fs::path fromEnv(const char* name, const char* fallback) {
    const wchar_t* v = _wgetenv(fs::path(name).c_str());
    return v && *v ? fs::path(v) : fs::path(fallback);
}
#else
fs::path fromEnv(const char* name, const char* fallback) {
    const char* v = std::getenv(name);
    return fs::path(v && *v ? v : fallback);
}

std::string readAll(int fd) {
    std::string s;
    std::array<char, 65536> buf{};
    for (;;) {
        ssize_t n = ::read(fd, buf.data(), buf.size());
        if (n <= 0) break;
        s.append(buf.data(), size_t(n));
    }
    return s;
}
#endif
} // namespace

fs::path sharedDir() { return fromEnv("KANTELO_SHARED_DIR", KANTELO_DEFAULT_SHARED_DIR); }
fs::path corpusDir() { return sharedDir() / "jet4-corpus"; }
fs::path buildDir() { return fromEnv("KANTELO_BUILD_DIR", KANTELO_DEFAULT_BUILD_DIR); }
#ifdef _WIN32
fs::path kanteloDbTool() { return buildDir() / "tools" / "kantelo_db" / "kantelo-db.exe"; }
#else
fs::path kanteloDbTool() { return buildDir() / "tools" / "kantelo_db" / "kantelo-db"; }
#endif

fs::path demoBiblesDir() {
    const fs::path source = fromEnv("KANTELO_SOURCE_DIR", KANTELO_DEFAULT_SOURCE_DIR);
    fs::path dir = fromEnv("KANTELO_DEMO_BIBLES", "");
    if (dir.empty()) dir = source / "demo" / "drive_c" / "Lumora" / "HolyBibles";
    for (const char* name : {"KJV.mdb", "WEB.mdb"})
        if (!fs::exists(dir / name))
            throw std::runtime_error("The demo bible " + (dir / name).string() +
                                     " is missing; make it with scripts/make-demo-bibles.sh " + dir.string());
    return dir;
}

std::vector<fs::path> corpusFiles() {
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(corpusDir()))
        if (e.path().extension() == ".mdb") files.push_back(e.path());
    std::sort(files.begin(), files.end());
    // An empty corpus would make every test over it pass without reading a file.
    if (files.empty()) throw std::runtime_error("no .mdb file in the corpus folder " + corpusDir().string());
    return files;
}

std::string readBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    // Two failed reads would compare equal: a file that is there must be read.
    if (!in && fs::exists(file)) throw std::runtime_error("cannot read " + file.string());
    return {std::istreambuf_iterator<char>(in), {}};
}

TempDir::TempDir() {
    std::random_device rd;
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path p = fs::temp_directory_path() / ("kantelo-test-" + std::to_string(rd()));
        if (fs::create_directory(p)) {
            path_ = p;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir() {
    std::error_code ec;
    // Tests may leave read-only files or folders behind; make them removable first.
    for (auto it = fs::recursive_directory_iterator(path_, ec); !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
}

#ifndef _WIN32
// The process and environment helpers of Windows are in test_env_windows.cpp.
ScopedEnv::ScopedEnv(std::string name, const std::string& value) : name_(std::move(name)) {
    if (const char* old = std::getenv(name_.c_str())) {
        had_ = true;
        old_ = old;
    }
    setenv(name_.c_str(), value.c_str(), 1);
}

ScopedEnv::~ScopedEnv() {
    if (had_) setenv(name_.c_str(), old_.c_str(), 1);
    else unsetenv(name_.c_str());
}
#endif

fs::path copyInto(const fs::path& file, const fs::path& dir) {
    fs::path dest = dir / file.filename();
    fs::copy_file(file, dest, fs::copy_options::overwrite_existing);
    fs::permissions(dest, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add);
    return dest;
}

#ifndef _WIN32
std::string hostPath(const fs::path& path) { return path.string(); }

CommandResult run(const std::vector<std::string>& argv, const std::string& input) {
    int inPipe[2], outPipe[2], errPipe[2];
    if (pipe(inPipe) || pipe(outPipe) || pipe(errPipe)) throw std::runtime_error("pipe failed");
    pid_t pid = fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        dup2(inPipe[0], 0);
        dup2(outPipe[1], 1);
        dup2(errPipe[1], 2);
        for (int fd : {inPipe[0], inPipe[1], outPipe[0], outPipe[1], errPipe[0], errPipe[1]}) close(fd);
        std::vector<char*> args;
        for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
    close(inPipe[0]);
    close(outPipe[1]);
    close(errPipe[1]);
    // Feed stdin from a helper process so that large outputs cannot deadlock against it.
    pid_t feeder = fork();
    if (feeder == 0) {
        // Only the pipe: a copy of a database the test holds open would look like another
        // program having it open to the command's in-use check.
        close_range(3, unsigned(inPipe[1]) - 1, 0);
        close_range(unsigned(inPipe[1]) + 1, ~0u, 0);
        size_t done = 0;
        while (done < input.size()) {
            ssize_t n = ::write(inPipe[1], input.data() + done, input.size() - done);
            if (n <= 0) break;
            done += size_t(n);
        }
        _exit(0);
    }
    close(inPipe[1]);
    CommandResult r;
    // Read stderr fully after stdout; commands here write little to stderr.
    r.out = readAll(outPipe[0]);
    r.err = readAll(errPipe[0]);
    close(outPipe[0]);
    close(errPipe[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    waitpid(feeder, nullptr, 0);
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return r;
}
#endif

} // namespace test_support
