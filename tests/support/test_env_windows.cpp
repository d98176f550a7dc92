// The process and environment helpers of test_env.h on Windows: the environment in UTF-16,
// Windows programs through CreateProcessW with pipes, and under Wine the programs of the Linux
// host (mdbtools) with Wine's own spawn and files for the standard streams.
#ifdef _WIN32
#include "support/test_env.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <utility>

namespace fs = std::filesystem;

namespace test_support {

namespace {

std::wstring wide(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring out(size_t(n > 0 ? n : 0), L'\0');
    if (n > 0) ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), out.data(), n);
    return out;
}

std::string utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(size_t(n > 0 ? n : 0), '\0');
    if (n > 0) ::WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::string lastError(const std::string& what) {
    return what + " failed (error " + std::to_string(::GetLastError()) + ")";
}

// One argument as CommandLineToArgvW and the C runtime split it again (Wine splits a Linux
// program's command line by the same rules).
std::wstring quoted(const std::wstring& arg) {
    if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) return arg;
    std::wstring out = L"\"";
    for (auto it = arg.begin();; ++it) {
        size_t backslashes = 0;
        while (it != arg.end() && *it == L'\\') {
            ++it;
            ++backslashes;
        }
        if (it == arg.end()) {
            out.append(backslashes * 2, L'\\'); // before the closing quote
            break;
        }
        if (*it == L'"') {
            out.append(backslashes * 2 + 1, L'\\');
        } else {
            out.append(backslashes, L'\\');
        }
        out.push_back(*it);
    }
    out.push_back(L'"');
    return out;
}

// Whether `program` names a Windows program: a path to a file that starts like one, or a name
// without a folder that PATH has as NAME.exe.
bool isWindowsProgram(const std::wstring& program) {
    if (program.find_first_of(L"\\/:") == std::wstring::npos) {
        wchar_t found[MAX_PATH];
        const DWORD n = ::SearchPathW(nullptr, program.c_str(), L".exe", MAX_PATH, found, nullptr);
        return n > 0 && n < MAX_PATH;
    }
    std::ifstream in(fs::path(program), std::ios::binary);
    char magic[2] = {};
    // A missing file is left to CreateProcessW, which says so.
    return !in.read(magic, 2) || (magic[0] == 'M' && magic[1] == 'Z');
}

// Wine's ntdll runs a Linux program with execvp and, when asked to, waits for it and returns
// its exit status; the program inherits the standard streams of Wine itself.
using UnixSpawn = long(WINAPI*)(char* const* argv, int wait);
UnixSpawn wineUnixSpawn() {
    return reinterpret_cast<UnixSpawn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "__wine_unix_spawnvp")));
}

// A program of the Linux host, under Wine. CreateProcessW starts one too, but detached (Wine 8):
// its exit status is lost (always 0), its standard error is Wine's own, and what it writes to an
// anonymous pipe never arrives. So the command runs from /bin/sh with its streams on files.
CommandResult runOnHost(const std::vector<std::string>& argv, const std::string& input) {
    const UnixSpawn spawn = wineUnixSpawn();
    if (!spawn) return {127, {}, "cannot start " + argv[0] + ": not a Windows program, and not under Wine"};
    TempDir streams;
    std::ofstream(streams / "in", std::ios::binary) << input;
    std::vector<std::string> command = {"/bin/sh", "-c", "i=$1 o=$2 e=$3; shift 3; exec \"$@\" <\"$i\" >\"$o\" 2>\"$e\"",
                                        "sh", hostPath(streams / "in"), hostPath(streams / "out"),
                                        hostPath(streams / "err")};
    const bool isPath = argv[0].find_first_of("\\/:") != std::string::npos;
    command.push_back(isPath ? hostPath(fs::path(wide(argv[0]))) : argv[0]);
    command.insert(command.end(), argv.begin() + 1, argv.end());
    std::vector<char*> args;
    for (std::string& a : command) args.push_back(a.data());
    args.push_back(nullptr);
    CommandResult r;
    r.exitCode = int(spawn(args.data(), 1));
    r.out = readBytes(streams / "out");
    r.err = readBytes(streams / "err");
    return r;
}

