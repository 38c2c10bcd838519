// The window's logic with the fake encoder, the test's thread playing the UI
// thread: the list of files, their probes off the UI thread, Encode and STOP
// over the list, and "Save to", as the user sees them.
#include "ui/converter_dialog.h"

#include <gtest/gtest.h>

#include <tuple>
#include <signal.h>
#include <sys/stat.h>
#ifndef _WIN32
#include <unistd.h>
#endif

#include <array>
#include <filesystem>
#include <random>
#include <regex>
#include <sstream>

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
    for (const ListRowTexts& row : window.Rows()) failure << " | " << row[0] << ": " << row[4];
    return failure;
}

struct RememberingStore : SettingsStore {
    std::map<std::string, std::string, std::less<>> values;
    std::optional<std::string> Read(std::string_view key) override {
        return values.contains(key) ? std::optional(values.find(key)->second) : std::nullopt;
    }
    void Write(std::string_view key, std::string_view v) override { values[std::string(key)] = v; }
};

// "Save to"'s last choice, "Choose a folder…": the cards plugged in, by a
// user or by a test running meanwhile, come before it.
int ChooseAFolder(testing::RecordingWindow& window) {
    return static_cast<int>(window.ChoiceTexts(kIdSaveTo).size()) - 1;
}

// "Save to"'s choices and the one chosen, the cards among them left out;
// they come after the others a test chooses.
std::pair<std::vector<std::string>, int> SaveToWithoutCards(testing::RecordingWindow& window) {
    auto [choices, chosen] = window.Choices(kIdSaveTo);
    std::erase_if(choices, [](const std::string& choice) {
        return std::regex_search(choice, std::regex(": [0-9.]+ (kB|MB|GB) free$"));
    });
    return {choices, chosen};
}

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

// The computer's power as a user without a desktop's say would have it: sleep
// allowed, shutting down refused, and every request kept.
struct RecordingPower : SystemPower {
    std::vector<PowerAction> requested;
    PowerPermission Permission(PowerAction action) override {
        if (action == PowerAction::kSleep) return {true, ""};
        return {false, "The system does not allow this user to shut down the computer"};
    }
    Expected<void> Request(PowerAction action) override {
        requested.push_back(action);
        return {};
    }
};

