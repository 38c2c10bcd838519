// Bad sources, bad targets and awkward names through the probe and the
// conversion with the real ffmpeg: each ends in its outcome, and nothing that
// existed before is lost.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>

#include "converter.h"
#include "encoder_location.h"
#include "test_support.h"

namespace vantrel {
namespace {

using namespace testing;

enum Twist { kPlain, kUnreadable, kFolder, kGoneAfterProbe, kLocked, kReadOnlyTarget, kFullDisk };

struct Case {
    const char* name;
    std::string source;  // under the case's folder; the target goes beside it
    std::string content;
    Twist twist;
    ConversionOutcome outcome;  // kUndecodableSource from the probe, any other from the conversion
};

TEST(BadInput, EachEndsInItsOutcomeAndLosesNothing) {
    DropFilePermissionOverrides();  // so that permissions bind though the tests run as root
    TempDir clipDir;
    ASSERT_TRUE(MakeClip(clipDir.File("clip.mp4"), 2));
    const std::string clip = ReadFile(clipDir.File("clip.mp4"));
    const std::string deep = std::string(120, 'L') + "/" + std::string(120, 'M') + "/";
    const Case cases[] = {
        {"empty", "empty.avi", "", kPlain, kUndecodableSource},
        {"text", "notes.avi", "a shopping list\n", kPlain, kUndecodableSource},
        {"truncated", "cut.mp4", clip.substr(0, clip.size() / 3), kPlain, kUndecodableSource},
        {"unreadable", "locked.avi", clip, kUnreadable, kUndecodableSource},
        {"a folder", "folder.avi", "", kFolder, kUndecodableSource},
        {"deleted after the probe", "a.mp4", clip, kGoneAfterProbe, kConversionFailed},
        {"target folder not writable", "a.mp4", clip, kLocked, kConversionFailed},
        {"read-only earlier target", "a.mp4", clip, kReadOnlyTarget, kConversionFailed},
        {"full disk (needs root)", "a.mp4", clip, kFullDisk, kNotEnoughSpace},
        {"blanks, quotes, a dash, a colon", "-say \"cheese\": été.mp4", clip, kPlain, kConverted},
        {"a line feed", "two\nlines.mp4", clip, kPlain, kConverted},
        {"a path past 260 bytes", deep + "Over.mp4", clip, kPlain, kConverted},
    };
    struct : EncoderReportSink {
        void SetPanelText(PanelField, std::string_view) override {}
        void PostProgress(int32_t) override {}
    } ignoreReports;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const char* folder = dir.path().c_str();
        const std::string source = dir.File(c.source);
        const std::string target = source.substr(0, source.rfind('.')) + ".d3v";
        // A disk with room for the source and little more; mounting needs root.
        const std::string room = "size=" + std::to_string(clip.size() + 16384);
        if (c.twist == kFullDisk && ::mount("tmpfs", folder, "tmpfs", 0, room.c_str())) continue;
        fs::create_directories(c.twist == kFolder ? source : source.substr(0, source.rfind('/')));
        WriteFile(source, c.content);  // not into a folder
        if (c.twist == kUnreadable) ::chmod(source.c_str(), 0);
        if (c.twist == kReadOnlyTarget) WriteFile(target, "last year's");
        if (c.twist == kReadOnlyTarget) ::chmod(target.c_str(), 0444);
        if (c.twist == kLocked) ::chmod(folder, 0555);
        const std::string before = FileExists(target) ? ReadFile(target) : "(none)";
        Converter converter(TestEncoderSetup(LocateEncoder()));
        const ConversionOutcome probe = converter.Probe(source, nullptr).outcome;
        EXPECT_EQ(probe, c.outcome == kUndecodableSource ? kUndecodableSource : kConverted);
        if (c.twist == kGoneAfterProbe) fs::remove(source);
        if (probe == kConverted) {
            EXPECT_EQ(converter.Convert({source, target, 256}, nullptr, ignoreReports), c.outcome);
        }
        const std::string after = FileExists(target) ? ReadFile(target) : "(none)";
        EXPECT_TRUE(c.outcome == kConverted ? after.size() > 10000 : after == before);
        if (c.twist == kFullDisk) ::umount2(folder, MNT_DETACH);
        ::chmod(folder, 0755);  // so that it can be removed
    }
}

}  // namespace
}  // namespace vantrel
