#include "conversion/target_naming.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <utility>
#include <vector>

#include "platform/program_folder.h"
#include "platform/utf8_path.h"
#include "tests/support/test_support.h"

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

// Every target's name is one a FAT or exFAT card can hold, since that is where
// it ends up; a name that is safe already stays as it was.
TEST(TargetPathFor, NamesACardCanHold) {
    const std::string a300(300, 'a'), e300 = [] { std::string e; for (int i = 0; i < 300; ++i) e += "é"; return e; }();
    std::string smiles;
    for (int i = 0; i < 200; ++i) smiles += "\xF0\x9F\x98\x80";  // each two UTF-16 units
    const auto times = [](const std::string& unit, int n) { std::string t; while (n-- > 0) t += unit; return t; };
    const std::pair<std::string, std::string> cases[] = {
        {"/m/Film: Teil 1? \"Final\" <cut>|x*.mkv", "/m/film- teil 1- 'final' (cut)-x-.d3v"},
        {"/m/a\tb\x7f.avi", "/m/a-b-.d3v"},
        // Windows keeps these names for its devices, whatever the extension.
        {"/m/CON.mp4", "/m/con_.d3v"}, {"/m/Lpt9.Part 2.avi", "/m/lpt9_.part 2.d3v"},
        {"/m/nul", "!movie"}, {"/m/aux.mpeg", "/m/aux_.d3v"}, {"/m/auxmpeg", "/m/auxd3v"},
        {"/m/com10.avi", "/m/com10.d3v"}, {"/m/console.avi", "/m/console.d3v"},
        {"/m/com0.avi", "/m/com0.d3v"},
        // 255 UTF-16 units at most, ".d3v" included, cut between letters.
        {"/m/" + a300 + ".mkv", "/m/" + std::string(251, 'a') + ".d3v"},
        {"/m/" + e300 + ".mkv", "/m/" + times("é", 251) + ".d3v"},
        {"/m/" + smiles + ".mkv", "/m/" + times("\xF0\x9F\x98\x80", 125) + ".d3v"},
        {"/m/" + std::string(251, 'a') + ".mkv", "/m/" + std::string(251, 'a') + ".d3v"},
        // Safe already: as today.
        {"/m/Été à Paris (1962).mkv", "/m/Été à paris (1962).d3v"},
        {"/m/clip. . .mkv", "/m/clip. . .d3v"},
        {"/m/it's [x] & y; 100% #1.avi", "/m/it's [x] & y; 100% #1.d3v"},
    };
    // Each name is really written, under exactly that name: on Windows
    // (under wine too) its file system refuses what a card refuses. Names
    // longer than 255 bytes are left out, which Linux's own folders cannot hold.
    testing::TempDir dir;
    for (const auto& [source, expected] : cases) {
        const Expected<std::string> target = TargetPathFor(source);
        EXPECT_EQ(target ? *target : "!movie", expected) << source;
        const std::string name = target ? FileNamePart(*target) : "";
        if (name.empty() || name.size() > 255) continue;
        testing::WriteFile(dir.File(name), "movie");
        std::vector<std::string> listed;
        for (const auto& entry : std::filesystem::directory_iterator(PathFromUtf8(dir.path()))) {
            listed.push_back(Utf8Of(entry.path().filename()));
        }
        EXPECT_EQ(listed, std::vector<std::string>{name});
        std::filesystem::remove(PathFromUtf8(dir.File(name)));
    }
#ifndef _WIN32
    // A backslash is a letter of a Linux name, and no card's.
    EXPECT_EQ(*TargetPathFor("/m/AC\\DC.avi"), "/m/ac-dc.d3v");
#endif
    // The folder is not the file's name: it keeps what it has.
    EXPECT_EQ(*TargetPathFor("/m:x/a?.avi", "/out:put"), JoinPath("/out:put", "a-.d3v"));
}

}  // namespace
}  // namespace vantrel