class DialogTest : public ::testing::Test {
protected:
    DialogTest() {
        settings.values["simultaneous-conversions"] = "2";
        // The fake encoder has no sound whose loudness a run before the
        // conversion could measure; that run would play the script too.
        settings.values["normalize-loudness"] = "false";
#ifndef _WIN32
        // The list's report goes into the test's own folder, set before
        // any thread of the dialog's may read the environment.
        ::setenv("XDG_DATA_HOME", dir.path().c_str(), 1);
#endif
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
    RecordingPower power;
    ConverterDialog dialog{window, testing::TestEncoderSetup(FAKE_ENCODER_PATH), &settings, &power};
};

TEST_F(DialogTest, OpenDescribesTheSourceAndEncodeConverts) {
    const std::string source = Open("Trip.AVI", kQuick);
    ASSERT_TRUE(Described());
    EXPECT_EQ(window.Text(kIdFileName), "Trip.AVI");
    EXPECT_EQ(window.Text(kIdDuration), "00:00:50.00");
    EXPECT_EQ(window.Rows().at(0), (ListRowTexts{"Trip.AVI", "trip.d3v", "0:50", "2.0 MB", "Waiting"}));
    EXPECT_TRUE(window.Enabled(kIdEncode));
    dialog.OnQuality(kIdQualityHighest);
    EXPECT_EQ(window.Rows().at(0)[3], "2.8 MB");  // the size to expect follows the quality
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
    std::optional<uint64_t> freeBytes = std::nullopt;  // the room every folder has; none: the disk's own
};

// A disk with this much room, whatever is written: the room a row sees
// before it starts is told apart from what the rows before it will write.
class FixedRoom : public FreeSpaceSource {
public:
    explicit FixedRoom(uint64_t bytes) : bytes_(bytes) {}
    std::optional<uint64_t> FreeBytes(const std::string&) const override { return bytes_; }

private:
    uint64_t bytes_;
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
    // Each 50 s movie is expected to make 2.0 MB, and needs 2.7 MB with the margin.
    {"a row that would not fit beside what is converting into its folder is skipped with both figures",
     {{"a.avi", kQuick}, {"b.avi", kQuick}}, {"a.avi", "b.avi"}, false,
     {"a.avi: Converted \\(2 kB\\)", "b.avi: Skipped: .+ has 2.0 MB free; this movie needs about 2.7 MB"},
     {"a.d3v"}, {"b.d3v", "b.d3v.part"}, "1 file converted, 1 failed, in [0-9]+:[0-9]{2}",
     {"{dir}/b.avi", "", "{dir} has 2.0 MB free; this movie needs about 2.7 MB"}, 4000000},
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
        own.values["normalize-loudness"] = "false";  // see DialogTest
        ConverterDialog list(shown,
                             testing::TestEncoderSetup(FAKE_ENCODER_PATH,
                                                       c.freeBytes ? std::make_shared<FixedRoom>(*c.freeBytes) : nullptr),
                             &own);
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
            list.OnSaveTo(ChooseAFolder(shown));
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
        for (const ListRowTexts& row : shown.Rows()) rows.push_back(row[0] + ": " + row[4]);
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
    dialog.OnSaveTo(ChooseAFolder(window));
    for (const int pid : testing::ProcessesMentioning("second.d3v.part")) ::kill(pid, SIGKILL);
    ASSERT_TRUE(StatesAre({".+", "Failed: .+", "Converted \\(2 kB\\)"}));
    EXPECT_TRUE(testing::FileExists(dir.File("out/third.d3v")));
    EXPECT_NE(testing::ReadFile(first + ".args").find("\n192k\n"), std::string::npos);
    EXPECT_NE(testing::ReadFile(dir.File("third.avi.args")).find("\n384k\n"), std::string::npos);
    EXPECT_NE(testing::ReadFile(first + ".args").find(dir.File("first.d3v.part")), std::string::npos);
    dialog.OnEncode();
}
#endif

// "From" and "To" reach the selected rows: the list shows the part's length
// and size, and the conversion takes the part. Times that are not times, or
// a From not before To, change nothing and say why.
TEST_F(DialogTest, FromAndToTakeThePartOfTheSelectedRows) {
    Open({Write("a.avi", kQuick), Write("b.avi", kQuick)});
    ASSERT_TRUE(Described());
    window.Select({0});
    dialog.OnListSelectionChanged();
    dialog.OnTrim("0:10", " 40 ");
    EXPECT_EQ(window.Rows()[0], (ListRowTexts{"a.avi", "a.d3v", "0:30", "1.2 MB", "Waiting"}));
    EXPECT_EQ(window.Text(kIdTrimFrom), "0:00:10");
    EXPECT_EQ(window.Text(kIdTrimTo), "0:00:40");
    EXPECT_EQ(window.Rows()[1][2], "0:50");
    EXPECT_EQ(window.Text(kIdStatus), "Expected size: 3.2 MB");
    for (const auto& [from, to, why] : {
             std::tuple{"1:2:3", "", "From and To take h:mm:ss, m:ss or seconds, such as 1:02:03, 4:30 or 90"},
             std::tuple{"45", "0:40", "From must come before To"}}) {
        dialog.OnTrim(from, to);
        EXPECT_EQ(window.Text(kIdStatus), why);
        EXPECT_EQ(window.Rows()[0][2], "0:30");
    }
    // Only To typed, with both rows selected: each keeps its own From.
    window.Select({0, 1});
    dialog.OnListSelectionChanged();
    dialog.OnTrim(std::nullopt, "0:45");
    EXPECT_EQ(window.Rows()[0][2], "0:35");
    EXPECT_EQ(window.Rows()[1][2], "0:45");
    dialog.OnTrim(std::nullopt, "40");
    EXPECT_EQ(window.Rows()[0][2], "0:30");
    EXPECT_EQ(window.Rows()[1][2], "0:40");
    dialog.OnEncode();
    ASSERT_TRUE(ListDone());
    const std::string part = testing::ReadFile(dir.File("a.avi.args"));
    EXPECT_NE(part.find("\n-ss\n10.000\n"), std::string::npos) << part;
    EXPECT_NE(part.find("\n-t\n30.000\n"), std::string::npos) << part;
    const std::string whole = testing::ReadFile(dir.File("b.avi.args"));
    EXPECT_EQ(whole.find("\n-ss\n"), std::string::npos) << whole;
    EXPECT_NE(whole.find("\n-t\n40.000\n"), std::string::npos) << whole;
}

// "Save to" offers the folder chosen last, across restarts; a cancelled
// chooser keeps the choice there was.
TEST_F(DialogTest, SaveToRemembersTheChosenFolder) {
    const std::vector<std::string> beside{"Beside each movie", "Choose a folder…"};
    EXPECT_EQ(SaveToWithoutCards(window), std::pair(beside, 0));
    window.AnswerNextFolder(dir.File("out"));
    dialog.OnSaveTo(ChooseAFolder(window));
    const std::vector<std::string> withFolder{"Beside each movie", dir.File("out"), "Choose a folder…"};
    EXPECT_EQ(SaveToWithoutCards(window), std::pair(withFolder, 1));
    testing::RecordingWindow next;
    ConverterDialog restarted(next, testing::TestEncoderSetup(FAKE_ENCODER_PATH), &settings);
    restarted.OnInitDialog();
    EXPECT_EQ(SaveToWithoutCards(next), std::pair(withFolder, 1));
    restarted.OnSaveTo(ChooseAFolder(next));  // the chooser is cancelled
    EXPECT_EQ(SaveToWithoutCards(next), std::pair(withFolder, 1));
    EXPECT_EQ(restarted.saveTo(), dir.File("out"));
    restarted.OnSaveTo(0);
    EXPECT_EQ(SaveToWithoutCards(next), std::pair(withFolder, 0));
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

// A 30 s movie as ffmpeg describes it: a picture, then `streams`, each a
// stream of its own ("(ger): Audio: ac3, 48000 Hz, 5.1(side), fltp"); a
// probe ends there.
std::string Tracks(const std::vector<std::string>& streams) {
    std::string said = "say Input #0, matroska,webm, from 'x':\\n  Duration: 00:00:30.00, start: "
                       "0.000000, bitrate: 900 kb/s\\n  Stream #0:0: Video: h264 (High), yuv420p, "
                       "640x480, 25 fps\\n";
    for (size_t i = 0; i < streams.size(); ++i) {
        said += "  Stream #0:" + std::to_string(i + 1) + streams[i] + "\\n";
    }
    return said + "Stream mapping:\\n\nprobe-exit\n";
}

const std::string kGermanSound = "(ger): Audio: ac3, 48000 Hz, 5.1(side), fltp";
const std::string kEnglishSound = "(eng): Audio: aac (LC), 48000 Hz, stereo, fltp (default)";
// German sound, forced German subtitles as text and English ones as pictures.
const std::string kFilm =
    Tracks({kGermanSound, "(ger): Subtitle: subrip (forced)", "(eng): Subtitle: hdmv_pgs_subtitle"});
const std::string kAnime = Tracks({"(jpn): Audio: aac (LC), 48000 Hz, stereo, fltp", "(eng): Subtitle: subrip",
                                   "(ger): Subtitle: subrip (hearing impaired)", "(ger): Subtitle: ass"});
const std::string kSubtitleText = "1\n00:00:01,000 --> 00:00:05,000\nHallo\n";

// Every row of `dialog` described by its probe.
bool AllDescribed(testing::RecordingWindow& window, const ConverterDialog& dialog) {
    return window.PumpUntil([&] {
        return std::none_of(dialog.rows().begin(), dialog.rows().end(),
                            [](const SourceRow& r) { return r.Runnable() && !r.probed; });
    });
}

// Each case writes files into a folder of its own, adds the movies among them
// with the language the settings prefer, selects rows by their places, and
// tells what the Subtitles list then offers and what the panel shows.
struct TrackCase {
    const char* name;
    std::vector<std::pair<std::string, std::string>> files;  // name, script or text
    std::vector<std::string> added;
    std::string language;
    std::vector<size_t> selected;
    std::vector<std::string> choices;  // the Subtitles list's lines
    std::string chosen;                // the one it shows
    std::string sound;                 // the panel's Sound
    std::string drawn;                 // and its Subtitles
};

const TrackCase kTrackCases[] = {
    {"its tracks, then the files beside it, the preferred language's first: Auto takes such a file",
     {{"film.mkv", kFilm}, {"film.srt", kSubtitleText}, {"film.de.srt", kSubtitleText},
      {"film.en.srt", kSubtitleText}, {"other.srt", kSubtitleText}},
     {"film.mkv"}, "de", {0},
     {"Off", "Auto", "Track 1: German, forced", "Track 2: English (image)", "film.de.srt", "film.srt",
      "film.en.srt"},
     "Auto", "German, 5.1(side)", "film.de.srt"},
    {"without a file beside it Auto takes a forced track",
     {{"film.mkv", kFilm}}, {"film.mkv"}, "de", {0},
     {"Off", "Auto", "Track 1: German, forced", "Track 2: English (image)"},
     "Auto", "German, 5.1(side)", "Track 1: German, forced"},
    {"of several sound tracks the preferred language's; a film heard in it has no subtitles",
     {{"multi.mkv", Tracks({kEnglishSound, kGermanSound, "(eng): Audio: aac (LC), 48000 Hz, stereo, fltp (comment)",
                            "(eng): Subtitle: subrip", "(ger): Subtitle: subrip"})}},
     {"multi.mkv"}, "de", {0},
     {"Off", "Auto", "Track 1: English", "Track 2: German"}, "Auto", "Track 2 of 3: German, 5.1(side)", "None"},
    {"the same film for an English reader: the default sound, and no subtitles for it",
     {{"multi.mkv", Tracks({kEnglishSound, kGermanSound, "(eng): Subtitle: subrip"})}},
     {"multi.mkv"}, "en", {0},
     {"Off", "Auto", "Track 1: English"}, "Auto", "Track 1 of 2: English, stereo", "None"},
    {"a film heard in another language: the preferred language's full subtitles",
     {{"anime.mkv", kAnime}}, {"anime.mkv"}, "de", {0},
     {"Off", "Auto", "Track 1: English", "Track 2: German, hearing impaired", "Track 3: German"},
     "Auto", "Japanese, stereo", "Track 3: German"},
    {"rows with different tracks: Off and Auto only; the panel describes the first",
     {{"film.mkv", kFilm}, {"anime.mkv", kAnime}}, {"film.mkv", "anime.mkv"}, "de", {0, 1},
     {"Off", "Auto"}, "Auto", "German, 5.1(side)", "Track 1: German, forced"},
    {"rows with the same tracks: those, but no row's own files",
     {{"e01.mkv", kFilm}, {"e02.mkv", kFilm}, {"e01.srt", kSubtitleText}}, {"e01.mkv", "e02.mkv"}, "de",
     {0, 1}, {"Off", "Auto", "Track 1: German, forced", "Track 2: English (image)"}, "Auto",
     "German, 5.1(side)", "e01.srt"},
    {"a source with neither sound nor subtitles",
     {{"silent.mp4", Tracks({})}}, {"silent.mp4"}, "de", {0}, {"Off", "Auto"}, "Auto", "None", "None"},
};

// The fake encoder's record of the words it was given (its "args"), one a
// line: each of `present` matches one, none of `absent` matches any.
void ExpectWords(const std::string& argsFile, const std::vector<std::string>& present,
                 const std::vector<std::string>& absent) {
    std::vector<std::string> words;
    std::istringstream read(testing::ReadFile(argsFile));
    for (std::string word; std::getline(read, word);) words.push_back(word);
    const auto holds = [&](const std::string& pattern) {
        return std::any_of(words.begin(), words.end(),
                           [&](const std::string& w) { return std::regex_match(w, std::regex(pattern)); });
    };
    for (const std::string& pattern : present) EXPECT_TRUE(holds(pattern)) << pattern;
    for (const std::string& pattern : absent) EXPECT_FALSE(holds(pattern)) << pattern;
}

TEST(DialogTracks, TheSubtitlesListAndThePanelFollowTheSelectedRows) {
    for (const TrackCase& c : kTrackCases) {
        SCOPED_TRACE(c.name);
        testing::TempDir here;
        for (const auto& [name, text] : c.files) testing::WriteFile(here.File(name), text);
        testing::RecordingWindow shown;
        RememberingStore own;
        own.values["language"] = c.language;
        ConverterDialog list(shown, testing::TestEncoderSetup(FAKE_ENCODER_PATH), &own);
        list.OnInitDialog();
        std::vector<std::string> added;
        for (const std::string& name : c.added) added.push_back(here.File(name));
        list.OnAddPaths(added);
        ASSERT_TRUE(AllDescribed(shown, list));
        shown.Select(c.selected);
        list.OnListSelectionChanged();
        EXPECT_EQ(shown.ChoiceTexts(kIdSubtitles), c.choices);
        EXPECT_EQ(shown.Chosen(kIdSubtitles), c.chosen);
        EXPECT_TRUE(shown.Enabled(kIdSubtitles));
        EXPECT_EQ(shown.Text(kIdSound), c.sound);
        EXPECT_EQ(shown.Text(kIdSubtitlesDrawn), c.drawn);
    }
}

// Each line of the Subtitles list, chosen for a film with a subtitle file
// beside it, reaches its conversion: the words ffmpeg gets, and what the
// converted row tells. The panel says what is drawn before.
struct ChoiceCase {
    std::string line;
    std::string drawn;                  // the panel's Subtitles
    std::vector<std::string> words;     // patterns of words the conversion gets
    std::vector<std::string> absent;    // patterns of words it does not
    std::string status;                 // the status line's at the end
};

const ChoiceCase kChoiceCases[] = {
    {"Off", "None", {}, {"subtitles=.*", ".*overlay.*"}, "Converted: film\\.d3v \\(2 kB\\) in [0-9]+:[0-9]{2}"},
    {"Auto", "film.de.srt", {"fps=.*,subtitles=filename=.*"}, {".*overlay.*"},
     ".*; subtitles from film\\.de\\.srt \\(UTF-8\\)"},
    {"Track 1: German, forced", "Track 1: German, forced", {".*,subtitles=filename=.*film\\.mkv.*:si=0.*"},
     {".*overlay.*"}, ".*; subtitle track 1 \\(German\\) drawn"},
    {"Track 2: English (image)", "Track 2: English (image)", {".*\\[0:s:1\\]overlay.*"}, {".*subtitles=.*"},
     ".*; subtitle track 2 \\(English\\) drawn"},
    {"film.srt", "film.srt", {".*,subtitles=filename=.*"}, {".*overlay.*"},
     ".*; subtitles from film\\.srt \\(UTF-8\\)"},
};

TEST(DialogTracks, EachSubtitlesChoiceReachesItsConversion) {
    for (const ChoiceCase& c : kChoiceCases) {
        SCOPED_TRACE(c.line);
        testing::TempDir here;
        const std::string film = here.File("film.mkv");
        testing::WriteFile(film, kFilm + "args\ntarget 2048\n");
        testing::WriteFile(here.File("film.srt"), kSubtitleText);
        testing::WriteFile(here.File("film.de.srt"), kSubtitleText);
        testing::RecordingWindow shown;
        RememberingStore own;
        own.values = {{"language", "de"}, {"normalize-loudness", "false"}};
        ConverterDialog list(shown, testing::TestEncoderSetup(FAKE_ENCODER_PATH), &own);
        list.OnInitDialog();
        list.OnAddPaths({film});
        ASSERT_TRUE(AllDescribed(shown, list));
        const std::vector<std::string> lines = shown.ChoiceTexts(kIdSubtitles);
        const auto line = std::find(lines.begin(), lines.end(), c.line);
        ASSERT_NE(line, lines.end());
        list.OnSubtitles(static_cast<int>(line - lines.begin()));
        EXPECT_EQ(shown.Chosen(kIdSubtitles), c.line);
        EXPECT_EQ(shown.Text(kIdSubtitlesDrawn), c.drawn);
        list.OnEncode();
        ASSERT_TRUE(shown.PumpUntil([&] { return !list.converting(); }));
        ExpectWords(film + ".args", c.words, c.absent);
        EXPECT_TRUE(std::regex_match(shown.Text(kIdStatus), std::regex(c.status))) << shown.Text(kIdStatus);
    }
}

// Each row keeps its own choice; one that has started keeps the one it
// started with, and the list cannot be used for it.
TEST_F(DialogTest, EachRowKeepsItsOwnSubtitlesAndAStartedOneThoseItStartedWith) {
    Open({Write("a.mkv", kFilm + "target 2048\nhang\n"), Write("b.mkv", kFilm + "target 2048\nhang\n")});
    ASSERT_TRUE(Described());
    window.Select({0});
    dialog.OnListSelectionChanged();
    dialog.OnSubtitles(0);  // Off
    window.Select({1});
    dialog.OnListSelectionChanged();
    EXPECT_EQ(window.Chosen(kIdSubtitles), "Auto");
    window.Select({0, 1});
    dialog.OnListSelectionChanged();
    EXPECT_EQ(window.Chosen(kIdSubtitles), "");  // they differ
    window.Select({0});
    dialog.OnListSelectionChanged();
    EXPECT_EQ(window.Chosen(kIdSubtitles), "Off");
    dialog.OnEncode();
    EXPECT_FALSE(window.Enabled(kIdSubtitles));
    dialog.OnSubtitles(1);
    EXPECT_EQ(dialog.rows()[0].subtitles.mode, SubtitleMode::kOff);
    dialog.OnEncode();  // STOP: it waits again, and may be chosen for
    EXPECT_TRUE(window.Enabled(kIdSubtitles));
    dialog.OnSubtitles(1);
    EXPECT_EQ(dialog.rows()[0].subtitles.mode, SubtitleMode::kAuto);
}

// The choices without a control, read from the settings at start, reach
// every conversion: the sound track heard, the loudness, and how a subtitle
// file beside the source is read.
struct SettingsCase {
    const char* name;
    std::map<std::string, std::string, std::less<>> settings;
    const char* systemLanguage;         // the system's, as LC_ALL says it; null: left as it is
    std::vector<std::string> words;     // the conversion gets
    std::vector<std::string> absent;    // it does not
    std::string status;                 // pattern
};

// The loudness is left as it is in every case: the fake encoder has none to
// measure (see DialogTest), and a case without the setting would measure.
const SettingsCase kSettingsCases[] = {
    {"the preferred language's sound track", {{"language", "de"}}, nullptr, {"0:a:1"}, {"0:a:0"}, ".*"},
    {"a language by its English name", {{"language", "German"}}, nullptr, {"0:a:1"}, {}, ".*"},
#ifndef _WIN32
    {"without a language, the system's", {}, "de_AT.UTF-8", {"0:a:1"}, {}, ".*"},
    {"a language that is none: the system's", {{"language", "elvish"}}, "de_AT.UTF-8", {"0:a:1"}, {}, ".*"},
    {"a system in English: the track flagged default", {}, "en_GB.UTF-8", {"0:a:0"}, {}, ".*"},
#endif
    {"the subtitle file read in the encoding set", {{"subtitle-encoding", "cp1251"}}, nullptr, {}, {},
     ".*; subtitles from film\\.srt \\(WINDOWS-1251\\).*"},
    {"loudness left as it is: nothing measured, nothing said of it", {}, nullptr, {}, {},
     "Converted: film\\.d3v \\(2 kB\\) (?!.*loudness).*"},
};

TEST(DialogSettings, TheChoicesWithoutAControlReachEveryConversion) {
    for (const SettingsCase& c : kSettingsCases) {
        SCOPED_TRACE(c.name);
#ifndef _WIN32
        const char* before = std::getenv("LC_ALL");
        const std::string kept = before == nullptr ? "" : before;
        if (c.systemLanguage != nullptr) ::setenv("LC_ALL", c.systemLanguage, 1);
#endif
        testing::TempDir here;
        const std::string film = here.File("film.mkv");
        testing::WriteFile(film, Tracks({kEnglishSound, kGermanSound}) + "args\ntarget 2048\n");
        // "Привет" in Windows-1251, which is no UTF-8.
        testing::WriteFile(here.File("film.srt"), "1\n00:00:01,000 --> 00:00:05,000\n\xcf\xf0\xe8\xe2\xe5\xf2\n");
        testing::RecordingWindow shown;
        RememberingStore own;
        own.values = c.settings;
        own.values["normalize-loudness"] = "false";
        ConverterDialog list(shown, testing::TestEncoderSetup(FAKE_ENCODER_PATH), &own);
        list.OnInitDialog();
#ifndef _WIN32
        if (c.systemLanguage != nullptr) before == nullptr ? ::unsetenv("LC_ALL") : ::setenv("LC_ALL", kept.c_str(), 1);
#endif
        list.OnAddPaths({film});
        ASSERT_TRUE(AllDescribed(shown, list));
        list.OnEncode();
        ASSERT_TRUE(shown.PumpUntil([&] { return !list.converting(); }));
        const std::string words = testing::ReadFile(film + ".args");
        for (const std::string& word : c.words) EXPECT_NE(words.find("\n" + word + "\n"), std::string::npos) << word;
        for (const std::string& word : c.absent) EXPECT_EQ(words.find("\n" + word + "\n"), std::string::npos) << word;
        EXPECT_TRUE(std::regex_match(shown.Text(kIdStatus), std::regex(c.status))) << shown.Text(kIdStatus);
    }
}

// The last picture the preview shows is a whole frame of the player, all of
// the colour `rgb`.
bool PreviewShows(testing::RecordingWindow& window, std::array<uint8_t, 3> rgb) {
    const std::vector<PreviewPicture> shown = window.Previews();
    if (shown.empty() || shown.back().width != kPlayerFormat.width ||
        shown.back().height != kPlayerFormat.height) {
        return false;
    }
    const std::vector<uint8_t>& bytes = shown.back().rgb;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != rgb[i % 3]) return false;
    }
    return true;
}

