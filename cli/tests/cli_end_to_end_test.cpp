// vantrel-convert as a user runs it, with the real ffmpeg on generated clips.
#include <gtest/gtest.h>

#include <algorithm>
#include <signal.h>
#include <sys/wait.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "platform/message_catalog.h"
#include "tests/support/test_support.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;

struct CliRun {
    int exitCode;
    std::string out, err;
};

// Runs vantrel-convert with `args` (shell words) in `dir`, its ffmpeg looked
// for on `path` first. The shell tells its pid and then becomes the program,
// so that once `ctrlCAt` shows on the output as often as `times` the program
// gets SIGINT, as from a user's Ctrl-C (pressed again while it winds up, which
// must change nothing).
CliRun RunCli(const testing::TempDir& dir, const std::string& args, std::string ctrlCAt = "",
              size_t times = 1, const std::string& path = "") {
    const std::string command = "cd '" + dir.path() + "' && echo $$ && " +
                                (path.empty() ? "" : "PATH='" + path + "':$PATH ") +
                                "exec '" VANTREL_CONVERT_PATH "' " + args + " 2>.err";
    FILE* pipe = ::popen(command.c_str(), "r");
    std::string out;
    char buffer[4096];
    for (ssize_t n; (n = ::read(::fileno(pipe), buffer, sizeof buffer)) > 0;) {
        out.append(buffer, static_cast<size_t>(n));
        size_t seen = 0;
        for (size_t at = ctrlCAt.empty() ? std::string::npos : out.find(ctrlCAt); at != std::string::npos; at = out.find(ctrlCAt, at + 1))
            ++seen;
        if (seen >= times) ::kill(std::stoi(out), SIGINT);
    }
    const int status = ::pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out, testing::ReadFile(dir.File(".err"))};
}

// The catalogs reach the C library's gettext: in each language, the words its
// catalog has for a file that cannot be read, and the help's first line.
TEST(CliEndToEnd, SpeaksEachLanguageItHasACatalogFor) {
    testing::TempDir dir;
    const char* const usage = "Usage: vantrel-convert [--quality QUALITY] [--fit FIT] [--jobs N] [-o DIR]\n"
                              "                      [--subtitles off|auto|N|FILE] [--language LANG]\n"
                              "                      [--no-normalize] [--start TIME] [--end TIME]\n"
                              "                      FILE|FOLDER...\n"
                              "       vantrel-convert --preview PNG [OPTION...] FILE\n"
                              "       vantrel-convert --list-cards";
    for (const char* language : {"de", "es", "fr", "ja"}) {
        SCOPED_TRACE(language);
        const auto catalog = MessageCatalog::Load(CatalogPath(VANTREL_LOCALE_DIR, language, "vantrel"));
        ASSERT_TRUE(catalog) << catalog.reason();
        const std::string cannotRead = catalog->Translate("cannot read: {1}");
        const std::string help = catalog->Translate(usage);
        // The C locale names no language; LANGUAGE then picks the catalog.
        ::setenv("LC_ALL", "C.UTF-8", 1);
        ::setenv("LANGUAGE", language, 1);
        const CliRun missing = RunCli(dir, "none.avi");
        const CliRun helped = RunCli(dir, "--help");
        ::unsetenv("LANGUAGE");
        ::unsetenv("LC_ALL");
        EXPECT_NE(missing.err.find(cannotRead.substr(0, cannotRead.find("{1}"))), std::string::npos) << missing.err;
        const std::string firstLine = helped.out.substr(helped.out.find('\n') + 1);  // after the shell's pid
        EXPECT_EQ(firstLine.substr(0, firstLine.find('\n')), help.substr(0, help.find('\n')));
    }
}

