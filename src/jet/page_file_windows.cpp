// Page I/O on Windows: ReadFile/WriteFile at explicit offsets on a file HANDLE, FlushFileBuffers
// for durability.
//
// A write session (a page file opened for writing, or a new file) holds its file with share mode
// 0: while it lives no other program can open the file, and any program that has it open (Jet,
// shared or exclusive) makes the open fail with a sharing violation, which is reported as the
// file being in use. So the check and the writes cannot race, and writes need no byte-range locks.
//
// This program keeps read handles of its own (each pane's connection, the copy source of a
// compaction), opened with FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE like Jet's
// deny-none opens, and it opens a write session while they stay open. Share mode 0 would refuse
// them as it refuses anyone. So a write session first closes the read handles this process has
// on the same file (found by volume and file index, not by name), and while it lives those page
// files read through the session's handle: they see its writes at once, and no handle of this
// process competes with the session. When the last session of the file ends, they reopen their
// own deny-none handles on their next read. A second write session of the same file in this
// process shares the first one's file object (a duplicated handle) instead of opening again.
// Reads and writes take no byte-range locks here: Windows locks are mandatory, and a lock held
// for a read would make another program's write of the same bytes fail instead of wait.
#ifdef _WIN32
#include "jet/page_file.h"

#include "jet/bounded_lock.h"
#include "jet/in_use.h"
#include "jet/windows_sessions.h"
#include "jet/windows_text.h"

#include <algorithm>
#include <mutex>
#include <optional>
#include <vector>
#include <windows.h>