// The files in the folders the dialog's preview has made, and has not yet removed.
std::vector<std::filesystem::path> PreviewFiles(const ConverterDialog& dialog) {
    namespace fs = std::filesystem;
    std::vector<fs::path> files;
    std::error_code error;
    for (const auto& folder : fs::directory_iterator(fs::temp_directory_path(), error)) {
        if (folder.path().filename().string().rfind(dialog.previewFolderPrefix(), 0) != 0) continue;
        files.push_back(folder.path());
        for (const auto& file : fs::directory_iterator(folder.path(), error)) files.push_back(file.path());
    }
    return files;
}

// A preview of `source` (as the list holds it, in the system's form) is
// running, and has written its frame.
bool PreviewWritten(const ConverterDialog& dialog, const std::string& source) {
    bool running = false;
    for (const auto& [pid, line] : testing::CommandLines()) {
        running = running || (line.find(source) != std::string::npos && line.find("-frames:v") != std::string::npos);
    }
    std::error_code error;
    const std::vector<std::filesystem::path> files = PreviewFiles(dialog);
    return running && std::any_of(files.begin(), files.end(), [&](const std::filesystem::path& file) {
        return std::filesystem::file_size(file, error) ==
               static_cast<uintmax_t>(kPlayerFormat.width) * kPlayerFormat.height * 3;
    });
}

