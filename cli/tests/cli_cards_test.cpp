// vantrel-convert and real memory cards: FAT and exFAT images mounted through
// FUSE, as a desktop mounts a card.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/mounted_card.h"
#include "tests/support/test_support.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;

struct CliRun {
    int exitCode;
    std::string out;
};

CliRun RunCli(const std::string& args) {
    FILE* pipe = ::popen(("exec '" VANTREL_CONVERT_PATH "' " + args + " 2>&1").c_str(), "r");
    std::string out;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    const int status = ::pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.is_regular_file() && entry.path().extension() != "") names.push_back(entry.path().filename());
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(CliCards, ListsEachCardWithItsLabelAndFreeSpaceAndNotTheSystemDisk) {
    testing::MountedCard fat = testing::MountedCard::Fat("PLAYER", 8);
    testing::MountedCard exfat = testing::MountedCard::Exfat("TRAVEL", 16);
    const CliRun run = RunCli("--list-cards");
    EXPECT_EQ(run.exitCode, 0);
    // One line a card, columns parted by tabs.
    for (const auto& [card, line] : {std::pair{&fat, "\tPLAYER\tFAT\t"}, std::pair{&exfat, "\tTRAVEL\texFAT\t"}}) {
        const size_t at = run.out.find(card->folder() + line);
        ASSERT_NE(at, std::string::npos) << run.out;
        const std::string rest = run.out.substr(at, run.out.find('\n', at) - at);
        EXPECT_TRUE(rest.ends_with(" MB free")) << rest;
    }
    EXPECT_EQ(run.out.find("/\t"), std::string::npos) << run.out;
}

// Each target name is one the card can store: it is really written there,
// under exactly the name the naming rule gives.
TEST(CliCards, EachTargetIsWrittenOntoFatAndExfatUnderItsSafeName) {
    testing::TempDir dir;
    const std::string longest(252, 'x');  // the longest name Linux keeps with ".ts"
    const std::pair<std::string, std::string> cases[] = {
        {"Film: Teil 1? \"Final\" <cut>|x.mkv", "film- teil 1- 'final' (cut)-x.d3v"},
        {"con.mp4", "con_.d3v"},
        {"Ende. . .mp4", "ende. . .d3v"},
        {"trailing dot..mp4", "trailing dot..d3v"},
        {longest + ".ts", std::string(251, 'x') + ".d3v"},
        {"Été à Noël.mkv", "Été à noël.d3v"},
    };
    ASSERT_TRUE(testing::MakeClip(dir.File("clip.mp4"), 1));
    std::string sources;
    std::vector<std::string> expected;
    for (const auto& [source, target] : cases) {
        fs::copy_file(dir.File("clip.mp4"), dir.File(source));
        sources += " " + testing::Quoted(dir.File(source));
        expected.push_back(target);
    }
    std::sort(expected.begin(), expected.end());
    for (const bool fat : {true, false}) {
        testing::MountedCard card = fat ? testing::MountedCard::Fat("PLAYER", 16)
                                        : testing::MountedCard::Exfat("PLAYER", 16);
        // fusefat writes ASCII names only, where the kernel's FAT and every
        // other system write any letter: the accented name goes onto exFAT.
        const std::string accented = testing::Quoted(dir.File(cases[std::size(cases) - 1].first));
        std::vector<std::string> written = expected;
        if (fat) std::erase(written, cases[std::size(cases) - 1].second);
        const std::string named = fat ? sources.substr(0, sources.find(" " + accented)) : sources;
        const CliRun run = RunCli("--no-normalize --jobs 2 -o " + testing::Quoted(card.folder()) + named);
        EXPECT_EQ(run.exitCode, 0) << run.out;
        EXPECT_EQ(FilesIn(card.folder()), written) << card.folder();
        for (const std::string& name : written) {
            EXPECT_TRUE(testing::IsHandheldMovie(card.folder() + "/" + name)) << name;
        }
    }
}

// A movie too big for the card is refused before any work, saying how much
// room there is and how much it needs, and leaves nothing; the next one that
// fits still goes.
TEST(CliCards, AMovieTooBigForTheCardIsRefusedAtOnceAndTheNextGoes) {
    testing::TempDir dir;
    ASSERT_TRUE(testing::MakeClip(dir.File("long.mp4"), 90));
    ASSERT_TRUE(testing::MakeClip(dir.File("small.mp4"), 2));
    testing::MountedCard card = testing::MountedCard::Fat("PLAYER", 4);
    const CliRun run = RunCli("--quality highest --jobs 1 -o " + testing::Quoted(card.folder()) + " " +
                              testing::Quoted(dir.File("long.mp4")) + " " + testing::Quoted(dir.File("small.mp4")));
    EXPECT_EQ(run.exitCode, 1);
    const size_t skipped = run.out.find("Skipped: PLAYER has ");
    ASSERT_NE(skipped, std::string::npos) << run.out;
    EXPECT_NE(run.out.find(" MB free; this movie needs about ", skipped), std::string::npos) << run.out;
    // Refused as soon as ffmpeg told the duration: no progress was shown for it.
    EXPECT_LT(skipped, run.out.find("% [")) << run.out;
    EXPECT_EQ(FilesIn(card.folder()), std::vector<std::string>{"small.d3v"});
    EXPECT_TRUE(testing::IsHandheldMovie(card.folder() + "/small.d3v"));
}

}  // namespace
}  // namespace vantrel