std::string readAll(HANDLE pipe) {
    std::string s;
    char buf[65536];
    DWORD n = 0;
    while (::ReadFile(pipe, buf, sizeof buf, &n, nullptr) && n > 0) s.append(buf, n);
    return s;
}

// An anonymous pipe whose `childEnd` (0: read end, 1: write end) alone is inherited.
void makePipe(HANDLE ends[2], int childEnd) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    if (!::CreatePipe(&ends[0], &ends[1], &inherit, 0)) throw std::runtime_error(lastError("CreatePipe"));
    ::SetHandleInformation(ends[1 - childEnd], HANDLE_FLAG_INHERIT, 0);
}

} // namespace

ScopedEnv::ScopedEnv(std::string name, const std::string& value) : name_(std::move(name)) {
    const std::wstring wideName = wide(name_);
    if (const wchar_t* old = _wgetenv(wideName.c_str())) {
        had_ = true;
        old_ = utf8(old);
    }
    // An empty value removes the variable: Windows has no variables with empty values.
    _wputenv_s(wideName.c_str(), wide(value).c_str());
}

ScopedEnv::~ScopedEnv() { _wputenv_s(wide(name_).c_str(), had_ ? wide(old_).c_str() : L""); }

std::string hostPath(const fs::path& path) {
    using UnixName = char*(CDECL*)(const wchar_t*);
    const auto unixName = reinterpret_cast<UnixName>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!unixName)
        throw std::runtime_error("the Linux name of " + path.string() +
                                 " is known only under Wine (kernel32 has no wine_get_unix_file_name)");
    char* name = unixName(fs::absolute(path).c_str());
    if (!name) throw std::runtime_error("Wine knows no Linux name for " + path.string());
    std::string result = name;
    ::HeapFree(::GetProcessHeap(), 0, name);
    return result;
}

CommandResult run(const std::vector<std::string>& argv, const std::string& input) {
    if (argv.empty()) throw std::invalid_argument("run: no program");
    if (!isWindowsProgram(wide(argv[0]))) return runOnHost(argv, input);
    std::wstring commandLine;
    for (const std::string& arg : argv) commandLine += (commandLine.empty() ? L"" : L" ") + quoted(wide(arg));

    HANDLE in[2], out[2], err[2];
    PROCESS_INFORMATION process{};
    {
        // Between making the pipes and closing the child's ends, another command started in
        // parallel would inherit them and keep them open.
        static std::mutex starting;
        std::lock_guard<std::mutex> lock(starting);
        makePipe(in, 0);
        makePipe(out, 1);
        makePipe(err, 1);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = in[0];
        startup.hStdOutput = out[1];
        startup.hStdError = err[1];
        // Only the pipes are inheritable: the engine opens its files without inheritance, so no
        // copy of a database the test holds open looks like another program having it open.
        const BOOL started = ::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE,
                                              CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process);
        const std::string failure = started ? std::string() : lastError("CreateProcessW");
        for (HANDLE h : {in[0], out[1], err[1]}) ::CloseHandle(h);
        if (!started) {
            for (HANDLE h : {in[1], out[0], err[0]}) ::CloseHandle(h);
            // As on Linux, a program that cannot be started exits with 127.
            return {127, {}, "cannot start " + argv[0] + ": " + failure};
        }
    }
    ::CloseHandle(process.hThread);

    // Standard input and standard error have threads of their own, so that no pipe can fill up
    // while the command waits on another.
    std::thread feeder([&input, pipe = in[1]] {
        size_t done = 0;
        while (done < input.size()) {
            DWORD n = 0;
            const DWORD chunk = DWORD(std::min<size_t>(input.size() - done, 1 << 20));
            if (!::WriteFile(pipe, input.data() + done, chunk, &n, nullptr) || n == 0) break;
            done += n;
        }
        ::CloseHandle(pipe);
    });
    CommandResult r;
    std::thread errReader([&r, pipe = err[0]] { r.err = readAll(pipe); });
    r.out = readAll(out[0]);
    errReader.join();
    feeder.join();
    ::CloseHandle(out[0]);
    ::CloseHandle(err[0]);
    ::WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    ::GetExitCodeProcess(process.hProcess, &code);
    ::CloseHandle(process.hProcess);
    r.exitCode = int(code);
    return r;
}

} // namespace test_support
#endif