// The preview follows the row the panel describes. The frame of a row no
// longer described is never shown, even one made already, and its run is
// stopped; closing stops the last and leaves nothing on disk.
TEST_F(DialogTest, ThePreviewShowsTheDescribedRowAndNoOtherOnes) {
    const std::string written = Write("slow.avi", kDescription + "preview frame 0 0 200\npreview hang\n");
    const std::string slow = AbsolutePath(written);
    Open({Write("red.avi", kDescription + "preview frame 200 0 0\n"), written,
          Write("green.avi", kDescription + "preview frame 0 200 0\n")});
    ASSERT_TRUE(Described());
    ASSERT_TRUE(window.PumpUntil([&] { return PreviewShows(window, {200, 0, 0}); }));
    window.Select({1});
    dialog.OnListSelectionChanged();
    EXPECT_TRUE(window.Previews().back().empty());  // at once, not when the next frame comes
    ASSERT_TRUE(window.PumpUntil([&] { return PreviewWritten(dialog, slow); }, false));
    window.Select({2});
    dialog.OnListSelectionChanged();
    ASSERT_TRUE(window.PumpUntil([&] { return PreviewShows(window, {0, 200, 0}); }));
    for (const PreviewPicture& picture : window.Previews()) {
        EXPECT_TRUE(picture.empty() || picture.rgb[2] != 200) << "the slow row's frame was shown";
    }
    EXPECT_TRUE(testing::ProcessesMentioning(slow).empty());

    window.Select({1});
    dialog.OnListSelectionChanged();
    ASSERT_TRUE(window.PumpUntil([&] { return PreviewWritten(dialog, slow); }, false));
    dialog.OnClose();
    EXPECT_TRUE(testing::ProcessesMentioning(dir.path()).empty());
    EXPECT_TRUE(PreviewFiles(dialog).empty());
}

