// Makes the engine see chosen files as read-only, through its page-file seam and without touching
// them on disk: refusal tests then hold when the tests run as root (permissions do not bind root).
#pragma once
#include <filesystem>
#include <vector>

namespace test_support {

class ReadOnlyFiles {
public:
    explicit ReadOnlyFiles(std::vector<std::filesystem::path> files);
    ~ReadOnlyFiles(); // restores how files were opened before
    ReadOnlyFiles(const ReadOnlyFiles&) = delete;
    ReadOnlyFiles& operator=(const ReadOnlyFiles&) = delete;
    // The files are writable again from the next open on.
    void release();

private:
    bool active_ = false;
};

} // namespace test_support
