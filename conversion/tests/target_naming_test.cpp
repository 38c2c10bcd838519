#include "conversion/target_naming.h"

#include <gtest/gtest.h>

#include <tuple>

#include "conversion/source_types.h"

namespace vantrel {
namespace {

TEST(DeriveTargetPath, NamingRule) {
    // The stored target after each source: a source that names none leaves
    // the old one as it was.
    const std::tuple<const char*, int, const char*> cases[] = {
        // Folders keep their case, letters beyond ASCII are left alone, mpeg
        // needs no dot before it, and an extension may have two to four letters.
        {"/M/Trip.AVI", kTargetDerived, "/M/trip.d3v"}, {"/m/É.Mov", kTargetDerived, "/m/É.d3v"},
        {"/m/xmpeg", kTargetDerived, "/m/xd3v"}, {"/m/clip.MPEG", kTargetDerived, "/m/clip.d3v"},
        {"/m/clip.mpe", kTargetDerived, "/m/clip.d3v"}, {"/m/a.wmv", kTargetDerived, "/m/a.d3v"},
        {".avi", kTargetDerived, ".d3v"}, {"", kNoUsableExtension, "old"},
        {"/m/clip.m2v", kUnknownExtension, "old"}, {"a.b.c", kUnknownExtension, "old"},
        {"/m/clip.d3v", kAlreadyTarget, "old"}, {"/m/clip.D3V", kAlreadyTarget, "old"},
        {"/m/clip", kNoUsableExtension, "old"}, {"clip", kNoUsableExtension, "old"},
        {"/m/Cam.M2TS", kTargetDerived, "/m/cam.d3v"}, {"/m/a.ts", kTargetDerived, "/m/a.d3v"},
        {"/m/a.webm", kTargetDerived, "/m/a.d3v"}, {"/m/a.xwebm", kUnknownExtension, "old"},
        {"my.folder/clip", kNoUsableExtension, "old"}, {"my.mkv/clip", kNoUsableExtension, "old"},
    };
    for (const auto& [source, result, stored] : cases) {
        std::string target = "old";
        EXPECT_EQ(DeriveTargetPath(target, source, kTargetExtension), result) << source;
        EXPECT_EQ(target, stored) << source;
    }
}

}  // namespace
}  // namespace vantrel
