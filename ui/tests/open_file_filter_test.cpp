#include "open_file_filter.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

struct FilterCase {
    const char* filter;
    const char* expected;
};

TEST(OpenFileFilter, EachPatternGainsItsUpperCaseForm) {
    const FilterCase cases[] = {
        {kOpenFileFilter,
         "Movie Files|*.mpeg;*.MPEG;*.mpg;*.MPG;*.mp4;*.MP4;*.mpe;*.MPE;*.wmv;*.WMV;*.avi;*.AVI;"
         "*.mov;*.MOV;*.d3v;*.D3V|All Files (*.*)|*.*"},
        {"Only|*.Mov", "Only|*.Mov;*.MOV"},  // descriptions are left as they are
        {"Upper|*.AVI;*", "Upper|*.AVI;*"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(WithUpperCasePatterns(c.filter), c.expected) << c.filter;
}

}  // namespace
}  // namespace vantrel
