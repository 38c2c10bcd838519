#include "text_scan.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace vantrel {
namespace {

int64_t FieldLength(const std::string& source) {
    char destination[16];
    return CopyField(destination, source.c_str(), sizeof destination);
}

int64_t Fraction(const char* text) {
    int64_t fraction = -1;
    ParseClockTime(text, &fraction);
    return fraction;
}

TEST(TextScan, Primitives) {
    const struct {
        const char* what;
        int64_t actual;
        int64_t expected;
    } cases[] = {
        {"int after blanks, up to the point", ParseInt64("  -12.7"), -12},
        {"int: bytes above 0x7F are blanks", ParseInt64("\x80\xff" "9"), 9},
        {"int: no digit", ParseInt64("N/A"), 0},
        {"int wraps past 64 bits", ParseInt64("18446744073709551621"), 5},
        {"find: leftmost", FindSubstring("x", "abcxabcx"), 3},
        {"find: case counts", FindSubstring("time=", "Time=1"), -1},
        {"find: after a false start", FindSubstring("aab", "aaab"), 1},
        {"field ends at CR", FieldLength("12 fps\r\n"), 6},
        {"field cut short keeps its length", FieldLength(std::string(300, 'v') + ","), 300},
        {"clock: seconds", ParseClockTime("00:01:30.5"), 90},
        {"clock: fraction as written", Fraction("00:01:30.05"), 5},
        {"clock: two-digit hours only", ParseClockTime("0:01:30.5"), 0},
        {"clock: negative is none", ParseClockTime("-577014:32:22.77"), 0},
        {"clock: seconds saturate", ParseClockTime("00:00:99999999999"), INT32_MAX},
        {"hundredths: under a second", ParseClockHundredths("00:00:00.50"), 50},
        {"hundredths: one digit is tenths", ParseClockHundredths("00:01:30.5"), 9050},
        {"hundredths: two digits", ParseClockHundredths("00:00:20.04 bitrate"), 2004},
        {"hundredths: third digit dropped", ParseClockHundredths("00:01:30.059"), 9005},
        {"hundredths: no fraction", ParseClockHundredths("00:01:30, start"), 9000},
        {"hundredths: point without digits", ParseClockHundredths("00:01:30."), 9000},
        {"hundredths: no clock", ParseClockHundredths("N/A"), 0},
    };
    for (const auto& c : cases) EXPECT_EQ(c.actual, c.expected) << c.what;
}

}  // namespace
}  // namespace vantrel