// A change of the picture's fit or of the row's subtitles makes the frame
// again, as the conversion would then make it; the last frame stays until
// the new one takes its place.
struct PreviewCase {
    const char* name;
    std::function<void(ConverterDialog&, testing::RecordingWindow&)> change;
    std::vector<std::string> words;   // patterns of words the preview gets
    std::vector<std::string> absent;  // and does not
};

int LineOf(testing::RecordingWindow& window, const std::string& text) {
    const std::vector<std::string> lines = window.ChoiceTexts(kIdSubtitles);
    return static_cast<int>(std::find(lines.begin(), lines.end(), text) - lines.begin());
}

const PreviewCase kPreviewCases[] = {
    {"at first: Fit, and Auto's file", [](ConverterDialog&, testing::RecordingWindow&) {},
     {".*,pad=.*,subtitles=filename=.*"}, {".*crop=.*"}},
    {"Fill", [](ConverterDialog& d, testing::RecordingWindow&) { d.OnPictureFit(kIdPictureFill); },
     {".*,crop=.*"}, {".*pad=.*"}},
    {"Stretch", [](ConverterDialog& d, testing::RecordingWindow&) { d.OnPictureFit(kIdPictureStretch); },
     {".*scale=256:192.*"}, {".*pad=.*", ".*crop=.*"}},
    {"Subtitles Off", [](ConverterDialog& d, testing::RecordingWindow& w) { d.OnSubtitles(LineOf(w, "Off")); },
     {"fps=.*"}, {".*subtitles=.*", ".*overlay.*"}},
    {"a track of pictures",
     [](ConverterDialog& d, testing::RecordingWindow& w) { d.OnSubtitles(LineOf(w, "Track 2: English (image)")); },
     {".*\\[0:s:1\\]overlay.*"}, {".*subtitles=.*"}},
};

