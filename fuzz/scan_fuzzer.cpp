// The scanning primitives on arbitrary text, checked against plain references.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "text_scan.h"

using namespace vantrel;

// Input: one byte splitting the rest into a needle and a haystack.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const std::string text(std::string(reinterpret_cast<const char*>(data) + 1, size - 1).c_str());
    const size_t split = data[0] % (text.size() + 1);
    const std::string needle = text.substr(0, split);
    const std::string haystack = text.substr(split);

    // An empty needle is "found" at the end of the haystack.
    const size_t expected = needle.empty() ? haystack.size() : haystack.find(needle);
    const int32_t found = FindSubstring(needle.c_str(), haystack.c_str());
    if (expected == std::string::npos ? found != -1 : found != static_cast<int32_t>(expected)) {
        std::abort();
    }

    char field[16];
    const int32_t length = CopyField(field, text.c_str(), sizeof field);
    if (length != static_cast<int32_t>(std::strcspn(text.c_str(), ",\r\n"))) std::abort();
    if (field[sizeof field - 1] != '\0' || text.compare(0, std::strlen(field), field) != 0) {
        std::abort();
    }

    (void)ParseInt64(text.c_str());
    const int64_t seconds = ParseClockTime(text.c_str());
    const int64_t hundredths = ParseClockHundredths(text.c_str());
    if (seconds < 0 || hundredths / 100 != seconds) std::abort();
    if (!StartsWithClockTime(text.c_str()) && hundredths != 0) std::abort();
    return 0;
}
