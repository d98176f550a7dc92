// Page I/O: a POSIX file or a memory buffer behind one page-cached interface.
#include "jet/page_file.h"

#include "jet/bounded_lock.h"
#include "jet/format.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace jet {

using format::kPageSize;

uint32_t PageFile::pageCount() const {
    if (size_ == kUnknownSize) size_ = sizeBytes();
    uint64_t pages = std::max<uint64_t>(size_ / kPageSize, heldEnd_);
    return pages > 0xFFFFFF ? 0xFFFFFF : uint32_t(pages); // row pointers hold 24-bit page numbers
}

const Bytes& PageFile::page(uint32_t number) const {
    auto it = cache_.find(number);
    if (it != cache_.end()) return it->second;
    if (number >= pageCount())
        throw PageMissingError(name_, number, pageCount());
    // Table scans read pages mostly in ascending order: fetch the following uncached pages in
    // the same call (one system call instead of dozens).
    uint32_t count = 1;
    auto next = cache_.upper_bound(number);
    uint32_t limit = next == cache_.end() ? pageCount() : next->first;
    while (count < kReadAhead && number + count < limit) ++count;
    readBuffer_.resize(size_t(count) * kPageSize);
    readAt(uint64_t(number) * kPageSize, readBuffer_.data(), readBuffer_.size());
    auto hint = cache_.end();
    for (uint32_t i = count; i-- > 0;)
        hint = cache_.emplace_hint(hint, number + i, Bytes(readBuffer_.begin() + i * kPageSize,
                                                           readBuffer_.begin() + (i + 1) * kPageSize));
    return hint->second;
}

ByteView PageFile::view(uint32_t number) const {
    const Bytes& bytes = page(number);
    // Short enough to stay in the string's inline buffer: views are made for every row read.
    // The facade adds the file name to messages.
    return ByteView(bytes.data(), bytes.size(), "page " + std::to_string(number));
}

void PageFile::noteOwnWrite() {
    unsynced_ = true;
    size_ = kUnknownSize;
    lastOwnWrite_ = std::chrono::steady_clock::now();
    stamp_ = stamp();
    ++generation_;
}

void PageFile::writePage(uint32_t number, const Bytes& bytes, WriteStage stage) {
    if (!writable()) throw Error(name_ + ": the file is open read-only");
    if (bytes.size() != kPageSize)
        throw Error("internal: page " + std::to_string(number) + " written with " +
                    std::to_string(bytes.size()) + " bytes");
    if (number > pageCount())
        throw Error(name_ + ": page " + std::to_string(number) + " written past the end of the file");
    if (holding_) {
        auto it = held_.find(number);
        if (it != held_.end() && it->second != stage) writeHeld();
        held_[number] = stage;
        heldEnd_ = std::max(heldEnd_, number + 1);
        cache_[number] = bytes;
        ++generation_;
        return;
    }
    writeAt(uint64_t(number) * kPageSize, bytes.data(), kPageSize);
    cache_[number] = bytes;
    noteOwnWrite();
}

const WriteStage* PageFile::heldStage(uint32_t number) const {
    auto it = held_.find(number);
    return it == held_.end() ? nullptr : &it->second;
}

void PageFile::holdWrites(bool on) {
    if (!on) writeHeld();
    holding_ = on;
}

void PageFile::writeHeld() {
    if (held_.empty()) return;
    // Stage by stage, pages in ascending order (pages past the end are appended in turn), each
    // stage flushed before the next one starts.
    for (auto stage : {WriteStage::Data, WriteStage::Claim, WriteStage::Maps, WriteStage::Switch, WriteStage::Free}) {
        bool any = false;
        for (auto it = held_.begin(); it != held_.end();) {
            if (it->second != stage) {
                ++it;
                continue;
            }
            writeAt(uint64_t(it->first) * kPageSize, cache_.at(it->first).data(), kPageSize);
            any = true;
            it = held_.erase(it);
            if (held_.empty()) heldEnd_ = 0;
            noteOwnWrite();
        }
        // Freed data is needed by nothing that follows: its writes wait for the next flush.
        if (any && stage != WriteStage::Free) {
            sync();
            unsynced_ = false;
        }
    }
    heldEnd_ = 0;
}

void PageFile::flush() {
    writeHeld();
    if (!unsynced_) return;
    sync();
    unsynced_ = false;
}

void PageFile::readPages(uint32_t first, uint32_t count, uint8_t* dst) const {
    if (uint64_t(first) + count > pageCount())
        throw Error(name_ + ": pages " + std::to_string(first) + ".." + std::to_string(uint64_t(first) + count - 1) +
                    " lie past the end of the file (" + std::to_string(pageCount()) + " pages)");
    readAt(uint64_t(first) * kPageSize, dst, size_t(count) * kPageSize);
}

