#include "parse/text_scan.h"

#include <gtest/gtest.h>

#include <climits>
#include <tuple>

namespace vantrel {
namespace {

// FindSubstring and CopyField are held to plain references by the fuzzer.
TEST(TextScan, Primitives) {
    const std::tuple<const char*, int64_t, int64_t> cases[] = {
        {"int after blanks, up to the point", ParseInt64("  -12.7"), -12},
        {"int: bytes above 0x7F are blanks", ParseInt64("\x80\xff" "9"), 9},
        {"int wraps past 64 bits", ParseInt64("18446744073709551621"), 5},
        {"clock: seconds", ParseClockTime("00:01:30.5"), 90},
        {"clock: negative is none", ParseClockTime("-577014:32:22.77"), 0},
        {"clock: seconds saturate", ParseClockTime("00:00:99999999999"), INT32_MAX},
        {"clock: a hundred hours and more", ParseClockTime("100:00:01.00"), 360001},
        {"clock: one digit of hours", ParseClockTime("1:00:00"), 3600},
        {"clock: hours cut short", ParseClockTime("12:34"), 0},
        {"hundredths: under a second", ParseClockHundredths("00:00:00.50"), 50},
        {"hundredths: one digit is tenths", ParseClockHundredths("00:01:30.5"), 9050},
        {"hundredths: third digit dropped", ParseClockHundredths("00:01:30.059"), 9005},
        {"hundredths: no fraction", ParseClockHundredths("00:01:30, start"), 9000},
        {"hundredths: no clock", ParseClockHundredths("N/A"), 0},
        {"hundredths: past 99 hours", ParseClockHundredths("1234:05:06.07"), 444270607},
    };
    for (const auto& [what, actual, expected] : cases) EXPECT_EQ(actual, expected) << what;
}

}  // namespace
}  // namespace vantrel
