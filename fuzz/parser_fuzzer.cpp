// Feeds arbitrary encoder output through the line chunker in reads of a
// chosen size and in full reads: the parser must end in the same state.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "tests/chunked_run.h"

using namespace vantrel;

// Input: two bytes choosing the read size (1..511), then the encoder's text.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const size_t readSize = 1 + ((static_cast<size_t>(data[0]) << 8) | data[1]) % 511;
    const std::string output(reinterpret_cast<const char*>(data) + 2, size - 2);
    const testing::Outcome whole = testing::RunThroughChunker(output, LineChunker::kMaxChunk);
    if (testing::RunThroughChunker(output, readSize) != whole || whole.duration < 0) std::abort();
    for (const auto& [field, text] : whole.panel)  // a panel field holds at most 255 bytes
        if (text.size() > 255) std::abort();
    return 0;
}
