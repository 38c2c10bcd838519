// vantrel-convert as a user runs it, with Debian's real ffmpeg on generated clips.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <regex>
#include <string>

#include "cli_process.h"
#include "program_folder.h"
#include "test_support.h"

namespace vantrel::cli {
namespace {

using testing::CliLaunch;
using testing::CliProcess;
using testing::CliRun;
using vantrel::testing::MakeClip;
using testing::RunCli;
using vantrel::testing::FileExists;
using vantrel::testing::TempDir;
using vantrel::testing::WriteFile;

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class CliEndToEnd : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(FindOnPath("ffmpeg").empty()) << "ffmpeg is not installed"; }
    TempDir dir;
};

TEST_F(CliEndToEnd, TwoFilesOneRejectedConvertsTheOtherAndExitsOne) {
    // Relative names, one of them beginning with a dash: both must reach
    // ffmpeg as plain files in this folder.
    ASSERT_TRUE(MakeClip(dir.File("-My Clip.MP4"), 3));
    WriteFile(dir.File("notes.txt"), "not a movie\n");

    const CliRun run = RunCli({{"--quality", "lowest", "--", "notes.txt", "-My Clip.MP4"}, dir.path(), {}});

    EXPECT_EQ(run.exitCode, 1) << run.out << run.err;
    EXPECT_TRUE(Contains(run.err, dir.File("notes.txt") + ": not a movie file name (accepted: "))
        << run.err;
    const std::string target = dir.File("-my clip.d3v");
    EXPECT_TRUE(Contains(run.out, "Source:       " + dir.File("-My Clip.MP4") + "\n")) << run.out;
    EXPECT_TRUE(Contains(run.out, "Duration:     00:00:03.00\n")) << run.out;
    EXPECT_TRUE(Contains(run.out, "Picture size: 640x480\n")) << run.out;
    EXPECT_TRUE(Contains(run.out, "Frame rate:   25 fps\n")) << run.out;
    EXPECT_TRUE(Contains(run.out, "Target:       " + target + "\n")) << run.out;
    EXPECT_TRUE(Contains(run.out, "100.0% [")) << run.out;
    EXPECT_TRUE(Contains(run.out, "Converted in ")) << run.out;
    EXPECT_FALSE(FileExists(dir.File("notes.d3v")));

    EXPECT_TRUE(vantrel::testing::IsHandheldMovie(target));
}

TEST_F(CliEndToEnd, OutputThatIsNotATerminalHoldsNoCarriageReturn) {
    ASSERT_TRUE(MakeClip(dir.File("clip.avi"), 3));
    const CliRun run = RunCli({{dir.File("clip.avi")}, "", {}});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    // ffmpeg's own progress lines end in a carriage return; none may leak.
    EXPECT_TRUE(Contains(run.out, "100.0% [")) << run.out;
    EXPECT_EQ(run.out.find('\r'), std::string::npos) << run.out;
    EXPECT_EQ(run.err.find('\r'), std::string::npos) << run.err;
    EXPECT_TRUE(FileExists(dir.File("clip.d3v")));
}

TEST_F(CliEndToEnd, OnATerminalTheProgressLineIsRedrawnInPlace) {
    ASSERT_TRUE(MakeClip(dir.File("clip.mov"), 3));
    CliLaunch launch{{dir.File("clip.mov")}, "", {}};
    launch.outputIsTerminal = true;
    const CliRun run = RunCli(launch);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    // The line is drawn at the start and redrawn up to the end, then ended once.
    EXPECT_TRUE(Contains(run.out, "\n\r  0.0% [---")) << run.out;
    EXPECT_TRUE(std::regex_search(
        run.out, std::regex("\r100\\.0% \\[#+\\] +[0-9.]+x  ETA 0:00 *\nConverted in ")))
        << run.out;
}

// Interrupting a long conversion, as Ctrl-C or a service manager would.
class CliInterrupted : public CliEndToEnd, public ::testing::WithParamInterface<int> {};

