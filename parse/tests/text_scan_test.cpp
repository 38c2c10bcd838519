#include "text_scan.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace vantrel {
namespace {

struct Int64Case {
    const char* text;
    int64_t expected;
};

TEST(ParseInt64, ReadsSignedDecimalsAfterBlanks) {
    const Int64Case cases[] = {
        {"  -12.7", -12},
        {"", 0},
        {"   ", 0},
        {"-", 0},
        {"+5", 0},  // no plus sign is recognised
        {"abc", 0},
        {"42 kb/s", 42},
        {"\t\r\n7", 7},
        {"\x80\xff" "9", 9},  // bytes above 0x7F count as blanks
        {"00012", 12},
        {"9223372036854775807", INT64_MAX},
        // Beyond the 64-bit range the value wraps: 2^64 + 5 reads as 5.
        {"18446744073709551621", 5},
        {"-9223372036854775808", INT64_MIN},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseInt64(c.text), c.expected) << '"' << c.text << '"';
}

struct FindCase {
    const char* needle;
    const char* haystack;
    int32_t expected;
};

TEST(FindSubstring, FindsTheLeftmostExactOccurrence) {
    const FindCase cases[] = {
        {"abc", "abc", 0},
        {"abcd", "abc", -1},
        {"x", "abcxabcx", 3},
        {"", "hello", 5},  // an empty needle gives the haystack's length
        {"", "", 0},
        {"time=", "frame= 1 Time=00:00", -1},  // case counts
        {"time=", "x time=", 2},                // an occurrence ending at the end
        {"aab", "aaab", 1},
        {"bitrate", "", -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FindSubstring(c.needle, c.haystack), c.expected)
            << '"' << c.needle << "\" in \"" << c.haystack << '"';
    }
}

struct FieldCase {
    const char* source;
    int32_t length;
    const char* field;
};

TEST(CopyField, StopsAtCommaLineEndOrTerminator) {
    const FieldCase cases[] = {
        {",abc", 0, ""}, {"\rabc", 0, ""}, {"", 0, ""},          {"abc,def", 3, "abc"},
        {"ab\ncd", 2, "ab"}, {"12 fps\r\n", 6, "12 fps"}, {"a b c", 5, "a b c"},
    };
    for (const auto& c : cases) {
        char destination[16];
        std::memset(destination, 'Z', sizeof destination);
        EXPECT_EQ(CopyField(destination, c.source, sizeof destination), c.length) << c.source;
        EXPECT_STREQ(destination, c.field);
        for (size_t i = std::strlen(c.field); i < sizeof destination; ++i) {
            EXPECT_EQ(destination[i], '\0') << "byte " << i << " not cleared";
        }
    }
}

TEST(CopyField, LongFieldIsCutButItsFullLengthIsReturned) {
    const std::string longField(300, 'v');
    char destination[256];
    EXPECT_EQ(CopyField(destination, (longField + ",next").c_str(), sizeof destination), 300);
    EXPECT_EQ(std::string(destination), std::string(255, 'v'));
}

struct ClockCase {
    const char* text;
    int64_t seconds;
    int64_t fraction;
};

TEST(ParseClockTime, ReadsHoursMinutesSecondsAndRawFraction) {
    const ClockCase cases[] = {
        {"00:00:10", 10, 0},
        {"99:59:59", 359999, 0},
        {"00:01:30.5", 90, 5},
        {"00:01:30.05", 90, 5},  // the digits as written, not scaled
        {"00:00:123", 123, 0},   // seconds run on as long as there are digits
        {"00:01:30, 7", 90, 7},  // without a point the fraction is read from position 10
        {"00:01:30", 90, 0},
        {"00:75:99", 75 * 60 + 99, 0},  // no field is held to its range
        {"00:00:00.00", 0, 0},
        {"00:00:20.04 bitrate", 20, 4},
        {"00:00:99999999999", INT32_MAX, 9999999},  // saturates; the fraction starts at 10
    };
    for (const auto& c : cases) {
        int64_t fraction = -1;
        EXPECT_EQ(ParseClockTime(c.text, &fraction), c.seconds) << c.text;
        EXPECT_EQ(fraction, c.fraction) << c.text;
        EXPECT_EQ(ParseClockTime(c.text), c.seconds) << c.text;
    }
}

TEST(ParseClockTime, RejectsTextsThatAreNotClockTimes) {
    const char* const cases[] = {"1:23:45 and more", "0:01:30.5", "00:0", "", "N/A",
                                 "00-01-30", "-577014:32:22.77", "00:01:3x"};
    for (const char* text : cases) {
        EXPECT_EQ(ParseClockTime(text), 0) << text;
        EXPECT_FALSE(StartsWithClockTime(text)) << text;
    }
}

}  // namespace
}  // namespace vantrel
