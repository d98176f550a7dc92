// libFuzzer entry: any bytes as a database file, read in full. A jet::Error is the expected
// outcome for damaged input; a crash, sanitizer report, hang or other exception is a bug.
#include "jet/error.h"
#include "jet/read_all.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        jet::readWholeDatabase(data, size);
    } catch (const jet::Error&) {
    }
    return 0;
}