namespace jet {

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

struct FileKey {
    DWORD volume = 0;
    uint64_t index = 0;
    bool operator==(const FileKey&) const = default;
};

std::optional<FileKey> keyOf(HANDLE handle) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(handle, &info)) return std::nullopt;
    return FileKey{info.dwVolumeSerialNumber, (uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

// The identity of the file at `path`, read through a handle that asks for attributes only: such
// an open takes part in no share-mode check, so it works while a write session holds the file.
std::optional<FileKey> keyOf(const std::wstring& path) {
    HANDLE handle = ::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
    std::optional<FileKey> key = keyOf(handle);
    ::CloseHandle(handle);
    return key;
}

enum class Role : uint8_t {
    Reader,     // deny-none, closed while a write session of this process holds the file
    CopySource, // deny-write, kept: nothing may change the file while it is copied
    Writer,     // share mode 0
};

class WindowsPageFile;

// Every disk page file of this process, so that a write session finds the read handles of its file.
struct Registry {
    std::mutex mutex;
    std::vector<WindowsPageFile*> files;
};

Registry& registry() {
    static Registry instance;
    return instance;
}

std::string systemError(const std::string& path, const std::string& action) {
    return path + ": cannot " + action + " (" + windows::errorText(::GetLastError()) + ")";
}

class WindowsPageFile final : public PageFile {
public:
    // Takes over `handle`; the caller holds the registry's mutex.
    WindowsPageFile(const std::string& path, HANDLE handle, Role role, FileKey key)
        : PageFile(path), handle_(handle), role_(role), key_(key), widePath_(windows::widePath(path)) {
        registry().files.push_back(this);
    }
    ~WindowsPageFile() override {
        std::lock_guard<std::mutex> lock(registry().mutex);
        auto& files = registry().files;
        files.erase(std::remove(files.begin(), files.end(), this), files.end());
        if (handle_ != INVALID_HANDLE_VALUE) ::CloseHandle(handle_); // closing the handle drops its locks
    }

    Role role() const { return role_; }
    const FileKey& key() const { return key_; }
    HANDLE ownHandle() const { return handle_; }
    // A reader gives its handle up for a write session of this process on its file.
    void closeForSession() {
        if (handle_ != INVALID_HANDLE_VALUE) ::CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }
    // A shared lock over the file's bytes for a copy source, kept until the file is closed (only
    // the bytes: Jet places its locks beyond the end of the file).
    void holdReadLock() {
        const uint64_t size = sizeBytes();
        if (size > 0) lockRange(handle_, LockKind::Shared, 0, size, name());
    }

    bool writable() const override { return role_ == Role::Writer; }
    uint64_t sizeBytes() const override {
        LARGE_INTEGER size{};
        if (!::GetFileSizeEx(handle(), &size)) throw Error(systemError(name(), "read the file's size"));
        return uint64_t(size.QuadPart);
    }

protected:
    void sync() override {
        if (writable() && !::FlushFileBuffers(handle_)) throw Error(systemError(name(), "flush the file"));
    }
    void readAt(uint64_t offset, uint8_t* dst, size_t length) const override {
        const HANDLE file = handle();
        size_t done = 0;
        while (done < length) {
            OVERLAPPED at = position(offset + done);
            DWORD n = 0;
            const DWORD chunk = DWORD(std::min<size_t>(length - done, 1u << 30));
            if (!::ReadFile(file, dst + done, chunk, &n, &at) && ::GetLastError() != ERROR_HANDLE_EOF)
                throw Error(systemError(name(), "read"));
            if (n == 0) throw Error(name() + ": the file ended while reading (it was truncated?)");
            done += n;
        }
    }
    void writeAt(uint64_t offset, const uint8_t* src, size_t length) override {
        size_t done = 0;
        while (done < length) {
            OVERLAPPED at = position(offset + done);
            DWORD n = 0;
            const DWORD chunk = DWORD(std::min<size_t>(length - done, 1u << 30));
            if (!::WriteFile(handle_, src + done, chunk, &n, &at) || n == 0) throw Error(systemError(name(), "write"));
            done += n;
        }
    }
    void truncateTo(uint64_t size) override {
        LARGE_INTEGER to{};
        to.QuadPart = LONGLONG(size);
        if (!::SetFilePointerEx(handle_, to, nullptr, FILE_BEGIN) || !::SetEndOfFile(handle_))
            throw Error(systemError(name(), "shorten the file"));
    }
    bool modifiedJustNow() const override {
        BY_HANDLE_FILE_INFORMATION info{};
        if (!::GetFileInformationByHandle(handle(), &info)) return true;
        FILETIME now{};
        ::GetSystemTimeAsFileTime(&now);
        constexpr uint64_t kTwoSeconds = 2 * 10000000ull; // in FILETIME's 100 ns ticks
        return ticks(now) - ticks(info.ftLastWriteTime) < kTwoSeconds;
    }
    uint64_t stamp() const override {
        BY_HANDLE_FILE_INFORMATION info{};
        if (!::GetFileInformationByHandle(handle(), &info)) return 0;
        const uint64_t size = (uint64_t(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
        const uint64_t index = (uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
        return ticks(info.ftLastWriteTime) * 1099511628211ull ^ size ^ (index << 20);
    }

private:
    static OVERLAPPED position(uint64_t offset) {
        OVERLAPPED at{};
        at.Offset = DWORD(offset);
        at.OffsetHigh = DWORD(offset >> 32);
        return at;
    }
    static uint64_t ticks(const FILETIME& time) { return (uint64_t(time.dwHighDateTime) << 32) | time.dwLowDateTime; }

    // The handle to do I/O with: a reader's file held by a write session of this process is read
    // through the session's handle; a reader whose handle was closed for a session that has ended
    // opens its file again.
    HANDLE handle() const;

    mutable HANDLE handle_;
    Role role_;
    FileKey key_;
    std::wstring widePath_;
};

WindowsPageFile* writerOf(const FileKey& key) {
    for (WindowsPageFile* f : registry().files)
        if (f->role() == Role::Writer && f->key() == key) return f;
    return nullptr;
}

HANDLE WindowsPageFile::handle() const {
    if (role_ != Role::Reader) return handle_;
    std::lock_guard<std::mutex> lock(registry().mutex);
    if (const WindowsPageFile* session = writerOf(key_)) return session->ownHandle();
    if (handle_ == INVALID_HANDLE_VALUE) {
        handle_ = ::CreateFileW(widePath_.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle_ == INVALID_HANDLE_VALUE) throw Error(systemError(name(), "open the file again after writing"));
    }
    return handle_;
}

// Throws the error for the user for an open that failed with `error` (its GetLastError()).
[[noreturn]] void throwOpenFailure(const std::string& path, DWORD error, Role role) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        throw Error(ErrorKind::FileMissing, {path}, path + ": the file does not exist");
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        if (role == Role::Reader)
            throw Error(path + ": another program has the file open exclusively; it cannot be read until it is "
                               "closed there");
        throw openByAnotherProgram(path);
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
        if (role == Role::Writer) throw notWritableError(path);
        break;
    default:
        break;
    }
    throw Error(path + ": cannot open the file (" + windows::errorText(error) + ")");
}

void requireFile(const std::string& path, const std::wstring& wide) {
    if (path.empty()) throw Error("no database file was given");
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            throw Error(ErrorKind::FileMissing, {path}, path + ": the file does not exist");
        throw Error(path + ": cannot open the file (" + windows::errorText(error) + ")");
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) throw Error(path + ": is a folder, not a database file");
}

std::unique_ptr<WindowsPageFile> openExisting(const std::string& path, Role role) {
    const std::wstring wide = windows::widePath(path);
    requireFile(path, wide);
    DWORD error = 0;
    {
        std::lock_guard<std::mutex> lock(registry().mutex);
        const std::optional<FileKey> key = keyOf(wide);
        WindowsPageFile* session = key ? writerOf(*key) : nullptr;
        if (session && role == Role::Reader)
            return std::make_unique<WindowsPageFile>(path, INVALID_HANDLE_VALUE, role, *key);
        if (session && role == Role::Writer) {
            HANDLE self = ::GetCurrentProcess(), copy = INVALID_HANDLE_VALUE;
            if (!::DuplicateHandle(self, session->ownHandle(), self, &copy, 0, FALSE, DUPLICATE_SAME_ACCESS))
                throw Error(systemError(path, "open the file for writing"));
            return std::make_unique<WindowsPageFile>(path, copy, role, *key);
        }
        if (key && role == Role::Writer)
            for (WindowsPageFile* f : registry().files)
                if (f->key() == *key && f->role() == Role::Reader) f->closeForSession();
        const DWORD access = role == Role::Writer ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ;
        const DWORD share = role == Role::Writer ? 0 : role == Role::CopySource ? FILE_SHARE_READ : kShareAll;
        HANDLE handle =
            ::CreateFileW(wide.c_str(), access, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE) {
            const std::optional<FileKey> opened = keyOf(handle);
            return std::make_unique<WindowsPageFile>(path, handle, role, opened.value_or(key.value_or(FileKey{})));
        }
        error = ::GetLastError();
    }
    // Outside the registry's lock: naming the other user reads the lock file beside the database.
    throwOpenFailure(path, error, role);
}

} // namespace

std::unique_ptr<PageFile> openDiskPageFile(const std::string& path, bool writable) {
    return openExisting(path, writable ? Role::Writer : Role::Reader);
}

std::unique_ptr<PageFile> openPageFileForCopy(const std::string& path) {
    auto file = openExisting(path, Role::CopySource);
    file->holdReadLock();
    return file;
}

std::unique_ptr<PageFile> createPageFile(const std::string& path) {
    if (path.empty()) throw Error("no file name was given");
    std::lock_guard<std::mutex> lock(registry().mutex);
    HANDLE handle = ::CreateFileW(windows::widePath(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) throw Error(path + ": the file already exists");
        throw Error(path + ": cannot create the file (" + windows::errorText(error) + ")");
    }
    return std::make_unique<WindowsPageFile>(path, handle, Role::Writer, keyOf(handle).value_or(FileKey{}));
}

namespace windows {

bool ownWriteSessionHolds(const std::string& path) {
    const std::optional<FileKey> key = keyOf(widePath(path));
    if (!key) return false;
    std::lock_guard<std::mutex> lock(registry().mutex);
    return writerOf(*key) != nullptr;
}

} // namespace windows

} // namespace jet
#endif
