#include "target_naming.h"

#include <gtest/gtest.h>

#include "source_types.h"

namespace vantrel {
namespace {

struct NamingCase {
    const char* source;
    int result;
    const char* target;  // the stored target, or the untouched previous one
};

TEST(DeriveTargetPath, NamingRule) {
    const NamingCase cases[] = {
        {"/Movies/Trip.AVI", kTargetDerived, "/Movies/trip.d3v"},  // folders keep their case
        {"/m/clip.MPEG", kTargetDerived, "/m/clip.d3v"},
        {"/m/xmpeg", kTargetDerived, "/m/xd3v"},  // no dot needed before mpeg
        {"/m/clip.mpe", kTargetDerived, "/m/clip.d3v"},
        {"/m/Été.Mov", kTargetDerived, "/m/Été.d3v"},  // non-ASCII letters left alone
        {"/m/clip.wmv", kTargetDerived, "/m/clip.d3v"},
        {"/m/clip.m2v", kUnknownExtension, "previous"},
        {"/m/clip.d3v", kAlreadyTarget, "previous"},
        {"/m/clip.D3V", kAlreadyTarget, "previous"},
        {"/m/clip", kNoUsableExtension, "previous"},
        {"clip", kNoUsableExtension, "previous"},
        {"/m/clip.ts", kNoUsableExtension, "previous"},
        {"my.folder/clip", kNoUsableExtension, "previous"},
        {"a.b.c", kUnknownExtension, "previous"},
        {"", kNoUsableExtension, "previous"},
        {".avi", kTargetDerived, ".d3v"},
    };
    for (const auto& c : cases) {
        std::string target = "previous";
        EXPECT_EQ(DeriveTargetPath(target, c.source, kTargetExtension), c.result) << c.source;
        EXPECT_EQ(target, c.target) << c.source;
    }
}

}  // namespace
}  // namespace vantrel