TEST_F(DialogTest, ThePreviewIsMadeAgainForThePictureAndTheSubtitlesChosen) {
    settings.values["language"] = "de";
    testing::RecordingWindow shown;
    ConverterDialog own(shown, testing::TestEncoderSetup(FAKE_ENCODER_PATH), &settings);
    own.OnInitDialog();
    const std::string film = Write("film.mkv", kFilm + "preview args\npreview frame 10 20 30\n");
    Write("film.de.srt", kSubtitleText);
    own.OnAddPaths({film});
    for (const PreviewCase& c : kPreviewCases) {
        SCOPED_TRACE(c.name);
        const size_t before = shown.Previews().size();
        c.change(own, shown);
        // Made afresh, the last frame kept meanwhile.
        ASSERT_TRUE(shown.PumpUntil([&] { return shown.Previews().size() > before && !shown.Previews().back().empty(); }));
        ASSERT_TRUE(PreviewShows(shown, {10, 20, 30}));
        ExpectWords(film + ".preview.args", c.words, c.absent);
    }
}

// Random sequences of adding files, removing rows, quality, Encode or STOP,
// selecting rows, picture and subtitles, the UI thread catching up, and
// close. After every step the window shows the state the logic is in, no
// row's conversion runs twice, every converted row's file is there, and a
// frame in the preview is the described row's; after STOP nothing converts
// once the UI thread has caught up. After every sequence no process,
// zombie, descriptor, temporary file, preview or stray target is left.
TEST(Soak, RandomSequencesLeaveNothingBehind) {
    // What each source's conversion does: only the "ok" ones may leave a target,
    // the "endless" ones end only when stopped, and the list passes over "notes.txt".
    const std::pair<std::string, std::string> sources[] = {
        {"ok-quick.avi", "target 2048\npreview frame 1 2 3\n"}, {"endless-talker.avi", "target 2048\ntalk\n"},
        {"ok-chatty.avi",
         "say frame= 1 time=00:00:10.00\\r\ntarget 2048\nsay frame= 3 time=00:00:49.00\\r\n"},
        {"endless-silent.avi", "target 2048\nhang\npreview hang\n"},
        {"endless-deaf.avi", "ignore-term\ntarget 2048\nhang\n"}, {"notes.txt", ""},
        {"failer.avi", "target 2048\nexit 1\n"}, {"crasher.avi", "target 2048\ncrash\n"},
    };
    testing::TempDir dir;
    for (const auto& [name, run] : sources) testing::WriteFile(dir.File(name), kDescription + run);
    std::mt19937 random(20261207);
    const EncoderSetup setup = testing::TestEncoderSetup(FAKE_ENCODER_PATH);
    RememberingStore settings;
    settings.values["simultaneous-conversions"] = "3";
    settings.values["normalize-loudness"] = "false";  // see DialogTest
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
            const auto action = random() % 15;
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
            } else if (action < 9 && !window.Rows().empty()) {
                window.Select({random() % window.Rows().size()});
                dialog->OnListSelectionChanged();
            } else if (action < 10) {
                dialog->OnPictureFit(kPictureFitRadios[random() % kPictureFitRadios.size()]);
            } else if (action < 11) {
                dialog->OnSubtitles(static_cast<int>(random() % 2));  // Off or Auto
            } else {  // the UI thread catches up: probes end, and runs that can
                ASSERT_TRUE(window.PumpUntil([&] {
                    return std::none_of(dialog->rows().begin(), dialog->rows().end(), [](const SourceRow& r) {
                        return (r.Runnable() && !r.probed) ||
                               (r.state == RowState::kConverting && r.sourcePath.find("endless") == std::string::npos);
                    });
                }));
            }
            ASSERT_TRUE(ShowsItsState(window, *dialog));
            // Only the quick source has frames to show.
            ASSERT_TRUE(window.Previews().back().empty() || window.Text(kIdFileName) == "ok-quick.avi");
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
        dialog->OnClose();
        ASSERT_TRUE(PreviewFiles(*dialog).empty());
        dialog.reset();
        // Every encoder is reaped by now. A sanitizer's helper that an
        // encoder started as it died shares its command line and outlives it
        // by a moment; an encoder left behind would not go at all.
        ASSERT_TRUE(window.PumpUntil([&] { return testing::ProcessesMentioning(dir.path()).empty(); }, false));
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


