// Arbitrary encoder output: the parser must end in the same state whatever
// the read size, and the scanning primitives must agree with plain references.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "parse/tests/chunked_run.h"
#include "parse/text_scan.h"

using namespace vantrel;

void CheckPrimitives(const std::string& text, size_t split) {
    // An empty needle is "found" at the end of the haystack.
    const std::string needle = text.substr(0, split), haystack = text.substr(split);
    const size_t expected = needle.empty() ? haystack.size() : haystack.find(needle);
    if (FindSubstring(needle.c_str(), haystack.c_str()) != static_cast<int32_t>(expected)) std::abort();
    char field[16];
    const int32_t length = CopyField(field, text.c_str(), sizeof field);
    if (length != static_cast<int32_t>(std::strcspn(text.c_str(), ",\r\n")) ||
        field[sizeof field - 1] != '\0' || text.compare(0, std::strlen(field), field) != 0) {
        std::abort();
    }
    const int64_t hundredths = ParseClockHundredths(text.c_str());
    if (hundredths / 100 != ParseClockTime(text.c_str()) || hundredths < 0) std::abort();
}

// Input: two bytes choosing the read size (1..511) and where the needle ends,
// then the encoder's text.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const size_t choice = (static_cast<size_t>(data[0]) << 8) | data[1];
    const std::string output(reinterpret_cast<const char*>(data) + 2, size - 2);
    const std::string text(output.c_str());  // up to the first NUL, as C strings are read
    CheckPrimitives(text, choice % (text.size() + 1));
    const testing::Outcome whole = testing::RunThroughChunker(output, LineChunker::kMaxChunk);
    if (testing::RunThroughChunker(output, 1 + choice % 511) != whole || whole.duration < -1) {
        std::abort();
    }
    // Five panel fields of at most 255 bytes each, and their separators.
    if (whole.panel.size() > 5 * 256 || whole.why.size() > 255) std::abort();
    return 0;
}
