// A page file that fails on request, wrapped around another one: the Nth write or flush throws,
// the Nth write lands damaged, the file changes under its reader, or the power fails: every write
// since the last flush is lost, and the write in progress lands not at all, in part (whole
// 512-byte sectors from its start) or entirely. Tests drive the engine's error and crash paths
// with it.
#pragma once
#include "jet/page_file.h"

#include <optional>
#include <vector>

namespace jet {

// Thrown by a FaultPageFile when the simulated power fails. Not a jet::Error: nothing in the
// engine may catch it and go on as if the write had happened.
struct PowerCut {};

class FaultPageFile final : public PageFile {
public:
    explicit FaultPageFile(std::unique_ptr<PageFile> inner);
    ~FaultPageFile() override;

    bool writable() const override { return inner_->writable() && !readOnly_; }
    uint64_t sizeBytes() const override;

    // Counting starts at 1 with the next call; 0 switches the fault off.
    void failWrite(int n) { failWrite_ = writes_ + n; }
    void failFlush(int n) { failFlush_ = flushes_ + n; }
    void damageWrite(int n) { damageWrite_ = writes_ + n; } // one byte of it lands flipped
    // The content changes (as far as the modification stamp tells) when the Nth read starts.
    void changeAtRead(int n) { changeRead_ = reads_ + n; }
    // The power fails at the Nth write: the writes since the last flush are lost and `sectors`
    // 512-byte sectors of that write land (none by default; 8 lands a whole page). PowerCut is
    // thrown then and by every later call.
    void cutPowerAtWrite(int n, size_t sectors = 0) {
        cutWrite_ = writes_ + n;
        cutSectors_ = sectors;
    }
    // Reports itself read-only: every write is refused as for a file opened for reading.
    void makeReadOnly() { readOnly_ = true; }

    int writes() const { return writes_; }
    int flushes() const { return flushes_; }
    bool powerFailed() const { return dead_; }
    // The wrapped file's bytes as they are now (after a power cut: what the disk kept).
    Bytes contents() const;

protected:
    void readAt(uint64_t offset, uint8_t* dst, size_t length) const override;
    void writeAt(uint64_t offset, const uint8_t* src, size_t length) override;
    void truncateTo(uint64_t size) override;
    void sync() override;
    uint64_t stamp() const override;

private:
    struct Undo {
        uint64_t offset;
        Bytes before; // the bytes the write replaced inside the file
    };
    void checkAlive() const;
    void powerFails(uint64_t offset, const uint8_t* src, size_t length);

    std::unique_ptr<PageFile> inner_;
    bool readOnly_ = false;
    bool dead_ = false;
    int writes_ = 0, flushes_ = 0;
    mutable int reads_ = 0;
    int failWrite_ = 0, failFlush_ = 0, damageWrite_ = 0, cutWrite_ = 0;
    mutable int changeRead_ = 0;
    mutable uint64_t changes_ = 0;
    size_t cutSectors_ = 0;
    uint64_t durableSize_ = 0;
    std::vector<Undo> undo_; // writes since the last flush, oldest first
};

} // namespace jet
