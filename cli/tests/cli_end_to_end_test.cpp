// vantrel-convert as a user runs it, with Debian's real ffmpeg on generated clips.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "test_support.h"

namespace vantrel {
namespace {

using testing::FileExists;
using testing::ReadFile;

struct CliRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs vantrel-convert in `folder`; `untilOut`, when given, is awaited on its
// output and then answered with SIGINT, as a user's Ctrl-C.
CliRun RunCli(const std::string& folder, std::vector<std::string> args,
              const std::string& untilOut = "") {
    args.insert(args.begin(), VANTREL_CONVERT_PATH);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    int out[2];
    if (::pipe(out) != 0) return {};
    const std::string errFile = folder + "/.stderr";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT, 0644);
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    pid_t pid = -1;
    ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    CliRun run;
    char buffer[4096];
    for (ssize_t n; (n = ::read(out[0], buffer, sizeof buffer)) > 0;) {
        const bool before = !untilOut.empty() && run.out.find(untilOut) == std::string::npos;
        run.out.append(buffer, static_cast<size_t>(n));
        if (before && run.out.find(untilOut) != std::string::npos) ::kill(pid, SIGINT);
    }
    ::close(out[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.err = ReadFile(errFile);
    return run;
}

TEST(CliEndToEnd, ConvertsWhatItCanAndSaysWhyNotForTheRest) {
    testing::TempDir dir;
    ASSERT_TRUE(testing::MakeClip(dir.File("-My Clip.MP4"), 3));
    ASSERT_TRUE(testing::MakeClip(dir.File("twin.mpg"), 1));
    testing::WriteFile(dir.File("twin.mp4"), ReadFile(dir.File("twin.mpg")));
    testing::WriteFile(dir.File("notes.txt"), "not a movie\n");

    // Relative names, one beginning with a dash, must reach ffmpeg as files.
    const CliRun run =
        RunCli(dir.path(), {"--quality", "lowest", "--", "-My Clip.MP4", "notes.txt", "twin.mpg",
                            "twin.mp4"});
    EXPECT_EQ(run.exitCode, 1) << run.out << run.err;
    for (const std::string& line :
         {"Source:       " + dir.File("-My Clip.MP4"), std::string("Duration:     00:00:03.00"),
          std::string("Picture size: 640x480"), std::string("Frame rate:   25 fps"),
          "Target:       " + dir.File("-my clip.d3v"), std::string("Converted in ")}) {
        EXPECT_NE(run.out.find(line), std::string::npos) << line << "\n" << run.out;
    }
    EXPECT_NE(run.err.find(dir.File("notes.txt") + ": not a movie file name"), std::string::npos)
        << run.err;
    // The second twin would overwrite the first one's result.
    EXPECT_EQ(run.out.find("Source:       " + dir.File("twin.mp4")), std::string::npos) << run.out;
    EXPECT_NE(run.err.find(dir.File("twin.mp4") + ": not converted: " + dir.File("twin.mpg")),
              std::string::npos)
        << run.err;
    EXPECT_TRUE(testing::IsHandheldMovie(dir.File("-my clip.d3v")));
    EXPECT_TRUE(FileExists(dir.File("twin.d3v")));
}

TEST(CliEndToEnd, CtrlCStopsTheRunAndLeavesNothing) {
    testing::TempDir dir;
    ASSERT_TRUE(testing::MakeClip(dir.File("long.mp4"), 60));
    const CliRun run = RunCli(dir.path(), {"long.mp4"}, "Target:");
    EXPECT_EQ(run.exitCode, 130) << run.out << run.err;
    EXPECT_FALSE(FileExists(dir.File("long.d3v")));
    EXPECT_TRUE(testing::ProcessesMentioning(dir.path()).empty());
}

}  // namespace
}  // namespace vantrel
