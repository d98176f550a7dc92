// Replays the fuzz target's committed seeds (crash reproducers and hand-made damaged files) and
// the corpus through the same read-everything entry point: each input either reads in full or
// fails with jet::Error; nothing else may escape.
#include "jet/error.h"
#include "jet/read_all.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

fs::path seedDir() {
    const char* source = std::getenv("KANTELO_SOURCE_DIR");
    return fs::path(source ? source : ".") / "tests" / "fuzz" / "seeds";
}

TEST(FuzzSeeds, EverySeedReadsOrFailsCleanly) {
    ASSERT_TRUE(fs::is_directory(seedDir())) << seedDir();
    size_t seeds = 0;
    for (const auto& entry : fs::directory_iterator(seedDir())) {
        SCOPED_TRACE(entry.path().filename().string());
        auto bytes = readFile(entry.path());
        try {
            jet::readWholeDatabase(bytes.data(), bytes.size());
        } catch (const jet::Error& e) {
            EXPECT_STRNE(e.what(), "");
        }
        ++seeds;
    }
    EXPECT_GT(seeds, 0u);
}

TEST(FuzzSeeds, CorpusFilesReadInFull) {
    for (const auto& file : test_support::corpusFiles()) {
        SCOPED_TRACE(file.filename().string());
        auto bytes = readFile(file);
        EXPECT_NO_THROW(jet::readWholeDatabase(bytes.data(), bytes.size()));
    }
}

} // namespace
