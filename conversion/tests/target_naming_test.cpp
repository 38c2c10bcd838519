#include "conversion/target_naming.h"

#include <gtest/gtest.h>

#include <utility>

namespace vantrel {
namespace {

TEST(TargetPathFor, NamingRule) {
    // The target, or why there is none: "!movie" not a movie's name, "!d3v"
    // already a converted file.
    const std::pair<const char*, const char*> cases[] = {
        // Folders keep their case, letters beyond ASCII are left alone, mpeg
        // needs no dot before it, and an extension may have two to four letters.
        {"/M/Trip.AVI", "/M/trip.d3v"}, {"/m/É.Mov", "/m/É.d3v"},
        {"/m/xmpeg", "/m/xd3v"}, {"/m/clip.MPEG", "/m/clip.d3v"},
        {"/m/clip.mpe", "/m/clip.d3v"}, {"/m/a.wmv", "/m/a.d3v"},
        {".avi", ".d3v"}, {"", "!movie"},
        {"/m/clip.m2v", "!movie"}, {"a.b.c", "!movie"},
        {"/m/clip.d3v", "!d3v"}, {"/m/clip.D3V", "!d3v"},
        {"/m/clip", "!movie"}, {"clip", "!movie"},
        {"/m/Cam.M2TS", "/m/cam.d3v"}, {"/m/a.ts", "/m/a.d3v"},
        {"/m/a.webm", "/m/a.d3v"}, {"/m/a.xwebm", "!movie"},
        {"my.folder/clip", "!movie"}, {"my.mkv/clip", "!movie"},
    };
    for (const auto& [source, expected] : cases) {
        const Expected<std::string> target = TargetPathFor(source);
        const std::string got = target                                        ? *target
                                : target.reason() == "already a .d3v file"    ? "!d3v"
                                : target.reason().starts_with("not a movie file name (accepted: .mpeg, .mpg,")
                                    ? "!movie"
                                    : target.reason();
        EXPECT_EQ(got, expected) << source;
    }
}

}  // namespace
}  // namespace vantrel