// Files converted at once each tell their own lines. A relative name that
// begins with a dash must reach ffmpeg as a file, a source without sound gets
// a silent track, and the second twin would overwrite the first one's result.
// The panel, read from the conversion's own run, is the source's and not that
// of the output ffmpeg describes after it.
TEST(CliEndToEnd, ConvertsWhatItCanAtOnceAndSaysWhyNotForTheRest) {
    testing::TempDir dir;
    ASSERT_TRUE(testing::MakeClip(dir.File("-My Clip.MP4"), 3));
    ASSERT_TRUE(testing::MakeClip(dir.File("twin.mpg"), 1));
    testing::WriteFile(dir.File("twin.mp4"), testing::ReadFile(dir.File("twin.mpg")));
    ASSERT_EQ(std::system(("ffmpeg -v error -i " + dir.File("twin.mpg") + " -an -c copy -f mp4 " +
                           dir.File("quiet.mp4")).c_str()), 0);
    testing::WriteFile(dir.File("notes.txt"), "not a movie\n");
    testing::WriteFile(dir.File("broken.mp4"), "not a movie either\n");
    const CliRun run = RunCli(dir, "--jobs 2 --quality lowest -- '-My Clip.MP4' notes.txt "
                                   "twin.mpg ./twin.mp4 quiet.mp4 broken.mp4");
    EXPECT_EQ(run.exitCode, 1) << run.out << run.err;
    for (const char* name : {"-my clip.d3v", "twin.d3v", "quiet.d3v"})
        EXPECT_TRUE(testing::IsHandheldMovie(dir.File(name)));
    const std::string clip = "-My Clip.MP4: ";
    for (const std::string& line :
         {clip + "Duration:     00:00:03.00", clip + "Picture size: 640x480\n" + clip +
          "Frame rate:   25 fps", clip + "Target:       " + dir.File("-my clip.d3v")}) {
        EXPECT_NE(run.out.find(line), std::string::npos) << line << "\n" << run.out;
    }
    EXPECT_EQ(run.out.find("mpeg1video"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("twin.mp4:"), std::string::npos) << run.out;
    EXPECT_NE(run.err.find(dir.File("notes.txt") + ": not a movie file name"), std::string::npos);
    // The message, then why in ffmpeg's words, then the source.
    EXPECT_NE(run.err.find("Unable to decode source video: " + dir.File("broken.mp4") +
                           ": Invalid data found when processing input\nbroken.mp4: " +
                           dir.File("broken.mp4")),
              std::string::npos) << run.err;
    EXPECT_NE(run.err.find(dir.File("twin.mp4") + ": not converted: " + dir.File("twin.mpg")),
              std::string::npos) << run.err;
}

// A folder gives the movies in its subfolders, passing over hidden and
// converted files and a link back to itself. A folder that cannot be written
// is told before any work, and --output-dir is the way out.
TEST(CliEndToEnd, FoldersAreSearchedAndAnOutputFolderTakesWhatTheirsCannot) {
    testing::DropFilePermissionOverrides();  // so that the locked folder binds though run as root
    testing::TempDir dir;
    fs::create_directories(testing::PathOf(dir.File("card/DCIM/100")));
    ASSERT_TRUE(testing::MakeClip(dir.File("card/DCIM/100/MVI_0001.MOV"), 1));
    testing::WriteFile(dir.File("card/DCIM/100/MVI_0002.MP4"),
                       testing::ReadFile(dir.File("card/DCIM/100/MVI_0001.MOV")));
    for (const char* passedOver : {"card/.thumb.mp4", "card/DCIM/old.d3v", "card/notes.txt"})
        testing::WriteFile(dir.File(passedOver), "not converted\n");
    fs::create_directory_symlink(testing::PathOf(dir.File("card")), testing::PathOf(dir.File("card/DCIM/loop")));
    ::chmod(dir.File("card/DCIM/100").c_str(), 0555);

    const CliRun locked = RunCli(dir, "card");
    EXPECT_EQ(locked.exitCode, 1);
    EXPECT_NE(locked.err.find("cannot write in " + dir.File("card/DCIM/100") +
                              " (Permission denied): choose a folder with --output-dir"),
              std::string::npos) << locked.err;
    EXPECT_EQ(locked.out.find("Source:"), std::string::npos) << locked.out;

    fs::create_directory(testing::PathOf(dir.File("out")));
    const CliRun saved = RunCli(dir, "--jobs 1 -o out card ./card/DCIM/100/MVI_0001.MOV");
    EXPECT_EQ(saved.exitCode, 0) << saved.out << saved.err;
    for (const char* name : {"out/mvi_0001.d3v", "out/mvi_0002.d3v"})
        EXPECT_TRUE(testing::IsHandheldMovie(dir.File(name)));
    EXPECT_EQ(std::distance(fs::directory_iterator(testing::PathOf(dir.File("out"))), {}), 2);
    EXPECT_EQ(saved.out.find("MVI_0001.MOV", saved.out.find("MVI_0001.MOV") + 1), std::string::npos)
        << "converted twice:\n" << saved.out;
    ::chmod(dir.File("card/DCIM/100").c_str(), 0755);  // so that it can be removed
}

// The frame at a third of the clip, as the player will show it: 256x192,
// with the subtitles of the file beside it drawn in the bottom bar. A file
// that is no movie gets no picture at all.
TEST(CliEndToEnd, APreviewIsTheFrameAThirdInAsThePlayerShowsIt) {
    testing::TempDir dir;
    ASSERT_EQ(testing::Output("ffmpeg -nostdin -v error -f lavfi -i "
                              "'testsrc2=s=640x360:r=25:d=6,lutyuv=y=val*0.6' -c:v libx264 "
                              "file:" + dir.File("clip.mp4") + " 2>&1"),
              "");
    testing::WriteFile(dir.File("clip.srt"), "1\n00:00:01,500 --> 00:00:02,500\nA third in\n");
    testing::WriteFile(dir.File("notes.mp4"), "not a movie\n");
    const auto whiteInTheBar = [&](const std::string& png) {
        const std::string gray = testing::Output("ffmpeg -nostdin -v error -i file:" + dir.File(png) +
                                                 " -vf crop=256:24:0:168 -f rawvideo -pix_fmt gray -");
        return std::count_if(gray.begin(), gray.end(), [](char c) { return static_cast<unsigned char>(c) > 200; });
    };
    const CliRun subtitled = RunCli(dir, "--preview with.png clip.mp4");
    EXPECT_EQ(subtitled.exitCode, 0) << subtitled.err;
    EXPECT_EQ(testing::Output("ffprobe -v error -of csv=p=0 -show_entries stream=codec_name,width,height file:" +
                              dir.File("with.png")),
              "png,256,192\n");
    EXPECT_GT(whiteInTheBar("with.png"), 40);
    EXPECT_EQ(RunCli(dir, "--subtitles off --preview without.png clip.mp4").exitCode, 0);
    EXPECT_EQ(whiteInTheBar("without.png"), 0);

    const CliRun refused = RunCli(dir, "--preview none.png notes.mp4");
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find("notes.mp4"), std::string::npos) << refused.err;
    EXPECT_FALSE(testing::FileExists(dir.File("none.png")));
    EXPECT_TRUE(testing::ProcessesMentioning(dir.path()).empty());
}

// The encoders never end on their own, so both are running when Ctrl-C comes.
TEST(CliEndToEnd, CtrlCStopsEveryRunningFileAndStartsNoOther) {
    testing::TempDir dir;
    ASSERT_EQ(::symlink(FAKE_ENCODER_PATH, dir.File("ffmpeg").c_str()), 0);
    // Each is probed first, as ffmpeg is probed: described, then the run ends.
    for (const char* name : {"a.avi", "b.avi", "c.avi"})
        testing::WriteFile(dir.File(name), "describe\nprobe-exit\ntalk\n");
    const CliRun run = RunCli(dir, "--jobs 2 a.avi b.avi c.avi", "10.0% [", 2, dir.path());
    EXPECT_EQ(run.exitCode, 130) << run.out << run.err;
    for (const char* name : {"a.d3v", "b.d3v", "c.d3v"}) EXPECT_FALSE(testing::FileExists(dir.File(name)));
    EXPECT_EQ(run.out.find("c.avi"), std::string::npos) << run.out;
    EXPECT_TRUE(testing::ProcessesMentioning(dir.path()).empty());
}

}  // namespace
}  // namespace vantrel