void PageFile::writePages(uint32_t first, uint32_t count, const uint8_t* src) {
    if (!writable()) throw Error(name_ + ": the file is open read-only");
    if (holding_) writeHeld();
    if (first > pageCount())
        throw Error(name_ + ": page " + std::to_string(first) + " written past the end of the file");
    writeAt(uint64_t(first) * kPageSize, src, size_t(count) * kPageSize);
    cache_.erase(cache_.lower_bound(first), cache_.lower_bound(first + count));
    noteOwnWrite();
}

void PageFile::truncatePages(uint32_t pages) {
    if (!writable()) throw Error(name_ + ": the file is open read-only");
    writeHeld();
    truncateTo(uint64_t(pages) * kPageSize);
    cache_.erase(cache_.lower_bound(pages), cache_.end());
    noteOwnWrite();
}

bool PageFile::refresh() {
    uint64_t now = stamp();
    // An unchanged stamp proves nothing while the file's modification time is this recent and
    // the last change was not ours: another process may have written within the same tick.
    bool ownRecentWrite = std::chrono::steady_clock::now() - lastOwnWrite_ < std::chrono::seconds(2);
    bool unsure = modifiedJustNow() && !ownRecentWrite;
    if (stampKnown_ && now == stamp_ && !unsure) return false;
    // Held pages are this object's own writes: they reach the file before the cache is dropped.
    if (!held_.empty()) {
        writeHeld();
        now = stamp();
    }
    bool changed = stampKnown_;
    stampKnown_ = true;
    stamp_ = now;
    size_ = kUnknownSize;
    if (changed) {
        cache_.clear();
        ++generation_;
    }
    return changed;
}

namespace {

std::string systemError(const std::string& path, const std::string& action) {
    return path + ": cannot " + action + " (" + std::strerror(errno) + ")";
}

// Linux does not make a buffered read atomic against a concurrent write of the same page: ext4
// copies page-cache pages out to a reader without taking the writer's locks, so a reader could
// see half of a page write. Readers and writers of this program therefore hold an
// open-file-description lock on the byte range for the one system call: shared to read,
// exclusive to write. Where the file system refuses locks the call goes ahead unlocked; a range
// that another program keeps locked is refused after a bounded wait (bounded_lock.h).
class RangeLock {
public:
    RangeLock(int fd, short type, uint64_t offset, size_t length, const std::string& path)
        : fd_(fd), offset_(offset), length_(length), locked_(lockRange(fd, type, offset, length, path)) {}
    ~RangeLock() {
        if (locked_) unlockRange(fd_, offset_, length_);
    }
    RangeLock(const RangeLock&) = delete;
    RangeLock& operator=(const RangeLock&) = delete;

private:
    int fd_;
    uint64_t offset_;
    size_t length_;
    bool locked_;
};

class PosixPageFile final : public PageFile {
public:
    PosixPageFile(const std::string& path, int fd, bool writable)
        : PageFile(path), fd_(fd), writable_(writable) {}
    ~PosixPageFile() override { ::close(fd_); } // closing the descriptor drops its locks
    // A shared lock over the file's bytes, kept until the file is closed (only the bytes: Jet
    // places its locks beyond the end of the file, and those must not be waited for); the reads
    // then take no range locks of their own (unlocking a range would cut a hole into this one).
    void holdReadLock() {
        uint64_t size = sizeBytes();
        if (size > 0) bytesLocked_ = lockRange(fd_, F_RDLCK, 0, size, name());
    }