// Sleep after a list with a failure in it: the failures go into the report
// rather than a message box, the notice counts the seconds the settings ask
// for, the computer is asked once, the choice is back to "Do nothing", and
// the next start names the report. Shutting down, which the system refuses
// here, is greyed out with its reason.
TEST_F(DialogTest, SleepWhenDoneLeavesAReportAndAsksOnceAfterTheNotice) {
    EXPECT_FALSE(window.Enabled(kIdWhenDoneShutDown));
    EXPECT_EQ(window.Tooltip(kIdWhenDoneShutDown), "The system does not allow this user to shut down the computer");
    EXPECT_TRUE(window.Enabled(kIdWhenDoneSleep) && window.Checked(kIdWhenDoneNothing));
    settings.values["when-done-notice-seconds"] = "3";
    dialog.OnInitDialog();
    Open({Write("good.avi", kQuick), Write("bad.avi", kDenied)});
    ASSERT_TRUE(Described());
    dialog.OnWhenDone(kIdWhenDoneSleep);
    dialog.OnEncode();
    ASSERT_TRUE(ListDone());
    EXPECT_TRUE(window.Messages().empty());
    EXPECT_EQ(window.Text(kIdStatus), "The computer will sleep in 3 seconds. Cancel keeps it on");
    EXPECT_EQ(window.Text(kIdEncode), "Cancel");
    EXPECT_EQ(window.PassTime(2), 2u);
    EXPECT_EQ(window.Text(kIdStatus), "The computer will sleep in 1 second. Cancel keeps it on");
    EXPECT_TRUE(power.requested.empty());
    window.PassTime();
    ASSERT_EQ(power.requested, std::vector{PowerAction::kSleep});
    EXPECT_EQ(window.Text(kIdEncode), "&Encode");
    EXPECT_TRUE(window.Checked(kIdWhenDoneNothing) && !window.Checked(kIdWhenDoneSleep));
    const std::string told = window.Text(kIdStatus);
    ASSERT_EQ(told.rfind("The list's results are in ", 0), 0u) << told;
    const std::string report = testing::ReadFile(told.substr(told.find(" in ") + 4));
    // The paths as the list holds them, in the system's own form.
    const SourceRow &good = dialog.rows().at(0), &bad = dialog.rows().at(1);
    EXPECT_NE(report.find(good.sourcePath + "\n    Converted (2 kB): " + good.target + "\n"), std::string::npos)
        << report;
    EXPECT_NE(report.find(bad.sourcePath + "\n    Failed: "), std::string::npos) << report;
    EXPECT_NE(report.find("Permission denied"), std::string::npos) << report;

    testing::RecordingWindow next;
    ConverterDialog restarted(next, testing::TestEncoderSetup(FAKE_ENCODER_PATH), &settings, &power);
    restarted.OnInitDialog();
    EXPECT_EQ(next.Text(kIdStatus), "The last list's results are in " + told.substr(told.find(" in ") + 4));
    EXPECT_TRUE(next.Checked(kIdWhenDoneNothing));
    testing::RecordingWindow third;
    ConverterDialog again(third, testing::TestEncoderSetup(FAKE_ENCODER_PATH), &settings, &power);
    again.OnInitDialog();
    EXPECT_EQ(third.Text(kIdStatus), "");  // named once
}

