// The window's logic with the fake encoder, the test's thread playing the UI
// thread: the list of files, their probes off the UI thread, Encode and STOP
// over the list, and "Save to", as the user sees them.
#include "ui/converter_dialog.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#ifndef _WIN32
#include <unistd.h>
#endif

#include <filesystem>
#include <random>
#include <regex>

#include "platform/utf8_path.h"
#include "ui/control_ids.h"
#include "ui/tests/recording_window.h"

namespace vantrel {
namespace {

// A 50 s movie, as the fake encoder describes it; a probe ends there.
const std::string kDescription = "describe\nprobe-exit\n";
// A conversion that writes its target and then runs until stopped.
const std::string kEndless = kDescription + "target 2048\nhang\n";
const std::string kQuick = kDescription + "args\ntarget 2048\n";

// What the window shows must be what the logic is doing: the button, and
// every row as the logic has it.
::testing::AssertionResult ShowsItsState(testing::RecordingWindow& window, const ConverterDialog& dialog) {
    std::vector<ListRowTexts> kept;
    for (const SourceRow& row : dialog.rows()) kept.push_back(RowTexts(row, dialog.videoKilobits()));
    if ((window.Text(kIdEncode) == "STOP") == dialog.converting() && window.Rows() == kept) {
        return ::testing::AssertionSuccess();
    }
    ::testing::AssertionResult failure = ::testing::AssertionFailure() << window.Text(kIdEncode);
    for (const ListRowTexts& row : window.Rows()) failure << " | " << row[0] << ": " << row[3];
    return failure;
}

struct RememberingStore : SettingsStore {
    std::map<std::string, std::string, std::less<>> values;
    std::optional<std::string> Read(std::string_view key) override {
        return values.contains(key) ? std::optional(values.find(key)->second) : std::nullopt;
    }
    void Write(std::string_view key, std::string_view v) override { values[std::string(key)] = v; }
};

// The conversions running now with targets in `folder`: a conversion names
// its target's temporary name, which a probe never does. Other suites may be
// converting elsewhere meanwhile.
size_t ConversionsIn(const std::string& folder) {
#ifdef _WIN32
    const std::string target = folder + "\\";
#else
    const std::string target = folder + "/";
#endif
    size_t count = 0;
    for (const auto& [pid, line] : testing::CommandLines()) {
        count += line.find(target) != std::string::npos && line.find(".d3v.part") != std::string::npos;
    }
    return count;
}

class DialogTest : public ::testing::Test {
protected:
    DialogTest() {
        settings.values["simultaneous-conversions"] = "2";
        dialog.OnInitDialog();
    }
    // Writes `script` for the fake encoder as the file `name`, folders made.
    std::string Write(const std::string& name, const std::string& script) {
        std::filesystem::create_directories(testing::PathOf(dir.File(name)).parent_path());
        testing::WriteFile(dir.File(name), script);
        return dir.File(name);
    }
    // OPEN, choosing these files.
    void Open(const std::vector<std::string>& paths) {
        window.AnswerNextChoice(paths);
        dialog.OnOpenSource();
    }
    std::string Open(const std::string& name, const std::string& script) {
        Open(std::vector{Write(name, script)});
        return dir.File(name);
    }
    // Every row's probe has ended.
    bool Described() {
        return window.PumpUntil([&] {
            return std::none_of(dialog.rows().begin(), dialog.rows().end(),
                                [](const SourceRow& r) { return r.Runnable() && !r.probed; });
        });
    }
    bool ListDone() { return window.PumpUntil([&] { return !dialog.converting(); }); }
    ::testing::AssertionResult StatesAre(const std::vector<std::string>& patterns) {
        if (PumpUntilStatesAre(patterns)) return ::testing::AssertionSuccess();
        ::testing::AssertionResult failure = ::testing::AssertionFailure() << "the rows say";
        for (const std::string& state : window.States()) failure << " | " << state;
        return failure;
    }
    bool PumpUntilStatesAre(const std::vector<std::string>& patterns) {
        return window.PumpUntil([&] {
            const std::vector<std::string> states = window.States();
            if (states.size() != patterns.size()) return false;
            for (size_t i = 0; i < states.size(); ++i) {
                if (!std::regex_match(states[i], std::regex(patterns[i]))) return false;
            }
            return true;
        });
    }