    bool writable() const override { return writable_; }
    uint64_t sizeBytes() const override {
        struct stat st {};
        if (::fstat(fd_, &st) != 0) throw Error(systemError(name(), "read the file's size"));
        return uint64_t(st.st_size);
    }

protected:
    void sync() override {
        if (writable_ && ::fsync(fd_) != 0) throw Error(systemError(name(), "flush the file"));
    }
    void readAt(uint64_t offset, uint8_t* dst, size_t length) const override {
        std::optional<RangeLock> lock;
        if (!bytesLocked_) lock.emplace(fd_, F_RDLCK, offset, length, name());
        size_t done = 0;
        while (done < length) {
            ssize_t n = ::pread(fd_, dst + done, length - done, off_t(offset + done));
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) throw Error(systemError(name(), "read"));
            if (n == 0) throw Error(name() + ": the file ended while reading (it was truncated?)");
            done += size_t(n);
        }
    }
    void writeAt(uint64_t offset, const uint8_t* src, size_t length) override {
        RangeLock lock(fd_, F_WRLCK, offset, length, name());
        size_t done = 0;
        while (done < length) {
            ssize_t n = ::pwrite(fd_, src + done, length - done, off_t(offset + done));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) throw Error(systemError(name(), "write"));
            done += size_t(n);
        }
    }
    void truncateTo(uint64_t size) override {
        if (::ftruncate(fd_, off_t(size)) != 0) throw Error(systemError(name(), "shorten the file"));
    }
    bool modifiedJustNow() const override {
        struct stat st {};
        if (::fstat(fd_, &st) != 0) return true;
        timespec now{};
        ::clock_gettime(CLOCK_REALTIME, &now);
        return now.tv_sec - st.st_mtim.tv_sec < 2;
    }
    uint64_t stamp() const override {
        struct stat st {};
        if (::fstat(fd_, &st) != 0) return 0;
        uint64_t mtime = uint64_t(st.st_mtim.tv_sec) * 1000000000ull + uint64_t(st.st_mtim.tv_nsec);
        return mtime * 1099511628211ull ^ uint64_t(st.st_size) ^ (uint64_t(st.st_ino) << 20);
    }

private:
    int fd_;
    bool writable_;
    bool bytesLocked_ = false;
};

class MemoryPageFile final : public PageFile {
public:
    MemoryPageFile(Bytes contents, std::string name, bool writable)
        : PageFile(std::move(name)), data_(std::move(contents)), writable_(writable) {}
    bool writable() const override { return writable_; }
    uint64_t sizeBytes() const override { return data_.size(); }

protected:
    void readAt(uint64_t offset, uint8_t* dst, size_t length) const override {
        if (offset > data_.size() || length > data_.size() - offset)
            throw Error(name() + ": the file ended while reading");
        std::memcpy(dst, data_.data() + offset, length);
    }
    void writeAt(uint64_t offset, const uint8_t* src, size_t length) override {
        if (offset + length > data_.size()) data_.resize(offset + length);
        std::memcpy(data_.data() + offset, src, length);
    }
    void truncateTo(uint64_t size) override { data_.resize(size); }

private:
    Bytes data_;
    bool writable_;
};

Error notWritable(const std::string& path) {
    return Error(path + ": cannot be opened for writing (read-only or no permission)");
}

int openDatabaseFile(const std::string& path, bool writable) {
    if (path.empty()) throw Error("no database file was given");
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        if (errno == ENOENT) throw Error(path + ": the file does not exist");
        throw Error(systemError(path, "open the file"));
    }
    if (S_ISDIR(st.st_mode)) throw Error(path + ": is a folder, not a database file");
    if (!S_ISREG(st.st_mode)) throw Error(path + ": is not a regular file");
    int fd = ::open(path.c_str(), (writable ? O_RDWR : O_RDONLY) | O_CLOEXEC);
    if (fd < 0) {
        if (writable && (errno == EACCES || errno == EROFS || errno == EPERM)) throw notWritable(path);
        throw Error(systemError(path, "open the file"));
    }
    return fd;
}

PageFileOpener& opener() {
    static PageFileOpener current;
    return current;
}

} // namespace

std::unique_ptr<PageFile> openDiskPageFile(const std::string& path, bool writable) {
    return std::make_unique<PosixPageFile>(path, openDatabaseFile(path, writable), writable);
}

std::unique_ptr<PageFile> openPageFile(const std::string& path, bool writable) {
    if (!opener()) return openDiskPageFile(path, writable);
    std::unique_ptr<PageFile> file = opener()(path, writable);
    if (writable && !file->writable()) throw notWritable(path);
    return file;
}

PageFileOpener setPageFileOpener(PageFileOpener replacement) {
    PageFileOpener previous = std::move(opener());
    opener() = std::move(replacement);
    return previous;
}

std::unique_ptr<PageFile> openPageFileForCopy(const std::string& path) {
    auto file = std::make_unique<PosixPageFile>(path, openDatabaseFile(path, false), false);
    file->holdReadLock();
    return file;
}

std::unique_ptr<PageFile> createPageFile(const std::string& path) {
    if (path.empty()) throw Error("no file name was given");
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        if (errno == EEXIST) throw Error(path + ": the file already exists");
        throw Error(systemError(path, "create the file"));
    }
    return std::make_unique<PosixPageFile>(path, fd, true);
}

std::unique_ptr<PageFile> memoryPageFile(Bytes contents, std::string name, bool writable) {
    return std::make_unique<MemoryPageFile>(std::move(contents), std::move(name), writable);
}

} // namespace jet
