// Bad sources, bad targets and awkward names through vantrel-convert with the
// real ffmpeg. File permissions are made to bind even for root (CI runs as
// root), so that "unreadable" and "read-only" mean what they say.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "cli_process.h"
#include "test_support.h"

namespace vantrel::cli {
namespace {

using testing::CliRun;
using testing::RunCli;
using vantrel::testing::FileExists;
using vantrel::testing::ReadFile;
using vantrel::testing::TempDir;
using vantrel::testing::WriteFile;

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(CliBadInput, EachFileGetsItsMessageAndNothingIsLost) {
    vantrel::testing::DropFilePermissionOverrides();
    TempDir dir;
    ASSERT_TRUE(vantrel::testing::MakeClip(dir.File("clip.mp4"), 2));
    const std::string clip = ReadFile(dir.File("clip.mp4"));

    WriteFile(dir.File("empty.avi"), "");
    WriteFile(dir.File("truncated.mp4"), clip.substr(0, clip.size() / 3));
    WriteFile(dir.File("unreadable.avi"), clip);
    ASSERT_EQ(::chmod(dir.File("unreadable.avi").c_str(), 0000), 0);
    ASSERT_EQ(::mkdir(dir.File("locked").c_str(), 0755), 0);
    WriteFile(dir.File("locked/trip.mp4"), clip);
    ASSERT_EQ(::chmod(dir.File("locked").c_str(), 0555), 0);
    WriteFile(dir.File("kept.mp4"), clip);
    WriteFile(dir.File("kept.d3v"), "last year's conversion");
    ASSERT_EQ(::chmod(dir.File("kept.d3v").c_str(), 0444), 0);
    const std::vector<std::string> awkward = {
        "My Holiday.MP4", "say \"cheese\".mp4", "back\\slash.mp4", "two\nlines.mp4",
        "Noël à l'été.mp4", std::string(200, 'x') + "/" + std::string(100, 'y') + ".mp4"};
    ASSERT_EQ(::mkdir(dir.File(std::string(200, 'x')).c_str(), 0755), 0);
    for (const std::string& name : awkward) WriteFile(dir.File(name), clip);

    std::vector<std::string> arguments = {"empty.avi", "truncated.mp4", "unreadable.avi",
                                          "locked/trip.mp4", "kept.mp4"};
    arguments.insert(arguments.end(), awkward.begin(), awkward.end());
    const CliRun run = RunCli({arguments, dir.path(), {}});

    EXPECT_EQ(run.exitCode, 1) << run.out << run.err;
    const struct {
        const char* file;
        std::string said;
    } failures[] = {
        {"empty.avi", "Unable to decode source video\n"},
        {"truncated.mp4", "Unable to decode source video\n"},
        {"unreadable.avi", "cannot read: Permission denied"},
        {"locked/trip.mp4", "Conversion Failed\n"},
        {"kept.mp4", "Conversion Failed\n"},
    };
    for (const auto& f : failures) {
        EXPECT_TRUE(Contains(run.err, f.said + (f.said.back() == '\n' ? dir.File(f.file) : "")))
            << f.file << "\n" << run.err;
    }
    for (const std::string& name : awkward) {
        std::string target = name.substr(0, name.size() - 4) + ".d3v";
        const size_t slash = target.rfind('/');
        for (size_t i = slash == std::string::npos ? 0 : slash + 1; i < target.size(); ++i) {
            if (target[i] >= 'A' && target[i] <= 'Z') target[i] = static_cast<char>(target[i] + 32);
        }
        EXPECT_GT(ReadFile(dir.File(target)).size(), 10000u) << target;
    }
    // Nothing that was there before is lost, and no partial file is left.
    ::chmod(dir.File("unreadable.avi").c_str(), 0644);
    EXPECT_EQ(ReadFile(dir.File("unreadable.avi")), clip);
    EXPECT_EQ(ReadFile(dir.File("locked/trip.mp4")), clip);
    EXPECT_EQ(ReadFile(dir.File("kept.d3v")), "last year's conversion");
    for (const char* name : {"empty.d3v", "truncated.d3v", "unreadable.d3v", "locked/trip.d3v"}) {
        EXPECT_FALSE(FileExists(dir.File(name))) << name;
    }
    for (const std::string& name : awkward) EXPECT_EQ(ReadFile(dir.File(name)), clip) << name;
    EXPECT_GT(dir.File(awkward.back()).size(), 260u);
}

}  // namespace
}  // namespace vantrel::cli