    testing::TempDir dir;
    testing::RecordingWindow window;
    RememberingStore settings;
    ConverterDialog dialog{window, testing::TestEncoderSetup(FAKE_ENCODER_PATH), &settings};
};

TEST_F(DialogTest, OpenDescribesTheSourceAndEncodeConverts) {
    const std::string source = Open("Trip.AVI", kQuick);
    ASSERT_TRUE(Described());
    EXPECT_EQ(window.Text(kIdFileName), "Trip.AVI");
    EXPECT_EQ(window.Text(kIdDuration), "00:00:50.00");
    EXPECT_EQ(window.Rows().at(0), (ListRowTexts{"Trip.AVI", "0:50", "2.0 MB", "Waiting"}));
    EXPECT_TRUE(window.Enabled(kIdEncode));
    dialog.OnQuality(kIdQualityHighest);
    EXPECT_EQ(window.Rows().at(0)[2], "2.8 MB");  // the size to expect follows the quality
    dialog.OnEncode();
    EXPECT_TRUE(ShowsItsState(window, dialog));
    ASSERT_TRUE(ListDone());
    EXPECT_TRUE(window.Messages().empty());
    EXPECT_EQ(testing::ReadFile(dir.File("trip.d3v")).size(), 2048u);
    EXPECT_NE(testing::ReadFile(source + ".args").find("\n384k\n"), std::string::npos);
    EXPECT_EQ(window.States(), std::vector<std::string>{"Converted (2 kB)"});
    EXPECT_TRUE(std::regex_match(window.Text(kIdStatus),
                                 std::regex("Converted: trip\\.d3v \\(2 kB\\) in [0-9]+:[0-9]{2}")))
        << window.Text(kIdStatus);
}

// With one file the status line says what it always said; with several it
// follows the whole list: files done, the share weighed by duration, the
// time left. The run's end has the last word, after its last report.
TEST_F(DialogTest, TheStatusLineFollowsTheWholeList) {
    const std::string halfway = kDescription + "target 2048\nsay frame= 1 time=00:00:25.00\\r\n";
    const std::string source = Open("trip.avi", halfway + "hang\n");
    ASSERT_TRUE(Described());
    EXPECT_EQ(window.Text(kIdStatus), "Expected size: 2.0 MB");  // (256 + 64) kbit/s for 50 s
    dialog.OnEncode();
    ASSERT_TRUE(window.PumpUntil([&] { return window.Text(kIdStatus).rfind("50.0%", 0) == 0; }));
    EXPECT_TRUE(std::regex_match(window.Text(kIdStatus),
                                 std::regex("50\\.0%   [0-9.]+× real time   [0-9]+:[0-9]{2} left")));
    EXPECT_TRUE(std::regex_match(window.States().at(0), std::regex("50%, [0-9]+:[0-9]{2} left")));
    dialog.OnEncode();  // STOP
    Open("walk.avi", halfway + "hang\n");
    ASSERT_TRUE(Described());
    EXPECT_EQ(window.Text(kIdStatus), "Expected size: 4.0 MB");
    dialog.OnEncode();
    ASSERT_TRUE(window.PumpUntil([&] {
        return std::regex_match(window.Text(kIdStatus),
                                std::regex("0 of 2 files done   50\\.0%   [0-9]+:[0-9]{2} left"));
    }));
    dialog.OnEncode();
    testing::WriteFile(source, halfway + "exit 1\n");
    dialog.OnQuality(kIdQualityHighest);
    ASSERT_TRUE(StatesAre({"Stopped", "Stopped"}));
    EXPECT_EQ(window.Text(kIdStatus), "Expected size: 5.6 MB");
}

// Each case adds files and folders to the list and converts it, with "Save
// to" beside each movie or in the folder "out", once every file is described.
// {dir} stands for the test's folder.
struct ListCase {
    const char* name;
    std::vector<std::pair<std::string, std::string>> files;  // path in {dir}, script
    std::vector<std::string> added;                          // paths in {dir}
    bool intoFolder;
    std::vector<std::string> rows;    // "NAME: STATE" patterns, in the list's order
    std::vector<std::string> made;    // paths in {dir} that exist afterwards
    std::vector<std::string> absent;  // and that do not
    std::string status;               // the status line's pattern at the end
    std::vector<std::string> message; // the one message box's lines, or none
};

const std::string kUndecodable = "say Input #0, avi\\n\n";
const std::string kDenied = kDescription + "say file:/m/bad.d3v: Permission denied\\n\nexit 1\n";

const ListCase kListCases[] = {
    {"a folder gives its movies in name order, each once, hidden and converted files passed over",
     {{"season/e02.avi", kQuick}, {"season/E01.mkv", kQuick}, {"season/.e03.avi", kQuick},
      {"season/old.d3v", kQuick}, {"season/notes.txt", kQuick}, {"season/extra/e04.avi", kQuick}},
     {"season", "season/E01.mkv"}, false,
     {"E01.mkv: Converted \\(2 kB\\)", "e02.avi: Converted \\(2 kB\\)", "e04.avi: Converted \\(2 kB\\)"},
     {"season/e01.d3v", "season/e02.d3v", "season/extra/e04.d3v"}, {"season/.e03.d3v"},
     "3 files converted, in [0-9]+:[0-9]{2}", {}},
    {"a chosen folder takes every file, none beside",
     {{"a/trip.avi", kQuick}, {"b/walk.avi", kQuick}}, {"a/trip.avi", "b/walk.avi"}, true,
     {"trip.avi: Converted \\(2 kB\\)", "walk.avi: Converted \\(2 kB\\)"},
     {"out/trip.d3v", "out/walk.d3v"}, {"a/trip.d3v", "b/walk.d3v"},
     "2 files converted, in [0-9]+:[0-9]{2}", {}},
    {"twins into one folder: the second is skipped, nothing written over",
     {{"a/trip.avi", kQuick}, {"b/Trip.avi", kEndless}}, {"a/trip.avi", "b/Trip.avi"}, true,
     {"trip.avi: Converted \\(2 kB\\)",
      "Trip.avi: Skipped: trip.avi is converted to the same file trip.d3v"},
     {"out/trip.d3v"}, {}, "1 file converted, 1 failed, in [0-9]+:[0-9]{2}",
     {"{dir}/b/Trip.avi", "", "trip.avi is converted to the same file trip.d3v"}},
    {"failures are told in their rows, and once for the list, with the source and why",
     {{"notes.avi", kUndecodable}, {"bad.avi", kDenied}, {"good.avi", kQuick}},
     {"notes.avi", "bad.avi", "good.avi"}, false,
     {"notes.avi: Failed: Unable to decode source video",
      "bad.avi: Failed: Conversion Failed \\(/m/bad.d3v: Permission denied\\)",
      "good.avi: Converted \\(2 kB\\)"},
     {"good.d3v"}, {"bad.d3v", "bad.d3v.part"}, "1 file converted, 1 failed, in [0-9]+:[0-9]{2}",
     {"Conversion Failed", "", "{dir}/bad.avi", "", "/m/bad.d3v: Permission denied"}},
#ifndef _WIN32
    {"a folder that cannot be written is skipped with the reason, the others go on",
     {{"locked/x.avi", kQuick}, {"free/y.avi", kQuick}}, {"locked", "free"}, false,
     {"x.avi: Skipped: Cannot write in {dir}/locked: choose a folder under Save to",
      "y.avi: Converted \\(2 kB\\)"},
     {"free/y.d3v"}, {"locked/x.d3v"}, "1 file converted, 1 failed, in [0-9]+:[0-9]{2}",
     {"{dir}/locked/x.avi", "", "Cannot write in {dir}/locked: choose a folder under Save to"}},
#endif
};

TEST_F(DialogTest, ListScenarios) {
#ifndef _WIN32
    testing::DropFilePermissionOverrides();  // so that the locked folder binds though run as root
#endif
    for (const ListCase& c : kListCases) {
        SCOPED_TRACE(c.name);
        testing::TempDir here;
        testing::RecordingWindow shown;
        RememberingStore own;
        own.values["simultaneous-conversions"] = "2";
        ConverterDialog list(shown, testing::TestEncoderSetup(FAKE_ENCODER_PATH), &own);
        list.OnInitDialog();
        const auto in = [&](const std::string& path) { return here.File(path); };
        for (const auto& [path, script] : c.files) {
            std::filesystem::create_directories(testing::PathOf(in(path)).parent_path());
            testing::WriteFile(in(path), script);
        }
        ::chmod(in("locked").c_str(), 0555);
        if (c.intoFolder) {
            std::filesystem::create_directories(testing::PathOf(in("out")));
            shown.AnswerNextFolder(in("out"));
            list.OnSaveTo(1);
        }
        std::vector<std::string> added;
        for (const std::string& path : c.added) added.push_back(in(path));
        list.OnAddPaths(added);
        ASSERT_TRUE(shown.PumpUntil([&] {
            return std::none_of(list.rows().begin(), list.rows().end(),
                                [](const SourceRow& r) { return r.Runnable() && !r.probed; });
        }));
        list.OnEncode();
        ASSERT_TRUE(shown.PumpUntil([&] { return !list.converting(); }));
        ::chmod(in("locked").c_str(), 0755);
        const auto inHere = [&](const std::string& text) {
            return std::regex_replace(text, std::regex("\\{dir\\}"), here.path());
        };
        std::vector<std::string> rows;
        for (const ListRowTexts& row : shown.Rows()) rows.push_back(row[0] + ": " + row[3]);
        ASSERT_EQ(rows.size(), c.rows.size());
        for (size_t i = 0; i < rows.size(); ++i) {
            EXPECT_TRUE(std::regex_match(rows[i], std::regex(inHere(c.rows[i])))) << rows[i];
        }
        for (const std::string& path : c.made) EXPECT_TRUE(testing::FileExists(in(path))) << path;
        for (const std::string& path : c.absent) EXPECT_FALSE(testing::FileExists(in(path))) << path;
        EXPECT_TRUE(std::regex_match(shown.Text(kIdStatus), std::regex(c.status))) << shown.Text(kIdStatus);
        // The list holds each file by its full path, in the system's own form.
        std::string message;
        for (const std::string& line : c.message) {
            message += (message.empty() ? "" : "\r\n") +
                       (line.rfind("{dir}", 0) == 0 ? AbsolutePath(inHere(line)) : inHere(line));
        }
        EXPECT_EQ(shown.Messages(), c.message.empty() ? std::vector<std::string>{} : std::vector{message});
        EXPECT_TRUE(ShowsItsState(shown, list));
    }
}

// Two at once, as set; STOP stops both and leaves no temporary file, the
// converted row stays converted. An Encode at once after takes up only the
// stopped rows, each once its stopped run has ended: two runs never write
// the same file.
TEST_F(DialogTest, StopStopsEveryRunningRowAndEncodeTakesThemUpAgain) {
    Open({Write("a.avi", kQuick), Write("b.avi", kEndless), Write("c.avi", kEndless),
          Write("d.avi", kEndless)});
    ASSERT_TRUE(Described());
    dialog.OnEncode();
    // Two at once: the third waits.
    ASSERT_TRUE(window.PumpUntil([&] {
        return testing::FileExists(dir.File("b.d3v.part")) && testing::FileExists(dir.File("c.d3v.part"));
    }));
    EXPECT_EQ(ConversionsIn(dir.path()), 2u);
    EXPECT_EQ(window.States()[3], "Waiting");
    dialog.OnEncode();  // STOP
    EXPECT_EQ(window.States(), (std::vector<std::string>{"Converted (2 kB)", "Stopped", "Stopped", "Waiting"}));
    EXPECT_TRUE(ShowsItsState(window, dialog));

    std::filesystem::remove(testing::PathOf(dir.File("a.d3v")));
    for (const char* name : {"b.avi", "c.avi", "d.avi"}) Write(name, kQuick);
    dialog.OnEncode();  // before the stopped runs' ends are back
    EXPECT_EQ(window.States(), (std::vector<std::string>{"Converted (2 kB)", "Stopped", "Stopped", "Waiting"}));
    ASSERT_TRUE(ListDone());
    EXPECT_EQ(window.States(), std::vector<std::string>(4, "Converted (2 kB)"));
    EXPECT_FALSE(testing::FileExists(dir.File("a.d3v")));  // converted once, not again
    for (const char* name : {"b", "c", "d"}) {
        EXPECT_EQ(testing::ReadFile(dir.File(std::string(name) + ".d3v")).size(), 2048u) << name;
        EXPECT_FALSE(testing::FileExists(dir.File(std::string(name) + ".d3v.part"))) << name;
    }
}

// Remove takes off every selected row but the converting ones, and the
// stopped ones until their runs have ended; Clear Finished the converted,
// failed and skipped ones. No file goes with them.
TEST_F(DialogTest, RemoveAndClearFinishedTakeRowsOffButNeverARunningOne) {
    Open({Write("ok.avi", kQuick), Write("run1.avi", kEndless), Write("run2.avi", kEndless),
          Write("wait.avi", kQuick), Write("notes.avi", kUndecodable)});
    ASSERT_TRUE(Described());
    dialog.OnEncode();
    ASSERT_TRUE(StatesAre({"Converted \\(2 kB\\)", ".+", ".+", "Waiting", "Failed: .*"}));
    ASSERT_TRUE(window.PumpUntil([&] { return ConversionsIn(dir.path()) == 2; },
                                 false));
    dialog.OnClearFinished();
    ASSERT_EQ(window.Rows().size(), 3u);
    EXPECT_EQ(window.Rows()[2][0], "wait.avi");
    window.Select({0, 1, 2});
    dialog.OnRemove();
    EXPECT_EQ(window.Rows().size(), 2u);
    EXPECT_TRUE(ShowsItsState(window, dialog));
    EXPECT_TRUE(testing::FileExists(dir.File("ok.d3v")));
    dialog.OnEncode();  // STOP
    window.Select({0, 1});
    dialog.OnRemove();  // before their runs have ended
    EXPECT_EQ(window.Rows().size(), 2u);
    ASSERT_TRUE(window.PumpUntil([&] { return !dialog.working(); }));
    dialog.OnRemove();
    EXPECT_TRUE(window.Rows().empty());
    EXPECT_FALSE(window.Enabled(kIdEncode));
}

// Quality and "Save to" reach the rows not yet started; a running row keeps
// what it started with. A crash of one row's encoder lets the next start.
// (Killing it is a Linux test's own doing.)
#ifndef _WIN32
TEST_F(DialogTest, QualityAndSaveToApplyToRowsNotYetStarted) {
    const std::string first = Write("first.avi", kDescription + "args\ntarget 2048\nhang\n");
    Open({first, Write("second.avi", kEndless), Write("third.avi", kQuick)});
    ASSERT_TRUE(Described());
    dialog.OnQuality(kIdQualityLowest);
    dialog.OnEncode();
    // Both have written their arguments, then begun their targets.
    ASSERT_TRUE(window.PumpUntil([&] {
        return testing::FileExists(dir.File("first.d3v.part")) && testing::FileExists(dir.File("second.d3v.part"));
    }, false));
    dialog.OnQuality(kIdQualityHighest);
    std::filesystem::create_directories(testing::PathOf(dir.File("out")));
    window.AnswerNextFolder(dir.File("out"));
    dialog.OnSaveTo(1);
    for (const int pid : testing::ProcessesMentioning("second.d3v.part")) ::kill(pid, SIGKILL);
    ASSERT_TRUE(StatesAre({".+", "Failed: .+", "Converted \\(2 kB\\)"}));
    EXPECT_TRUE(testing::FileExists(dir.File("out/third.d3v")));
    EXPECT_NE(testing::ReadFile(first + ".args").find("\n192k\n"), std::string::npos);
    EXPECT_NE(testing::ReadFile(dir.File("third.avi.args")).find("\n384k\n"), std::string::npos);
    EXPECT_NE(testing::ReadFile(first + ".args").find(dir.File("first.d3v.part")), std::string::npos);
    dialog.OnEncode();
}
#endif

// "Save to" offers the folder chosen last, across restarts; a cancelled
// chooser keeps the choice there was.
TEST_F(DialogTest, SaveToRemembersTheChosenFolder) {
    const std::vector<std::string> beside{"Beside each movie", "Choose a folder…"};
    EXPECT_EQ(window.Choices(kIdSaveTo), std::pair(beside, 0));
    window.AnswerNextFolder(dir.File("out"));
    dialog.OnSaveTo(1);
    const std::vector<std::string> withFolder{"Beside each movie", dir.File("out"), "Choose a folder…"};
    EXPECT_EQ(window.Choices(kIdSaveTo), std::pair(withFolder, 1));
    testing::RecordingWindow next;
    ConverterDialog restarted(next, testing::TestEncoderSetup(FAKE_ENCODER_PATH), &settings);
    restarted.OnInitDialog();
    EXPECT_EQ(next.Choices(kIdSaveTo), std::pair(withFolder, 1));
    restarted.OnSaveTo(2);  // the chooser is cancelled
    EXPECT_EQ(next.Choices(kIdSaveTo), std::pair(withFolder, 1));
    EXPECT_EQ(restarted.saveTo(), dir.File("out"));
    restarted.OnSaveTo(0);
    EXPECT_EQ(next.Choices(kIdSaveTo), std::pair(withFolder, 0));
    EXPECT_EQ(restarted.saveTo(), "");
}

// A recording whose header was never finished has no duration: it converts
// all the same, and the status line counts the time converted instead.
TEST_F(DialogTest, ASourceWithoutADurationConverts) {
    const std::string noDuration =
        "say Input #0, mpegts, from 'x':\\n  Duration: N/A, bitrate: N/A\\n"
        "  Stream #0:0: Video: h264, yuv420p, 320x240, 25 fps\\n"
        "  Stream #0:1: Audio: aac, 44100 Hz, mono\\nStream mapping:\\n\n";
    Open("rec.ts", noDuration + "probe-exit\nsay frame= 1 time=00:01:05.00\\r\ntarget 2048\nhang\n");
    ASSERT_TRUE(Described());
    EXPECT_EQ(window.Text(kIdDuration), "N/A");
    EXPECT_TRUE(window.Enabled(kIdEncode));
    dialog.OnEncode();
    ASSERT_TRUE(window.PumpUntil([&] { return window.Text(kIdStatus).rfind("1:05 converted", 0) == 0; }));
    dialog.OnEncode();  // STOP
    ASSERT_TRUE(window.PumpUntil([&] { return !dialog.working(); }));
    EXPECT_FALSE(testing::FileExists(dir.File("rec.d3v")));
}

TEST_F(DialogTest, OpenStartsInTheFolderOfTheLastSourceAfterARestart) {
    Open("trip.avi", kDescription);
    ASSERT_TRUE(Described());
    testing::RecordingWindow next;
    ConverterDialog restarted(next, testing::TestEncoderSetup(FAKE_ENCODER_PATH), &settings);
    restarted.OnInitDialog();
    restarted.OnOpenSource();
    EXPECT_EQ(next.FolderOffered(), dir.path());
}

// A named pipe or a stalled mount keeps ffmpeg waiting for ever. The encoder
// writes its arguments to a pipe the test reads: then it is surely running.
// (Windows has no pipe that lives in a folder.)
#ifndef _WIN32
TEST_F(DialogTest, AProbeThatNeverEndsLeavesTheWindowUsableAndCloseStopsIt) {
    ASSERT_EQ(::mkfifo(dir.File("stalled.avi.args").c_str(), 0600), 0);
    testing::ReadFile(Open("stalled.avi", "args\nhang\n") + ".args");
    EXPECT_TRUE(window.Busy());
    Open("trip.avi", kQuick);  // the window takes more meanwhile
    EXPECT_EQ(window.Rows().size(), 2u);
    dialog.OnClose();
    EXPECT_FALSE(window.Busy());
    EXPECT_TRUE(testing::ProcessesMentioning(dir.path()).empty());
}
#endif

// The run has ended, but the UI thread has not yet heard: the button still
// says STOP, and the click stops nothing: the file is there, and its row says so.
TEST_F(DialogTest, AClickThatLandsAsARunEndsKeepsTheConvertedFile) {
    Open("trip.avi", kDescription + "target 2048\n");
    ASSERT_TRUE(Described());
    dialog.OnEncode();
    ASSERT_TRUE(window.PumpUntil([&] { return testing::FileExists(dir.File("trip.d3v")); }, false));
    dialog.OnEncode();
    EXPECT_FALSE(dialog.converting());
    ASSERT_TRUE(StatesAre({"Converted \\(2 kB\\)"}));
    EXPECT_EQ(testing::ReadFile(dir.File("trip.d3v")).size(), 2048u);
}

// Random sequences of adding files, removing rows, quality, Encode or STOP,
// the UI thread catching up, and close. After every step the window shows
// the state the logic is in, no row's conversion runs twice, and every
// converted row's file is there; after STOP nothing converts once the UI
// thread has caught up. After every sequence no process, zombie, descriptor,
// temporary file or stray target is left.
TEST(Soak, RandomSequencesLeaveNothingBehind) {
    // What each source's conversion does: only the "ok" ones may leave a target,
    // the "endless" ones end only when stopped, and the list passes over "notes.txt".
    const std::pair<std::string, std::string> sources[] = {
        {"ok-quick.avi", "target 2048\n"}, {"endless-talker.avi", "target 2048\ntalk\n"},
        {"ok-chatty.avi",
         "say frame= 1 time=00:00:10.00\\r\ntarget 2048\nsay frame= 3 time=00:00:49.00\\r\n"},
        {"endless-silent.avi", "target 2048\nhang\n"},
        {"endless-deaf.avi", "ignore-term\ntarget 2048\nhang\n"}, {"notes.txt", ""},
        {"failer.avi", "target 2048\nexit 1\n"}, {"crasher.avi", "target 2048\ncrash\n"},
    };
    testing::TempDir dir;
    for (const auto& [name, run] : sources) testing::WriteFile(dir.File(name), kDescription + run);
    std::mt19937 random(20261207);
    const EncoderSetup setup = testing::TestEncoderSetup(FAKE_ENCODER_PATH);
    RememberingStore settings;
    settings.values["simultaneous-conversions"] = "3";
#ifndef _WIN32
    const int fdsBefore = testing::OpenFileDescriptors();
#endif
    // Under wine each process costs many times what it does on Linux.
#ifdef _WIN32
    constexpr int kSequences = 50;
#else
    constexpr int kSequences = 300;
#endif
    for (int sequence = 0; sequence < kSequences; ++sequence) {
        SCOPED_TRACE("sequence " + std::to_string(sequence));
        auto shown = std::make_unique<testing::RecordingWindow>();
        testing::RecordingWindow& window = *shown;
        auto dialog = std::make_unique<ConverterDialog>(window, setup, &settings);
        dialog->OnInitDialog();
        for (int step = 1 + static_cast<int>(random() % 14); step > 0; --step) {
            const auto action = random() % 12;
            if (action < 3) {
                std::vector<std::string> chosen;
                for (auto n = 1 + random() % 3; n > 0; --n) {
                    chosen.push_back(dir.File(sources[random() % std::size(sources)].first));
                }
                window.AnswerNextChoice(chosen);
                dialog->OnOpenSource();
            } else if (action < 4) {
                dialog->OnQuality(kQualityRadios[random() % kQualityRadios.size()]);
            } else if (action < 5 && !window.Rows().empty()) {
                window.Select({random() % window.Rows().size()});
                dialog->OnRemove();
            } else if (action < 8) {
                const bool stopping = dialog->converting();
                dialog->OnEncode();  // Encode, or STOP while converting
                if (stopping) {  // once their ends are back, nothing converts
                    ASSERT_TRUE(window.PumpUntil([&] { return !dialog->working(); }));
                    ASSERT_EQ(ConversionsIn(dir.path()), 0u);
                }
            } else {  // the UI thread catches up: probes end, and runs that can
                ASSERT_TRUE(window.PumpUntil([&] {
                    return std::none_of(dialog->rows().begin(), dialog->rows().end(), [](const SourceRow& r) {
                        return (r.Runnable() && !r.probed) ||
                               (r.state == RowState::kConverting && r.sourcePath.find("endless") == std::string::npos);
                    });
                }));
            }
            ASSERT_TRUE(ShowsItsState(window, *dialog));
            std::map<std::string, int> runs;  // of each target
            for (const auto& [pid, line] : testing::CommandLines()) {
                const size_t part = line.find(".d3v.part");
                if (line.find(dir.path()) == std::string::npos || part == std::string::npos) continue;
#ifndef _WIN32
                // Only the encoders this program started: a sanitizer's own
                // helper at an encoder's exit shares its command line.
                const std::string stat = testing::ReadFile("/proc/" + std::to_string(pid) + "/stat");
                if (std::atoi(stat.c_str() + stat.rfind(')') + 4) != ::getpid()) continue;
#endif
                const size_t name = line.find_last_of("/\\", part) + 1;
                ASSERT_EQ(++runs[line.substr(name, part - name)], 1) << line;
            }
            for (const SourceRow& row : dialog->rows()) {
                ASSERT_TRUE(row.state != RowState::kConverted || testing::FileExists(row.target));
            }
        }
        dialog.reset();  // closes it
        ASSERT_TRUE(testing::ProcessesMentioning(dir.path()).empty());
#ifndef _WIN32
        ASSERT_EQ(testing::ZombieChildren(), 0);
        ASSERT_EQ(testing::OpenFileDescriptors(), fdsBefore);
#endif
        for (const auto& [name, run] : sources) {
            const std::string target = dir.File(name.substr(0, name.find('.')) + ".d3v");
            ASSERT_FALSE(testing::FileExists(target + ".part")) << target;
            ASSERT_TRUE(name.rfind("ok", 0) == 0 || !testing::FileExists(target)) << target;
        }
    }
}

}  // namespace
}  // namespace vantrel
