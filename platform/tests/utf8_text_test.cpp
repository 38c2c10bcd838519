// Texts as the windows show them: a name in an old single-byte encoding shows,
// its unknown letters marked, rather than not at all.
#include "platform/utf8_text.h"

#include <gtest/gtest.h>

#include <utility>

namespace vantrel {
namespace {

TEST(ValidUtf8, EachByteOutsideAWellFormedSequenceIsMarked) {
    const std::string mark = "\xEF\xBF\xBD";
    const std::pair<std::string, std::string> cases[] = {
        {"Trip.avi", "Trip.avi"},
        {"Caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x8E\xAC", "Caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x8E\xAC"},
        {"Caf\xE9.avi", "Caf" + mark + ".avi"},                  // Latin-1
        {"\xC3", mark},                                           // cut short at the end
        {"\xC3(", mark + "("},                                    // cut short before another
        {"\xC0\xAF", mark + mark},                                // overlong
        {"\xE0\x80\xAF", mark + mark + mark},                     // overlong, three bytes
        {"\xED\xA0\x80", mark + mark + mark},                     // a surrogate
        {"\xF4\x90\x80\x80", mark + mark + mark + mark},          // past U+10FFFF
        {"\x80\xBF", mark + mark},                                // continuations alone
        {std::string("a\0b", 3), std::string("a\0b", 3)},
    };
    for (const auto& [text, shown] : cases) EXPECT_EQ(ValidUtf8(text), shown) << text;
}

}  // namespace
}  // namespace vantrel
