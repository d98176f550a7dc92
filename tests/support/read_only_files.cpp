#include "support/read_only_files.h"

#include "support/fault_page_file.h"
#include "jet/page_file.h"

#include <algorithm>

namespace test_support {

namespace {

std::filesystem::path identity(const std::filesystem::path& file) {
    std::error_code ec;
    auto canonical = std::filesystem::weakly_canonical(file, ec);
    return ec ? file : canonical;
}

} // namespace

ReadOnlyFiles::ReadOnlyFiles(std::vector<std::filesystem::path> files) : active_(true) {
    for (auto& f : files) f = identity(f);
    jet::setPageFileOpener([files](const std::string& path, bool writable) -> std::unique_ptr<jet::PageFile> {
        if (std::find(files.begin(), files.end(), identity(path)) == files.end())
            return jet::openDiskPageFile(path, writable);
        auto file = std::make_unique<jet::FaultPageFile>(jet::openDiskPageFile(path, false));
        file->makeReadOnly();
        return file;
    });
}

ReadOnlyFiles::~ReadOnlyFiles() { release(); }

void ReadOnlyFiles::release() {
    if (!active_) return;
    jet::setPageFileOpener({});
    active_ = false;
}

} // namespace test_support
