// vantrel-convert as a user runs it, with the real ffmpeg on generated clips.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "test_support.h"

namespace vantrel {
namespace {

struct CliRun {
    int exitCode;
    std::string out, err;
};

// Runs vantrel-convert with `args` (shell words) in `dir`. The shell tells its
// pid and then becomes the program, so that once `ctrlCAt` shows on the
// output the program gets SIGINT, as from a user's Ctrl-C (pressed again while
// it winds up, which must change nothing).
CliRun RunCli(const testing::TempDir& dir, const std::string& args, std::string ctrlCAt = "") {
    const std::string command =
        "cd '" + dir.path() + "' && echo $$ && exec '" VANTREL_CONVERT_PATH "' " + args + " 2>.err";
    FILE* pipe = ::popen(command.c_str(), "r");
    std::string out;
    char buffer[4096];
    for (ssize_t n; (n = ::read(::fileno(pipe), buffer, sizeof buffer)) > 0;) {
        out.append(buffer, static_cast<size_t>(n));
        if (!ctrlCAt.empty() && out.find(ctrlCAt) != std::string::npos)
            ::kill(std::stoi(out), SIGINT);
    }
    const int status = ::pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out, testing::ReadFile(dir.File(".err"))};
}

TEST(CliEndToEnd, ConvertsWhatItCanAndSaysWhyNotForTheRest) {
    testing::TempDir dir;
    ASSERT_TRUE(testing::MakeClip(dir.File("-My Clip.MP4"), 3));
    ASSERT_TRUE(testing::MakeClip(dir.File("twin.mpg"), 1));
    testing::WriteFile(dir.File("twin.mp4"), testing::ReadFile(dir.File("twin.mpg")));
    testing::WriteFile(dir.File("notes.txt"), "not a movie\n");

    // A relative name beginning with a dash must reach ffmpeg as a file.
    const CliRun run =
        RunCli(dir, "--quality lowest -- '-My Clip.MP4' notes.txt twin.mpg twin.mp4");
    EXPECT_EQ(run.exitCode, 1) << run.out << run.err;
    for (const std::string& line :
         {"Source:       " + dir.File("-My Clip.MP4"), std::string("Duration:     00:00:03.00"),
          "Target:       " + dir.File("-my clip.d3v"), std::string("100.0% [#######")}) {
        EXPECT_NE(run.out.find(line), std::string::npos) << line << "\n" << run.out;
    }
    EXPECT_TRUE(testing::IsHandheldMovie(dir.File("-my clip.d3v")));
    EXPECT_NE(run.err.find(dir.File("notes.txt") + ": not a movie file name"), std::string::npos);
    // The second twin would overwrite the first one's result.
    EXPECT_NE(run.err.find(dir.File("twin.mp4") + ": not converted: " + dir.File("twin.mpg")),
              std::string::npos);
    EXPECT_TRUE(testing::FileExists(dir.File("twin.d3v")));
}

TEST(CliEndToEnd, CtrlCStopsTheRunAndLeavesNothing) {
    testing::TempDir dir;
    ASSERT_TRUE(testing::MakeClip(dir.File("long.mp4"), 60));
    const CliRun run = RunCli(dir, "long.mp4", "% [");
    EXPECT_EQ(run.exitCode, 130) << run.out << run.err;
    EXPECT_FALSE(testing::FileExists(dir.File("long.d3v")));
    EXPECT_TRUE(testing::ProcessesMentioning(dir.path()).empty());
}

}  // namespace
}  // namespace vantrel
