// Bad sources, bad targets and awkward names through the probe and the
// conversion with the real ffmpeg: each ends in its outcome, and nothing that
// existed before is lost.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <string>

#include "converter.h"
#include "encoder_location.h"
#include "test_support.h"

namespace vantrel {
namespace {

using testing::FileExists;
using testing::ReadFile;
using testing::WriteFile;

struct BadInputCase {
    const char* name;
    std::string source;  // under the case's folder
    std::string target;
    // Prepares the folder; `clip` is a real 2 s movie.
    std::function<void(const std::string& dir, const std::string& clip)> prepare;
    ConversionOutcome probe;
    ConversionOutcome convert;  // only when the probe found a duration
    std::function<void(const std::string& dir)> betweenProbeAndConvert = nullptr;
};

void Put(const std::string& path, const std::string& content, mode_t mode = 0644) {
    WriteFile(path, content);
    ::chmod(path.c_str(), mode);
}

TEST(BadInput, EachEndsInItsOutcomeAndLosesNothing) {
    // Permissions must bind even when the tests run as root.
    testing::DropFilePermissionOverrides();
    testing::TempDir clipDir;
    ASSERT_TRUE(testing::MakeClip(clipDir.File("clip.mp4"), 2));
    const std::string clip = ReadFile(clipDir.File("clip.mp4"));
    const std::string deep = std::string(120, 'L') + "/" + std::string(120, 'M');

    const BadInputCase cases[] = {
        {"empty file", "empty.avi", "empty.d3v", [](auto& d, auto&) { Put(d + "/empty.avi", ""); },
         kUndecodableSource, kConverted},
        {"text, not a movie", "notes.avi", "notes.d3v",
         [](auto& d, auto&) { Put(d + "/notes.avi", "a shopping list\n"); }, kUndecodableSource,
         kConverted},
        {"truncated movie", "cut.mp4", "cut.d3v",
         [](auto& d, auto& c) { Put(d + "/cut.mp4", c.substr(0, c.size() / 3)); },
         kUndecodableSource, kConverted},
        {"unreadable", "locked.avi", "locked.d3v",
         [](auto& d, auto& c) { Put(d + "/locked.avi", c, 0000); }, kUndecodableSource,
         kConverted},
        {"a folder", "folder.avi", "folder.d3v",
         [](auto& d, auto&) { ::mkdir((d + "/folder.avi").c_str(), 0755); }, kUndecodableSource,
         kConverted},
        {"deleted after the probe", "gone.mp4", "gone.d3v",
         [](auto& d, auto& c) { Put(d + "/gone.mp4", c); }, kConverted, kConversionFailed,
         [](auto& d) { ::unlink((d + "/gone.mp4").c_str()); }},
        {"target folder not writable", "ro/trip.mp4", "ro/trip.d3v",
         [](auto& d, auto& c) {
             ::mkdir((d + "/ro").c_str(), 0755);
             Put(d + "/ro/trip.mp4", c);
             ::chmod((d + "/ro").c_str(), 0555);
         },
         kConverted, kConversionFailed},
        {"read-only earlier target", "trip.mp4", "trip.d3v",
         [](auto& d, auto& c) {
             Put(d + "/trip.mp4", c);
             Put(d + "/trip.d3v", "last year's conversion", 0444);
         },
         kConverted, kConversionFailed},
        {"blanks, quotes, a leading dash, a colon and accents", "-say \"cheese\": été.mp4",
         "-say \"cheese\": été.d3v", [](auto& d, auto& c) { Put(d + "/-say \"cheese\": été.mp4", c); },
         kConverted, kConverted},
        {"a line feed in the name", "two\nlines.mp4", "two\nlines.d3v",
         [](auto& d, auto& c) { Put(d + "/two\nlines.mp4", c); }, kConverted, kConverted},
        {"a path well past 260 bytes", deep + "/Over.mp4", deep + "/over.d3v",
         [](auto& d, auto& c) {
             ::mkdir((d + "/" + std::string(120, 'L')).c_str(), 0755);
             ::mkdir((d + "/" + std::string(120, 'L') + "/" + std::string(120, 'M')).c_str(), 0755);
             Put(d + "/" + std::string(120, 'L') + "/" + std::string(120, 'M') + "/Over.mp4", c);
         },
         kConverted, kConverted},
    };
    for (const BadInputCase& c : cases) {
        SCOPED_TRACE(c.name);
        testing::TempDir dir;
        c.prepare(dir.path(), clip);
        const std::string source = dir.File(c.source), target = dir.File(c.target);
        const std::string before = FileExists(target) ? ReadFile(target) : "";
        Converter converter(testing::TestEncoderSetup(LocateEncoder()));
        const ProbeResult probe = converter.Probe(source, nullptr);
        EXPECT_EQ(probe.outcome, c.probe);
        if (probe.outcome == kConverted) {
            EXPECT_EQ(probe.source.durationHundredths, 200);
            if (c.betweenProbeAndConvert) c.betweenProbeAndConvert(dir.path());
            testing::RecordingObserver observer;
            EXPECT_EQ(converter.Convert({source, target, 256}, nullptr, observer), c.convert);
        }
        if (c.convert == kConverted && probe.outcome == kConverted) {
            EXPECT_GT(ReadFile(target).size(), 10000u);
        } else {
            EXPECT_EQ(FileExists(target) ? ReadFile(target) : "", before);
        }
        if (c.probe == kConverted && !c.betweenProbeAndConvert) {
            EXPECT_EQ(ReadFile(source), clip);
        }
        ::chmod(dir.File("ro").c_str(), 0755);  // so the folder can be cleared
    }
}

// A real full file system: a 256 KiB tmpfs. Mounting needs root.
TEST(BadInput, FullFileSystemEndsInNotEnoughSpaceAndLeavesNoFile) {
    testing::TempDir dir;
    const std::string mountPoint = dir.File("small");
    ASSERT_EQ(::mkdir(mountPoint.c_str(), 0755), 0);
    if (::mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, "size=256k") != 0) {
        GTEST_SKIP() << "cannot mount a tmpfs here (needs root)";
    }
    ASSERT_TRUE(testing::MakeClip(dir.File("clip.mp4"), 30));
    Converter converter(testing::TestEncoderSetup(LocateEncoder()));
    testing::RecordingObserver observer;
    const ConversionOutcome outcome =
        converter.Convert({dir.File("clip.mp4"), mountPoint + "/clip.d3v", 256}, nullptr, observer);
    const bool left = FileExists(mountPoint + "/clip.d3v");
    ::umount2(mountPoint.c_str(), MNT_DETACH);
    EXPECT_EQ(outcome, kNotEnoughSpace);
    EXPECT_FALSE(left);
}

}  // namespace
}  // namespace vantrel