// Cancel (Encode's place) or "Do nothing" during the notice keeps the
// computer on, and a STOP never comes to a notice; "Quit" closes the window
// once the list is done.
TEST_F(DialogTest, TheNoticeIsCancelledAndQuitClosesTheWindow) {
    settings.values["when-done-notice-seconds"] = "5";
    dialog.OnInitDialog();
    const std::string clip = Write("a.avi", kQuick);
    for (const auto& cancel : std::vector<std::function<void()>>{
             [&] { dialog.OnEncode(); }, [&] { dialog.OnWhenDone(kIdWhenDoneNothing); }}) {
        Open({clip});
        ASSERT_TRUE(Described());
        dialog.OnWhenDone(kIdWhenDoneSleep);
        dialog.OnEncode();
        ASSERT_TRUE(ListDone());
        window.PassTime(1);
        cancel();
        EXPECT_EQ(window.Text(kIdEncode), "&Encode");
        EXPECT_EQ(window.Text(kIdStatus).rfind("Converted: a.d3v (2 kB) in ", 0), 0u) << window.Text(kIdStatus);
        window.PassTime();
        dialog.OnClearFinished();
    }
    Open("endless.avi", kEndless);
    ASSERT_TRUE(Described());
    dialog.OnWhenDone(kIdWhenDoneSleep);
    dialog.OnEncode();
    ASSERT_TRUE(window.PumpUntil([&] { return ConversionsIn(dir.path()) == 1; }));
    dialog.OnEncode();  // STOP
    ASSERT_TRUE(window.PumpUntil([&] { return !dialog.working(); }));
    window.PassTime();
    EXPECT_TRUE(power.requested.empty());
    EXPECT_FALSE(window.QuitAsked());

    dialog.OnClearFinished();
    dialog.OnRemove();
    Open({clip});
    ASSERT_TRUE(Described());
    dialog.OnWhenDone(kIdWhenDoneQuit);
    dialog.OnEncode();
    ASSERT_TRUE(window.PumpUntil([&] { return window.QuitAsked(); }));
    EXPECT_TRUE(power.requested.empty());
}

}  // namespace
}  // namespace vantrel
