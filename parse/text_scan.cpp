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

namespace {

// Where the minutes begin in "H...H:MM:SS": past one or more digits of hours
// and their colon; 0 when the text does not start with that shape. Checking
// each position in turn stops at the terminator, so a short text is never
// read past its end.
size_t MinutesStart(const char* text) {
    size_t hours = 0;
    while (IsDigit(text[hours])) ++hours;
    if (hours == 0 || text[hours] != ':') return 0;
    static constexpr char kShape[] = "dd:dd";
    for (size_t i = 0; i < 5; ++i) {
        const char c = text[hours + 1 + i];
        if (c == '\0') return 0;
        if (kShape[i] == 'd' ? !IsDigit(c) : c != ':') return 0;
    }
    return hours + 1;
}

// A run of digits as a number that saturates at `limit` rather than wrap.
int64_t Saturated(const char*& p, int64_t limit) {
    int64_t value = 0;
    while (IsDigit(*p)) {
        value = std::min<int64_t>(value * 10 + (*p - '0'), limit);
        ++p;
    }
    return value;
}

}  // namespace

bool StartsWithClockTime(const char* text) { return MinutesStart(text) != 0; }

int64_t ParseClockTime(const char* text) {
    const size_t minutesAt = MinutesStart(text);
    if (minutesAt == 0) return 0;
    // Hours may have any number of digits (ffmpeg prints 100 hours as
    // "100:00:00.00"); the seconds are the whole run of digits. An absurdly
    // long run saturates rather than wrap into a negative time.
    const char* p = text;
    const int64_t hours = Saturated(p, INT32_MAX);
    const int64_t minutes = (text[minutesAt] - '0') * 10 + (text[minutesAt + 1] - '0');
    p = text + minutesAt + 3;
    const int64_t seconds = Saturated(p, INT32_MAX);
    return (hours * 60 + minutes) * 60 + seconds;
}

int64_t ParseClockHundredths(const char* text) {
    if (!StartsWithClockTime(text)) return 0;
    int64_t hundredths = ParseClockTime(text) * 100;
    const char* p = text + MinutesStart(text) + 3;
    while (IsDigit(*p)) ++p;
    if (*p == '.' && IsDigit(p[1])) {
        hundredths += (p[1] - '0') * 10;
        if (IsDigit(p[2])) hundredths += p[2] - '0';
    }
    return hundredths;
}

}  // namespace vantrel