TEST_P(CliInterrupted, StopsRemovesThePartialFileAndStartsNothingElse) {
    ASSERT_TRUE(MakeClip(dir.File("long.mp4"), 60));
    ASSERT_EQ(::symlink(dir.File("long.mp4").c_str(), dir.File("next.mp4").c_str()), 0);

    CliProcess cli({{dir.File("long.mp4"), dir.File("next.mp4")}, "", {}});
    // A progress line past the start means ffmpeg is encoding.
    ASSERT_TRUE(cli.ReadUntilLine([](const std::string& line) { return Contains(line, "% ["); }));
    cli.Signal(GetParam());
    const CliRun run = cli.Wait();

    EXPECT_EQ(run.exitCode, 130) << run.out << run.err;
    EXPECT_FALSE(FileExists(dir.File("long.d3v")));
    EXPECT_FALSE(FileExists(dir.File("next.d3v")));
    EXPECT_FALSE(Contains(run.out, dir.File("next.mp4"))) << run.out;
    EXPECT_TRUE(Contains(run.err, dir.File("long.mp4") + ": stopped")) << run.err;
    EXPECT_TRUE(vantrel::testing::ProcessesMentioning(dir.path()).empty());
}

INSTANTIATE_TEST_SUITE_P(Signals, CliInterrupted, ::testing::Values(SIGINT, SIGTERM),
                         [](const ::testing::TestParamInfo<int>& param) {
                             return param.param == SIGINT ? std::string("Sigint")
                                                         : std::string("Sigterm");
                         });

// Everything that ends without a conversion, with what the user is told.
TEST_F(CliEndToEnd, FailuresAndUsageErrors) {
    WriteFile(dir.File("notes.txt"), "text\n");
    WriteFile(dir.File("notes.avi"), "this is a text file, not a movie\n");
    WriteFile(dir.File("Clip.D3V"), "already converted\n");
    ASSERT_EQ(::mkdir(dir.File("folder.avi").c_str(), 0755), 0);
    ASSERT_EQ(::symlink(dir.File("nowhere").c_str(), dir.File("dangling.avi").c_str()), 0);

    const struct {
        const char* what;
        CliLaunch launch;
        int exitCode;
        std::string err;  // expected within standard error
        std::string out;  // expected within standard output
    } cases[] = {
        {"missing file", {{"gone.avi"}, dir.path(), {}}, 1,
         dir.File("gone.avi") + ": cannot read: No such file or directory\n", ""},
        {"dangling link", {{"dangling.avi"}, dir.path(), {}}, 1,
         dir.File("dangling.avi") + ": cannot read: No such file or directory\n", ""},
        {"a folder", {{"folder.avi"}, dir.path(), {}}, 1,
         dir.File("folder.avi") + ": cannot read: Is a directory\n", ""},
        {"not a movie name", {{"notes.txt"}, dir.path(), {}}, 1,
         dir.File("notes.txt") +
             ": not a movie file name (accepted: .mpeg, .mov, .avi, .mpg, .mp4, .mpe, .wmv)\n",
         ""},
        {"already converted", {{"Clip.D3V"}, dir.path(), {}}, 1,
         dir.File("Clip.D3V") + ": already a .d3v file\n", ""},
        {"not decodable", {{"notes.avi"}, dir.path(), {}}, 1,
         "Unable to decode source video\n" + dir.File("notes.avi") + "\n",
         "Source:       " + dir.File("notes.avi") + "\n"},
        {"no encoder", {{"notes.avi"}, dir.path(), {{"PATH", dir.File("no-such-folder")}}}, 1,
         "Failed to execute video conversion component!! Please re-install.\n" +
             dir.File("notes.avi") + "\n",
         ""},
        {"each file is reported, in order", {{"gone.avi", "notes.txt"}, dir.path(), {}}, 1,
         dir.File("gone.avi") + ": cannot read: No such file or directory\nvantrel-convert: " +
             dir.File("notes.txt") + ": not a movie file name",
         ""},
        {"no file", {{}, "", {}}, 2, "vantrel-convert: no FILE given\nTry 'vantrel-convert --help'", ""},
        {"unknown option", {{"--fast", "notes.avi"}, "", {}}, 2, "unknown option '--fast'", ""},
        {"unknown quality", {{"--quality", "best", "notes.avi"}, "", {}}, 2, "unknown quality 'best'", ""},
        {"help", {{"--help"}, "", {}}, 0, "", "Usage: vantrel-convert [--quality QUALITY] FILE..."},
        {"version", {{"--version"}, "", {}}, 0, "", std::string("vantrel-convert ") + VANTREL_VERSION},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const CliRun run = RunCli(c.launch);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.out << run.err;
        EXPECT_TRUE(Contains(run.err, c.err)) << run.err;
        EXPECT_TRUE(Contains(run.out, c.out)) << run.out;
        if (c.exitCode == 2) {
            EXPECT_EQ(run.out, "");
        }
    }
    EXPECT_FALSE(FileExists(dir.File("notes.d3v")));
    EXPECT_TRUE(vantrel::testing::ProcessesMentioning(dir.path()).empty());
}

}  // namespace
}  // namespace vantrel::cli
