#include "parse/text_scan.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace vantrel {

bool IsBlank(char c) { return c != '\0' && static_cast<signed char>(c) < 33; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Unsigned arithmetic wraps without undefined behaviour: the result is the
// value modulo 2^64, read as signed.
int64_t ParseInt64(const char* text) {
    const char* p = text;
    while (IsBlank(*p)) ++p;
    const bool negative = *p == '-';
    if (negative) ++p;
    uint64_t value = 0;
    while (IsDigit(*p)) {
        value = value * 10u + static_cast<uint64_t>(*p - '0');
        ++p;
    }
    if (negative) value = 0u - value;
    return static_cast<int64_t>(value);
}

int32_t FindSubstring(const char* needle, const char* haystack) {
    const size_t n = std::strlen(needle);
    const size_t m = std::strlen(haystack);
    size_t i = 0;
    for (;;) {
        while (i < m && haystack[i] != needle[0]) ++i;
        if (i + n > m) return -1;
        if (n == 0) return static_cast<int32_t>(i);
        if (std::memcmp(needle + 1, haystack + i + 1, n - 1) == 0) return static_cast<int32_t>(i);
        ++i;
    }
}

int32_t CopyField(char* destination, const char* source, size_t size) {
    if (size > 0) std::memset(destination, 0, size);
    int32_t length = 0;
    for (const char* p = source; *p != '\0' && *p != '\n' && *p != '\r' && *p != ','; ++p) {
        if (size > 0 && static_cast<size_t>(length) < size - 1) destination[length] = *p;
        ++length;
    }
    return length;
}

bool StartsWithClockTime(const char* text) {
    // Checking each position in turn stops at the terminator, so a short text
    // is never read past its end.
    static constexpr char kShape[] = "dd:dd:dd";
    for (int i = 0; i < 8; ++i) {
        const char c = text[i];
        if (c == '\0') return false;
        if (kShape[i] == 'd' ? !IsDigit(c) : c != ':') return false;
    }
    return true;
}

int64_t ParseClockTime(const char* text) {
    if (!StartsWithClockTime(text)) return 0;
    const int64_t hours = (text[0] - '0') * 10 + (text[1] - '0');
    const int64_t minutes = (text[3] - '0') * 10 + (text[4] - '0');
    // The seconds are the whole run of digits, as a 32-bit value. An absurdly
    // long run saturates rather than wrap into a negative time.
    int64_t seconds = 0;
    const char* p = text + 6;
    while (IsDigit(*p)) {
        seconds = std::min<int64_t>(seconds * 10 + (*p - '0'), INT32_MAX);
        ++p;
    }
    return (hours * 60 + minutes) * 60 + seconds;
}

int64_t ParseClockHundredths(const char* text) {
    if (!StartsWithClockTime(text)) return 0;
    int64_t hundredths = ParseClockTime(text) * 100;
    const char* p = text + 6;
    while (IsDigit(*p)) ++p;
    if (*p == '.' && IsDigit(p[1])) {
        hundredths += (p[1] - '0') * 10;
        if (IsDigit(p[2])) hundredths += p[2] - '0';
    }
    return hundredths;
}

}  // namespace vantrel
