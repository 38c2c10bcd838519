// Bad sources, bad targets and awkward names through the window's logic with
// the real ffmpeg: each gets its message, and nothing that existed is lost.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "control_ids.h"
#include "converter_dialog.h"
#include "encoder_location.h"
#include "recording_window.h"
#include "test_support.h"

namespace vantrel {
namespace {

using testing::FileExists;
using testing::ReadFile;
using testing::RecordingWindow;
using testing::TempDir;
using testing::WriteFile;

class BadInputTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        testing::DropFilePermissionOverrides();
        clipDir_ = new TempDir;
        ASSERT_TRUE(testing::MakeClip(clipDir_->File("clip.mp4"), 2));
    }
    static void TearDownTestSuite() {
        delete clipDir_;
        clipDir_ = nullptr;
    }

    BadInputTest() : dialog(window, testing::TestEncoderSetup(LocateEncoder())) {
        dialog.OnInitDialog();
    }
    ~BadInputTest() override { dialog.OnClose(); }

    std::string CopyOfClip(const std::string& path) {
        WriteFile(path, ReadFile(clipDir_->File("clip.mp4")));
        return path;
    }

    void Open(const std::string& path) {
        window.AnswerNextChoice(path);
        dialog.OnOpenSource();
    }

    // Encode, then wait for the worker and its report.
    void Convert() {
        dialog.OnEncode();
        ASSERT_TRUE(dialog.converting());
        dialog.WaitForWorker();
        ASSERT_TRUE(window.WaitUntil([&] { return window.Text(kIdEncode) == "Encode"; }));
    }

    static TempDir* clipDir_;
    TempDir dir;
    RecordingWindow window;
    ConverterDialog dialog;
};

TempDir* BadInputTest::clipDir_ = nullptr;

TEST_F(BadInputTest, SourcesThatAreNoMoviesAreRefusedWithAMessage) {
    const std::string clip = ReadFile(clipDir_->File("clip.mp4"));
    struct Case {
        const char* name;
        std::string content;
        mode_t mode;
    };
    const Case cases[] = {
        {"empty.avi", "", 0644},
        {"notes.avi", "a shopping list, not a movie\n", 0644},
        {"truncated.mp4", clip.substr(0, clip.size() / 3), 0644},
        {"unreadable.avi", clip, 0000},
    };
    std::vector<std::string> paths;
    for (const Case& c : cases) {
        paths.push_back(dir.File(c.name));
        WriteFile(paths.back(), c.content);
        ASSERT_EQ(::chmod(paths.back().c_str(), c.mode), 0);
    }
    paths.push_back(dir.File("folder.avi"));
    ASSERT_EQ(::mkdir(paths.back().c_str(), 0755), 0);

    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        const size_t before = window.Messages().size();
        Open(path);
        ASSERT_EQ(window.Messages().size(), before + 1);
        EXPECT_EQ(window.Messages().back(), "Unable to decode source video\r\n\r\n" + path);
        EXPECT_EQ(dialog.durationHundredths(), 0);
        dialog.OnEncode();  // inert without a duration
        EXPECT_FALSE(dialog.converting());
    }
    for (const Case& c : cases) {
        const std::string path = dir.File(c.name);
        ::chmod(path.c_str(), 0644);
        EXPECT_EQ(ReadFile(path), c.content) << c.name;  // nothing lost
    }
    EXPECT_FALSE(FileExists(dir.File("empty.d3v")));
}

TEST_F(BadInputTest, SourceDeletedBetweenOpenAndEncode) {
    const std::string source = CopyOfClip(dir.File("gone.mp4"));
    Open(source);
    ASSERT_GT(dialog.durationHundredths(), 0);
    ASSERT_EQ(::unlink(source.c_str()), 0);
    Convert();
    EXPECT_EQ(window.Messages(), std::vector<std::string>{"Conversion Failed\r\n\r\n" + source});
    EXPECT_FALSE(FileExists(dir.File("gone.d3v")));
}

TEST_F(BadInputTest, TargetFolderWithoutWritePermission) {
    const std::string folder = dir.File("locked");
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    const std::string source = CopyOfClip(folder + "/trip.mp4");
    ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);
    Open(source);
    ASSERT_GT(dialog.durationHundredths(), 0);
    Convert();
    EXPECT_EQ(window.Messages(), std::vector<std::string>{"Conversion Failed\r\n\r\n" + source});
    EXPECT_EQ(ReadFile(source), ReadFile(clipDir_->File("clip.mp4")));
}

TEST_F(BadInputTest, ExistingReadOnlyTargetIsKept) {
    const std::string source = CopyOfClip(dir.File("trip.mp4"));
    const std::string target = dir.File("trip.d3v");
    WriteFile(target, "last year's conversion");
    ASSERT_EQ(::chmod(target.c_str(), 0444), 0);
    Open(source);
    Convert();
    EXPECT_EQ(window.Messages(), std::vector<std::string>{"Conversion Failed\r\n\r\n" + source});
    EXPECT_EQ(ReadFile(target), "last year's conversion");
}

TEST_F(BadInputTest, AwkwardNamesConvert) {
    const std::string longFolder = dir.File(std::string(120, 'L'));
    ASSERT_EQ(::mkdir(longFolder.c_str(), 0755), 0);
    const std::string deeper = longFolder + "/" + std::string(120, 'M');
    ASSERT_EQ(::mkdir(deeper.c_str(), 0755), 0);
    struct Case {
        std::string source;
        std::string target;
    };
    const Case cases[] = {
        {dir.File("My Holiday.MP4"), dir.File("my holiday.d3v")},
        {dir.File("say \"cheese\".mp4"), dir.File("say \"cheese\".d3v")},
        {dir.File("back\\slash.mp4"), dir.File("back\\slash.d3v")},
        {dir.File("two\nlines.mp4"), dir.File("two\nlines.d3v")},
        {dir.File("Éte à Noël.mp4"), dir.File("Éte à noël.d3v")},
        {dir.File("-leading dash.mp4"), dir.File("-leading dash.d3v")},
        {dir.File("colon:in:name.mp4"), dir.File("colon:in:name.d3v")},
        {deeper + "/Over260.mp4", deeper + "/over260.d3v"},  // well past 260 bytes
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source);
        CopyOfClip(c.source);
        Open(c.source);
        ASSERT_EQ(dialog.targetPath(), c.target);
        ASSERT_EQ(dialog.durationHundredths(), 200);
        Convert();
        EXPECT_TRUE(window.Messages().empty()) << window.Messages().front();
        EXPECT_GT(testing::ReadFile(c.target).size(), 10000u);
        EXPECT_TRUE(FileExists(c.source));
    }
    EXPECT_GT(cases[7].source.size(), 260u);
}

}  // namespace
}  // namespace vantrel
